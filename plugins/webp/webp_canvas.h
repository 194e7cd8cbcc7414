// Animated WebP files: frames composed on the canvas, read by libwebp's demuxer from what the
// bytes hold (a cut file gives the frames before the cut).
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/webp/webp_frame.h"

namespace lmx::webp {

// The first frame of the animated file at `data` composed on `canvas`, which holds the canvas
// the file states, every pixel transparent (white) beforehand. On a canvas no frame has touched,
// blending and disposal change nothing: the frame's pixels, over white, at its offset. The
// result's rows count those of the frame; *fileWhole is false when the file ends before its
// last frame.
FrameResult ComposeFirstFrame(const uint8_t* data, size_t size, const RowsTarget& canvas, bool* fileWhole);

}  // namespace lmx::webp
