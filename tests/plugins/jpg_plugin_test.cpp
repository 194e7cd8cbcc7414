// The JPEG plug-in on libjpeg-turbo's test pictures and the fuzzer's seeds, and on files
// patched or cut from them. Its pixels are compared with Pillow's by the jpg corpus check.
#include <algorithm>

#include "plugins/jpg/jpg_reader.h"
#include "tests/plugins/plugin_fixture.h"

namespace lmx::test {
namespace {

std::wstring TestImage(const wchar_t* name) { return std::wstring(LMX_JPEG_TESTIMAGES) + name; }
std::wstring Seed(const wchar_t* name) { return std::wstring(LMX_JPEG_SEEDS) + name; }

// Offset of the first frame header (SOF0-SOF2) marker.
size_t FrameHeader(const std::vector<uint8_t>& b) {
  for (size_t i = 2; i + 9 < b.size(); ++i) {
    if (b[i] == 0xFF && b[i + 1] >= 0xC0 && b[i + 1] <= 0xC2) return i;
  }
  return 0;
}

std::vector<uint8_t> WithSize(std::vector<uint8_t> b, uint16_t width, uint16_t height) {
  const size_t sof = FrameHeader(b);
  b[sof + 5] = uint8_t(height >> 8);
  b[sof + 6] = uint8_t(height);
  b[sof + 7] = uint8_t(width >> 8);
  b[sof + 8] = uint8_t(width);
  return b;
}

std::vector<uint8_t> Cut(std::vector<uint8_t> b, size_t size) {
  b.resize(size);
  return b;
}

class JpgPlugin : public PluginTest {
 protected:
  JpgPlugin() : PluginTest(L"zlx_jpg.dll", L".jpg") {}
};

TEST_F(JpgPlugin, ReadsEachKindOfFileInItsForm) {
  struct Case {
    std::wstring path;
    int32_t width, height;
    uint16_t bits;
  };
  const Case cases[] = {
      {TestImage(L"testorig.jpg"), 227, 149, 24},     // baseline, 4:2:0
      {TestImage(L"testimgint.jpg"), 227, 149, 24},   // progressive
      {TestImage(L"testimgari.jpg"), 227, 149, 24},   // arithmetic coding
      {Seed(L"cmyk_adobe.jpg"), 40, 28, 24},
      {Seed(L"ycck_adobe.jpg"), 40, 28, 24},
      {Seed(L"progressive_grey.jpg"), 37, 21, 8},
      {Seed(L"exif_orientation_6.jpg"), 21, 37, 24},  // stored 37 x 21, turned upright
  };
  for (const Case& c : cases) {
    Dib dib(plugin.load(c.path.c_str(), 0));
    ASSERT_TRUE(dib) << c.path;
    const DibHeader h = dib.Header();
    EXPECT_EQ(h.biWidth, c.width) << c.path;
    EXPECT_EQ(h.biHeight, c.height) << c.path;
    EXPECT_EQ(h.biBitCount, c.bits) << c.path;
    EXPECT_EQ(h.biClrUsed, c.bits == 8 ? 256u : 0u) << c.path;
    EXPECT_EQ(h.biSizeImage, DibStride(c.width, c.bits) * c.height) << c.path;
    EXPECT_EQ(LocalSize(dib.block), kInfoHeaderSize + h.biClrUsed * 4 + h.biSizeImage) << c.path;
    for (uint32_t i = 0; i < h.biClrUsed; ++i) {
      const RgbQuad q = dib.Colors()[i];
      EXPECT_TRUE(q.red == i && q.green == i && q.blue == i && q.reserved == 0) << i;
    }
  }
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(JpgPlugin, RefusesWhatIsNotAJpegOrBrokenInItsHeadersWithOneBox) {
  const std::vector<uint8_t> good = ReadWholeFile(TestImage(L"testorig.jpg"));
  std::vector<uint8_t> notJpeg = good;
  notJpeg[1] = 0xD9;
  std::vector<uint8_t> shortFrame = good;
  shortFrame[FrameHeader(good) + 3] = 3;  // a frame header of 3 bytes
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    const wchar_t* text;
  };
  const Case cases[] = {
      {"empty", {}, L"No valid JPEG-File!"},
      {"no start of image", notJpeg, L"No valid JPEG-File!"},
      {"cut inside the tables", Cut(good, FrameHeader(good) - 40), L"Error in the header of the JPEG-File!"},
      {"frame header too short", shortFrame, L"Error in the header of the JPEG-File!"},
      {"12-bit samples", ReadWholeFile(TestImage(L"testorig12.jpg")), L"This kind of JPEG-File is not supported!"},
      {"65000 x 65000", WithSize(good, 65000, 65000), L"There is not enough memory for this JPEG picture!"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Load(c.bytes), nullptr) << c.what;
    EXPECT_EQ(Boxes(), std::vector<std::wstring>{std::wstring(L"Error...: ") + c.text}) << c.what;
  }
  EXPECT_EQ(plugin.load(L"Z:\\nonexistent\\picture.jpg", 0), nullptr);
  EXPECT_EQ(Boxes(), std::vector<std::wstring>{L"Error...: Can't open JPEG-File!"});
}

TEST_F(JpgPlugin, AFileCutShortShowsWhatWasDecodedWithAWarning) {
  const std::wstring warning =
      L"Warning...: The JPEG-File is damaged or incomplete. The picture is shown as far as it could be read.";
  // A baseline file is decoded row by row: its top rows come whole, the rest is as libjpeg
  // fills it. A progressive one gets every row, with the detail of the scans that came.
  for (const std::wstring& path : {TestImage(L"testorig.jpg"), Seed(L"progressive_grey.jpg")}) {
    const std::vector<uint8_t> whole = ReadWholeFile(path);
    Dib full(plugin.load(path.c_str(), 0));
    Dib cut(Load(Cut(whole, whole.size() * 3 / 5)));
    ASSERT_TRUE(full && cut) << path;
    const DibHeader h = full.Header();
    EXPECT_EQ(cut.Header().biWidth, h.biWidth);
    EXPECT_EQ(cut.Header().biHeight, h.biHeight);
    EXPECT_EQ(Boxes(), std::vector<std::wstring>{warning}) << path;
    const size_t stride = DibStride(h.biWidth, h.biBitCount);
    const int top = h.biHeight - 1;  // the last DIB row
    EXPECT_EQ(std::equal(full.Row(top), full.Row(top) + stride, cut.Row(top)), h.biBitCount == 24) << path;
    EXPECT_FALSE(std::equal(full.Row(0), full.Row(0) + stride, cut.Row(0))) << path;
  }
}

// A heap that records what it is asked for and gives nothing.
class RecordingHeap final : public BlockHeap {
 public:
  void* Alloc(size_t size) override {
    asked.push_back(size);
    return nullptr;
  }
  void Free(void*) override {}
  bool OutOfMemory() const override { return true; }
  std::vector<size_t> asked;
};

TEST(JpgReader, APictureOverTheBlockCapIsRefusedBeforeABlockIsAsked) {
  const std::vector<uint8_t> huge = WithSize(ReadWholeFile(TestImage(L"testorig.jpg")), 65000, 65000);
  RecordingHeap heap;
  DecodeMessages messages;
  EXPECT_EQ(jpg::ReadJpeg(huge.data(), huge.size(), heap, messages), nullptr);
  EXPECT_TRUE(heap.asked.empty());
  ASSERT_EQ(messages.Count(), 1);
  EXPECT_EQ(messages[0], jpg::kMsgNoMemory);
}

}  // namespace
}  // namespace lmx::test
