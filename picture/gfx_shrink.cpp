#include "picture/gfx_shrink.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "plugins/common/dib_reduce.h"

namespace lmx {

namespace {

// One sampling bitmap, top-down, in the picture's depth and colour table; rebuilt when the
// size, depth or colours change.
struct ShrinkCache {
  HBITMAP bitmap = nullptr;
  HBITMAP saved = nullptr;
  HDC dc = nullptr;
  uint8_t* bits = nullptr;
  int width = 0, height = 0, depth = 0;
  std::vector<RGBQUAD> colours;
};
ShrinkCache g_cache;

void ReleaseSamplingBitmap() {
  if (g_cache.dc) {
    SelectObject(g_cache.dc, g_cache.saved);
    DeleteDC(g_cache.dc);
  }
  if (g_cache.bitmap) DeleteObject(g_cache.bitmap);
  g_cache = ShrinkCache{};
}

bool PrepareCache(int width, int height, int depth, const RGBQUAD* colours, int colourCount) {
  const bool sameColours = colourCount == static_cast<int>(g_cache.colours.size()) &&
                           (colourCount == 0 || std::memcmp(colours, g_cache.colours.data(), colourCount * sizeof(RGBQUAD)) == 0);
  if (g_cache.dc && g_cache.width == width && g_cache.height == height && g_cache.depth == depth && sameColours) {
    return true;
  }
  ReleaseSamplingBitmap();
  std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + colourCount * sizeof(RGBQUAD));
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
  header->biSize = sizeof(BITMAPINFOHEADER);
  header->biWidth = width;
  header->biHeight = -height;  // top-down
  header->biPlanes = 1;
  header->biBitCount = static_cast<WORD>(depth);
  header->biClrUsed = static_cast<DWORD>(colourCount);
  if (colourCount) std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), colours, colourCount * sizeof(RGBQUAD));
  void* bits = nullptr;
  g_cache.bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &bits, nullptr, 0);
  g_cache.dc = g_cache.bitmap ? CreateCompatibleDC(nullptr) : nullptr;
  if (!g_cache.dc || !bits) {
    ReleaseSamplingBitmap();
    return false;
  }
  g_cache.saved = static_cast<HBITMAP>(SelectObject(g_cache.dc, g_cache.bitmap));
  g_cache.bits = static_cast<uint8_t*>(bits);
  g_cache.width = width;
  g_cache.height = height;
  g_cache.depth = depth;
  g_cache.colours.assign(colours, colours + colourCount);
  return true;
}

// The averaged copy of the picture last drawn smaller than it is, kept while the picture and
// the factor stay (ReleaseShrinkCache drops it with the picture).
struct ReducedCopy {
  const void* dib = nullptr;
  uint32_t factor = 0;
  DibBlock block;
  CHeap heap;
};
ReducedCopy g_reduced;

void DropReducedCopy() {
  if (g_reduced.block.block) g_reduced.heap.Free(g_reduced.block.block);
  g_reduced.block = DibBlock{};
  g_reduced.dib = nullptr;
  g_reduced.factor = 0;
}

}  // namespace

void ReleaseShrinkCache() {
  DropReducedCopy();
  ReleaseSamplingBitmap();
}

namespace {

const DibBlock* ReducedBy(const GfxImage* image, uint32_t factor) {
  if (g_reduced.dib == image->dib && g_reduced.factor == factor && g_reduced.block.Made()) return &g_reduced.block;
  DropReducedCopy();
  g_reduced.block = ReduceDib(static_cast<const uint8_t*>(image->dib), image->dibBytes, factor, g_reduced.heap);
  if (!g_reduced.block.Made()) return nullptr;
  g_reduced.dib = image->dib;
  g_reduced.factor = factor;
  return &g_reduced.block;
}

}  // namespace

bool ShrinkToDevice(const GfxImage* image, HDC target, const RECT& dst, const RECT& src) {
  // Only a picture whose layout was found sound has display objects.
  if (!image || !image->dib || !image->memoryDC) return false;
  const int dstW = dst.right - dst.left, dstH = dst.bottom - dst.top;
  const int srcW = src.right - src.left, srcH = src.bottom - src.top;
  if (dstW <= 0 || dstH <= 0 || dstW >= srcW || dstH >= srcH) return false;
  const auto* header = static_cast<const BITMAPINFOHEADER*>(image->dib);
  if (header->biHeight <= 0 || header->biWidth <= 0) return false;
  const int width = header->biWidth, height = header->biHeight;
  if (src.left < 0 || src.top < 0 || src.right > width || src.bottom > height) return false;

  // The picture averaged by the smallest whole factor that makes it no larger than the view
  // wants, then drawn from that copy, which is as large as the view's part or smaller.
  const uint32_t byWidth = static_cast<uint32_t>((srcW + dstW - 1) / dstW);
  const uint32_t byHeight = static_cast<uint32_t>((srcH + dstH - 1) / dstH);
  const uint32_t factor = byWidth > byHeight ? byWidth : byHeight;
  const DibBlock* reduced = ReducedBy(image, factor);
  if (!reduced) return false;
  const DibHeader r = ReadDibHeader(reduced->block);
  const int depth = r.biBitCount;
  static const std::vector<RGBQUAD> kGrey = [] {
    std::vector<RGBQUAD> levels(256);
    for (int i = 0; i < 256; ++i) levels[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
    return levels;
  }();
  if (!PrepareCache(dstW, dstH, depth, kGrey.data(), depth == 8 ? 256 : 0)) return false;

  const size_t outStride = ((static_cast<size_t>(dstW) * depth + 31) / 32) * 4;
  const int bytesPerPixel = depth / 8;
  // Column offsets once: the copy's pixel under the centre of each destination column.
  std::vector<size_t> columns(dstW);
  for (int x = 0; x < dstW; ++x) {
    const int64_t sx = src.left + (2LL * x + 1) * srcW / (2LL * dstW);
    columns[x] = static_cast<size_t>(sx / factor) * bytesPerPixel;
  }
  for (int y = 0; y < dstH; ++y) {
    const int64_t sy = src.top + (2LL * y + 1) * srcH / (2LL * dstH);
    const uint8_t* in = reduced->pixels + static_cast<size_t>(r.biHeight - 1 - sy / factor) * reduced->stride;
    uint8_t* out = g_cache.bits + static_cast<size_t>(y) * outStride;
    if (depth == 8) {
      for (int x = 0; x < dstW; ++x) out[x] = in[columns[x]];
    } else {
      for (int x = 0; x < dstW; ++x, out += 3) std::memcpy(out, in + columns[x], 3);
    }
  }
  GdiFlush();
  return BitBlt(target, dst.left, dst.top, dstW, dstH, g_cache.dc, 0, 0, SRCCOPY) != FALSE;
}

}  // namespace lmx
