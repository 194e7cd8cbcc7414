// Pictures made smaller by averaging: each pixel of the result is the mean of a square of
// factor x factor pixels of the source (fewer at the right and top edges), so that thin lines
// stay as grey rather than vanish.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "plugins/common/decode_input.h"
#include "plugins/common/dib_block.h"

namespace lmx {

// The whole-number factor by which a width x height picture may shrink and still be no smaller
// than the picture fitted whole into a box of boxWidth x boxHeight; 1 when it fits already or
// the box is empty.
uint32_t ReductionFactor(uint32_t width, uint32_t height, uint32_t boxWidth, uint32_t boxHeight);

// The packed DIB `block` of `blockBytes` reduced by `factor` into a new block from `heap`: 8-bit
// grey when the source is 8 bits or less with a grey colour table, 24 bits otherwise. Takes 1,
// 4, 8, 16, 24 and 32 bits (16 and 32 with or without colour masks), uncompressed, whose rows lie
// within the block; kRefused for anything else. An index past a short colour table is black.
DibBlock ReduceDib(const uint8_t* block, size_t blockBytes, uint32_t factor, BlockHeap& heap);

// A packed DIB's stored rows as blue, green, red bytes, or as grey ones when its colour table is
// grey (HasGreyTable): `head` holds its header, colour masks and table. An index past a short
// table is black.
class RowConverter {
 public:
  RowConverter(const uint8_t* head, bool grey);
  // `row` converted into `buffer` (a row's worth), or a 24-bit row as it is.
  const uint8_t* Convert(const uint8_t* row, uint8_t* buffer) const;

 private:
  struct Field {
    uint32_t mask = 0, shift = 0, max = 0;
    explicit Field(uint32_t m) : mask(m) {
      while (mask && !((mask >> shift) & 1)) ++shift;
      max = mask >> shift;
    }
    uint32_t Value(uint32_t pixel) const {
      return max ? static_cast<uint32_t>((uint64_t{(pixel & mask) >> shift} * 510 + max) / (2 * uint64_t{max})) : 0;
    }
  };
  void Pixel(const uint8_t* row, uint32_t x, uint8_t* bgr) const;

  DibHeader h_;
  bool grey_;
  const RgbQuad* table_ = nullptr;
  uint32_t colors_ = 0;
  Field red_, green_, blue_;
};

// The block a reader decodes a picture of `layout` into: the whole picture's; or, when `box`
// asks for a reduced picture that a whole factor (*factor, else 1) can make smaller, one that
// holds the header and colour table alone (pixelBytes 1), for rows that go through a
// BandReducer. The cap applies as for the whole picture. The box's fullSize gets the size.
DibBlock AllocPicture(BlockHeap& heap, DibLayout layout, const DecodeInput* box, uint32_t* factor);

// Whether the picture behind `head` has 8 bits or fewer and a colour table all grey.
bool HasGreyTable(const uint8_t* head);

// Rows of a picture, given one at a time as blue, green, red bytes (or one grey byte a pixel),
// averaged into a block made smaller by `factor` as they come: a reader that makes its
// rows one by one never holds more than the reduced picture and one band of sums.
class BandReducer {
 public:
  BandReducer(uint32_t width, uint32_t height, uint32_t factor, bool grey);
  BandReducer(const BandReducer&) = delete;
  BandReducer& operator=(const BandReducer&) = delete;

  // The reduced block from `heap`, with its header (and grey table); its status says why not.
  const DibBlock& Start(BlockHeap& heap);
  // Picture row `y`, counted from the top (each row once, in order).
  void AddRow(uint32_t y, const uint8_t* pixels);
  // The last band, as far as its rows came. Bands no row reached stay zero.
  void Finish();

 private:
  void Flush();

  uint32_t width_, height_, factor_, channels_;
  uint32_t outWidth_, outHeight_;
  DibBlock out_;
  uint64_t* sums_ = nullptr;
  uint32_t band_ = 0, rows_ = 0;  // the band being summed and the rows it holds
  std::unique_ptr<uint64_t[]> storage_;
};

}  // namespace lmx
