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

void Tap(int x, int y) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input[3]{};
  for (INPUT& i : input) {
    i.type = INPUT_MOUSE;
    i.mi.dx = (x * 65535 + width / 2) / (width - 1);
    i.mi.dy = (y * 65535 + height / 2) / (height - 1);
  }
  input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
  input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
  SendInput(3, input, sizeof(INPUT));
  PumpFor(100);
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
