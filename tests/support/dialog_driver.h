// Waits on a second thread for the modal dialog of `uiThread`, then acts on it with window
// messages while the dialog's own loop runs on the test thread.
#pragma once

#include <windows.h>

#include <cwchar>
#include <functional>
#include <thread>

namespace lmx::test {

class DialogDriver {
 public:
  DialogDriver(DWORD uiThread, std::function<void(HWND)> act)
      : thread_([uiThread, act] {
          HWND dialog = nullptr;
          for (int i = 0; i < 3000 && !dialog; ++i) {
            EnumThreadWindows(uiThread, FindDialog, reinterpret_cast<LPARAM>(&dialog));
            if (!dialog) Sleep(10);
          }
          if (dialog) act(dialog);
        }) {}
  ~DialogDriver() { thread_.join(); }
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;

 private:
  static BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    wchar_t name[32];
    if (IsWindowVisible(window) && GetClassNameW(window, name, 32) && wcscmp(name, L"#32770") == 0) {
      *reinterpret_cast<HWND*>(found) = window;
      return FALSE;
    }
    return TRUE;
  }
  std::thread thread_;
};

}  // namespace lmx::test
