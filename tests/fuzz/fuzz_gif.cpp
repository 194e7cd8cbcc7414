// Any bytes as a GIF file: the reader must refuse or return its canvas, and the frame reader
// refuse or compose frame after frame until the end, never touching memory they do not own
// and releasing every block they do not return.
#include <cstddef>
#include <cstdint>

#include "plugins/gif/gif_details.h"
#include "plugins/gif/gif_frames.h"
#include "plugins/gif/gif_reader.h"
#include "tests/fuzz/fuzz_support.h"

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
  // The heap is small, so that a vast screen of a few bytes is refused rather than composed
  // again and again.
  lmx::fuzz::WalkFrames(lmx::gif::OpenGifFrames, data, size, 12u << 20, 19);
  return 0;
}
