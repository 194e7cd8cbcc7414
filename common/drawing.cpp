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

HBRUSH PatternBrush(HMODULE module, UINT bitmapId) {
  HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(bitmapId), MAKEINTRESOURCEW(2));
  HGLOBAL data = res ? LoadResource(module, res) : nullptr;
  const void* dib = data ? LockResource(data) : nullptr;
  return dib ? CreateDIBPatternBrushPt(dib, DIB_RGB_COLORS) : nullptr;
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
