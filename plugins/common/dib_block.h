// The one place where a decoder's packed DIB block is sized and allocated: the sizes are
// computed in 64 bits and checked against the block cap and the header's 32-bit fields
// before anything is asked of the heap.
#pragma once

#include <cstdint>

#include "plugins/common/byte_source.h"
#include "plugins/common/packed_dib.h"

namespace lmx {

enum class BlockStatus {
  kMade,
  kTooLarge,     // past the cap, or a size the header cannot state
  kOutOfMemory,  // the heap ran out of memory
  kRefused,      // the heap failed for another reason
};

struct DibLayout {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t bitCount = 0;
  uint32_t colors = 0;      // colour table entries
  uint32_t maskBytes = 0;   // colour masks between header and table (0 or kColourMaskBytes)
  uint64_t pixelBytes = 0;  // 0: the padded rows; otherwise what the pixel area holds
};

struct DibBlock {
  BlockStatus status = BlockStatus::kRefused;
  uint8_t* block = nullptr;
  uint64_t size = 0;
  RgbQuad* table = nullptr;
  uint8_t* pixels = nullptr;
  uint64_t stride = 0;

  bool Made() const { return status == BlockStatus::kMade; }
  // Whether a failure is told as a lack of memory (the cap, or the heap ran out).
  bool NoMemory() const { return status == BlockStatus::kTooLarge || status == BlockStatus::kOutOfMemory; }
};

// Whether the block for `layout` stays within the cap and the header's fields.
bool DibFits(const DibLayout& layout);

// The block for `layout`, zero-filled, with the header of an uncompressed bottom-up picture
// at 75 dots per inch (biClrUsed = colors; biSizeImage = the pixel bytes).
DibBlock AllocDib(BlockHeap& heap, const DibLayout& layout);

// A block that goes back to its heap unless it is taken: what a decode holds until it hands
// its picture over.
class HeldBlock {
 public:
  explicit HeldBlock(BlockHeap& heap) : heap_(heap) {}
  ~HeldBlock() {
    if (block_) heap_.Free(block_);
  }
  HeldBlock(const HeldBlock&) = delete;
  HeldBlock& operator=(const HeldBlock&) = delete;

  void Hold(void* block) { block_ = block; }
  void* Get() const { return block_; }
  void* Take() {
    void* b = block_;
    block_ = nullptr;
    return b;
  }

 private:
  BlockHeap& heap_;
  void* block_ = nullptr;
};

// A 256-entry grey ramp.
void WriteGreyTable(RgbQuad* table);

}  // namespace lmx
