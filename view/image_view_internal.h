// What the two halves of the image view share: ViewerMainCtrl creates and destroys the
// InfoControl and asks it about full screen.
#pragma once

#include <windows.h>

namespace lmx {

constexpr wchar_t kViewerMainCtrlClass[] = L"ViewerMainCtrl";
constexpr wchar_t kInfoControlClass[] = L"InfoControl";

// The InfoControl under `parent` (child id 201) and its background brush from `instance`.
HWND CreateInfoControl(HWND parent, HINSTANCE instance);
void DestroyInfoControl();

// The main window ViewerMainCtrl was made for, which handles keys and the wheel.
HWND MainCtrl_MainWindow();

// ViewerMainCtrl's side of full screen.
void MainCtrl_BeginFullScreen();
void MainCtrl_EndFullScreen();

}  // namespace lmx
