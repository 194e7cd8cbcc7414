#include "plugins/bmp/bmp_details.h"

#include <cstdlib>

#include "plugins/common/little_endian.h"

namespace lmx::bmp {
namespace {

const char* HeaderKind(uint32_t size) {
  switch (size) {
    case 12: return "OS/2 1.x";
    case 16: case 64: return "OS/2 2.x";
    case 40: return "Windows 3.x";
    case 52: return "Windows V2";
    case 56: return "Windows V3";
    case 108: return "Windows V4";
    case 124: return "Windows V5";
    default: return nullptr;
  }
}

const char* CompressionName(uint32_t compression, bool os2) {
  switch (compression) {
    case 0: return nullptr;
    case 1: return "RLE8";
    case 2: return "RLE4";
    case 3: return os2 ? "Huffman 1D" : "bit fields";
    case 4: return os2 ? "RLE24" : "JPEG";
    case 5: return "PNG";
    case 6: return "alpha bit fields";
    default: return "unknown compression";
  }
}

int Bits(uint32_t mask) {
  int n = 0;
  for (; mask; mask &= mask - 1) ++n;
  return n;
}

// "8-bit RGB", "5-6-5 RGB", "8-bit RGBA" from the channel masks.
std::string Channels(const uint32_t masks[4]) {
  const int r = Bits(masks[0]), g = Bits(masks[1]), b = Bits(masks[2]), a = Bits(masks[3]);
  const char* name = a ? "RGBA" : "RGB";
  if (r == g && g == b && (!a || a == r)) return Printf("%d-bit %s", r, name);
  return a ? Printf("%d-%d-%d-%d %s", r, g, b, a, name) : Printf("%d-%d-%d %s", r, g, b, name);
}

}  // namespace

bool DescribeBmp(const uint8_t* data, size_t size, uint32_t, FileDetails& out) {
  if (size < 18 || data[0] != 'B' || data[1] != 'M') return false;
  const uint8_t* info = data + 14;
  const size_t infoBytes = size - 14;
  const uint32_t headerSize = Le32(info);
  const bool os2 = headerSize == 12 || headerSize == 16 || headerSize == 64;
  int64_t width, height;
  uint32_t bits, compression = 0;
  if (headerSize == 12 && infoBytes >= 12) {
    width = Le16(info + 4), height = Le16(info + 6), bits = Le16(info + 10);
  } else if (headerSize >= 16 && infoBytes >= 16) {
    width = static_cast<int32_t>(Le32(info + 4)), height = static_cast<int32_t>(Le32(info + 8));
    bits = Le16(info + 14);
    if (headerSize >= 20 && infoBytes >= 20) compression = Le32(info + 16);
  } else {
    out.Add(detail_key::kFormat, "BMP");
    return true;
  }
  std::string format = "BMP";
  const char* kind = HeaderKind(headerSize);
  format += kind ? std::string(", ") + kind : Printf(", %u-byte header", headerSize);
  if (const char* name = CompressionName(compression, os2)) format += std::string(", ") + name;
  if (height < 0) format += ", top-down";
  out.Add(detail_key::kFormat, format);
  out.Add(detail_key::kDimensions,
          Printf("%lld x %lld", static_cast<long long>(width), static_cast<long long>(std::llabs(height))));
  if (bits >= 1 && bits <= 8) {
    out.Add(detail_key::kPixels, Printf("%u-bit palette", bits));
    out.Add(detail_key::kColour, "palette");
  } else if (bits == 16 || bits == 24 || bits == 32) {
    uint32_t masks[4] = {0x7C00, 0x03E0, 0x001F, 0};
    if (bits != 16) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    const bool fields = !os2 && (compression == 3 || compression == 6) && bits != 24;
    // Masks follow a 40-byte header, or are part of a longer one (alpha from 56 bytes on).
    const size_t maskAt = 40, maskCount = headerSize >= 56 ? 4 : (headerSize == 40 && compression == 6 ? 4 : 3);
    if (fields && infoBytes >= maskAt + 4 * maskCount) {
      masks[3] = 0;
      for (size_t i = 0; i < maskCount; ++i) masks[i] = Le32(info + maskAt + 4 * i);
    }
    out.Add(detail_key::kPixels, Channels(masks));
    out.Add(detail_key::kColour, "RGB");
  } else {
    out.Add(detail_key::kPixels, Printf("%u bits per pixel", bits));
  }
  if (headerSize >= 40 && infoBytes >= 32 && !os2) {
    const int32_t x = static_cast<int32_t>(Le32(info + 24)), y = static_cast<int32_t>(Le32(info + 28));
    out.Add(detail_key::kResolution, PixelsPerMetreText(x, y));
  }
  return true;
}

}  // namespace lmx::bmp
