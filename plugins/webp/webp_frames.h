// The frames of an animated WebP file, composed by libwebp's animation decoder as the file
// says (each frame blended over the canvas or not, the canvas under it cleared afterwards or
// not), every frame handed over on white as the still picture is. The ANIM loop count tells how
// often the animation runs (0: for ever); a frame's delay is its duration, and durations of 10 ms
// or less play as 100 ms, as browsers play them. A file cut short gives its whole frames and then
// ends as damaged. Native code: no windows.h.
#pragma once

#include "plugins/common/animation_frames.h"

namespace lmx::webp {

// Null when the file is no WebP, no animation, has no whole frame, a canvas larger than a
// picture may be, or frames libwebp's demuxer refuses (one reaching past the canvas, say).
FrameReader* OpenWebpFrames(ByteSource& file, BlockHeap& heap, AnimationFacts* facts);

}  // namespace lmx::webp
