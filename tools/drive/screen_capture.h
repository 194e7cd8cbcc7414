// The whole screen (under Wine, the virtual desktop) as a 24-bit picture.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace lmx {

struct ScreenPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rows;  // bottom-up BGR rows, each padded to 4 bytes
  int Stride() const { return (width * 3 + 3) & ~3; }
  // Blue, green, red of pixel (x, y), y counted from the top.
  const uint8_t* Pixel(int x, int y) const { return &rows[static_cast<size_t>(height - 1 - y) * Stride() + x * 3]; }
};

// Copies the screen; false when the copy fails.
bool CaptureScreen(ScreenPicture* picture);

// Writes a .bmp file with a 40-byte header.
bool WriteBmpFile(const wchar_t* path, const ScreenPicture& picture);

}  // namespace lmx
