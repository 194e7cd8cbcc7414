// Any bytes as a TIFF file, through libtiff and the row builders: the reader must refuse or
// decode, never touch memory it does not own, and release every block it does not return.
#include <cstddef>
#include <cstdint>

#include "plugins/tif/tif_reader.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // libtiff reads a mapped file and a read one along different roads: the input's last byte
  // picks one. Pages other than the first are reached too: the index comes from the length.
  const bool mapped = size > 0 && (data[size - 1] & 1);
  const auto index = static_cast<uint32_t>(size % 3);
  lmx::MemorySource file(data, size);
  uint32_t count = 0;
  if (!(mapped ? lmx::tif::CountImages(data, size, &count) : lmx::tif::CountImages(file, &count))) return 0;

  lmx::CHeap heap(8u << 20);  // larger claims only take the refusal path, slowly
  lmx::DecodeMessages messages;
  lmx::MemorySource again(data, size);
  void* block = mapped ? lmx::tif::ReadTiff(data, size, index, heap, messages)
                       : lmx::tif::ReadTiff(again, index, heap, messages);
  if (!block && messages.Empty()) __builtin_trap();  // a refusal always says why
  lmx::fuzz::CheckAndFree(block, size, heap);
  return 0;
}
