// Zero-filled fixed blocks from the local heap: the blocks that cross between plug-ins and
// the host, which the other side frees with LocalFree.
#pragma once

#include <windows.h>

#include "plugins/common/byte_source.h"

namespace lmx {

class LocalHeap final : public BlockHeap {
 public:
  void* Alloc(size_t size) override;
  void Free(void* block) override;
  bool OutOfMemory() const override { return outOfMemory_; }

 private:
  bool outOfMemory_ = false;
};

}  // namespace lmx
