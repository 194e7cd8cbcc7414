// The viewer as a user meets it: started with a picture, driven by its commands, its menu
// bar's rules, a second start handing over a path, and the settings it leaves at exit.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "app/main_window.h"
#include "host/viewer_document.h"
#include "lang/lang_ids.h"
#include "platform/aygshell.h"
#include "tests/app/program_fixture.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/reference_image.h"
#include "tests/support/registry_values.h"
#include "tests/support/test_env.h"
#include "tools/support/message_capture.h"
#include "ui/settings.h"
#include "view/image_view.h"

namespace lmx::test {
namespace {

GfxImage* Current() {
  ImageFileItem* item = TheDocument() ? TheDocument()->CurrentFile() : nullptr;
  return item ? item->image : nullptr;
}

bool MenuBarButtonHidden(UINT command) {
  return SendMessageW(MenuBarWindow(), TB_ISBUTTONHIDDEN, command, 0) != 0;
}
bool MenuBarButtonEnabled(UINT command) {
  return SendMessageW(MenuBarWindow(), TB_ISBUTTONENABLED, command, 0) != 0;
}

HMENU Popup(UINT id) {
  HMENU menu = MainMenu();
  for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_SUBMENU;
    if (GetMenuItemInfoW(menu, i, TRUE, &info) && info.wID == id) return info.hSubMenu;
  }
  return nullptr;
}

TEST(CommandLineTest, APathIsTakenWholeWithoutItsQuotesAndCutToTheBuffer) {
  wchar_t out[kPathBufferChars];
  CommandLinePath(L"  \"C:\\My Documents\\a b.bmp\" ", out);
  EXPECT_EQ(std::wstring(out), L"C:\\My Documents\\a b.bmp");
  CommandLinePath(L"\\My Documents\\x.gif", out);
  EXPECT_EQ(std::wstring(out), L"\\My Documents\\x.gif");
  std::wstring longLine(400, L'a');
  CommandLinePath(longLine.c_str(), out);
  EXPECT_EQ(std::wstring(out), std::wstring(kPathBufferChars - 1, L'a'));

  // A hand-over reads no more than it was given and never past the buffer.
  std::vector<wchar_t> unterminated(600, L'b');
  COPYDATASTRUCT data{0, 600 * sizeof(wchar_t), unterminated.data()};
  ASSERT_TRUE(PathFromCopyData(&data, out));
  EXPECT_EQ(std::wstring(out).size(), static_cast<size_t>(kPathBufferChars - 1));
  data.cbData = 3 * sizeof(wchar_t);
  ASSERT_TRUE(PathFromCopyData(&data, out));
  EXPECT_EQ(std::wstring(out), L"bbb");
  data.cbData = 1;
  EXPECT_FALSE(PathFromCopyData(&data, out));
  data.lpData = nullptr;
  data.cbData = 8;
  EXPECT_FALSE(PathFromCopyData(&data, out));
}

TEST_F(ProgramTest, StartedWithAPictureItShowsItAtActualSize) {
  const std::wstring path = Corpus(L"bmpsuite\\g\\rgb24.bmp");
  ASSERT_TRUE(Start(path.c_str()));
  HWND main = MainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(TextOf(main), L"Zorvan Lumivex");
  wchar_t className[64];
  GetClassNameW(main, className, 64);
  EXPECT_EQ(std::wstring(className), L"Zorvan Lumivex");

  // The main window keeps to the visible desktop, above the menu bar.
  SIPINFO sip{};
  sip.cbSize = sizeof(sip);
  ASSERT_TRUE(SHSipInfo(SPI_GETSIPINFO, 0, &sip, 0));
  RECT rc;
  GetWindowRect(main, &rc);
  EXPECT_EQ(rc.bottom - rc.top, sip.rcVisibleDesktop.bottom - sip.rcVisibleDesktop.top - AYG_MENU_BAR_HEIGHT);
  ASSERT_NE(MenuBarWindow(), nullptr);
  // The screen's top bar carries the program's title above the main window.
  HWND topBar = FindWindowW(L"Aygshell_TopBar", nullptr);
  ASSERT_NE(topBar, nullptr);
  EXPECT_EQ(GetWindow(topBar, GW_OWNER), main);
  RECT bar;
  GetWindowRect(topBar, &bar);
  EXPECT_EQ(bar.top, 0);
  EXPECT_EQ(bar.bottom, AYG_TOP_BAR_HEIGHT);
  EXPECT_EQ(rc.top, AYG_TOP_BAR_HEIGHT);

  GfxImage* image = Current();
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(ImageView_Mode(), 0);
  EXPECT_FLOAT_EQ(ImageView_Zoom(), 1.0f);
  EXPECT_EQ(ImageView_State().imageWidth, 127);
  EXPECT_EQ(ImageView_State().imageHeight, 64);
  // The picture's own pixels on screen, top-left aligned.
  for (POINT p : {POINT{0, 0}, POINT{10, 5}, POINT{126, 63}, POINT{60, 30}}) {
    EXPECT_EQ(ScreenPixel(ImageViewWindow(), p.x, p.y), DibPixel(image->dib, p.x, p.y)) << p.x << "," << p.y;
  }
  EXPECT_NE(StatusText(0).find(L"100"), std::wstring::npos);
  EXPECT_NE(StatusText(1).find(L"rgb24.bmp"), std::wstring::npos);
  EXPECT_TRUE(MenuBarButtonHidden(IDC_CMD_NEXT_PAGE));
  EXPECT_TRUE(MenuBarButtonHidden(IDC_CMD_PREVIOUS_PAGE));
  EXPECT_TRUE(SendMessageW(ViewerToolbarWindow(), TB_ISBUTTONENABLED, IDC_CMD_ROTATE_RIGHT, 0));

  // The plug-in submenu: one item per plug-in, its id the command.
  HMENU popup = GetSubMenu(MainMenu(), 3);
  ASSERT_NE(popup, nullptr);
  HMENU plugIns = GetSubMenu(popup, 2);
  ASSERT_NE(plugIns, nullptr);
  ASSERT_EQ(GetMenuItemCount(plugIns), 4);
  std::vector<std::wstring> items;
  for (int i = 0; i < 4; ++i) {
    wchar_t text[64];
    GetMenuStringW(plugIns, i, text, 64, MF_BYPOSITION);
    items.emplace_back(text);
    EXPECT_EQ(GetMenuItemID(plugIns, i), static_cast<UINT>(1000 + i));
  }
  EXPECT_EQ(items, (std::vector<std::wstring>{L"Bitmap...", L"Gif...", L"PCX...", L"Tiff..."}));
}

TEST_F(ProgramTest, TransformsZoomModesAndCloseChangeWhatIsShown) {
  ASSERT_TRUE(Start(Corpus(L"bmpsuite\\g\\rgb24.bmp").c_str()));
  GfxImage* image = Current();
  ASSERT_NE(image, nullptr);
  const COLORREF topLeft = DibPixel(image->dib, 0, 0);
  const COLORREF bottomLeft = DibPixel(image->dib, 0, 63);

  Command(IDC_CMD_ROTATE_RIGHT);  // clockwise: the bottom-left corner comes to the top left
  EXPECT_EQ(ImageView_State().imageWidth, 64);
  EXPECT_EQ(ImageView_State().imageHeight, 127);
  EXPECT_EQ(ScreenPixel(ImageViewWindow(), 0, 0), bottomLeft);
  Command(IDC_CMD_ROTATE_LEFT);
  EXPECT_EQ(ScreenPixel(ImageViewWindow(), 0, 0), topLeft);
  Command(IDC_CMD_FLIP);
  EXPECT_EQ(ScreenPixel(ImageViewWindow(), 0, 0), bottomLeft);
  Command(IDC_CMD_FLIP);
  Command(IDC_CMD_INVERT);
  EXPECT_EQ(ScreenPixel(ImageViewWindow(), 0, 0), RGB(255 - GetRValue(topLeft), 255 - GetGValue(topLeft), 255 - GetBValue(topLeft)));
  Command(IDC_CMD_INVERT);

  Command(IDC_CMD_FIT_WIDTH);
  EXPECT_EQ(ImageView_Mode(), 2);
  EXPECT_GT(ImageView_Zoom(), 1.0f);
  Command(IDC_CMD_FIT_WHOLE);
  EXPECT_EQ(ImageView_Mode(), 1);
  Command(IDC_CMD_ACTUAL_SIZE);
  EXPECT_FLOAT_EQ(ImageView_Zoom(), 1.0f);
  Command(IDC_CMD_ZOOM_IN);
  EXPECT_FLOAT_EQ(ImageView_Zoom(), 2.0f);
  Command(IDC_CMD_ZOOM_OUT);
  Command(IDC_CMD_ZOOM_OUT);
  EXPECT_FLOAT_EQ(ImageView_Zoom(), 0.66f);

  // The View popup: radio mark on free zoom; with no picture everything is grey.
  HMENU view = Popup(IDM_POPUP_VIEW);
  ASSERT_NE(view, nullptr);
  SendMessageW(MainWindow(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), MAKELPARAM(IDM_POPUP_VIEW, 0));
  EXPECT_TRUE(GetMenuState(view, 7, MF_BYPOSITION) & MF_CHECKED);
  EXPECT_FALSE(GetMenuState(view, IDC_CMD_ZOOM_IN, MF_BYCOMMAND) & MF_GRAYED);

  Command(IDC_CMD_FULL_SCREEN);
  EXPECT_TRUE(ImageView_IsFullScreen());
  RECT rc;
  GetWindowRect(ViewerMainCtrlWindow(), &rc);
  EXPECT_EQ(rc.right - rc.left, AYG_SCREEN_WIDTH);
  EXPECT_EQ(rc.bottom - rc.top, AYG_SCREEN_HEIGHT);
  Command(IDC_CMD_FULL_SCREEN);
  EXPECT_FALSE(ImageView_IsFullScreen());

  Command(IDC_CMD_CLOSE);
  EXPECT_EQ(Current(), nullptr);
  EXPECT_EQ(StatusText(1), L"");
  EXPECT_FALSE(SendMessageW(ViewerToolbarWindow(), TB_ISBUTTONENABLED, IDC_CMD_ROTATE_RIGHT, 0));
  HMENU imageMenu = Popup(IDM_POPUP_IMAGE);
  ASSERT_NE(imageMenu, nullptr);
  SendMessageW(MainWindow(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(imageMenu), MAKELPARAM(IDM_POPUP_IMAGE, 0));
  EXPECT_TRUE(GetMenuState(imageMenu, IDC_CMD_PROPERTIES, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_TRUE(GetMenuState(imageMenu, 0, MF_BYPOSITION) & MF_GRAYED);
  HMENU file = Popup(IDM_POPUP_FILE);
  SendMessageW(MainWindow(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), MAKELPARAM(IDM_POPUP_FILE, 0));
  EXPECT_TRUE(GetMenuState(file, IDC_CMD_CLOSE, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_FALSE(GetMenuState(file, IDC_CMD_OPEN, MF_BYCOMMAND) & MF_GRAYED);
  // Transforms with nothing open do nothing.
  Command(IDC_CMD_ROTATE_RIGHT);
  EXPECT_EQ(Current(), nullptr);
}

TEST_F(ProgramTest, APathHandedOverOpensAndPagesStepThroughAThreePictureFile) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(Current(), nullptr);
  const std::wstring path = Corpus(L"pillow\\g4-multi.tiff");
  COPYDATASTRUCT data{0, static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)), const_cast<wchar_t*>(path.c_str())};
  SendMessageW(MainWindow(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  PumpFor(50);
  ASSERT_NE(Current(), nullptr);
  EXPECT_EQ(Current()->imageCount, 3u);
  EXPECT_FALSE(MenuBarButtonHidden(IDC_CMD_NEXT_PAGE));
  EXPECT_FALSE(MenuBarButtonEnabled(IDC_CMD_PREVIOUS_PAGE));
  EXPECT_TRUE(MenuBarButtonEnabled(IDC_CMD_NEXT_PAGE));
  Command(IDC_CMD_NEXT_PAGE);
  Command(IDC_CMD_NEXT_PAGE);
  EXPECT_EQ(Current()->imageIndex, 2u);
  EXPECT_TRUE(MenuBarButtonEnabled(IDC_CMD_PREVIOUS_PAGE));
  EXPECT_FALSE(MenuBarButtonEnabled(IDC_CMD_NEXT_PAGE));
  Command(IDC_CMD_PREVIOUS_PAGE);
  EXPECT_EQ(Current()->imageIndex, 1u);

  // A second start of the real program hands its path over and ends with 0.
  const std::wstring second = Corpus(L"pillow\\hopper.gif");
  std::wstring commandLine = L"\"" + BinDir() + L"Lumivex.exe\" " + second;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
  DWORD waited = 0;
  while (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT && waited < 20000) {
    PumpFor(20);
    waited += 20;
  }
  DWORD exitCode = 99;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  EXPECT_EQ(exitCode, 0u);
  ASSERT_NE(Current(), nullptr);
  EXPECT_NE(std::wstring(TheDocument()->CurrentFile()->path).find(L"hopper.gif"), std::wstring::npos);
  EXPECT_TRUE(MenuBarButtonHidden(IDC_CMD_NEXT_PAGE));
}

TEST_F(ProgramTest, NoPlugInCommandOutsideTheRangeAndToggledBarsAreStoredAtExit) {
  ASSERT_TRUE(Start());
  const DWORD statusBefore = Settings().showStatusbar;
  Command(IDC_CMD_STATUSBAR);
  EXPECT_NE(Settings().showStatusbar, statusBefore);
  EXPECT_EQ(IsWindowVisible(StatusBarWindow()) != FALSE, Settings().showStatusbar != 0);
  EXPECT_EQ(SendMessageW(MenuBarWindow(), TB_ISBUTTONCHECKED, IDC_CMD_STATUSBAR, 0) != 0,
            Settings().showStatusbar != 0);
  {
    // The first dialog to show must be the about box of plug-in 1000, asked for after the
    // ids outside the range; a dialog shown for those would be met first.
    MessageCapture boxes;
    std::wstring firstDialogText;
    DialogDriver driver(GetCurrentThreadId(), [&firstDialogText](HWND dialog) {
      wchar_t text[256] = L"";
      if (HWND label = GetWindow(dialog, GW_CHILD)) GetWindowTextW(label, text, 256);
      firstDialogText = text;
      PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    Command(IDC_CMD_PLUGIN_LAST + 1);
    Command(IDC_CMD_PLUGIN_FIRST - 1);
    Command(IDC_CMD_PLUGIN_FIRST);
    EXPECT_NE(firstDialogText.find(L"Zorvan Software"), std::wstring::npos) << ToUtf8(firstDialogText);
    EXPECT_TRUE(boxes.Messages().empty());
  }
  // The About box: its text names the program and the platform.
  std::wstring about;
  {
    DialogDriver driver(GetCurrentThreadId(), [&about](HWND dialog) {
      Sleep(100);
      about = AboutText();
      PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    Command(IDC_CMD_ABOUT);
  }
  EXPECT_NE(about.find(L"Zorvan Lumivex"), std::wstring::npos);
  EXPECT_NE(about.find(L"Windows CE"), std::wstring::npos);
  EXPECT_LT(about.size(), 200u);

  Stop();
  EXPECT_EQ(RegNumber(HKEY_LOCAL_MACHINE, (std::wstring(L"SOFTWARE\\Apps\\") + AppKeyGuard::kAppKey).c_str(), kShowStatusbarValue, 77), statusBefore ? 0u : 1u);
}

// The dialogs behind the Tools and Image commands open over the viewer and give control back.
TEST_F(ProgramTest, PropertiesPlugInsAndFileTypesOpenAndCloseOverTheViewer) {
  ASSERT_TRUE(Start(Corpus(L"bmpsuite\\g\\rgb24.bmp").c_str()));
  for (UINT command : {IDC_CMD_PROPERTIES, IDC_CMD_PLUGINS, IDC_CMD_ASSOCIATIONS}) {
    bool seen = false;
    {
      DialogDriver driver(GetCurrentThreadId(), [&seen](HWND dialog) {
        seen = IsWindowVisible(dialog) != FALSE;
        Sleep(50);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      });
      Command(command);
    }
    EXPECT_TRUE(seen) << command;
  }
  // The plug-in submenu is still whole after the manager closed.
  HMENU plugIns = GetSubMenu(GetSubMenu(MainMenu(), 3), 2);
  ASSERT_NE(plugIns, nullptr);
  EXPECT_EQ(GetMenuItemCount(plugIns), 4);
  EXPECT_NE(Current(), nullptr);
}

// The device's screen as it is now.
struct Screenshot {
  const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const std::vector<COLORREF> pixels = ScreenPixels(screen);
  // The pixel at (x, y) of `window`'s client area.
  COLORREF At(HWND window, int x, int y) const {
    POINT p{x, y};
    ClientToScreen(window, &p);
    return pixels[p.y * screen.right + p.x];
  }
};

// Every shown pixel of the picture against the reference pixel `source` names for it.
template <typename Source>
testing::AssertionResult ShownLike(const Screenshot& shot, Source source) {
  const RECT& shown = ImageView_State().destination;
  const RECT& client = ImageView_State().client;
  for (int y = 0; y < std::min<int>(shown.bottom, client.bottom); ++y) {
    for (int x = 0; x < std::min<int>(shown.right, client.right); ++x) {
      const COLORREF c = shot.At(ImageViewWindow(), x, y);
      if (!source(x, y, c)) {
        return testing::AssertionFailure() << "at " << x << "," << y << " rgb(" << int(GetRValue(c)) << ","
                                           << int(GetGValue(c)) << "," << int(GetBValue(c)) << ")";
      }
    }
  }
  return testing::AssertionSuccess();
}

// A 32-bit bitmap with colour masks in the viewer: the screen shows the reference rendering
// at actual size, shrunk, enlarged and scrolled, with its zoom and name in the status bar.
TEST_F(ProgramTest, AThirtyTwoBitPictureWithMasksIsShownAtEveryZoom) {
  ReferenceImage ref;
  ASSERT_TRUE(ReadReferenceImage(Corpus(L"bmpsuite\\ref\\rgb24.png"), &ref));
  MessageCapture boxes;
  ASSERT_TRUE(Start(Corpus(L"bmpsuite\\g\\rgb32bf.bmp").c_str()));
  ASSERT_NE(Current(), nullptr);
  EXPECT_EQ(GfxImage_BitDepth(Current()), 32);
  EXPECT_EQ(StatusText(0), L"Zoom: 100%");
  EXPECT_NE(StatusText(1).find(L"rgb32bf.bmp"), std::wstring::npos);
  EXPECT_TRUE(ShownLike(Screenshot(), [&ref](int x, int y, COLORREF c) { return c == ref.At(x, y); }));

  Command(IDC_CMD_ZOOM_OUT);
  EXPECT_EQ(StatusText(0), L"Zoom: 66%");
  const int sw = ImageView_State().destination.right, sh = ImageView_State().destination.bottom;
  ASSERT_EQ(sw, 83);
  // Shrunk, each screen pixel is an average of the pixels around its block.
  EXPECT_TRUE(ShownLike(Screenshot(), [&](int x, int y, COLORREF c) {
    return WithinColoursOf(ref, c, x * 127 / sw - 2, (x + 1) * 127 / sw + 2, y * 64 / sh - 2, (y + 1) * 64 / sh + 2, 0);
  }));

  Command(IDC_CMD_ZOOM_IN);
  Command(IDC_CMD_ZOOM_IN);
  EXPECT_EQ(StatusText(0), L"Zoom: 200%");
  // Twice as wide as the view: a page to the right shows the picture's right part.
  SendMessageW(ImageViewWindow(), WM_HSCROLL, SB_PAGEDOWN, 0);
  PumpFor(30);
  const RECT source = ImageView_State().source;
  EXPECT_GT(source.left, 0);
  EXPECT_TRUE(ShownLike(Screenshot(), [&](int x, int y, COLORREF c) {
    return c == ref.At(source.left + x / 2, source.top + y / 2);
  }));
  EXPECT_TRUE(boxes.Messages().empty());
}

}  // namespace
}  // namespace lmx::test
