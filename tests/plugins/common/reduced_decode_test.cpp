// LMX_LoadGfxFileReduced of every plug-in: the size of what it gives for real files, the full
// size it tells, and that a quiet decode of a foreign, missing or broken file raises no box.
#include <string>
#include <vector>

#include "tests/plugins/common/plugin_fixture.h"

namespace lmx::test {
namespace {

struct Load {
  void* block = nullptr;
  DWORD fullWidth = 0, fullHeight = 0, status = 99;
};

Load Reduced(const Plugin& plugin, const std::wstring& path, DWORD box, DWORD flags) {
  auto reduced = reinterpret_cast<LmxLoadGfxFileReducedFn>(GetProcAddress(plugin.module, "LMX_LoadGfxFileReduced"));
  Load load;
  if (reduced) load.block = reduced(path.c_str(), 0, box, box, flags, &load.fullWidth, &load.fullHeight, &load.status);
  return load;
}

TEST(ReducedDecode, GivesThePictureNoSmallerThanItsBoxNeedsAndTellsTheFullSize) {
  struct Case {
    const wchar_t* dll;
    std::wstring file;
    DWORD box;
    int width, height, bits;
    DWORD fullWidth, fullHeight;
    DWORD flags = kReducedQuiet;
  };
  const Case cases[] = {
      {L"zlx_bmp.dll", CorpusDir() + L"bmpsuite\\g\\pal8.bmp", 40, 43, 22, 24, 127, 64},
      {L"zlx_pcx.dll", CorpusDir() + L"pillow\\pil184.pcx", 100, 112, 36, 8, 447, 144},
      {L"zlx_gif.dll", CorpusDir() + L"pillow\\hopper.gif", 64, 64, 64, 24, 128, 128},
      {L"zlx_tif.dll", CorpusDir() + L"pillow\\hopper.tif", 30, 32, 32, 24, 128, 128},
      {L"zlx_jpg.dll", std::wstring(LMX_JPEG_TESTIMAGES) + L"testorig.jpg", 30, 57, 38, 24, 227, 149},
      // An eighth, from the DC coefficients, as a thumbnail asks for it.
      {L"zlx_jpg.dll", std::wstring(LMX_JPEG_TESTIMAGES) + L"testorig.jpg", 20, 29, 19, 24, 227, 149,
       kReducedQuiet | kReducedOneThread},
      {L"zlx_png.dll", CorpusDir() + L"pngsuite\\basn0g08.png", 16, 16, 16, 8, 32, 32},
      {L"zlx_png.dll", CorpusDir() + L"pngsuite\\basn0g08.png", 500, 32, 32, 8, 32, 32},
      {L"zlx_webp.dll", std::wstring(LMX_WEBP_SEEDS) + L"alpha_lossy.webp", 16, 16, 12, 24, 40, 30},
      {L"zlx_webp.dll", std::wstring(LMX_WEBP_SEEDS) + L"animated.webp", 16, 16, 12, 24, 48, 36},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.dll << " " << c.box);
    Plugin plugin(c.dll);
    MessageCapture capture;
    Load load = Reduced(plugin, c.file, c.box, c.flags);
    ASSERT_NE(load.block, nullptr);
    const DibHeader h = ReadDibHeader(load.block);
    EXPECT_EQ(h.biWidth, c.width);
    EXPECT_EQ(h.biHeight, c.height);
    EXPECT_EQ(h.biBitCount, c.bits);
    EXPECT_EQ(load.fullWidth, c.fullWidth);
    EXPECT_EQ(load.fullHeight, c.fullHeight);
    EXPECT_EQ(load.status, kReducedShown);
    EXPECT_TRUE(capture.Messages().empty());
    EXPECT_EQ(LocalFree(load.block), nullptr);
  }
}

TEST(ReducedDecode, AQuietDecodeTellsWhyItGivesNothingAndRaisesNoBox) {
  const std::vector<uint8_t> foreign(300, 'x');
  const wchar_t* const dlls[] = {L"zlx_bmp.dll", L"zlx_pcx.dll", L"zlx_gif.dll",
                                 L"zlx_tif.dll", L"zlx_jpg.dll", L"zlx_png.dll", L"zlx_webp.dll"};
  const wchar_t* const exts[] = {L".bmp", L".pcx", L".gif", L".tif", L".jpg", L".png", L".webp"};
  for (int i = 0; i < 7; ++i) {
    SCOPED_TRACE(testing::Message() << dlls[i]);
    Plugin plugin(dlls[i]);
    MessageCapture capture;
    TempFile file(foreign, exts[i]);
    Load load = Reduced(plugin, file.Path(), 64, kReducedQuiet);
    EXPECT_EQ(load.block, nullptr);
    EXPECT_EQ(load.status, kReducedNotFormat);
    load = Reduced(plugin, L"Z:\\no\\such\\file", 64, kReducedQuiet);
    EXPECT_EQ(load.block, nullptr);
    EXPECT_EQ(load.status, kReducedCannotOpen);
    EXPECT_TRUE(capture.Messages().empty());
    // Without the quiet flag the plug-in tells the user as LMX_LoadGfxFile would.
    Reduced(plugin, file.Path(), 64, 0);
    EXPECT_EQ(capture.Messages().size(), 1u);
  }
  Plugin png(L"zlx_png.dll");
  MessageCapture capture;
  const Load crc = Reduced(png, CorpusDir() + L"pngsuite\\xcsn0g01.png", 64, kReducedQuiet);
  EXPECT_EQ(crc.block, nullptr);
  EXPECT_EQ(crc.status, kReducedBroken);
  EXPECT_TRUE(capture.Messages().empty());
}

}  // namespace
}  // namespace lmx::test
