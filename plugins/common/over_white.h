// Transparency as the plug-ins show it: a colour value composited over white by its alpha,
// c' = (c * a + 255 * (255 - a) + 127) / 255, on 8-bit values.
#pragma once

#include <cstdint>

namespace lmx {

// c over white at alpha a.
inline uint8_t OverWhite(unsigned c, unsigned a) {
  return static_cast<uint8_t>((c * a + 255 * (255 - a) + 127) / 255);
}

// `width` blue, green, red and alpha pixels at `src` over white into blue, green, red at `dst`.
void BgraOverWhite(const uint8_t* src, uint8_t* dst, uint32_t width);

}  // namespace lmx
