#include "ui/status_bar.h"

#include <commctrl.h>

#include <cwchar>

#include "common/utils.h"
#include "ui/settings.h"

namespace lmx {

namespace {

HWND gStatusBar = nullptr;
int gStatusBarHeight = 0;

constexpr int kStatusTextChars = 2 * kPathPartChars + 8;

}  // namespace

HWND StatusBar_Create(HWND parent, UINT id) {
  StatusBar_Destroy();
  gStatusBar = CreateStatusWindowW(WS_CHILD | WS_VISIBLE, L"Ready", parent, id);
  if (gStatusBar) {
    RECT rc{};
    GetClientRect(gStatusBar, &rc);
    gStatusBarHeight = rc.bottom - rc.top;
  }
  return gStatusBar;
}

void StatusBar_Destroy() {
  if (gStatusBar && IsWindow(gStatusBar)) DestroyWindow(gStatusBar);
  gStatusBar = nullptr;
  gStatusBarHeight = 0;
}

HWND StatusBar_Window() { return gStatusBar; }

int StatusBar_Height() { return gStatusBar ? gStatusBarHeight : 0; }

void StatusBar_SetParts(const RECT& rect) {
  if (!gStatusBar) return;
  int edges[2] = {(rect.right - rect.left) * 40 / 100, -1};
  SendMessageW(gStatusBar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
}

void StatusBar_SetText(int part, const wchar_t* text) {
  if (!gStatusBar) return;
  SendMessageW(gStatusBar, SB_SETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text ? text : L""));
}

void StatusBar_Clear() {
  StatusBar_SetText(0, L"");
  StatusBar_SetText(1, L"");
}

void StatusBar_ShowZoomText(const wchar_t* zoomText) {
  if (!gStatusBar || !Settings().showStatusbar) return;
  wchar_t text[kStatusTextChars];
  swprintf(text, kStatusTextChars, L"Zoom: %ls", zoomText ? zoomText : L"");
  StatusBar_SetText(0, text);
}

void StatusBar_ShowFileName(const wchar_t* path) {
  if (!gStatusBar || !Settings().showStatusbar || !path) return;
  PathParts parts;
  SplitPath(path, &parts);
  wchar_t text[kStatusTextChars];
  swprintf(text, kStatusTextChars, L"%ls%ls", parts.name, parts.ext);
  StatusBar_SetText(1, text);
}

}  // namespace lmx
