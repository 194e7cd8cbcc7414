#include "image/dib_quarter_turns.h"

#include <algorithm>
#include <atomic>

#if defined(__SSE2__)
#include "image/dib_turn_blocks.h"
#include "image/dib_turn_kernels.h"
#endif

namespace lmx {

#if defined(__SSE2__)
namespace {

// The columns of one source byte with SSE2: the top bit of every lane (movemask) is the
// pixel of one column for 16 rows, and doubling the lanes brings up the next column.
struct MaskColumns128 {
  __m128i v0, v1, v2, v3;
  MaskColumns128(__m128i a, __m128i b, __m128i c, __m128i d) : v0(a), v1(b), v2(c), v3(d) {}
  void Put(uint8_t* out, size_t bytes) {
    const uint16_t m0 = uint16_t(_mm_movemask_epi8(v0)), m1 = uint16_t(_mm_movemask_epi8(v1));
    const uint16_t m2 = uint16_t(_mm_movemask_epi8(v2)), m3 = uint16_t(_mm_movemask_epi8(v3));
    v0 = _mm_add_epi8(v0, v0), v1 = _mm_add_epi8(v1, v1), v2 = _mm_add_epi8(v2, v2), v3 = _mm_add_epi8(v3, v3);
    if (bytes == 8) {
      std::memcpy(out, &m0, 2);
      std::memcpy(out + 2, &m1, 2);
      std::memcpy(out + 4, &m2, 2);
      std::memcpy(out + 6, &m3, 2);
      return;
    }
    const uint64_t bits = uint64_t(m0) | uint64_t(m1) << 16 | uint64_t(m2) << 32 | uint64_t(m3) << 48;
    std::memcpy(out, &bits, bytes);
  }
};

void Turn1Sse2(const PixelRows& src, uint32_t w, uint32_t h, const PixelRows& dst, bool clockwise) {
  Turn1ByGroups<MaskColumns128>(src, w, h, dst, clockwise);
}

// Quarter turns at four bits, 16 destination columns at a time: the 16 source rows that make
// them up are read 16 bytes at a time and turned as a 16 x 16 byte block; then each 16-bit
// lane pairs two rows' nibbles of one source byte into the destination bytes of its left and
// of its right pixel. The last group of columns may be narrower; its missing rows read as zero.
void Turn4Sse2(const PixelRows& src, uint32_t w, uint32_t h, const PixelRows& dst, bool clockwise) {
  const size_t rowBytes = (size_t{w} + 1) / 2;
  // Tiles of 128 destination columns by 64 source bytes (128 destination rows): every cache
  // line of a tile's source is used up and every line of its destination filled while the
  // tile is in the first level cache. The next tile's source lines are fetched ahead.
  constexpr uint32_t kBand = 128;
  constexpr size_t kSpan = 64;
  const __m128i low = _mm_set1_epi16(0x000F), high = _mm_set1_epi16(0x00F0);
  for (uint32_t band = 0; band < h; band += kBand) {
    const uint32_t bandEnd = std::min(band + kBand, h);
    for (size_t span = 0; span < rowBytes; span += kSpan) {
      const size_t spanEnd = std::min(span + kSpan, rowBytes);
      for (uint32_t j0 = band; j0 < bandEnd; j0 += 16) {
        const uint32_t n = std::min<uint32_t>(16, h - j0);
        const size_t outAt = j0 / 2, outBytes = (n + 1) / 2;
        const uint8_t* rows[16];
        for (uint32_t k = 0; k < 16; ++k) rows[k] = k < n ? src.Row(clockwise ? j0 + k : h - 1 - j0 - k) : nullptr;
        if (spanEnd < rowBytes) {
          for (uint32_t k = 0; k < n; ++k) _mm_prefetch(reinterpret_cast<const char*>(rows[k] + spanEnd), _MM_HINT_T0);
        }
        for (size_t qb = span; qb < spanEnd; qb += 16) {
          __m128i x[16];
          LoadBlock16(rows, qb, src.stride, x);
          Transpose16x16<__m128i, Unpack128>(x);
          const size_t bEnd = std::min<size_t>(16, rowBytes - qb);
          for (size_t b = 0; b < bEnd; ++b) {
            // 16-bit lane i holds rows 2i (low byte) and 2i+1: the left pixel of the source
            // byte is each row's high nibble, the right one its low nibble.
            const __m128i v = x[b];
            const __m128i left = _mm_or_si128(_mm_and_si128(v, high), _mm_and_si128(_mm_srli_epi16(v, 12), low));
            const __m128i right =
                _mm_or_si128(_mm_and_si128(_mm_slli_epi16(v, 4), high), _mm_and_si128(_mm_srli_epi16(v, 8), low));
            const __m128i both = _mm_packus_epi16(left, right);
            const uint32_t col = static_cast<uint32_t>(2 * (qb + b));
            uint8_t* out = dst.Row(clockwise ? w - 1 - col : col) + outAt;
            uint8_t* next = col + 1 < w ? dst.Row(clockwise ? w - 2 - col : col + 1) + outAt : nullptr;
            if (n == 16) {
              _mm_storel_epi64(reinterpret_cast<__m128i*>(out), both);
              if (next) _mm_storel_epi64(reinterpret_cast<__m128i*>(next), _mm_unpackhi_epi64(both, both));
            } else {
              alignas(16) uint8_t tmp[16];
              _mm_store_si128(reinterpret_cast<__m128i*>(tmp), both);
              std::memcpy(out, tmp, outBytes);
              if (next) std::memcpy(next, tmp + 8, outBytes);
            }
          }
        }
      }
    }
  }
}

VectorForm ProcessorForm() {
#if LMX_TURN_KERNELS
  if (__builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("gfni")) {
    return VectorForm::kAvx512;
  }
  if (__builtin_cpu_supports("avx2")) return VectorForm::kAvx2;
#endif
  return VectorForm::kSse2;
}

std::atomic<int> g_formLimit{static_cast<int>(VectorForm::kAvx512)};

}  // namespace

VectorForm TransformVectorForm() {
  static const VectorForm processor = ProcessorForm();
  return static_cast<VectorForm>(std::min(static_cast<int>(processor), g_formLimit.load(std::memory_order_relaxed)));
}

void LimitTransformVectorForm(VectorForm most) { g_formLimit.store(static_cast<int>(most), std::memory_order_relaxed); }

bool TurnPackedVector(const PixelRows& src, uint32_t w, uint32_t h, uint32_t bits, const PixelRows& dst,
                      bool clockwise) {
  const VectorForm form = TransformVectorForm();
  if (form == VectorForm::kPortable || (bits != 1 && bits != 4)) return false;
#if LMX_TURN_KERNELS
  if (form >= VectorForm::kAvx512 && bits == 1) {
    Turn1Avx512(src, w, h, dst, clockwise);
    return true;
  }
  if (form >= VectorForm::kAvx2) {
    if (bits == 1) {
      Turn1Avx2(src, w, h, dst, clockwise);
    } else {
      Turn4Avx2(src, w, h, dst, clockwise);
    }
    return true;
  }
#endif
  if (bits == 1) {
    Turn1Sse2(src, w, h, dst, clockwise);
  } else {
    Turn4Sse2(src, w, h, dst, clockwise);
  }
  return true;
}

#else  // no vector forms in this build

VectorForm TransformVectorForm() { return VectorForm::kPortable; }
void LimitTransformVectorForm(VectorForm) {}
bool TurnPackedVector(const PixelRows&, uint32_t, uint32_t, uint32_t, const PixelRows&, bool) { return false; }

#endif

}  // namespace lmx
