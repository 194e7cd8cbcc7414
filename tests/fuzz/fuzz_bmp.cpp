// Any bytes as a bitmap file: the reader must refuse or decode, never touch memory it does
// not own, and release every block it does not return.
#include <cstddef>
#include <cstdint>

#include "plugins/bmp/bmp_details.h"
#include "plugins/bmp/bmp_reader.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lmx::MemorySource file(data, size);
  lmx::CHeap heap(8u << 20);  // larger claims only take the refusal path, slowly
  lmx::DecodeMessages messages;
  // Some inputs through the reduced reader, row by row, into a box the length picks; of the
  // rest, those of odd length with their bytes as mapped.
  const uint32_t box = 1 + static_cast<uint32_t>(size % 97);
  const bool reduced = size % 3 == 0 && lmx::fuzz::ClaimFits(lmx::bmp::DescribeBmp, data, size, 8u << 20);
  void* block = reduced ? lmx::bmp::ReadBitmap({file, data, size, 0, box, box, nullptr}, heap, messages, nullptr)
                        : lmx::bmp::ReadMappedBitmap(file, size % 2 ? data : nullptr, heap, messages);
  lmx::fuzz::CheckAndFree(block, size, heap);
  return 0;
}
