// The one-bit quarter turn in AVX-512 with GFNI (this file is compiled for AVX-512 F, BW and
// VBMI and for GFNI).
#include <immintrin.h>

#include <algorithm>

#include "image/dib_turn_blocks.h"
#include "image/dib_turn_kernels.h"

#if LMX_TURN_KERNELS
namespace lmx {
namespace {

struct Unpack512 {
  static __m512i Lo8(__m512i a, __m512i b) { return _mm512_unpacklo_epi8(a, b); }
  static __m512i Hi8(__m512i a, __m512i b) { return _mm512_unpackhi_epi8(a, b); }
  static __m512i Lo16(__m512i a, __m512i b) { return _mm512_unpacklo_epi16(a, b); }
  static __m512i Hi16(__m512i a, __m512i b) { return _mm512_unpackhi_epi16(a, b); }
  static __m512i Lo32(__m512i a, __m512i b) { return _mm512_unpacklo_epi32(a, b); }
  static __m512i Hi32(__m512i a, __m512i b) { return _mm512_unpackhi_epi32(a, b); }
  static __m512i Lo64(__m512i a, __m512i b) { return _mm512_unpacklo_epi64(a, b); }
  static __m512i Hi64(__m512i a, __m512i b) { return _mm512_unpackhi_epi64(a, b); }
};

}  // namespace

// One-bit quarter turns, 64 destination columns (64 source rows) by 128 source columns at a
// time. The four groups of 16 source rows are read 16 bytes at a time into the four lanes of
// 64-byte registers and turned together as 16 x 16 byte blocks, so that each register holds
// one source byte of all 64 rows, eight rows to a 64-bit word. One affine transform over
// GF(2) per register then turns every word as an 8 x 8 bit matrix: byte c of word q becomes
// the destination byte q of the row of the byte's column c. A byte permutation gathers each
// column's eight bytes into one word, which is that row's whole piece. Rows past the
// picture's last read as zero, which is what the destination's pad bits must hold.
void Turn1Avx512(const PixelRows& src, uint32_t w, uint32_t h, const PixelRows& dst, bool clockwise) {
  const size_t rowBytes = (size_t{w} + 7) / 8;
  // Bands of 512 destination columns, as in the other forms; the band's source rows are
  // looked up once.
  constexpr uint32_t kBand = 512;
  const uint8_t* bandRows[kBand];
  // Byte c of every word selects bit 7 - c of a row's byte: the pixel of column c.
  const __m512i columnSelect = _mm512_set1_epi64(0x0102040810204080ll);
  // Byte 8c + q of the result takes byte 8q + c.
  alignas(64) uint8_t gather[64];
  for (int c = 0; c < 8; ++c) {
    for (int q = 0; q < 8; ++q) gather[8 * c + q] = static_cast<uint8_t>(8 * q + c);
  }
  const __m512i wordsByColumn = _mm512_loadu_si512(gather);
  for (uint32_t band = 0; band < h; band += kBand) {
    const uint32_t bandEnd = std::min(band + kBand, h);
    for (uint32_t i = 0; i < kBand; ++i) {
      bandRows[i] = band + i < h ? src.Row(clockwise ? band + i : h - 1 - band - i) : nullptr;
    }
    for (size_t qb = 0; qb < rowBytes; qb += 16) {
      const size_t bEnd = std::min<size_t>(16, rowBytes - qb);
      const bool fetchAhead = qb % 64 == 0 && qb + 64 < rowBytes;
      for (uint32_t j0 = band; j0 < bandEnd; j0 += 64) {
        const uint32_t n = std::min<uint32_t>(64, h - j0);
        const uint8_t* const* rows = bandRows + (j0 - band);
        // Once per cache line of the source, the next line of each row is fetched ahead.
        if (fetchAhead) {
          for (uint32_t k = 0; k < n; ++k) _mm_prefetch(reinterpret_cast<const char*>(rows[k] + qb + 64), _MM_HINT_T0);
        }
        __m512i x[16];
        if (n == 64 && qb + 16 <= src.stride) {
          for (uint32_t k = 0; k < 16; ++k) {
            auto at = [&](uint32_t r) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[r] + qb)); };
            __m512i v = _mm512_zextsi128_si512(at(k));
            v = _mm512_inserti32x4(v, at(16 + k), 1);
            v = _mm512_inserti32x4(v, at(32 + k), 2);
            x[k] = _mm512_inserti32x4(v, at(48 + k), 3);
          }
        } else {
          for (uint32_t k = 0; k < 16; ++k) {
            __m512i v = _mm512_zextsi128_si512(LoadRow16(rows[k], qb, src.stride));
            v = _mm512_inserti32x4(v, LoadRow16(rows[16 + k], qb, src.stride), 1);
            v = _mm512_inserti32x4(v, LoadRow16(rows[32 + k], qb, src.stride), 2);
            x[k] = _mm512_inserti32x4(v, LoadRow16(rows[48 + k], qb, src.stride), 3);
          }
        }
        // Lane g of x[b]: byte b of rows 16g .. 16g + 15; after the permutation below, word
        // c holds the destination bytes of column c, row 0 first.
        Transpose16x16<__m512i, Unpack512>(x);
        const size_t outAt = j0 / 8, outBytes = (n + 7) / 8;
        for (size_t b = 0; b < bEnd; ++b) {
          const __m512i turned = _mm512_gf2p8affine_epi64_epi8(columnSelect, x[b], 0);
          const __m512i pieces = _mm512_permutexvar_epi8(wordsByColumn, turned);
          const uint32_t col0 = static_cast<uint32_t>(8 * (qb + b));
          const uint32_t cEnd = std::min<uint32_t>(8, w - col0);
          uint8_t* const first = dst.Row(clockwise ? w - 1 - col0 : col0) + outAt;
          const ptrdiff_t step = clockwise ? -static_cast<ptrdiff_t>(dst.stride) : static_cast<ptrdiff_t>(dst.stride);
          auto rowOf = [&](uint32_t c) { return first + static_cast<ptrdiff_t>(c) * step; };
          if (cEnd == 8 && n == 64) {
            auto storeLane = [&](__m128i two, uint32_t c) {
              _mm_storel_epi64(reinterpret_cast<__m128i*>(rowOf(c)), two);
              _mm_storeh_pd(reinterpret_cast<double*>(rowOf(c + 1)), _mm_castsi128_pd(two));
            };
            storeLane(_mm512_maskz_extracti32x4_epi32(0xF, pieces, 0), 0);
            storeLane(_mm512_maskz_extracti32x4_epi32(0xF, pieces, 1), 2);
            storeLane(_mm512_maskz_extracti32x4_epi32(0xF, pieces, 2), 4);
            storeLane(_mm512_maskz_extracti32x4_epi32(0xF, pieces, 3), 6);
          } else {
            alignas(64) uint8_t words[64];
            _mm512_store_si512(words, pieces);
            for (uint32_t c = 0; c < cEnd; ++c) std::memcpy(rowOf(c), words + 8 * c, outBytes);
          }
        }
      }
    }
  }
}

}  // namespace lmx
#endif
