// The windows of a running viewer as another process sees them: its main window, the dialogs
// and message boxes it shows, and whether everything on screen has been painted.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

namespace lmx {

struct ViewerWindows {
  HWND main = nullptr;             // top-level window of the main class
  std::vector<HWND> dialogs;       // visible dialogs that are not message boxes, topmost first
  std::vector<HWND> messageBoxes;  // visible message boxes, topmost first
  std::vector<HWND> visible;       // every visible top-level window of the process
};

// The top-level windows of process `pid`; `mainClass` names the main window's class.
ViewerWindows FindViewerWindows(DWORD pid, const wchar_t* mainClass);

// A message box as the system builds it: a dialog with a text control 0xFFFF, the icon
// control, and buttons.
bool IsMessageBox(HWND window);

std::wstring WindowText(HWND window);
// The message box's text control.
std::wstring MessageBoxText(HWND box);

// Answers a message box with its most harmless button (OK, Cancel, No, ...).
void DismissMessageBox(HWND box);

// True when none of `windows` nor any of their descendants has an update region left.
bool AllPainted(const std::vector<HWND>& windows);

// True when the thread of `window` answers a sent message within `timeoutMs`: it is idle in
// a message loop (its own or a modal one).
bool Responds(HWND window, UINT timeoutMs);

}  // namespace lmx
