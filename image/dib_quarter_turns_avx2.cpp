// The quarter turns in AVX2 (this file is compiled for it).
#include <immintrin.h>

#include <algorithm>

#include "image/dib_turn_blocks.h"
#include "image/dib_turn_kernels.h"

#if LMX_TURN_KERNELS
namespace lmx {

namespace {

// The columns of one source byte as in the SSE2 form, with two groups' lanes in one 32-byte
// register, so that one movemask gives 32 rows of a column.
struct MaskColumns256 {
  __m256i low, high;
  MaskColumns256(__m128i a, __m128i b, __m128i c, __m128i d)
      : low(_mm256_set_m128i(b, a)), high(_mm256_set_m128i(d, c)) {}
  void Put(uint8_t* out, size_t bytes) {
    const uint32_t lo = uint32_t(_mm256_movemask_epi8(low)), hi = uint32_t(_mm256_movemask_epi8(high));
    low = _mm256_add_epi8(low, low);
    high = _mm256_add_epi8(high, high);
    if (bytes == 8) {
      std::memcpy(out, &lo, 4);
      std::memcpy(out + 4, &hi, 4);
      return;
    }
    const uint64_t bits = uint64_t(lo) | uint64_t(hi) << 32;
    std::memcpy(out, &bits, bytes);
  }
};

}  // namespace

void Turn1Avx2(const PixelRows& src, uint32_t w, uint32_t h, const PixelRows& dst, bool clockwise) {
  Turn1ByGroups<MaskColumns256>(src, w, h, dst, clockwise);
}

namespace {

struct Unpack256 {
  static __m256i Lo8(__m256i a, __m256i b) { return _mm256_unpacklo_epi8(a, b); }
  static __m256i Hi8(__m256i a, __m256i b) { return _mm256_unpackhi_epi8(a, b); }
  static __m256i Lo16(__m256i a, __m256i b) { return _mm256_unpacklo_epi16(a, b); }
  static __m256i Hi16(__m256i a, __m256i b) { return _mm256_unpackhi_epi16(a, b); }
  static __m256i Lo32(__m256i a, __m256i b) { return _mm256_unpacklo_epi32(a, b); }
  static __m256i Hi32(__m256i a, __m256i b) { return _mm256_unpackhi_epi32(a, b); }
  static __m256i Lo64(__m256i a, __m256i b) { return _mm256_unpacklo_epi64(a, b); }
  static __m256i Hi64(__m256i a, __m256i b) { return _mm256_unpackhi_epi64(a, b); }
};

// The 32 bytes from byte qb on of `row`; a null row reads as zero, and a row's last bytes
// are read through a copy when 32 would run past its padded end.
inline __m256i LoadRow32(const uint8_t* row, size_t qb, size_t stride) {
  if (!row) return _mm256_setzero_si256();
  if (qb + 32 <= stride) return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + qb));
  uint8_t tail[32] = {};
  std::memcpy(tail, row + qb, stride - qb);
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(tail));
}

// The first `bytes` (1 to 16) of v at p.
inline void StoreFirst(uint8_t* p, __m128i v, size_t bytes) {
  if (bytes == 16) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
  } else {
    uint8_t tmp[16];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(tmp), v);
    std::memcpy(p, tmp, bytes);
  }
}

}  // namespace

// Quarter turns at four bits, 32 destination columns (32 source rows, as 16 pairs) at a
// time. First the nibbles of each pair of rows are crossed: of every source byte, the two
// left pixels make one byte (the upper row's in the high nibble), the destination byte of
// the left pixel's column, and the two right pixels the other. What is left is a byte
// transpose: pair p, byte b goes to byte p of the row of column 2b or 2b + 1. Each 128-bit
// lane holds 16 bytes of a row, so one 16 x 16 transpose turns 32 source bytes.
void Turn4Avx2(const PixelRows& src, uint32_t w, uint32_t h, const PixelRows& dst, bool clockwise) {
  const size_t rowBytes = (size_t{w} + 1) / 2;
  // Tiles of 128 destination columns by 64 source bytes (128 destination rows): every cache
  // line of a tile's source is used up and every line of its destination filled while the
  // tile is in the first level cache. The next tile's source lines are fetched ahead.
  constexpr uint32_t kBand = 128;
  constexpr size_t kSpan = 64;
  const __m256i high = _mm256_set1_epi8(static_cast<char>(0xF0)), low = _mm256_set1_epi8(0x0F);
  for (uint32_t band = 0; band < h; band += kBand) {
    const uint32_t bandEnd = std::min(band + kBand, h);
    for (size_t span = 0; span < rowBytes; span += kSpan) {
      const size_t spanEnd = std::min(span + kSpan, rowBytes);
      for (uint32_t j0 = band; j0 < bandEnd; j0 += 32) {
        const uint32_t n = std::min<uint32_t>(32, h - j0);
        const size_t outAt = j0 / 2, outBytes = (n + 1) / 2;
        const uint8_t* rows[32];
        for (uint32_t k = 0; k < 32; ++k) rows[k] = k < n ? src.Row(clockwise ? j0 + k : h - 1 - j0 - k) : nullptr;
        // The next tile's source lines are fetched ahead: many rows are read side by side,
        // more streams than the processor follows by itself.
        if (spanEnd < rowBytes) {
          for (uint32_t k = 0; k < n; ++k) _mm_prefetch(reinterpret_cast<const char*>(rows[k] + spanEnd), _MM_HINT_T0);
          // And a quarter of the next tile's destination lines, for writing.
          const uint32_t quarter = (j0 - band) / 32;
          for (uint32_t k = 0; k < 32; ++k) {
            const uint32_t col = static_cast<uint32_t>(2 * spanEnd) + 32 * quarter + k;
            if (col >= w) break;
            const uint8_t* line = dst.Row(clockwise ? w - 1 - col : col) + band / 2;
            __builtin_prefetch(line, 1);
            __builtin_prefetch(line + 63, 1);
          }
        }
        for (size_t qb = span; qb < spanEnd; qb += 32) {
          __m256i left[16], right[16];
          for (uint32_t p = 0; p < 16; ++p) {
            const __m256i a = LoadRow32(rows[2 * p], qb, src.stride);
            const __m256i b = LoadRow32(rows[2 * p + 1], qb, src.stride);
            left[p] = _mm256_or_si256(_mm256_and_si256(a, high), _mm256_and_si256(_mm256_srli_epi16(b, 4), low));
            right[p] = _mm256_or_si256(_mm256_and_si256(_mm256_slli_epi16(a, 4), high), _mm256_and_si256(b, low));
          }
          Transpose16x16<__m256i, Unpack256>(left);
          Transpose16x16<__m256i, Unpack256>(right);
          for (size_t half = 0; half < 2; ++half) {
            for (size_t b = 0; b < 16; ++b) {
              const size_t byte = qb + 16 * half + b;
              if (byte >= spanEnd) break;
              const __m128i l = half ? _mm256_extracti128_si256(left[b], 1) : _mm256_castsi256_si128(left[b]);
              const __m128i r = half ? _mm256_extracti128_si256(right[b], 1) : _mm256_castsi256_si128(right[b]);
              const uint32_t col = static_cast<uint32_t>(2 * byte);
              StoreFirst(dst.Row(clockwise ? w - 1 - col : col) + outAt, l, outBytes);
              if (col + 1 < w) StoreFirst(dst.Row(clockwise ? w - 2 - col : col + 1) + outAt, r, outBytes);
            }
          }
        }
      }
    }
  }
}

}  // namespace lmx
#endif
