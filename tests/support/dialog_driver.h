// Waits on a second thread for the modal dialog of `uiThread`, then acts on it with window
// messages while the dialog's own loop runs on the test thread.
#pragma once

#include <windows.h>

#include <functional>
#include <thread>

#include "tests/support/window_input.h"

namespace lmx::test {

class DialogDriver {
 public:
  DialogDriver(DWORD uiThread, std::function<void(HWND)> act)
      : thread_([uiThread, act] {
          if (HWND dialog = FindShownWindow(L"#32770", uiThread, 0, 30000)) act(dialog);
        }) {}
  ~DialogDriver() { thread_.join(); }
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;

 private:
  std::thread thread_;
};

}  // namespace lmx::test
