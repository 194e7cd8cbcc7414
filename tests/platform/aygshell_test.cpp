#include <gtest/gtest.h>

#include <vector>

#include "platform/aygshell.h"
#include "tests/support/window_input.h"
#include "tools/support/message_capture.h"

namespace {

using lmx::test::Pump;
using lmx::test::RectText;

// A dialog template built in memory: a captioned, framed pop-up with one button.
class DialogTemplate {
 public:
  DialogTemplate() {
    Align();
    DLGTEMPLATE t{};
    t.style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    t.cdit = 1;
    t.cx = 100;
    t.cy = 60;
    Put(&t, sizeof(t));
    Word(0);            // no menu
    Word(0);            // standard class
    Text(L"Sample");    // caption
    Align();
    DLGITEMTEMPLATE item{};
    item.style = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
    item.x = 10;
    item.y = 10;
    item.cx = 40;
    item.cy = 14;
    item.id = 1001;
    Put(&item, sizeof(item));
    Word(0xFFFF);
    Word(0x0080);  // button
    Text(L"Push");
    Word(0);
  }
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }

 private:
  void Put(const void* p, size_t n) {
    auto* b = static_cast<const BYTE*>(p);
    bytes_.insert(bytes_.end(), b, b + n);
  }
  void Word(WORD w) { Put(&w, 2); }
  void Text(const wchar_t* s) { Put(s, (wcslen(s) + 1) * 2); }
  void Align() { while (bytes_.size() % 4) bytes_.push_back(0); }
  std::vector<BYTE> bytes_;
};

struct DialogRecord {
  int commands[8] = {};
  int commandCount = 0;
};

INT_PTR CALLBACK RecordingProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    return TRUE;
  }
  auto* record = reinterpret_cast<DialogRecord*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (record && msg == WM_COMMAND && record->commandCount < 8) {
    record->commands[record->commandCount++] = LOWORD(wParam);
    return TRUE;
  }
  return FALSE;
}

HWND MakeDialog(DialogRecord* record) {
  static DialogTemplate dialogTemplate;
  return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate.Get(), nullptr, RecordingProc,
                                    reinterpret_cast<LPARAM>(record));
}

BOOL SetSip(bool up, DWORD size = sizeof(SIPINFO)) {
  SIPINFO info{};
  info.cbSize = size;
  info.fdwFlags = up ? SIPF_ON | SIPF_DOCKED : 0;
  return SHSipInfo(SPI_SETSIPINFO, 0, &info, 0);
}

SIPINFO GetSip() {
  SIPINFO info{};
  info.cbSize = sizeof(info);
  EXPECT_TRUE(SHSipInfo(SPI_GETSIPINFO, 0, &info, 0));
  return info;
}

// A top-level window that counts the settings changes it is sent.
struct SettingWatcher {
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SETTINGCHANGE) {
      auto* self = reinterpret_cast<SettingWatcher*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
      if (self) self->params.push_back(wParam);
      return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  SettingWatcher() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LmxSettingWatcher";
    RegisterClassW(&wc);
    hwnd = CreateWindowExW(0, wc.lpszClassName, L"watcher", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           wc.hInstance, nullptr);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~SettingWatcher() { DestroyWindow(hwnd); }
  HWND hwnd;
  std::vector<WPARAM> params;
};

class AygshellTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SetSip(false)); }
  void TearDown() override { SetSip(false); }
  lmx::MessageCapture capture;
};

TEST_F(AygshellTest, ExportsEachEntryByNameAndByTheDevicesOrdinal) {
  HMODULE shell = GetModuleHandleW(L"aygshell.dll");
  ASSERT_NE(shell, nullptr);
  const struct { const char* name; WORD ordinal; } exports[] = {
      {"SHSipInfo", 4},
      {"SHInitExtraControls", 9},
      {"SHCreateMenuBar", 34},
      {"SHInitDialog", 56},
      {"SHHandleWMSettingChange", 83}};
  for (const auto& e : exports) {
    FARPROC byName = GetProcAddress(shell, e.name);
    ASSERT_NE(byName, nullptr) << e.name;
    EXPECT_EQ(reinterpret_cast<FARPROC>(GetProcAddress(shell, MAKEINTRESOURCEA(e.ordinal))), byName) << e.name;
  }
  // The command-bar bitmap call is commctrl's on the device: here it is found by name only.
  EXPECT_NE(GetProcAddress(shell, "CommandBar_AddBitmap"), nullptr);
  EXPECT_TRUE(SHInitExtraControls());
}

TEST_F(AygshellTest, InputPanelDownLeavesTheScreenBelowTheTopBar) {
  SIPINFO info = GetSip();
  EXPECT_EQ(info.fdwFlags & SIPF_ON, 0u);
  EXPECT_EQ(RectText(info.rcVisibleDesktop), RectText(0, 26, 240, 320));

  ASSERT_TRUE(SetSip(true));
  info = GetSip();
  EXPECT_EQ(info.fdwFlags & (SIPF_ON | SIPF_DOCKED), static_cast<DWORD>(SIPF_ON | SIPF_DOCKED));
  EXPECT_EQ(info.rcVisibleDesktop.top, 26);
  EXPECT_EQ(info.rcVisibleDesktop.bottom, info.rcSipRect.top);
  EXPECT_EQ(info.rcSipRect.bottom, 320 - 26) << "the panel docks above the menu bar";
}

TEST_F(AygshellTest, AcceptsTheDevicesRecordSizeAndRefusesOthers) {
  // The device's 48-byte record: filled up to its size, nothing written beyond.
  BYTE raw[64];
  memset(raw, 0xCD, sizeof(raw));
  auto* info = reinterpret_cast<SIPINFO*>(raw);
  info->cbSize = SIPINFO_DEVICE_SIZE;
  ASSERT_TRUE(SHSipInfo(SPI_GETSIPINFO, 0, info, 0));
  EXPECT_EQ(info->rcVisibleDesktop.bottom, 320);
  for (size_t i = SIPINFO_DEVICE_SIZE; i < sizeof(raw); ++i) EXPECT_EQ(raw[i], 0xCD) << "byte " << i;
  EXPECT_TRUE(SetSip(true, SIPINFO_DEVICE_SIZE));
  EXPECT_TRUE(GetSip().fdwFlags & SIPF_ON);

  SIPINFO wrong{};
  wrong.cbSize = 12;
  EXPECT_FALSE(SHSipInfo(SPI_GETSIPINFO, 0, &wrong, 0));
  EXPECT_FALSE(SHSipInfo(SPI_SETSIPINFO, 0, nullptr, 0));
  EXPECT_FALSE(SHSipInfo(SPI_GETCURRENTIM, 0, &wrong, 0));
}

TEST_F(AygshellTest, RaisingAndLoweringThePanelTellsTheTopLevelWindows) {
  SettingWatcher watcher;
  ASSERT_NE(watcher.hwnd, nullptr);
  ASSERT_TRUE(SetSip(true));
  Pump();
  ASSERT_EQ(watcher.params.size(), 1u);
  EXPECT_EQ(watcher.params[0], static_cast<WPARAM>(SPI_SETSIPINFO));

  ASSERT_TRUE(SetSip(true));  // no change, no message
  Pump();
  EXPECT_EQ(watcher.params.size(), 1u);

  ASSERT_TRUE(SetSip(false));
  Pump();
  EXPECT_EQ(watcher.params.size(), 2u);
}

TEST_F(AygshellTest, FullScreenDialogFillsTheScreenBelowTheTopBarWithADoneButton) {
  DialogRecord record;
  HWND dialog = MakeDialog(&record);
  ASSERT_NE(dialog, nullptr);
  SHINITDLGINFO init{SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN};
  ASSERT_TRUE(SHInitDialog(&init));
  ASSERT_TRUE(SHInitDialog(&init)) << "a second call changes nothing";

  EXPECT_EQ(lmx::test::WindowRectText(dialog), RectText(0, 26, 240, 320));
  RECT rc;
  GetClientRect(dialog, &rc);
  EXPECT_EQ(RectText(rc), RectText(0, 0, 240, 294)) << "no frame nor caption is left";

  // The top bar is the dialog's one owned pop-up; its "OK" button sends IDOK.
  HWND bar = nullptr;
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (GetWindow(w, GW_OWNER) == dialog) {
      EXPECT_EQ(bar, nullptr) << "one bar only";
      bar = w;
    }
  }
  ASSERT_NE(bar, nullptr);
  GetWindowRect(bar, &rc);
  EXPECT_EQ(rc.top, 0);
  EXPECT_EQ(rc.bottom, 26);
  EXPECT_TRUE(IsWindowVisible(bar));
  HWND done = GetDlgItem(bar, IDOK);
  ASSERT_NE(done, nullptr);
  wchar_t text[16];
  GetWindowTextW(done, text, 16);
  EXPECT_STREQ(text, L"OK");
  SendMessageW(done, BM_CLICK, 0, 0);
  ASSERT_EQ(record.commandCount, 1);
  EXPECT_EQ(record.commands[0], IDOK);

  DestroyWindow(dialog);
  EXPECT_FALSE(IsWindow(bar)) << "the bar goes with its dialog";
  EXPECT_TRUE(capture.Messages().empty());
}

TEST_F(AygshellTest, DialogWithoutFlagsOrWindowIsLeftAlone) {
  DialogRecord record;
  HWND dialog = MakeDialog(&record);
  ASSERT_NE(dialog, nullptr);
  RECT before, after;
  GetWindowRect(dialog, &before);
  SHINITDLGINFO init{0, dialog, SHIDIF_SIZEDLGFULLSCREEN};
  EXPECT_TRUE(SHInitDialog(&init));
  GetWindowRect(dialog, &after);
  EXPECT_TRUE(EqualRect(&before, &after));
  SHINITDLGINFO none{SHIDIM_FLAGS, nullptr, SHIDIF_DONEBUTTON};
  EXPECT_FALSE(SHInitDialog(&none));
  EXPECT_FALSE(SHInitDialog(nullptr));
  DestroyWindow(dialog);
}

TEST_F(AygshellTest, SettingsChangeHandlerFitsTheDialogAboveThePanelAndBack) {
  DialogRecord record;
  HWND dialog = MakeDialog(&record);
  ASSERT_NE(dialog, nullptr);
  SHINITDLGINFO init{SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN};
  ASSERT_TRUE(SHInitDialog(&init));

  ASSERT_TRUE(SetSip(true));
  SHACTIVATEINFO sai{};
  EXPECT_TRUE(SHHandleWMSettingChange(dialog, static_cast<WPARAM>(-1), 0, &sai));
  RECT rc;
  GetWindowRect(dialog, &rc);
  EXPECT_EQ(rc.top, 26);
  EXPECT_EQ(rc.bottom, GetSip().rcSipRect.top);
  EXPECT_EQ(sai.fSipUp, 1u);

  // A fresh zeroed record each time, as the explorer passes: the room still comes back.
  ASSERT_TRUE(SetSip(false));
  SHACTIVATEINFO fresh{};
  EXPECT_TRUE(SHHandleWMSettingChange(dialog, SPI_SETSIPINFO, 0, &fresh));
  GetWindowRect(dialog, &rc);
  EXPECT_EQ(rc.bottom, 320);

  EXPECT_FALSE(SHHandleWMSettingChange(dialog, SPI_SETDESKWALLPAPER, 0, &fresh));
  DestroyWindow(dialog);
}

}  // namespace
