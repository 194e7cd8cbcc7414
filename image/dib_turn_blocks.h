// Building blocks of the vector quarter turns. Each file of one instruction set includes
// them with internal linkage, so that no copy built for a richer set stands in for another.
#pragma once

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "dib_quarter_turns.h"

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

// The 16 x 16 bytes from byte `qb` on of the rows rows[0..15] (null rows read as zero).
// A row's last bytes are read through a copy when 16 would run past its padded end.
inline void LoadBlock16(const uint8_t* const rows[16], size_t qb, size_t stride, __m128i x[16]) {
  const bool whole = qb + 16 <= stride;
  for (int k = 0; k < 16; ++k) {
    if (!rows[k]) {
      x[k] = _mm_setzero_si128();
    } else if (whole) {
      x[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[k] + qb));
    } else {
      alignas(16) uint8_t tail[16] = {};
      std::memcpy(tail, rows[k] + qb, stride - qb);
      x[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(tail));
    }
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

}  // namespace
}  // namespace lmx
