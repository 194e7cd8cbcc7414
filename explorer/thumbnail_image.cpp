#include "explorer/thumbnail_image.h"

#include <algorithm>

namespace lmx {

namespace {

constexpr uint32_t kMaxSide = 1u << 16;

uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

}  // namespace

void FitIntoBox(uint32_t width, uint32_t height, uint32_t boxWidth, uint32_t boxHeight, uint32_t* outWidth,
                uint32_t* outHeight) {
  uint64_t w = width, h = height;
  if (w > boxWidth || h > boxHeight) {
    // The side that meets the box first decides: w / h against boxWidth / boxHeight.
    if (w * boxHeight >= h * boxWidth) {
      h = h * boxWidth / w;
      w = boxWidth;
    } else {
      w = w * boxHeight / h;
      h = boxHeight;
    }
  }
  *outWidth = static_cast<uint32_t>(w ? w : 1);
  *outHeight = static_cast<uint32_t>(h ? h : 1);
}

bool ThumbnailFromPackedDib(const uint8_t* block, size_t blockBytes, uint32_t boxWidth, uint32_t boxHeight,
                            Thumbnail* out) {
  if (!block || !out || blockBytes < 40 || boxWidth == 0 || boxHeight == 0) return false;
  const uint32_t headerBytes = Le32(block);
  const int32_t rawWidth = static_cast<int32_t>(Le32(block + 4));
  const int32_t rawHeight = static_cast<int32_t>(Le32(block + 8));
  const uint16_t bits = Le16(block + 14);
  const uint32_t compression = Le32(block + 16);
  uint32_t colours = Le32(block + 32);
  if (headerBytes < 40 || headerBytes > blockBytes || compression != 0) return false;
  if (bits != 24 && bits != 8) return false;
  if (rawWidth <= 0 || rawHeight == 0 || rawHeight == INT32_MIN) return false;
  const bool topDown = rawHeight < 0;
  const uint32_t width = static_cast<uint32_t>(rawWidth);
  const uint32_t height = static_cast<uint32_t>(topDown ? -rawHeight : rawHeight);
  if (width > kMaxSide || height > kMaxSide) return false;
  if (bits == 8 && (colours == 0 || colours > 256)) colours = 256;
  if (bits == 24) colours = 0;
  const size_t tableBytes = static_cast<size_t>(colours) * 4;
  const size_t srcStride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
  if (blockBytes - headerBytes < tableBytes) return false;
  const uint8_t* table = block + headerBytes;
  const uint8_t* rows = table + tableBytes;
  if (static_cast<size_t>(block + blockBytes - rows) / srcStride < height) return false;

  uint32_t w, h;
  FitIntoBox(width, height, boxWidth, boxHeight, &w, &h);
  const size_t stride = ThumbnailStride(w);
  out->width = w;
  out->height = h;
  out->pixels.assign(stride * h, 0);
  // Each output pixel averages the source pixels its area covers (a box filter).
  std::vector<uint32_t> sums(static_cast<size_t>(w) * 4);
  for (uint32_t oy = 0; oy < h; ++oy) {
    const uint32_t y0 = static_cast<uint32_t>(static_cast<uint64_t>(oy) * height / h);
    uint32_t y1 = static_cast<uint32_t>(static_cast<uint64_t>(oy + 1) * height / h);
    if (y1 <= y0) y1 = y0 + 1;
    std::fill(sums.begin(), sums.end(), 0);
    for (uint32_t y = y0; y < y1; ++y) {
      // Output rows are bottom-up like the DIB's; a top-down source counts from its top.
      const uint32_t fromTop = height - 1 - y;
      const uint8_t* row = rows + srcStride * (topDown ? fromTop : y);
      uint32_t ox = 0;
      uint32_t nextEdge = static_cast<uint32_t>(static_cast<uint64_t>(1) * width / w);
      for (uint32_t x = 0; x < width; ++x) {
        while (x >= nextEdge && ox + 1 < w) {
          ++ox;
          nextEdge = static_cast<uint32_t>(static_cast<uint64_t>(ox + 1) * width / w);
        }
        uint8_t b, g, r;
        if (bits == 24) {
          b = row[x * 3];
          g = row[x * 3 + 1];
          r = row[x * 3 + 2];
        } else {
          const uint8_t index = row[x];
          if (index >= colours) {
            b = g = r = 0;
          } else {
            b = table[index * 4];
            g = table[index * 4 + 1];
            r = table[index * 4 + 2];
          }
        }
        uint32_t* s = &sums[static_cast<size_t>(ox) * 4];
        s[0] += b;
        s[1] += g;
        s[2] += r;
        s[3] += 1;
      }
    }
    uint8_t* dst = out->pixels.data() + stride * oy;
    for (uint32_t ox = 0; ox < w; ++ox) {
      const uint32_t* s = &sums[static_cast<size_t>(ox) * 4];
      const uint32_t n = s[3] ? s[3] : 1;
      for (int c = 0; c < 3; ++c) dst[ox * 3 + c] = static_cast<uint8_t>((s[c] + n / 2) / n);
    }
  }
  return true;
}

}  // namespace lmx
