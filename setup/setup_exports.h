// The package installer's set-up-library interface as zlx_SetupDll.dll exports it.
// Function pointer types for callers that load the library themselves.
#pragma once

#include <windows.h>

enum SetupInstallInitCode { kInstallInitContinue = 0 };
enum SetupInstallExitCode { kInstallExitDone = 0 };
enum SetupUninstallInitCode { kUninstallInitContinue = 0 };

using InstallInitFn = SetupInstallInitCode(WINAPI*)(HWND owner, BOOL firstCall, BOOL previouslyInstalled,
                                                    LPCWSTR installDir);
using InstallExitFn = SetupInstallExitCode(WINAPI*)(HWND owner, LPCWSTR installDir, WORD failedDirs,
                                                    WORD failedFiles, WORD failedRegKeys, WORD failedRegValues,
                                                    WORD failedShortcuts);
using UninstallInitFn = SetupUninstallInitCode(WINAPI*)(HWND owner, LPCWSTR installDir);
