// What the dialog tests share: a document with plug-ins over the test prefix's registry,
// an owner window, and the hands of the test thread that acts on the dialogs.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "host/viewer_document.h"
#include "tests/host/host_fixture.h"
#include "tests/support/window_input.h"

namespace lmx::test {

// HostTest with the program's document made (TheDocument()) and an owner window standing in
// for the main window. The document is destroyed, so every plug-in library is unloaded,
// before the fixture ends.
class DialogsTest : public HostTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Registers the four delivered plug-ins and discovers them into the document.
  void InstallDeliveredPlugIns();

  ViewerDocument* document = nullptr;
  HWND owner = nullptr;
  DWORD uiThread = 0;
};

// Waits (up to 5 s) for a visible dialog of `thread` other than `other`.
HWND WaitForDialog(DWORD thread, HWND other = nullptr);
// Waits (up to 5 s) until `dialog` is gone.
bool WaitUntilGone(HWND dialog);
// Clicks the Done button of `dialog` (or sends it IDOK when it has none) without waiting.
void PressDone(HWND dialog);
// WM_COMMAND of a button click, sent: returns when the dialog has handled it.
void Click(HWND dialog, int id);

// The explorer dialog's hands: a double tap on the row named `name`.
void DoubleTapRow(HWND explorer, const std::wstring& name);

}  // namespace lmx::test
