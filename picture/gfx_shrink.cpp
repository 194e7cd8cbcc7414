#include "picture/gfx_shrink.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "image/rgb_fields.h"

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

bool PrepareCache(int width, int height, int depth, const RGBQUAD* colours, int colourCount) {
  const bool sameColours = colourCount == static_cast<int>(g_cache.colours.size()) &&
                           (colourCount == 0 || std::memcmp(colours, g_cache.colours.data(), colourCount * sizeof(RGBQUAD)) == 0);
  if (g_cache.dc && g_cache.width == width && g_cache.height == height && g_cache.depth == depth && sameColours) {
    return true;
  }
  ReleaseShrinkCache();
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
    ReleaseShrinkCache();
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

}  // namespace

void ReleaseShrinkCache() {
  if (g_cache.dc) {
    SelectObject(g_cache.dc, g_cache.saved);
    DeleteDC(g_cache.dc);
  }
  if (g_cache.bitmap) DeleteObject(g_cache.bitmap);
  g_cache = ShrinkCache{};
}

bool ShrinkToDevice(const GfxImage* image, HDC target, const RECT& dst, const RECT& src) {
  if (!image || !image->dib || !image->memoryDC) return false;
  const int dstW = dst.right - dst.left, dstH = dst.bottom - dst.top;
  const int srcW = src.right - src.left, srcH = src.bottom - src.top;
  if (dstW <= 0 || dstH <= 0 || dstW >= srcW || dstH >= srcH) return false;
  const auto* header = static_cast<const BITMAPINFOHEADER*>(image->dib);
  const int depth = header->biBitCount;
  // 16- and 32-bit pixels are sampled through their fields into 24-bit colour.
  const bool throughFields = image->fields != nullptr;
  if (!throughFields && ((depth != 8 && depth != 24) || header->biCompression != BI_RGB)) return false;
  if (header->biHeight <= 0) return false;
  const int width = header->biWidth, height = header->biHeight;
  if (src.left < 0 || src.top < 0 || src.right > width || src.bottom > height) return false;

  const int cacheDepth = throughFields ? 24 : depth;
  const int colourCount = depth == 8 ? static_cast<int>(GfxImage_ColorCount(image)) : 0;
  const auto* colours = reinterpret_cast<const RGBQUAD*>(static_cast<const uint8_t*>(image->dib) + sizeof(BITMAPINFOHEADER));
  if (colourCount > 256 || !PrepareCache(dstW, dstH, cacheDepth, colours, colourCount)) return false;

  const uint8_t* rows = GfxImage_PixelRows(image);
  if (!rows) return false;
  const size_t stride = ((static_cast<size_t>(width) * depth + 31) / 32) * 4;
  const size_t outStride = ((static_cast<size_t>(dstW) * cacheDepth + 31) / 32) * 4;
  const int bytesPerPixel = throughFields ? 1 : depth / 8;  // through the fields: columns by pixel
  // Column offsets once: the source pixel each destination column samples (its centre).
  std::vector<size_t> columns(dstW);
  for (int x = 0; x < dstW; ++x) {
    columns[x] = static_cast<size_t>(src.left + static_cast<int>((2LL * x + 1) * srcW / (2LL * dstW))) * bytesPerPixel;
  }
  for (int y = 0; y < dstH; ++y) {
    const int sy = src.top + static_cast<int>((2LL * y + 1) * srcH / (2LL * dstH));
    const uint8_t* in = rows + static_cast<size_t>(height - 1 - sy) * stride;
    uint8_t* out = g_cache.bits + static_cast<size_t>(y) * outStride;
    if (throughFields) {
      for (int x = 0; x < dstW; ++x, out += 3) image->fields->PixelToBgr(in, static_cast<uint32_t>(columns[x]), out);
    } else if (depth == 8) {
      for (int x = 0; x < dstW; ++x) out[x] = in[columns[x]];
    } else {
      for (int x = 0; x < dstW; ++x, out += 3) std::memcpy(out, in + columns[x], 3);
    }
  }
  GdiFlush();
  return BitBlt(target, dst.left, dst.top, dstW, dstH, g_cache.dc, 0, 0, SRCCOPY) != FALSE;
}

}  // namespace lmx
