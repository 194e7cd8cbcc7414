// The frames of an animation, one composed frame at a time: what a format's frame reader
// gives the plug-in's LMX_OpenFrames / LMX_NextFrame / LMX_CloseFrames (plugin_glue.cpp).
// Native code: no windows.h.
#pragma once

#include <cstdint>

#include "plugins/common/byte_source.h"

namespace lmx {

// How LMX_NextFrame ended; also what the host is told.
enum FrameStatus : uint32_t {
  kFrameShown = 0,     // a frame came
  kFrameEnd = 1,       // no more frames: the animation ended as the file says
  kFrameDamaged = 2,   // the next frame is damaged or the file cut short: the animation ends here
  kFrameNoMemory = 3,  // the frame's block could not be had
};

struct AnimationFacts {
  uint32_t width = 0;   // the canvas every frame is composed on
  uint32_t height = 0;
  uint32_t frames = 0;  // frames the file holds, as far as they could be counted; 0 when not known
  uint32_t plays = 1;   // times the whole animation is shown; 0 for ever
};

// Delays that browsers play as 100 ms: 10 ms and less (a GIF's 0 and 1 hundredths).
constexpr uint32_t kLongestShortDelayMs = 10;
constexpr uint32_t kDefaultDelayMs = 100;
inline uint32_t PlayedDelay(uint32_t delayMs) { return delayMs <= kLongestShortDelayMs ? kDefaultDelayMs : delayMs; }

// One animation, open on a source that outlives it.
class FrameReader {
 public:
  virtual ~FrameReader() = default;
  // The next frame composed on the canvas, as a 24-bit packed DIB from `heap` (now the
  // caller's), with its delay in milliseconds; null with the status otherwise.
  virtual void* Next(BlockHeap& heap, uint32_t* delayMs, FrameStatus* status) = 0;
};

// Opens the frames of the file behind `file`: null when it is not of the format or has no
// canvas; never a message. `heap` gives what the reader keeps between frames.
using OpenFramesFn = FrameReader* (*)(ByteSource& file, BlockHeap& heap, AnimationFacts* facts);

}  // namespace lmx
