// Eighth-size pictures straight from the DC coefficients of a baseline JPEG scan. At an eighth
// each 8 x 8 block becomes one sample, its mean, which is its DC coefficient: no transform is
// needed, only the Huffman data decoded, and that bounds the time. So it is decoded on more than
// one thread where the data is large: each thread but the first starts at a guessed place in
// the data, taking it for the start of a block group (MCU). Huffman codes soon fall into step,
// and where the thread before it meets an MCU start at the same bit, it takes over the later
// thread's blocks from there, DC predictions shifted by what they lacked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace lmx::jpg {

// A Huffman table as JPEG stores it.
struct HuffmanCodes {
  const uint8_t* counts = nullptr;   // [17]: how many codes of each length, 1 to 16 ([0] unused)
  const uint8_t* symbols = nullptr;  // the symbols in code order
};

struct DcComponent {
  unsigned across = 1, down = 1;  // its blocks in one MCU
  HuffmanCodes dc, ac;
  uint16_t quant = 1;             // the DC quantizer
};

struct DcScan {
  const uint8_t* data = nullptr;  // the entropy-coded data, from just after the scan header
  size_t size = 0;                // bytes from there to the end of the file at most
  uint32_t mcusAcross = 0, mcusDown = 0;
  uint32_t restartInterval = 0;   // MCUs from one restart marker to the next, 0 for none
  unsigned components = 0;        // 1 to 3, all in this one scan, in the frame's order
  DcComponent component[3];
};

// The block means of each component, as libjpeg's 1 x 1 transform gives them: component c in a
// plane of mcusAcross x across by mcusDown x down samples.
class DcPlanes {
 public:
  // False, holding nothing, when the scan is not clean data this reads whole: a code that is
  // none, data that ends or meets a marker too soon, a table libjpeg refuses, extra bits out of
  // baseline's range, or no memory. The caller then decodes it the usual way.
  bool Decode(const DcScan& scan, unsigned threads);

  const uint8_t* Row(unsigned component, uint32_t y) const { return planes_[component].get() + y * strides_[component]; }

 private:
  std::unique_ptr<uint8_t[]> planes_[3];
  size_t strides_[3] = {};
};

// The threads worth starting for `size` bytes of entropy-coded data on this machine.
unsigned DcThreads(size_t size);

}  // namespace lmx::jpg
