// zlx_tif: TIFF files, one picture per directory, decoded by libtiff.
#include "plugins/common/plugin_format.h"
#include "plugins/tif/tif_details.h"
#include "plugins/tif/tif_reader.h"

// Mapped whole and its pages counted; every message is told with one caption.
const lmx::PluginFormat lmx::kPluginFormat = {
    {1, L"tif", L"TIFF - Tag Image File Format", L"Copyright (c) 2026 Zorvan Software", L"Tiff", L"tiff", nullptr},
    FileAccess::kMapped, BusyCursor::kNone, L"Message...", L"Message...", 0, tif::kMsgCannotRead,
    tif::ReadTiffFile, tif::CountTiffImages, tif::DescribeTiff, tif::kStatuses, false,
};
