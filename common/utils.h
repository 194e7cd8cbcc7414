// Helpers every deliverable carries: resource texts, message boxes, paths, strings,
// date, time and number texts, small drawing and geometry helpers.
// Text results live in one static buffer per helper, valid until its next call.
#pragma once

#include <windows.h>

namespace lmx {

// Module-wide handles each deliverable sets at start-up.
void SetResourceModule(HMODULE module);  // where user-interface texts live
void SetInstanceModule(HMODULE module);  // the deliverable's own module
void SetOwnerWindow(HWND owner);         // owner of message boxes (none in a plug-in)
HMODULE ResourceModule();
HMODULE InstanceModule();
HWND OwnerWindow();

// --- Texts ---
constexpr int kResStringChars = 198;
// String `id` of `module`; a missing string is reported in a box and yields "".
const wchar_t* LoadResString(HMODULE module, UINT id);
const wchar_t* LoadLangString(UINT id);  // from the resource module
const wchar_t* LoadOwnString(UINT id);   // from the instance module
// "Version major.minor" of a 32-bit version value.
const wchar_t* VersionText(DWORD version);

// --- Message boxes of the main program ---
void ShowArgumentError(UINT id);
void ShowImageError(UINT id);

// --- Paths ---
constexpr int kPathPartChars = 256;  // each part holds at most 255 characters
struct PathParts {
  wchar_t drive[kPathPartChars];
  wchar_t dir[kPathPartChars];
  wchar_t name[kPathPartChars];
  wchar_t ext[kPathPartChars];
};
void SplitPath(const wchar_t* path, PathParts* parts);
// Drive and directory of `path` into `out` (of `outChars`); without `out`, `path` itself.
const wchar_t* DirectoryOf(const wchar_t* path, wchar_t* out, size_t outChars);
// Text after the last ".", cut to 3 characters; "" (after a box) when there is none.
const wchar_t* ExtensionOf(const wchar_t* path, bool upperCase);
// The same text into `out` without a box; false when the path has no ".".
bool ExtensionText(const wchar_t* path, wchar_t* out, size_t outChars);

// --- Strings ---
bool RemoveChar(wchar_t c, wchar_t* text);
bool RemoveSpaces(wchar_t* text);
int CompareNoCase(const wchar_t* a, const wchar_t* b);  // CSTR_LESS_THAN, CSTR_EQUAL, CSTR_GREATER_THAN

// --- Date, time, numbers ---
enum DateTimeOption : unsigned {
  kDtTime = 1,
  kDtDate = 2,
  kDtLongDate = 4,
  kDtDateNoUserOverride = 8,
  kDtSeconds = 16,
  kDtTimeNoUserOverride = 32,
};
const wchar_t* DateTimeText(const SYSTEMTIME& time, unsigned options);
// Rewrites a digit string in place with "." between groups of three; false when it does not fit.
bool NumberText(wchar_t* digits, size_t capacity);

// --- Drawing and geometry ---
DWORD BitmapSize(HBITMAP bitmap);  // height << 16 | width
void DrawBitmap(HDC dc, int x, int y, HBITMAP bitmap);
// A brush that repeats bitmap `bitmapId` of `module`; null when the bitmap is missing.
HBRUSH PatternBrush(HMODULE module, UINT bitmapId);
int MenuItemText(HMENU menu, UINT item, wchar_t* buffer, int size, UINT flags);

}  // namespace lmx
