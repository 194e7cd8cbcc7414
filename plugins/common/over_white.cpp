#include "plugins/common/over_white.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lmx {
namespace {

#if defined(__SSE2__)
// OverWhite on two blue, green, red, alpha pixels widened to 16 bits: c * a + 255 * (255 - a)
// + 127 stays below 65536, and for such t, t / 255 is (t + 1 + (t >> 8)) >> 8 exactly.
inline __m128i OverWhite2(__m128i pixels) {
  const __m128i c255 = _mm_set1_epi16(255);
  const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(pixels, 0xFF), 0xFF);
  const __m128i t = _mm_add_epi16(
      _mm_add_epi16(_mm_mullo_epi16(pixels, alpha), _mm_mullo_epi16(_mm_sub_epi16(c255, alpha), c255)),
      _mm_set1_epi16(127));
  return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(t, _mm_set1_epi16(1)), _mm_srli_epi16(t, 8)), 8);
}

// Blue, green, red, alpha pixels over white into blue, green, red, four at a time while a
// pixel stays after them (each is stored as four bytes, the fourth then overwritten); the
// pixels done.
uint32_t ColourAlphaOverWhite(const uint8_t* src, uint8_t* dst, uint32_t width) {
  const __m128i zero = _mm_setzero_si128();
  uint32_t x = 0;
  for (; x + 4 < width; x += 4, src += 16, dst += 12) {
    const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
    const __m128i out =
        _mm_packus_epi16(OverWhite2(_mm_unpacklo_epi8(in, zero)), OverWhite2(_mm_unpackhi_epi8(in, zero)));
    uint8_t four[16];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(four), out);
    std::memcpy(dst, four, 4);
    std::memcpy(dst + 3, four + 4, 4);
    std::memcpy(dst + 6, four + 8, 4);
    std::memcpy(dst + 9, four + 12, 4);
  }
  return x;
}
#else
uint32_t ColourAlphaOverWhite(const uint8_t*, uint8_t*, uint32_t) { return 0; }
#endif

}  // namespace

void BgraOverWhite(const uint8_t* src, uint8_t* dst, uint32_t width) {
  const uint32_t done = ColourAlphaOverWhite(src, dst, width);
  src += uint64_t{done} * 4;
  dst += uint64_t{done} * 3;
  for (uint32_t x = done; x < width; ++x, src += 4, dst += 3) {
    const unsigned a = src[3];
    dst[0] = OverWhite(src[0], a);
    dst[1] = OverWhite(src[1], a);
    dst[2] = OverWhite(src[2], a);
  }
}

}  // namespace lmx
