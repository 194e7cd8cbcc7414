// zlx_webp: WebP files (lossy, lossless, extended and animated), decoded by libwebp: the
// picture, and the frames of an animation.
#include "plugins/common/plugin_format.h"
#include "plugins/webp/webp_details.h"
#include "plugins/webp/webp_frames.h"
#include "plugins/webp/webp_reader.h"

// The viewer looks a file up by the first three letters of its extension, which an Ext of four
// never matches: "web" among the more extensions takes .webp files to this plug-in.
// Mapped whole; a damaged file's picture comes with a warning. libwebp scales a reduced picture
// while it decodes, but decodes the whole bitstream to do so: not a fast reduction.
const lmx::PluginFormat lmx::kPluginFormat = {
    {1, L"webp", L"WebP - WebP Image Format", L"Copyright (c) 2026 Zorvan Software", L"WebP", L"webp",
     L"web"},
    FileAccess::kMapped, BusyCursor::kWhileReading, L"Error...", L"Warning...", 0, webp::kMsgCantOpen,
    webp::ReadWebpFile, nullptr, webp::DescribeWebp, webp::kStatuses, false, webp::OpenWebpFrames,
};
