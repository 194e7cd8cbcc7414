#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "common/utils.h"
#include "dialogs/options_dialog.h"
#include "lang/lang_ids.h"
#include "platform/aygshell.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/test_env.h"
#include "tests/support/window_input.h"
#include "tools/support/message_capture.h"

namespace {

using lmx::AppSettings;

using lmx::test::DialogDriver;

// The check boxes and radio buttons in the order `Seen::checked` holds them.
constexpr int kChecks[] = {IDC_OPTIONS_PEN,     IDC_OPTIONS_SCROLLBARS, IDC_OPTIONS_BARS_SLIM, IDC_OPTIONS_BARS_FULL,
                           IDC_OPTIONS_TOOLBAR, IDC_OPTIONS_STATUSBAR,  IDC_OPTIONS_STARTUP};

struct Seen {
  std::vector<bool> checked, barsEnabled;  // barsEnabled: slim, full
  bool enabledAfterScrollBars = false, disabledAfterPen = false;
  std::vector<std::wstring> positions;  // the toolbar position's choices
  int comboSelection = -1;
  RECT window{};
  bool doneButton = false;
};

bool Checked(HWND dialog, int id) { return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::vector<std::wstring> ComboTexts(HWND dialog) {
  std::vector<std::wstring> texts;
  const LRESULT count = SendDlgItemMessageW(dialog, IDC_OPTIONS_TOOLBAR_POS, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t text[64] = L"";
    SendDlgItemMessageW(dialog, IDC_OPTIONS_TOOLBAR_POS, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    texts.push_back(text);
  }
  return texts;
}

void Click(HWND dialog, int id) { SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0); }

class OptionsDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    lang = lmx::test::LoadBuilt(L"LumivexLangComp.dll");
    lmx::SetResourceModule(lang);
    main = CreateWindowExW(0, L"Static", L"Zorvan Lumivex", WS_POPUP | WS_VISIBLE, 0, 26, 240, 268, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
    ZeroMemory(&settings, sizeof(settings));
    settings.msState = 0;
    settings.slState = 1;
    settings.showAddToolbar = 1;
    settings.showStatusbar = 0;
    settings.startup = 1;
    settings.toolbarAlign = 1;
    SIPINFO up{};
    up.cbSize = sizeof(up);
    up.fdwFlags = SIPF_ON;
    SHSipInfo(SPI_SETSIPINFO, 0, &up, 0);
  }
  void TearDown() override {
    DestroyWindow(main);
    lmx::SetResourceModule(nullptr);
    FreeLibrary(lang);
  }
  INT_PTR Run(std::function<void(HWND)> act, unsigned* changes) {
    DialogDriver driver(GetCurrentThreadId(), act);
    return lmx::RunOptionsDialog(main, lang, &settings, changes);
  }
  lmx::MessageCapture capture;
  HMODULE lang = nullptr;
  HWND main = nullptr;
  AppSettings settings;
};

TEST_F(OptionsDialogTest, ShowsTheRecordFullScreenAndStoresTheChoicesOnDone) {
  Seen seen;
  unsigned changes = 99;
  const INT_PTR result = Run(
      [&seen](HWND dialog) {
        GetWindowRect(dialog, &seen.window);
        for (int id : kChecks) seen.checked.push_back(Checked(dialog, id));
        for (int id : {IDC_OPTIONS_BARS_SLIM, IDC_OPTIONS_BARS_FULL}) {
          seen.barsEnabled.push_back(IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE);
        }
        seen.positions = ComboTexts(dialog);
        seen.comboSelection = static_cast<int>(SendDlgItemMessageW(dialog, IDC_OPTIONS_TOOLBAR_POS, CB_GETCURSEL, 0, 0));

        Click(dialog, IDC_OPTIONS_SCROLLBARS);
        seen.enabledAfterScrollBars = IsWindowEnabled(GetDlgItem(dialog, IDC_OPTIONS_BARS_SLIM)) &&
                                      IsWindowEnabled(GetDlgItem(dialog, IDC_OPTIONS_BARS_FULL));
        Click(dialog, IDC_OPTIONS_PEN);
        seen.disabledAfterPen = !IsWindowEnabled(GetDlgItem(dialog, IDC_OPTIONS_BARS_SLIM)) &&
                                !IsWindowEnabled(GetDlgItem(dialog, IDC_OPTIONS_BARS_FULL));
        Click(dialog, IDC_OPTIONS_SCROLLBARS);
        Click(dialog, IDC_OPTIONS_BARS_SLIM);
        Click(dialog, IDC_OPTIONS_STARTUP);
        SendDlgItemMessageW(dialog, IDC_OPTIONS_TOOLBAR_POS, CB_SETCURSEL, 0, 0);
        HWND done = lmx::test::DoneButtonOf(dialog);
        seen.doneButton = done != nullptr;
        if (done) SendMessageW(done, BM_CLICK, 0, 0);
        else PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      },
      &changes);

  EXPECT_EQ(lmx::test::RectText(seen.window), lmx::test::RectText(0, 26, 240, 320));
  // Pen, not scroll bars, full bars (both greyed with the pen), toolbar, no status bar, splash.
  EXPECT_EQ(seen.checked, (std::vector<bool>{true, false, false, true, true, false, true}));
  EXPECT_EQ(seen.barsEnabled, (std::vector<bool>{false, false}));
  EXPECT_EQ(seen.positions, (std::vector<std::wstring>{L"Top", L"Bottom"}));
  EXPECT_EQ(seen.comboSelection, 1);
  EXPECT_TRUE(seen.enabledAfterScrollBars);
  EXPECT_TRUE(seen.disabledAfterPen);
  ASSERT_TRUE(seen.doneButton);

  EXPECT_EQ(result, 1);
  EXPECT_EQ(settings.msState, 1u);
  EXPECT_EQ(settings.slState, 0u);
  EXPECT_EQ(settings.showAddToolbar, 1u);
  EXPECT_EQ(settings.showStatusbar, 0u);
  EXPECT_EQ(settings.startup, 0u);
  EXPECT_EQ(settings.toolbarAlign, 0u);
  EXPECT_EQ(changes, static_cast<unsigned>(lmx::kOptionsScrollModeChanged | lmx::kOptionsToolbarAlignChanged));

  SIPINFO sip{};
  sip.cbSize = sizeof(sip);
  ASSERT_TRUE(SHSipInfo(SPI_GETSIPINFO, 0, &sip, 0));
  EXPECT_EQ(sip.fdwFlags & SIPF_ON, 0u) << "the dialog lowers the input panel";
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_TRUE(capture.Messages().empty());
}

TEST_F(OptionsDialogTest, CancelLeavesTheRecordAlone) {
  const AppSettings before = settings;
  unsigned changes = 99;
  const INT_PTR result = Run(
      [](HWND dialog) {
        Click(dialog, IDC_OPTIONS_SCROLLBARS);
        Click(dialog, IDC_OPTIONS_TOOLBAR);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      },
      &changes);
  EXPECT_EQ(result, 2);
  EXPECT_EQ(changes, 0u);
  EXPECT_EQ(memcmp(&before, &settings, sizeof(settings)), 0);
}

TEST_F(OptionsDialogTest, ChangingOnlyTheSplashAsksForNoNewLayout) {
  settings.msState = 5;  // any non-zero value means scroll bars
  unsigned changes = 99;
  const INT_PTR result = Run(
      [](HWND dialog) {
        Click(dialog, IDC_OPTIONS_STARTUP);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
      },
      &changes);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(settings.startup, 0u);
  EXPECT_EQ(settings.msState, 1u) << "stored as 1";
  EXPECT_EQ(changes, 0u);
}

TEST_F(OptionsDialogTest, TheSlideShowSecondsAreKeptInTheirRangeAndRepeatIsStored) {
  const struct {
    const wchar_t* typed;
    DWORD stored;
  } kCases[] = {{L"7", 7}, {L"0", 1}, {L"99", 60}, {L"", 5}, {L"60", 60}};
  for (const auto& c : kCases) {
    settings.slideSeconds = 9;
    settings.slideRepeat = 0;
    std::wstring shown;
    unsigned changes = 99;
    Run(
        [&](HWND dialog) {
          wchar_t text[8] = L"";
          GetDlgItemTextW(dialog, IDC_OPTIONS_SLIDE_SECONDS, text, 8);
          shown = text;
          SetDlgItemTextW(dialog, IDC_OPTIONS_SLIDE_SECONDS, c.typed);
          Click(dialog, IDC_OPTIONS_SLIDE_REPEAT);
          SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        },
        &changes);
    EXPECT_EQ(shown, L"9");
    EXPECT_EQ(settings.slideSeconds, c.stored) << lmx::ToUtf8(c.typed);
    EXPECT_EQ(settings.slideRepeat, 1u);
    EXPECT_EQ(changes, 0u) << "nothing to lay out again";
  }
}

TEST_F(OptionsDialogTest, MissingTemplateRunsNothing) {
  unsigned changes = 99;
  EXPECT_EQ(lmx::RunOptionsDialog(main, GetModuleHandleW(nullptr), &settings, &changes), -1);
  EXPECT_EQ(changes, 0u);
}

}  // namespace
