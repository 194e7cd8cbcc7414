// A thumbnail's pixels and how one is made from a plug-in's packed DIB: fitted whole into a
// box by averaging, as 24-bit rows. Portable: no windows.h, so it builds and tests natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lmx {

// 24-bit blue-green-red pixels, rows bottom-up and padded to four bytes, as a DIB holds them.
struct Thumbnail {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> pixels;
};

inline size_t ThumbnailStride(uint32_t width) { return (static_cast<size_t>(width) * 3 + 3) & ~size_t{3}; }

// The largest size of `width` x `height`'s shape that fits a box, never larger than the
// picture itself and never empty.
void FitIntoBox(uint32_t width, uint32_t height, uint32_t boxWidth, uint32_t boxHeight, uint32_t* outWidth,
                uint32_t* outHeight);

// A packed DIB (header, colour table, rows) of 24 bits or of 8 bits with a colour table,
// `blockBytes` long, averaged down to fit the box. False for any other depth, a compressed
// picture or a block too short for what its header says.
bool ThumbnailFromPackedDib(const uint8_t* block, size_t blockBytes, uint32_t boxWidth, uint32_t boxHeight,
                            Thumbnail* out);

}  // namespace lmx
