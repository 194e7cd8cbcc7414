// The benchmarks' heap keeps what is freed instead of handing it back to the kernel, so that
// each decode or transform gets memory the process already holds, as a long-running program
// (and Pillow's interpreter, after its first picture) does; otherwise the kernel's mapping of
// fresh pages, which depends on the allocator's history, would be timed with the code.
#pragma once

#include <malloc.h>

namespace lmx::bench {

inline void KeepFreedMemory() {
  mallopt(M_MMAP_THRESHOLD, 1 << 30);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
}

}  // namespace lmx::bench
