// A test main window hosting ViewerMainCtrl, 240 x 320 at the screen's corner, and pictures
// written as real 24-bit BMP files and decoded by the BMP plug-in.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/utils.h"
#include "picture/gfx_image.h"
#include "tests/support/test_env.h"
#include "tests/support/window_input.h"
#include "tools/support/message_capture.h"
#include "ui/settings.h"
#include "ui/status_bar.h"
#include "ui/viewer_toolbar.h"
#include "view/image_view.h"

namespace lmx::test {

// The colour of picture pixel (x, y) in the test files.
inline COLORREF PictureColour(int x, int y) {
  return RGB(x & 0xFF, y & 0xFF, ((x >> 8) * 0x40 + (y >> 8) * 0x10 + 8) & 0xFF);
}

// Whether `c` is the colour of a picture pixel within x0..x1, y0..y1 (a shrinking blit
// picks one pixel of each block).
inline bool ColourFromBlock(COLORREF c, int x0, int x1, int y0, int y1) {
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      if (PictureColour(x, y) == c) return true;
    }
  }
  return false;
}

// A 24-bit BMP file, bottom-up, with PictureColour in every pixel.
std::vector<uint8_t> PictureFile(int width, int height);


class ViewTest : public testing::Test {
 public:
  static std::vector<int> commands_;  // WM_COMMAND ids the main window received
  static HMODULE lang_;

 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;
  void TearDown() override;

  // Makes ViewerMainCtrl in the main window and lays it out on the window's size.
  void CreateCtrl();
  // Opens a width x height picture the way the main window does, and paints it.
  GfxImage* Open(int width, int height);
  void Paint();
  COLORREF ViewPixel(int x, int y);
  RECT ViewClient();
  // A child's rectangle in ViewerMainCtrl's client coordinates.
  RECT InCtrl(HWND child);
  std::wstring StatusText(int part);
  const ViewState& State() { return ImageView_State(); }
  void Press(int x, int y);
  void Drag(int x, int y);
  void Release(int x, int y);

  HWND main_ = nullptr;
  HWND ctrl_ = nullptr;
  GfxImage* image_ = nullptr;
  std::unique_ptr<TempFile> file_;

 private:
  static HMODULE bmp_;
  static BoundPlugIn* plugIn_;
};

}  // namespace lmx::test
