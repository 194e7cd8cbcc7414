// The six exports every format plug-in carries, as the host binds them, and the optional
// LMX_GetFileDetails and LMX_LoadGfxFileReduced, which a plug-in may lack.
#pragma once

#include <windows.h>

#include "plugins/common/reduced_status.h"

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
// The picture made smaller while it is read: no smaller than it needs to be to fill a box of
// boxWidth x boxHeight when fitted whole, no larger than the whole picture; a packed DIB in a
// block like LMX_LoadGfxFile's, 24-bit or 8-bit grey. *fullWidth and *fullHeight receive the
// whole picture's size (upright), 0 when it is not known. With kReducedQuiet in `flags` no
// message box is shown. *status tells how the decode ended (ReducedStatus); any out pointer may
// be null. Optional: a plug-in may lack it.
using LmxLoadGfxFileReducedFn = void* (*)(const wchar_t* fileName, DWORD imageIndex, DWORD boxWidth,
                                          DWORD boxHeight, DWORD flags, DWORD* fullWidth, DWORD* fullHeight,
                                          DWORD* status);
// The frames of an animation, one composed frame at a time, through a handle that holds the
// open file: null when the file is no animation the plug-in reads (never a message box, so
// that it may run in the background). *width and *height receive the canvas, *frameCount the
// frames as far as they could be counted (0: not known), *plays how often the whole
// animation is shown (0: for ever); any out pointer may be null. Optional, as a set of three.
using LmxOpenFramesFn = void* (*)(const wchar_t* fileName, DWORD* width, DWORD* height, DWORD* frameCount,
                                  DWORD* plays);
// The next frame as a 24-bit packed DIB in a block like LMX_LoadGfxFile's (the caller's),
// with its delay in milliseconds; null at the end or on a damaged frame, *status telling
// which (FrameStatus). Never a message box.
using LmxNextFrameFn = void* (*)(void* frames, DWORD* delayMs, DWORD* status);
using LmxCloseFramesFn = void (*)(void* frames);
}

namespace lmx {
constexpr DWORD kPluginVersion = 0x10000;  // 1.0
constexpr DWORD kReducedQuiet = 1;  // LMX_LoadGfxFileReduced shows no message box
// LMX_LoadGfxFileReduced only when the plug-in reduces while it reads, at a fraction of what a
// whole decode costs; otherwise it reads nothing and gives kReducedUnsupported.
constexpr DWORD kReducedFast = 2;
// LMX_LoadGfxFileReduced decodes on the calling thread alone, for a caller working in the
// background that leaves the other processors to the program (thumbnails).
constexpr DWORD kReducedOneThread = 4;
}  // namespace lmx
