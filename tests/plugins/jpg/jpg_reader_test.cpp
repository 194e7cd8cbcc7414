// The JPEG reader natively on libjpeg-turbo's test pictures and the fuzzer's seeds, and on
// files patched or cut from them. Its pixels are compared with Pillow's by the jpg corpus check.
#include "plugins/jpg/jpg_reader.h"
#include "tests/plugins/common/reader_test.h"
#include "tests/plugins/jpg/jpg_file.h"

namespace lmx::test {
namespace {

Bytes TestImage(const char* name) { return FileBytes(std::string(LMX_JPEG_TESTIMAGES) + "/" + name); }
Bytes Seed(const char* name) { return FileBytes(std::string("tests/fuzz/regressions/jpg/") + name); }

Decoded Read(const Bytes& file) {
  return Decoded([&](BlockHeap& heap, DecodeMessages& messages) {
    return jpg::ReadJpeg(file.data(), file.size(), heap, messages);
  });
}

TEST(JpgReader, SaysWhatIsWrongWithAFile) {
  const Bytes good = TestImage("testorig.jpg");
  Bytes notJpeg = good;
  notJpeg[1] = 0xD9;
  Bytes shortFrame = good;
  shortFrame[FrameHeader(good) + 3] = 3;  // a frame header of 3 bytes
  const Bytes seed = Seed("exif_orientation_6.jpg");
  ExpectAnswers(Read, {
      {"empty", {}, {{jpg::kMsgNotJpeg, E}}, false},
      {"text", Text("not a jpeg"), {{jpg::kMsgNotJpeg, E}}, false},
      {"no start of image", notJpeg, {{jpg::kMsgNotJpeg, E}}, false},
      {"cut inside the tables", Cut(good, FrameHeader(good) - 40), {{jpg::kMsgBadHeader, E}}, false},
      {"frame header too short", shortFrame, {{jpg::kMsgBadHeader, E}}, false},
      {"12-bit samples", TestImage("testorig12.jpg"), {{jpg::kMsgUnsupported, E}}, false},
      {"65000 x 65000", WithSize(good, 65000, 65000), {{jpg::kMsgNoMemory, E}}, false},
      {"cut", Cut(seed, 700), {{jpg::kMsgDamaged, W}}, true},
      {"whole", seed, {}, true},
  });
}

TEST(JpgReader, ReadsEachKindOfFileInItsForm) {
  struct Case {
    Bytes file;
    int32_t width, height;
    uint16_t bits;
  };
  const Case cases[] = {
      {TestImage("testorig.jpg"), 227, 149, 24},     // baseline, 4:2:0
      {TestImage("testimgint.jpg"), 227, 149, 24},   // baseline, from the integer transform
      {TestImage("testimgari.jpg"), 227, 149, 24},   // arithmetic coding
      {Seed("cmyk_adobe.jpg"), 40, 28, 24},
      {Seed("ycck_adobe.jpg"), 40, 28, 24},
      {Seed("progressive_grey.jpg"), 37, 21, 8},
      {Seed("exif_orientation_6.jpg"), 21, 37, 24},  // stored 37 x 21, turned upright
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width * 1000 + c.bits);
    const Decoded dib = Read(c.file);
    ASSERT_TRUE(dib);
    const DibHeader h = dib.Header();
    EXPECT_EQ(h.biWidth, c.width);
    EXPECT_EQ(h.biHeight, c.height);
    EXPECT_EQ(h.biBitCount, c.bits);
    EXPECT_EQ(h.biClrUsed, c.bits == 8 ? 256u : 0u);
    EXPECT_EQ(h.biSizeImage, DibStride(c.width, c.bits) * c.height);
    for (int i = 0; i < static_cast<int>(h.biClrUsed); ++i) EXPECT_EQ(dib.Quad(i), (std::vector<int>{i, i, i, 0}));
    EXPECT_TRUE(dib.Messages().empty());
  }
}

TEST(JpgReader, AFileCutShortShowsWhatWasDecodedWithAWarning) {
  // A baseline file is decoded row by row: its top rows come whole, the rest is as libjpeg
  // fills it. A progressive one gets every row, with the detail of the scans that came.
  for (const Bytes& whole : {TestImage("testorig.jpg"), Seed("progressive_grey.jpg")}) {
    const Decoded full = Read(whole);
    const Decoded cut = Read(Cut(whole, whole.size() * 3 / 5));
    ASSERT_TRUE(full && cut);
    const DibHeader h = full.Header();
    SCOPED_TRACE(h.biBitCount);
    EXPECT_EQ(cut.Header().biWidth, h.biWidth);
    EXPECT_EQ(cut.Header().biHeight, h.biHeight);
    EXPECT_EQ(cut.Messages(), (Said{{jpg::kMsgDamaged, W}}));
    const size_t stride = DibStride(h.biWidth, h.biBitCount);
    const int top = h.biHeight - 1;  // the last DIB row
    EXPECT_EQ(full.RowBytes(top, stride) == cut.RowBytes(top, stride), h.biBitCount == 24);
    EXPECT_NE(full.RowBytes(0, stride), cut.RowBytes(0, stride));
  }
}

TEST(JpgReader, APictureOverTheBlockCapIsRefusedBeforeABlockIsAsked) {
  const Bytes huge = WithSize(TestImage("testorig.jpg"), 65000, 65000);
  RecordingHeap heap;
  DecodeMessages messages;
  EXPECT_EQ(jpg::ReadJpeg(huge.data(), huge.size(), heap, messages), nullptr);
  EXPECT_TRUE(heap.asked.empty());
  ASSERT_EQ(messages.Count(), 1);
  EXPECT_EQ(messages[0], jpg::kMsgNoMemory);
}

}  // namespace
}  // namespace lmx::test
