// The thumbnails' pixels and their cache file, without windows: fitting, averaging, and a
// file that is read back only when every part of it is sound.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "explorer/thumbnail_cache_file.h"
#include "explorer/thumbnail_image.h"

namespace {

using lmx::Thumbnail;
using lmx::ThumbnailKey;

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A packed DIB of `bits` (24, or 8 with a grey table), bottom-up unless `topDown`.
std::vector<uint8_t> Dib(int width, int height, int bits, bool topDown,
                         const std::function<uint8_t(int x, int yFromTop, int channel)>& value) {
  const size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
  const size_t table = bits == 8 ? 1024 : 0;
  std::vector<uint8_t> b(40 + table + stride * height, 0);
  Put32(b, 0, 40);
  Put32(b, 4, static_cast<uint32_t>(width));
  Put32(b, 8, static_cast<uint32_t>(topDown ? -height : height));
  b[12] = 1;
  b[14] = static_cast<uint8_t>(bits);
  Put32(b, 32, bits == 8 ? 256 : 0);
  for (int i = 0; bits == 8 && i < 256; ++i) b[40 + 4 * i] = b[41 + 4 * i] = b[42 + 4 * i] = static_cast<uint8_t>(i);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = b.data() + 40 + table + stride * (topDown ? y : height - 1 - y);
    for (int x = 0; x < width; ++x) {
      if (bits == 8) row[x] = value(x, y, 0);
      else for (int c = 0; c < 3; ++c) row[3 * x + c] = value(x, y, c);
    }
  }
  return b;
}

// Pixel (x, y from the top) of a thumbnail, channel c.
int At(const Thumbnail& t, int x, int y, int c) {
  return t.pixels[lmx::ThumbnailStride(t.width) * (t.height - 1 - y) + 3 * x + c];
}

TEST(ThumbnailImage, FitsTheBoxKeepingTheShapeAndNeverGrows) {
  struct Case { uint32_t w, h, bw, bh, ew, eh; };
  const Case cases[] = {
      {4000, 3000, 68, 51, 68, 51}, {3000, 4000, 68, 51, 38, 51}, {100, 10, 68, 51, 68, 6},
      {20, 10, 68, 51, 20, 10},     {5000, 1, 68, 51, 68, 1},     {1, 5000, 68, 51, 1, 51},
  };
  for (const Case& c : cases) {
    uint32_t w, h;
    lmx::FitIntoBox(c.w, c.h, c.bw, c.bh, &w, &h);
    EXPECT_EQ(w, c.ew) << c.w << "x" << c.h;
    EXPECT_EQ(h, c.eh) << c.w << "x" << c.h;
  }
}

TEST(ThumbnailImage, AveragesOnePixelLinesToGreyInBothDepthsAndRowOrders) {
  // Black lines one pixel wide every fourth column on white: a quarter black, three quarters white.
  for (int bits : {24, 8}) {
    for (bool topDown : {false, true}) {
      const auto dib = Dib(64, 32, bits, topDown, [](int x, int, int) { return x % 4 == 0 ? 0 : 255; });
      Thumbnail t;
      ASSERT_TRUE(lmx::ThumbnailFromPackedDib(dib.data(), dib.size(), 16, 16, &t));
      EXPECT_EQ(t.width, 16u);
      EXPECT_EQ(t.height, 8u);
      for (int c = 0; c < 3; ++c) EXPECT_NEAR(At(t, 5, 3, c), 191, 1) << bits << " " << topDown;
    }
  }
}

TEST(ThumbnailImage, KeepsTopAndBottomWhereTheyBelong) {
  // Red top half, blue bottom half; a top-down picture and a bottom-up one alike.
  for (bool topDown : {false, true}) {
    const auto dib = Dib(40, 40, 24, topDown, [](int, int y, int c) { return (y < 20) == (c == 2) ? 255 : 0; });
    Thumbnail t;
    ASSERT_TRUE(lmx::ThumbnailFromPackedDib(dib.data(), dib.size(), 10, 10, &t));
    EXPECT_EQ(At(t, 5, 1, 2), 255) << topDown;  // red at the top
    EXPECT_EQ(At(t, 5, 8, 0), 255) << topDown;  // blue at the bottom
  }
}

TEST(ThumbnailImage, RefusesWhatItCannotRead) {
  const auto good = Dib(8, 8, 24, false, [](int, int, int) { return 9; });
  struct Case { const char* what; std::function<void(std::vector<uint8_t>&)> damage; };
  const Case cases[] = {
      {"16 bits", [](std::vector<uint8_t>& b) { b[14] = 16; }},
      {"compressed", [](std::vector<uint8_t>& b) { b[16] = 1; }},
      {"cut short", [](std::vector<uint8_t>& b) { b.resize(b.size() - 4); }},
      {"zero width", [](std::vector<uint8_t>& b) { Put32(b, 4, 0); }},
      {"header too large", [](std::vector<uint8_t>& b) { Put32(b, 0, 1u << 30); }},
  };
  for (const Case& c : cases) {
    auto bytes = good;
    c.damage(bytes);
    Thumbnail t;
    EXPECT_FALSE(lmx::ThumbnailFromPackedDib(bytes.data(), bytes.size(), 4, 4, &t)) << c.what;
  }
}

Thumbnail Sample() {
  Thumbnail t;
  t.width = 5;
  t.height = 3;
  t.pixels.resize(lmx::ThumbnailStride(5) * 3);
  for (size_t i = 0; i < t.pixels.size(); ++i) t.pixels[i] = static_cast<uint8_t>(i * 7);
  return t;
}

ThumbnailKey Key() { return ThumbnailKey{L"C:\\Pictures\\Lake.jpg", 1234567, 0x01D9000011112222ull}; }

TEST(ThumbnailCacheFile, ReadsBackWhatItWroteForTheSameKeyInAnyCase) {
  const auto bytes = lmx::EncodeThumbnailFile(Key(), Sample());
  Thumbnail back;
  ThumbnailKey upper = Key();
  upper.path = L"C:\\PICTURES\\LAKE.JPG";
  ASSERT_TRUE(lmx::DecodeThumbnailFile(bytes, upper, &back));
  EXPECT_EQ(back.width, 5u);
  EXPECT_EQ(back.height, 3u);
  EXPECT_EQ(back.pixels, Sample().pixels);
  EXPECT_EQ(lmx::ThumbnailFileName(Key()), lmx::ThumbnailFileName(upper));
  EXPECT_EQ(lmx::ThumbnailFileName(Key()).size(), 20u);
}

TEST(ThumbnailCacheFile, TrustsNoDamagedForeignOrStaleFile) {
  const auto good = lmx::EncodeThumbnailFile(Key(), Sample());
  struct Case { const char* what; std::function<void(std::vector<uint8_t>&, ThumbnailKey&)> change; };
  const Case cases[] = {
      {"another magic", [](auto& b, auto&) { b[0] ^= 1; }},
      {"another version", [](auto& b, auto&) { Put32(b, 4, 2); }},
      {"a pixel changed", [](auto& b, auto&) { b[b.size() - 3] ^= 0x40; }},
      {"a path letter changed", [](auto& b, auto&) { b[50] ^= 1; }},
      {"cut short", [](auto& b, auto&) { b.resize(b.size() - 1); }},
      {"a byte too many", [](auto& b, auto&) { b.push_back(0); }},
      {"a width too large", [](auto& b, auto&) { Put32(b, 32, 100000); }},
      {"the size of a different file", [](auto&, auto& k) { k.size += 1; }},
      {"modified since", [](auto&, auto& k) { k.modified += 1; }},
      {"another picture", [](auto&, auto& k) { k.path = L"C:\\Pictures\\Lake2.jpg"; }},
      {"empty", [](auto& b, auto&) { b.clear(); }},
      {"foreign bytes", [](auto& b, auto&) { std::fill(b.begin(), b.end(), 0x5A); }},
  };
  for (const Case& c : cases) {
    auto bytes = good;
    ThumbnailKey key = Key();
    c.change(bytes, key);
    Thumbnail back;
    EXPECT_FALSE(lmx::DecodeThumbnailFile(bytes, key, &back)) << c.what;
  }
}

}  // namespace
