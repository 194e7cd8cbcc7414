// The TIFF reader natively on files written byte by byte and on real files of the corpus:
// pages, depths, colour maps, strips, resolution, and the messages for layouts it refuses.
#include <map>

#include "plugins/tif/tif_reader.h"
#include "tests/plugins/common/reader_test.h"
#include "tests/plugins/common/tiff_builder.h"

namespace lmx::test {
namespace {

// One directory: its fields by tag (a later one replaces the earlier) and its strips.
struct Page {
  std::map<uint16_t, TestField> fields;
  std::vector<Bytes> strips;
  uint16_t offsetsTag = 273, countsTag = 279;

  Page& Set(const TestField& f) {
    fields[f.tag] = f;
    return *this;
  }
};

// A plain one-strip page of width x length, `bits` per sample, `samples` and `photometric`.
Page MakePage(uint32_t width, uint32_t length, uint16_t bits, uint16_t photometric, uint16_t samples = 1) {
  Page p;
  p.Set(Long(256, width)).Set(Long(257, length)).Set(Short(259, 1)).Set(Short(262, photometric));
  return p.Set(Shorts(258, std::vector<uint16_t>(samples == 3 ? 3 : 1, bits))).Set(Short(277, samples));
}

// The pages, each directory chained to the next.
Bytes TiffBytes(const std::vector<Page>& pages) {
  TiffBuilder b;
  for (const Page& p : pages) {
    std::vector<TestField> fields;
    for (const auto& field : p.fields) fields.push_back(field.second);
    const size_t at = b.AddDirectory(fields, p.strips, p.offsetsTag, p.countsTag);
    if (at) b.Chain(at - 1, at);
  }
  return b.Bytes();
}

// Codes of 9 bits, most significant bit first: a clear code, each byte as a literal, the end.
Bytes LzwLiterals(const Bytes& data) {
  Bytes out;
  uint32_t acc = 0;
  int bits = 0;
  auto put = [&](uint32_t code) {
    acc = (acc << 9) | code;
    bits += 9;
    while (bits >= 8) {
      out.push_back(uint8_t(acc >> (bits - 8)));
      bits -= 8;
    }
  };
  put(256);
  for (uint8_t v : data) put(v);
  put(257);
  if (bits) out.push_back(uint8_t(acc << (8 - bits)));
  return out;
}

// A zlib stream of one stored block, as a Deflate strip holds it.
Bytes ZlibStored(const Bytes& data) {
  const auto n = static_cast<uint16_t>(data.size());
  Bytes z = {0x78, 0x01, 0x01, uint8_t(n), uint8_t(n >> 8), uint8_t(~n), uint8_t(~n >> 8)};
  z.insert(z.end(), data.begin(), data.end());
  uint32_t a = 1, b = 0;
  for (uint8_t v : data) a = (a + v) % 65521, b = (b + a) % 65521;
  Append(z, {uint8_t(b >> 8), uint8_t(b), uint8_t(a >> 8), uint8_t(a)});
  return z;
}

Decoded Read(const Bytes& file, uint32_t index = 0) {
  return Decoded([&](BlockHeap& heap, DecodeMessages& messages) {
    return tif::ReadTiff(file.data(), file.size(), index, heap, messages);
  });
}
Decoded ReadPage(const Page& page) { return Read(TiffBytes({page})); }
Decoded ReadFirst(const Bytes& file) { return Read(file); }

TEST(TifReader, SaysWhatIsWrongWithAFile) {
  std::vector<Answer> answers = {
      {"no directory", {'I', 'I', 42, 0, 'x', 'y', 'z', 0}, {{tif::kMsgCannotRead, E}}, false},
      {"directory past the end", {'I', 'I', 42, 0, 0xFF, 0xFF, 0, 0}, {{tif::kMsgCannotRead, E}}, false},
      {"JPEG in the corpus", FileBytes("pillow/child_ifd.tiff"), {{tif::kMsgJpegNotSupported, E}}, false},
      {"a real file", FileBytes("pillow/hopper.tif"), {}, true},
  };
  auto refused = [&answers](const char* what, Page p, uint16_t id) {
    answers.push_back({what, TiffBytes({p}), {{id, E}}, false});
  };
  Page jpeg = MakePage(1, 1, 8, 2, 3);
  jpeg.Set(Short(259, 7)).strips = {{0xFF, 0xD8, 0xFF, 0xD9}};
  refused("JPEG", jpeg, tif::kMsgJpegNotSupported);
  const std::pair<uint16_t, uint16_t> photometrics[] = {
      {4, tif::kMsgNoTransparencyMask}, {5, tif::kMsgNoCmyk}, {6, tif::kMsgNoYCbCr},
      {8, tif::kMsgNoCieLab},           {9, tif::kMsgInvalidColorFormat},
  };
  for (const auto& [photometric, id] : photometrics) {
    Page p = MakePage(1, 1, photometric == 4 ? 1 : 8, photometric, photometric == 4 ? 1 : 3);
    if (photometric == 5) p.Set(Short(277, 4)).Set(Shorts(258, {8, 8, 8, 8}));
    p.strips = {{0, 0, 0, 0}};
    refused("photometric", p, id);
  }
  Page bilevelMap = MakePage(8, 1, 1, 3);
  bilevelMap.Set(Shorts(320, std::vector<uint16_t>(6, 0xFFFF))).strips = {{0xFF}};
  refused("bilevel colour map", bilevelMap, tif::kMsgInvalidColorFormat);
  Page sixteen = MakePage(1, 1, 16, 1);
  sixteen.strips = {{0, 0}};
  refused("16 bits", sixteen, tif::kMsgInvalidColorFormat);
  Page rgba = MakePage(1, 1, 8, 2);
  rgba.Set(Short(277, 4)).Set(Shorts(258, {8, 8, 8, 8})).Set(Short(338, 2)).strips = {{0, 0, 0, 0}};
  refused("RGBA", rgba, tif::kMsgInvalidColorFormat);
  Page twoBit = MakePage(4, 1, 2, 1);
  twoBit.strips = {{0x1B}};
  refused("2 bits", twoBit, tif::kMsgInvalidColorFormat);
  Page tiled = MakePage(16, 16, 8, 1);
  tiled.Set(Long(322, 16)).Set(Long(323, 16)).strips = {Bytes(256, 7)};  // the one tile
  tiled.offsetsTag = 324, tiled.countsTag = 325;
  refused("tiles", tiled, tif::kMsgInvalidColorFormat);
  Page planes = MakePage(2, 1, 8, 2, 3);
  planes.Set(Short(284, 2)).strips = {{1, 2}, {3, 4}, {5, 6}};
  refused("separate planes", planes, tif::kMsgInvalidColorFormat);
  // Dimensions no block can hold, and none at all.
  Page huge = MakePage(100000, 100000, 8, 1);
  huge.strips = {{0}};
  refused("100000 squared", huge, tif::kMsgNoMemory);
  for (uint32_t width : {0xFFFFFFFFu, 0u}) {
    Page p = MakePage(width, 1, width ? 1 : 8, 1);
    p.strips = {{0}};
    const Decoded d = ReadPage(p);
    EXPECT_FALSE(d) << width;
    EXPECT_EQ(d.Messages().size(), 1u) << width;
  }
  ExpectAnswers(ReadFirst, answers);
}

TEST(TifReader, ThreePagesAreCountedAndEachIndexReadsItsPageTheLastBeyond) {
  std::vector<Page> pages;
  for (uint8_t i = 0; i < 3; ++i) {
    Page p = MakePage(2 + i, 1, 8, 1);
    p.strips = {Bytes(2 + i, uint8_t(10 * (i + 1)))};
    pages.push_back(p);
  }
  const Bytes file = TiffBytes(pages);
  uint32_t count = 0;
  EXPECT_TRUE(tif::CountImages(file.data(), file.size(), &count));
  EXPECT_EQ(count, 3u);
  for (uint32_t index : {0u, 1u, 2u, 5u}) {
    const uint32_t page = index < 3 ? index : 2;
    const Decoded dib = Read(file, index);
    ASSERT_TRUE(dib) << index;
    EXPECT_EQ(dib.Header().biWidth, static_cast<int32_t>(2 + page));
    EXPECT_EQ(dib.Row(0)[0], 10 * (page + 1));
    EXPECT_TRUE(dib.Messages().empty());
  }
}

TEST(TifReader, Group4FaxWithWhiteIsZeroIsOneBitWithWhiteFirst) {
  // One row of 8: four white, four black, coded in horizontal mode, then the end of block.
  Page p = MakePage(8, 1, 1, 0);
  p.Set(Short(259, 4)).strips = {{0x36, 0xC0, 0x04, 0x00, 0x40}};
  const Decoded dib = ReadPage(p);
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib.Header().biBitCount, 1);
  EXPECT_EQ(dib.Header().biClrUsed, 2u);
  EXPECT_EQ(dib.Quad(0), (std::vector<int>{255, 255, 255, 0}));
  EXPECT_EQ(dib.Quad(1), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(dib.Row(0)[0], 0x0F);
  EXPECT_TRUE(dib.Messages().empty());
}

TEST(TifReader, GreyRampsAscendForBlackIsZeroAndDescendForWhiteIsZero) {
  Page four = MakePage(3, 1, 4, 1);
  four.strips = {{0x0F, 0x70}};
  const Decoded grey4 = ReadPage(four);
  ASSERT_TRUE(grey4);
  EXPECT_EQ(grey4.Header().biBitCount, 4);
  EXPECT_EQ(grey4.Header().biClrUsed, 16u);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(grey4.Quad(i), (std::vector<int>{17 * i, 17 * i, 17 * i, 0}));
  EXPECT_EQ(grey4.RowBytes(0, 2), (Bytes{0x0F, 0x70}));

  Page eight = MakePage(2, 1, 8, 0);
  eight.strips = {{0, 200}};
  const Decoded grey8 = ReadPage(eight);
  ASSERT_TRUE(grey8);
  EXPECT_EQ(grey8.Header().biClrUsed, 256u);
  EXPECT_EQ(grey8.Quad(0), (std::vector<int>{255, 255, 255, 0}));
  EXPECT_EQ(grey8.Quad(200), (std::vector<int>{55, 55, 55, 0}));
  EXPECT_EQ(grey8.Row(0)[1], 200);

  Page one = MakePage(8, 1, 1, 1);
  one.strips = {{0xA5}};
  const Decoded bilevel = ReadPage(one);
  ASSERT_TRUE(bilevel);
  EXPECT_EQ(bilevel.Quad(0), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(bilevel.Quad(1), (std::vector<int>{255, 255, 255, 0}));
  EXPECT_EQ(bilevel.Row(0)[0], 0xA5);
  EXPECT_TRUE(bilevel.Messages().empty());
}

TEST(TifReader, ColourMapsTakeTheHighByteUnlessNoValueReaches256) {
  std::vector<uint16_t> map(3 * 16);
  for (int i = 0; i < 16; ++i) {
    map[i] = uint16_t(257 * (i * 10));       // red
    map[16 + i] = uint16_t(257 * (i + 1));   // green
    map[32 + i] = uint16_t(256 * (255 - i));  // blue
  }
  Page p = MakePage(2, 1, 4, 3);
  p.Set(Shorts(320, map)).strips = {{0x3F}};
  const Decoded wide = ReadPage(p);
  ASSERT_TRUE(wide);
  EXPECT_EQ(wide.Header().biBitCount, 4);
  EXPECT_EQ(wide.Quad(3), (std::vector<int>{30, 4, 252, 0}));
  EXPECT_EQ(wide.Quad(15), (std::vector<int>{150, 16, 240, 0}));
  EXPECT_EQ(wide.Row(0)[0], 0x3F);

  // An old map of 8-bit values.
  std::vector<uint16_t> old(3 * 256);
  for (int i = 0; i < 256; ++i) {
    old[i] = uint16_t(i);
    old[256 + i] = uint16_t(255 - i);
    old[512 + i] = 7;
  }
  Page q = MakePage(1, 1, 8, 3);
  q.Set(Shorts(320, old)).strips = {{9}};
  const Decoded narrow = ReadPage(q);
  ASSERT_TRUE(narrow);
  EXPECT_EQ(narrow.Header().biClrUsed, 256u);
  EXPECT_EQ(narrow.Quad(9), (std::vector<int>{9, 246, 7, 0}));
  EXPECT_TRUE(narrow.Messages().empty());
}

TEST(TifReader, StripsBecomeBottomUpRowsWithOrWithoutRowsPerStrip) {
  Page striped = MakePage(3, 5, 8, 1);
  striped.Set(Long(278, 2)).strips = {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}, {13, 14, 15}};
  const Decoded a = ReadPage(striped);
  ASSERT_TRUE(a);
  EXPECT_EQ(a.Header().biSizeImage, 4u * 5);
  for (int y = 0; y < 5; ++y) {
    const int fileRow = 4 - y;
    EXPECT_EQ(a.RowBytes(y, 4), (Bytes{uint8_t(3 * fileRow + 1), uint8_t(3 * fileRow + 2), uint8_t(3 * fileRow + 3), 0}));
  }

  // LZW-coded, so that libtiff keeps it as the one strip it is.
  Page whole = MakePage(2, 3, 8, 1);
  whole.Set(Short(259, 5)).strips = {LzwLiterals({1, 2, 3, 4, 5, 6})};
  const Decoded b = ReadPage(whole);
  ASSERT_TRUE(b);
  EXPECT_EQ(b.Row(0)[0], 5);
  EXPECT_EQ(b.Row(2)[1], 2);
  EXPECT_TRUE(b.Messages().empty());
}

// Rows as long as their stride are decoded in place and put bottom-up afterwards: every depth,
// strips of odd and even heights.
TEST(TifReader, RowsWithoutPaddingComeOutBottomUpAtEveryDepth) {
  Page rgb = MakePage(4, 3, 8, 2, 3);
  Bytes pixels;
  for (uint8_t v = 1; v <= 36; ++v) pixels.push_back(v);
  rgb.strips = {pixels};
  const Decoded colour = ReadPage(rgb);
  ASSERT_TRUE(colour);
  for (int y = 0; y < 3; ++y) {
    const uint8_t base = uint8_t(12 * (2 - y));
    Bytes want;
    for (uint8_t x = 0; x < 4; ++x) want.insert(want.end(), {uint8_t(base + 3 * x + 3), uint8_t(base + 3 * x + 2), uint8_t(base + 3 * x + 1)});
    EXPECT_EQ(colour.RowBytes(y, 12), want) << "row " << y;
  }

  Page rgbStrips = MakePage(4, 5, 8, 2, 3);
  Bytes first, second;
  for (int i = 0; i < 36; ++i) first.push_back(uint8_t(i));
  for (int i = 36; i < 60; ++i) second.push_back(uint8_t(i));
  rgbStrips.Set(Long(278, 3)).strips = {first, second};
  const Decoded colours = ReadPage(rgbStrips);
  ASSERT_TRUE(colours);
  EXPECT_EQ(colours.RowBytes(4, 3), (Bytes{2, 1, 0}));     // file row 0
  EXPECT_EQ(colours.RowBytes(3, 3), (Bytes{14, 13, 12}));  // file row 1, a strip's middle
  EXPECT_EQ(colours.RowBytes(0, 3), (Bytes{50, 49, 48}));  // file row 4

  Page bilevel = MakePage(32, 3, 1, 1);
  bilevel.Set(Long(278, 2)).strips = {{1, 2, 3, 4, 5, 6, 7, 8}, {9, 10, 11, 12}};
  const Decoded one = ReadPage(bilevel);
  ASSERT_TRUE(one);
  EXPECT_EQ(one.RowBytes(0, 4), (Bytes{9, 10, 11, 12}));
  EXPECT_EQ(one.RowBytes(2, 4), (Bytes{1, 2, 3, 4}));

  Page nibbles = MakePage(8, 2, 4, 1);
  nibbles.strips = {{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};
  const Decoded four = ReadPage(nibbles);
  ASSERT_TRUE(four);
  EXPECT_EQ(four.RowBytes(0, 4), (Bytes{0x89, 0xAB, 0xCD, 0xEF}));
}

// Pages of a megabyte and more are decoded by several threads, each strip by whichever is
// free: every row must still land in its place, and one strip that fails refuses the page.
TEST(TifReader, LargePagesSpreadOverThreadsPlaceEveryStripAndRefuseOneThatFails) {
  struct Case {
    const char* what;
    uint32_t width, length, rowsPerStrip;
    uint16_t samples;
    int shortStrip;  // a strip cut to half its rows' bytes, or -1
  };
  const Case cases[] = {
      {"grey, strips of 25 rows", 1024, 1100, 25, 1, -1},
      {"grey, a last strip of fewer rows", 1000, 1051, 10, 1, -1},
      {"colour, strips of 7 rows", 600, 601, 7, 3, -1},
      {"grey, strip 20 cut short", 1024, 1100, 25, 1, 20},
      {"colour, the last strip cut short", 600, 601, 7, 3, 85},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const uint32_t rowBytes = c.width * c.samples;
    auto value = [](uint32_t y, uint32_t i) { return uint8_t((y * 7 + i * 3 + (y >> 8)) & 0xFF); };
    Page page = MakePage(c.width, c.length, 8, c.samples == 3 ? 2 : 1, c.samples);
    page.Set(Long(278, c.rowsPerStrip));
    for (uint32_t top = 0, strip = 0; top < c.length; top += c.rowsPerStrip, ++strip) {
      Bytes data;
      for (uint32_t y = top; y < top + c.rowsPerStrip && y < c.length; ++y) {
        for (uint32_t i = 0; i < rowBytes; ++i) data.push_back(value(y, i));
      }
      if (int(strip) == c.shortStrip) data.resize(data.size() / 2);
      page.strips.push_back(data);
    }
    // As the first page, and as the second behind a small one (each reader finds its page).
    Page small = MakePage(2, 2, 8, 1);
    small.strips = {Bytes(4, 9)};
    const Bytes second = TiffBytes({small, page});
    for (const bool behind : {false, true}) {
      SCOPED_TRACE(behind ? "second page" : "first page");
      const Decoded d = behind ? Read(second, 1) : ReadPage(page);
      if (c.shortStrip >= 0) {
        EXPECT_FALSE(d);
        EXPECT_EQ(d.Messages(), (Said{{tif::kMsgDamagedData, E}}));
        continue;
      }
      ASSERT_TRUE(d);
      for (uint32_t y = 0; y < c.length; ++y) {
        const uint8_t* row = d.Row(int(c.length - 1 - y));
        bool same = true;
        for (uint32_t x = 0; x < c.width && same; ++x) {
          for (uint32_t s = 0; s < c.samples; ++s) {
            // Colour rows come out blue, green, red.
            const uint32_t from = x * c.samples + (c.samples == 3 ? 2 - s : s);
            same = same && row[x * c.samples + s] == value(y, from);
          }
        }
        ASSERT_TRUE(same) << "file row " << y;
      }
    }
  }
}

TEST(TifReader, PredictorCodedRowsAreSummedOnceOnly) {
  // Differences: (10,20,30) then (+5,+5,+5) is the pixel (15,25,35).
  Page rgb = MakePage(2, 1, 8, 2, 3);
  rgb.Set(Short(259, 5)).Set(Short(317, 2)).strips = {LzwLiterals({10, 20, 30, 5, 5, 5})};
  const Decoded colour = ReadPage(rgb);
  ASSERT_TRUE(colour);
  EXPECT_EQ(colour.Header().biBitCount, 24);
  EXPECT_EQ(colour.Header().biClrUsed, 0u);
  EXPECT_EQ(colour.RowBytes(0, 6), (Bytes{30, 20, 10, 35, 25, 15}));

  Page grey = MakePage(3, 1, 8, 1);
  grey.Set(Short(259, 5)).Set(Short(317, 2)).strips = {LzwLiterals({100, 1, 255})};
  const Decoded g = ReadPage(grey);
  ASSERT_TRUE(g);
  EXPECT_EQ(g.RowBytes(0, 3), (Bytes{100, 101, 100}));
  EXPECT_TRUE(g.Messages().empty());
}

TEST(TifReader, ResolutionFollowsTheUnitAndAbsentTagsTakeLibtiffDefaults) {
  struct Case {
    int unit;  // 0: no tag
    uint32_t num, den;
    int32_t expected;
  };
  for (Case c : {Case{2, 300, 1, 11811}, Case{3, 11811, 100, 11811}, Case{1, 0, 1, 2953}, Case{1, 72, 1, 2834},
                 Case{0, 0, 0, 0}, Case{0, 300, 1, 11811}}) {
    // No SamplesPerPixel field either: one sample is libtiff's default.
    Page p = MakePage(1, 1, 8, 1);
    p.fields.erase(277);
    if (c.unit) p.Set(Short(296, uint16_t(c.unit)));
    if (c.den) p.Set(Rationals(282, {{c.num, c.den}})).Set(Rationals(283, {{c.num, c.den}}));
    p.strips = {{1}};
    const Decoded dib = ReadPage(p);
    ASSERT_TRUE(dib) << c.unit << " " << c.num;
    EXPECT_EQ(dib.Header().biXPelsPerMeter, c.expected) << c.unit << " " << c.num;
    EXPECT_EQ(dib.Header().biYPelsPerMeter, c.expected) << c.unit << " " << c.num;
    EXPECT_TRUE(dib.Messages().empty());
  }
}

// Deflate (both codes) at each accepted depth, with and without the predictor: the rows as
// stored, bottom-up, whichever way they were coded.
TEST(TifReader, DeflateStripsDecodeWithAndWithoutThePredictor) {
  struct Layout {
    uint16_t photometric, samples;
  };
  constexpr uint32_t kWidth = 5, kLength = 3;
  for (uint16_t compression : {8, 32946}) {
    for (Layout l : {Layout{1, 1}, Layout{2, 3}, Layout{3, 1}}) {
      for (uint16_t predictor : {1, 2}) {
        SCOPED_TRACE(testing::Message() << compression << " photometric " << l.photometric << " predictor " << predictor);
        const uint32_t rowBytes = kWidth * l.samples;
        Bytes rows(rowBytes * kLength), coded;
        for (size_t i = 0; i < rows.size(); ++i) rows[i] = uint8_t(i * 37 + 11);
        coded = rows;
        if (predictor == 2) {  // each sample less the same sample of the pixel to its left
          for (uint32_t y = 0; y < kLength; ++y) {
            for (uint32_t i = rowBytes - 1; i >= l.samples; --i) {
              coded[y * rowBytes + i] = uint8_t(rows[y * rowBytes + i] - rows[y * rowBytes + i - l.samples]);
            }
          }
        }
        Page p = MakePage(kWidth, kLength, 8, l.photometric, l.samples);
        p.Set(Short(259, compression)).Set(Short(317, predictor)).strips = {ZlibStored(coded)};
        if (l.photometric == 3) p.Set(Shorts(320, std::vector<uint16_t>(3 * 256, 0x8080)));
        const Decoded dib = ReadPage(p);
        ASSERT_TRUE(dib);
        EXPECT_TRUE(dib.Messages().empty());
        for (uint32_t y = 0; y < kLength; ++y) {
          Bytes want(rows.begin() + (kLength - 1 - y) * rowBytes, rows.begin() + (kLength - y) * rowBytes);
          if (l.samples == 3) {
            for (uint32_t x = 0; x < kWidth; ++x) std::swap(want[3 * x], want[3 * x + 2]);
          }
          EXPECT_EQ(dib.RowBytes(y, rowBytes), want) << "row " << y;
        }
      }
    }
  }
}

// A compression libtiff has no codec for, and a strip it cannot decode, refuse the picture
// instead of showing zeros; the refusals of the layouts come first.
TEST(TifReader, CodecsLibtiffLacksAndStripsItCannotDecodeRefuseThePicture) {
  std::vector<Answer> answers;
  auto add = [&answers](const char* what, const Page& p, uint16_t id) {
    answers.push_back({what, TiffBytes({p}), {{id, E}}, false});
  };
  for (uint16_t compression : {6, 34925, 50000, 50001, 32909, 12345}) {
    Page p = MakePage(4, 2, 8, 1);
    p.Set(Short(259, compression)).strips = {Bytes(8, 1)};
    add("a codec not built in", p, tif::kMsgCompressionNotSupported);
  }
  Page cmyk = MakePage(1, 1, 8, 5, 4);
  cmyk.Set(Short(259, 34925)).Set(Shorts(258, {8, 8, 8, 8})).strips = {{0, 0, 0, 0}};
  add("CMYK in LZMA", cmyk, tif::kMsgNoCmyk);

  // Each way at width 4 (rows decoded in place) and 3 (through the strip buffer).
  for (uint8_t width : {4, 3}) {
    Bytes top(2 * width, 1), bottom(width, 2);
    Page cut = MakePage(width, 5, 8, 1);  // the middle strip's code ends after three bytes
    cut.Set(Short(259, 5)).Set(Long(278, 2)).strips = {LzwLiterals(top), LzwLiterals({21, 22, 23}), LzwLiterals(bottom)};
    add("LZW cut short", cut, tif::kMsgDamagedData);
    Page deflate = MakePage(width, 2, 8, 1);
    deflate.Set(Short(259, 8)).strips = {{0x78, 0x9C, 0xFF, 0xFF, 0xFF, 0xFF}};
    add("Deflate damaged", deflate, tif::kMsgDamagedData);
    Page missing = MakePage(width, 2, 8, 1);
    missing.Set(Short(259, 5)).Set(Long(273, 0x7FFFFF00)).strips = {LzwLiterals(Bytes(2 * width, 1))};
    add("a strip far beyond the end of the file", missing, tif::kMsgDamagedData);
    Page longer = MakePage(width, 2, 8, 1);
    longer.Set(Short(259, 5)).Set(Long(279, 50000)).strips = {LzwLiterals(Bytes(2 * width, 1))};
    add("a strip longer than the file", longer, tif::kMsgDamagedData);
  }
  ExpectAnswers(ReadFirst, answers);
  // The same reduced, into a box the pictures are larger than.
  ExpectAnswers([](const Bytes& file) {
    return Decoded([&](BlockHeap& heap, DecodeMessages& messages) {
      MemorySource source(file.data(), file.size());
      PictureSize full;
      const DecodeInput in{source, file.data(), file.size(), 0, 1, 1, &full};
      return tif::ReadTiffFile(in, heap, messages, nullptr);
    });
  }, answers);
}

TEST(TifReader, RealFilesFromTheCorpus) {
  struct Expect {
    const char* name;
    uint32_t images;
    int width, height, bits;
  };
  for (Expect e : {Expect{"pillow/hopper_lzw.tif", 1, 128, 128, 24}, Expect{"pillow/hopper_g4.tif", 1, 128, 128, 1},
                   Expect{"pillow/g4-multi.tiff", 3, 3307, 4677, 1},
                   Expect{"pillow/no_rows_per_strip.tif", 3, 950, 975, 8}}) {
    SCOPED_TRACE(e.name);
    const Bytes file = FileBytes(e.name);
    uint32_t count = 0;
    EXPECT_TRUE(tif::CountImages(file.data(), file.size(), &count));
    EXPECT_EQ(count, e.images);
    const Decoded dib = Read(file);
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib.Header().biWidth, e.width);
    EXPECT_EQ(dib.Header().biHeight, e.height);
    EXPECT_EQ(dib.Header().biBitCount, e.bits);
    EXPECT_TRUE(dib.Messages().empty());
  }
}

}  // namespace
}  // namespace lmx::test
