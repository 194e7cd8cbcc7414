// zlx_tif: TIFF files, one picture per directory, decoded by libtiff.
#include <windows.h>

#include "plugins/common/plugin_module.h"
#include "plugins/tif/tif_reader.h"

namespace lmx {
const PluginRegistration kPluginRegistration = {
    1, L"tif", L"TIFF - Tag Image File Format", L"Copyright (c) 2026 Zorvan Software", L"Tiff", L"tiff",
};
}  // namespace lmx

using namespace lmx;

namespace {

constexpr const wchar_t* kCaption = L"Message...";

// The file opened for shared reading and mapped read-only, which lets libtiff take strips
// straight from it. No view when the platform will not map the file (an empty one).
class MappedFile {
 public:
  explicit MappedFile(const wchar_t* fileName)
      : file_(CreateFileW(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                          nullptr)) {
    LARGE_INTEGER size{};
    if (!IsOpen() || !GetFileSizeEx(file_, &size) || size.QuadPart <= 0) return;
    mapping_ = CreateFileMappingW(file_, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mapping_) view_ = MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0);
    if (view_) size_ = static_cast<size_t>(size.QuadPart);
  }
  ~MappedFile() {
    if (view_) UnmapViewOfFile(view_);
    if (mapping_) CloseHandle(mapping_);
    if (IsOpen()) CloseHandle(file_);
  }
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }
  const void* View() const { return view_; }
  size_t Size() const { return size_; }

 private:
  HANDLE file_;
  HANDLE mapping_ = nullptr;
  const void* view_ = nullptr;
  size_t size_ = 0;
};

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
