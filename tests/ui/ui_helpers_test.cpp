#include <gtest/gtest.h>

#include <string>

#include "common/utils.h"
#include "resources/program_ids.h"
#include "tests/support/test_env.h"
#include "tests/support/window_input.h"
#include "tools/support/message_capture.h"
#include "ui/splash.h"
#include "ui/toolbar_desc.h"
#include "ui/ui_helpers.h"

namespace {

using lmx::test::TextOf;

constexpr UINT kStripBitmap = 9001;

void PumpUntil(bool (*done)(HWND), HWND window, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done(window) && GetTickCount() - start < timeoutMs) {
    lmx::test::Pump();
    Sleep(10);
  }
}

class UiTest : public testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    lang = lmx::test::LoadBuilt(L"LumivexLangComp.dll");
    lmx::SetResourceModule(lang);
    lmx::SetInstanceModule(GetModuleHandleW(nullptr));
    main = CreateWindowExW(0, L"Static", L"main", WS_POPUP | WS_VISIBLE, 0, 26, 240, 268, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  }
  void TearDown() override {
    DestroyWindow(main);
    lmx::SetResourceModule(nullptr);
    FreeLibrary(lang);
  }
  lmx::MessageCapture capture;
  HMODULE lang = nullptr;
  HWND main = nullptr;
};

TEST_F(UiTest, FontsAreTahomaAtTheScreensResolution) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  HFONT font = lmx::CreateAppFont(10, FW_BOLD);
  ASSERT_NE(font, nullptr);
  LOGFONTW lf{};
  ASSERT_EQ(GetObjectW(font, sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
  // Ten points at the common screen resolutions, cut towards zero.
  const struct {
    int dpi, height;
  } kTenPoints[] = {{96, -13}, {120, -16}, {144, -20}, {192, -26}};
  bool known = false;
  for (const auto& t : kTenPoints) {
    if (t.dpi != dpi) continue;
    known = true;
    EXPECT_EQ(lf.lfHeight, t.height);
  }
  EXPECT_TRUE(known) << "no expected height at " << dpi << " dpi";
  EXPECT_EQ(lf.lfWidth, 0);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_EQ(lf.lfPitchAndFamily, FF_SWISS);
  EXPECT_STREQ(lf.lfFaceName, L"Tahoma");
  lmx::DeleteAppFont(font);
  lmx::DeleteAppFont(nullptr);

  RECT rc{10, 20, 5, 70};
  EXPECT_EQ(lmx::RectWidth(rc), -5);
  EXPECT_EQ(lmx::RectHeight(rc), 50);
}

TEST_F(UiTest, ToolbarFromA208PixelStripHasThirteenImagesAndItsTooltips) {
  const TBBUTTON buttons[] = {
      {0, 32772, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, -1},
      {0, 0, 0, BTNS_SEP, {}, 0, -1},
      {1, 40004, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, -1},
      {2, 40005, TBSTATE_ENABLED | TBSTATE_HIDDEN, BTNS_BUTTON, {}, 0, -1},
      {3, 40024, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, -1},
  };
  lmx::ToolbarDesc desc;
  const HINSTANCE self = GetModuleHandleW(nullptr);
  EXPECT_FALSE(lmx::SetUpToolbar(self, 9999, 5, false, buttons, &desc)) << "no such bitmap";
  EXPECT_EQ(desc.buttons, buttons);
  EXPECT_EQ(desc.bitmapId, 0u);
  EXPECT_EQ(lmx::CreateToolbar(self, main, 200, &desc), nullptr) << "no toolbar without a bitmap";

  ASSERT_TRUE(lmx::SetUpToolbar(self, kStripBitmap, 5, false, buttons, &desc));
  EXPECT_EQ(desc.imageCount, 13);
  EXPECT_EQ(desc.cellWidth, 16);
  EXPECT_EQ(desc.cellHeight, 16);
  EXPECT_EQ(desc.style, lmx::kToolbarDefaultStyle);
  lmx::ToolbarDesc keep;
  keep.style = 0x1234;
  ASSERT_TRUE(lmx::SetUpToolbar(self, kStripBitmap, 5, true, buttons, &keep));
  EXPECT_EQ(keep.style, 0u) << "the owner sets its own style after the set-up";

  HWND toolbar = lmx::CreateToolbar(self, main, 200, &desc);
  ASSERT_NE(toolbar, nullptr);
  EXPECT_EQ(desc.toolbar, toolbar);
  EXPECT_EQ(GetDlgCtrlID(toolbar), 200);
  EXPECT_EQ(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), 5);

  ASSERT_TRUE(lmx::SetToolbarTooltips(&desc));
  ASSERT_EQ(desc.tooltipCount, 3) << "no tooltip for the separator and the hidden button";
  EXPECT_STREQ(desc.tooltips[0], L"Open");
  EXPECT_STREQ(desc.tooltips[1], L"Rotate left");
  EXPECT_STREQ(desc.tooltips[2], L"Zoom in");
  EXPECT_EQ(lmx::ToolbarTooltip(&desc, 40005), nullptr);

  // The toolbar answers its tooltip's question itself.
  NMTTDISPINFOW info{};
  info.hdr.hwndFrom = reinterpret_cast<HWND>(SendMessageW(toolbar, TB_GETTOOLTIPS, 0, 0));
  info.hdr.idFrom = 40024;
  info.hdr.code = TTN_GETDISPINFOW;
  SendMessageW(toolbar, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
  ASSERT_NE(info.lpszText, nullptr);
  EXPECT_STREQ(info.lpszText, L"Zoom in");

  HWND button = lmx::PutButtonOnToolbar(self, main, 2, BS_PUSHBUTTON, &desc);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(GetParent(button), toolbar);
  EXPECT_EQ(GetDlgCtrlID(button), 2);
  RECT rc;
  GetWindowRect(button, &rc);
  EXPECT_EQ(rc.right - rc.left, 100);
  EXPECT_EQ(rc.bottom - rc.top, 22);
  EXPECT_TRUE(GetWindowLongW(button, GWL_STYLE) & WS_BORDER);

  lmx::DestroyToolbar(&desc);
  EXPECT_FALSE(IsWindow(toolbar));
  EXPECT_EQ(desc.toolbar, nullptr);
  EXPECT_EQ(desc.tooltips, nullptr);
  EXPECT_EQ(desc.tooltipCount, 0);
  EXPECT_TRUE(capture.Messages().empty());
}

TEST_F(UiTest, SplashImageListHoldsOneCellOfBitmap136) {
  HIMAGELIST images = lmx::LoadSplashImageList(GetModuleHandleW(nullptr));
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(images), 1);
  int cx = 0, cy = 0;
  ImageList_GetIconSize(images, &cx, &cy);
  EXPECT_EQ(cx, 216);
  EXPECT_EQ(cy, 80);
  lmx::DestroySplashImageList(images);
}

bool Gone(HWND window) { return !IsWindow(window); }

TEST_F(UiTest, SplashShowsItsTextsAndClosesOnItsTimer) {
  HWND splash = lmx::ShowSplash(GetModuleHandleW(nullptr), main, 300);
  ASSERT_NE(splash, nullptr);
  EXPECT_FALSE(IsWindowEnabled(main)) << "the main window takes no input meanwhile";
  EXPECT_EQ(TextOf(GetDlgItem(splash, IDC_SPLASH_TITLE)), L"Zorvan Lumivex");
  EXPECT_EQ(TextOf(GetDlgItem(splash, IDC_SPLASH_SUBTITLE)), L"Image viewer for Pocket PC");
  EXPECT_EQ(TextOf(GetDlgItem(splash, IDC_SPLASH_CONTACT)),
            L"Internet: www.zorvan.example\nE-mail: support@zorvan.example");
  LOGFONTW lf{};
  auto font = reinterpret_cast<HFONT>(SendDlgItemMessageW(splash, IDC_SPLASH_TITLE, WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  GetObjectW(font, sizeof(lf), &lf);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  font = reinterpret_cast<HFONT>(SendDlgItemMessageW(splash, IDC_SPLASH_CONTACT, WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  GetObjectW(font, sizeof(lf), &lf);
  EXPECT_EQ(lf.lfWeight, FW_NORMAL);
  RECT rc;
  GetClientRect(splash, &rc);
  EXPECT_LE(rc.right, 240) << "the splash fits the screen";
  UpdateWindow(splash);

  SendMessageW(splash, WM_TIMER, 7, 0);
  EXPECT_TRUE(IsWindow(splash)) << "another timer is ignored";
  PumpUntil(Gone, splash, 5000);
  EXPECT_FALSE(IsWindow(splash));
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_TRUE(capture.Messages().empty());
}

// The main window is shown after the splash is made; the splash stays seen above it, and a
// tap on the disabled main window beside the splash closes the splash and does nothing else.
TEST_F(UiTest, SplashStaysAboveTheMainWindowAndATapBesideItClosesIt) {
  HWND splash = lmx::ShowSplash(GetModuleHandleW(nullptr), main, lmx::kSplashTimeout);
  ASSERT_NE(splash, nullptr);
  SetForegroundWindow(main);
  SetWindowPos(main, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  lmx::test::PumpFor(100);
  RECT rc;
  GetWindowRect(splash, &rc);
  const POINT centre{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  EXPECT_EQ(GetAncestor(WindowFromPoint(centre), GA_ROOT), splash) << "the splash is seen above the main window";

  lmx::test::Tap(20, 36);
  EXPECT_FALSE(IsWindow(splash));
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(UiTest, SplashClosesAtTheFirstTapAndNeedsItsTemplate) {
  HWND splash = lmx::ShowSplash(GetModuleHandleW(nullptr), main, lmx::kSplashTimeout);
  ASSERT_NE(splash, nullptr);
  SendMessageW(splash, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 150));
  EXPECT_FALSE(IsWindow(splash));
  EXPECT_TRUE(IsWindowEnabled(main));

  // The language component has no template 300.
  EXPECT_EQ(lmx::ShowSplash(lang, main, lmx::kSplashTimeout), nullptr);
  EXPECT_TRUE(IsWindowEnabled(main));

  // A main window that goes first takes the splash with it.
  splash = lmx::ShowSplash(GetModuleHandleW(nullptr), main, lmx::kSplashTimeout);
  ASSERT_NE(splash, nullptr);
  DestroyWindow(main);
  main = nullptr;
  EXPECT_FALSE(IsWindow(splash));
}

}  // namespace
