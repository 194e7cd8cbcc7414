// Any bytes as a GIF file: the reader must refuse or return its canvas, never touch memory
// it does not own, and release every block it does not return.
#include <cstddef>
#include <cstdint>

#include "gif_reader.h"
#include "packed_dib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lmx::MemorySource file(data, size);
  lmx::CHeap heap(64u << 20);
  lmx::DecodeMessages messages;
  void* block = lmx::gif::ReadGifFile(file, heap, messages);
  if (block) {
    // The whole block the header describes must be readable.
    const lmx::DibHeader h = lmx::ReadDibHeader(block);
    const auto* bytes = static_cast<const uint8_t*>(block);
    volatile uint8_t sink = 0;
    const size_t total = lmx::kInfoHeaderSize + size_t{h.biClrUsed} * 4 + h.biSizeImage;
    for (size_t i = 0; i < total; i += 4096) sink = sink ^ bytes[i];
    if (total) sink = sink ^ bytes[total - 1];
    heap.Free(block);
  }
  return 0;
}
