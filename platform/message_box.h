// The message boxes of the system's user library, told from dialogs by their controls.
#pragma once

#include <windows.h>

namespace lmx {

constexpr int kMessageTextId = 0xFFFF;
// The icon control: 0x14 on Windows, stc1 (0x440) in Wine.
constexpr int kMessageIconIds[] = {0x14, 0x440};

// A message box is a dialog of static texts and buttons only, with its text in control
// 0xFFFF; a dialog template with an unnumbered label has other controls besides.
inline bool IsMessageBoxWindow(HWND window) {
  wchar_t cls[16] = L"";
  GetClassNameW(window, cls, 16);
  if (lstrcmpW(cls, L"#32770") != 0 || !GetDlgItem(window, kMessageTextId)) return false;
  bool onlyTextAndButtons = true;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM param) -> BOOL {
        wchar_t c[16] = L"";
        GetClassNameW(child, c, 16);
        if (lstrcmpiW(c, L"Static") != 0 && lstrcmpiW(c, L"Button") != 0) {
          *reinterpret_cast<bool*>(param) = false;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&onlyTextAndButtons));
  return onlyTextAndButtons;
}

// Installed for the thread that loads the shell library: every message box the thread shows
// that is wider than the screen is narrowed to it, its text wrapped anew, as the device's
// own message boxes are.
void InstallMessageBoxFit();
void RemoveMessageBoxFit();

}  // namespace lmx
