#include "image/rgb_fields.h"

#include <new>

#include "plugins/common/little_endian.h"

namespace lmx {

namespace {

constexpr uint32_t kLargestTable = 0xFFFF;  // fields of up to 16 bits are scaled by a table

// round(value x 255 / max): what the field's top value and every step under it stand for.
uint8_t Scale(uint64_t value, uint64_t max) { return static_cast<uint8_t>((value * 510 + max) / (2 * max)); }

}  // namespace

bool RgbFields::Channel::Init(uint32_t fieldMask) {
  mask = fieldMask;
  shift = mask ? static_cast<uint32_t>(__builtin_ctz(mask)) : 0;
  max = mask >> shift;
  if (max == 0 || max > kLargestTable) return true;
  scaled = new (std::nothrow) uint8_t[max + 1];
  if (!scaled) return false;
  for (uint32_t v = 0; v <= max; ++v) scaled[v] = Scale(v, max);
  return true;
}

uint8_t RgbFields::Channel::Value(uint32_t pixel) const {
  const uint32_t v = (pixel & mask) >> shift;
  if (scaled) return scaled[v];
  return max ? Scale(v, max) : 0;
}

RgbFields::~RgbFields() {
  delete[] blue_.scaled;
  delete[] green_.scaled;
  delete[] red_.scaled;
}

bool RgbFields::Init(const void* block, const DibLayout& layout) {
  if (layout.bitCount != 16 && layout.bitCount != 32) return false;
  const DibHeader h = ReadDibHeader(block);
  uint32_t masks[3];  // red, green, blue
  if (DibMaskBytes(h)) {
    const auto* stored = static_cast<const uint8_t*>(block) + kInfoHeaderSize;
    for (int i = 0; i < 3; ++i) masks[i] = Le32(stored + 4 * i);
  } else if (h.biCompression == 0 && layout.bitCount == 16) {
    masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
  } else if (h.biCompression == 0) {
    masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
  } else {
    return false;
  }
  bytesPerPixel_ = layout.bitCount / 8;
  return red_.Init(masks[0]) && green_.Init(masks[1]) && blue_.Init(masks[2]);
}

uint32_t RgbFields::Read(const uint8_t* row, uint32_t x) const {
  const uint8_t* p = row + size_t{x} * bytesPerPixel_;
  return bytesPerPixel_ == 2 ? Le16(p) : Le32(p);
}

void RgbFields::PixelToBgr(const uint8_t* row, uint32_t x, uint8_t* bgr) const {
  const uint32_t pixel = Read(row, x);
  bgr[0] = blue_.Value(pixel);
  bgr[1] = green_.Value(pixel);
  bgr[2] = red_.Value(pixel);
}

void RgbFields::ToBgr(const uint8_t* row, uint32_t first, uint32_t count, uint8_t* bgr) const {
  for (uint32_t i = 0; i < count; ++i, bgr += 3) PixelToBgr(row, first + i, bgr);
}

}  // namespace lmx
