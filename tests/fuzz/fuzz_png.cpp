// Any bytes as a PNG file, through libpng and the row conversions: the reader must refuse or
// decode, never touch memory it does not own, and release every block it does not return.
#include <cstddef>
#include <cstdint>

#include "plugins/png/png_reader.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lmx::CHeap heap(8u << 20);  // larger claims only take the refusal path, slowly
  lmx::DecodeMessages messages;
  lmx::MemorySource file(data, size);
  // Half the inputs through the reduced reader, into a box the input's length picks; of the
  // rest, half as a mapped file wanted whole (its image data inflated at once), half as a stream.
  const uint32_t box = 1 + static_cast<uint32_t>(size % 97);
  lmx::PictureSize full;
  void* block = size % 2   ? lmx::png::ReadPngFile({file, data, size, 0, box, box, &full}, heap, messages, nullptr)
                : size % 4 ? lmx::png::ReadPngFile({file, data, size, 0}, heap, messages, nullptr)
                           : lmx::png::ReadPng(file, heap, messages);
  // A refusal says why, once; a picture comes with at most its warning.
  if (block ? messages.Count() > 1 : messages.Count() != 1) __builtin_trap();
  lmx::fuzz::CheckAndFree(block, size, heap);
  return 0;
}
