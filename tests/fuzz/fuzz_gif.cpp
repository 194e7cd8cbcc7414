// Any bytes as a GIF file: the reader must refuse or return its canvas, never touch memory
// it does not own, and release every block it does not return.
#include <cstddef>
#include <cstdint>

#include "plugins/gif/gif_reader.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lmx::MemorySource file(data, size);
  lmx::CHeap heap(64u << 20);
  lmx::DecodeMessages messages;
  void* block = lmx::gif::ReadGifFile(file, heap, messages);
  lmx::fuzz::CheckAndFree(block, size, heap);
  return 0;
}
