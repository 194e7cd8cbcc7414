#include "plugins/jpg/dc_blocks.h"

#include <algorithm>

namespace lmx::jpg {
namespace {

// The table entry for a symbol whose code is `length` bits long.
uint16_t EntryFor(uint8_t symbol, unsigned length, bool ac) {
  if (!ac) return symbol > 11 ? 0 : static_cast<uint16_t>((length + symbol) | symbol << 8);
  const unsigned run = symbol >> 4, extra = symbol & 15;
  if (extra > 10) return 0;
  const unsigned advance = extra ? run + 1 : run == 15 ? 16 : 64;
  return static_cast<uint16_t>((length + extra) | advance << 8);
}

}  // namespace

bool HuffmanLookup::Build(const HuffmanCodes& codes, bool isAc) {
  if (!codes.counts || !codes.symbols) return false;
  ac = isAc;
  std::memset(fast, 0, sizeof fast);
  uint8_t lengths[1 << kLookBits] = {};
  unsigned k = 0;
  uint32_t code = 0;
  for (unsigned length = 1; length <= 16; ++length, code <<= 1) {
    const unsigned n = codes.counts[length];
    if (k + n > 256) return false;
    offset[length] = static_cast<int32_t>(k) - static_cast<int32_t>(code);
    for (unsigned i = 0; i < n; ++i, ++k, ++code) {
      if (code + 1 >= (1u << length)) return false;  // overflowing codes, or one of all ones
      const uint8_t symbol = codes.symbols[k];
      if (!ac && symbol > 15) return false;
      symbols[k] = symbol;
      if (length <= kLookBits) {
        const unsigned shift = kLookBits - length;
        std::fill_n(fast + (code << shift), size_t{1} << shift, EntryFor(symbol, length, ac));
        std::fill_n(lengths + (code << shift), size_t{1} << shift, static_cast<uint8_t>(length));
      }
    }
    maxCode[length] = n ? static_cast<int32_t>(code) - 1 : -1;
  }
  constexpr uint32_t kMask = (1u << kLookBits) - 1;
  for (uint32_t i = 0; ac && i <= kMask; ++i) {
    const uint32_t first = fast[i], bits = first & 0xFF, advance = first >> 8;
    uint32_t both = first;
    if (first && advance < 64 && bits < kLookBits) {
      const uint32_t j = (i << bits) & kMask, second = fast[j];
      if (second && lengths[j] <= kLookBits - bits) both = (bits + (second & 0xFF)) | (advance + (second >> 8)) << 8;
    }
    pairs[i] = first ? both | first << 16 : 0;
  }
  return true;
}

uint16_t HuffmanLookup::Slow(uint64_t bits) const {
  for (unsigned length = 1; length <= 16; ++length) {
    const auto code = static_cast<int32_t>(bits >> (64 - length));
    if (code <= maxCode[length]) return EntryFor(symbols[offset[length] + code], length, ac);
  }
  return 0;
}

}  // namespace lmx::jpg
