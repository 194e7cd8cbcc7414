// Whether a window is seen whole on the device's screen: the window and each visible control
// inside the screen, and no label, button or group text wider than its control, measured
// with the control's own font.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace lmx::test {

// One line per fault, naming the window or control by class, id and text; empty when the
// window fits.
std::vector<std::string> ScreenFitProblems(HWND window);

}  // namespace lmx::test
