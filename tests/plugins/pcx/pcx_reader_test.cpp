// The PCX reader natively on files written byte by byte: runs, planes, palettes, and the
// messages for files it refuses.
#include "plugins/pcx/pcx_reader.h"
#include "tests/plugins/common/reader_test.h"
#include "tests/plugins/pcx/pcx_file.h"

namespace lmx::test {
namespace {

Decoded Read(const Bytes& file) {
  return ReadSource([](ByteSource& f, BlockHeap& h, DecodeMessages& m) { return pcx::ReadPcxFile(f, h, m); }, file);
}

TEST(PcxReader, SaysWhatIsWrongWithAFile) {
  PcxFile f;
  std::vector<uint8_t> shortHeader = f.Bytes();
  shortHeader.resize(100);
  PcxFile maker = PlainPcx(2, 2, 8, 1, 800);
  maker.manufacturer = 0;
  PcxFile maker0B;
  maker0B.manufacturer = 0x0B;
  PcxFile backwards;
  backwards.xmin = 5, backwards.xmax = 4;  // a far corner before the near one
  PcxFile marker;
  marker.marker = 11;
  PcxFile noPalette;  // an 8-bit file too short for its palette
  noPalette.trailer = false, noPalette.data = {1, 2, 3, 4};
  PcxFile twoPlanes;
  twoPlanes.bits = 1, twoPlanes.planes = 2, twoPlanes.data = {0};
  PcxFile fourBitOnePlane;
  fourBitOnePlane.bits = 4, fourBitOnePlane.data = {0x12, 0x34};
  PcxFile twentyFourOnePlane;
  twentyFourOnePlane.bits = 24, twentyFourOnePlane.data = std::vector<uint8_t>(12, 1);
  PcxFile huge = PlainPcx(2, 2, 8, 3, 16);
  huge.xmax = huge.ymax = 65535;
  PcxFile plain;  // three rows of four need twelve bytes
  plain.encoding = 0, plain.ymax = 2, plain.data = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  PcxFile runs;  // the second row is missing
  runs.data = {0xC4, 0x01}, runs.ymax = 1;
  // The work block holds (1 + 32) lines of 4 + 8 bytes; runs of 63 bytes soon pass it.
  PcxFile overflow;
  for (int i = 0; i < 8; ++i) Append(overflow.data, {0xFF, 0x02});
  PcxFile eight = PlainPcx(2, 2, 8, 1, 4 + 769);
  eight.data[4] = 12;
  ExpectAnswers(Read, {
      {"short", Bytes(10), {{pcx::kMsgCantRead, E}}, false},
      {"header cut", shortHeader, {{pcx::kMsgCantRead, E}}, false},
      {"maker 0", maker.Bytes(), {{pcx::kMsgNotPcx, E}}, false},
      {"maker 0B", maker0B.Bytes(), {{pcx::kMsgNotPcx, E}}, false},
      {"backwards", backwards.Bytes(), {{pcx::kMsgNotPcx, E}}, false},
      {"palette marker", marker.Bytes(), {{pcx::kMsgColorTableId, E}}, false},
      {"no palette", noPalette.Bytes(), {{pcx::kMsgReadFailed, W}}, false},
      {"8 bits without palette room", PlainPcx(2, 2, 8, 1, 100).Bytes(), {{pcx::kMsgReadFailed, W}}, false},
      {"2 bits", PlainPcx(2, 2, 2, 1, 8).Bytes(), {{pcx::kMsgWrongColorFormat, W}}, false},
      {"2 planes of 1 bit", twoPlanes.Bytes(), {{pcx::kMsgWrongColorFormat, W}}, false},
      {"3 planes of 1 bit", PlainPcx(8, 2, 1, 3, 64).Bytes(), {{pcx::kMsgWrongColorFormat, W}}, false},
      {"4 bits in one plane", fourBitOnePlane.Bytes(), {{pcx::kMsgUnknownFormat, W}, {pcx::kMsgDecodeFailed, E}}, false},
      {"4 bits in one plane, plain", PlainPcx(8, 2, 4, 1, 64).Bytes(),
       {{pcx::kMsgUnknownFormat, W}, {pcx::kMsgDecodeFailed, E}}, false},
      {"24 bits in one plane", twentyFourOnePlane.Bytes(), {{pcx::kMsgUnknownFormat, W}, {pcx::kMsgDecodeFailed, E}},
       false},
      {"65536 squared", huge.Bytes(), {{pcx::kMsgNoMemory, E}}, false},
      {"data short", plain.Bytes(), {{pcx::kMsgDecodeFailed, E}}, false},
      {"row missing", runs.Bytes(), {{pcx::kMsgDecodeFailed, E}}, false},
      {"past the work block", overflow.Bytes(), {{pcx::kMsgDecodeFailed, E}}, false},
      {"8 bits", eight.Bytes(), {}, true},
  });
}

TEST(PcxReader, EightBitRunsFillTheRowsBottomUpWithTheTrailerPalette) {
  PcxFile f;
  f.ymax = 1;
  // Top row: a run of three 07s, then 09. Bottom row: 0xC0 expands to nothing, then 0xC4 0xC8
  // writes four C8 bytes (a value with both top bits set needs a run).
  f.data = {0xC3, 0x07, 0x09, 0xC0, 0x55, 0xC4, 0xC8};
  const Decoded dib = Read(f.Bytes());
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib.Shape(), (Shape{4, 2, 1, 8, 0, 8, 2953, 2953, 256, 256}));
  EXPECT_EQ(dib.RowBytes(1, 4), (std::vector<uint8_t>{7, 7, 7, 9}));
  EXPECT_EQ(dib.RowBytes(0, 4), (std::vector<uint8_t>{0xC8, 0xC8, 0xC8, 0xC8}));
  EXPECT_EQ(dib.Quad(10), (std::vector<int>{10, 245, 5, 0}));
  EXPECT_TRUE(dib.Messages().empty());
}

// Long data read in 64 KiB chunks: literal stretches, short and long runs and empty ones, a run
// byte `shift` bytes before the first chunk's end (0: its value in the next chunk), expand as
// the byte-by-byte rule says.
TEST(PcxReader, RunsAndLiteralsExpandAlikeWhereverTheReadsEnd) {
  constexpr uint16_t kWidth = 1000, kHeight = 600;
  constexpr size_t kChunk = 64 * 1024;
  for (size_t shift : {0, 1, 2, 3}) {
    SCOPED_TRACE(shift);
    PcxFile f;
    f.xmax = kWidth - 1, f.ymax = kHeight - 1, f.bytesPerLine = kWidth;
    std::vector<uint8_t> want;
    uint32_t seed = 12345;
    auto next = [&seed] { return (seed = seed * 1103515245 + 12345) >> 16; };
    while (want.size() < size_t{kWidth} * kHeight) {
      if (f.data.size() + 40 > kChunk - 1 - shift && f.data.size() < kChunk - 1 - shift) {
        f.data.push_back(0x05);  // literals up to the place of the run byte
        want.push_back(0x05);
        if (f.data.size() == kChunk - 1 - shift) Append(f.data, {0xC9, 0xEE}), want.insert(want.end(), 9, 0xEE);
        continue;
      }
      const uint32_t kind = next() % 4, value = next() % 256;
      if (kind == 0 && value < 0xC0) {
        for (uint32_t i = 0, n = 1 + next() % 20; i < n; ++i) {
          const auto v = uint8_t(next() % 0xC0);
          f.data.push_back(v);
          want.push_back(v);
        }
        continue;
      }
      const uint32_t run = kind == 1 ? 1 + next() % 3 : kind == 2 ? next() % 64 : 1 + next() % 16;
      Append(f.data, {uint8_t(0xC0 | run), uint8_t(value)});
      want.insert(want.end(), run, uint8_t(value));
    }
    want.resize(size_t{kWidth} * kHeight);
    const Decoded dib = Read(f.Bytes());
    ASSERT_TRUE(dib);
    for (int y = 0; y < kHeight; ++y) {
      const std::vector<uint8_t> row(want.begin() + (kHeight - 1 - y) * kWidth, want.begin() + (kHeight - y) * kWidth);
      ASSERT_EQ(dib.RowBytes(y, kWidth), row) << "row " << y;
    }
  }
}

TEST(PcxReader, PadBytesAreSkippedUnlessTheManufacturerSaysPacked) {
  PcxFile f;
  f.encoding = 0, f.xmax = 2, f.ymax = 1, f.bytesPerLine = 4, f.data = {1, 2, 3, 0xEE, 4, 5, 6, 0xEE};
  const Decoded padded = Read(f.Bytes());
  ASSERT_TRUE(padded);
  EXPECT_EQ(padded.RowBytes(1, 3), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(padded.RowBytes(0, 3), (std::vector<uint8_t>{4, 5, 6}));

  f.manufacturer = 0xCD, f.data = {1, 2, 3, 4, 5, 6};
  const Decoded packed = Read(f.Bytes());
  ASSERT_TRUE(packed);
  EXPECT_EQ(packed.RowBytes(1, 3), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(packed.RowBytes(0, 3), (std::vector<uint8_t>{4, 5, 6}));
  EXPECT_TRUE(packed.Messages().empty());
}

TEST(PcxReader, AnOffsetOriginOnlySetsTheSize) {
  PcxFile f;
  f.encoding = 0, f.xmin = 10, f.xmax = 12, f.ymin = 5, f.ymax = 5, f.bytesPerLine = 3, f.data = {1, 2, 3};
  const Decoded dib = Read(f.Bytes());
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib.Header().biWidth, 3);
  EXPECT_EQ(dib.Header().biHeight, 1);
  EXPECT_EQ(dib.RowBytes(0, 3), (std::vector<uint8_t>{1, 2, 3}));
}

TEST(PcxReader, MonochromePalettes) {
  PcxFile f;
  f.bits = 1, f.xmax = 9, f.bytesPerLine = 2, f.data = {0xA5, 0xC1, 0x80};
  const Decoded equal = Read(f.Bytes());
  ASSERT_TRUE(equal);
  EXPECT_EQ(equal.Colours(), (Shape{1, 2, 2}));
  EXPECT_EQ(equal.Quad(0), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(equal.Quad(1), (std::vector<int>{255, 255, 255, 0}));
  EXPECT_EQ(equal.RowBytes(0, 2), (std::vector<uint8_t>{0xA5, 0x80}));

  f.headerPalette[0] = 10;  // entry 0 (10, 0, 0), entry 1 (0, 20, 0)
  f.headerPalette[4] = 20;
  const Decoded own = Read(f.Bytes());
  ASSERT_TRUE(own);
  EXPECT_EQ(own.Quad(0), (std::vector<int>{10, 0, 0, 0}));
  EXPECT_EQ(own.Quad(1), (std::vector<int>{0, 20, 0, 0}));

  f.version = 3;
  const Decoded v3 = Read(f.Bytes());
  ASSERT_TRUE(v3);
  EXPECT_EQ(v3.Quad(0), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(v3.Quad(1), (std::vector<int>{0, 0, 128, 0})) << "black and dark blue";
  EXPECT_TRUE(v3.Messages().empty());
}

TEST(PcxReader, FourPlanesGiveOneBitEachAndVersionThreeTakesTheDefaultPalette) {
  PcxFile f;
  f.bits = 1, f.planes = 4, f.xmax = 2, f.bytesPerLine = 2, f.encoding = 0;
  for (int i = 0; i < 48; ++i) f.headerPalette[i] = static_cast<uint8_t>(i + 1);
  // Pixels 0..2: plane 0 (value 1) 101, plane 1 (2) 011, plane 2 (4) 000, plane 3 (8) 111.
  f.data = {0xA0, 0xFF, 0x60, 0xFF, 0x00, 0xFF, 0xE0, 0xFF};
  const Decoded dib = Read(f.Bytes());
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib.Colours(), (Shape{4, 16, 16}));
  EXPECT_EQ(dib.RowBytes(0, 2), (std::vector<uint8_t>{0x9A, 0xB0}));
  EXPECT_EQ(dib.Quad(15), (std::vector<int>{46, 47, 48, 0}));

  f.version = 3;
  const Decoded v3 = Read(f.Bytes());
  ASSERT_TRUE(v3);
  EXPECT_EQ(v3.Quad(1), (std::vector<int>{0, 0, 128, 0}));
  EXPECT_EQ(v3.Quad(8), (std::vector<int>{192, 192, 192, 0}));
  EXPECT_EQ(v3.Quad(15), (std::vector<int>{255, 255, 255, 0}));
  EXPECT_TRUE(v3.Messages().empty());
}

TEST(PcxReader, VersionThreeEightBitKeepsTheFilePaletteAboveSixteen) {
  PcxFile f;
  f.version = 3, f.data = {0xC4, 0x01};
  const Decoded dib = Read(f.Bytes());
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib.Quad(9), (std::vector<int>{0, 0, 255, 0}));
  EXPECT_EQ(dib.Quad(16), (std::vector<int>{16, 239, 8, 0}));
}

TEST(PcxReader, ThreePlanesBecomeBlueGreenRed) {
  PcxFile f;
  f.planes = 3, f.xmax = 1, f.ymax = 1, f.bytesPerLine = 2;
  // Top row: red 10 11, green 20 21, blue 30 31; bottom row from one run of 0x05.
  f.data = {10, 11, 20, 21, 30, 31, 0xC6, 0x05};
  const Decoded dib = Read(f.Bytes());
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib.Colours(), (Shape{24, 0, 0}));
  EXPECT_EQ(dib.Header().biSizeImage, 16u);
  EXPECT_EQ(dib.RowBytes(1, 6), (std::vector<uint8_t>{30, 20, 10, 31, 21, 11}));
  EXPECT_EQ(dib.RowBytes(0, 6), (std::vector<uint8_t>(6, 5)));
}

TEST(PcxReader, DataBehindThePictureAndOverlappingLinesStayInsideTheData) {
  // Within the work block, extra data behind the picture is ignored; a run byte at the very end
  // of the data has nothing to repeat.
  PcxFile runs;
  runs.data = {0xC4, 0x03, 0xFF, 0x02, 0xC2};
  const Decoded dib = Read(runs.Bytes());
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib.RowBytes(0, 4), (std::vector<uint8_t>{3, 3, 3, 3}));
  EXPECT_TRUE(dib.Messages().empty());

  // A bytes-per-line below what a line needs makes the lines overlap, inside the data.
  PcxFile overlap;
  overlap.encoding = 0, overlap.ymax = 1, overlap.bytesPerLine = 2, overlap.data = {1, 2, 3, 4, 5, 6};
  const Decoded lines = Read(overlap.Bytes());
  ASSERT_TRUE(lines);
  EXPECT_EQ(lines.RowBytes(1, 4), (std::vector<uint8_t>{1, 2, 3, 4}));
  EXPECT_EQ(lines.RowBytes(0, 4), (std::vector<uint8_t>{3, 4, 5, 6}));
}

}  // namespace
}  // namespace lmx::test
