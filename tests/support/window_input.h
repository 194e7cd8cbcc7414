// Driving windows from a test: the message queue, the pen and keys, and the windows a test
// looks for.
#pragma once

#include <windows.h>

#include <string>

namespace lmx::test {

// Dispatches the messages waiting in the calling thread's queue.
void Pump();
// Dispatches messages as they come for `ms` milliseconds.
void PumpFor(DWORD ms);

// A tap of the pen at screen point (x, y), through the system's input queue: the window
// under the point, or the one holding the capture, gets it as a user's tap.
void Tap(int x, int y);

// A pen stroke from (x1, y1) to (x2, y2) in screen points, quick as a swipe, through the
// system's input queue.
void Stroke(int x1, int y1, int x2, int y2);
// A key pressed and let go through the system's input queue (to the focused window).
void PressKey(WORD virtualKey);
// The wheel turned by `delta` (WHEEL_DELTA a notch; negative towards the user) at (x, y).
void TurnWheel(int x, int y, int delta);

// A double tap on row `index` of list view `list`, scrolled into view first.
void DoubleTap(HWND list, int index);

// A visible top-level window of class `className` ("#32770" a dialog, "#32768" a menu) on
// `thread`, or on any thread of `process` when `thread` is 0, other than `other`; null when
// none shows within `waitMs` milliseconds.
HWND FindShownWindow(const wchar_t* className, DWORD thread, DWORD process = 0, DWORD waitMs = 0,
                     HWND other = nullptr);
// The Done button on the top bar the shell gave `dialog`, or null.
HWND DoneButtonOf(HWND dialog);
// The text of a window, of this process or another.
std::wstring TextOf(HWND window);

// A rectangle as "(left,top)-(right,bottom)", so that one check compares all four sides and
// shows them when they differ.
std::string RectText(const RECT& r);
inline std::string RectText(LONG left, LONG top, LONG right, LONG bottom) {
  return RectText(RECT{left, top, right, bottom});
}
// Where `window` lies on the screen.
std::string WindowRectText(HWND window);

}  // namespace lmx::test
