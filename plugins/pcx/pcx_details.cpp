#include "plugins/pcx/pcx_details.h"

#include "plugins/common/little_endian.h"

namespace lmx::pcx {
namespace {

const char* Version(uint8_t version) {
  switch (version) {
    case 0: return "2.5";
    case 2: return "2.8 with palette";
    case 3: return "2.8";
    case 4: return "Paintbrush for Windows";
    case 5: return "3.0";
    default: return nullptr;
  }
}

}  // namespace

bool DescribePcx(const uint8_t* data, size_t size, uint32_t, FileDetails& out) {
  if (size < 128 || data[0] != 0x0A) return false;
  const char* version = Version(data[1]);
  std::string format = version ? std::string("PCX ") + version : Printf("PCX, version %u", data[1]);
  format += data[2] == 1 ? ", RLE" : ", uncompressed";
  out.Add(detail_key::kFormat, format);
  const int width = Le16(data + 8) - Le16(data + 4) + 1, height = Le16(data + 10) - Le16(data + 6) + 1;
  if (width > 0 && height > 0) out.Add(detail_key::kDimensions, Printf("%d x %d", width, height));
  const unsigned bits = data[3], planes = data[65];
  if (planes == 3 || planes == 4) {
    if (bits == 8) {
      out.Add(detail_key::kPixels, planes == 4 ? "8-bit RGBA" : "8-bit RGB");
      out.Add(detail_key::kColour, "RGB");
    } else {
      out.Add(detail_key::kPixels, Printf("%u-bit palette, %u planes", bits * planes, planes));
      out.Add(detail_key::kColour, "palette");
    }
  } else if (planes == 1) {
    const bool grey = Le16(data + 68) == 2 && bits == 8;
    out.Add(detail_key::kPixels, Printf("%u-bit %s", bits, grey ? "grey" : "palette"));
    out.Add(detail_key::kColour, grey ? "grey" : "palette");
  } else {
    out.Add(detail_key::kPixels, Printf("%u bits, %u planes", bits, planes));
  }
  const unsigned x = Le16(data + 12), y = Le16(data + 14);
  if (x && y) out.Add(detail_key::kResolution, Printf("%u x %u dpi", x, y));
  return true;
}

}  // namespace lmx::pcx
