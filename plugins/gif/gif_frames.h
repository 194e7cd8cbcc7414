// The frames of a GIF animation, composed as browsers compose them: on the logical screen,
// which starts transparent; each frame at its place, cut at the screen's edges, in its own
// colour table or the global one, its transparent index leaving what lies below, and the
// disposal its graphic control extension asks for before the next frame (none, back to
// transparent, back to what was there before). Transparent shows as white. The NETSCAPE (or
// ANIMEXTS) loop count tells how often the animation runs; delays of 0 or 1 hundredths play
// as 100 ms. Native code: no windows.h.
#pragma once

#include "plugins/common/animation_frames.h"

namespace lmx::gif {

// Null when the file is no GIF or its screen is empty or larger than a picture may be.
FrameReader* OpenGifFrames(ByteSource& file, BlockHeap& heap, AnimationFacts* facts);

}  // namespace lmx::gif
