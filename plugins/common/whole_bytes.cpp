#include "plugins/common/whole_bytes.h"

#include <cstdlib>

#include "plugins/common/packed_dib.h"

namespace lmx {

void* DecodeFileBytes(ByteSource& file, BlockHeap& heap, DecodeMessages& messages, const DecodeInput* box,
                      DecodeBytesFn decode, uint16_t noMemory) {
  const uint64_t size = file.Size() < kMaxBlockBytes ? file.Size() : kMaxBlockBytes;
  auto* bytes = static_cast<uint8_t*>(std::malloc(size ? static_cast<size_t>(size) : 1));
  if (!bytes) {
    messages.Add(noMemory);
    return nullptr;
  }
  size_t got = 0;
  if (!file.Seek(0) || !file.Read(bytes, static_cast<size_t>(size), &got)) got = 0;
  void* block = decode(bytes, got, heap, messages, box);
  std::free(bytes);
  return block;
}

void* DecodeInputBytes(const DecodeInput& in, BlockHeap& heap, DecodeMessages& messages, DecodeBytesFn decode,
                       uint16_t noMemory) {
  if (in.data) return decode(static_cast<const uint8_t*>(in.data), in.size, heap, messages, &in);
  return DecodeFileBytes(in.file, heap, messages, &in, decode, noMemory);
}

}  // namespace lmx
