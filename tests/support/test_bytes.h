// Bytes of test files and packed DIBs, written field by field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "plugins/common/packed_dib.h"

namespace lmx::test {

// Little-endian fields; the vector grows when the field lies past its end.
inline void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
  if (b.size() < at + 2) b.resize(at + 2);
  b[at] = v & 0xFF;
  b[at + 1] = v >> 8;
}
inline void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  if (b.size() < at + 4) b.resize(at + 4);
  for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

// A packed DIB of `colors` table entries at 3780 pixels per metre, table and pixels zeroed.
inline std::vector<uint8_t> MakeDib(uint32_t width, uint32_t height, uint16_t bits, uint32_t colors) {
  const size_t stride = DibStride(width, bits);
  std::vector<uint8_t> b(kInfoHeaderSize + 4 * size_t{colors} + stride * height);
  const DibHeader h{kInfoHeaderSize, int32_t(width), int32_t(height), 1, bits, 0, uint32_t(stride * height),
                    3780, 3780, colors, 0};
  WriteDibHeader(b.data(), h);
  return b;
}

}  // namespace lmx::test
