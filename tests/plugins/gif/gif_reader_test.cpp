// The GIF reader natively on files written byte by byte with an LZW encoder of the test's own:
// the canvas, tables, interlacing, the code table's limits, and the messages for broken files.
#include "plugins/gif/gif_reader.h"
#include "tests/plugins/common/reader_test.h"
#include "tests/plugins/gif/gif_file.h"

namespace lmx::test {
namespace {

Decoded Read(const Bytes& file) { return ReadSource(gif::ReadGifFile, file); }

// Image data of 9-bit codes, as they are given.
std::vector<uint8_t> Codes(std::initializer_list<uint32_t> codes) {
  CodeWriter w;
  for (uint32_t code : codes) w.Put(code, 9);
  return SubBlocks(w.Finish());
}

TEST(GifReader, SaysWhatIsWrongWithAFile) {
  std::vector<uint8_t> notGif = GifFile(1, 1, 0, true).End();
  notGif[0] = 'J';
  const std::vector<uint8_t> ends = {'G', 'I', 'F', '8', '9', 'a', 2, 0, 2, 0, 0, 0, 0};
  std::vector<uint8_t> trailer = ends;
  trailer.push_back(0x3B);
  std::vector<uint8_t> cut = GifFile(2, 2, 7, true).Image(0, 0, 2, 2, {1, 2, 3, 4}).b;
  cut.resize(cut.size() - 3);  // inside a sub-block
  ExpectAnswers(Read, {
      {"PNG", Text("PNG"), {{gif::kMsgNotGif, E}}, false},
      {"JIF", notGif, {{gif::kMsgNotGif, E}}, false},
      {"version 88a", GifFile(1, 1, 0, true, "88a").End(), {{gif::kMsgUnknownVersion, E}}, false},
      {"version alone", Text("GIF88a"), {{gif::kMsgUnknownVersion, E}}, false},
      {"version cut short", Text("GIF8"), {{gif::kMsgUnknownVersion, E}}, false},
      {"65535 squared", GifFile(65535, 65535, 7, true).End(), {{gif::kMsgNoMemory, E}}, false},
      {"ends after the screen", ends, {{gif::kMsgPrematureEnd, E}}, true},
      {"only a trailer", trailer, {}, true},
      {"unknown block", GifFile(2, 2, 0, true).Raw({0x99}).End(), {{gif::kMsgInvalidPart, E}}, true},
      {"too many local colours", GifFile(2, 1, 2, true).Image(0, 0, 2, 1, {1, 2}, 0x80 | 4, Table(32)).End(),
       {{gif::kMsgWrongColors, E}}, true},
      {"no end code, too few pixels", GifFile(2, 2, 7, true).ImageData(0, 0, 2, 2, Codes({256, 1})).End(),
       {{gif::kMsgLzw, E}}, true},
      {"sub-block cut", cut, {{gif::kMsgReadLoop, E}, {gif::kMsgLzw, E}}, true},
      // Code sizes of 12 and more have no room for their roots.
      {"12-bit roots", GifFile(2, 2, 7, true).ImageData(0, 0, 2, 2, SubBlocks({0xFF, 0xFF}), 0, {}, 12).End(),
       {{gif::kMsgLzw, E}}, true},
  });
}

TEST(GifReader, TheVersionAndABadCodeComeAsTheMessagesValue) {
  const Decoded version = Read(GifFile(1, 1, 0, true, "88a").End());
  ASSERT_EQ(version.Raw().Count(), 1);
  EXPECT_TRUE(version.Raw().At(0).hasValue);
  EXPECT_EQ(version.Raw().At(0).value, uint32_t{'8'} | '8' << 8 | 'a' << 16);
  const Decoded cut = Read(Text("GIF8"));
  ASSERT_EQ(cut.Raw().Count(), 1);
  EXPECT_EQ(cut.Raw().At(0).value, uint32_t{'8'});

  // Code 300 while the next free code is 259: nothing is drawn.
  const Decoded invalid = Read(GifFile(2, 2, 7, true).ImageData(0, 0, 2, 2, Codes({256, 1, 2, 300, 3})).End());
  ASSERT_TRUE(invalid);
  EXPECT_EQ(invalid.Messages(), (Said{{gif::kMsgInvalidCode, E}, {gif::kMsgLzw, E}}));
  EXPECT_EQ(invalid.Raw().At(0).value, 300u);
  EXPECT_EQ(invalid.RowBytes(1, 2), (std::vector<uint8_t>{0, 0}));
}

TEST(GifReader, BrokenFilesShowTheCanvasAsFarAsFilled) {
  GifFile extensionsOnly(2, 2, 0, true);
  extensionsOnly.Raw({0x21, 0xFE, 3, 'a', 'b', 'c', 0, 0x21, 0xFE, 5, 'x'});
  const Decoded empty = Read(extensionsOnly.b);
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty.Header().biWidth, 2);
  EXPECT_EQ(empty.Row(0)[0], 0);
  EXPECT_EQ(empty.Messages(), (Said{{gif::kMsgPrematureEnd, E}}));

  GifFile noTable(2, 1, 7, false);
  const Decoded plain = Read(noTable.Image(0, 0, 2, 1, {1, 2}).End());
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain.Row(0)[0], 0);
  EXPECT_EQ(plain.Messages(), (Said{{gif::kMsgNoColorTable, E}}));

  // No end code but exactly the pixels: fine.
  const Decoded exact = Read(GifFile(2, 2, 7, true).ImageData(0, 0, 2, 2, Codes({256, 1, 2, 3, 4})).End());
  ASSERT_TRUE(exact);
  EXPECT_EQ(exact.RowBytes(1, 2), (std::vector<uint8_t>{1, 2}));
  EXPECT_TRUE(exact.Messages().empty());
}

TEST(GifReader, EightBitImageFillsTheCanvasBottomUp) {
  GifFile f(3, 2, 7, true);
  const Decoded dib = Read(f.Image(0, 0, 3, 2, {1, 2, 3, 4, 5, 6}).End());
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib.Header().biSize, 40u);
  EXPECT_EQ(dib.Shape(), (Shape{3, 2, 1, 8, 0, 8, 2953, 2953, 256, 256}));
  EXPECT_EQ(dib.Quad(5), (std::vector<int>{5, 10, 15, 0}));
  EXPECT_EQ(dib.RowBytes(1, 3), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(dib.RowBytes(0, 3), (std::vector<uint8_t>{4, 5, 6}));
  EXPECT_TRUE(dib.Messages().empty());
}

TEST(GifReader, TableSizeSetsTheCanvasDepth) {
  GifFile sixteen(4, 1, 3, true);
  const Decoded four = Read(sixteen.Image(0, 0, 4, 1, {1, 2, 15, 0}, 0, {}, 4).End());
  ASSERT_TRUE(four);
  EXPECT_EQ(four.Colours(), (Shape{4, 16, 16}));
  EXPECT_EQ(four.RowBytes(0, 2), (std::vector<uint8_t>{0x12, 0xF0}));

  GifFile eight(3, 1, 2, true);
  const Decoded fewer = Read(eight.Image(0, 0, 3, 1, {7, 1, 2}, 0, {}, 3).End());
  ASSERT_TRUE(fewer);
  EXPECT_EQ(fewer.Colours(), (Shape{4, 16, 8}));
  EXPECT_EQ(fewer.Quad(7), (std::vector<int>{7, 14, 21, 0}));
  EXPECT_EQ(fewer.Quad(8), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(fewer.RowBytes(0, 2), (std::vector<uint8_t>{0x71, 0x20}));

  // Two colours: one bit per pixel, eight to a byte, the first in the top bit.
  GifFile two(10, 1, 0, true);
  const Decoded mono = Read(two.Image(0, 0, 10, 1, {1, 0, 1, 1, 0, 0, 0, 1, 1, 1}, 0, {}, 2).End());
  ASSERT_TRUE(mono);
  EXPECT_EQ(mono.Header().biBitCount, 1);
  EXPECT_EQ(mono.Header().biClrUsed, 2u);
  EXPECT_EQ(mono.RowBytes(0, 2), (std::vector<uint8_t>{0xB1, 0xC0}));
  EXPECT_TRUE(mono.Messages().empty());
}

TEST(GifReader, FirstFrameOnlyAtItsPlaceWithIndexZeroAround) {
  GifFile f(20, 10, 7, true);
  f.Raw({0x21, 0xF9, 4, 0x01, 0, 0, 7, 0});  // graphic control: transparent index 7
  f.Image(10, 5, 2, 2, {7, 8, 9, 7});
  f.Raw({0x21, 0xF9, 4, 0x00, 0, 0, 0, 0});
  f.Image(0, 0, 20, 10, std::vector<uint8_t>(200, 0x44));
  const Decoded dib = Read(f.End());
  ASSERT_TRUE(dib);
  // Picture rows 5 and 6 are rows 4 and 3 from the bottom.
  EXPECT_EQ(dib.RowBytes(4, 13), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 8, 0}));
  EXPECT_EQ(dib.RowBytes(3, 13), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 7, 0}));
  for (int y : {0, 1, 2, 5, 9}) EXPECT_EQ(dib.RowBytes(y, 20), std::vector<uint8_t>(20, 0)) << y;
  EXPECT_TRUE(dib.Messages().empty());
}

TEST(GifReader, ImagesAreClippedToTheScreen) {
  GifFile wide(4, 2, 7, true);
  const Decoded cut = Read(wide.Image(2, 1, 4, 2, Ramp(8, 1)).End());
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut.RowBytes(0, 4), (std::vector<uint8_t>{0, 0, 1, 2}));
  EXPECT_EQ(cut.RowBytes(1, 4), (std::vector<uint8_t>{0, 0, 0, 0}));

  GifFile below(4, 2, 7, true);
  const Decoded nothing = Read(below.Image(0, 2, 2, 2, Ramp(4, 1)).End());
  ASSERT_TRUE(nothing);
  EXPECT_EQ(nothing.RowBytes(0, 4), std::vector<uint8_t>(4, 0));
  EXPECT_EQ(nothing.RowBytes(1, 4), std::vector<uint8_t>(4, 0));
  EXPECT_TRUE(nothing.Messages().empty());
}

TEST(GifReader, LeftEdgeMovesToAByteBoundary) {
  GifFile nibbles(8, 1, 3, true);
  const Decoded four = Read(nibbles.Image(3, 0, 2, 1, {0xA, 0xB}, 0, {}, 4).End());
  ASSERT_TRUE(four);
  EXPECT_EQ(four.RowBytes(0, 4), (std::vector<uint8_t>{0x00, 0xAB, 0x00, 0x00})) << "drawn from column 2";

  GifFile bits(24, 1, 0, true);
  const Decoded mono = Read(bits.Image(13, 0, 3, 1, {1, 1, 1}, 0, {}, 2).End());
  ASSERT_TRUE(mono);
  EXPECT_EQ(mono.RowBytes(0, 3), (std::vector<uint8_t>{0x00, 0xE0, 0x00})) << "drawn from column 8";
}

TEST(GifReader, InterlacedRowsComeBackInPictureOrder) {
  // Decode order of a 10-row image: rows 0, 8, 4, 2, 6, 1, 3, 5, 7, 9; each row holds its number.
  std::vector<uint8_t> stream;
  for (int row : {0, 8, 4, 2, 6, 1, 3, 5, 7, 9}) Append(stream, {uint8_t(row), uint8_t(row)});
  GifFile f(2, 10, 7, true);
  const Decoded dib = Read(f.Image(0, 0, 2, 10, stream, 0x40).End());
  ASSERT_TRUE(dib);
  for (int row = 0; row < 10; ++row) {
    EXPECT_EQ(dib.RowBytes(9 - row, 2), (std::vector<uint8_t>{uint8_t(row), uint8_t(row)})) << row;
  }
  // Cut at the screen's bottom, the visible rows still find theirs.
  GifFile shorter(2, 6, 7, true);
  const Decoded part = Read(shorter.Image(0, 1, 2, 10, stream, 0x40).End());
  ASSERT_TRUE(part);
  for (int row = 0; row < 5; ++row) EXPECT_EQ(part.Row(4 - row)[0], row) << row;
  EXPECT_TRUE(part.Messages().empty());
}

TEST(GifReader, LocalTableReplacesTheGlobalOne) {
  GifFile f(2, 1, 7, true);
  const Decoded dib = Read(f.Image(0, 0, 2, 1, {0, 1}, 0x80 | 1, Table(4, 100)).End());
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib.Header().biClrImportant, 4u);
  EXPECT_EQ(dib.Quad(1), (std::vector<int>{101, 2, 3, 0}));
  EXPECT_EQ(dib.Quad(4), (std::vector<int>{4, 8, 12, 0})) << "the global entries above stay";

  GifFile none(2, 1, 7, false);
  const Decoded local = Read(none.Image(0, 0, 2, 1, {0, 1}, 0x80 | 1, Table(4, 100)).End());
  ASSERT_TRUE(local);
  EXPECT_EQ(local.Header().biBitCount, 8);
  EXPECT_EQ(local.Header().biClrImportant, 4u);
  EXPECT_EQ(local.RowBytes(0, 2), (std::vector<uint8_t>{0, 1}));
  EXPECT_TRUE(local.Messages().empty());
}

TEST(GifReader, FullTableGoesOnWithTwelveBitCodes) {
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
  const auto width = static_cast<uint16_t>(expected.size());
  GifFile f(width, 1, 7, true);
  const Decoded dib = Read(f.ImageData(0, 0, width, 1, SubBlocks(w.Finish())).End());
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib.RowBytes(0, width), expected);
  EXPECT_TRUE(dib.Messages().empty());
}

TEST(GifReader, LongStreamsRoundTripThroughTheTable) {
  std::vector<uint8_t> pixels(300 * 40);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>((i / 7) * 13 % 256 ^ (i % 300) / 3);
  GifFile f(300, 40, 7, true);
  const Decoded dib = Read(f.Image(0, 0, 300, 40, pixels).End());
  ASSERT_TRUE(dib);
  for (int y = 0; y < 40; ++y) {
    ASSERT_EQ(dib.RowBytes(39 - y, 300), std::vector<uint8_t>(pixels.begin() + y * 300, pixels.begin() + y * 300 + 300))
        << y;
  }
  EXPECT_TRUE(dib.Messages().empty());
}

TEST(GifReader, OutputBeyondTheImageIsDropped) {
  // Runs far longer than the 2 x 2 image, then the end code: the canvas gets the first four.
  std::vector<uint8_t> pixels(5000);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i < 4 ? i + 1 : 9);
  GifFile f(2, 2, 7, true);
  const Decoded dib = Read(f.ImageData(0, 0, 2, 2, SubBlocks(LzwEncode(pixels, 8))).End());
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib.RowBytes(1, 2), (std::vector<uint8_t>{1, 2}));
  EXPECT_EQ(dib.RowBytes(0, 2), (std::vector<uint8_t>{3, 4}));
  EXPECT_TRUE(dib.Messages().empty());
}

TEST(GifReader, UndefinedCodesRightAfterAClearStayInsideTheTable) {
  // After a clear, code 258 (not yet defined) and then 258 again as the code being defined:
  // the decoder neither loops nor leaves its tables, and takes them without a word.
  GifFile f(4, 1, 7, true);
  const Decoded dib = Read(f.ImageData(0, 0, 4, 1, Codes({256, 258, 258, 258, 257})).End());
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib.Header().biWidth, 4);
  EXPECT_EQ(dib.Header().biHeight, 1);
  EXPECT_TRUE(dib.Messages().empty());
}

}  // namespace
}  // namespace lmx::test
