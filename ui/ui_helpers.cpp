#include "ui/ui_helpers.h"

#include "platform/aygshell.h"
#include "resources/program_ids.h"

namespace lmx {

HFONT CreateAppFont(int pointSize, int weight) {
  LOGFONTW lf{};
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  lf.lfHeight = -(pointSize * dpi / 72);
  lf.lfWeight = weight;
  lf.lfPitchAndFamily = FF_SWISS;
  lstrcpynW(lf.lfFaceName, L"Tahoma", LF_FACESIZE);
  return CreateFontIndirectW(&lf);
}

void DeleteAppFont(HFONT font) {
  if (font) DeleteObject(font);
}

HIMAGELIST LoadSplashImageList(HINSTANCE instance) {
  return ImageList_LoadImageW(instance, MAKEINTRESOURCEW(IDB_SPLASH), kSplashCellWidth, 0, kSplashMaskColour,
                              IMAGE_BITMAP, 0);
}

void DestroySplashImageList(HIMAGELIST images) {
  if (images) ImageList_Destroy(images);
}

BOOL InitFullScreenDialog(HWND dialog, bool inputPanel, bool doneButton) {
  SHINITDLGINFO info{};
  info.dwMask = SHIDIM_FLAGS;
  info.hDlg = dialog;
  info.dwFlags = SHIDIF_SIZEDLGFULLSCREEN | (doneButton ? SHIDIF_DONEBUTTON : 0);
  const BOOL result = SHInitDialog(&info);
  SetInputPanel(inputPanel);
  return result;
}

BOOL SetInputPanel(bool shown) {
  SIPINFO info{};
  info.cbSize = sizeof(info);
  info.fdwFlags = shown ? (SIPF_ON | SIPF_DOCKED) : 0;
  return SHSipInfo(SPI_SETSIPINFO, 0, &info, 0);
}

}  // namespace lmx
