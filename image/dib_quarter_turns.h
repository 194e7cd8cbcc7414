// Quarter turns of 1- and 4-bit pixel rows with the processor's vector instructions: SSE2,
// which every x86-64 processor has, and AVX2 and AVX-512 where present, chosen at run time.
// The transforms fall back on their portable code where none applies.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lmx {

// Pixel rows as the transforms address them: memory row 0 is the picture's bottom row.
struct PixelRows {
  uint8_t* base;
  size_t stride;
  uint8_t* Row(uint32_t y) const { return base + y * stride; }
};

// The instruction sets the transforms may use, each including the ones before it.
enum class VectorForm : int { kPortable = 0, kSse2 = 1, kAvx2 = 2, kAvx512 = 3 };  // AVX-512: F, BW and VBMI, with GFNI

// The best form this build and processor offer, no better than the limit set.
VectorForm TransformVectorForm();
// Keeps the transforms to `most` and below (tests and benchmarks compare the forms); the
// best form returns with kAvx512.
void LimitTransformVectorForm(VectorForm most);

// Turns a w x h picture of `bits` (1 or 4) per pixel from `src` into `dst` (h wide, w high,
// zero-filled): clockwise, destination row a, column j takes source row j, column w - 1 - a;
// counter-clockwise, source row h - 1 - j, column a. False, with nothing written, where no
// vector form applies.
bool TurnPackedVector(const PixelRows& src, uint32_t w, uint32_t h, uint32_t bits, const PixelRows& dst,
                      bool clockwise);

}  // namespace lmx
