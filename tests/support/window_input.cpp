#include "tests/support/window_input.h"

#include <commctrl.h>

namespace lmx::test {

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void PumpFor(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  do {
    Pump();
    Sleep(5);
  } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

void DoubleTap(HWND list, int index) {
  RECT rc{};
  rc.left = LVIR_LABEL;
  SendMessageW(list, LVM_ENSUREVISIBLE, index, FALSE);
  SendMessageW(list, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rc));
  const LPARAM at = MAKELPARAM(rc.left + 4, (rc.top + rc.bottom) / 2);
  SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  SendMessageW(list, WM_LBUTTONUP, 0, at);
}

}  // namespace lmx::test
