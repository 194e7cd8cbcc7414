// The picture transforms on packed DIBs: quarter and half turns, mirror, flip and the
// negative, at 1, 4, 8 and 24 bits per pixel, without converting the depth.
// Platform-independent: the viewer wraps these with its messages and the local heap.
#pragma once

#include <cstddef>
#include <cstdint>

#include "lang/lang_ids.h"
#include "plugins/common/byte_source.h"
#include "plugins/common/packed_dib.h"

namespace lmx {

enum TransformCode : int {
  kRotateClockwise = 1,
  kRotateCounterClockwise = 2,
  kRotateHalf = 3,
  kMirror = 4,
  kFlip = 5,
  kInvert = 6,
};

// Outcome of a transform; every failure value is the number of the message that tells it.
enum class DibStatus : int {
  kOk = 0,
  kCompressed = IDS_DIB_COMPRESSED,
  kBadHeader = IDS_DIB_BAD_HEADER,  // biSize is not 40, or the sizes do not fit the block
  kNoMemory = IDS_DIB_NO_MEMORY,
  kUnsupportedDepth = IDS_DIB_UNSUPPORTED_DEPTH,
  kBadCode = -1,  // not a transform code; a caller's mistake, never shown
};

// Where a packed DIB's parts lie, every one of them checked to lie inside its block.
struct DibLayout {
  uint32_t width = 0;  // the low 16 bits of biWidth and biHeight
  uint32_t height = 0;
  uint32_t bitCount = 0;
  uint32_t colorCount = 0;  // biClrUsed, or 2^depth below 16 bits when it is 0
  size_t stride = 0;        // bytes of one row, padded to 4
  size_t pixelOffset = 0;   // 40 + colour masks (DibMaskBytes) + 4 x colour count
  size_t imageBytes = 0;    // stride x height
};

// Colour count of a header: biClrUsed when given, else 2^depth for 1, 4 and 8 bits, else 0.
uint32_t ColorCountOf(const DibHeader& h);

// True when `block` (of `blockBytes`) holds a 40-byte header with a width and height of
// 1 to 65535, its colour masks and table and all its pixel rows.
bool ReadDibLayout(const void* block, size_t blockBytes, DibLayout* layout);

// Codes 1 to 5: a new block from `heap` (zero-filled), the source left as it was.
// On success `*result` and `*resultBytes` receive the new block and its size.
DibStatus TransformDib(const void* block, size_t blockBytes, int code, BlockHeap& heap, void** result,
                       size_t* resultBytes);

// Code 6, in place: 24-bit channels and 1- and 4-bit indices are inverted, an 8-bit
// picture through its colour table. Other depths are left alone (and succeed).
DibStatus InvertDib(void* block, size_t blockBytes);

}  // namespace lmx
