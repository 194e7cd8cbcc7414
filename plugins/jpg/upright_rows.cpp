#include "plugins/jpg/upright_rows.h"

#include <algorithm>
#include <cstring>

namespace lmx::jpg {

// Stored pixel (x, y) of a W x H picture shows at (u, v):
//   1 (x, y)   2 (W-1-x, y)   3 (W-1-x, H-1-y)   4 (x, H-1-y)
//   5 (y, x)   6 (H-1-y, x)   7 (H-1-y, W-1-x)   8 (y, W-1-x)
// and the DIB holds upright row v at row (upright height - 1 - v), bottom-up.

UprightRows::UprightRows(uint8_t* pixels, uint64_t stride, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                         int orientation)
    : pixels_(pixels),
      stride_(stride),
      width_(width),
      height_(height),
      bytesPerPixel_(bytesPerPixel),
      orientation_(orientation >= 1 && orientation <= 8 ? orientation : 1) {}

void UprightRows::UprightSize(int orientation, uint32_t width, uint32_t height, uint32_t* uprightWidth,
                              uint32_t* uprightHeight) {
  const bool across = orientation >= 5 && orientation <= 8;
  *uprightWidth = across ? height : width;
  *uprightHeight = across ? width : height;
}

uint8_t* UprightRows::RowFor(uint32_t y) const {
  const bool flipped = orientation_ == 3 || orientation_ == 4;
  return pixels_ + (flipped ? y : height_ - 1 - y) * stride_;
}

void UprightRows::FinishRow(uint8_t* row) const {
  if (orientation_ != 2 && orientation_ != 3) return;
  uint8_t* left = row;
  uint8_t* right = row + (uint64_t{width_} - 1) * bytesPerPixel_;
  for (; left < right; left += bytesPerPixel_, right -= bytesPerPixel_) {
    std::swap_ranges(left, left + bytesPerPixel_, right);
  }
}

void UprightRows::Place(const uint8_t* rows, size_t rowBytes, uint32_t y, uint32_t count) const {
  const uint32_t bpp = bytesPerPixel_;
  const size_t used = size_t{width_} * bpp;
  if (RowsStayWhole()) {
    for (uint32_t j = 0; j < count; ++j) {
      uint8_t* row = RowFor(y + j);
      std::memcpy(row, rows + j * rowBytes, used);
      FinishRow(row);
    }
    return;
  }
  // Each stored row becomes a column: for every stored x, the band's rows fill a run of
  // neighbouring pixels of one DIB row, left to right (5, 8) or right to left (6, 7).
  const bool fromRight = orientation_ == 6 || orientation_ == 7;
  const bool rowFromX = orientation_ == 7 || orientation_ == 8;  // DIB row x, else W-1-x
  const int64_t firstU = fromRight ? int64_t{height_} - 1 - y : y;
  const int64_t step = fromRight ? -1 : 1;
  for (uint32_t x = 0; x < width_; ++x) {
    uint8_t* dibRow = pixels_ + (rowFromX ? x : width_ - 1 - x) * stride_;
    const uint8_t* src = rows + size_t{x} * bpp;
    int64_t u = firstU;
    if (bpp == 3) {
      for (uint32_t j = 0; j < count; ++j, src += rowBytes, u += step) {
        uint8_t* dst = dibRow + u * 3;
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
      }
    } else {
      for (uint32_t j = 0; j < count; ++j, src += rowBytes, u += step) dibRow[u] = *src;
    }
  }
}

}  // namespace lmx::jpg
