// The packed DIB that crosses from a format plug-in to the host: a 40-byte
// BITMAPINFOHEADER, the RGBQUAD colour table and the bottom-up pixel rows, in one block.
// A 16- or 32-bit bit-field picture carries its three colour masks between the header and
// the colour table, where the platform's BITMAPINFO has them.
// Platform-independent so that decoders and transforms also build natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace lmx {

constexpr uint32_t kInfoHeaderSize = 40;
constexpr int32_t kDefaultPelsPerMeter = 2953;  // 75 dots per inch
constexpr double kInchesPerMetre = 39.370078740157474;  // 1 / 0.0254

#pragma pack(push, 1)
struct DibHeader {
  uint32_t biSize;
  int32_t biWidth;
  int32_t biHeight;
  uint16_t biPlanes;
  uint16_t biBitCount;
  uint32_t biCompression;
  uint32_t biSizeImage;
  int32_t biXPelsPerMeter;
  int32_t biYPelsPerMeter;
  uint32_t biClrUsed;
  uint32_t biClrImportant;
};

struct RgbQuad {
  uint8_t blue, green, red, reserved;
};
#pragma pack(pop)

static_assert(sizeof(DibHeader) == kInfoHeaderSize, "BITMAPINFOHEADER is 40 bytes");

constexpr uint32_t kBitFields = 3;       // biCompression of a picture with colour masks
constexpr uint32_t kColourMaskBytes = 12;  // red, green and blue, 32 bits each

// Bytes of colour masks behind the header: the three masks of a 16- or 32-bit bit-field
// picture, none for anything else.
inline uint32_t DibMaskBytes(const DibHeader& h) {
  return h.biCompression == kBitFields && (h.biBitCount == 16 || h.biBitCount == 32) ? kColourMaskBytes : 0;
}

// Bytes of one row, padded to 4 bytes; 64-bit so that no header field can overflow it.
inline uint64_t DibStride(uint32_t width, uint32_t bitCount) {
  return ((uint64_t{width} * bitCount + 31) / 32) * 4;
}

// Entries of the colour table a header implies when it states none itself.
inline uint32_t DefaultColorCount(uint32_t bitCount) {
  return bitCount < 16 ? (1u << bitCount) : 0;
}

// The header of an uncompressed bottom-up picture with `colors` table entries, at 75 dots
// per inch; biSizeImage counts the padded rows.
inline DibHeader MakeDibHeader(uint32_t width, uint32_t height, uint32_t bitCount, uint32_t colors) {
  DibHeader h{};
  h.biSize = kInfoHeaderSize;
  h.biWidth = static_cast<int32_t>(width);
  h.biHeight = static_cast<int32_t>(height);
  h.biPlanes = 1;
  h.biBitCount = static_cast<uint16_t>(bitCount);
  h.biSizeImage = static_cast<uint32_t>(DibStride(width, bitCount) * height);
  h.biXPelsPerMeter = kDefaultPelsPerMeter;
  h.biYPelsPerMeter = kDefaultPelsPerMeter;
  h.biClrUsed = colors;
  return h;
}

inline DibHeader ReadDibHeader(const void* block) {
  DibHeader h;
  std::memcpy(&h, block, sizeof h);
  return h;
}

inline void WriteDibHeader(void* block, const DibHeader& h) {
  std::memcpy(block, &h, sizeof h);
}

// Largest block a decoder will ask for: a bound for files that claim absurd sizes.
// 1 GiB holds a 16384 x 16384 picture at 32 bits per pixel.
constexpr uint64_t kMaxBlockBytes = uint64_t{1} << 30;

}  // namespace lmx
