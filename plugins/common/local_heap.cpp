#include "plugins/common/local_heap.h"

namespace lmx {

void* LocalHeap::Alloc(size_t size) {
  void* block = LocalAlloc(LPTR, size);
  outOfMemory_ = !block && GetLastError() == ERROR_NOT_ENOUGH_MEMORY;
  return block;
}

void LocalHeap::Free(void* block) { LocalFree(block); }

}  // namespace lmx
