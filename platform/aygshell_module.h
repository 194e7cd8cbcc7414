// What the parts of aygshell.dll share among themselves: the library's own module handle,
// under which its window classes are registered.
#pragma once

#include <windows.h>

HMODULE AygshellModule();
