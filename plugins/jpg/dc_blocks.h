// Baseline JPEG blocks read for their DC coefficients only: Huffman tables looked up a few codes
// at a time, the bits of the data without its stuffed bytes, and one block's codes.
#pragma once

#include <cstdint>
#include <cstring>

#include "plugins/jpg/dc_scan.h"

namespace lmx::jpg {

constexpr unsigned kLookBits = 11;  // codes this long or shorter come from one lookup

// A Huffman table for looking codes up. An entry of `fast`: the bits a symbol takes with its
// extra bits (low byte; 0: none of the short codes, or a symbol this does not read), and above
// it, for AC how far along the block the symbol moves (64 ends it), for DC the extra bits.
struct HuffmanLookup {
  uint16_t fast[1 << kLookBits];
  // For AC, one or two symbols at once: the bits and advance of both, then of the first alone
  // (a byte each), for when the first ends the block. Two when the second's code lies whole
  // within the bits looked up after the first and its extra bits.
  uint32_t pairs[1 << kLookBits];
  int32_t maxCode[17];  // the largest code of each length, -1 for none
  int32_t offset[17];   // the index in `symbols` of a code of each length, less the code
  uint8_t symbols[256];
  bool ac;

  // As libjpeg builds its tables: false for one it refuses.
  bool Build(const HuffmanCodes& codes, bool isAc);
  // The entry for the code at the top of `bits` when the lookup had none: 0 for no code.
  uint16_t Slow(uint64_t bits) const;
};

// The data, bit by bit.

struct EntropyBits {
  const uint8_t* next;  // the next byte not yet in `held`
  uint64_t held = 0;    // the data from the current bit on, at the top
  unsigned count = 0;   // bits of `held` counted as read in

  // At least 56 bits held after it.
  void Fill() {
    uint64_t word;
    std::memcpy(&word, next, 8);
    held |= __builtin_bswap64(word) >> count;
    next += (63 - count) >> 3;
    count |= 56;
  }
  void Drop(unsigned n) {
    held <<= n;
    count -= n;
  }
  uint32_t Position(const uint8_t* start) const { return static_cast<uint32_t>((next - start) * 8 - count); }
};

// One block: its DC difference added to `prediction`, its AC codes passed over. False at a
// code that is none.
[[gnu::always_inline]] inline bool DecodeBlock(EntropyBits& bits, const HuffmanLookup& dc,
                                               const HuffmanLookup& ac, uint32_t& prediction) {
  bits.Fill();
  uint32_t e = dc.fast[bits.held >> (64 - kLookBits)];
  if (!e && !(e = dc.Slow(bits.held))) return false;
  const unsigned extra = e >> 8, length = (e & 0xFF) - extra;
  bits.Drop(length);
  const auto value = static_cast<uint32_t>(bits.held >> 1 >> (63 - extra));
  prediction += value - (value < (1u << extra >> 1) ? (1u << extra) - 1 : 0);
  bits.Drop(extra);
  for (unsigned k = 1;;) {
    bits.Fill();  // two steps of at most 26 bits each
    for (int step = 0; step < 2; ++step) {
      const uint32_t p = ac.pairs[bits.held >> (64 - kLookBits)];
      if (!p) {
        if (!(e = ac.Slow(bits.held))) return false;
        bits.Drop(e & 0xFF);
        k += e >> 8;
      } else if (k + (p >> 24) < 64) {
        bits.Drop(p & 0xFF);
        k += (p >> 8) & 0xFF;
      } else {
        bits.Drop((p >> 16) & 0xFF);
        k += p >> 24;
      }
      if (k >= 64) return true;
    }
  }
}

}  // namespace lmx::jpg
