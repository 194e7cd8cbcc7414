// The options dialog (the language component's template 109): scroll mode, scroll-bar
// choice, toolbar and status bar, toolbar position, the start-up splash and the slide show's
// seconds per picture and repeat.
#pragma once

#include <windows.h>

#include "ui/settings.h"

namespace lmx {

// What an accepted dialog changed that the viewer must lay out again.
enum OptionsChange : unsigned {
  kOptionsScrollModeChanged = 1,   // MSState: the image view's scroll bars and layout
  kOptionsToolbarChanged = 2,      // ShowAddToolbar: the container's layout
  kOptionsToolbarAlignChanged = 4, // ToolbarAlign: the container's layout
  kOptionsStatusbarChanged = 8,    // ShowStatusbar: the container's layout
};

// Runs the dialog modally over `owner` from `langModule` and edits `settings` when it ends
// with OK. Returns 1 (OK) or 2 (cancel), or -1 when the template cannot be run; `changes`
// (optional) receives the OptionsChange bits of an OK.
INT_PTR RunOptionsDialog(HWND owner, HMODULE langModule, AppSettings* settings, unsigned* changes);

}  // namespace lmx
