// The viewer toolbar: a ViewerTBWndCtrl window holding one toolbar control with the image
// commands, drawn from cells 0 to 7 of the program's bitmap 131. Its buttons report to the
// main window directly. One per process; ViewerMainCtrl creates it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "ui/toolbar_desc.h"

namespace lmx {

constexpr wchar_t kViewerToolbarClass[] = L"ViewerTBWndCtrl";
constexpr UINT kViewerToolbarControlId = 200;
constexpr int kViewerToolbarButtonCount = 11;
constexpr int kViewerToolbarHeight = 24;
constexpr int kViewerToolbarWidth = 240;

extern const TBBUTTON kViewerToolbarButtons[kViewerToolbarButtonCount];

bool RegisterViewerToolbarClass(HINSTANCE instance);  // once per process
// The ViewerTBWndCtrl window under `parent` with child id `id`; `notify` receives the
// buttons' WM_COMMAND. The toolbar's bitmap comes from `instance`.
HWND ViewerToolbar_Create(HWND parent, UINT id, HWND notify, HINSTANCE instance);
void ViewerToolbar_Destroy();
HWND ViewerToolbar_Window();   // the ViewerTBWndCtrl window
HWND ViewerToolbar_Control();  // the toolbar control, null when it could not be made
const ToolbarDesc* ViewerToolbar_Desc();
void ViewerToolbar_Move(const RECT& rect);  // shown there

}  // namespace lmx
