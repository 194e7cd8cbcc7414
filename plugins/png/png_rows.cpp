#include "plugins/png/png_rows.h"

#include "plugins/common/over_white.h"

namespace lmx::png {

uint64_t SourceRowBytes(RowForm form, uint32_t width, uint32_t bitCount) {
  switch (form) {
    case RowForm::kAsIs: return (uint64_t{width} * bitCount + 7) / 8;
    case RowForm::kTwoBit: return (uint64_t{width} + 3) / 4;
    case RowForm::kGreyAlpha: return uint64_t{width} * 2;
    case RowForm::kColourAlpha: return uint64_t{width} * 4;
  }
  return 0;
}

void ConvertRow(RowForm form, const uint8_t* src, uint8_t* dst, uint32_t width) {
  switch (form) {
    case RowForm::kAsIs:
      break;
    case RowForm::kTwoBit:
      // Four indices a byte become two: the high half of a source byte, then the low half.
      for (uint32_t i = 0, n = (width + 1) / 2; i < n; ++i) {
        const unsigned pair = (i & 1) ? src[i / 2] & 0x0F : src[i / 2] >> 4;
        dst[i] = static_cast<uint8_t>((pair >> 2) << 4 | (pair & 3));
      }
      // The padding after an odd last pixel is the file's, or nothing libpng wrote: zero.
      if (width & 1) dst[width / 2] &= 0xF0;
      break;
    case RowForm::kGreyAlpha:
      for (uint32_t x = 0; x < width; ++x, src += 2) dst[x] = OverWhite(src[0], src[1]);
      break;
    case RowForm::kColourAlpha:
      BgraOverWhite(src, dst, width);
      break;
  }
}

void MakeOpaque(RowForm form, uint8_t* rows, uint64_t rowBytes, uint64_t count) {
  const uint64_t step = form == RowForm::kGreyAlpha ? 2 : form == RowForm::kColourAlpha ? 4 : 0;
  if (!step) return;
  for (uint64_t r = 0; r < count; ++r) {
    uint8_t* row = rows + r * rowBytes;
    for (uint64_t at = step - 1; at < rowBytes; at += step) row[at] = 255;
  }
}

}  // namespace lmx::png
