// Rows as a JPEG stores them, top-down, placed into the bottom-up rows of a packed DIB so
// that the picture shows upright, whatever EXIF orientation (1-8) it records.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lmx::jpg {

class UprightRows {
 public:
  // `pixels`: the DIB's rows, `stride` bytes apart, of a picture stored `width` x `height`
  // pixels of `bytesPerPixel` bytes (1 or 3). The DIB is sized by UprightSize.
  UprightRows(uint8_t* pixels, uint64_t stride, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
              int orientation);

  // The size the picture shows in: width and height trade places for orientations 5-8.
  static void UprightSize(int orientation, uint32_t width, uint32_t height, uint32_t* uprightWidth,
                          uint32_t* uprightHeight);

  // Orientations 1-4 keep each stored row whole: it may be decoded straight into the DIB row
  // RowFor gives, and is mirrored there by FinishRow when the orientation asks for it.
  bool RowsStayWhole() const { return orientation_ <= 4; }
  uint8_t* RowFor(uint32_t y) const;
  void FinishRow(uint8_t* row) const;

  // Places `count` stored rows from row `y` on, which lie `rowBytes` apart at `rows`.
  void Place(const uint8_t* rows, size_t rowBytes, uint32_t y, uint32_t count) const;

 private:
  uint8_t* pixels_;
  uint64_t stride_;
  uint32_t width_, height_;  // as stored
  uint32_t bytesPerPixel_;
  int orientation_;
};

}  // namespace lmx::jpg
