// Every window the viewer and its plug-ins show fits the 240 x 320 screen with the device's
// fonts: the main window, its menus and status bar, each dialog and property page, the
// plug-ins' about boxes, the splash and each kind of message box.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "common/utils.h"
#include "host/viewer_document.h"
#include "lang/lang_ids.h"
#include "tests/host/host_fixture.h"
#include "tests/app/program_fixture.h"
#include "tests/plugins/gif/gif_file.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/screen_fit.h"
#include "tests/support/test_env.h"
#include "tests/support/window_input.h"
#include "tools/support/message_capture.h"
#include "ui/splash.h"
#include "view/image_view.h"

namespace lmx::test {
namespace {

class ScreenFit : public ProgramTest {
 protected:
  void Check(HWND window, const std::string& what) {
    std::lock_guard<std::mutex> lock(mutex_);
    seen_.push_back(what);
    for (const std::string& p : ScreenFitProblems(window)) problems_.push_back(what + ": " + p);
  }

  // Runs `command`; its dialog is checked (then `act` on it, if given) and cancelled.
  void CheckDialog(UINT command, const std::string& what, void (*act)(HWND) = nullptr) {
    {
      DialogDriver driver(GetCurrentThreadId(), [this, what, act](HWND dialog) {
        Sleep(50);
        Check(dialog, what);
        if (act) act(dialog);
        Sleep(act ? 300 : 0);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      });
      Command(command);
    }
    PumpFor(30);
  }

  std::mutex mutex_;
  std::vector<std::string> seen_;
  std::vector<std::string> problems_;
};

void Click(HWND dialog, int id) { PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

int TextWidth(HWND window, HFONT font, const std::wstring& text) {
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return size.cx;
}

// Each item of every popup of the menu bar, in the menu font, fits the screen's width.
std::vector<std::string> MenuProblems(HMENU menu) {
  std::vector<std::string> problems;
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  HFONT font = CreateFontIndirectW(&metrics.lfMenuFont);
  // Room for the check mark, the submenu arrow and the item's margins.
  const int margins = 2 * GetSystemMetrics(SM_CXMENUCHECK) + 16;
  for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
    HMENU popup = GetSubMenu(menu, i);
    for (int j = 0; popup && j < GetMenuItemCount(popup); ++j) {
      wchar_t text[128] = L"";
      GetMenuStringW(popup, j, text, 128, MF_BYPOSITION);
      if (TextWidth(MainWindow(), font, text) + margins > 240) problems.push_back("menu item \"" + ToUtf8(text) + "\"");
    }
  }
  DeleteObject(font);
  return problems;
}

TEST_F(ScreenFit, EveryWindowDialogPageAndMessageBoxLiesInsideTheScreen) {
  MessageCapture capture(IDNO);
  capture.inspect = [this, &capture](HWND box) {
    Check(box, "message box \"" + ToUtf8(capture.Messages().back().text) + "\"");
  };
  ASSERT_TRUE(Start(Corpus(L"bmpsuite\\g\\pal4.bmp").c_str()));
  Check(MainWindow(), "main window");
  Check(MenuBarWindow(), "menu bar");

  CheckDialog(IDC_CMD_OPTIONS, "options");
  CheckDialog(IDC_CMD_OPEN, "open");
  CheckDialog(IDC_CMD_ABOUT, "about");
  CheckDialog(IDC_CMD_PROPERTIES, "properties", [](HWND sheet) {
    for (int page = 1; page < 4; ++page) {  // the three pages and the details
      SendMessageW(sheet, PSM_SETCURSEL, page, 0);
      for (const std::string& p : ScreenFitProblems(sheet)) ADD_FAILURE() << "properties page " << page << ": " << p;
    }
  });
  CheckDialog(IDC_CMD_ZOOM_DIALOG, "zoom", [](HWND dialog) {
    SetDlgItemTextW(dialog, IDC_ZOOM_EDIT, L"5");
    Click(dialog, IDOK);  // the range warning
  });
  CheckDialog(IDC_CMD_PLUGINS, "plug-in manager", [](HWND dialog) {
    SendDlgItemMessageW(dialog, IDC_PLUGIN_LIST, LB_SETCURSEL, 0, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_PLUGIN_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_PLUGIN_LIST)));
    Click(dialog, IDC_PLUGIN_REMOVE);  // the question, answered no
  });
  CheckDialog(IDC_CMD_ASSOCIATIONS, "file types", [](HWND dialog) {
    SendDlgItemMessageW(dialog, IDC_ASSOC_FORMATS, LB_SETCURSEL, 0, 0);
    Click(dialog, IDC_ASSOC_LINK);  // the question, answered no
  });
  const size_t plugIns = DeliveredPlugIns().size();
  for (UINT id = 1000; id < 1000 + plugIns; ++id) CheckDialog(id, "plug-in about " + std::to_string(id));

  for (const std::string& p : MenuProblems(MainMenu())) problems_.push_back(p);

  // The status bar's place, name and page of a long-named picture of several pages fit it.
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring longName = std::wstring(temp) + std::wstring(120, L'w') + L".tif";
  ASSERT_TRUE(CopyFileW(Corpus(L"pillow\\g4-multi.tiff").c_str(), longName.c_str(), FALSE));
  SetFileAttributesW(longName.c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_EQ(TheDocument()->OpenFile(MainWindow(), longName.c_str()), 1);
  Command(IDC_CMD_NEXT_PAGE);
  const std::wstring status = StatusText(1);
  RECT part{};
  SendMessageW(StatusBarWindow(), SB_GETRECT, 1, reinterpret_cast<LPARAM>(&part));
  const auto statusFont = reinterpret_cast<HFONT>(SendMessageW(StatusBarWindow(), WM_GETFONT, 0, 0));
  EXPECT_LE(TextWidth(StatusBarWindow(), statusFont, status), part.right - part.left) << ToUtf8(status);
  EXPECT_NE(status.find(L"p. 2/3"), std::wstring::npos) << ToUtf8(status);
  EXPECT_NE(status.find(L"\x2026"), std::wstring::npos) << ToUtf8(status);
  EXPECT_EQ(status.find(L"/"), status.find_first_of(L"0123456789") + 1) << "the place comes first: " << ToUtf8(status);
  Command(IDC_CMD_CLOSE);
  DeleteFileW(longName.c_str());

  // An animation that ends at a damaged frame says so once, in the status bar and inside it.
  GifFile damagedGif(16, 16, 3, true);
  std::vector<uint8_t> pixels(256);
  for (int frame = 0; frame < 2; ++frame) {
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>((i + frame) % 16);
    damagedGif.Image(0, 0, 16, 16, pixels);
  }
  damagedGif.ImageData(0, 0, 16, 16, {4, 0xFF, 0xFF, 0xFF, 0xFF, 0});
  TempFile damaged(damagedGif.End(), L".gif");
  ASSERT_EQ(TheDocument()->OpenFile(MainWindow(), damaged.Path()), 1);
  PumpFor(400);
  const std::wstring said = StatusText(1);
  EXPECT_EQ(said, LoadLangString(IDS_ANIMATION_DAMAGED));
  EXPECT_LE(TextWidth(StatusBarWindow(), statusFont, said), part.right - part.left) << ToUtf8(said);
  Command(IDC_CMD_CLOSE);

  // Pictures that are refused by their plug-in, by every plug-in, or by the screen.
  ViewerDocument* document = TheDocument();
  ASSERT_NE(document, nullptr);
  TempFile unknown({'x'}, L".xyz");
  for (std::wstring path : {std::wstring(unknown.Path()), Corpus(L"bmpsuite\\b\\badbitcount.bmp"),
                            Corpus(L"bmpsuite\\b\\badplanes.bmp"), Corpus(L"pillow\\hopper_lzma.tif")}) {
    EXPECT_EQ(document->OpenFile(MainWindow(), path.c_str()), 0);
  }
  EXPECT_EQ(document->CurrentFile(), nullptr) << "nothing opens silently";

  HWND splash = ShowSplash(GetModuleHandleW(nullptr), MainWindow(), kSplashTimeout);
  ASSERT_NE(splash, nullptr);
  Check(splash, "splash");
  DestroyWindow(splash);

  std::vector<std::wstring> texts;
  for (const CapturedMessage& m : capture.Messages()) texts.push_back(m.text);
  EXPECT_EQ(texts, (std::vector<std::wstring>{
                       L"Please enter a zoom between 17% and 800%.",
                       L"Do you really want to remove this plug-in?",
                       L"Open files of this type with Zorvan Lumivex from now on?",
                       L"No installed plug-in can read this type of file.",
                       L"Unknown device independent format!",
                       L"This picture cannot be shown: the viewer cannot draw its format.",
                       L"TIFF-Compression 34925 is not supported!",
                   }));
  EXPECT_EQ(seen_.size(), 10 + plugIns + capture.Messages().size());
  for (const std::string& p : problems_) ADD_FAILURE() << p;
}

// The details page of a scanned photograph, on the device as a user finds it: the camera's
// facts among the rows, a control character of the file shown as "?", the list inside the
// screen and moved through with the d-pad.
TEST_F(ScreenFit, TheDetailsPageShowsTheCamerasFactsInsideTheScreen) {
  MessageCapture capture(IDNO);
  ASSERT_TRUE(Start(Corpus(L"pillow\\pport_g4.tif").c_str()));
  std::vector<std::pair<std::wstring, std::wstring>> rows;
  int selectedAfterDown = -1;
  {
    DialogDriver driver(GetCurrentThreadId(), [&](HWND sheet) {
      SendMessageW(sheet, PSM_SETCURSEL, 3, 0);
      Sleep(100);
      HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
      HWND list = GetDlgItem(page, IDC_DETAILS_LIST);
      for (int row = 0; row < ListView_GetItemCount(list); ++row) {
        wchar_t label[64] = L"", value[128] = L"";
        ListView_GetItemText(list, row, 0, label, 64);
        ListView_GetItemText(list, row, 1, value, 128);
        rows.push_back({label, value});
      }
      Check(sheet, "details page");
      SendMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
      SendMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
      selectedAfterDown = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
      PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    });
    Command(IDC_CMD_PROPERTIES);
  }
  const std::vector<std::pair<std::wstring, std::wstring>> expected = {
      {L"Name", L"pport_g4.tif"},
      {L"Format", L"TIFF, CCITT Group 4"},
      {L"Resolution", L"200 x 200 dpi"},
      {L"Camera make", L"?"},
      {L"Camera model", L"Photosmart Plus B210 series"},
  };
  for (const auto& row : expected) {
    EXPECT_NE(std::find(rows.begin(), rows.end(), row), rows.end()) << ToUtf8(row.first) << ": " << ToUtf8(row.second);
  }
  EXPECT_GE(selectedAfterDown, 1);
  EXPECT_TRUE(capture.Messages().empty());
  for (const std::string& p : problems_) ADD_FAILURE() << p;
}

}  // namespace
}  // namespace lmx::test
