// Any bytes as a GIF file: the reader must refuse or return its canvas, and the frame reader
// refuse or compose frame after frame until the end, never touching memory they do not own
// and releasing every block they do not return.
#include <cstddef>
#include <cstdint>

#include "plugins/gif/gif_details.h"
#include "plugins/gif/gif_frames.h"
#include "plugins/gif/gif_reader.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// The frames of the input, each read whole and freed. The heap is small, so that a vast
// screen of a few bytes is refused rather than composed again and again.
void WalkFrames(const uint8_t* data, size_t size) {
  lmx::MemorySource file(data, size);
  lmx::CHeap heap(12u << 20);
  lmx::AnimationFacts facts;
  lmx::FrameReader* frames = lmx::gif::OpenGifFrames(file, heap, &facts);
  if (!frames) return;
  for (int k = 0; k < 256; ++k) {
    uint32_t delay = 0;
    lmx::FrameStatus status = lmx::kFrameEnd;
    void* block = frames->Next(heap, &delay, &status);
    if (!block) break;
    const lmx::DibHeader h = lmx::ReadDibHeader(block);
    if (uint32_t(h.biWidth) != facts.width || uint32_t(h.biHeight) != facts.height || h.biBitCount != 24 ||
        delay < 20) {
      __builtin_trap();
    }
    lmx::fuzz::TouchPackedDib(block);
    heap.Free(block);
  }
  delete frames;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lmx::MemorySource file(data, size);
  lmx::CHeap heap(64u << 20);
  lmx::DecodeMessages messages;
  // Some inputs through the reduced reader, canvas row by canvas row, into a box the length picks.
  const uint32_t box = 1 + static_cast<uint32_t>(size % 97);
  const bool reduced = size % 3 == 0 && lmx::fuzz::ClaimFits(lmx::gif::DescribeGif, data, size, 8u << 20);
  void* block = reduced ? lmx::gif::ReadGif({file, data, size, 0, box, box, nullptr}, heap, messages, nullptr)
                        : lmx::gif::ReadGifFile(file, heap, messages);
  lmx::fuzz::CheckAndFree(block, size, heap);
  WalkFrames(data, size);
  return 0;
}
