// Pixels as the screen shows them, and as a picture holds them, for tests that compare the two.
#pragma once

#include <windows.h>

#include <vector>

namespace lmx::test {

// What the screen shows inside `rect` (screen coordinates), row by row.
std::vector<COLORREF> ScreenPixels(const RECT& rect);
// The pixel at (x, y) of `window`'s client area, once the window is painted.
COLORREF ScreenPixel(HWND window, int x, int y);
// The colour of pixel (x, y), counted from the top, of a 24-bit packed DIB.
COLORREF DibPixel(const void* dib, int x, int y);

}  // namespace lmx::test
