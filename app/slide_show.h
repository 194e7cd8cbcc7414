// The slide show: full screen, each picture fitted whole, the next picture of the folder
// every few seconds (the settings' SlideShowInterval) from the current one to the last, or
// round again with SlideShowRepeat. A picture that cannot be opened is passed over without
// a message box. A tap, a key or the last picture ends it, and the view mode it found
// comes back.
#pragma once

#include <windows.h>

namespace lmx {

constexpr UINT_PTR kSlideShowTimer = 2;

// False when there is no picture to start from.
bool SlideShow_Start(HWND mainWindow);
void SlideShow_Stop();
bool SlideShow_Active();
// The main window's WM_TIMER for kSlideShowTimer: the next picture.
void SlideShow_OnTimer();

}  // namespace lmx
