// GfxImage over packed DIBs from a plug-in: its palette, its display bitmap as StretchBlt
// puts it on a real device context (16- and 32-bit bitmaps of the BMP suite against the
// suite's reference renderings), stepping through pictures, the transforms and their
// messages with the language component's texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "common/utils.h"
#include "picture/gfx_image.h"
#include "plugins/common/packed_dib.h"
#include "plugins/common/plugin_api.h"
#include "tests/support/reference_image.h"
#include "tests/support/test_bytes.h"
#include "tests/support/test_env.h"
#include "tools/support/message_capture.h"

namespace lmx::test {
namespace {

using Block = std::vector<uint8_t>;
using Messages = std::vector<std::pair<std::wstring, std::wstring>>;

struct Bgr {
  uint8_t b, g, r;
};

// A packed DIB; `table` gives the colours, the pixel bytes start zeroed.
Block MakeDib(int32_t w, int32_t h, uint16_t bits, const std::vector<Bgr>& table = {}) {
  Block b = test::MakeDib(w, h, bits, uint32_t(table.size()));
  for (size_t i = 0; i < table.size(); ++i) {
    b[40 + 4 * i] = table[i].b, b[41 + 4 * i] = table[i].g, b[42 + 4 * i] = table[i].r;
  }
  return b;
}
uint8_t* PixelsOf(Block& b) { return b.data() + 40 + 4 * ReadDibHeader(b.data()).biClrUsed; }

std::vector<Bgr> Greys(int n) {
  std::vector<Bgr> t;
  for (int i = 0; i < n; ++i) t.push_back({uint8_t(i * 255 / (n - 1)), uint8_t(i * 255 / (n - 1)), uint8_t(i * 255 / (n - 1))});
  return t;
}

// A plug-in that hands out copies of blocks built by the test, as LocalAlloc blocks.
class FakePlugIn final : public PictureSource {
 public:
  explicit FakePlugIn(std::vector<Block> pictures) : pictures_(std::move(pictures)) {}
  BOOL FileInfo(const wchar_t*, DWORD* count) override {
    *count = static_cast<DWORD>(pictures_.size());
    return TRUE;
  }
  void* LoadPicture(const wchar_t*, DWORD index) override {
    loads.push_back(index);
    if (index >= pictures_.size() || pictures_[index].empty()) return nullptr;
    void* block = LocalAlloc(LPTR, pictures_[index].size());
    std::memcpy(block, pictures_[index].data(), pictures_[index].size());
    return block;
  }
  std::vector<DWORD> loads;

 private:
  std::vector<Block> pictures_;
};

// A 24-bit top-down surface that StretchBlt draws on.
class Canvas {
 public:
  Canvas(int w, int h) : w_(w) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    bitmap_ = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bitmap_);
    std::memset(bits_, 0x55, DibStride(w, 24) * h);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  HDC Dc() const { return dc_; }
  Bgr At(int x, int y) const {
    GdiFlush();
    const uint8_t* p = bits_ + y * DibStride(w_, 24) + 3 * x;
    return {p[0], p[1], p[2]};
  }
  // The whole picture stretched onto w x h pixels at the top left.
  BOOL Draw(const GfxImage* image, int w, int h) {
    const DWORD size = GfxImage_Size(image);
    const RECT dst{0, 0, w, h}, src{0, 0, LOWORD(size), HIWORD(size)};
    return GfxImage_StretchToDevice(image, dc_, dst, src);
  }

 private:
  int w_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  HDC dc_;
  uint8_t* bits_ = nullptr;
};

// The BMP plug-in as built, bound as the document binds it.
struct BmpPlugIn {
  ~BmpPlugIn() { FreeLibrary(library); }
  HMODULE library = LoadBuilt(L"zlx_bmp.dll");
  BoundPlugIn bound{reinterpret_cast<LmxGetFileInfoFn>(GetProcAddress(library, "LMX_GetFileInfo")),
                    reinterpret_cast<LmxLoadGfxFileFn>(GetProcAddress(library, "LMX_LoadGfxFile"))};
};

bool operator==(const Bgr& a, const Bgr& b) { return a.b == b.b && a.g == b.g && a.r == b.r; }
std::ostream& operator<<(std::ostream& os, const Bgr& c) {
  return os << "rgb(" << int(c.r) << "," << int(c.g) << "," << int(c.b) << ")";
}

class GfxImageTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    lang_ = LoadBuilt(L"LumivexLangComp.dll");
    SetResourceModule(lang_);
  }
  static std::wstring Text(UINT id) {
    wchar_t buffer[200] = {};
    LoadStringW(lang_, id, buffer, 200);
    return buffer;
  }
  Messages Captured() {
    Messages m;
    for (const auto& c : capture.Messages()) m.emplace_back(c.caption, c.text);
    capture.Clear();
    return m;
  }
  // A record holding the first picture of `pictures`.
  GfxImage* Open(FakePlugIn& plugIn) {
    GfxImage* image = GfxImage_Create(&plugIn, L"\\pictures\\test.pic");
    EXPECT_TRUE(GfxImage_Load(image));
    return image;
  }

  static HMODULE lang_;
  MessageCapture capture;
};
HMODULE GfxImageTest::lang_;

TEST_F(GfxImageTest, TwentyFourBitsWithoutTableGetTheFixedPalette) {
  FakePlugIn plugIn({MakeDib(2, 2, 24)});
  GfxImage* image = Open(plugIn);
  ASSERT_NE(image->palette, nullptr);
  PALETTEENTRY e[256];
  ASSERT_EQ(GetPaletteEntries(image->palette, 0, 256, e), 256u);
  EXPECT_EQ(RGB(e[9].peRed, e[9].peGreen, e[9].peBlue), RGB(32, 32, 0));
  EXPECT_EQ(RGB(e[255].peRed, e[255].peGreen, e[255].peBlue), RGB(224, 224, 192));
  EXPECT_NE(image->dibSection, nullptr);
  EXPECT_NE(image->memoryDC, nullptr);
  GfxImage_Destroy(image);
  EXPECT_TRUE(Captured().empty());
}

TEST_F(GfxImageTest, SixteenColourEightBitPictureIsFoundBehindItsShortTable) {
  Block dib = MakeDib(3, 1, 8, Greys(16));
  dib[40 + 4 * 5 + 2] = 200;  // entry 5 reddish
  PixelsOf(dib)[1] = 5;
  FakePlugIn plugIn({dib});
  GfxImage* image = Open(plugIn);
  EXPECT_EQ(GetPaletteEntries(image->palette, 0, 0, nullptr), 16u);
  EXPECT_EQ(GfxImage_ColorCount(image), 16u);
  EXPECT_EQ(GfxImage_PixelRows(image), static_cast<BYTE*>(image->dib) + 40 + 64);
  EXPECT_EQ(GfxImage_Size(image), MAKELONG(3, 1));
  Canvas canvas(3, 1);
  ASSERT_TRUE(canvas.Draw(image, 3, 1));
  EXPECT_EQ(canvas.At(0, 0), (Bgr{0, 0, 0}));
  EXPECT_EQ(canvas.At(1, 0), (Bgr{85, 85, 200}));
  GfxImage_Destroy(image);
}

// A bitmap file: 8 x 2 pixels at one bit, top row 11110000, bottom row 00001111.
Block TwoColourFile(Bgr first, Bgr second) {
  Block f(14 + 40 + 8 + 8);
  f[0] = 'B', f[1] = 'M';
  Put32(f, 2, uint32_t(f.size()));
  Put32(f, 10, 62);
  Block dib = MakeDib(8, 2, 1, {first, second});
  std::memcpy(&f[14], dib.data(), 48);
  f[62] = 0x0F;  // bottom row first
  f[66] = 0xF0;
  return f;
}

TEST_F(GfxImageTest, TwoColourPicturesShowTheColoursTheirFilesDefine) {
  BmpPlugIn plugIn;
  ASSERT_NE(plugIn.library, nullptr);
  const Bgr white{255, 255, 255}, black{0, 0, 0}, navy{128, 0, 0}, gold{0, 215, 255};
  for (auto [first, second] : {std::pair{white, black}, std::pair{black, white}, std::pair{gold, navy}}) {
    SCOPED_TRACE(testing::Message() << "table " << first << ", " << second);
    TempFile file(TwoColourFile(first, second));
    GfxImage* image = GfxImage_Create(&plugIn.bound, file.Path());
    EXPECT_EQ(image->imageCount, 1u);
    ASSERT_TRUE(GfxImage_Load(image));
    // The bits stay as the file has them, and so does the table.
    const uint8_t* rows = GfxImage_PixelRows(image);
    EXPECT_EQ(rows[0], 0x0F);
    EXPECT_EQ(rows[4], 0xF0);
    const auto* table = static_cast<const uint8_t*>(image->dib) + 40;
    EXPECT_EQ(table[0], first.b);
    EXPECT_EQ(table[2], first.r);

    Canvas canvas(16, 4);
    ASSERT_TRUE(canvas.Draw(image, 16, 4));  // twice the size, as the view stretches
    EXPECT_EQ(canvas.At(0, 0), second);   // top row: index 1 on the left
    EXPECT_EQ(canvas.At(15, 0), first);
    EXPECT_EQ(canvas.At(0, 3), first);   // bottom row: index 0 on the left
    EXPECT_EQ(canvas.At(15, 3), second);

    // An inverted two-colour picture swaps its colours on screen.
    ASSERT_EQ(GfxImage_Invert(image), 1);
    ASSERT_TRUE(canvas.Draw(image, 16, 4));
    EXPECT_EQ(canvas.At(0, 0), first);
    EXPECT_EQ(canvas.At(15, 3), first);
    GfxImage_Destroy(image);
  }
  EXPECT_TRUE(Captured().empty());
}

TEST_F(GfxImageTest, SteppingThroughThreePicturesStopsAtEitherEnd) {
  FakePlugIn plugIn({MakeDib(1, 1, 8, Greys(256)), MakeDib(2, 2, 8, Greys(256)), MakeDib(3, 3, 24)});
  GfxImage* image = Open(plugIn);
  EXPECT_EQ(image->imageCount, 3u);
  EXPECT_FALSE(GfxImage_HasPrevious(image));
  EXPECT_TRUE(GfxImage_HasNext(image));
  EXPECT_EQ(GfxImage_Previous(image), 0);
  EXPECT_EQ(image->imageIndex, 0u);
  EXPECT_EQ(GfxImage_Next(image), 1);
  EXPECT_EQ(GfxImage_Size(image), MAKELONG(2, 2));
  EXPECT_EQ(GfxImage_Next(image), 1);
  EXPECT_EQ(image->imageIndex, 2u);
  EXPECT_EQ(GfxImage_Size(image), MAKELONG(3, 3));
  EXPECT_FALSE(GfxImage_HasNext(image));
  EXPECT_TRUE(GfxImage_HasPrevious(image));
  EXPECT_EQ(GfxImage_Next(image), 0);
  EXPECT_EQ(image->imageIndex, 2u);
  EXPECT_NE(image->dib, nullptr);
  EXPECT_EQ(GfxImage_Previous(image), 1);
  EXPECT_EQ(image->imageIndex, 1u);
  EXPECT_EQ(plugIn.loads, (std::vector<DWORD>{0, 1, 2, 1}));
  GfxImage_Destroy(image);
  EXPECT_TRUE(Captured().empty());
}

TEST_F(GfxImageTest, AFailedStepLeavesNoPictureAndNoMessageOfItsOwn) {
  FakePlugIn plugIn({MakeDib(1, 1, 24), Block{}});
  GfxImage* image = Open(plugIn);
  EXPECT_EQ(GfxImage_Next(image), 1);
  EXPECT_EQ(image->dib, nullptr);
  EXPECT_EQ(image->palette, nullptr);
  EXPECT_EQ(image->memoryDC, nullptr);
  EXPECT_TRUE(Captured().empty());
  GfxImage_Destroy(image);
}

TEST_F(GfxImageTest, ReleasingTwiceFreesNothingTheSecondTime) {
  FakePlugIn plugIn({MakeDib(4, 4, 8, Greys(256))});
  GfxImage* image = Open(plugIn);
  GfxImage_Release(image);
  EXPECT_EQ(image->dib, nullptr);
  EXPECT_EQ(image->palette, nullptr);
  EXPECT_EQ(image->dibSection, nullptr);
  EXPECT_EQ(image->savedBitmap, nullptr);
  EXPECT_EQ(image->memoryDC, nullptr);
  GfxImage_Release(image);
  EXPECT_EQ(image->imageCount, 1u);
  EXPECT_NE(image->filePath, nullptr);
  // Released, it loads again through the plug-in.
  EXPECT_TRUE(GfxImage_Load(image));
  GfxImage_Destroy(image);
  EXPECT_TRUE(Captured().empty());
}

TEST_F(GfxImageTest, TransformsWithoutAPictureSayWhy) {
  FakePlugIn plugIn({MakeDib(4, 4, 8, Greys(256))});
  GfxImage* image = GfxImage_Create(&plugIn, L"\\pictures\\test.pic");
  EXPECT_EQ(GfxImage_Transform(image, 3), 0);
  EXPECT_EQ(Captured(), (Messages{{Text(240), Text(256)}, {L"Internal Error...", Text(299)}}));
  EXPECT_EQ(GfxImage_Invert(image), 0);
  EXPECT_EQ(Captured(), (Messages{{Text(240), Text(261)}}));
  EXPECT_EQ(GfxImage_BitDepth(image), -1);
  EXPECT_EQ(Captured(), (Messages{{Text(240), Text(256)}}));
  GfxImage_Destroy(image);
}

TEST_F(GfxImageTest, MalformedPicturesAreRefusedWithTheirNumbers) {
  Block compressed = MakeDib(4, 4, 8, Greys(256));
  Put32(compressed, 16, 1);
  Block coreHeader = MakeDib(4, 4, 8, Greys(256));
  Put32(coreHeader, 0, 12);
  Block overlong = MakeDib(4, 4, 24);
  Put32(overlong, 8, 4000);  // rows that the block does not hold
  FakePlugIn plugIn({compressed, coreHeader, overlong});
  GfxImage* image = Open(plugIn);

  // Compressed: no display bitmap; the transform says 296 as an image error, the invert
  // as an argument error.
  EXPECT_EQ(image->memoryDC, nullptr);
  EXPECT_TRUE(Captured().empty());
  void* const block = image->dib;
  EXPECT_EQ(GfxImage_Transform(image, 2), 0);
  EXPECT_EQ(Captured(), (Messages{{Text(241), Text(296)}}));
  EXPECT_EQ(GfxImage_Invert(image), 0);
  EXPECT_EQ(Captured(), (Messages{{Text(240), Text(296)}}));
  EXPECT_EQ(image->dib, block);

  // A header that is not 40 bytes: the palette cannot be built, nor the picture turned.
  EXPECT_EQ(GfxImage_Next(image), 1);
  EXPECT_EQ(Captured(), (Messages{{Text(241), Text(297)}}));
  EXPECT_EQ(GfxImage_Transform(image, 4), 0);
  EXPECT_EQ(GfxImage_Invert(image), 0);
  EXPECT_EQ(Captured(), (Messages{{Text(241), Text(297)}, {Text(241), Text(297)}}));

  // Sizes past the block: nothing is drawn, and nothing is read beyond the block.
  EXPECT_EQ(GfxImage_Next(image), 1);
  EXPECT_EQ(image->memoryDC, nullptr);
  EXPECT_EQ(GfxImage_Transform(image, 1), 0);
  EXPECT_EQ(GfxImage_Invert(image), 0);
  EXPECT_EQ(Captured(), (Messages{{Text(241), Text(297)}, {Text(241), Text(297)}}));
  GfxImage_Destroy(image);
}

TEST_F(GfxImageTest, TransformedPicturesAreDrawnTransformed) {
  // 24 bits, 3 x 2: top row red, green, blue; bottom row white, grey, black.
  Block dib = MakeDib(3, 2, 24);
  const Bgr red{0, 0, 255}, green{0, 255, 0}, blue{255, 0, 0}, white{255, 255, 255}, grey{128, 128, 128},
      black{0, 0, 0};
  const Bgr top[3] = {red, green, blue}, bottom[3] = {white, grey, black};
  for (int x = 0; x < 3; ++x) {
    std::memcpy(PixelsOf(dib) + 12 + 3 * x, &top[x], 3);
    std::memcpy(PixelsOf(dib) + 3 * x, &bottom[x], 3);
  }
  FakePlugIn plugIn({dib});
  GfxImage* image = Open(plugIn);

  ASSERT_EQ(GfxImage_Transform(image, 1), 1);
  EXPECT_EQ(GfxImage_Size(image), MAKELONG(2, 3));
  EXPECT_EQ(GfxImage_XResolution(image), 2953);
  EXPECT_EQ(ReadDibHeader(image->dib).biYPelsPerMeter, 2953);
  Canvas canvas(2, 3);
  ASSERT_TRUE(canvas.Draw(image, 2, 3));
  EXPECT_EQ(canvas.At(0, 0), white);
  EXPECT_EQ(canvas.At(1, 0), red);
  EXPECT_EQ(canvas.At(0, 2), black);
  EXPECT_EQ(canvas.At(1, 2), blue);

  ASSERT_EQ(GfxImage_Apply(image, 2), 1);
  ASSERT_EQ(GfxImage_Apply(image, 5), 1);  // upside down: bottom row on top
  ASSERT_EQ(GfxImage_Apply(image, 6), 1);
  Canvas flipped(3, 2);
  ASSERT_TRUE(flipped.Draw(image, 3, 2));
  EXPECT_EQ(flipped.At(0, 0), black);
  EXPECT_EQ(flipped.At(1, 0), (Bgr{127, 127, 127}));
  EXPECT_EQ(flipped.At(0, 1), (Bgr{255, 255, 0}));
  EXPECT_EQ(flipped.At(2, 1), (Bgr{0, 255, 255}));
  GfxImage_Destroy(image);
  EXPECT_TRUE(Captured().empty());
}

TEST_F(GfxImageTest, FramesStandingInForThePictureKeepTheFilesFacts) {
  // An 8-bit picture whose animation's 24-bit frames replace it: the file's depth,
  // compression and resolution are told until another picture is loaded; a frame turned keeps
  // them, the size follows the frame.
  Block still = MakeDib(4, 2, 8, Greys(256));
  FakePlugIn plugIn({still, MakeDib(4, 2, 24)});
  GfxImage* image = Open(plugIn);
  const auto facts = [&] {
    int depth = 0;
    DWORD compression = 99;
    LONG resolution = 0;
    EXPECT_TRUE(GfxImage_FileFacts(image, &depth, &compression, &resolution));
    return std::vector<long>{depth, long(compression), resolution, long(GfxImage_Size(image))};
  };
  const std::vector<long> stillFacts = {8, 0, 3780, long(MAKELONG(4, 2))};
  EXPECT_EQ(facts(), stillFacts);
  Block frame = MakeDib(4, 2, 24);
  void* block = LocalAlloc(LPTR, frame.size());
  std::memcpy(block, frame.data(), frame.size());
  DibHeader h = ReadDibHeader(block);
  h.biXPelsPerMeter = 1;
  WriteDibHeader(block, h);
  ASSERT_TRUE(GfxImage_Replace(image, block));
  EXPECT_EQ(GfxImage_BitDepth(image), 24);
  EXPECT_EQ(facts(), stillFacts);
  ASSERT_EQ(GfxImage_Transform(image, 1), 1);
  EXPECT_EQ(facts(), (std::vector<long>{8, 0, 3780, long(MAKELONG(2, 4))}));
  ASSERT_EQ(GfxImage_Next(image), 1);
  EXPECT_EQ(facts()[0], 24);
  GfxImage_Destroy(image);
  EXPECT_TRUE(Captured().empty());
}

TEST_F(GfxImageTest, EightBitInvertChangesTheColoursFourBitTheIndices) {
  Block eight = MakeDib(2, 1, 8, {{10, 20, 30}, {200, 100, 0}});
  PixelsOf(eight)[1] = 1;
  std::vector<Bgr> ramp;
  for (int i = 0; i < 16; ++i) ramp.push_back({uint8_t(i), uint8_t(16 * i), uint8_t(255 - i)});
  Block four = MakeDib(3, 1, 4, ramp);
  PixelsOf(four)[0] = 0x2D;
  FakePlugIn plugIn({eight, four});
  GfxImage* image = Open(plugIn);
  ASSERT_EQ(GfxImage_Invert(image), 1);
  Canvas canvas(3, 1);
  ASSERT_TRUE(canvas.Draw(image, 2, 1));
  EXPECT_EQ(canvas.At(0, 0), (Bgr{245, 235, 225}));
  EXPECT_EQ(canvas.At(1, 0), (Bgr{55, 155, 255}));

  ASSERT_EQ(GfxImage_Next(image), 1);
  ASSERT_EQ(GfxImage_Invert(image), 1);
  ASSERT_TRUE(canvas.Draw(image, 3, 1));
  EXPECT_EQ(canvas.At(0, 0), ramp[13]);
  EXPECT_EQ(canvas.At(1, 0), ramp[2]);
  EXPECT_EQ(canvas.At(2, 0), ramp[15]);
  GfxImage_Destroy(image);
  EXPECT_TRUE(Captured().empty());
}

// Pictures drawn smaller than they are: each screen pixel takes the colour of the source
// block it stands for, at 24 and 8 bits, for whole and partial source rectangles.
TEST_F(GfxImageTest, ShrunkPicturesShowTheColourOfEachSourceBlock) {
  // 120 x 90 in blocks of 6 x 6, each block its own colour.
  auto colourOf = [](int bx, int by) { return Bgr{uint8_t(bx * 12), uint8_t(by * 16), uint8_t(200 - bx * 5)}; };
  Block rgb = MakeDib(120, 90, 24);
  std::vector<Bgr> table;
  for (int i = 0; i < 256; ++i) table.push_back({uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)});
  Block indexed = MakeDib(120, 90, 8, table);
  for (int y = 0; y < 90; ++y) {
    uint8_t* row24 = PixelsOf(rgb) + (89 - y) * DibStride(120, 24);
    uint8_t* row8 = PixelsOf(indexed) + (89 - y) * DibStride(120, 8);
    for (int x = 0; x < 120; ++x) {
      const Bgr c = colourOf(x / 6, y / 6);
      row24[3 * x] = c.b, row24[3 * x + 1] = c.g, row24[3 * x + 2] = c.r;
      row8[x] = uint8_t((x / 6) * 12 + (y / 6));
    }
  }
  FakePlugIn plugIn({rgb, indexed});
  GfxImage* image = Open(plugIn);
  for (int picture = 0; picture < 2; ++picture) {
    Canvas canvas(40, 30);
    // The whole picture at a sixth of its size: every screen pixel stands for one block.
    ASSERT_TRUE(canvas.Draw(image, 20, 15));
    for (int y = 0; y < 15; ++y) {
      for (int x = 0; x < 20; ++x) {
        const Bgr want = picture == 0 ? colourOf(x, y) : table[x * 12 + y];
        ASSERT_EQ(canvas.At(x, y), want) << "picture " << picture << " at " << x << "," << y;
      }
    }
    // A part of it (as a scrolled view draws it): blocks 4.. and 3.. at the top left.
    const RECT src{24, 18, 84, 78}, dst{0, 0, 10, 10};
    ASSERT_TRUE(GfxImage_StretchToDevice(image, canvas.Dc(), dst, src));
    EXPECT_EQ(canvas.At(0, 0), picture == 0 ? colourOf(4, 3) : table[4 * 12 + 3]);
    EXPECT_EQ(canvas.At(9, 9), picture == 0 ? colourOf(13, 12) : table[13 * 12 + 12]);
    EXPECT_EQ(canvas.At(25, 20), (Bgr{0x55, 0x55, 0x55}));  // nothing outside what was drawn
    if (picture == 0) {
      ASSERT_EQ(GfxImage_Next(image), 1);
    }
  }
  GfxImage_Destroy(image);
}

// The display bitmap gets its rows when a drawing first needs them: parts drawn in any
// order, and again after a transform, show the picture's own rows.
TEST_F(GfxImageTest, RowsReachTheDisplayBitmapWhenFirstDrawn) {
  const int w = 20, h = 300;
  Block rgb = MakeDib(w, h, 24);
  auto colourOfRow = [](int y) { return Bgr{uint8_t(y), uint8_t(255 - y / 2), uint8_t(y * 3)}; };
  for (int y = 0; y < h; ++y) {
    uint8_t* row = PixelsOf(rgb) + (h - 1 - y) * DibStride(w, 24);
    for (int x = 0; x < w; ++x) row[3 * x] = colourOfRow(y).b, row[3 * x + 1] = colourOfRow(y).g, row[3 * x + 2] = colourOfRow(y).r;
  }
  FakePlugIn plugIn({rgb});
  GfxImage* image = Open(plugIn);
  Canvas canvas(w, h);
  auto drawRows = [&](int top, int bottom) {
    const RECT part{0, top, w, bottom};
    ASSERT_TRUE(GfxImage_StretchToDevice(image, canvas.Dc(), part, part));
  };
  drawRows(200, 260);
  drawRows(0, 70);
  for (int y : {200, 230, 259, 0, 63, 64, 69}) EXPECT_EQ(canvas.At(5, y), colourOfRow(y)) << y;
  EXPECT_EQ(canvas.At(5, 100), (Bgr{0x55, 0x55, 0x55}));  // not drawn
  drawRows(0, h);
  for (int y = 0; y < h; y += 7) ASSERT_EQ(canvas.At(3, y), colourOfRow(y)) << y;

  // Flipped: the bitmap is rebuilt and filled again from the new rows.
  ASSERT_EQ(GfxImage_Apply(image, 5), 1);
  drawRows(0, h);
  for (int y = 0; y < h; y += 7) ASSERT_EQ(canvas.At(3, y), colourOfRow(h - 1 - y)) << y;
  GfxImage_Destroy(image);
}

// 16- and 32-bit bitmaps, with and without colour masks, through the BMP plug-in: drawn at
// their size, enlarged, shrunk and in part as the view draws them, they show the suite's
// reference rendering; the transforms refuse them as they did, and leave them as they were.
struct TrueColourCase {
  const wchar_t* file;       // in the BMP suite
  const wchar_t* reference;  // in the suite's ref folder
  int tolerance;             // per channel
};
constexpr TrueColourCase kTrueColourCases[] = {
    {L"g\\rgb16.bmp", L"rgb16.png", 0},             // 5-5-5, no masks
    {L"g\\rgb16bfdef.bmp", L"rgb16.png", 0},        // 5-5-5 masks
    {L"q\\rgb16faketrns.bmp", L"rgb16.png", 0},     // the unused top bit set
    {L"g\\rgb16-565.bmp", L"rgb16-565.png", 0},
    {L"g\\rgb16-565pal.bmp", L"rgb16-565.png", 0},  // masks, then a colour table
    {L"q\\rgb16-231.bmp", L"rgb16-231.png", 0},
    {L"q\\rgb16-3103.bmp", L"rgb16-3103.png", 0},
    {L"b\\rgb16-880.bmp", L"rgb16-880.png", 0},     // no blue at all
    {L"g\\rgb32.bmp", L"rgb24.png", 0},             // 8-8-8, no masks
    {L"g\\rgb32bfdef.bmp", L"rgb24.png", 0},
    {L"g\\rgb32bf.bmp", L"rgb24.png", 0},           // the masks in another order
    {L"q\\rgb32fakealpha.bmp", L"rgb24.png", 0},
    {L"q\\rgb32-111110.bmp", L"rgb24.png", 1},      // 11-11-10: the same picture within a step
    {L"q\\rgb32-7187.bmp", L"rgb32-7187.png", 1},   // the reference cuts its 18-bit field to 8 bits
};

COLORREF ColourOf(const Bgr& c) { return RGB(c.r, c.g, c.b); }

// Every pixel of the w x h drawing at the canvas's top left against the reference pixel
// that `source` names for it; the first one that differs.
template <typename Source>
testing::AssertionResult DrawnLike(const Canvas& canvas, int w, int h, int tolerance, Source source) {
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const COLORREF drawn = ColourOf(canvas.At(x, y));
      if (!source(x, y, drawn, tolerance)) return testing::AssertionFailure() << "at " << x << "," << y << " " << canvas.At(x, y);
    }
  }
  return testing::AssertionSuccess();
}

TEST_F(GfxImageTest, SixteenAndThirtyTwoBitPicturesAreDrawnAtEveryScaleAndNotTransformed) {
  BmpPlugIn plugIn;
  ASSERT_NE(plugIn.library, nullptr);
  for (const TrueColourCase& c : kTrueColourCases) {
    SCOPED_TRACE(testing::Message() << c.file);
    ReferenceImage ref;
    ASSERT_TRUE(ReadReferenceImage(CorpusDir() + L"bmpsuite\\ref\\" + c.reference, &ref));
    const std::wstring path = CorpusDir() + L"bmpsuite\\" + c.file;
    GfxImage* image = GfxImage_Create(&plugIn.bound, path.c_str());
    ASSERT_TRUE(GfxImage_Load(image));
    EXPECT_TRUE(Captured().empty());
    const int w = ref.width, h = ref.height;
    ASSERT_EQ(GfxImage_Size(image), static_cast<DWORD>(MAKELONG(w, h)));
    const int depth = GfxImage_BitDepth(image);
    EXPECT_TRUE(depth == 16 || depth == 32) << depth;

    auto actualSize = [&ref](int x, int y, COLORREF drawn, int tolerance) {
      return ColoursNear(drawn, ref.At(x, y), tolerance);
    };
    Canvas canvas(3 * w, 3 * h);
    ASSERT_TRUE(canvas.Draw(image, w, h));
    EXPECT_TRUE(DrawnLike(canvas, w, h, c.tolerance, actualSize));
    ASSERT_TRUE(canvas.Draw(image, 3 * w, 3 * h));
    EXPECT_TRUE(DrawnLike(canvas, 3 * w, 3 * h, c.tolerance, [&ref](int x, int y, COLORREF drawn, int tolerance) {
      return ColoursNear(drawn, ref.At(x / 3, y / 3), tolerance);
    }));
    // A third of the size: each screen pixel is an average of the pixels around its block
    // (the picture is averaged by a whole factor, here 4, then drawn).
    const int sw = w / 3, sh = h / 3;
    ASSERT_TRUE(canvas.Draw(image, sw, sh));
    EXPECT_TRUE(DrawnLike(canvas, sw, sh, c.tolerance, [&](int x, int y, COLORREF drawn, int tolerance) {
      return WithinColoursOf(ref, drawn, x * w / sw - 4, (x + 1) * w / sw + 4, y * h / sh - 4, (y + 1) * h / sh + 4,
                             tolerance);
    }));
    // A part, as a scrolled view draws it.
    const RECT part{30, 20, 100, 60}, at{0, 0, 70, 40};
    ASSERT_TRUE(GfxImage_StretchToDevice(image, canvas.Dc(), at, part));
    EXPECT_TRUE(DrawnLike(canvas, 70, 40, c.tolerance, [&ref](int x, int y, COLORREF drawn, int tolerance) {
      return ColoursNear(drawn, ref.At(x + 30, y + 20), tolerance);
    }));

    // Turns, mirror and flip refuse the depth; the negative leaves it alone, or refuses a
    // picture with masks as a compressed one.
    const Block before(static_cast<uint8_t*>(image->dib), static_cast<uint8_t*>(image->dib) + image->dibBytes);
    for (int code = 1; code <= 5; ++code) {
      EXPECT_EQ(GfxImage_Transform(image, code), 0);
      EXPECT_EQ(Captured(), (Messages{{L"Internal Error...", Text(299)}}));
    }
    const bool masks = GfxImage_Compression(image) == BI_BITFIELDS;
    EXPECT_EQ(GfxImage_Invert(image), masks ? 0 : 1);
    EXPECT_EQ(Captured(), masks ? (Messages{{Text(240), Text(296)}}) : Messages{});
    EXPECT_EQ(Block(static_cast<uint8_t*>(image->dib), static_cast<uint8_t*>(image->dib) + image->dibBytes), before);
    ASSERT_TRUE(canvas.Draw(image, w, h));
    EXPECT_TRUE(DrawnLike(canvas, w, h, c.tolerance, actualSize));
    GfxImage_Destroy(image);
  }
}

TEST_F(GfxImageTest, ThinLinesStayVisibleWhenThePictureIsShrunk) {
  // 500 x 500, white with a black column every five pixels: at a fifth of its size every screen
  // column is grey (the lines averaged in), never white as if the lines had fallen between the
  // pixels drawn; at every size below the picture's, each of the 100 lines shows.
  Block lines = MakeDib(500, 500, 24);
  for (int y = 0; y < 500; ++y) {
    uint8_t* row = PixelsOf(lines) + y * DibStride(500, 24);
    for (int x = 0; x < 500; ++x) std::memset(row + 3 * x, x % 5 == 0 ? 0 : 255, 3);
  }
  FakePlugIn plugIn({lines});
  GfxImage* image = Open(plugIn);
  for (int size : {100, 130, 166, 250, 333}) {
    SCOPED_TRACE(size);
    Canvas canvas(size, size);
    ASSERT_TRUE(canvas.Draw(image, size, size));
    int grey = 0;
    for (int x = 0; x < size; ++x) grey += canvas.At(x, size / 2).r < 255;
    EXPECT_GE(grey, 100);
    if (size == 100) EXPECT_EQ(canvas.At(50, 50), (Bgr{204, 204, 204}));
  }
  GfxImage_Destroy(image);
}

}  // namespace
}  // namespace lmx::test
