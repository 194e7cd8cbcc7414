#include "plugins/webp/webp_details.h"

#include <cstring>

#include "plugins/common/tiff_fields.h"

namespace lmx::webp {
namespace {

uint32_t Le16(const uint8_t* p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8; }
uint32_t Le24(const uint8_t* p) { return Le16(p) | uint32_t{p[2]} << 16; }
uint32_t Le32(const uint8_t* p) { return Le24(p) | uint32_t{p[3]} << 24; }

struct Facts {
  bool lossless = false;  // of the first image bitstream
  bool lossy = false;
  bool alpha = false;
  bool animated = false;
  uint32_t width = 0, height = 0;
  uint32_t frames = 0;
  bool loopCountSeen = false;
  uint32_t loops = 0;
  const uint8_t* exif = nullptr;
  size_t exifSize = 0;
};

// The size and alpha of a "VP8 " or "VP8L" chunk's bitstream; false when it is too short or
// not one.
bool ReadBitstream(const uint8_t* type, const uint8_t* data, size_t size, Facts& f) {
  if (std::memcmp(type, "VP8 ", 4) == 0) {
    if (size < 10 || data[3] != 0x9D || data[4] != 0x01 || data[5] != 0x2A) return false;
    if (!f.width) {
      f.width = Le16(data + 6) & 0x3FFF;
      f.height = Le16(data + 8) & 0x3FFF;
    }
    f.lossy = true;
    return true;
  }
  if (std::memcmp(type, "VP8L", 4) == 0) {
    if (size < 5 || data[0] != 0x2F) return false;
    const uint32_t bits = Le32(data + 1);
    if (!f.width) {
      f.width = (bits & 0x3FFF) + 1;
      f.height = ((bits >> 14) & 0x3FFF) + 1;
    }
    f.alpha = f.alpha || ((bits >> 28) & 1) != 0;
    f.lossless = true;
    return true;
  }
  return false;
}

// Walks the chunks after the RIFF header, as far as whole chunk headers go.
bool ReadChunks(const uint8_t* data, size_t size, Facts& f) {
  size_t at = 12;
  bool first = true, image = false;
  while (size - at >= 8) {
    const uint8_t* type = data + at;
    const uint32_t length = Le32(data + at + 4);
    const uint8_t* body = data + at + 8;
    const size_t have = length < size - at - 8 ? length : size - at - 8;
    if (first && std::memcmp(type, "VP8X", 4) == 0) {
      if (have < 10) return false;
      f.alpha = (body[0] & 0x10) != 0;
      f.animated = (body[0] & 0x02) != 0;
      f.width = Le24(body + 4) + 1;
      f.height = Le24(body + 7) + 1;
    } else if (std::memcmp(type, "ANIM", 4) == 0 && have >= 6) {
      f.loopCountSeen = true;
      f.loops = Le16(body + 4);
    } else if (std::memcmp(type, "ANMF", 4) == 0) {
      // The frame's own chunks follow its 16 bytes of placement.
      if (f.frames++ == 0 && have >= 24) ReadBitstream(body + 16, body + 24, have - 24, f);
      image = true;
    } else if (std::memcmp(type, "ALPH", 4) == 0) {
      f.alpha = true;
    } else if (std::memcmp(type, "EXIF", 4) == 0 && !f.exif) {
      f.exif = body;
      f.exifSize = have;
    } else if (!image && ReadBitstream(type, body, have, f)) {
      image = true;
    } else if (first) {
      return false;
    }
    first = false;
    at += 8 + size_t{length} + (length & 1);
    if (at > size) break;
  }
  return !first && f.width && f.height;
}

}  // namespace

bool DescribeWebp(const uint8_t* data, size_t size, uint32_t, FileDetails& out) {
  if (size < 20 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WEBP", 4) != 0) return false;
  Facts f;
  if (!ReadChunks(data, size, f)) return false;
  std::string format = "WebP";
  if (f.animated) {
    format += Printf(f.frames == 1 ? ", animated, %u frame" : ", animated, %u frames", f.frames);
    if (f.frames > 1 && f.loopCountSeen) format += f.loops == 0 ? ", looping" : Printf(", %u loops", f.loops);
  } else if (f.lossless) {
    format += ", lossless";
  } else if (f.lossy) {
    format += ", lossy";
  }
  out.Add(detail_key::kFormat, format);
  out.Add(detail_key::kDimensions, Printf("%u x %u", f.width, f.height));
  out.Add(detail_key::kPixels, f.alpha ? "8-bit RGBA" : "8-bit RGB");
  out.Add(detail_key::kColour, f.lossy && !f.lossless ? "YCbCr" : "RGB");
  if (f.exif) {
    // Some writers keep JPEG's "Exif\0\0" before the TIFF structure.
    const bool prefixed = f.exifSize >= 6 && std::memcmp(f.exif, "Exif\0\0", 6) == 0;
    DescribeExif(f.exif + (prefixed ? 6 : 0), f.exifSize - (prefixed ? 6 : 0), out);
  }
  return true;
}

}  // namespace lmx::webp
