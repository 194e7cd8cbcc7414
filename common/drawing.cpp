#include "common/utils.h"

namespace lmx {

DWORD BitmapSize(HBITMAP bitmap) {
  BITMAP bm{};
  if (!GetObjectW(bitmap, sizeof bm, &bm)) return 0;
  return MAKELONG(bm.bmWidth, bm.bmHeight);
}

void DrawBitmap(HDC dc, int x, int y, HBITMAP bitmap) {
  if (!bitmap) {
    MessageBoxW(OwnerWindow(), L"Can't load Bitmap from resource", L"ERROR...", MB_OK);
    return;
  }
  BITMAP bm{};
  GetObjectW(bitmap, sizeof bm, &bm);
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(dc, x, y, bm.bmWidth, bm.bmHeight, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
}

HBRUSH PatternBrush(UINT bitmapId) {
  HRSRC res = FindResourceW(InstanceModule(), MAKEINTRESOURCEW(bitmapId), MAKEINTRESOURCEW(2));
  HGLOBAL data = res ? LoadResource(InstanceModule(), res) : nullptr;
  const void* dib = data ? LockResource(data) : nullptr;
  return dib ? CreateDIBPatternBrushPt(dib, DIB_RGB_COLORS) : nullptr;
}

void CentreRect(const RECT& outer, RECT* inner, unsigned flags) {
  const int width = inner->right - inner->left;
  const int height = inner->bottom - inner->top;
  if (flags & kCentreVertical) {
    inner->top = outer.top + ((outer.bottom - outer.top) - height) / 2;
    inner->bottom = inner->top + height;
  }
  if (flags & kCentreHorizontal) {
    inner->left = outer.left + ((outer.right - outer.left) - width) / 2;
    inner->right = inner->left + width;
  }
}

bool PointInRect(const RECT& rect, int x, int y) {
  return rect.left <= x && x <= rect.right && rect.top <= y && y <= rect.bottom;
}

POINT PointFromPacked(DWORD value) {
  return POINT{static_cast<LONG>(LOWORD(value)), static_cast<LONG>(HIWORD(value))};
}

int MenuItemText(HMENU menu, UINT item, wchar_t* buffer, int size, UINT flags) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_ID;
  if (!GetMenuItemInfoW(menu, 0, TRUE, &info)) return 0;
  if (!buffer || size <= 0) return 0;
  buffer[0] = L'\0';
  int n = GetMenuStringW(menu, item, buffer, size, (flags & MF_BYPOSITION) ? MF_BYPOSITION : MF_BYCOMMAND);
  return n > 0 ? n : 0;
}

}  // namespace lmx
