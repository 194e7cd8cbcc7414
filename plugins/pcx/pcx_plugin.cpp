// zlx_pcx: PCX (ZSoft Paintbrush) files.
#include "plugins/common/plugin_format.h"
#include "plugins/pcx/pcx_details.h"
#include "plugins/pcx/pcx_reader.h"

// Errors and warnings have captions of their own; the wait cursor comes once the header is
// accepted, and the arrow after.
const lmx::PluginFormat lmx::kPluginFormat = {
    {1, L"pcx", L"PCX - ZSoft Paintbrush Format", L"Copyright (c) 2026 Zorvan Software", L"PCX", L"pcx", nullptr},
    FileAccess::kMapped, BusyCursor::kFromPixels, L"Error...", L"Warning...", pcx::kMsgNoFileName,
    pcx::kMsgCantOpen, pcx::ReadPcx, nullptr, pcx::DescribePcx, pcx::kStatuses, false,
};
