#include "plugins/common/dib_block.h"

namespace lmx {

namespace {

uint64_t PixelBytes(const DibLayout& layout) {
  return layout.pixelBytes ? layout.pixelBytes : DibStride(layout.width, layout.bitCount) * layout.height;
}

uint64_t HeadBytes(const DibLayout& layout) {
  return kInfoHeaderSize + uint64_t{layout.maskBytes} + uint64_t{layout.colors} * 4;
}

}  // namespace

bool DibFits(const DibLayout& layout) {
  const uint64_t pixelBytes = PixelBytes(layout);
  return layout.width <= INT32_MAX && layout.height <= INT32_MAX && pixelBytes <= UINT32_MAX &&
         HeadBytes(layout) + pixelBytes <= kMaxBlockBytes;
}

DibBlock AllocDib(BlockHeap& heap, const DibLayout& layout) {
  DibBlock out;
  out.stride = DibStride(layout.width, layout.bitCount);
  const uint64_t pixelBytes = PixelBytes(layout);
  const uint64_t headBytes = HeadBytes(layout);
  out.size = headBytes + pixelBytes;
  if (!DibFits(layout)) {
    out.status = BlockStatus::kTooLarge;
    return out;
  }
  out.block = static_cast<uint8_t*>(heap.Alloc(static_cast<size_t>(out.size)));
  if (!out.block) {
    out.status = heap.OutOfMemory() ? BlockStatus::kOutOfMemory : BlockStatus::kRefused;
    return out;
  }
  out.status = BlockStatus::kMade;
  DibHeader h = MakeDibHeader(layout.width, layout.height, layout.bitCount, layout.colors);
  h.biSizeImage = static_cast<uint32_t>(pixelBytes);
  WriteDibHeader(out.block, h);
  out.table = reinterpret_cast<RgbQuad*>(out.block + kInfoHeaderSize + layout.maskBytes);
  out.pixels = out.block + headBytes;
  return out;
}

void WriteGreyTable(RgbQuad* table) {
  for (uint32_t i = 0; i < 256; ++i) {
    const auto v = static_cast<uint8_t>(i);
    table[i] = RgbQuad{v, v, v, 0};
  }
}

}  // namespace lmx
