// Rows that libpng gives in a form the DIB does not take as it is, converted into DIB rows.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lmx::png {

enum class RowForm {
  kAsIs,        // palette indices of 1, 4 or 8 bits, grey bytes, or blue, green, red
  kTwoBit,      // 2-bit palette indices, widened to 4 bits
  kGreyAlpha,   // grey and alpha bytes, composited over white into grey bytes
  kColourAlpha, // blue, green, red and alpha bytes, composited over white
};

// Bytes of one row of `width` pixels as libpng gives it in `form` (`bitCount` for kAsIs).
uint64_t SourceRowBytes(RowForm form, uint32_t width, uint32_t bitCount);

// Converts one row of `width` pixels.
void ConvertRow(RowForm form, const uint8_t* src, uint8_t* dst, uint32_t width);

// Sets the alpha of every pixel of `rows` rows of `form` (kGreyAlpha, kColourAlpha) opaque,
// so that pixels an interlaced file never delivers come out black as in the other forms.
void MakeOpaque(RowForm form, uint8_t* rows, uint64_t rowBytes, uint64_t count);

}  // namespace lmx::png
