// zlx_tif: TIFF files, one picture per directory, decoded by libtiff.
#include <windows.h>

#include "plugins/common/mapped_file.h"
#include "plugins/common/plugin_module.h"
#include "plugins/tif/tif_reader.h"
#include "plugins/tif/tif_details.h"

namespace lmx {
const PluginRegistration kPluginRegistration = {
    1, L"tif", L"TIFF - Tag Image File Format", L"Copyright (c) 2026 Zorvan Software", L"Tiff", L"tiff", nullptr,
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
  // The file is opened here, by its wide name as it is, and handed to libtiff as bytes.
  MappedFile mapped(fileName);
  uint32_t count = 0;
  bool counted = false;
  if (mapped.View()) {
    counted = tif::CountImages(mapped.View(), mapped.Size(), &count);
  } else if (mapped.IsOpen()) {
    FileSource file(fileName);
    counted = file.IsOpen() && tif::CountImages(file, &count);
  }
  if (!counted) {
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
    LocalHeap heap;
    MappedFile mapped(fileName);
    if (mapped.View()) {
      block = tif::ReadTiff(mapped.View(), mapped.Size(), imageIndex, heap, messages);
    } else {
      FileSource file(fileName);
      if (mapped.IsOpen() && file.IsOpen()) {
        block = tif::ReadTiff(file, imageIndex, heap, messages);
      } else {
        messages.Add(tif::kMsgCannotRead);
      }
    }
  }
  ShowMessages(messages);
  return block;
}

extern "C" DWORD LMX_GetFileDetails(const wchar_t* fileName, DWORD imageIndex, wchar_t* buffer, DWORD bufferChars) {
  return WriteFileDetails(fileName, imageIndex, buffer, bufferChars, tif::DescribeTiff);
}
