// zlx_png: PNG files, decoded by libpng.
#include "plugins/common/plugin_format.h"
#include "plugins/png/png_details.h"
#include "plugins/png/png_reader.h"

// Mapped whole; a damaged file's picture comes with a warning.
const lmx::PluginFormat lmx::kPluginFormat = {
    {1, L"png", L"PNG - Portable Network Graphics", L"Copyright (c) 2026 Zorvan Software", L"PNG", L"png", nullptr},
    FileAccess::kMapped, BusyCursor::kWhileReading, L"Error...", L"Warning...", 0, png::kMsgCantOpen,
    png::ReadPngFile, nullptr, png::DescribePng, png::kStatuses, false,
};
