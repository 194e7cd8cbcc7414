// Small window helpers of the program: fonts, the splash image list, rectangle sizes, and
// the two routines with which every dialog goes full-screen with a Done button.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace lmx {

// A "Tahoma" font (FF_SWISS) of `pointSize` points at the screen's vertical resolution.
HFONT CreateAppFont(int pointSize, int weight);
void DeleteAppFont(HFONT font);

// Bitmap 136 of `instance` cut in 216-pixel cells, grey (0x808080) transparent.
constexpr int kSplashCellWidth = 216;
constexpr COLORREF kSplashMaskColour = RGB(0x80, 0x80, 0x80);
HIMAGELIST LoadSplashImageList(HINSTANCE instance);
void DestroySplashImageList(HIMAGELIST images);

inline int RectHeight(const RECT& rc) { return rc.bottom - rc.top; }
inline int RectWidth(const RECT& rc) { return rc.right - rc.left; }

// SHInitDialog with SHIDIF_SIZEDLGFULLSCREEN (and SHIDIF_DONEBUTTON when asked for), then
// SetInputPanel(inputPanel). Returns the SHInitDialog result.
BOOL InitFullScreenDialog(HWND dialog, bool inputPanel, bool doneButton);
// Raises (docked) or lowers the soft input panel; returns the SHSipInfo result.
BOOL SetInputPanel(bool shown);

}  // namespace lmx
