// Reduced decoding natively: each reader's reduced picture against its whole picture averaged
// by the same factor, and that a reduced decode of a large picture never asks for a block the
// size of the whole.
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "plugins/bmp/bmp_reader.h"
#include "plugins/gif/gif_reader.h"
#include "plugins/pcx/pcx_reader.h"
#include "plugins/tif/tif_reader.h"
#include "plugins/common/dib_reduce.h"
#include "plugins/jpg/jpg_reader.h"
#include "plugins/png/png_reader.h"
#include "tests/plugins/gif/gif_file.h"
#include "tests/plugins/jpg/jpg_writer.h"

namespace lmx {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

// A heap that remembers the largest block asked of it.
class RecordingHeap final : public BlockHeap {
 public:
  void* Alloc(size_t size) override {
    if (size > largest) largest = size;
    return heap_.Alloc(size);
  }
  void Free(void* block) override { heap_.Free(block); }
  bool OutOfMemory() const override { return heap_.OutOfMemory(); }
  size_t largest = 0;

 private:
  CHeap heap_;
};

// The bytes a reader's block holds, from its header.
size_t BlockBytes(const void* block) {
  const DibHeader h = ReadDibHeader(block);
  return kInfoHeaderSize + DibMaskBytes(h) + size_t{h.biClrUsed} * 4 + h.biSizeImage;
}

// Decodes `file` reduced for a box and whole, and compares the reduced picture with the whole
// one averaged by the factor the box gives: equal within one level.
void ExpectReducedMatchesWhole(ReadPictureFn read, const Bytes& file, uint32_t box) {
  CHeap heap;
  DecodeMessages wholeMessages, reducedMessages;
  MemorySource wholeSource(file.data(), file.size()), reducedSource(file.data(), file.size());
  const DecodeInput whole{wholeSource, file.data(), file.size(), 0};
  PictureSize full;
  const DecodeInput reduced{reducedSource, file.data(), file.size(), 0, box, box, &full};
  void* wholeBlock = read(whole, heap, wholeMessages, nullptr);
  void* reducedBlock = read(reduced, heap, reducedMessages, nullptr);
  ASSERT_NE(wholeBlock, nullptr);
  ASSERT_NE(reducedBlock, nullptr);
  const DibHeader w = ReadDibHeader(wholeBlock);
  EXPECT_EQ(full.width, static_cast<uint32_t>(w.biWidth));
  EXPECT_EQ(full.height, static_cast<uint32_t>(w.biHeight));
  const uint32_t factor = ReductionFactor(w.biWidth, w.biHeight, box, box);
  DibBlock expected = ReduceDib(static_cast<uint8_t*>(wholeBlock), BlockBytes(wholeBlock), factor, heap);
  ASSERT_TRUE(expected.Made());
  // A picture the reader took whole comes averaged (and made 24-bit) by the plug-in's shared part.
  DibHeader r = ReadDibHeader(reducedBlock);
  DibBlock got{};
  got.block = static_cast<uint8_t*>(reducedBlock);
  if (r.biWidth == w.biWidth && (factor > 1 || r.biBitCount != ReadDibHeader(expected.block).biBitCount)) {
    got = ReduceDib(got.block, BlockBytes(got.block), factor, heap);
    ASSERT_TRUE(got.Made());
    r = ReadDibHeader(got.block);
  }
  const DibHeader e = ReadDibHeader(expected.block);
  ASSERT_EQ(r.biWidth, e.biWidth);
  ASSERT_EQ(r.biHeight, e.biHeight);
  ASSERT_EQ(r.biBitCount, e.biBitCount);
  const uint8_t* a = got.block + (ReadDibHeader(got.block).biBitCount == 8 ? 40 + 1024 : 40);
  const uint8_t* b = expected.pixels;
  int worst = 0;
  for (uint32_t i = 0; i < e.biSizeImage; ++i) worst = std::max(worst, std::abs(a[i] - b[i]));
  EXPECT_LE(worst, 1);
  heap.Free(expected.block);
  if (got.block != reducedBlock) heap.Free(got.block);
  heap.Free(reducedBlock);
  heap.Free(wholeBlock);
}

// Each reduced pixel is the rounded mean of the pixels of its cell, part cells at the right
// and bottom edges included, for colour and grey rows and factors with fast paths or none.
TEST(ReducedDecode, BandReducerGivesEachCellItsRoundedMean) {
  struct Case {
    uint32_t width, height, factor;
    bool grey;
  };
  const Case cases[] = {{9, 7, 2, false}, {8, 8, 2, false}, {10, 11, 3, false}, {23, 5, 7, true},
                        {5, 4, 1, false}, {300, 9, 16, true}, {1, 40, 40, false}, {17, 3, 4, true}};
  uint32_t seed = 12345;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " by " << c.factor << (c.grey ? " grey" : ""));
    const uint32_t channels = c.grey ? 1 : 3;
    std::vector<uint8_t> picture(size_t{c.width} * c.height * channels);
    for (uint8_t& v : picture) v = uint8_t((seed = seed * 1103515245u + 12345u) >> 24);
    CHeap heap;
    BandReducer reducer(c.width, c.height, c.factor, c.grey);
    const DibBlock out = reducer.Start(heap);
    ASSERT_TRUE(out.Made());
    for (uint32_t y = 0; y < c.height; ++y) reducer.AddRow(y, picture.data() + size_t{y} * c.width * channels);
    reducer.Finish();
    const uint32_t outWidth = (c.width + c.factor - 1) / c.factor, outHeight = (c.height + c.factor - 1) / c.factor;
    for (uint32_t oy = 0; oy < outHeight; ++oy) {
      for (uint32_t ox = 0; ox < outWidth; ++ox) {
        for (uint32_t ch = 0; ch < channels; ++ch) {
          uint64_t sum = 0, count = 0;
          for (uint32_t y = oy * c.factor; y < std::min(c.height, (oy + 1) * c.factor); ++y) {
            for (uint32_t x = ox * c.factor; x < std::min(c.width, (ox + 1) * c.factor); ++x, ++count) {
              sum += picture[(size_t{y} * c.width + x) * channels + ch];
            }
          }
          const uint8_t got = out.pixels[uint64_t{outHeight - 1 - oy} * out.stride + ox * channels + ch];
          ASSERT_EQ(got, (sum + count / 2) / count) << "cell " << ox << "," << oy << " channel " << ch;
        }
      }
    }
    heap.Free(out.block);
  }
  // Sums a half short of a multiple of the count, whose mean lies exactly on a whole value.
  for (uint32_t factor : {7u, 3u, 10u}) {
    for (uint32_t k = factor * factor / 2; k < 256; ++k) {
      std::vector<uint8_t> picture(size_t{factor} * factor, uint8_t(k));
      picture[0] = uint8_t(k - factor * factor / 2);
      CHeap heap;
      BandReducer reducer(factor, factor, factor, true);
      const DibBlock out = reducer.Start(heap);
      ASSERT_TRUE(out.Made());
      for (uint32_t y = 0; y < factor; ++y) reducer.AddRow(y, picture.data() + y * factor);
      reducer.Finish();
      EXPECT_EQ(out.pixels[0], k) << "factor " << factor;
      heap.Free(out.block);
    }
  }
}

TEST(ReducedDecode, PngRowsAveragedAsTheyComeMatchTheWholePictureAveraged) {
  // Every colour type and depth of PngSuite's plain files, with and without transparency.
  const char* const files[] = {"basn0g01", "basn0g02", "basn0g04", "basn0g08", "basn0g16", "basn2c08", "basn2c16",
                               "basn3p01", "basn3p02", "basn3p04", "basn3p08", "basn4a08", "basn4a16", "basn6a08",
                               "basn6a16", "tbbn3p08", "tbrn2c08", "tbwn0g16", "basi0g08", "basi3p02"};
  for (const char* name : files) {
    for (uint32_t box : {5u, 10u, 16u}) {
      SCOPED_TRACE(std::string(name) + " box " + std::to_string(box));
      ExpectReducedMatchesWhole(png::ReadPngFile, ReadFile(std::string(LMX_CORPUS_DIR) + "/pngsuite/" + name + ".png"),
                                box);
    }
  }
}

TEST(ReducedDecode, BmpRowsAveragedAsTheyAreReadMatchTheWholePictureAveraged) {
  // Each depth, masks, an OS/2 header, a grey table, a short table, a cut file, and run-length
  // files (expanded whole, then averaged).
  const char* const files[] = {"g/pal1.bmp",   "g/pal4.bmp",      "g/pal8.bmp",     "g/pal8gs.bmp",  "g/rgb16.bmp",
                               "g/rgb16-565.bmp", "g/rgb24.bmp",  "g/rgb32bf.bmp",  "g/pal8os2.bmp", "g/pal8w124.bmp",
                               "q/pal8offs.bmp", "g/shortfile.bmp", "g/pal4rle.bmp", "g/pal8rle.bmp"};
  for (const char* name : files) {
    const Bytes file = ReadFile(std::string(LMX_CORPUS_DIR) + "/bmpsuite/" + name);
    if (file.empty()) continue;
    for (uint32_t box : {10u, 30u}) {
      SCOPED_TRACE(std::string(name) + " box " + std::to_string(box));
      ExpectReducedMatchesWhole(bmp::ReadBitmap, file, box);
    }
  }
  // A plain picture never asks for a block of its whole size.
  const Bytes rgb = ReadFile(std::string(LMX_CORPUS_DIR) + "/bmpsuite/g/rgb24.bmp");
  RecordingHeap heap;
  DecodeMessages messages;
  MemorySource source(rgb.data(), rgb.size());
  void* block = bmp::ReadBitmap({source, nullptr, 0, 0, 10, 10, nullptr}, heap, messages, nullptr);
  ASSERT_NE(block, nullptr);
  EXPECT_LT(heap.largest, size_t{4096});
  heap.Free(block);
}

TEST(ReducedDecode, PcxRowsAveragedAsTheyAreLaidOutMatchTheWholePictureAveraged) {
  // One bit, four planes, eight bits with its palette, three planes, odd strides.
  for (const char* name : {"pil184.pcx", "p_4_planes.pcx", "odd_stride.pcx", "hopper.pcx", "pil_sample_rgb.pcx",
                           "pil_sample_cmyk.pcx"}) {
    const Bytes file = ReadFile(std::string(LMX_CORPUS_DIR) + "/pillow/" + name);
    if (file.empty()) continue;
    for (uint32_t box : {1u, 10u, 50u}) {
      SCOPED_TRACE(std::string(name) + " box " + std::to_string(box));
      ExpectReducedMatchesWhole(pcx::ReadPcx, file, box);
    }
  }
}

TEST(ReducedDecode, GifCanvasRowsAveragedAsTheyComeMatchTheWholeCanvasAveraged) {
  // Images smaller than the screen and off it, local tables, 1- and 4-bit canvases, a damaged
  // image (the canvas left blank), an interlaced image (made whole, then averaged).
  for (const char* name : {"hopper.gif", "chi.gif", "test_extents.gif", "dispose_bgnd.gif", "text_mono.gif",
                           "iss634.gif", "no_palette_with_background.gif", "background_outside_palette.gif",
                           "test.colors.gif", "transparent.gif", "issue_2811.gif"}) {
    const Bytes file = ReadFile(std::string(LMX_CORPUS_DIR) + "/pillow/" + name);
    if (file.empty()) continue;
    for (uint32_t box : {4u, 20u, 50u}) {
      SCOPED_TRACE(std::string(name) + " box " + std::to_string(box));
      ExpectReducedMatchesWhole(gif::ReadGif, file, box);
    }
  }
  // An image inside a larger screen, plain (never a block of the whole canvas), interlaced, and
  // cut short (its rows undone: the canvas stays index 0).
  std::vector<uint8_t> pixels(500 * 300);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>((i % 500) / 7 + (i / 500) / 5);
  const std::vector<uint8_t> data = test::LzwEncode(pixels, 8);
  const std::vector<uint8_t> cut(data.begin(), data.begin() + data.size() / 2);
  const struct {
    const char* what;
    Bytes file;
  } made[] = {
      {"plain", test::GifFile(1000, 600, 7, true).Image(100, 50, 500, 300, pixels).End()},
      {"interlaced", test::GifFile(1000, 600, 7, true).Image(100, 50, 500, 300, pixels, 0x40).End()},
      {"cut", test::GifFile(1000, 600, 7, true).ImageData(100, 50, 500, 300, test::SubBlocks(cut)).End()},
  };
  for (const auto& m : made) {
    SCOPED_TRACE(m.what);
    ExpectReducedMatchesWhole(gif::ReadGif, m.file, 100);
  }
  RecordingHeap heap;
  DecodeMessages messages;
  MemorySource source(made[0].file.data(), made[0].file.size());
  void* block = gif::ReadGif({source, nullptr, 0, 0, 100, 100, nullptr}, heap, messages, nullptr);
  ASSERT_NE(block, nullptr);
  EXPECT_LT(heap.largest, size_t{1000 * 600 / 2});
  heap.Free(block);
}

TEST(ReducedDecode, TiffStripsAveragedAsTheyComeMatchTheWholePictureAveraged) {
  // RGB, palette, grey, bilevel G4 and LZW, several strips, a file cut short.
  for (const char* name : {"hopper.tif", "hopper_lzw.tif", "hopper_g4.tif", "hopper_gray_4bpp.tif",
                           "multipage.tiff", "pport_g4.tif", "no_rows_per_strip.tif", "tiff_strip_raw.tif"}) {
    const Bytes file = ReadFile(std::string(LMX_CORPUS_DIR) + "/pillow/" + name);
    if (file.empty()) continue;
    for (uint32_t box : {10u, 64u}) {
      SCOPED_TRACE(std::string(name) + " box " + std::to_string(box));
      CHeap heap;
      DecodeMessages messages;
      void* whole = tif::ReadTiff(file.data(), file.size(), 0, heap, messages);
      const bool decoded = whole != nullptr;
      heap.Free(whole);
      if (!decoded) continue;  // a page the plug-in refuses is refused reduced too (reduced_corpus)
      ExpectReducedMatchesWhole(tif::ReadTiffFile, file, box);
    }
  }
}

// The mean of each colour channel of a 24-bit or grey block.
std::vector<double> Means(const void* block) {
  const DibHeader h = ReadDibHeader(block);
  const uint32_t channels = h.biBitCount / 8;
  const auto* pixels = static_cast<const uint8_t*>(block) + 40 + h.biClrUsed * 4;
  const uint64_t stride = DibStride(h.biWidth, h.biBitCount);
  std::vector<double> sums(channels);
  for (int32_t y = 0; y < h.biHeight; ++y) {
    for (int32_t x = 0; x < h.biWidth; ++x) {
      for (uint32_t c = 0; c < channels; ++c) sums[c] += pixels[y * stride + x * channels + c];
    }
  }
  for (double& v : sums) v /= double(h.biWidth) * h.biHeight;
  return sums;
}

TEST(ReducedDecode, JpegIsScaledByEighthsUprightAndLooksLikeTheWholePicture) {
  struct Case {
    std::string file;
    uint32_t box, fullWidth, fullHeight;
  };
  const Case cases[] = {
      {std::string(LMX_JPEG_TESTIMAGES) + "/testorig.jpg", 40, 227, 149},
      {std::string(LMX_JPEG_TESTIMAGES) + "/testimgint.jpg", 100, 227, 149},
      {std::string(LMX_SOURCE_DIR) + "/tests/fuzz/regressions/jpg/exif_orientation_6.jpg", 8, 21, 37},
      // Eighths, from the DC coefficients.
      {std::string(LMX_JPEG_TESTIMAGES) + "/testorig.jpg", 20, 227, 149},
      {std::string(LMX_SOURCE_DIR) + "/tests/fuzz/regressions/jpg/exif_orientation_6.jpg", 4, 21, 37},
      {std::string(LMX_SOURCE_DIR) + "/tests/fuzz/regressions/jpg/progressive_grey.jpg", 4, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file + " box " + std::to_string(c.box));
    const Bytes file = ReadFile(c.file);
    CHeap heap;
    DecodeMessages messages;
    MemorySource source(file.data(), file.size());
    PictureSize full;
    void* whole = jpg::ReadJpeg(file.data(), file.size(), heap, messages);
    void* reduced =
        jpg::ReadJpegFile({source, file.data(), file.size(), 0, c.box, c.box, &full}, heap, messages, nullptr);
    ASSERT_TRUE(whole && reduced);
    const DibHeader w = ReadDibHeader(whole), r = ReadDibHeader(reduced);
    EXPECT_EQ(full.width, static_cast<uint32_t>(w.biWidth));
    EXPECT_EQ(full.height, static_cast<uint32_t>(w.biHeight));
    if (c.fullWidth) EXPECT_EQ(full.width, c.fullWidth);
    // No larger than the whole, no smaller than the whole fitted into the box.
    const double fit = std::min(double(c.box) / w.biWidth, double(c.box) / w.biHeight);
    EXPECT_LE(r.biWidth, w.biWidth);
    EXPECT_GE(r.biWidth, std::floor(w.biWidth * fit));
    EXPECT_GE(r.biHeight, std::floor(w.biHeight * fit));
    EXPECT_EQ(r.biWidth > r.biHeight, w.biWidth > w.biHeight);  // upright as the whole
    // The colours agree where edge blocks, which libjpeg fills out, weigh little.
    const std::vector<double> a = Means(whole), b = Means(reduced);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size() && w.biWidth > 100; ++i) EXPECT_NEAR(a[i], b[i], 4.0);
    heap.Free(whole);
    heap.Free(reduced);
  }
}

// A width x height RGB PNG, not interlaced, of smooth gradients, written by libpng.
Bytes WritePng(uint32_t width, uint32_t height) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep data, png_size_t n) {
        auto* o = static_cast<Bytes*>(png_get_io_ptr(p));
        o->insert(o->end(), data, data + n);
      },
      nullptr);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 1);
  png_set_compression_strategy(png, 2);  // Huffman codes only: quick to write
  png_write_info(png, info);
  std::vector<uint8_t> row(size_t{width} * 3);
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      row[3 * x] = static_cast<uint8_t>(x * 255 / width);
      row[3 * x + 1] = static_cast<uint8_t>(y * 255 / height);
      row[3 * x + 2] = static_cast<uint8_t>((x + y) & 0xFF);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

TEST(ReducedDecode, ALargeJpegOrPngIsNeverHeldWhole) {
  for (ReadPictureFn read : {png::ReadPngFile, jpg::ReadJpegFile}) {
    const Bytes file = read == png::ReadPngFile ? WritePng(4000, 3000) : test::WriteJpeg(4000, 3000);
    RecordingHeap heap;
    DecodeMessages messages;
    MemorySource source(file.data(), file.size());
    PictureSize full;
    const DecodeInput in{source, file.data(), file.size(), 0, 240, 320, &full};
    void* block = read(in, heap, messages, nullptr);
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(messages.Empty());
    EXPECT_EQ(full.width, 4000u);
    EXPECT_EQ(full.height, 3000u);
    const DibHeader h = ReadDibHeader(block);
    // 4000 / 16: JPEG's rows come at an eighth from libjpeg and are halved as they come.
    EXPECT_EQ(h.biWidth, 250);
    EXPECT_EQ(h.biHeight, 188);
    EXPECT_LT(heap.largest, size_t{250 * 188 * 3 + 4096});
    heap.Free(block);
  }
}

}  // namespace
}  // namespace lmx
