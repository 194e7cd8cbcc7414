#include "tests/support/screen_pixels.h"

namespace lmx::test {

std::vector<COLORREF> ScreenPixels(const RECT& rect) {
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  std::vector<COLORREF> pixels;
  if (width <= 0 || height <= 0) return pixels;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  GdiFlush();
  const auto* p = static_cast<const RGBQUAD*>(bits);
  for (size_t i = 0; i < size_t(width) * height; ++i) pixels.push_back(RGB(p[i].rgbRed, p[i].rgbGreen, p[i].rgbBlue));
  SelectObject(memory, old);
  DeleteObject(dib);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

COLORREF ScreenPixel(HWND window, int x, int y) {
  UpdateWindow(window);
  HDC dc = GetDC(window);
  const COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return colour;
}

COLORREF DibPixel(const void* dib, int x, int y) {
  const auto* header = static_cast<const BITMAPINFOHEADER*>(dib);
  const int stride = ((header->biWidth * 24 + 31) / 32) * 4;
  const auto* rows = reinterpret_cast<const BYTE*>(dib) + header->biSize;
  const BYTE* p = rows + static_cast<size_t>(header->biHeight - 1 - y) * stride + x * 3;
  return RGB(p[2], p[1], p[0]);
}

}  // namespace lmx::test
