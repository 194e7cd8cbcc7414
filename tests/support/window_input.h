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

// A double tap on row `index` of list view `list`, scrolled into view first.
void DoubleTap(HWND list, int index);

}  // namespace lmx::test
