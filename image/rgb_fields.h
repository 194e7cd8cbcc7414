// The colours of 16- and 32-bit pictures: each pixel's red, green and blue fields, found by
// the colour masks a bit-field picture carries behind its header (5-5-5 or 8-8-8 for a
// picture without), scaled to 0..255. The viewer shows such pictures as 24-bit colour.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/dib_transforms.h"

namespace lmx {

class RgbFields {
 public:
  RgbFields() = default;
  RgbFields(const RgbFields&) = delete;
  RgbFields& operator=(const RgbFields&) = delete;
  ~RgbFields();

  // Takes the masks of the 16- or 32-bit picture in `block`, laid out as `layout` says.
  // False for any other depth, for compressions other than none and bit fields, and when
  // the scaling tables cannot be allocated.
  bool Init(const void* block, const DibLayout& layout);

  // `count` pixels of `row` from pixel `first` on, as blue, green, red bytes.
  void ToBgr(const uint8_t* row, uint32_t first, uint32_t count, uint8_t* bgr) const;
  // Pixel `x` of `row` as blue, green, red bytes.
  void PixelToBgr(const uint8_t* row, uint32_t x, uint8_t* bgr) const;

 private:
  // One colour's field: the pixel's bits under `mask`, shifted down, scaled from 0..max.
  struct Channel {
    uint32_t mask = 0;
    uint32_t shift = 0;
    uint32_t max = 0;
    uint8_t* scaled = nullptr;  // max + 1 entries; null for fields of more than 16 bits
    bool Init(uint32_t fieldMask);
    uint8_t Value(uint32_t pixel) const;
  };

  uint32_t Read(const uint8_t* row, uint32_t x) const;

  Channel blue_, green_, red_;
  uint32_t bytesPerPixel_ = 0;
};

}  // namespace lmx
