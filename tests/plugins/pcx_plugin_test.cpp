// The PCX plug-in on files built byte by byte.
#include "tests/plugins/plugin_fixture.h"

namespace lmx::test {
namespace {

constexpr UINT kExclamation = MB_OK | MB_ICONEXCLAMATION;

// A PCX file: 128-byte header, pixel data, and for 8 bits the 256-colour palette trailer.
struct PcxFile {
  uint8_t manufacturer = 0x0A, version = 5, encoding = 1, bits = 8, planes = 1;
  uint16_t xmin = 0, ymin = 0, xmax = 3, ymax = 0, bytesPerLine = 4;
  std::vector<uint8_t> headerPalette = std::vector<uint8_t>(48, 0);
  std::vector<uint8_t> data;
  bool trailer = true;  // the 769-byte palette, for 8-bit files
  uint8_t marker = 12;

  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> b(128);
    b[0] = manufacturer;
    b[1] = version;
    b[2] = encoding;
    b[3] = bits;
    Put16(b, 4, xmin);
    Put16(b, 6, ymin);
    Put16(b, 8, xmax);
    Put16(b, 10, ymax);
    std::copy(headerPalette.begin(), headerPalette.end(), b.begin() + 16);
    b[65] = planes;
    Put16(b, 66, bytesPerLine);
    b.resize(128 + data.size());
    std::copy(data.begin(), data.end(), b.begin() + 128);
    if (trailer && bits * planes == 8) {
      b.push_back(marker);
      for (int i = 0; i < 256; ++i) Append(b, {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
    }
    return b;
  }
};

std::vector<int> Quad(const RgbQuad& q) { return {q.red, q.green, q.blue, q.reserved}; }
std::vector<uint8_t> RowBytes(const Dib& dib, int y, int n) { return {dib.Row(y), dib.Row(y) + n}; }

class PcxPlugin : public testing::Test {
 protected:
  Plugin plugin{L"zlx_pcx.dll"};
  MessageCapture capture;

  void* Load(const std::vector<uint8_t>& bytes, DWORD index = 0) {
    TempFile file(bytes, L".pcx");
    return plugin.load(file.Path(), index);
  }
  // Each expected box as caption and text, in order.
  void ExpectBoxes(std::vector<std::pair<std::wstring, std::wstring>> expected) {
    std::vector<std::pair<std::wstring, std::wstring>> got;
    for (const auto& m : capture.Messages()) {
      got.emplace_back(m.caption, m.text);
      EXPECT_EQ(m.style, kExclamation);
    }
    EXPECT_EQ(got, expected);
  }
};

const std::pair<std::wstring, std::wstring> kDecodeFailed = {L"Error...", L"Error while decoding PCX-File"};
const std::pair<std::wstring, std::wstring> kUnknownFormat = {L"Warning...", L"Unknown PCX-File format"};

TEST_F(PcxPlugin, EightBitRunsFillTheRowsBottomUpWithTheTrailerPalette) {
  PcxFile f;
  f.ymax = 1;
  // Top row: a run of three 07s, then 09. Bottom row: 0xC0 expands to nothing, then 0xC4 0xC8
  // writes four C8 bytes (a value with both top bits set needs a run).
  f.data = {0xC3, 0x07, 0x09, 0xC0, 0x55, 0xC4, 0xC8};
  Dib dib(Load(f.Bytes(), 3));
  ASSERT_TRUE(dib);
  DibHeader h = dib.Header();
  EXPECT_EQ(h.biWidth, 4);
  EXPECT_EQ(h.biHeight, 2);
  EXPECT_EQ(h.biBitCount, 8);
  EXPECT_EQ(h.biPlanes, 1);
  EXPECT_EQ(h.biCompression, 0u);
  EXPECT_EQ(h.biSizeImage, 8u);
  EXPECT_EQ(h.biXPelsPerMeter, 2953);
  EXPECT_EQ(h.biYPelsPerMeter, 2953);
  EXPECT_EQ(h.biClrUsed, 256u);
  EXPECT_EQ(h.biClrImportant, 256u);
  EXPECT_EQ(RowBytes(dib, 1, 4), (std::vector<uint8_t>{7, 7, 7, 9}));
  EXPECT_EQ(RowBytes(dib, 0, 4), (std::vector<uint8_t>{0xC8, 0xC8, 0xC8, 0xC8}));
  EXPECT_EQ(Quad(dib.Colors()[10]), (std::vector<int>{10, 245, 5, 0}));
  ExpectBoxes({});
}

TEST_F(PcxPlugin, PadBytesAreSkippedUnlessTheManufacturerSaysPacked) {
  PcxFile f;
  f.encoding = 0;
  f.xmax = 2;
  f.ymax = 1;
  f.bytesPerLine = 4;
  f.data = {1, 2, 3, 0xEE, 4, 5, 6, 0xEE};
  Dib padded(Load(f.Bytes()));
  ASSERT_TRUE(padded);
  EXPECT_EQ(RowBytes(padded, 1, 3), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(RowBytes(padded, 0, 3), (std::vector<uint8_t>{4, 5, 6}));

  f.manufacturer = 0xCD;
  f.data = {1, 2, 3, 4, 5, 6};
  Dib packed(Load(f.Bytes()));
  ASSERT_TRUE(packed);
  EXPECT_EQ(RowBytes(packed, 1, 3), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(RowBytes(packed, 0, 3), (std::vector<uint8_t>{4, 5, 6}));
  ExpectBoxes({});
}

TEST_F(PcxPlugin, AnOffsetOriginOnlySetsTheSize) {
  PcxFile f;
  f.encoding = 0;
  f.xmin = 10;
  f.xmax = 12;
  f.ymin = 5;
  f.ymax = 5;
  f.bytesPerLine = 3;
  f.data = {1, 2, 3};
  Dib dib(Load(f.Bytes()));
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib.Header().biWidth, 3);
  EXPECT_EQ(dib.Header().biHeight, 1);
  EXPECT_EQ(RowBytes(dib, 0, 3), (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(PcxPlugin, MonochromePalettes) {
  PcxFile f;
  f.bits = 1;
  f.xmax = 9;
  f.bytesPerLine = 2;
  f.data = {0xA5, 0xC1, 0x80};
  Dib equal(Load(f.Bytes()));
  ASSERT_TRUE(equal);
  EXPECT_EQ(equal.Header().biBitCount, 1);
  EXPECT_EQ(equal.Header().biClrUsed, 2u);
  EXPECT_EQ(equal.Header().biClrImportant, 2u);
  EXPECT_EQ(Quad(equal.Colors()[0]), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(Quad(equal.Colors()[1]), (std::vector<int>{255, 255, 255, 0}));
  EXPECT_EQ(RowBytes(equal, 0, 2), (std::vector<uint8_t>{0xA5, 0x80}));

  f.headerPalette[0] = 10;  // entry 0 (10, 0, 0), entry 1 (0, 20, 0)
  f.headerPalette[4] = 20;
  Dib own(Load(f.Bytes()));
  ASSERT_TRUE(own);
  EXPECT_EQ(Quad(own.Colors()[0]), (std::vector<int>{10, 0, 0, 0}));
  EXPECT_EQ(Quad(own.Colors()[1]), (std::vector<int>{0, 20, 0, 0}));

  f.version = 3;
  Dib v3(Load(f.Bytes()));
  ASSERT_TRUE(v3);
  EXPECT_EQ(Quad(v3.Colors()[0]), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(Quad(v3.Colors()[1]), (std::vector<int>{0, 0, 128, 0})) << "black and dark blue";
  ExpectBoxes({});
}

TEST_F(PcxPlugin, FourPlanesGiveOneBitEachAndVersionThreeTakesTheDefaultPalette) {
  PcxFile f;
  f.bits = 1;
  f.planes = 4;
  f.xmax = 2;
  f.bytesPerLine = 2;
  f.encoding = 0;
  for (int i = 0; i < 48; ++i) f.headerPalette[i] = static_cast<uint8_t>(i + 1);
  // Pixels 0..2: plane 0 (value 1) 101, plane 1 (2) 011, plane 2 (4) 000, plane 3 (8) 111.
  f.data = {0xA0, 0xFF, 0x60, 0xFF, 0x00, 0xFF, 0xE0, 0xFF};
  Dib dib(Load(f.Bytes()));
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib.Header().biBitCount, 4);
  EXPECT_EQ(dib.Header().biClrUsed, 16u);
  EXPECT_EQ(dib.Header().biClrImportant, 16u);
  EXPECT_EQ(RowBytes(dib, 0, 2), (std::vector<uint8_t>{0x9A, 0xB0}));
  EXPECT_EQ(Quad(dib.Colors()[15]), (std::vector<int>{46, 47, 48, 0}));

  f.version = 3;
  Dib v3(Load(f.Bytes()));
  ASSERT_TRUE(v3);
  EXPECT_EQ(Quad(v3.Colors()[1]), (std::vector<int>{0, 0, 128, 0}));
  EXPECT_EQ(Quad(v3.Colors()[8]), (std::vector<int>{192, 192, 192, 0}));
  EXPECT_EQ(Quad(v3.Colors()[15]), (std::vector<int>{255, 255, 255, 0}));
  ExpectBoxes({});
}

TEST_F(PcxPlugin, VersionThreeEightBitKeepsTheFilePaletteAboveSixteen) {
  PcxFile f;
  f.version = 3;
  f.data = {0xC4, 0x01};
  Dib dib(Load(f.Bytes()));
  ASSERT_TRUE(dib);
  EXPECT_EQ(Quad(dib.Colors()[9]), (std::vector<int>{0, 0, 255, 0}));
  EXPECT_EQ(Quad(dib.Colors()[16]), (std::vector<int>{16, 239, 8, 0}));
}

TEST_F(PcxPlugin, ThreePlanesBecomeBlueGreenRed) {
  PcxFile f;
  f.planes = 3;
  f.xmax = 1;
  f.ymax = 1;
  f.bytesPerLine = 2;
  // Top row: red 10 11, green 20 21, blue 30 31; bottom row from one run of 0x05.
  f.data = {10, 11, 20, 21, 30, 31, 0xC6, 0x05};
  Dib dib(Load(f.Bytes()));
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib.Header().biBitCount, 24);
  EXPECT_EQ(dib.Header().biClrUsed, 0u);
  EXPECT_EQ(dib.Header().biClrImportant, 0u);
  EXPECT_EQ(dib.Header().biSizeImage, 16u);
  EXPECT_EQ(RowBytes(dib, 1, 6), (std::vector<uint8_t>{30, 20, 10, 31, 21, 11}));
  EXPECT_EQ(RowBytes(dib, 0, 6), (std::vector<uint8_t>(6, 5)));
}

TEST_F(PcxPlugin, PlaneCountsThatDoNotFitTheDepthAreRefused) {
  PcxFile fourBitOnePlane;
  fourBitOnePlane.bits = 4;
  fourBitOnePlane.data = {0x12, 0x34};
  EXPECT_EQ(Load(fourBitOnePlane.Bytes()), nullptr);
  ExpectBoxes({kUnknownFormat, kDecodeFailed});

  capture.Clear();
  PcxFile twentyFourOnePlane;
  twentyFourOnePlane.bits = 24;
  twentyFourOnePlane.data = std::vector<uint8_t>(12, 1);
  EXPECT_EQ(Load(twentyFourOnePlane.Bytes()), nullptr);
  ExpectBoxes({kUnknownFormat, kDecodeFailed});
}

TEST_F(PcxPlugin, HeaderAndFileFailures) {
  EXPECT_EQ(plugin.load(nullptr, 0), nullptr);
  ExpectBoxes({{L"Error...", L"No file name found."}});

  capture.Clear();
  EXPECT_EQ(plugin.load(L"Z:\\nonexistent\\file.pcx", 0), nullptr);
  ExpectBoxes({{L"Error...", L"Can't open PCX-File"}});

  capture.Clear();
  PcxFile f;
  std::vector<uint8_t> shortHeader = f.Bytes();
  shortHeader.resize(100);
  EXPECT_EQ(Load(shortHeader), nullptr);
  ExpectBoxes({{L"Error...", L"Can't read PCX-File"}});

  capture.Clear();
  f.manufacturer = 0x0B;
  EXPECT_EQ(Load(f.Bytes()), nullptr);
  ExpectBoxes({{L"Error...", L"No valid PCX-File"}});

  capture.Clear();
  f.manufacturer = 0x0A;
  f.xmin = 5;
  f.xmax = 4;
  EXPECT_EQ(Load(f.Bytes()), nullptr) << "a far corner before the near one";
  ExpectBoxes({{L"Error...", L"No valid PCX-File"}});

  capture.Clear();
  f.xmin = 0;
  f.marker = 11;
  EXPECT_EQ(Load(f.Bytes()), nullptr);
  ExpectBoxes({{L"Error...", L"Error in color table id"}});

  capture.Clear();
  f.trailer = false;
  f.data = {1, 2, 3, 4};
  EXPECT_EQ(Load(f.Bytes()), nullptr) << "an 8-bit file too short for its palette";
  ExpectBoxes({{L"Warning...", L"Fehler beim Lesen der PCX-Datei!"}});

  capture.Clear();
  PcxFile twoBits;
  twoBits.bits = 1;
  twoBits.planes = 2;
  twoBits.data = {0};
  EXPECT_EQ(Load(twoBits.Bytes()), nullptr);
  ExpectBoxes({{L"Warning...", L"Falsches Farbformat in der PCX-Datei!"}});
}

TEST_F(PcxPlugin, DataThatRunsShortOrOverflowsTheWorkBlockFails) {
  PcxFile plain;
  plain.encoding = 0;
  plain.ymax = 2;
  plain.data = {1, 2, 3, 4, 5, 6, 7, 8, 9};  // three rows of four need twelve bytes
  EXPECT_EQ(Load(plain.Bytes()), nullptr);
  ExpectBoxes({kDecodeFailed});

  capture.Clear();
  PcxFile runs;
  runs.data = {0xC4, 0x01};
  runs.ymax = 1;
  EXPECT_EQ(Load(runs.Bytes()), nullptr) << "the second row is missing";
  ExpectBoxes({kDecodeFailed});

  // The work block holds (1 + 32) lines of 4 + 8 bytes; runs of 63 bytes soon pass it.
  capture.Clear();
  runs.ymax = 0;
  runs.data.clear();
  for (int i = 0; i < 8; ++i) Append(runs.data, {0xFF, 0x02});
  EXPECT_EQ(Load(runs.Bytes()), nullptr);
  ExpectBoxes({kDecodeFailed});

  // Within the block, extra data behind the picture is ignored; a run byte at the very end
  // of the data has nothing to repeat.
  capture.Clear();
  runs.data = {0xC4, 0x03, 0xFF, 0x02, 0xC2};
  Dib dib(Load(runs.Bytes()));
  ASSERT_TRUE(dib);
  EXPECT_EQ(RowBytes(dib, 0, 4), (std::vector<uint8_t>{3, 3, 3, 3}));
  ExpectBoxes({});

  // A bytes-per-line below what a line needs makes the lines overlap, inside the data.
  PcxFile overlap;
  overlap.encoding = 0;
  overlap.ymax = 1;
  overlap.bytesPerLine = 2;
  overlap.data = {1, 2, 3, 4, 5, 6};
  Dib lines(Load(overlap.Bytes()));
  ASSERT_TRUE(lines);
  EXPECT_EQ(RowBytes(lines, 1, 4), (std::vector<uint8_t>{1, 2, 3, 4}));
  EXPECT_EQ(RowBytes(lines, 0, 4), (std::vector<uint8_t>{3, 4, 5, 6}));
}

}  // namespace
}  // namespace lmx::test
