// The six exports every format plug-in carries, as the host binds them, and the optional
// LMX_GetFileDetails, which a plug-in may lack.
#pragma once

#include <windows.h>

extern "C" {
using LmxLoadGfxFileFn = void* (*)(const wchar_t* fileName, DWORD imageIndex);
using LmxGetFileInfoFn = BOOL (*)(const wchar_t* fileName, DWORD* imageCount);
using LmxGetVersionFn = DWORD (*)();
using LmxRegisterDllFn = BOOL (*)(HKEY parentKey);
using LmxUnRegisterDllFn = BOOL (*)(HKEY parentKey);
using LmxOpenAboutDlgFn = INT_PTR (*)(HWND owner);
// The file's own facts, read from its headers and metadata only, as UTF-16 lines
// "key\tvalue\n" in `buffer` (whole lines, as many as fit in bufferChars with the closing
// NUL). Returns the characters the whole text needs with its NUL; 0 when there is nothing to
// tell. Never shows a message box.
using LmxGetFileDetailsFn = DWORD (*)(const wchar_t* fileName, DWORD imageIndex, wchar_t* buffer, DWORD bufferChars);
}

namespace lmx {
constexpr DWORD kPluginVersion = 0x10000;  // 1.0
}  // namespace lmx
