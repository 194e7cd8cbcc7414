#include "image/dib_transforms.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "image/dib_quarter_turns.h"

namespace lmx {
namespace {

using Rows = PixelRows;

bool IsTransformDepth(uint32_t bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 24; }

// --- Single pixels: the edges that do not fill a whole 8 x 8 block ---

inline uint32_t GetPixel(const uint8_t* row, uint32_t x, uint32_t bits) {
  switch (bits) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    default: return row[x];
  }
}

// The destination starts zeroed and each pixel is written once, so or-ing is enough.
inline void PutPixel(uint8_t* row, uint32_t x, uint32_t bits, uint32_t v) {
  switch (bits) {
    case 1: row[x >> 3] |= static_cast<uint8_t>(v << (7 - (x & 7))); break;
    case 4: row[x >> 1] |= static_cast<uint8_t>((x & 1) ? v : v << 4); break;
    default: row[x] = static_cast<uint8_t>(v); break;
  }
}

inline void CopyPixel(uint8_t* dstRow, uint32_t dx, const uint8_t* srcRow, uint32_t sx, uint32_t bits) {
  if (bits == 24) {
    std::memcpy(dstRow + size_t{dx} * 3, srcRow + size_t{sx} * 3, 3);
  } else {
    PutPixel(dstRow, dx, bits, GetPixel(srcRow, sx, bits));
  }
}

// --- Eight pixels at once: a byte at 1 bit, a 32-bit word at 4 bits, a 64-bit word at 8 ---
// 1- and 4-bit units keep the leftmost pixel in their most significant bits, 8-bit units
// in their least significant byte (a little-endian load).

// Every target of this code is little-endian (x86-64).
inline uint32_t LoadBig32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return __builtin_bswap32(v);
}
inline void StoreBig32(uint8_t* p, uint32_t v) {
  v = __builtin_bswap32(v);
  std::memcpy(p, &v, 4);
}
inline uint64_t Load64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}
inline void Store64(uint8_t* p, uint64_t v) { std::memcpy(p, &v, 8); }
inline uint64_t LoadBig64(const uint8_t* p) { return __builtin_bswap64(Load64(p)); }
inline void StoreBig64(uint8_t* p, uint64_t v) { Store64(p, __builtin_bswap64(v)); }

// The 8 pixels from pixel x on; x + 8 must not pass the row's width.
inline uint8_t Unit1(const uint8_t* row, uint32_t x) {
  const uint8_t* p = row + (x >> 3);
  const unsigned shift = x & 7;
  if (!shift) return p[0];
  return static_cast<uint8_t>((p[0] << shift) | (p[1] >> (8 - shift)));
}
inline uint32_t Unit4(const uint8_t* row, uint32_t x) {
  const uint8_t* p = row + (x >> 1);
  if (!(x & 1)) return LoadBig32(p);
  return (LoadBig32(p) << 4) | (p[4] >> 4);
}
inline uint64_t Unit8(const uint8_t* row, uint32_t x) { return Load64(row + x); }

// 64 one-bit or 16 four-bit pixels from pixel x on, leftmost in the top bits.
inline uint64_t Wide1(const uint8_t* row, uint32_t x) {
  const uint8_t* p = row + (x >> 3);
  const unsigned shift = x & 7;
  const uint64_t v = LoadBig64(p);
  return shift ? (v << shift) | (p[8] >> (8 - shift)) : v;
}
inline uint64_t Wide4(const uint8_t* row, uint32_t x) {
  const uint8_t* p = row + (x >> 1);
  const uint64_t v = LoadBig64(p);
  return (x & 1) ? (v << 4) | (p[8] >> 4) : v;
}

struct ReverseTable {
  uint8_t bits[256];
  constexpr ReverseTable() : bits() {
    for (int i = 0; i < 256; ++i) {
      int r = 0;
      for (int b = 0; b < 8; ++b) r |= ((i >> b) & 1) << (7 - b);
      bits[i] = static_cast<uint8_t>(r);
    }
  }
};
constexpr ReverseTable kReverse;

inline uint8_t Reverse1(uint8_t v) { return kReverse.bits[v]; }
inline uint32_t Reverse4(uint32_t v) {
  v = __builtin_bswap32(v);
  return ((v >> 4) & 0x0F0F0F0Fu) | ((v & 0x0F0F0F0Fu) << 4);
}
inline uint64_t Reverse8(uint64_t v) { return __builtin_bswap64(v); }
inline uint64_t ReverseWide1(uint64_t v) {
  v = __builtin_bswap64(v);
  v = ((v >> 1) & 0x5555555555555555ull) | ((v & 0x5555555555555555ull) << 1);
  v = ((v >> 2) & 0x3333333333333333ull) | ((v & 0x3333333333333333ull) << 2);
  return ((v >> 4) & 0x0F0F0F0F0F0F0F0Full) | ((v & 0x0F0F0F0F0F0F0F0Full) << 4);
}
inline uint64_t ReverseWide4(uint64_t v) {
  v = __builtin_bswap64(v);
  return ((v >> 4) & 0x0F0F0F0F0F0F0F0Full) | ((v & 0x0F0F0F0F0F0F0F0Full) << 4);
}

// 64 x 64 bits, leftmost pixel in bit 63: r[k] is row k, and becomes column k. Rounds of
// block swaps as in the 8 x 8 transposes below, for block sizes 32 down to 1.
[[maybe_unused]] inline void Transpose64(uint64_t r[64]) {
  uint64_t mask = 0xFFFFFFFF00000000ull;
  for (unsigned j = 32; j != 0; j >>= 1, mask ^= mask >> j) {
    for (unsigned k = 0; k < 64; k = (k + j + 1) & ~j) {
      const uint64_t t = ((r[k] << j) ^ r[k + j]) & mask;
      r[k + j] ^= t;
      r[k] ^= t >> j;
    }
  }
}

// 8 x 8 transposes: in[k] is the unit of row k; out[c] receives column c, row 0 first.

[[maybe_unused]] inline void Transpose1(const uint8_t in[8], uint8_t out[8]) {
  uint64_t x = 0;
  for (int k = 0; k < 8; ++k) x = (x << 8) | in[k];
  x = (x & 0xAA55AA55AA55AA55ull) | ((x & 0x00AA00AA00AA00AAull) << 7) | ((x >> 7) & 0x00AA00AA00AA00AAull);
  x = (x & 0xCCCC3333CCCC3333ull) | ((x & 0x0000CCCC0000CCCCull) << 14) | ((x >> 14) & 0x0000CCCC0000CCCCull);
  x = (x & 0xF0F0F0F00F0F0F0Full) | ((x & 0x00000000F0F0F0F0ull) << 28) | ((x >> 28) & 0x00000000F0F0F0F0ull);
  for (int c = 0; c < 8; ++c) out[c] = static_cast<uint8_t>(x >> (56 - 8 * c));
}

// Swaps the elements of rows i and i + d whose column has bit d set with their mirror
// images, for d = 4, 2, 1: three rounds of block swaps make the whole transpose.
[[maybe_unused]] inline void Transpose4(uint32_t r[8]) {
  for (int i = 0; i < 4; ++i) {
    const uint32_t t = ((r[i] << 16) ^ r[i + 4]) & 0xFFFF0000u;
    r[i + 4] ^= t;
    r[i] ^= t >> 16;
  }
  for (int i : {0, 1, 4, 5}) {
    const uint32_t t = ((r[i] << 8) ^ r[i + 2]) & 0xFF00FF00u;
    r[i + 2] ^= t;
    r[i] ^= t >> 8;
  }
  for (int i : {0, 2, 4, 6}) {
    const uint32_t t = ((r[i] << 4) ^ r[i + 1]) & 0xF0F0F0F0u;
    r[i + 1] ^= t;
    r[i] ^= t >> 4;
  }
}

#if !defined(__SSE2__)
inline void Transpose8(uint64_t r[8]) {
  for (int i = 0; i < 4; ++i) {
    const uint64_t t = ((r[i] >> 32) ^ r[i + 4]) & 0x00000000FFFFFFFFull;
    r[i + 4] ^= t;
    r[i] ^= t << 32;
  }
  for (int i : {0, 1, 4, 5}) {
    const uint64_t t = ((r[i] >> 16) ^ r[i + 2]) & 0x0000FFFF0000FFFFull;
    r[i + 2] ^= t;
    r[i] ^= t << 16;
  }
  for (int i : {0, 2, 4, 6}) {
    const uint64_t t = ((r[i] >> 8) ^ r[i + 1]) & 0x00FF00FF00FF00FFull;
    r[i + 1] ^= t;
    r[i] ^= t << 8;
  }
}
#endif

// 16 x 16 four-bit pixels, a row of 16 per word, leftmost in the top bits.
[[maybe_unused]] inline void Transpose16x4(uint64_t r[16]) {
  uint64_t mask = 0xFFFFFFFF00000000ull;
  for (unsigned j = 8; j != 0; j >>= 1, mask ^= mask >> (4 * j)) {
    for (unsigned k = 0; k < 16; k = (k + j + 1) & ~j) {
      const uint64_t t = ((r[k] << (4 * j)) ^ r[k + j]) & mask;
      r[k + j] ^= t;
      r[k] ^= t >> (4 * j);
    }
  }
}

// One 8 x 8 block of a quarter turn. The source rows are srcRow[0..7] (already in the order
// that makes up destination columns j0..j0+7), the units start at source pixel x; when
// `reverse` is set, destination row t takes source column x + 7 - t, else x + t.
template <uint32_t Bits>
inline void TurnBlock(const uint8_t* const srcRow[8], uint32_t x, bool reverse, const Rows& dst, uint32_t a0,
                      uint32_t j0) {
  if constexpr (Bits == 1) {
    uint8_t in[8], out[8];
    for (int k = 0; k < 8; ++k) in[k] = Unit1(srcRow[k], x);
    Transpose1(in, out);
    for (int t = 0; t < 8; ++t) dst.Row(a0 + t)[j0 >> 3] = out[reverse ? 7 - t : t];
  } else if constexpr (Bits == 4) {
    uint32_t r[8];
    for (int k = 0; k < 8; ++k) r[k] = Unit4(srcRow[k], x);
    Transpose4(r);
    for (int t = 0; t < 8; ++t) StoreBig32(dst.Row(a0 + t) + (j0 >> 1), r[reverse ? 7 - t : t]);
  } else {
#if defined(__SSE2__)
    __m128i r[8];
    for (int k = 0; k < 8; ++k) r[k] = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(srcRow[k] + x));
    const __m128i a = _mm_unpacklo_epi8(r[0], r[1]), b = _mm_unpacklo_epi8(r[2], r[3]);
    const __m128i c = _mm_unpacklo_epi8(r[4], r[5]), d = _mm_unpacklo_epi8(r[6], r[7]);
    const __m128i e = _mm_unpacklo_epi16(a, b), f = _mm_unpackhi_epi16(a, b);
    const __m128i g = _mm_unpacklo_epi16(c, d), h = _mm_unpackhi_epi16(c, d);
    const __m128i cols[4] = {_mm_unpacklo_epi32(e, g), _mm_unpackhi_epi32(e, g), _mm_unpacklo_epi32(f, h),
                             _mm_unpackhi_epi32(f, h)};
    for (int t = 0; t < 8; ++t) {
      const __m128i pair = cols[t >> 1];
      const __m128i col = (t & 1) ? _mm_unpackhi_epi64(pair, pair) : pair;
      _mm_storel_epi64(reinterpret_cast<__m128i*>(dst.Row(a0 + (reverse ? 7 - t : t)) + j0), col);
    }
#else
    uint64_t r[8];
    for (int k = 0; k < 8; ++k) r[k] = Unit8(srcRow[k], x);
    Transpose8(r);
    for (int t = 0; t < 8; ++t) Store64(dst.Row(a0 + t) + j0, r[reverse ? 7 - t : t]);
#endif
  }
}

// One tile of a quarter turn, as TurnBlock: 64 x 64 pixels at one bit, 16 x 16 at four.
template <uint32_t Bits>
inline void TurnTile(const Rows& src, uint32_t h, uint32_t x, bool clockwise, const Rows& dst, uint32_t a0,
                     uint32_t j0) {
  constexpr uint32_t kTile = Bits == 1 ? 64 : 16;
  uint64_t r[kTile];
  for (uint32_t k = 0; k < kTile; ++k) {
    const uint8_t* row = src.Row(clockwise ? j0 + k : h - 1 - j0 - k);
    r[k] = Bits == 1 ? Wide1(row, x) : Wide4(row, x);
  }
  if constexpr (Bits == 1) {
    Transpose64(r);
  } else {
    Transpose16x4(r);
  }
  for (uint32_t t = 0; t < kTile; ++t) {
    StoreBig64(dst.Row(a0 + t) + j0 * Bits / 8, r[clockwise ? kTile - 1 - t : t]);
  }
}

// Quarter turns. In memory rows (bottom-up), clockwise: destination row a, column j takes
// source row j, column W - 1 - a; counter-clockwise: source row H - 1 - j, column a.
template <uint32_t Bits>
void TurnPacked(const Rows& src, uint32_t w, uint32_t h, const Rows& dst, bool clockwise) {
  // Destination is h wide and w high. Whole blocks first, in bands of 64 destination
  // columns so that both sides stay in cache; then the pixels of the ragged edges.
  constexpr uint32_t kBand = 256;
  const uint32_t fullRows = w & ~7u, fullCols = h & ~7u;
  // At one and four bits the inner part goes in tiles of a 64-bit word per row and side.
  constexpr uint32_t kTile = Bits == 1 ? 64 : Bits == 4 ? 16 : 0;
  const uint32_t tileRows = kTile ? w / kTile * kTile : 0, tileCols = kTile ? h / kTile * kTile : 0;
  if constexpr (kTile != 0) {
    for (uint32_t j0 = 0; j0 < tileCols; j0 += kTile) {
      for (uint32_t a0 = 0; a0 < tileRows; a0 += kTile) {
        TurnTile<Bits>(src, h, clockwise ? w - kTile - a0 : a0, clockwise, dst, a0, j0);
      }
    }
  }
  for (uint32_t band = 0; band < fullCols; band += kBand) {
    const uint32_t bandEnd = std::min(band + kBand, fullCols);
    for (uint32_t a0 = 0; a0 < fullRows; a0 += 8) {
      const uint32_t x = clockwise ? w - 8 - a0 : a0;
#if defined(__SSE2__)
      // At eight bits, the band's part of the next eight destination rows is fetched for
      // writing: they are too many rows apart for the processor to follow by itself.
      if (Bits == 8 && a0 + 16 <= fullRows) {
        for (uint32_t t = 8; t < 16; ++t) {
          const uint8_t* line = dst.Row(a0 + t) + band;
          for (uint32_t at = 0; at < bandEnd - band; at += 64) __builtin_prefetch(line + at, 1);
          __builtin_prefetch(line + (bandEnd - band) - 1, 1);
        }
      }
#endif
      // Blocks that the tiles above have done are skipped.
      for (uint32_t j0 = a0 < tileRows ? std::max(band, tileCols) : band; j0 < bandEnd; j0 += 8) {
        const uint8_t* rows[8];
        for (uint32_t k = 0; k < 8; ++k) rows[k] = src.Row(clockwise ? j0 + k : h - 1 - j0 - k);
#if defined(__SSE2__)
        // Once per cache line of the source, the line the next steps of a0 go on to.
        if (Bits == 8 && a0 % 64 == 0 && a0 + 64 < fullRows) {
          const size_t ahead = clockwise ? x - 64 : x + 64;
          for (uint32_t k = 0; k < 8; ++k) _mm_prefetch(reinterpret_cast<const char*>(rows[k] + ahead), _MM_HINT_T0);
        }
#endif
        TurnBlock<Bits>(rows, x, clockwise, dst, a0, j0);
      }
    }
  }
  auto edge = [&](uint32_t a, uint32_t j) {
    if (clockwise) {
      CopyPixel(dst.Row(a), j, src.Row(j), w - 1 - a, Bits);
    } else {
      CopyPixel(dst.Row(a), j, src.Row(h - 1 - j), a, Bits);
    }
  };
  for (uint32_t a = 0; a < w; ++a) {
    for (uint32_t j = fullCols; j < h; ++j) edge(a, j);
  }
  for (uint32_t a = fullRows; a < w; ++a) {
    for (uint32_t j = 0; j < fullCols; ++j) edge(a, j);
  }
}


void Turn24(const Rows& src, uint32_t w, uint32_t h, const Rows& dst, bool clockwise) {
  // Bands of source rows: the columns walked down inside a band stay in cache. Pixels move
  // as 4-byte words whose spare byte the next pixel overwrites; the last pixel of a
  // destination row and the source's last column move as 3 bytes, so that no word reaches
  // past a row's pixels into memory that is not the picture's.
  constexpr uint32_t kBand = 128;
  const ptrdiff_t step = clockwise ? static_cast<ptrdiff_t>(src.stride) : -static_cast<ptrdiff_t>(src.stride);
  const uint32_t lastColumnRow = clockwise ? 0 : w - 1;
  for (uint32_t band = 0; band < h; band += kBand) {
    const uint32_t bandEnd = std::min(band + kBand, h);
    const uint8_t* first = src.Row(clockwise ? band : h - 1 - band);
    for (uint32_t a = 0; a < w; ++a) {
      uint8_t* out = dst.Row(a) + size_t{band} * 3;
      const uint8_t* in = first + size_t{clockwise ? w - 1 - a : a} * 3;
#if defined(__SSE2__)
      // Every 16 columns, the band's source lines 32 columns further on are fetched ahead.
      if (a % 16 == 0 && a + 32 < w) {
        const ptrdiff_t ahead = clockwise ? -96 : 96;
        const uint8_t* p = in + ahead;
        for (uint32_t j = band; j < bandEnd; ++j, p += step) _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_T0);
      }
#endif
      const uint32_t wordEnd = a == lastColumnRow ? band : std::min(bandEnd, h - 1);
      uint32_t j = band;
      for (; j < wordEnd; ++j, in += step, out += 3) {
        uint32_t v;
        std::memcpy(&v, in, 4);
        std::memcpy(out, &v, 4);
      }
      for (; j < bandEnd; ++j, in += step, out += 3) {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
      }
    }
  }
}

// One row read right to left. `backward` fills the destination from its right end, so that
// the source is read front to back. Mirroring goes backward and a half turn forward: either
// way the source rows are read as one unbroken stream (up through memory for the mirror,
// down for the half turn), which the memory prefetchers keep up with.
void MirrorRow(const uint8_t* in, uint8_t* out, uint32_t w, uint32_t bits, bool backward) {
  if (bits == 24) {
    // Inner pixels move as 4-byte words with one byte too many, which lands on the
    // neighbour that is written next.
    if (w >= 2) {
      if (backward) {
        std::memcpy(out + size_t{w - 1} * 3, in, 3);
        for (uint32_t j = w - 2; j >= 1; --j) {
          uint32_t v;
          std::memcpy(&v, in + size_t{w - 1 - j} * 3 - 1, 4);
          std::memcpy(out + size_t{j} * 3 - 1, &v, 4);
        }
        std::memcpy(out, in + size_t{w - 1} * 3, 3);
      } else {
        std::memcpy(out, in + size_t{w - 1} * 3, 3);
        for (uint32_t j = 1; j + 1 < w; ++j) {
          uint32_t v;
          std::memcpy(&v, in + size_t{w - 1 - j} * 3, 4);
          std::memcpy(out + size_t{j} * 3, &v, 4);
        }
        std::memcpy(out + size_t{w - 1} * 3, in, 3);
      }
    } else {
      std::memcpy(out, in, 3);
    }
    return;
  }
  // Whole words, then whole 8-pixel units, then single pixels, counted from the left.
  const uint32_t wide = bits == 1 ? 64 : bits == 4 ? 16 : 8;
  const uint32_t wideEnd = w / wide * wide, unitEnd = w / 8 * 8;
  auto wideAt = [&](uint32_t j) {
    switch (bits) {
      case 1: StoreBig64(out + (j >> 3), ReverseWide1(Wide1(in, w - 64 - j))); break;
      case 4: StoreBig64(out + (j >> 1), ReverseWide4(Wide4(in, w - 16 - j))); break;
      default: Store64(out + j, Reverse8(Unit8(in, w - 8 - j))); break;
    }
  };
  auto unitAt = [&](uint32_t j) {
    if (bits == 1) {
      out[j >> 3] = Reverse1(Unit1(in, w - 8 - j));
    } else {
      StoreBig32(out + (j >> 1), Reverse4(Unit4(in, w - 8 - j)));
    }
  };
  if (backward) {
    for (uint32_t j = w; j-- > unitEnd;) PutPixel(out, j, bits, GetPixel(in, w - 1 - j, bits));
    for (uint32_t j = unitEnd; j > wideEnd;) unitAt(j -= 8);
    for (uint32_t j = wideEnd; j > 0;) wideAt(j -= wide);
  } else {
    for (uint32_t j = 0; j < wideEnd; j += wide) wideAt(j);
    for (uint32_t j = wideEnd; j < unitEnd; j += 8) unitAt(j);
    for (uint32_t j = unitEnd; j < w; ++j) PutPixel(out, j, bits, GetPixel(in, w - 1 - j, bits));
  }
}

#if defined(__SSE2__)
// Reverses the order of the 16 bytes, and at one bit the order of the bits in each byte, or
// at four bits swaps the nibbles of each byte.
template <uint32_t Bits>
inline __m128i ReverseUnits(__m128i v) {
  v = _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 1, 2, 3));
  v = _mm_shufflelo_epi16(v, _MM_SHUFFLE(2, 3, 0, 1));
  v = _mm_shufflehi_epi16(v, _MM_SHUFFLE(2, 3, 0, 1));
  v = _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8));
  // Shifts of 16-bit lanes: the masks drop whatever crosses from one byte into the other.
  if constexpr (Bits == 1) {
    const __m128i m1 = _mm_set1_epi8(0x55), m2 = _mm_set1_epi8(0x33);
    v = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(v, 1), m1), _mm_slli_epi16(_mm_and_si128(v, m1), 1));
    v = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(v, 2), m2), _mm_slli_epi16(_mm_and_si128(v, m2), 2));
  }
  const __m128i m4 = _mm_set1_epi8(0x0F);
  return _mm_or_si128(_mm_and_si128(_mm_srli_epi16(v, 4), m4), _mm_slli_epi16(_mm_and_si128(v, m4), 4));
}

// A row of w pixels at one or four bits, mirrored. The row's whole bytes are reversed as
// units into `out` (16 at a time); that puts the source's pad bits, if the last byte is only
// partly used, in front, and the row is then moved left over them by the unused bit count,
// zeros coming in behind.
template <uint32_t Bits>
void MirrorPackedSse2(const uint8_t* in, uint8_t* out, uint32_t w, bool backward) {
  const size_t n = (size_t{w} * Bits + 7) / 8;
  auto reverseByte = [](uint8_t b) { return Bits == 1 ? Reverse1(b) : static_cast<uint8_t>(b << 4 | b >> 4); };
  // As in MirrorRow: `backward` reads the source front to back.
  size_t i = 0;
  if (backward) {
    for (; i + 16 <= n; i += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + n - 16 - i), ReverseUnits<Bits>(v));
    }
    for (; i < n; ++i) out[n - 1 - i] = reverseByte(in[i]);
  } else {
    for (; i + 16 <= n; i += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + n - 16 - i));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), ReverseUnits<Bits>(v));
    }
    for (; i < n; ++i) out[i] = reverseByte(in[n - 1 - i]);
  }
  const unsigned shift = static_cast<unsigned>(n * 8 - size_t{w} * Bits);
  if (!shift) return;
  i = 0;
  for (; i + 9 <= n; i += 8) StoreBig64(out + i, LoadBig64(out + i) << shift | out[i + 8] >> (8 - shift));
  for (; i + 1 < n; ++i) out[i] = static_cast<uint8_t>(out[i] << shift | out[i + 1] >> (8 - shift));
  out[n - 1] = static_cast<uint8_t>(out[n - 1] << shift);
}
#endif

// `vector`: the form in use allows SSE2.
inline void MirrorAnyRow(const uint8_t* in, uint8_t* out, uint32_t w, uint32_t bits, bool backward, bool vector) {
#if defined(__SSE2__)
  if (bits == 1 && vector) return MirrorPackedSse2<1>(in, out, w, backward);
  if (bits == 4 && vector) return MirrorPackedSse2<4>(in, out, w, backward);
#endif
  MirrorRow(in, out, w, bits, backward);
}

void MovePixels(int code, const Rows& src, uint32_t w, uint32_t h, uint32_t bits, const Rows& dst) {
  const bool vector = TransformVectorForm() != VectorForm::kPortable;
  switch (code) {
    case kRotateClockwise:
    case kRotateCounterClockwise: {
      const bool clockwise = code == kRotateClockwise;
      if (TurnPackedVector(src, w, h, bits, dst, clockwise)) break;
      switch (bits) {
        case 1: TurnPacked<1>(src, w, h, dst, clockwise); break;
        case 4: TurnPacked<4>(src, w, h, dst, clockwise); break;
        case 8: TurnPacked<8>(src, w, h, dst, clockwise); break;
        default: Turn24(src, w, h, dst, clockwise); break;
      }
      break;
    }
    case kRotateHalf:
      for (uint32_t a = 0; a < h; ++a) {
#if defined(__SSE2__)
        // The source is read downwards a row at a time: the start of the row after next is
        // fetched ahead, where the processor's own fetching has to find the stream anew.
        if (a + 2 < h) {
          const char* ahead = reinterpret_cast<const char*>(src.Row(h - 3 - a));
          for (int line = 0; line < 8; ++line) _mm_prefetch(ahead + 64 * line, _MM_HINT_T0);
        }
#endif
        MirrorAnyRow(src.Row(h - 1 - a), dst.Row(a), w, bits, false, vector);
      }
      break;
    case kMirror:
      for (uint32_t a = 0; a < h; ++a) MirrorAnyRow(src.Row(a), dst.Row(a), w, bits, true, vector);
      break;
    default:  // flip: whole rows, pad bytes included
      for (uint32_t a = 0; a < h; ++a) std::memcpy(dst.Row(a), src.Row(h - 1 - a), src.stride);
      break;
  }
}

}  // namespace

uint32_t ColorCountOf(const DibHeader& h) {
  if (h.biClrUsed) return h.biClrUsed;
  return (h.biBitCount == 1 || h.biBitCount == 4 || h.biBitCount == 8) ? 1u << h.biBitCount : 0;
}

bool ReadDibLayout(const void* block, size_t blockBytes, DibLayout* layout) {
  if (!block || blockBytes < kInfoHeaderSize) return false;
  const DibHeader h = ReadDibHeader(block);
  if (h.biSize != kInfoHeaderSize) return false;
  if (h.biWidth < 1 || h.biWidth > 0xFFFF || h.biHeight < 1 || h.biHeight > 0xFFFF) return false;
  switch (h.biBitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
  }
  DibLayout l;
  l.width = static_cast<uint32_t>(h.biWidth);
  l.height = static_cast<uint32_t>(h.biHeight);
  l.bitCount = h.biBitCount;
  l.colorCount = ColorCountOf(h);
  const uint64_t pixelOffset = kInfoHeaderSize + DibMaskBytes(h) + uint64_t{l.colorCount} * 4;
  const uint64_t stride = DibStride(l.width, l.bitCount);
  const uint64_t imageBytes = stride * l.height;
  if (pixelOffset > blockBytes || imageBytes > blockBytes - pixelOffset) return false;
  l.pixelOffset = static_cast<size_t>(pixelOffset);
  l.stride = static_cast<size_t>(stride);
  l.imageBytes = static_cast<size_t>(imageBytes);
  *layout = l;
  return true;
}

DibStatus TransformDib(const void* block, size_t blockBytes, int code, BlockHeap& heap, void** result,
                       size_t* resultBytes) {
  if (code < kRotateClockwise || code > kFlip) return DibStatus::kBadCode;
  if (!block || blockBytes < kInfoHeaderSize) return DibStatus::kBadHeader;
  const DibHeader h = ReadDibHeader(block);
  if (!IsTransformDepth(h.biBitCount)) return DibStatus::kUnsupportedDepth;
  if (h.biSize != kInfoHeaderSize) return DibStatus::kBadHeader;
  if (h.biCompression != 0) return DibStatus::kCompressed;
  DibLayout src;
  if (!ReadDibLayout(block, blockBytes, &src)) return DibStatus::kBadHeader;

  const bool turn = code == kRotateClockwise || code == kRotateCounterClockwise;
  const uint32_t width = turn ? src.height : src.width;
  const uint32_t height = turn ? src.width : src.height;
  const uint64_t stride = DibStride(width, src.bitCount);
  const uint64_t imageBytes = stride * height;
  // Room for the colour table the header announces, whatever the depth.
  const uint64_t total = src.pixelOffset + imageBytes;
  if (total > kMaxBlockBytes) return DibStatus::kNoMemory;
  auto* out = static_cast<uint8_t*>(heap.Alloc(static_cast<size_t>(total)));
  if (!out) return DibStatus::kNoMemory;

  WriteDibHeader(out, MakeDibHeader(width, height, src.bitCount, src.colorCount));
  const auto* in = static_cast<const uint8_t*>(block);
  std::memcpy(out + kInfoHeaderSize, in + kInfoHeaderSize, src.pixelOffset - kInfoHeaderSize);

  const Rows srcRows{const_cast<uint8_t*>(in) + src.pixelOffset, src.stride};
  const Rows dstRows{out + src.pixelOffset, static_cast<size_t>(stride)};
  MovePixels(code, srcRows, src.width, src.height, src.bitCount, dstRows);
  *result = out;
  *resultBytes = static_cast<size_t>(total);
  return DibStatus::kOk;
}

DibStatus InvertDib(void* block, size_t blockBytes) {
  if (!block || blockBytes < kInfoHeaderSize) return DibStatus::kBadHeader;
  const DibHeader h = ReadDibHeader(block);
  if (h.biSize != kInfoHeaderSize) return DibStatus::kBadHeader;
  if (h.biCompression != 0) return DibStatus::kCompressed;
  if (!IsTransformDepth(h.biBitCount)) return DibStatus::kOk;
  DibLayout l;
  if (!ReadDibLayout(block, blockBytes, &l)) return DibStatus::kBadHeader;

  auto* bytes = static_cast<uint8_t*>(block);
  if (l.bitCount == 8) {
    RgbQuad* table = reinterpret_cast<RgbQuad*>(bytes + kInfoHeaderSize);
    for (uint32_t i = 0; i < l.colorCount; ++i) {
      table[i].blue = static_cast<uint8_t>(~table[i].blue);
      table[i].green = static_cast<uint8_t>(~table[i].green);
      table[i].red = static_cast<uint8_t>(~table[i].red);
      table[i].reserved = 0;
    }
    return DibStatus::kOk;
  }
  // The pixel bytes of each row; at 1 and 4 bits the bits past the last pixel go along,
  // they mean nothing.
  const size_t rowBytes = l.bitCount == 24 ? size_t{l.width} * 3 : (size_t{l.width} * l.bitCount + 7) / 8;
  uint8_t* row = bytes + l.pixelOffset;
  for (uint32_t y = 0; y < l.height; ++y, row += l.stride) {
    size_t i = 0;
    for (; i + 8 <= rowBytes; i += 8) Store64(row + i, ~Load64(row + i));
    for (; i < rowBytes; ++i) row[i] = static_cast<uint8_t>(~row[i]);
  }
  return DibStatus::kOk;
}

}  // namespace lmx
