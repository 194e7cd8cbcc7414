// PNG files patched from PngSuite's, for the PNG reader's tests and the plug-in's.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace lmx::test {

inline uint32_t Be32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t{b[at]} << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}
inline void PutBe32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (24 - 8 * i));
}

// Offset of the first chunk of `type` (its length field).
inline size_t Chunk(const std::vector<uint8_t>& b, const char* type) {
  for (size_t at = 8; at + 12 <= b.size(); at += 12 + Be32(b, at)) {
    if (std::memcmp(&b[at + 4], type, 4) == 0) return at;
  }
  return 0;
}

// The chunk at `at` with its CRC made right again after a patch.
inline void FixCrc(std::vector<uint8_t>& b, size_t at) {
  const uint32_t length = Be32(b, at);
  PutBe32(b, at + 8 + length, static_cast<uint32_t>(crc32(0, &b[at + 4], length + 4)));
}

inline std::vector<uint8_t> WithSize(std::vector<uint8_t> b, uint32_t width, uint32_t height) {
  const size_t ihdr = Chunk(b, "IHDR");
  PutBe32(b, ihdr + 8, width);
  PutBe32(b, ihdr + 12, height);
  FixCrc(b, ihdr);
  return b;
}

}  // namespace lmx::test
