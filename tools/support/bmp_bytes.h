// The bytes of a 24-bit bottom-up BMP file whose pixels a function gives, for the tools and
// tests that need a picture of their own (header only).
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace lmx::test {

// `pixel(x, row, bgr)` fills the blue, green and red bytes of column x of file row `row`
// (row 0 is the bottom one, as the file stores it).
template <typename Pixel>
std::vector<uint8_t> Bmp24Bytes(int width, int height, Pixel pixel) {
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  const size_t headers = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  std::vector<uint8_t> file(headers + stride * static_cast<size_t>(height));
  auto* fh = reinterpret_cast<BITMAPFILEHEADER*>(file.data());
  fh->bfType = 0x4D42;
  fh->bfSize = static_cast<DWORD>(file.size());
  fh->bfOffBits = static_cast<DWORD>(headers);
  auto* ih = reinterpret_cast<BITMAPINFOHEADER*>(file.data() + sizeof(BITMAPFILEHEADER));
  ih->biSize = sizeof(BITMAPINFOHEADER);
  ih->biWidth = width;
  ih->biHeight = height;
  ih->biPlanes = 1;
  ih->biBitCount = 24;
  for (int row = 0; row < height; ++row) {
    uint8_t* line = file.data() + headers + static_cast<size_t>(row) * stride;
    for (int x = 0; x < width; ++x) pixel(x, row, line + 3 * x);
  }
  return file;
}

}  // namespace lmx::test
