// The start-up splash: the program's own dialog 300 with picture 136, shown modeless over
// the main window (which takes no input meanwhile) until its timer ends or it is tapped.
#pragma once

#include <windows.h>

namespace lmx {

constexpr UINT kSplashTimeout = 3000;  // milliseconds
constexpr UINT_PTR kSplashTimer = 1;

// Shows the splash from `instance`'s template over `mainWindow`; the texts come from the
// language component (LoadLangString). Returns the splash window, or null when the template
// cannot be created (the main window then stays enabled).
HWND ShowSplash(HINSTANCE instance, HWND mainWindow, UINT timeoutMs);

}  // namespace lmx
