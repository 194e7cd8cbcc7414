// One WebP bitstream (a whole file, or the data of an animation's frame) decoded by libwebp
// into a rectangle of 24-bit rows, transparency composited over white.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lmx::webp {

// Where the rows go: the first (top) row at `top`, each next row `step` bytes on (negative for
// the bottom-up rows of a DIB), blue, green, red bytes.
struct RowsTarget {
  uint8_t* top;
  ptrdiff_t step;
  uint32_t width;   // the bitstream is scaled to this size when it differs from its own
  uint32_t height;
};

enum class FrameEnd {
  kWhole,      // every row
  kCut,        // the data ended before the last row
  kDamaged,    // libwebp found an error in the data
  kNoMemory,   // memory ran out
};

struct FrameResult {
  FrameEnd end = FrameEnd::kDamaged;
  uint32_t rows = 0;  // rows written, from the top
};

// Decodes the bitstream at `data` into `target` through libwebp's incremental decoder, so that a
// cut or damaged one still gives the rows before the fault. Rows not reached are left as they
// are. A bitstream with transparency gives blue, green, red and alpha rows, composited over
// white; the others are written straight into the target by libwebp.
FrameResult DecodeFrame(const uint8_t* data, size_t size, const RowsTarget& target);

}  // namespace lmx::webp
