// Driving windows from a test: the message queue, and a double tap on a list view's row.
#pragma once

#include <windows.h>

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

}  // namespace lmx::test
