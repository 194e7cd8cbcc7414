#include "ui/status_bar.h"

#include <commctrl.h>

#include <cwchar>
#include <string>

#include "common/utils.h"
#include "lang/lang_ids.h"
#include "ui/settings.h"

namespace lmx {

namespace {

HWND gStatusBar = nullptr;
int gStatusBarHeight = 0;

constexpr int kStatusTextChars = 2 * kPathPartChars + 8;
constexpr int kPlaceChars = 40;
constexpr wchar_t kEllipsis[] = L"\x2026";
// What the status control keeps free around a part's text (its borders and margin).
constexpr int kPartTextMargin = 10;

struct Place {
  wchar_t folder[kPlaceChars];  // "3/17", or empty
  wchar_t page[kPlaceChars];    // "p. 2/3", or empty
};
Place gPlace{};

int TextWidth(HDC dc, const std::wstring& text) {
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

std::wstring Compose(const std::wstring& name) {
  std::wstring text = gPlace.folder;
  if (!text.empty()) text += L"  ";
  text += name;
  if (gPlace.page[0]) {
    text += L"  ";
    text += gPlace.page;
  }
  return text;
}

// Part 1's text with the name cut short (an ellipsis at its end) until all of it fits.
std::wstring FittedText(const std::wstring& name) {
  std::wstring text = Compose(name);
  RECT part{};
  if (!SendMessageW(gStatusBar, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&part))) return text;
  const int room = part.right - part.left - kPartTextMargin;
  HDC dc = GetDC(gStatusBar);
  if (!dc) return text;
  HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(gStatusBar, WM_GETFONT, 0, 0)));
  size_t keep = name.size();
  while (keep > 0 && TextWidth(dc, text) > room) {
    --keep;
    text = Compose(name.substr(0, keep) + kEllipsis);
  }
  SelectObject(dc, oldFont);
  ReleaseDC(gStatusBar, dc);
  return text;
}

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
  wchar_t name[kStatusTextChars];
  swprintf(name, kStatusTextChars, L"%ls%ls", parts.name, parts.ext);
  StatusBar_SetText(1, FittedText(name).c_str());
}

void StatusBar_SetPlace(int place, int count, int page, int pages) {
  gPlace = Place{};
  if (place > 0 && count > 0) swprintf(gPlace.folder, kPlaceChars, LoadLangString(IDS_STATUS_POSITION), place, count);
  if (pages > 1) swprintf(gPlace.page, kPlaceChars, LoadLangString(IDS_STATUS_PAGE), page, pages);
}

}  // namespace lmx
