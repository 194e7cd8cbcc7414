// Any bytes as a WebP file, through libwebp's decoder and demuxer, the composing of an
// animation's first frame and the compositing over white: the reader must refuse or decode,
// and the frame reader refuse or compose frame after frame until the end, never touching
// memory they do not own and releasing every block they do not return.
#include <cstddef>
#include <cstdint>

#include "plugins/webp/webp_details.h"
#include "plugins/webp/webp_frames.h"
#include "plugins/webp/webp_reader.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The plug-in decodes a mapped file from memory, and reads an unmapped one whole first: the
  // input's last byte picks one.
  const bool mapped = size > 0 && (data[size - 1] & 1);
  lmx::CHeap heap(8u << 20);  // larger claims only take the refusal path
  lmx::DecodeMessages messages;
  lmx::MemorySource file(data, size);
  // Some inputs through the reduced reader (libwebp's scaling), into a box the length picks, when
  // the picture they claim would fit the heap whole: libwebp decodes the whole bitstream either way.
  const uint32_t box = 1 + static_cast<uint32_t>(size % 97);
  lmx::PictureSize full;
  const bool small = lmx::fuzz::ClaimFits(lmx::webp::DescribeWebp, data, size, 8u << 20);
  void* block =
      size % 3 == 0 && small
          ? lmx::webp::ReadWebpFile({file, mapped ? data : nullptr, size, 0, box, box, &full}, heap, messages, nullptr)
      : mapped ? lmx::webp::ReadWebp(data, size, heap, messages)
               : lmx::webp::ReadWebp(file, heap, messages);
  // A refusal says why, once; a picture comes with at most its warning.
  if (block ? messages.Count() > 1 : messages.Count() != 1) __builtin_trap();
  lmx::fuzz::CheckAndFree(block, size, heap);
  // libwebp keeps its canvases outside the heap, so only a canvas it composes quickly is walked.
  if (lmx::fuzz::ClaimFits(lmx::webp::DescribeWebp, data, size, 1u << 20)) {
    lmx::fuzz::WalkFrames(lmx::webp::OpenWebpFrames, data, size, 4u << 20, 10);
  }
  return 0;
}
