// The picture properties sheet: three read-only pages (colour depth, compression, size and
// resolution) about the picture on screen, from the language component's templates 110 to
// 112, and a fourth, details (template 114), with the file's own facts as its plug-in tells
// them; full-screen with the tabs at the bottom.
#pragma once

#include <windows.h>

#include <cstdint>

namespace lmx {

constexpr int kCompressionNameChars = 32;

// What the sheet shows; filled each time it opens (one program-wide record).
struct PictureInfo {
  int32_t depth;   // biBitCount
  int32_t width;   // pixels
  int32_t height;  // pixels
  int32_t dpi;     // horizontal resolution, whole dots per inch (rounded to the nearest)
  wchar_t compressionName[kCompressionNameChars];
};

// Pixels per metre as whole dots per inch, rounded to the nearest.
int32_t DotsPerInch(LONG pixelsPerMetre);

// Clears the record and fills it from the open file's picture, if there is one.
const PictureInfo& FillPictureInfo();

// Shows the sheet modally over `owner` for TheDocument()'s current file (all fields empty
// without one).
void ShowPictureProperties(HWND owner);

}  // namespace lmx
