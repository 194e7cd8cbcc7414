// The keys and the wheel of the viewer. The device's d-pad sends the arrow keys and Enter.
//   Left, Right     scroll a picture wider than the view by an eighth of it; else the
//                   previous and next picture of the folder
//   Up, Down        scroll a picture taller than the view
//   Space, Backspace  next and previous picture; Home, End the first and last
//   PageDown, PageUp  next and previous page of a file of several pages
//   Plus, Minus     zoom in and out (main keyboard and keypad)
//   Enter           full screen on and off; Escape leaves it and ends a slide show
// The wheel scrolls a picture taller than the view (with Shift: sideways), zooms with Ctrl,
// and steps through the folder when the picture fits the view. During a slide show any key
// only ends it.
#pragma once

#include <windows.h>

namespace lmx {

// WM_KEYDOWN of the main window (or of the view, which passes it on); true when handled.
bool ViewerKeys_OnKeyDown(HWND mainWindow, UINT virtualKey);
// WM_MOUSEWHEEL of the main window.
void ViewerKeys_OnWheel(HWND mainWindow, WPARAM wParam);

}  // namespace lmx
