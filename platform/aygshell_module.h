// What the parts of aygshell.dll share among themselves: the library's own module handle,
// under which its window classes are registered.
#pragma once

#include <windows.h>

HMODULE AygshellModule();

// The 26-pixel top bar of the screen with `owner`'s title (and a Done button that sends
// IDOK), kept above `owner`; one per window.
bool AygShowTopBar(HWND owner, bool doneButton);
