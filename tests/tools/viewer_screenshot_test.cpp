// The installed viewer opening the JPEG, PNG and WebP samples, shot from outside by lmx_drive as
// `./lumivex view --screenshot` does: the screen shows the picture the plug-in decodes, at
// actual size from the view's corner, and a transparent part of the PNG white.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "plugins/common/packed_dib.h"
#include "plugins/common/plugin_api.h"
#include "tests/tools/run_tool.h"
#include "tests/tools/screen_bmp.h"
#include "tests/support/test_env.h"
#include "tools/support/app_key_guard.h"

namespace lmx::test {
namespace {

// Pixel (x, y), counted from the top, of a packed DIB of 24 bits.
Rgb DibAt(const void* dib, int x, int y) {
  const DibHeader h = ReadDibHeader(dib);
  const auto* p = static_cast<const uint8_t*>(dib) + kInfoHeaderSize + h.biClrUsed * 4 +
                  (h.biHeight - 1 - y) * DibStride(h.biWidth, h.biBitCount) + x * 3;
  return {p[2], p[1], p[0]};
}

class ViewerScreenshot : public testing::Test {
 protected:
  void SetUp() override {
    // The three plug-ins registered as the installer does, and no splash. (A backslash before
    // a closing quote would quote it: the folder goes without its last one.)
    const std::wstring folder = BinDir().substr(0, BinDir().size() - 1);
    const ToolRun run = RunTool(Quoted(BinDir() + L"lmx_install.exe") + L" --dir " + Quoted(folder) + L" " +
                                Quoted(BinDir() + L"zlx_jpg.dll") + L" " + Quoted(BinDir() + L"zlx_png.dll") + L" " +
                                Quoted(BinDir() + L"zlx_webp.dll"));
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    ASSERT_NE(run.out.find("registered png: "), std::string::npos) << run.out;
    ASSERT_NE(run.out.find("registered webp: "), std::string::npos) << run.out;
    HKEY app = AppKeyGuard::Open();
    ASSERT_NE(app, nullptr);
    const DWORD zero = 0;
    RegSetValueExW(app, L"Startup", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), sizeof zero);
    RegCloseKey(app);
  }

  // The screen with `picture` open, and the plug-in's own decoding of it.
  void Shoot(const wchar_t* picture, const wchar_t* plugInName, Bmp* screen, void** dib) {
    const std::wstring path = std::wstring(LMX_SAMPLES_DIR) + picture;
    const ToolRun run = RunTool(Quoted(BinDir() + L"lmx_drive.exe") + L" --exe " + Quoted(BinDir() + L"Lumivex.exe") +
                                L" --open " + Quoted(path) + L" --screenshot " + Quoted(scratch_.Path() + L"shot.bmp") +
                                L" --timeout 60");
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.err.find("message:"), std::string::npos) << run.err;
    ASSERT_TRUE(screen->Read(scratch_.Path() + L"shot.bmp"));
    plugIn_ = LoadBuilt(plugInName);
    ASSERT_NE(plugIn_, nullptr);
    auto load = reinterpret_cast<LmxLoadGfxFileFn>(GetProcAddress(plugIn_, "LMX_LoadGfxFile"));
    *dib = load(path.c_str(), 0);
    ASSERT_NE(*dib, nullptr);
    ASSERT_EQ(ReadDibHeader(*dib).biBitCount, 24);
  }

  // Whether the screen shows the picture's top-left `width` x `height` pixels with the
  // picture's corner at (left, top).
  static bool ShowsAt(const Bmp& screen, const void* dib, int left, int top, int width, int height) {
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        if (!(screen.At(left + x, top + y) == DibAt(dib, x, y))) return false;
      }
    }
    return true;
  }

  void TearDown() override {
    if (plugIn_) FreeLibrary(plugIn_);
  }

  AppKeyGuard guard_;
  ScratchFolder scratch_;
  HMODULE plugIn_ = nullptr;
};

TEST_F(ViewerScreenshot, TheJpegThePngAndTheWebpShowAsTheirPlugInsDecodeThem) {
  struct Case {
    const wchar_t* picture;
    const wchar_t* plugIn;
  };
  for (const Case c : {Case{L"Photo.jpg", L"zlx_jpg.dll"}, Case{L"Glass.png", L"zlx_png.dll"},
                       Case{L"Lake.webp", L"zlx_webp.dll"}}) {
    Bmp screen;
    void* dib = nullptr;
    Shoot(c.picture, c.plugIn, &screen, &dib);
    if (HasFatalFailure()) return;
    // The picture's top-left 200 x 150 pixels (what the view has room for beside any scroll
    // bar) are on the screen as decoded, at the view's corner: the screen's left edge, below
    // the top bar and the toolbar.
    const int width = 200, height = 150;
    int left = -1, top = -1;
    for (int y = 0; y + height <= screen.height && top < 0; ++y) {
      for (int x = 0; x + width <= screen.width && left < 0; ++x) {
        if (ShowsAt(screen, dib, x, y, width, height)) {
          left = x;
          top = y;
        }
      }
    }
    EXPECT_EQ(left, 0) << c.picture;
    EXPECT_GT(top, 26) << c.picture;
    if (std::wstring(c.picture) == L"Glass.png") {
      EXPECT_EQ(DibAt(dib, 0, 0), (Rgb{255, 255, 255})) << "the transparent corner is white";
    }
    LocalFree(dib);
    FreeLibrary(plugIn_);
    plugIn_ = nullptr;
  }
}

}  // namespace
}  // namespace lmx::test
