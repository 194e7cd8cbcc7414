// PCX files written field by field, for the PCX reader's tests and the plug-in's.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "tests/support/test_bytes.h"

namespace lmx::test {

// A 128-byte header, the pixel data, and for 8 bits the 256-colour palette trailer.
struct PcxFile {
  uint8_t manufacturer = 0x0A, version = 5, encoding = 1, bits = 8, planes = 1;
  uint16_t xmin = 0, ymin = 0, xmax = 3, ymax = 0, bytesPerLine = 4;
  std::vector<uint8_t> headerPalette = std::vector<uint8_t>(48, 0);
  std::vector<uint8_t> data;
  bool trailer = true;  // the 769-byte palette, for 8-bit files
  uint8_t marker = 12;

  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> b(128);
    b[0] = manufacturer;
    b[1] = version;
    b[2] = encoding;
    b[3] = bits;
    Put16(b, 4, xmin);
    Put16(b, 6, ymin);
    Put16(b, 8, xmax);
    Put16(b, 10, ymax);
    std::copy(headerPalette.begin(), headerPalette.end(), b.begin() + 16);
    b[65] = planes;
    Put16(b, 66, bytesPerLine);
    b.resize(128 + data.size());
    std::copy(data.begin(), data.end(), b.begin() + 128);
    if (trailer && bits * planes == 8) {
      b.push_back(marker);
      for (int i = 0; i < 256; ++i) b.insert(b.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
    }
    return b;
  }
};

// A plain (not run-length) file of width x height, `bits` per plane in `planes`, whose
// `dataBytes` bytes of data are zero and have no palette behind them.
inline PcxFile PlainPcx(uint16_t width, uint16_t height, uint8_t bits, uint8_t planes, size_t dataBytes) {
  PcxFile f;
  f.encoding = 0, f.bits = bits, f.planes = planes, f.trailer = false;
  f.xmax = width - 1, f.ymax = height - 1, f.bytesPerLine = (width * bits + 7) / 8;
  f.data.assign(dataBytes, 0);
  return f;
}

}  // namespace lmx::test
