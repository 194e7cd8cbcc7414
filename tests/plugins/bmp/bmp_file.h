// Windows bitmap files written field by field, for the BMP reader's tests and the plug-in's.
#pragma once

#include <cstdint>
#include <vector>

#include "tests/support/test_bytes.h"

namespace lmx::test {

// A 14-byte file header, an info header of `infoSize` bytes, the colour table, the pixels.
struct BmpFile {
  int32_t width = 4, height = 1;
  uint16_t bitCount = 8;
  uint32_t compression = 0, sizeImage = 0, clrUsed = 0, clrImportant = 0;
  int32_t xPels = 3780, yPels = 3780;
  uint32_t infoSize = 40;
  bool zeroOffBits = false;
  std::vector<uint8_t> colors;  // raw table bytes
  std::vector<uint8_t> pixels;

  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> b(14 + infoSize);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 10, zeroOffBits ? 0 : static_cast<uint32_t>(14 + infoSize + colors.size()));
    Put32(b, 14, infoSize);
    Put32(b, 18, static_cast<uint32_t>(width));
    Put32(b, 22, static_cast<uint32_t>(height));
    Put16(b, 26, 1);
    Put16(b, 28, bitCount);
    Put32(b, 30, compression);
    Put32(b, 34, sizeImage);
    Put32(b, 38, static_cast<uint32_t>(xPels));
    Put32(b, 42, static_cast<uint32_t>(yPels));
    Put32(b, 46, clrUsed);
    Put32(b, 50, clrImportant);
    b.resize(14 + infoSize);
    b.insert(b.end(), colors.begin(), colors.end());
    b.insert(b.end(), pixels.begin(), pixels.end());
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    return b;
  }
};

// n grey entries of a bitmap's colour table.
inline std::vector<uint8_t> GreyTable(int n) {
  std::vector<uint8_t> t;
  for (int i = 0; i < n; ++i) t.insert(t.end(), {uint8_t(i), uint8_t(i), uint8_t(i), 0});
  return t;
}

}  // namespace lmx::test
