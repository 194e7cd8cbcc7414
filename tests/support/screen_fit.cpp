#include "tests/support/screen_fit.h"

#include <cstdio>

#include "tests/support/window_input.h"
#include "tools/support/message_capture.h"

namespace lmx::test {
namespace {

std::string Describe(HWND window) {
  wchar_t cls[64] = L"";
  GetClassNameW(window, cls, 64);
  char id[16];
  std::snprintf(id, sizeof id, "%d", GetDlgCtrlID(window));
  return ToUtf8(cls) + " " + id + " \"" + ToUtf8(TextOf(window)) + "\"";
}

std::string Where(const RECT& r) {
  char text[64];
  std::snprintf(text, sizeof text, " (%ld, %ld)-(%ld, %ld)", r.left, r.top, r.right, r.bottom);
  return text;
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// The extent of `text` in the control's font: wrapped at `width` when `wrap`, else one line.
SIZE TextExtent(HWND control, const std::wstring& text, int width, bool wrap, bool prefix) {
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  RECT r{0, 0, wrap ? width : 0, 0};
  UINT format = DT_LEFT | DT_EXPANDTABS | DT_CALCRECT | (wrap ? DT_WORDBREAK : DT_SINGLELINE);
  if (!prefix) format |= DT_NOPREFIX;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

// Room the control leaves its text: a check box's box and a group's frame take their share.
int TextRoom(HWND control, const std::wstring& cls, LONG style, int width) {
  if (cls != L"Button") return width;
  switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE:
      return width - GetSystemMetrics(SM_CXMENUCHECK) - 4;
    case BS_GROUPBOX:
      return width - 16;
    default:
      return width - 4;  // the push button's edges
  }
}

void CheckText(HWND control, std::vector<std::string>* problems) {
  wchar_t name[32] = L"";
  GetClassNameW(control, name, 32);
  const std::wstring cls = name;
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  bool wrap = false, prefix = true;
  if (lstrcmpiW(name, L"Static") == 0) {
    const LONG type = style & SS_TYPEMASK;
    if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP && type != SS_SIMPLE) {
      return;  // pictures and frames
    }
    wrap = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
    prefix = !(style & SS_NOPREFIX);
  } else if (cls == L"Button") {
    wrap = (style & BS_MULTILINE) != 0;
  } else {
    return;
  }
  const std::wstring text = TextOf(control);
  if (text.empty()) return;
  RECT client{};
  GetClientRect(control, &client);
  const int room = TextRoom(control, cls, style, client.right);
  const SIZE extent = TextExtent(control, text, room, wrap, prefix);
  if (extent.cx > room) {
    problems->push_back(Describe(control) + ": text " + std::to_string(extent.cx) + " px wide in " +
                        std::to_string(room));
  } else if (wrap && (style & BS_TYPEMASK) != BS_GROUPBOX && extent.cy > client.bottom) {
    problems->push_back(Describe(control) + ": wrapped text " + std::to_string(extent.cy) + " px high in " +
                        std::to_string(client.bottom));
  }
}

}  // namespace

std::vector<std::string> ScreenFitProblems(HWND window) {
  std::vector<std::string> problems;
  const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  RECT rc{};
  GetWindowRect(window, &rc);
  if (!Inside(rc, screen)) problems.push_back(Describe(window) + ": reaches past the screen" + Where(rc));
  struct Walk {
    RECT screen;
    std::vector<std::string>* problems;
  } walk{screen, &problems};
  EnumChildWindows(
      window,
      [](HWND child, LPARAM param) -> BOOL {
        auto* w = reinterpret_cast<Walk*>(param);
        if (!IsWindowVisible(child)) return TRUE;
        RECT r{};
        GetWindowRect(child, &r);
        if (!Inside(r, w->screen)) w->problems->push_back(Describe(child) + ": reaches past the screen" + Where(r));
        CheckText(child, w->problems);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&walk));
  return problems;
}

}  // namespace lmx::test
