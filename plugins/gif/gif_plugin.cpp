// zlx_gif: GIF 87a and 89a files, first image only.
#include <windows.h>

#include <cwchar>

#include "common/utils.h"
#include "plugins/common/plugin_module.h"
#include "plugins/gif/gif_reader.h"
#include "plugins/gif/gif_details.h"

namespace lmx {
const PluginRegistration kPluginRegistration = {
    0, L"gif", L"GIF - Graphics Interchange File Format",
    L"Copyright (c) 2026 Zorvan Software", L"Gif", L"gif", nullptr,
};
}  // namespace lmx

using namespace lmx;

namespace {

constexpr const wchar_t* kCaption = L"Error...";
constexpr int kOpenErrorChars = 258;

// The plug-in's second string loader, with a buffer of its own, for the open failure.
const wchar_t* LoadOpenErrorString(UINT id) {
  static wchar_t buffer[kOpenErrorChars];
  if (LoadStringW(ResourceModule(), id, buffer, kOpenErrorChars) > 0) return buffer;
  buffer[0] = L'\0';
  LoadLangString(id);  // reports the missing string
  return buffer;
}

void Append(wchar_t* out, size_t capacity, size_t* at, wchar_t c) {
  if (*at + 1 < capacity) out[(*at)++] = c;
  out[*at] = L'\0';
}

// Fills the "%c" and "%d" placeholders of a message text from `detail`: the "%c"s take one
// byte of it each, lowest first (as Latin-1); "%d" takes all of it.
void FormatMessageText(const wchar_t* format, uint32_t detail, wchar_t* out, size_t capacity) {
  size_t at = 0;
  out[0] = L'\0';
  int byte = 0;
  for (const wchar_t* p = format; *p; ++p) {
    if (p[0] == L'%' && p[1] == L'c') {
      Append(out, capacity, &at, static_cast<wchar_t>((detail >> (8 * byte++)) & 0xFF));
      ++p;
    } else if (p[0] == L'%' && p[1] == L'd') {
      wchar_t number[16];
      swprintf(number, 16, L"%d", static_cast<int>(detail));
      for (const wchar_t* n = number; *n; ++n) Append(out, capacity, &at, *n);
      ++p;
    } else {
      Append(out, capacity, &at, *p);
    }
  }
}

void ShowMessages(const DecodeMessages& messages) {
  for (int i = 0; i < messages.Count(); ++i) {
    const UINT id = messages[i];
    if (id == gif::kMsgInvalidCode || id == gif::kMsgUnknownVersion) {
      wchar_t text[kResStringChars + 32];
      FormatMessageText(LoadLangString(id), messages.Detail(i), text, sizeof text / sizeof text[0]);
      ShowPluginText(text, kCaption);
    } else {
      ShowPluginMessage(id, kCaption);
    }
  }
}

}  // namespace

extern "C" BOOL LMX_GetFileInfo(const wchar_t*, DWORD* imageCount) {
  if (imageCount) *imageCount = 1;
  return TRUE;
}

extern "C" void* LMX_LoadGfxFile(const wchar_t* fileName, DWORD) {
  DecodeMessages messages;
  void* canvas;
  {
    FileSource file(fileName ? fileName : L"");
    if (!file.IsOpen()) {
      ShowPluginText(LoadOpenErrorString(gif::kMsgCantOpen), kCaption);
      return nullptr;
    }
    LocalHeap heap;
    canvas = gif::ReadGifFile(file, heap, messages);
  }
  ShowMessages(messages);
  return canvas;
}

extern "C" DWORD LMX_GetFileDetails(const wchar_t* fileName, DWORD imageIndex, wchar_t* buffer, DWORD bufferChars) {
  return WriteFileDetails(fileName, imageIndex, buffer, bufferChars, gif::DescribeGif);
}
