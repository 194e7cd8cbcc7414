// The toolbar and the status bar as the screen shows them through every change of the
// options and every toggle of the bars: in their place, with their picture, and nothing
// stale left where a bar was.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "app/main_window.h"
#include "lang/lang_ids.h"
#include "tests/app/program_fixture.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/window_input.h"
#include "ui/settings.h"
#include "view/image_view.h"

namespace lmx::test {
namespace {

RECT WindowRect(HWND window) {
  RECT rc{};
  GetWindowRect(window, &rc);
  return rc;
}

int Differing(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
  int count = a.size() == b.size() ? 0 : -1;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) count += a[i] != b[i];
  return count;
}

// Pixels of the main window that a full repaint changes: what a change left stale.
int StalePixels() {
  const RECT rect = WindowRect(MainWindow());
  Pump();
  const std::vector<COLORREF> before = ScreenPixels(rect);
  RedrawWindow(MainWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  Pump();
  return Differing(before, ScreenPixels(rect));
}

void ChooseToolbarPosition(int position) {
  DialogDriver driver(GetCurrentThreadId(), [position](HWND dialog) {
    HWND combo = GetDlgItem(dialog, IDC_OPTIONS_TOOLBAR_POS);
    SendMessageW(combo, CB_SETCURSEL, position, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_OPTIONS_TOOLBAR_POS, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  SendMessageW(MainWindow(), WM_COMMAND, IDC_CMD_OPTIONS, 0);
}

TEST_F(ProgramTest, TheToolbarKeepsItsPlaceAndPictureThroughOptionsAndBarToggles) {
  ASSERT_TRUE(Start(Corpus(L"bmpsuite\\g\\rgb24.bmp").c_str()));
  HWND toolbar = GetParent(ViewerToolbarWindow());
  ASSERT_NE(toolbar, nullptr);
  PumpFor(100);
  const RECT first = WindowRect(toolbar);
  const std::vector<COLORREF> picture = ScreenPixels(first);
  ASSERT_FALSE(picture.empty());

  struct Step {
    const char* what;
    int toolbarPosition;  // -1: a bar toggle instead
    UINT toggle;
    bool atBottom;
  };
  const Step steps[] = {
      {"toolbar moved to the bottom", 1, 0, true},
      {"status bar hidden", -1, IDC_CMD_STATUSBAR, true},
      {"status bar shown", -1, IDC_CMD_STATUSBAR, true},
      {"toolbar hidden and shown", -1, IDC_CMD_TOOLBAR, true},
      {"toolbar moved to the top", 0, 0, false},
      {"status bar hidden at the top", -1, IDC_CMD_STATUSBAR, false},
      {"status bar shown at the top", -1, IDC_CMD_STATUSBAR, false},
  };
  for (const Step& step : steps) {
    if (step.toolbarPosition >= 0) {
      ChooseToolbarPosition(step.toolbarPosition);
    } else {
      Command(step.toggle);
      if (step.toggle == IDC_CMD_TOOLBAR) Command(step.toggle);
    }
    PumpFor(50);
    ASSERT_TRUE(IsWindowVisible(toolbar)) << step.what;
    const RECT now = WindowRect(toolbar);
    const RECT area = WindowRect(ViewerMainCtrlWindow());
    EXPECT_EQ(step.atBottom ? now.top > area.top : now.top == area.top, true) << step.what;
    EXPECT_EQ(Differing(ScreenPixels(now), picture), 0) << step.what << ": the toolbar's picture";
    EXPECT_EQ(StalePixels(), 0) << step.what << ": pixels left from before the change";
  }
  EXPECT_EQ(Settings().toolbarAlign, 0u);
  EXPECT_EQ(Settings().showStatusbar, 1u);
}

}  // namespace
}  // namespace lmx::test
