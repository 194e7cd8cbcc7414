// The GIF plug-in on files built byte by byte, with a small LZW encoder of its own.
#include <map>

#include "tests/plugins/plugin_fixture.h"

namespace lmx::test {
namespace {

// Packs codes least significant bit first, as GIF image data holds them.
class CodeWriter {
 public:
  void Put(uint32_t code, uint32_t size) {
    bits_ |= uint64_t{code} << held_;
    held_ += size;
    while (held_ >= 8) {
      bytes_.push_back(static_cast<uint8_t>(bits_));
      bits_ >>= 8;
      held_ -= 8;
    }
  }
  std::vector<uint8_t> Finish() {
    if (held_) bytes_.push_back(static_cast<uint8_t>(bits_));
    held_ = 0;
    bits_ = 0;
    return bytes_;
  }

 private:
  std::vector<uint8_t> bytes_;
  uint64_t bits_ = 0;
  uint32_t held_ = 0;
};

// Tracks the code size a decoder reads with: it grows when the decoder's next free code
// reaches the next power of two.
struct DecoderSize {
  uint32_t clear, next, size;
  bool first = true;
  explicit DecoderSize(uint32_t minSize) : clear(1u << minSize), next(clear + 2), size(minSize + 1) {}
  void Reset() {
    next = clear + 2;
    size = 0;
    while ((1u << size) <= clear) ++size;
    first = true;
  }
  // After the decoder has read one data code.
  void Read() {
    if (first) {
      first = false;
      return;
    }
    if (next < 4096) {
      ++next;
      if (next == (1u << size) && next < 4096) ++size;
    }
  }
};

// Plain LZW with a clear code at the start and whenever the table fills, and an end code.
std::vector<uint8_t> LzwEncode(const std::vector<uint8_t>& pixels, uint32_t minSize) {
  CodeWriter out;
  DecoderSize dec(minSize);
  const uint32_t clear = dec.clear, end = clear + 1;
  std::map<std::pair<uint32_t, uint8_t>, uint32_t> table;
  uint32_t next = clear + 2;
  out.Put(clear, dec.size);
  if (pixels.empty()) {
    out.Put(end, dec.size);
    return out.Finish();
  }
  uint32_t current = pixels[0];
  for (size_t i = 1; i < pixels.size(); ++i) {
    auto found = table.find({current, pixels[i]});
    if (found != table.end()) {
      current = found->second;
      continue;
    }
    out.Put(current, dec.size);
    dec.Read();
    if (next < 4096) {
      table[{current, pixels[i]}] = next++;
    } else {
      out.Put(clear, dec.size);
      dec.Reset();
      table.clear();
      next = clear + 2;
    }
    current = pixels[i];
  }
  out.Put(current, dec.size);
  dec.Read();
  out.Put(end, dec.size);
  return out.Finish();
}

std::vector<uint8_t> SubBlocks(const std::vector<uint8_t>& data, size_t chunk = 255) {
  std::vector<uint8_t> b;
  for (size_t at = 0; at < data.size(); at += chunk) {
    const size_t n = std::min(chunk, data.size() - at);
    b.push_back(static_cast<uint8_t>(n));
    b.insert(b.end(), data.begin() + at, data.begin() + at + n);
  }
  b.push_back(0);
  return b;
}

// n RGB entries: entry i is (i, 2i, 3i) plus `tint` in red.
std::vector<uint8_t> Table(int n, uint8_t tint = 0) {
  std::vector<uint8_t> t;
  for (int i = 0; i < n; ++i) Append(t, {uint8_t(i + tint), uint8_t(2 * i), uint8_t(3 * i)});
  return t;
}

struct GifFile {
  std::vector<uint8_t> b;

  // Header and logical screen; `sizeField` also sets the global table's size when there is one.
  GifFile(uint16_t width, uint16_t height, uint8_t sizeField, bool globalTable, const char* version = "89a") {
    Append(b, {'G', 'I', 'F', uint8_t(version[0]), uint8_t(version[1]), uint8_t(version[2])});
    b.resize(13);
    Put16(b, 6, width);
    Put16(b, 8, height);
    b[10] = static_cast<uint8_t>((globalTable ? 0x80 : 0) | sizeField);
    b[11] = 1;  // background colour, ignored
    if (globalTable) {
      const std::vector<uint8_t> t = Table(2 << sizeField);
      b.insert(b.end(), t.begin(), t.end());
    }
  }
  GifFile& Image(uint16_t left, uint16_t top, uint16_t width, uint16_t height, const std::vector<uint8_t>& pixels,
                 uint8_t flags = 0, const std::vector<uint8_t>& localTable = {}, uint8_t minSize = 8) {
    return ImageData(left, top, width, height, SubBlocks(LzwEncode(pixels, minSize)), flags, localTable, minSize);
  }
  GifFile& ImageData(uint16_t left, uint16_t top, uint16_t width, uint16_t height, const std::vector<uint8_t>& data,
                     uint8_t flags = 0, const std::vector<uint8_t>& localTable = {}, uint8_t minSize = 8) {
    const size_t at = b.size();
    b.push_back(0x2C);
    Put16(b, at + 1, left);
    Put16(b, at + 3, top);
    Put16(b, at + 5, width);
    Put16(b, at + 7, height);
    b.push_back(flags);
    b.insert(b.end(), localTable.begin(), localTable.end());
    b.push_back(minSize);
    b.insert(b.end(), data.begin(), data.end());
    return *this;
  }
  GifFile& Raw(std::initializer_list<uint8_t> bytes) {
    Append(b, bytes);
    return *this;
  }
  std::vector<uint8_t> End() {
    b.push_back(0x3B);
    return b;
  }
};

std::vector<uint8_t> Ramp(size_t n, uint8_t start = 0) {
  std::vector<uint8_t> p(n);
  for (size_t i = 0; i < n; ++i) p[i] = static_cast<uint8_t>(start + i);
  return p;
}
std::vector<uint8_t> RowBytes(const Dib& dib, int y, int n) { return {dib.Row(y), dib.Row(y) + n}; }
std::vector<int> Quad(const RgbQuad& q) { return {q.red, q.green, q.blue, q.reserved}; }

class GifPlugin : public testing::Test {
 protected:
  Plugin plugin{L"zlx_gif.dll"};
  MessageCapture capture;

  void* Load(const std::vector<uint8_t>& bytes, DWORD index = 0) {
    TempFile file(bytes, L".gif");
    return plugin.load(file.Path(), index);
  }
  void ExpectTexts(std::initializer_list<const wchar_t*> texts) {
    ExpectPluginMessages(capture, L"Error...", texts);
  }
};

TEST_F(GifPlugin, EightBitImageFillsTheCanvasBottomUp) {
  GifFile f(3, 2, 7, true);
  Dib dib(Load(f.Image(0, 0, 3, 2, {1, 2, 3, 4, 5, 6}).End(), 3));
  ASSERT_TRUE(dib);
  const DibHeader h = dib.Header();
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biWidth, 3);
  EXPECT_EQ(h.biHeight, 2);
  EXPECT_EQ(h.biPlanes, 1);
  EXPECT_EQ(h.biBitCount, 8);
  EXPECT_EQ(h.biCompression, 0u);
  EXPECT_EQ(h.biSizeImage, 8u);
  EXPECT_EQ(h.biXPelsPerMeter, 2953);
  EXPECT_EQ(h.biClrUsed, 256u);
  EXPECT_EQ(h.biClrImportant, 256u);
  EXPECT_EQ(Quad(dib.Colors()[5]), (std::vector<int>{5, 10, 15, 0}));
  EXPECT_EQ(RowBytes(dib, 1, 3), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(RowBytes(dib, 0, 3), (std::vector<uint8_t>{4, 5, 6}));
  ExpectTexts({});
}

TEST_F(GifPlugin, TableSizeSetsTheCanvasDepth) {
  GifFile sixteen(4, 1, 3, true);
  Dib four(Load(sixteen.Image(0, 0, 4, 1, {1, 2, 15, 0}, 0, {}, 4).End()));
  ASSERT_TRUE(four);
  EXPECT_EQ(four.Header().biBitCount, 4);
  EXPECT_EQ(four.Header().biClrUsed, 16u);
  EXPECT_EQ(four.Header().biClrImportant, 16u);
  EXPECT_EQ(RowBytes(four, 0, 2), (std::vector<uint8_t>{0x12, 0xF0}));

  GifFile eight(3, 1, 2, true);
  Dib fewer(Load(eight.Image(0, 0, 3, 1, {7, 1, 2}, 0, {}, 3).End()));
  ASSERT_TRUE(fewer);
  EXPECT_EQ(fewer.Header().biBitCount, 4);
  EXPECT_EQ(fewer.Header().biClrUsed, 16u);
  EXPECT_EQ(fewer.Header().biClrImportant, 8u);
  EXPECT_EQ(Quad(fewer.Colors()[7]), (std::vector<int>{7, 14, 21, 0}));
  EXPECT_EQ(Quad(fewer.Colors()[8]), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(RowBytes(fewer, 0, 2), (std::vector<uint8_t>{0x71, 0x20}));

  // Two colours: one bit per pixel, eight to a byte, the first in the top bit.
  GifFile two(10, 1, 0, true);
  Dib mono(Load(two.Image(0, 0, 10, 1, {1, 0, 1, 1, 0, 0, 0, 1, 1, 1}, 0, {}, 2).End()));
  ASSERT_TRUE(mono);
  EXPECT_EQ(mono.Header().biBitCount, 1);
  EXPECT_EQ(mono.Header().biClrUsed, 2u);
  EXPECT_EQ(RowBytes(mono, 0, 2), (std::vector<uint8_t>{0xB1, 0xC0}));
  ExpectTexts({});
}

TEST_F(GifPlugin, FirstFrameOnlyAtItsPlaceWithIndexZeroAround) {
  GifFile f(20, 10, 7, true);
  f.Raw({0x21, 0xF9, 4, 0x01, 0, 0, 7, 0});  // graphic control: transparent index 7
  f.Image(10, 5, 2, 2, {7, 8, 9, 7});
  f.Raw({0x21, 0xF9, 4, 0x00, 0, 0, 0, 0});
  f.Image(0, 0, 20, 10, std::vector<uint8_t>(200, 0x44));
  Dib dib(Load(f.End()));
  ASSERT_TRUE(dib);
  // Picture rows 5 and 6 are rows 4 and 3 from the bottom.
  EXPECT_EQ(RowBytes(dib, 4, 13), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 8, 0}));
  EXPECT_EQ(RowBytes(dib, 3, 13), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 7, 0}));
  for (int y : {0, 1, 2, 5, 9}) EXPECT_EQ(RowBytes(dib, y, 20), std::vector<uint8_t>(20, 0)) << y;
  ExpectTexts({});
}

TEST_F(GifPlugin, ImagesAreClippedToTheScreen) {
  GifFile wide(4, 2, 7, true);
  Dib cut(Load(wide.Image(2, 1, 4, 2, Ramp(8, 1)).End()));
  ASSERT_TRUE(cut);
  EXPECT_EQ(RowBytes(cut, 0, 4), (std::vector<uint8_t>{0, 0, 1, 2}));
  EXPECT_EQ(RowBytes(cut, 1, 4), (std::vector<uint8_t>{0, 0, 0, 0}));

  GifFile below(4, 2, 7, true);
  Dib nothing(Load(below.Image(0, 2, 2, 2, Ramp(4, 1)).End()));
  ASSERT_TRUE(nothing);
  EXPECT_EQ(RowBytes(nothing, 0, 4), std::vector<uint8_t>(4, 0));
  EXPECT_EQ(RowBytes(nothing, 1, 4), std::vector<uint8_t>(4, 0));
  ExpectTexts({});
}

TEST_F(GifPlugin, LeftEdgeMovesToAByteBoundary) {
  GifFile nibbles(8, 1, 3, true);
  Dib four(Load(nibbles.Image(3, 0, 2, 1, {0xA, 0xB}, 0, {}, 4).End()));
  ASSERT_TRUE(four);
  EXPECT_EQ(RowBytes(four, 0, 4), (std::vector<uint8_t>{0x00, 0xAB, 0x00, 0x00})) << "drawn from column 2";

  GifFile bits(24, 1, 0, true);
  Dib mono(Load(bits.Image(13, 0, 3, 1, {1, 1, 1}, 0, {}, 2).End()));
  ASSERT_TRUE(mono);
  EXPECT_EQ(RowBytes(mono, 0, 3), (std::vector<uint8_t>{0x00, 0xE0, 0x00})) << "drawn from column 8";
}

TEST_F(GifPlugin, InterlacedRowsComeBackInPictureOrder) {
  // Decode order of a 10-row image: rows 0, 8, 4, 2, 6, 1, 3, 5, 7, 9; each row holds its number.
  std::vector<uint8_t> stream;
  for (int row : {0, 8, 4, 2, 6, 1, 3, 5, 7, 9}) Append(stream, {uint8_t(row), uint8_t(row)});
  GifFile f(2, 10, 7, true);
  Dib dib(Load(f.Image(0, 0, 2, 10, stream, 0x40).End()));
  ASSERT_TRUE(dib);
  for (int row = 0; row < 10; ++row) {
    EXPECT_EQ(RowBytes(dib, 9 - row, 2), (std::vector<uint8_t>{uint8_t(row), uint8_t(row)})) << row;
  }
  // Cut at the screen's bottom, the visible rows still find theirs.
  GifFile shorter(2, 6, 7, true);
  Dib part(Load(shorter.Image(0, 1, 2, 10, stream, 0x40).End()));
  ASSERT_TRUE(part);
  for (int row = 0; row < 5; ++row) EXPECT_EQ(part.Row(4 - row)[0], row) << row;
  ExpectTexts({});
}

TEST_F(GifPlugin, LocalTableReplacesTheGlobalOne) {
  GifFile f(2, 1, 7, true);
  Dib dib(Load(f.Image(0, 0, 2, 1, {0, 1}, 0x80 | 1, Table(4, 100)).End()));
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib.Header().biClrImportant, 4u);
  EXPECT_EQ(Quad(dib.Colors()[1]), (std::vector<int>{101, 2, 3, 0}));
  EXPECT_EQ(Quad(dib.Colors()[4]), (std::vector<int>{4, 8, 12, 0})) << "the global entries above stay";

  GifFile none(2, 1, 7, false);
  Dib local(Load(none.Image(0, 0, 2, 1, {0, 1}, 0x80 | 1, Table(4, 100)).End()));
  ASSERT_TRUE(local);
  EXPECT_EQ(local.Header().biBitCount, 8);
  EXPECT_EQ(local.Header().biClrImportant, 4u);
  EXPECT_EQ(RowBytes(local, 0, 2), (std::vector<uint8_t>{0, 1}));
  ExpectTexts({});
}

TEST_F(GifPlugin, FullTableGoesOnWithTwelveBitCodes) {
  CodeWriter w;
  DecoderSize dec(8);
  w.Put(256, dec.size);
  std::vector<uint8_t> expected;
  // 3839 literals define entries 258 to 4095: entry k holds the literals k - 258 and k - 257.
  for (uint32_t i = 0; i < 3839; ++i) {
    w.Put(i % 251, dec.size);
    dec.Read();
    expected.push_back(static_cast<uint8_t>(i % 251));
  }
  ASSERT_EQ(dec.next, 4096u);
  ASSERT_EQ(dec.size, 12u);
  w.Put(5, 12);  // would define entry 4096
  w.Put(4095, 12);
  w.Put(257, 12);
  Append(expected, {5, uint8_t(3837 % 251), uint8_t(3838 % 251)});
  GifFile f(static_cast<uint16_t>(expected.size()), 1, 7, true);
  Dib dib(Load(f.ImageData(0, 0, static_cast<uint16_t>(expected.size()), 1, SubBlocks(w.Finish())).End()));
  ASSERT_TRUE(dib);
  EXPECT_EQ(RowBytes(dib, 0, static_cast<int>(expected.size())), expected);
  ExpectTexts({});
}

TEST_F(GifPlugin, LongStreamsRoundTripThroughTheTable) {
  std::vector<uint8_t> pixels(300 * 40);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>((i / 7) * 13 % 256 ^ (i % 300) / 3);
  GifFile f(300, 40, 7, true);
  Dib dib(Load(f.Image(0, 0, 300, 40, pixels).End()));
  ASSERT_TRUE(dib);
  for (int y = 0; y < 40; ++y) {
    ASSERT_EQ(RowBytes(dib, 39 - y, 300), std::vector<uint8_t>(pixels.begin() + y * 300, pixels.begin() + y * 300 + 300))
        << y;
  }
  ExpectTexts({});
}

TEST_F(GifPlugin, RefusedFilesReturnNothing) {
  EXPECT_EQ(plugin.load(L"Z:\\nonexistent\\picture.gif", 0), nullptr);
  ExpectTexts({L"GIF-File can't open."});

  capture.Clear();
  std::vector<uint8_t> notGif = GifFile(1, 1, 0, true).End();
  notGif[0] = 'J';
  EXPECT_EQ(Load(notGif), nullptr);
  ExpectTexts({L"Invalid GIF-File!"});

  capture.Clear();
  EXPECT_EQ(Load(GifFile(1, 1, 0, true, "88a").End()), nullptr);
  ExpectTexts({L"Unknown GIF-Version: 88a"});

  capture.Clear();
  EXPECT_EQ(Load({'G', 'I', 'F', '8'}), nullptr) << "a version cut short";
  ASSERT_EQ(capture.Messages().size(), 1u);
  EXPECT_EQ(capture.Messages()[0].text.substr(0, 21), L"Unknown GIF-Version: ");

  capture.Clear();
  GifFile huge(65535, 65535, 7, true);
  EXPECT_EQ(Load(huge.End()), nullptr);
  ExpectTexts({L"Not enough memory to work with graphic!"});
}

TEST_F(GifPlugin, BrokenFilesShowTheCanvasAsFarAsFilled) {
  GifFile extensionsOnly(2, 2, 0, true);
  extensionsOnly.Raw({0x21, 0xFE, 3, 'a', 'b', 'c', 0, 0x21, 0xFE, 5, 'x'});
  Dib empty(Load(extensionsOnly.b));
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty.Header().biWidth, 2);
  EXPECT_EQ(empty.Row(0)[0], 0);
  ExpectTexts({L"Premature end of  GIF-File!"});

  capture.Clear();
  GifFile unknown(2, 2, 0, true);
  EXPECT_TRUE(Dib(Load(unknown.Raw({0x99}).End())));
  ExpectTexts({L"Invalid GIF-Part!"});

  capture.Clear();
  GifFile noTable(2, 1, 7, false);
  Dib plain(Load(noTable.Image(0, 0, 2, 1, {1, 2}).End()));
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain.Row(0)[0], 0);
  ExpectTexts({L"This GIF-File hasn't got a colortable!"});

  capture.Clear();
  GifFile tooMany(2, 1, 2, true);
  EXPECT_TRUE(Dib(Load(tooMany.Image(0, 0, 2, 1, {1, 2}, 0x80 | 4, Table(32)).End())));
  ExpectTexts({L"Wrong color information in image descriptor!"});
}

TEST_F(GifPlugin, BadImageDataDrawsNothing) {
  // Code 300 while the next free code is 259.
  CodeWriter w;
  w.Put(256, 9);
  w.Put(1, 9);
  w.Put(2, 9);
  w.Put(300, 9);
  w.Put(3, 9);
  GifFile invalid(2, 2, 7, true);
  Dib a(Load(invalid.ImageData(0, 0, 2, 2, SubBlocks(w.Finish())).End()));
  ASSERT_TRUE(a);
  EXPECT_EQ(RowBytes(a, 1, 2), (std::vector<uint8_t>{0, 0}));
  ExpectTexts({L"Invalid LZW-Code 300!", L"Error in LZW-part of the GIF-File!"});

  // No end code and too few pixels.
  capture.Clear();
  CodeWriter few;
  few.Put(256, 9);
  few.Put(1, 9);
  GifFile shortData(2, 2, 7, true);
  EXPECT_TRUE(Dib(Load(shortData.ImageData(0, 0, 2, 2, SubBlocks(few.Finish())).End())));
  ExpectTexts({L"Error in LZW-part of the GIF-File!"});

  // No end code but exactly the pixels: fine.
  capture.Clear();
  CodeWriter exact;
  for (uint32_t code : {256u, 1u, 2u, 3u, 4u}) exact.Put(code, 9);
  GifFile exactData(2, 2, 7, true);
  Dib b(Load(exactData.ImageData(0, 0, 2, 2, SubBlocks(exact.Finish())).End()));
  ASSERT_TRUE(b);
  EXPECT_EQ(RowBytes(b, 1, 2), (std::vector<uint8_t>{1, 2}));
  ExpectTexts({});

  // A sub-block cut by the end of the file.
  capture.Clear();
  GifFile cut(2, 2, 7, true);
  std::vector<uint8_t> bytes = cut.Image(0, 0, 2, 2, {1, 2, 3, 4}).b;
  bytes.resize(bytes.size() - 3);
  EXPECT_TRUE(Dib(Load(bytes)));
  ExpectTexts({L"Error in read loop!", L"Error in LZW-part of the GIF-File!"});

  // Code sizes of 12 and more have no room for their roots.
  capture.Clear();
  GifFile wideCodes(2, 2, 7, true);
  EXPECT_TRUE(Dib(Load(wideCodes.ImageData(0, 0, 2, 2, SubBlocks({0xFF, 0xFF}), 0, {}, 12).End())));
  ExpectTexts({L"Error in LZW-part of the GIF-File!"});
}

TEST_F(GifPlugin, OutputBeyondTheImageIsDropped) {
  // Runs far longer than the 2 x 2 image, then the end code: the canvas gets the first four.
  std::vector<uint8_t> pixels(5000);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i < 4 ? i + 1 : 9);
  GifFile f(2, 2, 7, true);
  Dib dib(Load(f.ImageData(0, 0, 2, 2, SubBlocks(LzwEncode(pixels, 8))).End()));
  ASSERT_TRUE(dib);
  EXPECT_EQ(RowBytes(dib, 1, 2), (std::vector<uint8_t>{1, 2}));
  EXPECT_EQ(RowBytes(dib, 0, 2), (std::vector<uint8_t>{3, 4}));
  ExpectTexts({});
}

TEST_F(GifPlugin, UndefinedCodesRightAfterAClearStayInsideTheTable) {
  // After a clear, code 258 (not yet defined) and then 258 again as the code being defined:
  // the decoder neither loops nor leaves its tables, and takes them without a word.
  CodeWriter w;
  for (uint32_t code : {256u, 258u, 258u, 258u, 257u}) w.Put(code, 9);
  GifFile f(4, 1, 7, true);
  Dib dib(Load(f.ImageData(0, 0, 4, 1, SubBlocks(w.Finish())).End()));
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib.Header().biWidth, 4);
  EXPECT_EQ(dib.Header().biHeight, 1);
  ExpectTexts({});
}

}  // namespace
}  // namespace lmx::test
