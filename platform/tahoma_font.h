// The device's interface font, for the shell's own windows.
#pragma once

#include <windows.h>

namespace lmx {

// "Tahoma" (FF_SWISS) of `points` points at the vertical resolution of `window`'s screen,
// rounded to the nearest pixel.
inline HFONT CreateTahomaFont(HWND window, int points, int weight) {
  HDC dc = GetDC(window);
  const int height = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
  ReleaseDC(window, dc);
  return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, L"Tahoma");
}

}  // namespace lmx
