// The TIFF plug-in on files built byte by byte, and on a few real files of the corpus.
#include <map>

#include "tests/plugins/plugin_fixture.h"

namespace lmx::test {
namespace {

constexpr UINT kExclamation = MB_OK | MB_ICONEXCLAMATION;

enum : uint16_t { kShort = 3, kLong = 4, kRational = 5 };

// One directory: its tags (sorted when written) and its strips.
struct Page {
  struct Entry {
    uint16_t type;
    uint32_t count;
    std::vector<uint8_t> data;
  };
  std::map<uint16_t, Entry> tags;
  std::vector<std::vector<uint8_t>> strips;
  bool stripTags = true;

  Page& Short(uint16_t tag, std::initializer_list<uint16_t> values) {
    Entry e{kShort, static_cast<uint32_t>(values.size()), {}};
    for (uint16_t v : values) Append(e.data, {uint8_t(v), uint8_t(v >> 8)});
    tags[tag] = e;
    return *this;
  }
  Page& Long(uint16_t tag, std::initializer_list<uint32_t> values) {
    Entry e{kLong, static_cast<uint32_t>(values.size()), {}};
    for (uint32_t v : values) Append(e.data, {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
    tags[tag] = e;
    return *this;
  }
  Page& Rational(uint16_t tag, uint32_t num, uint32_t den) {
    Entry e{kRational, 1, {}};
    for (uint32_t v : {num, den}) Append(e.data, {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
    tags[tag] = e;
    return *this;
  }
  Page& Shorts(uint16_t tag, const std::vector<uint16_t>& values) {
    Entry e{kShort, static_cast<uint32_t>(values.size()), {}};
    for (uint16_t v : values) Append(e.data, {uint8_t(v), uint8_t(v >> 8)});
    tags[tag] = e;
    return *this;
  }
  void Remove(uint16_t tag) { tags.erase(tag); }
};

// Width, length, bits and photometric of a plain one-strip page.
Page MakePage(uint32_t width, uint32_t length, uint16_t bits, uint16_t photometric, uint16_t samples = 1) {
  Page p;
  p.Long(256, {width}).Long(257, {length}).Short(259, {1}).Short(262, {photometric});
  if (samples == 3) {
    p.Short(258, {bits, bits, bits});
  } else {
    p.Short(258, {bits});
  }
  p.Short(277, {samples});
  return p;
}

// A little-endian classic TIFF of the given pages, each IFD linked to the next.
std::vector<uint8_t> TiffBytes(std::vector<Page> pages) {
  std::vector<uint8_t> b = {'I', 'I', 42, 0, 0, 0, 0, 0};
  size_t linkAt = 4;
  for (Page& p : pages) {
    std::vector<uint32_t> offsets, counts;
    for (const auto& s : p.strips) {
      offsets.push_back(static_cast<uint32_t>(b.size()));
      counts.push_back(static_cast<uint32_t>(s.size()));
      b.insert(b.end(), s.begin(), s.end());
      if (b.size() & 1) b.push_back(0);
    }
    if (p.stripTags && !p.strips.empty()) {
      Page::Entry off{kLong, static_cast<uint32_t>(offsets.size()), {}}, cnt = off;
      for (size_t i = 0; i < offsets.size(); ++i) {
        for (int k = 0; k < 4; ++k) {
          off.data.push_back(uint8_t(offsets[i] >> (8 * k)));
          cnt.data.push_back(uint8_t(counts[i] >> (8 * k)));
        }
      }
      p.tags[273] = off;
      p.tags[279] = cnt;
    }
    // Values longer than 4 bytes go before the directory.
    std::map<uint16_t, uint32_t> external;
    for (const auto& [tag, e] : p.tags) {
      if (e.data.size() > 4) {
        external[tag] = static_cast<uint32_t>(b.size());
        b.insert(b.end(), e.data.begin(), e.data.end());
        if (b.size() & 1) b.push_back(0);
      }
    }
    const size_t ifd = b.size();
    Put32(b, linkAt, static_cast<uint32_t>(ifd));
    Put16(b, ifd, static_cast<uint16_t>(p.tags.size()));
    size_t at = ifd + 2;
    for (const auto& [tag, e] : p.tags) {
      Put16(b, at, tag);
      Put16(b, at + 2, e.type);
      Put32(b, at + 4, e.count);
      if (e.data.size() > 4) {
        Put32(b, at + 8, external[tag]);
      } else {
        Put32(b, at + 8, 0);
        std::copy(e.data.begin(), e.data.end(), b.begin() + at + 8);
      }
      at += 12;
    }
    linkAt = at;
    Put32(b, linkAt, 0);
  }
  return b;
}

// Codes of 9 bits, most significant bit first: a clear code, each byte as a literal, the end.
std::vector<uint8_t> LzwLiterals(const std::vector<uint8_t>& data) {
  std::vector<uint8_t> out;
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

// Overwrites the inline value of `tag` in the first directory.
void SetTagValue(std::vector<uint8_t>& b, uint16_t tag, uint32_t value) {
  const size_t ifd = b[4] | b[5] << 8 | b[6] << 16 | size_t{b[7]} << 24;
  const size_t n = b[ifd] | b[ifd + 1] << 8;
  for (size_t i = 0, at = ifd + 2; i < n; ++i, at += 12) {
    if ((b[at] | b[at + 1] << 8) == tag) Put32(b, at + 8, value);
  }
}

std::vector<int> Quad(const RgbQuad& q) { return {q.blue, q.green, q.red, q.reserved}; }

class TifPlugin : public testing::Test {
 protected:
  Plugin plugin{L"zlx_tif.dll"};
  MessageCapture capture;

  void* Load(const std::vector<uint8_t>& bytes, DWORD index = 0) {
    TempFile file(bytes, L".tif");
    return plugin.load(file.Path(), index);
  }
  // Every box shown, with the TIFF plug-in's caption and style.
  std::vector<std::wstring> Texts() {
    std::vector<std::wstring> got;
    for (const auto& m : capture.Messages()) {
      got.push_back(m.text);
      EXPECT_EQ(m.caption, L"Message...");
      EXPECT_EQ(m.style, kExclamation);
    }
    capture.Clear();
    return got;
  }
  void ExpectRefused(const std::vector<uint8_t>& bytes, const wchar_t* text) {
    EXPECT_EQ(Load(bytes), nullptr);
    EXPECT_EQ(Texts(), std::vector<std::wstring>{text});
  }
};

TEST_F(TifPlugin, ThreePagesAreCountedAndEachIndexLoadsItsPageTheLastBeyond) {
  std::vector<Page> pages;
  for (uint8_t i = 0; i < 3; ++i) {
    Page p = MakePage(2 + i, 1, 8, 1);
    p.strips = {std::vector<uint8_t>(2 + i, uint8_t(10 * (i + 1)))};
    pages.push_back(p);
  }
  TempFile file(TiffBytes(pages), L".tif");
  DWORD count = 0;
  EXPECT_TRUE(plugin.getInfo(file.Path(), &count));
  EXPECT_EQ(count, 3u);
  for (DWORD index : {0u, 1u, 2u, 5u}) {
    const DWORD page = index < 3 ? index : 2;
    Dib dib(plugin.load(file.Path(), index));
    ASSERT_TRUE(dib) << index;
    EXPECT_EQ(dib.Header().biWidth, static_cast<int32_t>(2 + page));
    EXPECT_EQ(dib.Row(0)[0], 10 * (page + 1));
  }
  EXPECT_TRUE(Texts().empty());
}

TEST_F(TifPlugin, FileInformationNeedsANameAndACountAndReportsAFileItCannotRead) {
  DWORD count = 77;
  EXPECT_FALSE(plugin.getInfo(L"", &count));
  EXPECT_FALSE(plugin.getInfo(nullptr, &count));
  Page p = MakePage(1, 1, 8, 1);
  p.strips = {{0}};
  TempFile file(TiffBytes({p}), L".tif");
  EXPECT_FALSE(plugin.getInfo(file.Path(), nullptr));
  EXPECT_TRUE(Texts().empty());
  EXPECT_EQ(count, 77u);

  TempFile garbage(std::vector<uint8_t>{'I', 'I', 42, 0, 0xFF, 0xFF, 0, 0}, L".tif");
  EXPECT_FALSE(plugin.getInfo(garbage.Path(), &count));
  EXPECT_EQ(Texts(), std::vector<std::wstring>{L"Can't read TIFF-File!"});
  EXPECT_EQ(plugin.load(garbage.Path(), 0), nullptr);
  EXPECT_EQ(Texts(), std::vector<std::wstring>{L"Can't read TIFF-File!"});
  EXPECT_EQ(plugin.load(L"Z:\\nonexistent\\picture.tif", 0), nullptr);
  EXPECT_EQ(Texts(), std::vector<std::wstring>{L"Can't read TIFF-File!"});
}

TEST_F(TifPlugin, Group4FaxWithWhiteIsZeroIsOneBitWithWhiteFirst) {
  // One row of 8: four white, four black, coded in horizontal mode, then the end of block.
  Page p = MakePage(8, 1, 1, 0);
  p.Short(259, {4});
  p.strips = {{0x36, 0xC0, 0x04, 0x00, 0x40}};
  Dib dib(Load(TiffBytes({p})));
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib.Header().biBitCount, 1);
  EXPECT_EQ(dib.Header().biClrUsed, 2u);
  EXPECT_EQ(Quad(dib.Colors()[0]), (std::vector<int>{255, 255, 255, 0}));
  EXPECT_EQ(Quad(dib.Colors()[1]), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(dib.Row(0)[0], 0x0F);
  EXPECT_TRUE(Texts().empty());
}

TEST_F(TifPlugin, GreyRampsAscendForBlackIsZeroAndDescendForWhiteIsZero) {
  Page four = MakePage(3, 1, 4, 1);
  four.strips = {{0x0F, 0x70}};
  Dib grey4(Load(TiffBytes({four})));
  ASSERT_TRUE(grey4);
  EXPECT_EQ(grey4.Header().biBitCount, 4);
  EXPECT_EQ(grey4.Header().biClrUsed, 16u);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(Quad(grey4.Colors()[i]), (std::vector<int>{17 * i, 17 * i, 17 * i, 0}));
  EXPECT_EQ(grey4.Row(0)[0], 0x0F);
  EXPECT_EQ(grey4.Row(0)[1], 0x70);

  Page eight = MakePage(2, 1, 8, 0);
  eight.strips = {{0, 200}};
  Dib grey8(Load(TiffBytes({eight})));
  ASSERT_TRUE(grey8);
  EXPECT_EQ(grey8.Header().biClrUsed, 256u);
  EXPECT_EQ(Quad(grey8.Colors()[0]), (std::vector<int>{255, 255, 255, 0}));
  EXPECT_EQ(Quad(grey8.Colors()[200]), (std::vector<int>{55, 55, 55, 0}));
  EXPECT_EQ(grey8.Row(0)[1], 200);

  Page one = MakePage(8, 1, 1, 1);
  one.strips = {{0xA5}};
  Dib bilevel(Load(TiffBytes({one})));
  ASSERT_TRUE(bilevel);
  EXPECT_EQ(Quad(bilevel.Colors()[0]), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(Quad(bilevel.Colors()[1]), (std::vector<int>{255, 255, 255, 0}));
  EXPECT_EQ(bilevel.Row(0)[0], 0xA5);
  EXPECT_TRUE(Texts().empty());
}

TEST_F(TifPlugin, ColourMapsTakeTheHighByteUnlessNoValueReaches256) {
  std::vector<uint16_t> map(3 * 16);
  for (int i = 0; i < 16; ++i) {
    map[i] = uint16_t(257 * (i * 10));       // red
    map[16 + i] = uint16_t(257 * (i + 1));   // green
    map[32 + i] = uint16_t(256 * (255 - i));  // blue
  }
  Page p = MakePage(2, 1, 4, 3);
  p.Shorts(320, map);
  p.strips = {{0x3F}};
  Dib wide(Load(TiffBytes({p})));
  ASSERT_TRUE(wide);
  EXPECT_EQ(wide.Header().biBitCount, 4);
  EXPECT_EQ(Quad(wide.Colors()[3]), (std::vector<int>{252, 4, 30, 0}));
  EXPECT_EQ(Quad(wide.Colors()[15]), (std::vector<int>{240, 16, 150, 0}));
  EXPECT_EQ(wide.Row(0)[0], 0x3F);

  // An old map of 8-bit values.
  std::vector<uint16_t> old(3 * 256);
  for (int i = 0; i < 256; ++i) {
    old[i] = uint16_t(i);
    old[256 + i] = uint16_t(255 - i);
    old[512 + i] = 7;
  }
  Page q = MakePage(1, 1, 8, 3);
  q.Shorts(320, old);
  q.strips = {{9}};
  Dib narrow(Load(TiffBytes({q})));
  ASSERT_TRUE(narrow);
  EXPECT_EQ(narrow.Header().biClrUsed, 256u);
  EXPECT_EQ(Quad(narrow.Colors()[9]), (std::vector<int>{7, 246, 9, 0}));
  EXPECT_TRUE(Texts().empty());

  Page bilevel = MakePage(8, 1, 1, 3);
  bilevel.Shorts(320, std::vector<uint16_t>(6, 0xFFFF));
  bilevel.strips = {{0xFF}};
  ExpectRefused(TiffBytes({bilevel}), L"Invalid color format in TIFF-File!");
}

TEST_F(TifPlugin, StripsBecomeBottomUpRowsWithOrWithoutRowsPerStrip) {
  Page striped = MakePage(3, 5, 8, 1);
  striped.Long(278, {2});
  striped.strips = {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}, {13, 14, 15}};
  Dib a(Load(TiffBytes({striped})));
  ASSERT_TRUE(a);
  EXPECT_EQ(a.Header().biSizeImage, 4u * 5);
  for (int y = 0; y < 5; ++y) {
    const int fileRow = 4 - y;
    EXPECT_EQ((std::vector<uint8_t>(a.Row(y), a.Row(y) + 4)),
              (std::vector<uint8_t>{uint8_t(3 * fileRow + 1), uint8_t(3 * fileRow + 2), uint8_t(3 * fileRow + 3), 0}));
  }

  // LZW-coded, so that libtiff keeps it as the one strip it is.
  Page whole = MakePage(2, 3, 8, 1);
  whole.Short(259, {5});
  whole.strips = {LzwLiterals({1, 2, 3, 4, 5, 6})};
  Dib b(Load(TiffBytes({whole})));
  ASSERT_TRUE(b);
  EXPECT_EQ(b.Row(0)[0], 5);
  EXPECT_EQ(b.Row(2)[1], 2);
  EXPECT_TRUE(Texts().empty());
}


// Rows as long as their stride are decoded in place and put bottom-up afterwards: every depth,
// strips of odd and even heights, and a strip that ends early.
TEST_F(TifPlugin, RowsWithoutPaddingComeOutBottomUpAtEveryDepth) {
  auto rows = [](const Dib& d, int y, size_t n) { return std::vector<uint8_t>(d.Row(y), d.Row(y) + n); };

  Page rgb = MakePage(4, 3, 8, 2, 3);
  std::vector<uint8_t> pixels;
  for (uint8_t v = 1; v <= 36; ++v) pixels.push_back(v);
  rgb.strips = {pixels};
  Dib colour(Load(TiffBytes({rgb})));
  ASSERT_TRUE(colour);
  for (int y = 0; y < 3; ++y) {
    const uint8_t base = uint8_t(12 * (2 - y));
    std::vector<uint8_t> want;
    for (uint8_t x = 0; x < 4; ++x) want.insert(want.end(), {uint8_t(base + 3 * x + 3), uint8_t(base + 3 * x + 2), uint8_t(base + 3 * x + 1)});
    EXPECT_EQ(rows(colour, y, 12), want) << "row " << y;
  }

  Page rgbStrips = MakePage(4, 5, 8, 2, 3);
  rgbStrips.Long(278, {3});
  std::vector<uint8_t> first, second;
  for (int i = 0; i < 36; ++i) first.push_back(uint8_t(i));
  for (int i = 36; i < 60; ++i) second.push_back(uint8_t(i));
  rgbStrips.strips = {first, second};
  Dib colours(Load(TiffBytes({rgbStrips})));
  ASSERT_TRUE(colours);
  EXPECT_EQ(rows(colours, 4, 3), (std::vector<uint8_t>{2, 1, 0}));     // file row 0
  EXPECT_EQ(rows(colours, 3, 3), (std::vector<uint8_t>{14, 13, 12}));  // file row 1, a strip's middle
  EXPECT_EQ(rows(colours, 0, 3), (std::vector<uint8_t>{50, 49, 48}));  // file row 4

  Page bilevel = MakePage(32, 3, 1, 1);
  bilevel.Long(278, {2});
  bilevel.strips = {{1, 2, 3, 4, 5, 6, 7, 8}, {9, 10, 11, 12}};
  Dib one(Load(TiffBytes({bilevel})));
  ASSERT_TRUE(one);
  EXPECT_EQ(rows(one, 0, 4), (std::vector<uint8_t>{9, 10, 11, 12}));
  EXPECT_EQ(rows(one, 2, 4), (std::vector<uint8_t>{1, 2, 3, 4}));

  Page nibbles = MakePage(8, 2, 4, 1);
  nibbles.strips = {{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};
  Dib four(Load(TiffBytes({nibbles})));
  ASSERT_TRUE(four);
  EXPECT_EQ(rows(four, 0, 4), (std::vector<uint8_t>{0x89, 0xAB, 0xCD, 0xEF}));

  // The middle strip's code ends after three of its bytes: what was decoded shows, the rest of
  // that strip is zero (not the strip before it), and the strips around it are whole; with
  // rows in place and, at width 3, through the strip buffer.
  for (uint8_t width : {4, 3}) {
    Page cut = MakePage(width, 5, 8, 1);
    cut.Short(259, {5}).Long(278, {2});
    std::vector<uint8_t> top(2 * width), bottom(width);
    for (size_t i = 0; i < top.size(); ++i) top[i] = uint8_t(1 + i);
    for (size_t i = 0; i < bottom.size(); ++i) bottom[i] = uint8_t(41 + i);
    cut.strips = {LzwLiterals(top), LzwLiterals({21, 22, 23}), LzwLiterals(bottom)};
    Dib grey(Load(TiffBytes({cut})));
    ASSERT_TRUE(grey);
    EXPECT_EQ(rows(grey, 4, width), std::vector<uint8_t>(top.begin(), top.begin() + width));
    EXPECT_EQ(rows(grey, 3, width), std::vector<uint8_t>(top.begin() + width, top.end()));
    EXPECT_EQ(rows(grey, 2, 3), (std::vector<uint8_t>{21, 22, 23}));
    EXPECT_EQ(rows(grey, 1, width), std::vector<uint8_t>(width, 0)) << "width " << int(width);
    EXPECT_EQ(rows(grey, 0, width), bottom);
    if (width == 4) EXPECT_EQ(grey.Row(2)[3], 0);
  }
  EXPECT_TRUE(Texts().empty());
}

TEST_F(TifPlugin, PredictorCodedRowsAreSummedOnceOnly) {
  // Differences: (10,20,30) then (+5,+5,+5) is the pixel (15,25,35).
  Page rgb = MakePage(2, 1, 8, 2, 3);
  rgb.Short(259, {5}).Short(317, {2});
  rgb.strips = {LzwLiterals({10, 20, 30, 5, 5, 5})};
  Dib colour(Load(TiffBytes({rgb})));
  ASSERT_TRUE(colour);
  EXPECT_EQ(colour.Header().biBitCount, 24);
  EXPECT_EQ(colour.Header().biClrUsed, 0u);
  EXPECT_EQ((std::vector<uint8_t>(colour.Row(0), colour.Row(0) + 6)),
            (std::vector<uint8_t>{30, 20, 10, 35, 25, 15}));

  Page grey = MakePage(3, 1, 8, 1);
  grey.Short(259, {5}).Short(317, {2});
  grey.strips = {LzwLiterals({100, 1, 255})};
  Dib g(Load(TiffBytes({grey})));
  ASSERT_TRUE(g);
  EXPECT_EQ((std::vector<uint8_t>(g.Row(0), g.Row(0) + 3)), (std::vector<uint8_t>{100, 101, 100}));
  EXPECT_TRUE(Texts().empty());
}

TEST_F(TifPlugin, ResolutionFollowsTheUnitAndAbsentTagsTakeLibtiffDefaults) {
  struct Case {
    int unit;  // 0: no tag
    uint32_t num, den;
    int32_t expected;
  };
  for (Case c : {Case{2, 300, 1, 11811}, Case{3, 11811, 100, 11811}, Case{1, 0, 1, 2953}, Case{1, 72, 1, 2834},
                 Case{0, 0, 0, 0}, Case{0, 300, 1, 11811}}) {
    // No SamplesPerPixel tag either: one sample is libtiff's default.
    Page p = MakePage(1, 1, 8, 1);
    p.Remove(277);
    if (c.unit) p.Short(296, {uint16_t(c.unit)});
    if (c.den) p.Rational(282, c.num, c.den).Rational(283, c.num, c.den);
    p.strips = {{1}};
    Dib dib(Load(TiffBytes({p})));
    ASSERT_TRUE(dib) << c.unit << " " << c.num;
    EXPECT_EQ(dib.Header().biXPelsPerMeter, c.expected) << c.unit << " " << c.num;
    EXPECT_EQ(dib.Header().biYPelsPerMeter, c.expected) << c.unit << " " << c.num;
  }
  EXPECT_TRUE(Texts().empty());
}

TEST_F(TifPlugin, LayoutsOutsideTheTableAreRefusedWithTheirMessages) {
  Page jpeg = MakePage(1, 1, 8, 2, 3);
  jpeg.Short(259, {7});
  jpeg.strips = {{0xFF, 0xD8, 0xFF, 0xD9}};
  ExpectRefused(TiffBytes({jpeg}), L"JPEG-Format wird nicht unterst\u00FCtzt!");

  const std::pair<uint16_t, const wchar_t*> photometrics[] = {
      {4, L"No Transpartmasks-Color format supported!"},
      {5, L"No CMYK-Color format supported!"},
      {6, L"No YCbCr-Color format supported!"},
      {8, L"No CIE L*a*b*-Color format supported!"},
      {9, L"Invalid color format in TIFF-File!"},
  };
  for (const auto& [photometric, text] : photometrics) {
    Page p = MakePage(1, 1, photometric == 4 ? 1 : 8, photometric, photometric == 4 ? 1 : 3);
    if (photometric == 5) p.Short(277, {4}).Short(258, {8, 8, 8, 8});
    p.strips = {{0, 0, 0, 0}};
    ExpectRefused(TiffBytes({p}), text);
  }

  Page sixteen = MakePage(1, 1, 16, 1);
  sixteen.strips = {{0, 0}};
  ExpectRefused(TiffBytes({sixteen}), L"Invalid color format in TIFF-File!");
  Page rgba = MakePage(1, 1, 8, 2);
  rgba.Short(277, {4}).Short(258, {8, 8, 8, 8}).Short(338, {2});
  rgba.strips = {{0, 0, 0, 0}};
  ExpectRefused(TiffBytes({rgba}), L"Invalid color format in TIFF-File!");
  Page twoBit = MakePage(4, 1, 2, 1);
  twoBit.strips = {{0x1B}};
  ExpectRefused(TiffBytes({twoBit}), L"Invalid color format in TIFF-File!");
}

TEST_F(TifPlugin, TilesAndSeparateColourPlanesAreRefused) {
  Page tiled = MakePage(16, 16, 8, 1);
  tiled.stripTags = false;
  tiled.Long(322, {16}).Long(323, {16});
  tiled.strips = {std::vector<uint8_t>(256, 7)};  // the one tile, at offset 8
  tiled.Long(324, {8}).Long(325, {256});
  ExpectRefused(TiffBytes({tiled}), L"Invalid color format in TIFF-File!");

  Page planes = MakePage(2, 1, 8, 2, 3);
  planes.Short(284, {2});
  planes.strips = {{1, 2}, {3, 4}, {5, 6}};
  ExpectRefused(TiffBytes({planes}), L"Invalid color format in TIFF-File!");
}

TEST_F(TifPlugin, AFileThatLiesGetsAMessageOrZerosNeverMore) {
  // A strip far beyond the end of the file: its rows stay zero, without a message.
  Page missing = MakePage(4, 2, 8, 1);
  missing.Short(259, {5});
  missing.strips = {LzwLiterals({1, 2, 3, 4, 5, 6, 7, 8})};
  std::vector<uint8_t> bytes = TiffBytes({missing});
  SetTagValue(bytes, 273, 0x7FFFFF00);
  Dib zeros(Load(bytes));
  ASSERT_TRUE(zeros);
  EXPECT_EQ(zeros.Row(0)[0], 0);
  EXPECT_EQ(zeros.Row(1)[3], 0);
  EXPECT_TRUE(Texts().empty());

  // A strip that claims more bytes than the file holds.
  Page longer = MakePage(4, 2, 8, 1);
  longer.Short(259, {5});
  longer.strips = {LzwLiterals({1, 2, 3, 4, 5, 6, 7, 8})};
  bytes = TiffBytes({longer});
  SetTagValue(bytes, 279, 50000);
  Dib partial(Load(bytes));
  ASSERT_TRUE(partial);
  EXPECT_TRUE(Texts().empty());

  // Dimensions no block can hold, and none at all.
  Page huge = MakePage(100000, 100000, 8, 1);
  huge.strips = {{0}};
  ExpectRefused(TiffBytes({huge}), L"There is not enough memory!");
  Page wide = MakePage(0xFFFFFFFF, 1, 1, 1);
  wide.strips = {{0}};
  EXPECT_EQ(Load(TiffBytes({wide})), nullptr);
  EXPECT_EQ(Texts().size(), 1u);
  Page empty = MakePage(0, 1, 8, 1);
  empty.strips = {{0}};
  EXPECT_EQ(Load(TiffBytes({empty})), nullptr);
  EXPECT_EQ(Texts().size(), 1u);
}

TEST_F(TifPlugin, RealFilesFromTheCorpus) {
  struct Expect {
    const wchar_t* name;
    DWORD images;
    int width, height, bits;
  };
  for (Expect e : {Expect{L"pillow\\hopper_lzw.tif", 1, 128, 128, 24}, Expect{L"pillow\\hopper_g4.tif", 1, 128, 128, 1},
                   Expect{L"pillow\\g4-multi.tiff", 3, 3307, 4677, 1},
                   Expect{L"pillow\\no_rows_per_strip.tif", 3, 950, 975, 8}}) {
    const std::wstring path = CorpusDir() + e.name;
    DWORD count = 0;
    EXPECT_TRUE(plugin.getInfo(path.c_str(), &count)) << path;
    EXPECT_EQ(count, e.images) << path;
    Dib dib(plugin.load(path.c_str(), 0));
    ASSERT_TRUE(dib) << path;
    EXPECT_EQ(dib.Header().biWidth, e.width);
    EXPECT_EQ(dib.Header().biHeight, e.height);
    EXPECT_EQ(dib.Header().biBitCount, e.bits);
  }
  EXPECT_TRUE(Texts().empty());
}

}  // namespace
}  // namespace lmx::test
