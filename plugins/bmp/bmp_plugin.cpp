// zlx_bmp: Windows and OS/2 bitmaps.
#include <windows.h>

#include "plugins/bmp/bmp_reader.h"
#include "plugins/common/plugin_module.h"
#include "plugins/bmp/bmp_details.h"

namespace lmx {
const PluginRegistration kPluginRegistration = {
    1, L"bmp", L"BMP - Bitmap File Format", L"Copyright (c) 2026 Zorvan Software", L"Bitmap", L"bmp", nullptr,
};
}  // namespace lmx

using namespace lmx;

namespace {
constexpr const wchar_t* kCaption = L"Error...";
}

extern "C" BOOL LMX_GetFileInfo(const wchar_t*, DWORD* imageCount) {
  if (imageCount) *imageCount = 1;
  return TRUE;
}

extern "C" void* LMX_LoadGfxFile(const wchar_t* fileName, DWORD) {
  if (!fileName) {
    ShowPluginMessage(bmp::kMsgNoFileName, kCaption);
    return nullptr;
  }
  FileSource file(fileName);
  if (!file.IsOpen()) {
    ShowPluginMessage(bmp::kMsgInvalidFileHandle, kCaption);
    return nullptr;
  }
  LocalHeap heap;
  DecodeMessages messages;
  void* block;
  {
    WaitCursor wait;
    block = bmp::ReadBitmapFile(file, heap, messages);
  }
  ShowPluginMessages(messages, kCaption);
  return block;
}

extern "C" DWORD LMX_GetFileDetails(const wchar_t* fileName, DWORD imageIndex, wchar_t* buffer, DWORD bufferChars) {
  return WriteFileDetails(fileName, imageIndex, buffer, bufferChars, bmp::DescribeBmp);
}
