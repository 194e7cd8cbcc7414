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

namespace {

INPUT MouseAt(int x, int y, DWORD flags) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT i{};
  i.type = INPUT_MOUSE;
  i.mi.dx = (x * 65535 + width / 2) / (width - 1);
  i.mi.dy = (y * 65535 + height / 2) / (height - 1);
  i.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
  return i;
}

// Between two events the platform may take the pointer back to where its display keeps it:
// each event that needs a place carries the move to it, after a move that brings the pointer
// over the window first.
void PenStroke(int x1, int y1, int x2, int y2, DWORD settleMs) {
  INPUT input[3] = {MouseAt(x1, y1, MOUSEEVENTF_MOVE), MouseAt(x1, y1, MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN),
                    MouseAt(x2, y2, MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP)};
  SendInput(3, input, sizeof(INPUT));
  PumpFor(settleMs);
}

}  // namespace

void Tap(int x, int y) { PenStroke(x, y, x, y, 100); }

void Stroke(int x1, int y1, int x2, int y2) { PenStroke(x1, y1, x2, y2, 150); }

void PressKey(WORD virtualKey) {
  INPUT input[2]{};
  for (INPUT& i : input) {
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = virtualKey;
  }
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof(INPUT));
  PumpFor(100);
}

void TurnWheel(int x, int y, int delta) {
  INPUT wheel = MouseAt(x, y, MOUSEEVENTF_MOVE | MOUSEEVENTF_WHEEL);
  wheel.mi.mouseData = static_cast<DWORD>(delta);
  SendInput(1, &wheel, sizeof(INPUT));
  PumpFor(100);
}

HWND FindShownWindow(const wchar_t* className, DWORD thread, DWORD process, DWORD waitMs, HWND other) {
  struct Search {
    const wchar_t* className;
    DWORD process;
    HWND other, found;
  } search{className, process, other, nullptr};
  const WNDENUMPROC match = [](HWND window, LPARAM param) -> BOOL {
    auto* s = reinterpret_cast<Search*>(param);
    wchar_t name[64] = L"";
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (window == s->other || !IsWindowVisible(window) || (s->process && owner != s->process) ||
        !GetClassNameW(window, name, 64) || lstrcmpW(name, s->className) != 0) {
      return TRUE;
    }
    s->found = window;
    return FALSE;
  };
  const DWORD end = GetTickCount() + waitMs;
  for (;;) {
    if (thread) EnumThreadWindows(thread, match, reinterpret_cast<LPARAM>(&search));
    else EnumWindows(match, reinterpret_cast<LPARAM>(&search));
    if (search.found || static_cast<LONG>(end - GetTickCount()) <= 0) return search.found;
    Sleep(10);
  }
}

HWND DoneButtonOf(HWND dialog) {
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (GetWindow(w, GW_OWNER) == dialog && GetDlgItem(w, IDOK)) return GetDlgItem(w, IDOK);
  }
  return nullptr;
}

std::wstring TextOf(HWND window) {
  std::wstring text(65536, L'\0');
  DWORD_PTR length = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG, 5000,
                      &length);
  return text.c_str();
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

std::string RectText(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

std::string WindowRectText(HWND window) {
  RECT rc{};
  GetWindowRect(window, &rc);
  return RectText(rc);
}

}  // namespace lmx::test
