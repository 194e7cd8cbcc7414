// Pictures made smaller by averaging: each pixel of the result is the mean of a square of
// factor x factor pixels of the source (fewer at the right and top edges), so that thin lines
// stay as grey rather than vanish.
#pragma once

#include <cstdint>

#include "plugins/common/dib_block.h"

namespace lmx {

// The whole-number factor by which a width x height picture may shrink and still be no smaller
// than the picture fitted whole into a box of boxWidth x boxHeight; 1 when it fits already or
// the box is empty.
uint32_t ReductionFactor(uint32_t width, uint32_t height, uint32_t boxWidth, uint32_t boxHeight);

// The packed DIB `block` reduced by `factor` into a new block from `heap`: 8-bit grey when the
// source is 8 bits or less with a grey colour table, 24 bits otherwise. Takes 1, 4, 8, 16, 24
// and 32 bits (16 and 32 with or without colour masks), uncompressed. kRefused for anything
// else.
DibBlock ReduceDib(const uint8_t* block, uint32_t factor, BlockHeap& heap);

}  // namespace lmx
