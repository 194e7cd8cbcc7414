// zlx_bmp: Windows and OS/2 bitmaps.
#include "plugins/common/plugin_format.h"
#include "plugins/bmp/bmp_details.h"
#include "plugins/bmp/bmp_reader.h"

// Messages of its own for a null name and a file that cannot be opened; the wait cursor while
// the file is read.
const lmx::PluginFormat lmx::kPluginFormat = {
    {1, L"bmp", L"BMP - Bitmap File Format", L"Copyright (c) 2026 Zorvan Software", L"Bitmap", L"bmp", nullptr},
    FileAccess::kMapped, BusyCursor::kWhileReading, L"Error...", L"Error...", bmp::kMsgNoFileName,
    bmp::kMsgInvalidFileHandle, bmp::ReadBitmap, nullptr, bmp::DescribeBmp, bmp::kStatuses, false,
};
