#include "plugins/jpg/jpg_details.h"

#include <cstring>

#include "plugins/common/tiff_fields.h"

namespace lmx::jpg {
namespace {

uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

struct Frame {
  uint8_t marker = 0;  // SOFn
  unsigned precision = 0, width = 0, height = 0, components = 0;
  unsigned h[4] = {}, v[4] = {};
};

struct Markers {
  Frame frame;
  const uint8_t* exif = nullptr;
  size_t exifSize = 0;
  const uint8_t* comment = nullptr;
  size_t commentSize = 0;
  bool jfif = false;
  unsigned jfifUnit = 0, jfifX = 0, jfifY = 0;
  int adobeTransform = -1;
};

const char* Process(uint8_t marker) {
  switch (marker) {
    case 0xC0: return "baseline";
    case 0xC1: return "extended";
    case 0xC2: return "progressive";
    case 0xC3: return "lossless";
    case 0xC5: case 0xC6: case 0xC7: return "hierarchical";
    case 0xC9: return "extended, arithmetic";
    case 0xCA: return "progressive, arithmetic";
    case 0xCB: return "lossless, arithmetic";
    default: return "hierarchical, arithmetic";
  }
}

const char* Subsampling(const Frame& f) {
  if (f.components != 3 || !f.h[1] || !f.v[1] || f.h[1] != f.h[2] || f.v[1] != f.v[2]) return nullptr;
  if (f.h[0] % f.h[1] || f.v[0] % f.v[1]) return nullptr;
  const unsigned h = f.h[0] / f.h[1], v = f.v[0] / f.v[1];
  if (h == 1 && v == 1) return "4:4:4";
  if (h == 2 && v == 1) return "4:2:2";
  if (h == 2 && v == 2) return "4:2:0";
  if (h == 1 && v == 2) return "4:4:0";
  if (h == 4 && v == 1) return "4:1:1";
  return nullptr;
}

const char* ColourType(const Markers& m) {
  switch (m.frame.components) {
    case 1: return "grey";
    case 3: return m.adobeTransform == 0 ? "RGB" : "YCbCr";
    case 4: return m.adobeTransform == 2 ? "YCCK" : "CMYK";
    default: return nullptr;
  }
}

void ReadSegment(uint8_t marker, const uint8_t* p, size_t size, Markers& m) {
  if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
    if (m.frame.marker || size < 6) return;
    Frame& f = m.frame;
    f.marker = marker;
    f.precision = p[0];
    f.height = Be16(p + 1);
    f.width = Be16(p + 3);
    f.components = p[5];
    for (unsigned i = 0; i < f.components && i < 4 && 6 + 3 * i + 2 < size; ++i) {
      f.h[i] = p[6 + 3 * i + 1] >> 4;
      f.v[i] = p[6 + 3 * i + 1] & 15;
    }
  } else if (marker == 0xE0 && size >= 12 && std::memcmp(p, "JFIF\0", 5) == 0 && !m.jfif) {
    m.jfif = true;
    m.jfifUnit = p[7];
    m.jfifX = Be16(p + 8);
    m.jfifY = Be16(p + 10);
  } else if (marker == 0xE1 && size > 6 && std::memcmp(p, "Exif\0\0", 6) == 0 && !m.exif) {
    m.exif = p + 6;
    m.exifSize = size - 6;
  } else if (marker == 0xEE && size >= 12 && std::memcmp(p, "Adobe", 5) == 0) {
    m.adobeTransform = p[11];
  } else if (marker == 0xFE && !m.comment) {
    m.comment = p;
    m.commentSize = size;
  }
}

// The markers up to the first scan; a segment cut by the file's end is read as far as it goes.
void ReadMarkers(const uint8_t* data, size_t size, Markers& m) {
  size_t at = 2;
  while (at + 2 <= size) {
    if (data[at] != 0xFF) break;
    const uint8_t marker = data[at + 1];
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    at += 2;
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;
    if (marker == 0xD9 || marker == 0xDA || at + 2 > size) break;
    const size_t length = Be16(data + at);
    if (length < 2) break;
    const size_t end = length <= size - at ? at + length : size;
    ReadSegment(marker, data + at + 2, end - at - 2, m);
    at = end;
  }
}

}  // namespace

bool DescribeJpeg(const uint8_t* data, size_t size, uint32_t, FileDetails& out) {
  if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) return false;
  Markers m;
  ReadMarkers(data, size, m);
  const Frame& f = m.frame;
  std::string format = "JPEG";
  if (f.marker) format += std::string(", ") + Process(f.marker);
  if (const char* sampling = Subsampling(f)) format += std::string(", ") + sampling;
  out.Add(detail_key::kFormat, format);
  if (f.marker) {
    out.Add(detail_key::kDimensions, Printf("%u x %u", f.width, f.height));
    if (const char* colour = ColourType(m)) {
      out.Add(detail_key::kPixels, Printf("%u-bit %s", f.precision, colour));
      out.Add(detail_key::kColour, colour);
    } else {
      out.Add(detail_key::kPixels, Printf("%u-bit, %u channels", f.precision, f.components));
    }
  }
  if (m.jfif && m.jfifUnit >= 1 && m.jfifUnit <= 2) {
    out.Add(detail_key::kResolution, ResolutionText(m.jfifX, m.jfifY, m.jfifUnit + 1));
  }
  if (m.exif) {
    const TiffFields fields(m.exif, m.exifSize);
    TiffDirectory first;
    if (fields.Valid() && fields.Directory(fields.FirstDirectoryOffset(), &first)) {
      double x, y;
      uint32_t unit = 2;
      fields.Unsigned(first, 0x0128, &unit);
      if (fields.Number(first, 0x011A, &x) && fields.Number(first, 0x011B, &y)) {
        out.Add(detail_key::kResolution, ResolutionText(x, y, unit));
      }
      DescribeCamera(fields, first, out);
    }
  }
  if (m.comment) out.AddText(detail_key::kComment, m.comment, m.commentSize, TextEncoding::kUtf8);
  return true;
}

}  // namespace lmx::jpg
