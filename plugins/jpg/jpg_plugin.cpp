// zlx_jpg: JPEG files, decoded by libjpeg-turbo and shown upright.
#include "plugins/common/plugin_format.h"
#include "plugins/jpg/jpg_details.h"
#include "plugins/jpg/jpg_reader.h"

// Mapped whole; a damaged file's picture comes with a warning; two more extensions.
const lmx::PluginFormat lmx::kPluginFormat = {
    {1, L"jpg", L"JPEG - Joint Photographic Experts Group", L"Copyright (c) 2026 Zorvan Software", L"JPEG", L"jpg",
     L"jpeg;jpe"},
    FileAccess::kMapped, BusyCursor::kWhileReading, L"Error...", L"Warning...", 0, jpg::kMsgCantOpen,
    jpg::ReadJpegFile, nullptr, jpg::DescribeJpeg, jpg::kStatuses, true,
};
