// Message boxes narrowed to the screen. The user library sizes a message box to its text on
// one long line where it can, and on a 240-pixel screen that box is cut on both sides. The
// device's boxes are as wide as the screen and wrap their text instead: when a box is about
// to be activated and is wider than the screen, it is laid out again at the screen's width.
#include "platform/message_box.h"

#include <algorithm>
#include <vector>

namespace lmx {
namespace {

HHOOK gHook = nullptr;

RECT ChildRect(HWND parent, HWND child) {
  RECT rc{};
  GetWindowRect(child, &rc);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

// Height of `text` wrapped at `width` pixels in the font of `control`.
int WrappedTextHeight(HWND control, int width) {
  const int length = GetWindowTextLengthW(control);
  std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
  GetWindowTextW(control, text.data(), length + 1);
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  RECT r{0, 0, width, 0};
  UINT format = DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS | DT_CALCRECT;
  if (GetWindowLongW(control, GWL_STYLE) & SS_NOPREFIX) format |= DT_NOPREFIX;
  DrawTextW(dc, text.data(), length, &r, format);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return r.bottom - r.top;
}

std::vector<HWND> VisibleButtons(HWND box) {
  std::vector<HWND> buttons;
  for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    wchar_t cls[16] = L"";
    GetClassNameW(c, cls, 16);
    if ((GetWindowLongW(c, GWL_STYLE) & WS_VISIBLE) && lstrcmpiW(cls, L"Button") == 0) buttons.push_back(c);
  }
  std::sort(buttons.begin(), buttons.end(),
            [box](HWND a, HWND b) { return ChildRect(box, a).left < ChildRect(box, b).left; });
  return buttons;
}

void FitToScreen(HWND box) {
  const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const int screenWidth = screen.right - screen.left, screenHeight = screen.bottom - screen.top;
  RECT window{}, client{};
  GetWindowRect(box, &window);
  GetClientRect(box, &client);
  if (window.right - window.left <= screenWidth) return;

  HWND text = GetDlgItem(box, kMessageTextId);
  HWND icon = nullptr;
  for (int id : kMessageIconIds) {
    if (!icon) icon = GetDlgItem(box, id);
  }
  const std::vector<HWND> buttons = VisibleButtons(box);
  if (!text || buttons.empty()) return;

  const int frameWidth = (window.right - window.left) - client.right;
  const int frameHeight = (window.bottom - window.top) - client.bottom;
  const int clientWidth = screenWidth - frameWidth;
  const RECT textRect = ChildRect(box, text);
  const RECT iconRect = icon ? ChildRect(box, icon) : RECT{textRect.left, textRect.top, textRect.left, textRect.top};
  const RECT first = ChildRect(box, buttons.front());
  const int contentBottom = std::max(textRect.bottom, iconRect.bottom);
  const int gap = std::max(0, static_cast<int>(first.top - contentBottom));
  const int bottomMargin = std::max(0, static_cast<int>(client.bottom - first.bottom));
  const int sideMargin = std::min(iconRect.left, textRect.left);

  const int textWidth = std::max(1, clientWidth - static_cast<int>(textRect.left) - sideMargin);
  const int textHeight = WrappedTextHeight(text, textWidth);
  SetWindowPos(text, nullptr, textRect.left, textRect.top, textWidth, textHeight, SWP_NOZORDER | SWP_NOACTIVATE);

  // The buttons keep their size and spacing where the row fits, and close up where not.
  const int count = static_cast<int>(buttons.size());
  int buttonWidth = first.right - first.left;
  const int buttonHeight = first.bottom - first.top;
  int spacing = count > 1 ? static_cast<int>(ChildRect(box, buttons[1]).left - first.right) : 0;
  if (count * buttonWidth + (count - 1) * spacing > clientWidth - 2 * sideMargin) {
    spacing = std::min(spacing, sideMargin);
    buttonWidth = std::max(1, (clientWidth - 2 * sideMargin - (count - 1) * spacing) / count);
  }
  const int rowWidth = count * buttonWidth + (count - 1) * spacing;
  const int buttonTop = std::max(static_cast<int>(textRect.top) + textHeight, static_cast<int>(iconRect.bottom)) + gap;
  int x = (clientWidth - rowWidth) / 2;
  for (HWND button : buttons) {
    SetWindowPos(button, nullptr, x, buttonTop, buttonWidth, buttonHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    x += buttonWidth + spacing;
  }

  const int height = std::min(buttonTop + buttonHeight + bottomMargin + frameHeight, screenHeight);
  SetWindowPos(box, nullptr, screen.left, screen.top + (screenHeight - height) / 2, screenWidth, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK FitHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId() && IsMessageBoxWindow(window)) {
      FitToScreen(window);
    }
  }
  return CallNextHookEx(gHook, code, wParam, lParam);
}

}  // namespace

void InstallMessageBoxFit() {
  if (!gHook) gHook = SetWindowsHookExW(WH_CBT, FitHook, nullptr, GetCurrentThreadId());
}

void RemoveMessageBoxFit() {
  if (gHook) UnhookWindowsHookEx(gHook);
  gHook = nullptr;
}

}  // namespace lmx
