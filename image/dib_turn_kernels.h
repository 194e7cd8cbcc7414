// The quarter turns built for richer instruction sets, each in a file of its own compiled for
// that set; called only where the processor has it.
#pragma once

#include <cstdint>

#include "image/dib_quarter_turns.h"

#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
#define LMX_TURN_KERNELS 1
#else
#define LMX_TURN_KERNELS 0
#endif

namespace lmx {

#if LMX_TURN_KERNELS
void Turn1Avx2(const PixelRows& src, uint32_t w, uint32_t h, const PixelRows& dst, bool clockwise);
void Turn4Avx2(const PixelRows& src, uint32_t w, uint32_t h, const PixelRows& dst, bool clockwise);
void Turn1Avx512(const PixelRows& src, uint32_t w, uint32_t h, const PixelRows& dst, bool clockwise);
#endif

}  // namespace lmx
