// JPEG files patched or cut from real ones, for the JPEG reader's tests and the plug-in's.
#pragma once

#include <cstdint>
#include <vector>

namespace lmx::test {

// Offset of the first frame header (SOF0-SOF2) marker.
inline size_t FrameHeader(const std::vector<uint8_t>& b) {
  for (size_t i = 2; i + 9 < b.size(); ++i) {
    if (b[i] == 0xFF && b[i + 1] >= 0xC0 && b[i + 1] <= 0xC2) return i;
  }
  return 0;
}

inline std::vector<uint8_t> WithSize(std::vector<uint8_t> b, uint16_t width, uint16_t height) {
  const size_t sof = FrameHeader(b);
  b[sof + 5] = uint8_t(height >> 8);
  b[sof + 6] = uint8_t(height);
  b[sof + 7] = uint8_t(width >> 8);
  b[sof + 8] = uint8_t(width);
  return b;
}

inline std::vector<uint8_t> Cut(std::vector<uint8_t> b, size_t size) {
  b.resize(size);
  return b;
}

}  // namespace lmx::test
