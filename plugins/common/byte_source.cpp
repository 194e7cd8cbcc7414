#include "plugins/common/byte_source.h"

#include <cstdlib>
#include <cstring>

namespace lmx {

bool MemorySource::Read(void* dst, size_t size, size_t* got) {
  size_t left = pos_ < size_ ? size_ - static_cast<size_t>(pos_) : 0;
  size_t n = size < left ? size : left;
  if (n) std::memcpy(dst, data_ + pos_, n);
  pos_ += n;
  *got = n;
  return true;
}

bool MemorySource::Seek(uint64_t position) {
  pos_ = position;
  return true;
}

bool MemorySource::Skip(int64_t delta) {
  if (delta < 0 && static_cast<uint64_t>(-delta) > pos_) return false;
  pos_ += delta;
  return true;
}

void* CHeap::Alloc(size_t size) {
  outOfMemory_ = false;
  void* p = size <= limit_ ? std::calloc(1, size ? size : 1) : nullptr;
  if (!p) outOfMemory_ = true;
  return p;
}

void CHeap::Free(void* block) { std::free(block); }

}  // namespace lmx
