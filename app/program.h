// The program's run: start-up (single instance, settings, plug-ins, language component,
// main window), the message loop and the shut-down.
#pragma once

#include <windows.h>

namespace lmx {

// False when a running copy took the path over, or start-up failed (after its message).
bool StartProgram(HINSTANCE instance, const wchar_t* commandLine, int showCommand);
// Until the quit message; its wParam.
int RunMessageLoop();
// Saves the settings, destroys the document (plug-ins unloaded), frees the language
// component.
void EndProgram();

}  // namespace lmx
