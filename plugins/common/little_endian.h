// Little-endian fields of file headers, read byte by byte so that neither alignment nor the
// host's byte order matters.
#pragma once

#include <cstdint>

namespace lmx {

inline uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

inline uint32_t Le32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace lmx
