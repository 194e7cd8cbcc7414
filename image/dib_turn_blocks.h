// Building blocks of the vector quarter turns. Each file of one instruction set includes
// them with internal linkage, so that no copy built for a richer set stands in for another.
#pragma once

#include <emmintrin.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "image/dib_quarter_turns.h"

namespace lmx {
namespace {

// The byte interleaves of one vector width, for Transpose16x16.
struct Unpack128 {
  static __m128i Lo8(__m128i a, __m128i b) { return _mm_unpacklo_epi8(a, b); }
  static __m128i Hi8(__m128i a, __m128i b) { return _mm_unpackhi_epi8(a, b); }
  static __m128i Lo16(__m128i a, __m128i b) { return _mm_unpacklo_epi16(a, b); }
  static __m128i Hi16(__m128i a, __m128i b) { return _mm_unpackhi_epi16(a, b); }
  static __m128i Lo32(__m128i a, __m128i b) { return _mm_unpacklo_epi32(a, b); }
  static __m128i Hi32(__m128i a, __m128i b) { return _mm_unpackhi_epi32(a, b); }
  static __m128i Lo64(__m128i a, __m128i b) { return _mm_unpacklo_epi64(a, b); }
  static __m128i Hi64(__m128i a, __m128i b) { return _mm_unpackhi_epi64(a, b); }
};

// 16 x 16 bytes in every 128-bit lane of V: x[k] is row k on entry; on return byte k of a
// lane of x[b] is byte b of that lane of row k. Four rounds of interleaving, 8-, 16-, 32-
// and 64-bit elements, each within the lanes (U holds V's interleaves).
template <typename V, typename U>
inline void Transpose16x16(V x[16]) {
  V a[16], b[16];
  for (int i = 0; i < 8; ++i) {
    a[i] = U::Lo8(x[2 * i], x[2 * i + 1]);      // rows 2i, 2i+1; bytes 0-7
    a[i + 8] = U::Hi8(x[2 * i], x[2 * i + 1]);  // bytes 8-15
  }
  // b[4q + p]: rows 4p..4p+3, bytes 4q..4q+3.
  for (int p = 0; p < 4; ++p) {
    b[p] = U::Lo16(a[2 * p], a[2 * p + 1]);
    b[p + 4] = U::Hi16(a[2 * p], a[2 * p + 1]);
    b[p + 8] = U::Lo16(a[8 + 2 * p], a[9 + 2 * p]);
    b[p + 12] = U::Hi16(a[8 + 2 * p], a[9 + 2 * p]);
  }
  // a[2e + o]: rows 8o..8o+7, bytes 2e and 2e+1.
  for (int q = 0; q < 4; ++q) {
    for (int o = 0; o < 2; ++o) {
      a[4 * q + o] = U::Lo32(b[4 * q + 2 * o], b[4 * q + 2 * o + 1]);
      a[4 * q + 2 + o] = U::Hi32(b[4 * q + 2 * o], b[4 * q + 2 * o + 1]);
    }
  }
  for (int e = 0; e < 8; ++e) {
    x[2 * e] = U::Lo64(a[2 * e], a[2 * e + 1]);
    x[2 * e + 1] = U::Hi64(a[2 * e], a[2 * e + 1]);
  }
}

// The 16 bytes from byte `qb` on of `row`; a null row reads as zero, and a row's last bytes
// are read through a copy when 16 would run past its padded end.
inline __m128i LoadRow16(const uint8_t* row, size_t qb, size_t stride) {
  if (!row) return _mm_setzero_si128();
  if (qb + 16 <= stride) return _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + qb));
  uint8_t tail[16] = {};
  std::memcpy(tail, row + qb, stride - qb);
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(tail));
}

// The 16 x 16 bytes from byte `qb` on of the rows rows[0..15], as LoadRow16 reads them.
inline void LoadBlock16(const uint8_t* const rows[16], size_t qb, size_t stride, __m128i x[16]) {
  const bool whole = qb + 16 <= stride;
  for (int k = 0; k < 16; ++k) {
    x[k] = whole && rows[k] ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[k] + qb))
                            : LoadRow16(rows[k], qb, stride);
  }
}

// The four 16 x 16 byte blocks of a one-bit quarter turn: 64 source rows from j0 on (n of
// them in the picture), 16 bytes from byte qb on, each block turned so that x[g][b] holds
// byte b of the group's 16 rows.
inline void LoadGroups1(const PixelRows& src, uint32_t h, bool clockwise, uint32_t j0, uint32_t n, size_t qb,
                        size_t rowBytes, __m128i x[4][16]) {
  for (uint32_t g = 0; g < 4; ++g) {
    const uint8_t* rows[16];
    for (uint32_t k = 0; k < 16; ++k) {
      // Lanes in the order movemask reads them into big-endian bytes: 7..0, 15..8.
      const uint32_t col = 16 * g + (k < 8 ? 7 - k : 23 - k);
      rows[k] = col < n ? src.Row(clockwise ? j0 + col : h - 1 - j0 - col) : nullptr;
    }
    // Once per cache line of the source, the next line of each row is fetched ahead.
    if (qb % 64 == 0 && qb + 64 < rowBytes) {
      for (uint32_t k = 0; k < 16; ++k) {
        if (rows[k]) _mm_prefetch(reinterpret_cast<const char*>(rows[k] + qb + 64), _MM_HINT_T0);
      }
    }
    LoadBlock16(rows, qb, src.stride, x[g]);
    Transpose16x16<__m128i, Unpack128>(x[g]);
  }
}

// Quarter turns at one bit, 64 destination columns (64 source rows) at a time. The source
// rows are read 16 bytes at a time in four groups of 16, each group turned as a 16 x 16
// byte block (LoadGroups1). For each source byte, a `Columns` is made from the four groups'
// vectors of that byte; each call of its Put(out, bytes) writes the 64 bits of one source
// column, its left one first (group g in bits 16g up), to the first `bytes` (8 for a whole
// group of rows) of the destination bytes of that column's row at `out`. Each source column
// goes to the row it lands on, so the source needs no alignment; rows past the picture's
// last read as zero, which is what the destination's pad bits must hold.
template <typename Columns>
void Turn1ByGroups(const PixelRows& src, uint32_t w, uint32_t h, const PixelRows& dst, bool clockwise) {
  const size_t rowBytes = (size_t{w} + 7) / 8;
  // Bands of 512 destination columns: the band's source rows stay in the second level cache
  // and the 64 destination bytes that each row gets from a band in the first.
  constexpr uint32_t kBand = 512;
  for (uint32_t band = 0; band < h; band += kBand) {
    const uint32_t bandEnd = std::min(band + kBand, h);
    for (size_t qb = 0; qb < rowBytes; qb += 16) {
      const size_t bEnd = std::min<size_t>(16, rowBytes - qb);
      for (uint32_t j0 = band; j0 < bandEnd; j0 += 64) {
        const uint32_t n = std::min<uint32_t>(64, h - j0);
        __m128i x[4][16];
        LoadGroups1(src, h, clockwise, j0, n, qb, rowBytes, x);
        const size_t outAt = j0 / 8, outBytes = (n + 7) / 8;
        for (size_t b = 0; b < bEnd; ++b) {
          Columns columns(x[0][b], x[1][b], x[2][b], x[3][b]);
          const uint32_t col0 = static_cast<uint32_t>(8 * (qb + b));
          const uint32_t cEnd = std::min<uint32_t>(8, w - col0);
          for (uint32_t c = 0; c < cEnd; ++c) {
            const uint32_t col = col0 + c;
            uint8_t* out = dst.Row(clockwise ? w - 1 - col : col) + outAt;
            columns.Put(out, outBytes);
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace lmx
