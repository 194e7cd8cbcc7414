// zlx_gif: GIF 87a and 89a files: the first image as a picture, and the frames of an animation.
#include "plugins/common/plugin_format.h"
#include "plugins/gif/gif_details.h"
#include "plugins/gif/gif_frames.h"
#include "plugins/gif/gif_reader.h"

// Not shown in the open dialog's filter by default; a null name is told as a file that cannot be
// opened; no wait cursor.
const lmx::PluginFormat lmx::kPluginFormat = {
    {0, L"gif", L"GIF - Graphics Interchange File Format", L"Copyright (c) 2026 Zorvan Software", L"Gif", L"gif",
     nullptr},
    FileAccess::kMapped, BusyCursor::kNone, L"Error...", L"Error...", 0, gif::kMsgCantOpen, gif::ReadGif,
    nullptr, gif::DescribeGif, gif::kStatuses, false, gif::OpenGifFrames,
};
