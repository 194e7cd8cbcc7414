// The animation of the open file: it plays when the file is shown, frame after frame at the
// file's delays on a one-shot timer of the main window, in whatever mode and zoom the view is
// in, as often as the file says. Play/Pause (key P) stops and resumes it; it rests while the
// viewer is not in front. Paused, resting or ended, no timer runs. A damaged frame ends it at
// the last good frame, told once in the status bar, never in a box.
#pragma once

#include <windows.h>

#include "host/viewer_document.h"

namespace lmx {

constexpr UINT_PTR kAnimationTimer = 3;

// The file the view now shows (or none): its animation starts, any other ends.
void Animation_Start(HWND mainWindow, ImageFileItem* item);
// Ends the animation; the frame on screen stays the picture.
void Animation_Stop();
bool Animation_Playing();  // open, not paused by the user (it may be resting)
bool Animation_Open();
void Animation_PlayPause();
// The viewer came to the front (true) or left it.
void Animation_SetInFront(bool inFront);
// The main window's WM_TIMER for kAnimationTimer: the next frame.
void Animation_OnTimer();

}  // namespace lmx
