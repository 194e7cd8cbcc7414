#include "tests/dialogs/dialogs_fixture.h"

#include <commctrl.h>

#include <cwchar>

#include "explorer/explorer_ids.h"
#include "tests/explorer/explorer_fixture.h"
#include "tests/support/window_input.h"
#include "ui/settings.h"

namespace lmx::test {

void DialogsTest::SetUp() {
  HostTest::SetUp();
  document = CreateTheDocument();
  uiThread = GetCurrentThreadId();
  owner = CreateWindowExW(0, L"Static", L"Zorvan Lumivex", WS_POPUP | WS_VISIBLE, 0, 26, 240, 268, nullptr,
                          nullptr, GetModuleHandleW(nullptr), nullptr);
}

void DialogsTest::TearDown() {
  DestroyTheDocument();
  document = nullptr;
  DestroyWindow(owner);
  HostTest::TearDown();
}

void DialogsTest::InstallDeliveredPlugIns() {
  for (const auto& path : DeliveredPlugIns()) ASSERT_TRUE(RegisterLibrary(path, PlugInsKey()));
  document->DiscoverPlugIns(PlugInsKey());
  ASSERT_EQ(document->plugIns()->Count(), 4u);
}

HWND WaitForDialog(DWORD thread, HWND other) { return FindShownWindow(L"#32770", thread, 0, 5000, other); }

bool WaitUntilGone(HWND dialog) {
  for (int i = 0; i < 500; ++i) {
    if (!IsWindow(dialog) || !IsWindowVisible(dialog)) return true;
    Sleep(10);
  }
  return false;
}

void PressDone(HWND dialog) {
  if (HWND done = DoneButtonOf(dialog)) PostMessageW(done, BM_CLICK, 0, 0);
  else PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

void Click(HWND dialog, int id) {
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void DoubleTapRow(HWND explorer, const std::wstring& name) {
  HWND list = GetDlgItem(GetDlgItem(explorer, IDC_EXPLORER_VIEW), IDC_EXPLORER_LIST);
  const int index = RowIndex(list, name);
  ASSERT_GE(index, 0) << "no row " << std::string(name.begin(), name.end());
  DoubleTap(list, index);
}

}  // namespace lmx::test
