// zlx_tif: TIFF files, one picture per directory, decoded by libtiff.
#include <windows.h>

#include "plugin_module.h"
#include "tif_reader.h"

namespace lmx {
const PluginRegistration kPluginRegistration = {
    1, L"tif", L"TIFF - Tag Image File Format", L"Copyright (c) 2026 Zorvan Software", L"Tiff", L"tiff",
};
}  // namespace lmx

using namespace lmx;

namespace {

constexpr const wchar_t* kCaption = L"Message...";

void ShowMessages(const DecodeMessages& messages) {
  for (int i = 0; i < messages.Count(); ++i) {
    if (messages[i] == tif::kMsgJpegNotSupported) {
      ShowPluginText(tif::kJpegNotSupportedText, kCaption);
    } else {
      ShowPluginMessage(messages[i], kCaption);
    }
  }
}

}  // namespace

extern "C" BOOL LMX_GetFileInfo(const wchar_t* fileName, DWORD* imageCount) {
  if (!fileName || !*fileName || !imageCount) return FALSE;
  // The file is read through our own file source, which takes the wide name as it is.
  FileSource file(fileName);
  uint32_t count = 0;
  if (!file.IsOpen() || !tif::CountImages(file, &count)) {
    ShowPluginMessage(tif::kMsgCannotRead, kCaption);
    return FALSE;
  }
  *imageCount = count;
  return TRUE;
}

extern "C" void* LMX_LoadGfxFile(const wchar_t* fileName, DWORD imageIndex) {
  DecodeMessages messages;
  void* block = nullptr;
  if (!fileName || !*fileName) {
    messages.Add(tif::kMsgCannotRead);
  } else {
    FileSource file(fileName);
    if (!file.IsOpen()) {
      messages.Add(tif::kMsgCannotRead);
    } else {
      LocalHeap heap;
      block = tif::ReadTiff(file, imageIndex, heap, messages);
    }
  }
  ShowMessages(messages);
  return block;
}
