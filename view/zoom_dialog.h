// The zoom dialog (template 108 of the language component): the user types a percentage;
// OK accepts 17% to 800% and refuses anything else with a warning, keeping the dialog open.
#pragma once

#include <windows.h>

namespace lmx {

// Runs the dialog over `owner` starting from `*zoom`. 1 (OK, `*zoom` holds the entered
// zoom), 2 (cancelled) or 0 (the template is missing).
INT_PTR RunZoomDialog(HWND owner, float* zoom);

}  // namespace lmx
