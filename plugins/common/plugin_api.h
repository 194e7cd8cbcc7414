// The six exports every format plug-in carries, as the host binds them.
#pragma once

#include <windows.h>

extern "C" {
using LmxLoadGfxFileFn = void* (*)(const wchar_t* fileName, DWORD imageIndex);
using LmxGetFileInfoFn = BOOL (*)(const wchar_t* fileName, DWORD* imageCount);
using LmxGetVersionFn = DWORD (*)();
using LmxRegisterDllFn = BOOL (*)(HKEY parentKey);
using LmxUnRegisterDllFn = BOOL (*)(HKEY parentKey);
using LmxOpenAboutDlgFn = INT_PTR (*)(HWND owner);
}

namespace lmx {
constexpr DWORD kPluginVersion = 0x10000;  // 1.0
}  // namespace lmx
