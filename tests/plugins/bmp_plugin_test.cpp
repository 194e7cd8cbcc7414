// The BMP plug-in on bitmap files built byte by byte.
#include "tests/plugins/plugin_fixture.h"

namespace lmx::test {
namespace {

// A Windows bitmap file: 14-byte file header, 40-byte info header, colour table, pixels.
struct BmpFile {
  int32_t width = 4, height = 1;
  uint16_t bitCount = 8;
  uint32_t compression = 0, sizeImage = 0, clrUsed = 0, clrImportant = 0;
  int32_t xPels = 3780, yPels = 3780;
  uint32_t infoSize = 40;
  bool zeroOffBits = false;
  std::vector<uint8_t> colors;  // raw table bytes
  std::vector<uint8_t> pixels;

  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> b(14 + infoSize);
    b[0] = 'B';
    b[1] = 'M';
    const uint32_t off = zeroOffBits ? 0 : static_cast<uint32_t>(14 + infoSize + colors.size());
    Put32(b, 10, off);
    Put32(b, 14, infoSize);
    Put32(b, 18, static_cast<uint32_t>(width));
    Put32(b, 22, static_cast<uint32_t>(height));
    Put16(b, 26, 1);
    Put16(b, 28, bitCount);
    Put32(b, 30, compression);
    Put32(b, 34, sizeImage);
    Put32(b, 38, static_cast<uint32_t>(xPels));
    Put32(b, 42, static_cast<uint32_t>(yPels));
    Put32(b, 46, clrUsed);
    Put32(b, 50, clrImportant);
    b.resize(14 + infoSize);
    b.insert(b.end(), colors.begin(), colors.end());
    b.insert(b.end(), pixels.begin(), pixels.end());
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    return b;
  }
};

std::vector<uint8_t> GreyTable(int n) {
  std::vector<uint8_t> t;
  for (int i = 0; i < n; ++i) Append(t, {uint8_t(i), uint8_t(i), uint8_t(i), 0});
  return t;
}

class BmpPlugin : public testing::Test {
 protected:
  Plugin plugin{L"zlx_bmp.dll"};
  MessageCapture capture;

  void* Load(const std::vector<uint8_t>& bytes) {
    TempFile file(bytes);
    return plugin.load(file.Path(), 0);
  }
  void ExpectOnly(std::initializer_list<const wchar_t*> texts) {
    ExpectPluginMessages(capture, L"Error...", texts);
  }
};

TEST_F(BmpPlugin, Os2CoreHeaderBecomesAnInfoHeaderWithWidenedColours) {
  // 12-byte header, 2 x 2 at 1 bit, 3-byte palette entries.
  std::vector<uint8_t> b = {'B', 'M'};
  b.resize(14);
  Put32(b, 10, 14 + 12 + 6);
  Append(b, {12, 0, 0, 0, 2, 0, 2, 0, 1, 0, 1, 0});
  Append(b, {0x10, 0x20, 0x30, 0xF0, 0xE0, 0xD0});
  Append(b, {0x80, 0, 0, 0, 0x40, 0, 0, 0});
  while (b.size() < 54) b.push_back(0);  // the info header is always read as 40 bytes
  Dib dib(Load(b));
  ASSERT_TRUE(dib);
  DibHeader h = dib.Header();
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biWidth, 2);
  EXPECT_EQ(h.biHeight, 2);
  EXPECT_EQ(h.biBitCount, 1);
  EXPECT_EQ(h.biXPelsPerMeter, 2953);
  EXPECT_EQ(h.biYPelsPerMeter, 2953);
  EXPECT_EQ(h.biClrUsed, 2u);
  EXPECT_EQ(h.biClrImportant, 0u);
  EXPECT_EQ(h.biSizeImage, 8u);
  const RgbQuad* c = dib.Colors();
  EXPECT_EQ((std::vector<int>{c[0].blue, c[0].green, c[0].red, c[0].reserved}), (std::vector<int>{0x10, 0x20, 0x30, 0}));
  EXPECT_EQ((std::vector<int>{c[1].blue, c[1].green, c[1].red, c[1].reserved}), (std::vector<int>{0xF0, 0xE0, 0xD0, 0}));
  EXPECT_EQ(dib.Row(0)[0], 0x80);
  EXPECT_EQ(dib.Row(1)[0], 0x40);
  EXPECT_TRUE(capture.Messages().empty());
}

TEST_F(BmpPlugin, TwentyFourBitKeepsOnlyTheTableTheFileGives) {
  BmpFile f;
  f.width = 1;
  f.height = 1;
  f.bitCount = 24;
  f.pixels = {1, 2, 3, 0};
  Dib plain(Load(f.Bytes()));
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain.Header().biClrUsed, 0u);
  EXPECT_EQ(plain.Header().biXPelsPerMeter, 3780) << "an uncompressed 40-byte header keeps its resolution";
  EXPECT_EQ(plain.Pixels()[2], 3);

  f.clrUsed = 256;
  f.colors = GreyTable(256);
  Dib tabled(Load(f.Bytes()));
  ASSERT_TRUE(tabled);
  EXPECT_EQ(tabled.Header().biClrUsed, 256u);
  EXPECT_EQ(tabled.Colors()[255].red, 255);
  EXPECT_EQ(tabled.Pixels()[0], 1);
}

TEST_F(BmpPlugin, SixteenThirtyTwoAndBitFieldsPassOnWithoutATableAndWithTheirMasks) {
  for (uint16_t bits : {16, 32}) {
    BmpFile f;
    f.width = 2;
    f.height = 1;
    f.bitCount = bits;
    f.pixels.assign(8, 0x5A);
    Dib dib(Load(f.Bytes()));
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib.Header().biBitCount, bits);
    EXPECT_EQ(dib.Header().biClrUsed, 0u);
    EXPECT_EQ(dib.Pixels()[0], 0x5A);
  }
  BmpFile f;
  f.width = 1;
  f.height = 1;
  f.bitCount = 16;
  f.compression = 3;
  f.sizeImage = 2;  // wrong: bit-field rows are plain rows, read with their own size
  f.colors = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};  // masks, counted in bfOffBits
  f.pixels = {0x34, 0x12, 0, 0};
  Dib dib(Load(f.Bytes()));
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib.Header().biCompression, 3u);
  EXPECT_EQ(dib.Header().biClrUsed, 0u);
  EXPECT_EQ(dib.Header().biSizeImage, 4u);
  // The masks follow the header as in the file; the pixels follow them.
  EXPECT_EQ(std::vector<uint8_t>(dib.Bytes() + 40, dib.Bytes() + 52), f.colors);
  EXPECT_EQ(dib.Pixels()[0], 0x34);
  EXPECT_EQ(dib.Pixels()[1], 0x12);
}

TEST_F(BmpPlugin, UncompressedSizeIsComputedAndAShortFileReadsAsZeros) {
  BmpFile f;
  f.width = 3;
  f.height = 2;
  f.clrUsed = 4;
  f.colors = GreyTable(4);
  f.sizeImage = 1000;  // wrong
  f.pixels = {1, 2, 3, 0, 3};  // the file ends inside the top row
  Dib dib(Load(f.Bytes()));
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib.Header().biSizeImage, 8u);
  EXPECT_EQ(dib.Row(1)[0], 3);
  EXPECT_EQ(dib.Row(1)[1], 0);
  EXPECT_EQ(dib.Row(1)[2], 0);
  EXPECT_TRUE(capture.Messages().empty());
}

TEST_F(BmpPlugin, ZeroOffBitsReadsThePixelsBehindTheColourTable) {
  BmpFile f;
  f.clrUsed = 2;
  f.colors = GreyTable(2);
  f.pixels = {1, 0, 1, 1};
  f.zeroOffBits = true;
  Dib dib(Load(f.Bytes()));
  ASSERT_TRUE(dib);
  EXPECT_EQ((std::vector<uint8_t>(dib.Pixels(), dib.Pixels() + 4)), f.pixels);
}

TEST_F(BmpPlugin, Rle8RunsEndOfBitmapAndAbsoluteRunPadding) {
  BmpFile f;
  f.compression = 1;
  f.clrUsed = 8;
  f.colors = GreyTable(8);
  f.xPels = 9999;
  f.pixels = {0x03, 0x05, 0x00, 0x01};
  Dib run(Load(f.Bytes()));
  ASSERT_TRUE(run);
  EXPECT_EQ((std::vector<uint8_t>(run.Pixels(), run.Pixels() + 4)), (std::vector<uint8_t>{5, 5, 5, 0}));
  EXPECT_EQ(run.Header().biCompression, 0u);
  EXPECT_EQ(run.Header().biSizeImage, 4u);
  EXPECT_EQ(run.Header().biXPelsPerMeter, 2953);

  // Absolute run of 3, one pad byte, then a run of 1 and the end. The header states no
  // size, and the stream is longer than the row it expands to: it is read to the file's end.
  f.pixels = {0x00, 0x03, 7, 6, 5, 0xEE, 0x01, 0x02, 0x00, 0x01};
  Dib absolute(Load(f.Bytes()));
  ASSERT_TRUE(absolute);
  EXPECT_EQ((std::vector<uint8_t>(absolute.Pixels(), absolute.Pixels() + 4)), (std::vector<uint8_t>{7, 6, 5, 2}));
}

TEST_F(BmpPlugin, Rle4RulesFollowTheBitCount) {
  BmpFile f;
  f.width = 5;
  f.bitCount = 4;
  f.compression = 1;  // says RLE8, but the pixels are 4 bits
  f.clrUsed = 16;
  f.colors = GreyTable(16);
  f.pixels = {0x05, 0x12, 0x00, 0x01};
  Dib dib(Load(f.Bytes()));
  ASSERT_TRUE(dib);
  EXPECT_EQ((std::vector<uint8_t>(dib.Pixels(), dib.Pixels() + 3)), (std::vector<uint8_t>{0x12, 0x12, 0x10}));

  // Absolute RLE4 run of 3 pixels in 2 bytes (no pad: the byte count is even), a delta from
  // x = 3 to (4, 1), and a run of two whose second pixel falls outside the 5-pixel row.
  f.compression = 2;
  f.height = 2;
  f.pixels = {0x00, 0x03, 0xAB, 0xC0, 0x00, 0x02, 0x01, 0x01, 0x02, 0x77, 0x00, 0x01};
  Dib absolute(Load(f.Bytes()));
  ASSERT_TRUE(absolute);
  EXPECT_EQ((std::vector<uint8_t>(absolute.Row(0), absolute.Row(0) + 3)), (std::vector<uint8_t>{0xAB, 0xC0, 0x00}));
  EXPECT_EQ((std::vector<uint8_t>(absolute.Row(1), absolute.Row(1) + 3)), (std::vector<uint8_t>{0x00, 0x00, 0x70}));
}

TEST_F(BmpPlugin, RunLengthStreamsNeverWriteOutsideTheirRows) {
  BmpFile f;
  f.width = 3;
  f.height = 2;
  f.compression = 1;
  f.clrUsed = 2;
  f.colors = GreyTable(2);
  // A run far wider than the row, a delta past the top, and a stream cut inside a pair.
  f.pixels = {0xFF, 0x01, 0x00, 0x00, 0x02, 0x01, 0x00, 0x02, 0xFF, 0xFF, 0x05};
  Dib dib(Load(f.Bytes()));
  ASSERT_TRUE(dib);
  EXPECT_EQ((std::vector<uint8_t>(dib.Row(0), dib.Row(0) + 4)), (std::vector<uint8_t>{1, 1, 1, 0}));
  EXPECT_EQ((std::vector<uint8_t>(dib.Row(1), dib.Row(1) + 4)), (std::vector<uint8_t>{1, 1, 0, 0}));
  EXPECT_TRUE(capture.Messages().empty());

  // An absolute run that claims more bytes than the stream holds stops the expansion.
  f.pixels = {0x00, 0xFE, 1, 1};
  Dib cut(Load(f.Bytes()));
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut.Row(0)[0], 0);
}

TEST_F(BmpPlugin, RunLengthAtOtherDepthsIsRefused) {
  BmpFile f;
  f.bitCount = 1;
  f.compression = 1;
  f.clrUsed = 2;
  f.colors = GreyTable(2);
  f.pixels = {0x02, 0x01, 0x00, 0x01};
  EXPECT_EQ(Load(f.Bytes()), nullptr);
  ExpectOnly({L"Invalid RLE-Bitmap!", L"No valid Bitmap file!"});
}

TEST_F(BmpPlugin, HeadersItCannotReadAreRefusedWithTheirMessages) {
  BmpFile f;
  std::vector<uint8_t> ba = f.Bytes();
  ba[1] = 'A';
  EXPECT_EQ(Load(ba), nullptr);
  EXPECT_EQ(Load({'B'}), nullptr);
  ExpectOnly({L"No valid Bitmap file!", L"No valid Bitmap file!"});
  capture.Clear();

  f.infoSize = 108;
  EXPECT_EQ(Load(f.Bytes()), nullptr);
  ExpectOnly({L"Unknown device independent format!"});
  capture.Clear();

  // An OS/2 file of 26 + 6 bytes: the 40-byte header read comes up short.
  std::vector<uint8_t> os2 = {'B', 'M'};
  os2.resize(14);
  Append(os2, {12, 0, 0, 0, 1, 0, 1, 0, 1, 0, 1, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF});
  EXPECT_EQ(Load(os2), nullptr);
  ExpectOnly({L"An error occured while reading the Bitmap file data!"});
}

TEST_F(BmpPlugin, TopDownNegativeWidthsAndBitCountsNoBitmapHasAreRefused) {
  const struct { int32_t width, height; uint16_t bits; } kCases[] = {
      {4, -2, 8}, {-4, 2, 8}, {4, 2, 0}, {4, 2, 2}, {4, 2, 30000}};
  for (const auto& c : kCases) {
    BmpFile f;
    f.width = c.width;
    f.height = c.height;
    f.bitCount = c.bits;
    f.pixels.assign(8, 1);
    EXPECT_EQ(Load(f.Bytes()), nullptr) << c.width << " x " << c.height << " x " << c.bits;
    ExpectOnly({L"Unknown device independent format!"});
    capture.Clear();
  }
}

TEST_F(BmpPlugin, AbsurdSizesAreRefusedAsLackOfMemory) {
  BmpFile f;
  f.width = 0x7FFFFFFF;
  f.height = 0x7FFFFFFF;
  f.bitCount = 24;
  EXPECT_EQ(Load(f.Bytes()), nullptr);
  f.width = 4;
  f.height = 1;
  f.bitCount = 8;
  f.clrUsed = 0x40000000;
  EXPECT_EQ(Load(f.Bytes()), nullptr);
  ExpectOnly({L"There is not enough memory to compute the graphic!",
              L"There is not enough memory to compute the graphic!"});
}

TEST_F(BmpPlugin, NoFileNameAndTheImageIndexIsIgnored) {
  EXPECT_EQ(plugin.load(nullptr, 0), nullptr);
  ExpectOnly({L"ReadDIB: No filename exists!"});
  capture.Clear();

  BmpFile f;
  f.clrUsed = 2;
  f.colors = GreyTable(2);
  f.pixels = {1, 0, 0, 1};
  TempFile file(f.Bytes());
  Dib first(plugin.load(file.Path(), 0));
  Dib third(plugin.load(file.Path(), 3));
  ASSERT_TRUE(first);
  ASSERT_TRUE(third);
  EXPECT_EQ(0, std::memcmp(first.block, third.block, 40 + 8 + 4));
  EXPECT_TRUE(capture.Messages().empty());
}

TEST_F(BmpPlugin, TheFileIsClosedAfterEveryLoad) {
  BmpFile f;
  f.bitCount = 24;
  f.pixels.assign(12, 9);
  TempFile file(f.Bytes());
  Dib dib(plugin.load(file.Path(), 0));
  ASSERT_TRUE(dib);
  HANDLE exclusive = CreateFileW(file.Path(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(exclusive, INVALID_HANDLE_VALUE);
  CloseHandle(exclusive);

  std::vector<uint8_t> bad = f.Bytes();
  bad[0] = 'X';
  TempFile badFile(bad);
  EXPECT_EQ(plugin.load(badFile.Path(), 0), nullptr);
  exclusive = CreateFileW(badFile.Path(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(exclusive, INVALID_HANDLE_VALUE);
  CloseHandle(exclusive);
}

}  // namespace
}  // namespace lmx::test
