// What every format plug-in promises the host, checked on each built plug-in.
#include "tests/plugins/common/plugin_fixture.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/registry_values.h"
#include "tests/support/screen_fit.h"

namespace lmx::test {
namespace {

// A file of each format from the corpus.
std::wstring TestSample(const std::wstring& ext) {
  if (ext == L"bmp") return CorpusDir() + L"bmpsuite\\g\\pal8rle.bmp";
  if (ext == L"pcx") return CorpusDir() + L"pillow\\pil184.pcx";
  if (ext == L"gif") return CorpusDir() + L"pillow\\dispose_bgnd.gif";
  if (ext == L"tif") return CorpusDir() + L"pillow\\hopper_lzw.tif";
  if (ext == L"png") return CorpusDir() + L"pngsuite\\ctzn0g04.png";
  if (ext == L"webp") return std::wstring(LMX_WEBP_SEEDS) + L"extended.webp";
  return std::wstring(LMX_JPEG_TESTIMAGES) + L"testorig.jpg";
}

struct Expected {
  const wchar_t* dll;
  DWORD show;
  const wchar_t* ext;
  const wchar_t* name;
  const wchar_t* shortName;
  const wchar_t* fileLink;
  const wchar_t* moreExt;  // "<missing>" for none
};

class PluginContract : public testing::TestWithParam<Expected> {};

TEST_P(PluginContract, RegistersItsSubkeyTwiceAsOnceAndUnregistersQuietly) {
  const Expected& e = GetParam();
  Plugin plugin(e.dll);
  ASSERT_NE(plugin.registerDll, nullptr);
  ScratchKey parent;
  EXPECT_TRUE(plugin.registerDll(parent.Get()));
  EXPECT_TRUE(plugin.registerDll(parent.Get()));

  EXPECT_EQ(SubkeyNames(parent.Get()), std::vector<std::wstring>{e.ext});

  HKEY key;
  ASSERT_EQ(RegOpenKeyExW(parent.Get(), e.ext, 0, KEY_READ, &key), ERROR_SUCCESS);
  EXPECT_EQ(RegNumber(key, nullptr, L"Show", 99), e.show);
  DWORD bytes = 0;
  EXPECT_EQ(RegText(key, nullptr, L"Ext", &bytes), e.ext);
  EXPECT_EQ(bytes, (wcslen(e.ext) + 1) * sizeof(wchar_t)) << "strings are stored with their terminator";
  EXPECT_EQ(RegText(key, nullptr, L"Name"), e.name);
  EXPECT_EQ(RegText(key, nullptr, L"ShortName"), e.shortName);
  EXPECT_EQ(RegText(key, nullptr, L"RegFileLink"), e.fileLink);
  EXPECT_EQ(RegText(key, nullptr, L"MoreExt"), e.moreExt);
  EXPECT_NE(RegText(key, nullptr, L"Copyright"), L"<missing>");
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(plugin.module, path, MAX_PATH);
  EXPECT_EQ(RegText(key, nullptr, L"Component"), path);
  RegCloseKey(key);

  EXPECT_TRUE(plugin.unregisterDll(parent.Get()));
  EXPECT_FALSE(HasKey(parent.Get(), e.ext));
  EXPECT_TRUE(plugin.unregisterDll(parent.Get()));
}

TEST_P(PluginContract, ReportsVersionOneAndCarriesItsResources) {
  Plugin plugin(GetParam().dll);
  ASSERT_NE(plugin.getVersion, nullptr);
  EXPECT_EQ(plugin.getVersion(), 0x10000u);
  EXPECT_NE(FindResourceW(plugin.module, MAKEINTRESOURCEW(100), RT_GROUP_ICON), nullptr);
  EXPECT_NE(FindResourceW(plugin.module, MAKEINTRESOURCEW(300), RT_DIALOG), nullptr);
  wchar_t text[64];
  EXPECT_GT(LoadStringW(plugin.module, 100, text, 64), 0);
  EXPECT_GT(LoadStringW(plugin.module, 200, text, 64), 0);
}

// The about box fits the screen and closes on a tap, OK or Cancel, given from another thread
// as a user would.
TEST_P(PluginContract, AboutBoxFitsTheScreenAndClosesOnATapOrOkOrCancel) {
  Plugin plugin(GetParam().dll);
  ASSERT_NE(plugin.openAbout, nullptr);
  for (const std::pair<UINT, WPARAM>& close : {std::pair<UINT, WPARAM>{WM_LBUTTONDOWN, 0}, {WM_COMMAND, IDOK},
                                              {WM_COMMAND, IDCANCEL}}) {
    bool found = false;
    std::vector<std::string> problems;
    {
      DialogDriver closer(GetCurrentThreadId(), [&found, &problems, close](HWND box) {
        found = true;
        problems = ScreenFitProblems(box);
        PostMessageW(box, close.first, close.second, 0);
      });
      EXPECT_EQ(plugin.openAbout(nullptr), 0);
    }
    EXPECT_TRUE(found);
    EXPECT_EQ(problems, std::vector<std::string>{});
  }
}

TEST_P(PluginContract, OneImageOrMoreAndAMissingFileIsReported) {
  Plugin plugin(GetParam().dll);
  MessageCapture capture;
  DWORD count = 0;
  const std::wstring missing = L"Z:\\nonexistent\\picture." + std::wstring(GetParam().ext);
  if (std::wstring(GetParam().ext) != L"tif") {
    EXPECT_TRUE(plugin.getInfo(missing.c_str(), &count));
    EXPECT_EQ(count, 1u);
  }
  EXPECT_EQ(plugin.load(missing.c_str(), 0), nullptr);
  ASSERT_GE(capture.Messages().size(), 1u);
  for (const auto& m : capture.Messages()) {
    EXPECT_EQ(m.style, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_FALSE(m.text.empty());
  }
}

// Its sample, at any index for a file of one picture, comes as one local block of the
// packed DIB's size, without a word.
TEST_P(PluginContract, LoadsItsSampleIntoOneLocalBlock) {
  Plugin plugin(GetParam().dll);
  MessageCapture capture;
  const std::wstring sample = TestSample(GetParam().ext);
  Dib first(plugin.load(sample.c_str(), 0));
  Dib third(plugin.load(sample.c_str(), 3));
  ASSERT_TRUE(first && third);
  const DibHeader h = first.Header();
  const SIZE_T size = kInfoHeaderSize + DibMaskBytes(h) + h.biClrUsed * 4 + h.biSizeImage;
  EXPECT_EQ(h.biSizeImage, DibStride(h.biWidth, h.biBitCount) * h.biHeight);
  EXPECT_EQ(LocalSize(first.block), size);
  EXPECT_EQ(LocalSize(third.block), size);
  EXPECT_EQ(0, memcmp(first.block, third.block, size));
  EXPECT_TRUE(capture.Messages().empty());
}

// The details export: quiet whatever the file, whole lines only into a short buffer, and the
// characters the whole text needs.
TEST_P(PluginContract, TellsDetailsQuietlyAndWithinTheBuffer) {
  Plugin plugin(GetParam().dll);
  ASSERT_NE(plugin.details, nullptr);
  MessageCapture capture;
  const std::wstring ext = GetParam().ext;
  const std::wstring missing = L"Z:\\nonexistent\\picture." + ext;
  wchar_t text[4096] = L"x";
  EXPECT_EQ(plugin.details(missing.c_str(), 0, text, 4096), 0u);
  EXPECT_STREQ(text, L"");
  EXPECT_EQ(plugin.details(nullptr, 0, text, 4096), 0u);
  TempFile garbage(std::vector<uint8_t>(64, 0xA5), (L"." + ext).c_str());
  EXPECT_EQ(plugin.details(garbage.Path(), 0, text, 4096), 0u);

  const std::wstring sample = TestSample(ext);
  const DWORD needed = plugin.details(sample.c_str(), 0, text, 4096);
  ASSERT_GT(needed, 1u) << ToUtf8(sample);
  EXPECT_EQ(wcslen(text) + 1, needed);
  EXPECT_EQ(std::wstring(text).substr(0, 7), L"format\t");
  EXPECT_EQ(plugin.details(sample.c_str(), 0, nullptr, 0), needed);
  // A buffer too short for everything holds the first lines that fit, and says what it needs.
  const size_t firstLine = std::wstring(text).find(L'\n') + 1;
  wchar_t shortBuffer[4096];
  EXPECT_EQ(plugin.details(sample.c_str(), 0, shortBuffer, static_cast<DWORD>(firstLine + 2)), needed);
  EXPECT_EQ(std::wstring(shortBuffer), std::wstring(text).substr(0, firstLine));
  EXPECT_EQ(plugin.details(sample.c_str(), 0, shortBuffer, 3), needed);
  EXPECT_STREQ(shortBuffer, L"");
  EXPECT_TRUE(capture.Messages().empty());
}

const Expected kPlugins[] = {
    {L"zlx_bmp.dll", 1, L"bmp", L"BMP - Bitmap File Format", L"Bitmap", L"bmp", L"<missing>"},
    {L"zlx_pcx.dll", 1, L"pcx", L"PCX - ZSoft Paintbrush Format", L"PCX", L"pcx", L"<missing>"},
    {L"zlx_gif.dll", 0, L"gif", L"GIF - Graphics Interchange File Format", L"Gif", L"gif", L"<missing>"},
    {L"zlx_tif.dll", 1, L"tif", L"TIFF - Tag Image File Format", L"Tiff", L"tiff", L"<missing>"},
    {L"zlx_jpg.dll", 1, L"jpg", L"JPEG - Joint Photographic Experts Group", L"JPEG", L"jpg", L"jpeg;jpe"},
    {L"zlx_png.dll", 1, L"png", L"PNG - Portable Network Graphics", L"PNG", L"png", L"<missing>"},
    {L"zlx_webp.dll", 1, L"webp", L"WebP - WebP Image Format", L"WebP", L"webp", L"web"},
};

INSTANTIATE_TEST_SUITE_P(Delivered, PluginContract, testing::ValuesIn(kPlugins),
                         [](const testing::TestParamInfo<Expected>& info) {
                           std::wstring ext = info.param.ext;
                           return std::string(ext.begin(), ext.end());
                         });

}  // namespace
}  // namespace lmx::test
