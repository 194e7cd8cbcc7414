// The screen as lmx_drive writes it: a 24-bit bottom-up .bmp, read pixel by pixel.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/test_env.h"

namespace lmx::test {

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

inline std::ostream& operator<<(std::ostream& os, const Rgb& c) {
  return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

struct Bmp {
  int width = 0, height = 0;
  std::vector<uint8_t> bytes;
  uint32_t offBits = 0;

  bool Read(const std::wstring& path) {
    bytes = ReadWholeFile(path);
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return false;
    auto u32 = [&](size_t at) {
      return static_cast<uint32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | bytes[at + 3] << 24);
    };
    offBits = u32(10);
    width = static_cast<int>(u32(18));
    height = static_cast<int>(u32(22));
    const int bpp = bytes[28] | bytes[29] << 8;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    return bpp == 24 && width > 0 && height > 0 && bytes.size() >= offBits + stride * height;
  }

  Rgb At(int x, int y) const {
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    const uint8_t* p = &bytes[offBits + static_cast<size_t>(height - 1 - y) * stride + x * 3];
    return {p[2], p[1], p[0]};
  }

  // Every pixel of the picture, or the first one that differs.
  ::testing::AssertionResult AllOf(const Rgb& colour) const {
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        if (!(At(x, y) == colour)) {
          return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << At(x, y);
        }
      }
    }
    return ::testing::AssertionSuccess();
  }
};

}  // namespace lmx::test
