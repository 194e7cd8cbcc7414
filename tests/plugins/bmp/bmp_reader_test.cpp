// The BMP reader natively on bitmap files written byte by byte: headers, colour tables,
// run-length streams and the messages for files it refuses.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "plugins/bmp/bmp_reader.h"
#include "tests/plugins/bmp/bmp_file.h"
#include "tests/plugins/common/reader_test.h"

namespace lmx::test {
namespace {

Decoded Read(const Bytes& file) { return ReadSource(bmp::ReadBitmapFile, file); }

// A file of width x height at `bits` with `compression` and, up to 8 bits, a table of zeros.
BmpFile Plain(int32_t width, int32_t height, uint16_t bits, uint32_t compression = 0) {
  BmpFile f;
  f.width = width, f.height = height, f.bitCount = bits, f.compression = compression;
  if (bits <= 8) f.colors.assign(4u << bits, 0);
  const uint64_t rows = DibStride(width, bits) * height;
  f.pixels.assign(rows < 4096 ? rows : 0, 0);
  return f;
}

TEST(BmpReader, SaysWhatIsWrongWithAFile) {
  const std::vector<uint8_t> bmp24 = Plain(2, 2, 24).Bytes();
  std::vector<uint8_t> ba = BmpFile().Bytes();
  ba[1] = 'A';
  BmpFile v4;
  v4.infoSize = 108;
  // An OS/2 file of 26 + 6 bytes: the 40-byte header read comes up short.
  std::vector<uint8_t> os2 = {'B', 'M'};
  os2.resize(14);
  Append(os2, {12, 0, 0, 0, 1, 0, 1, 0, 1, 0, 1, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF});
  BmpFile rle1;
  rle1.bitCount = 1, rle1.compression = 1, rle1.clrUsed = 2, rle1.colors = GreyTable(2);
  rle1.pixels = {0x02, 0x01, 0x00, 0x01};
  BmpFile huge;
  huge.width = huge.height = 0x7FFFFFFF, huge.bitCount = 24;
  BmpFile hugeTable;
  hugeTable.clrUsed = 0x40000000;
  std::vector<Answer> answers = {
      {"empty", {}, {{bmp::kMsgNotBitmap, E}}, false},
      {"B only", {'B'}, {{bmp::kMsgNotBitmap, E}}, false},
      {"BA", ba, {{bmp::kMsgNotBitmap, E}}, false},
      {"cut in its header", Bytes(bmp24.begin(), bmp24.begin() + 30), {{bmp::kMsgInfoHeaderRead, E}}, false},
      {"OS/2 header cut", os2, {{bmp::kMsgInfoHeaderRead, E}}, false},
      {"108-byte header", v4.Bytes(), {{bmp::kMsgUnknownFormat, E}}, false},
      {"3 bits", Plain(2, 2, 3).Bytes(), {{bmp::kMsgUnknownFormat, E}}, false},
      {"over the cap", Plain(20000, 20000, 24).Bytes(), {{bmp::kMsgNoMemory, E}}, false},
      {"2^31 squared", huge.Bytes(), {{bmp::kMsgNoMemory, E}}, false},
      {"2^30 colours", hugeTable.Bytes(), {{bmp::kMsgNoMemory, E}}, false},
      {"run-length at 24 bits", Plain(2, 2, 24, bmp::kRle8).Bytes(), {{bmp::kMsgInvalidRle, E}, {bmp::kMsgNotBitmap, E}},
       false},
      {"run-length at 1 bit", rle1.Bytes(), {{bmp::kMsgInvalidRle, E}, {bmp::kMsgNotBitmap, E}}, false},
      {"24 bits", bmp24, {}, true},
      {"24 bits, rows cut", Bytes(bmp24.begin(), bmp24.end() - 5), {}, true},
  };
  // Top-down, negative widths and bit counts no bitmap has.
  const int32_t kOdd[][3] = {{4, -2, 8}, {-4, 2, 8}, {4, 2, 0}, {4, 2, 2}, {4, 2, 30000}};
  for (const auto& c : kOdd) {
    BmpFile f;
    f.width = c[0], f.height = c[1], f.bitCount = static_cast<uint16_t>(c[2]);
    f.pixels.assign(8, 1);
    answers.push_back({"odd size or depth", f.Bytes(), {{bmp::kMsgUnknownFormat, E}}, false});
  }
  ExpectAnswers(Read, answers);
}

TEST(BmpReader, Os2CoreHeaderBecomesAnInfoHeaderWithWidenedColours) {
  // 12-byte header, 2 x 2 at 1 bit, 3-byte palette entries.
  std::vector<uint8_t> b = {'B', 'M'};
  b.resize(14);
  Put32(b, 10, 14 + 12 + 6);
  Append(b, {12, 0, 0, 0, 2, 0, 2, 0, 1, 0, 1, 0});
  Append(b, {0x10, 0x20, 0x30, 0xF0, 0xE0, 0xD0});
  Append(b, {0x80, 0, 0, 0, 0x40, 0, 0, 0});
  while (b.size() < 54) b.push_back(0);  // the info header is always read as 40 bytes
  const Decoded dib = Read(b);
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib.Header().biSize, 40u);
  EXPECT_EQ(dib.Shape(), (Shape{2, 2, 1, 1, 0, 8, 2953, 2953, 2, 0}));
  EXPECT_EQ(dib.Quad(0), (std::vector<int>{0x30, 0x20, 0x10, 0}));
  EXPECT_EQ(dib.Quad(1), (std::vector<int>{0xD0, 0xE0, 0xF0, 0}));
  EXPECT_EQ(dib.Row(0)[0], 0x80);
  EXPECT_EQ(dib.Row(1)[0], 0x40);
  EXPECT_TRUE(dib.Messages().empty());
}

TEST(BmpReader, TwentyFourBitKeepsOnlyTheTableTheFileGives) {
  BmpFile f;
  f.width = 1, f.height = 1, f.bitCount = 24, f.pixels = {1, 2, 3, 0};
  const Decoded plain = Read(f.Bytes());
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain.Header().biClrUsed, 0u);
  EXPECT_EQ(plain.Header().biXPelsPerMeter, 3780) << "an uncompressed 40-byte header keeps its resolution";
  EXPECT_EQ(plain.Pixels()[2], 3);

  f.clrUsed = 256, f.colors = GreyTable(256);
  const Decoded tabled = Read(f.Bytes());
  ASSERT_TRUE(tabled);
  EXPECT_EQ(tabled.Header().biClrUsed, 256u);
  EXPECT_EQ(tabled.Quad(255)[0], 255);
  EXPECT_EQ(tabled.Pixels()[0], 1);
}

TEST(BmpReader, SixteenThirtyTwoAndBitFieldsPassOnWithoutATableAndWithTheirMasks) {
  for (uint16_t bits : {16, 32}) {
    BmpFile f;
    f.width = 2, f.height = 1, f.bitCount = bits;
    f.pixels.assign(8, 0x5A);
    const Decoded dib = Read(f.Bytes());
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib.Header().biBitCount, bits);
    EXPECT_EQ(dib.Header().biClrUsed, 0u);
    EXPECT_EQ(dib.Pixels()[0], 0x5A);
  }
  BmpFile f;
  f.width = 1, f.height = 1, f.bitCount = 16, f.compression = 3;
  f.sizeImage = 2;  // wrong: bit-field rows are plain rows, read with their own size
  f.colors = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};  // masks, counted in bfOffBits
  f.pixels = {0x34, 0x12, 0, 0};
  const Decoded dib = Read(f.Bytes());
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib.Header().biCompression, 3u);
  EXPECT_EQ(dib.Header().biClrUsed, 0u);
  EXPECT_EQ(dib.Header().biSizeImage, 4u);
  // The masks follow the header as in the file; the pixels follow them.
  EXPECT_EQ(std::vector<uint8_t>(dib.Bytes() + 40, dib.Bytes() + 52), f.colors);
  EXPECT_EQ(dib.Pixels()[0], 0x34);
  EXPECT_EQ(dib.Pixels()[1], 0x12);
}

TEST(BmpReader, UncompressedSizeIsComputedAndAShortFileReadsAsZeros) {
  BmpFile f;
  f.width = 3, f.height = 2, f.clrUsed = 4, f.colors = GreyTable(4);
  f.sizeImage = 1000;  // wrong
  f.pixels = {1, 2, 3, 0, 3};  // the file ends inside the top row
  const Decoded dib = Read(f.Bytes());
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib.Header().biSizeImage, 8u);
  EXPECT_EQ(dib.RowBytes(1, 3), (std::vector<uint8_t>{3, 0, 0}));
  EXPECT_TRUE(dib.Messages().empty());
}

TEST(BmpReader, ZeroOffBitsReadsThePixelsBehindTheColourTable) {
  BmpFile f;
  f.clrUsed = 2, f.colors = GreyTable(2), f.pixels = {1, 0, 1, 1}, f.zeroOffBits = true;
  const Decoded dib = Read(f.Bytes());
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib.RowBytes(0, 4), f.pixels);
}

TEST(BmpReader, Rle8RunsEndOfBitmapAndAbsoluteRunPadding) {
  BmpFile f;
  f.compression = 1, f.clrUsed = 8, f.colors = GreyTable(8), f.xPels = 9999, f.pixels = {0x03, 0x05, 0x00, 0x01};
  const Decoded run = Read(f.Bytes());
  ASSERT_TRUE(run);
  EXPECT_EQ(run.RowBytes(0, 4), (std::vector<uint8_t>{5, 5, 5, 0}));
  EXPECT_EQ(run.Header().biCompression, 0u);
  EXPECT_EQ(run.Header().biSizeImage, 4u);
  EXPECT_EQ(run.Header().biXPelsPerMeter, 2953);

  // Absolute run of 3, one pad byte, then a run of 1 and the end. The header states no
  // size, and the stream is longer than the row it expands to: it is read to the file's end.
  f.pixels = {0x00, 0x03, 7, 6, 5, 0xEE, 0x01, 0x02, 0x00, 0x01};
  const Decoded absolute = Read(f.Bytes());
  ASSERT_TRUE(absolute);
  EXPECT_EQ(absolute.RowBytes(0, 4), (std::vector<uint8_t>{7, 6, 5, 2}));
}

TEST(BmpReader, Rle4RulesFollowTheBitCount) {
  BmpFile f;
  f.width = 5, f.bitCount = 4;
  f.compression = 1;  // says RLE8, but the pixels are 4 bits
  f.clrUsed = 16, f.colors = GreyTable(16), f.pixels = {0x05, 0x12, 0x00, 0x01};
  const Decoded dib = Read(f.Bytes());
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib.RowBytes(0, 3), (std::vector<uint8_t>{0x12, 0x12, 0x10}));

  // Absolute RLE4 run of 3 pixels in 2 bytes (no pad: the byte count is even), a delta from
  // x = 3 to (4, 1), and a run of two whose second pixel falls outside the 5-pixel row.
  f.compression = 2, f.height = 2;
  f.pixels = {0x00, 0x03, 0xAB, 0xC0, 0x00, 0x02, 0x01, 0x01, 0x02, 0x77, 0x00, 0x01};
  const Decoded absolute = Read(f.Bytes());
  ASSERT_TRUE(absolute);
  EXPECT_EQ(absolute.RowBytes(0, 3), (std::vector<uint8_t>{0xAB, 0xC0, 0x00}));
  EXPECT_EQ(absolute.RowBytes(1, 3), (std::vector<uint8_t>{0x00, 0x00, 0x70}));
}

TEST(BmpReader, RunLengthStreamsNeverWriteOutsideTheirRows) {
  BmpFile f;
  f.width = 3, f.height = 2, f.compression = 1, f.clrUsed = 2, f.colors = GreyTable(2);
  // A run far wider than the row, a delta past the top, and a stream cut inside a pair.
  f.pixels = {0xFF, 0x01, 0x00, 0x00, 0x02, 0x01, 0x00, 0x02, 0xFF, 0xFF, 0x05};
  const Decoded dib = Read(f.Bytes());
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib.RowBytes(0, 4), (std::vector<uint8_t>{1, 1, 1, 0}));
  EXPECT_EQ(dib.RowBytes(1, 4), (std::vector<uint8_t>{1, 1, 0, 0}));
  EXPECT_TRUE(dib.Messages().empty());

  // An absolute run that claims more bytes than the stream holds stops the expansion.
  f.pixels = {0x00, 0xFE, 1, 1};
  const Decoded cut = Read(f.Bytes());
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut.Row(0)[0], 0);
}

// Run-length files whose bytes are mapped expand their stream where it lies; whatever the
// stream (whole, cut short, sized 0, claiming more than the file), the outcome is the one of
// reading it into the block first.
TEST(BmpReader, RunLengthFilesReadMappedDecodeAsReadThroughTheHandle) {
  std::vector<std::pair<std::string, Bytes>> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(std::string(LMX_CORPUS_DIR) + "/bmpsuite")) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() != ".bmp" || name.find("rle") == std::string::npos) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    files.emplace_back(name, Bytes(std::istreambuf_iterator<char>(in), {}));
  }
  ASSERT_GE(files.size(), 10u);
  BmpFile f;
  f.width = 3, f.height = 2, f.compression = 1, f.clrUsed = 2, f.colors = GreyTable(2);
  f.pixels = {0x02, 0x01, 0x00, 0x00, 0x03, 0x01, 0x00, 0x01};
  files.emplace_back("written", f.Bytes());
  Bytes cut = f.Bytes();
  cut.resize(cut.size() - 3);
  files.emplace_back("cut inside its stream", cut);
  for (const auto& named : files) {
    SCOPED_TRACE(named.first);
    const Bytes& bytes = named.second;
    const Decoded read = Read(bytes);
    const Decoded mapped = ReadSource([&](ByteSource& source, BlockHeap& heap, DecodeMessages& messages) {
      return bmp::ReadMappedBitmap(source, bytes.data(), heap, messages);
    }, bytes);
    ASSERT_EQ(bool(read), bool(mapped));
    EXPECT_EQ(read.Messages(), mapped.Messages());
    if (!read) continue;
    const DibHeader h = read.Header();
    const size_t size = kInfoHeaderSize + h.biClrUsed * 4 + DibStride(h.biWidth, h.biBitCount) * h.biHeight;
    EXPECT_EQ(Bytes(read.Bytes(), read.Bytes() + size), Bytes(mapped.Bytes(), mapped.Bytes() + size));
  }
}

}  // namespace
}  // namespace lmx::test
