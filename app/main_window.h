// The viewer's one top-level window: its class, its menu bar with the plug-in submenu, the
// commands, the enabling rules and the layout of its one child, ViewerMainCtrl.
#pragma once

#include <windows.h>

#include "host/folder_place.h"

namespace lmx {

constexpr int kPathBufferChars = 260;

// The path that waits to be opened (command line, or a second start's hand-over).
struct PendingOpenPath {
  wchar_t path[kPathBufferChars];
  bool pending;
};
PendingOpenPath& PendingOpen();

// Copies a command line into `out` as one path: surrounding blanks and one pair of
// enclosing quotes go (a shell that quotes paths with blanks hands them over so); a longer
// text is cut to the buffer.
void CommandLinePath(const wchar_t* commandLine, wchar_t (&out)[kPathBufferChars]);
// Copies the path of a WM_COPYDATA: at most cbData bytes, never past the buffer, always
// terminated. False when there is nothing to copy.
bool PathFromCopyData(const COPYDATASTRUCT* data, wchar_t (&out)[kPathBufferChars]);

// The product display name (own string 100): class name and title of the main window.
const wchar_t* MainWindowTitle();
bool RegisterMainWindowClass(HINSTANCE instance);
HWND MainWindow();
HWND MenuBarWindow();
HMENU MainMenu();

// The document holds an open picture.
bool PictureOpen();

// Refresh after a command: toolbar enabling, page buttons, repaint of ViewerMainCtrl.
void RefreshAfterCommand();
void RebuildPlugInSubmenu();
void UpdateMenuBarChecks();   // buttons 40010 and 40011 from the settings
void UpdateToolbarEnabling();
void UpdatePageButtons();
// Opens the picture `step` leads to in the current place's folder (the plug-in's message
// when it refuses it): 1 shown, 0 refused, -1 when the step leads nowhere.
int StepPicture(FolderStep step);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The About box (the language component's template 103).
INT_PTR RunAboutBox(HWND owner);
// The text the About box paints (composed when it opens).
const wchar_t* AboutText();

}  // namespace lmx
