// zlx_png: PNG files, decoded by libpng.
#include <windows.h>

#include "plugins/common/mapped_file.h"
#include "plugins/common/plugin_module.h"
#include "plugins/png/png_reader.h"
#include "plugins/png/png_details.h"

namespace lmx {
const PluginRegistration kPluginRegistration = {
    1, L"png", L"PNG - Portable Network Graphics",
    L"Copyright (c) 2026 Zorvan Software", L"PNG", L"png", nullptr,
};
}  // namespace lmx

using namespace lmx;

namespace {

constexpr const wchar_t* kErrorCaption = L"Error...";
constexpr const wchar_t* kWarningCaption = L"Warning...";

}  // namespace

extern "C" BOOL LMX_GetFileInfo(const wchar_t*, DWORD* imageCount) {
  if (imageCount) *imageCount = 1;
  return TRUE;
}

extern "C" void* LMX_LoadGfxFile(const wchar_t* fileName, DWORD) {
  DecodeMessages messages;
  void* block = nullptr;
  {
    MappedFile mapped(fileName ? fileName : L"");
    FileSource file(mapped.IsOpen() && !mapped.View() ? fileName : L"");
    LocalHeap heap;
    WaitCursor wait;
    if (mapped.View()) {
      MemorySource bytes(mapped.View(), mapped.Size());
      block = png::ReadPng(bytes, heap, messages);
    } else if (file.IsOpen()) {
      // An empty file, or one the platform will not map.
      block = png::ReadPng(file, heap, messages);
    } else {
      messages.Add(png::kMsgCantOpen);
    }
  }
  for (int i = 0; i < messages.Count(); ++i) {
    ShowPluginMessage(messages[i], png::IsWarning(messages[i]) ? kWarningCaption : kErrorCaption);
  }
  return block;
}

extern "C" DWORD LMX_GetFileDetails(const wchar_t* fileName, DWORD imageIndex, wchar_t* buffer, DWORD bufferChars) {
  return WriteFileDetails(fileName, imageIndex, buffer, bufferChars, png::DescribePng);
}
