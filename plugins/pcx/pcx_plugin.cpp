// zlx_pcx: PCX (ZSoft Paintbrush) files.
#include <windows.h>

#include "plugins/common/plugin_module.h"
#include "plugins/pcx/pcx_reader.h"
#include "plugins/pcx/pcx_details.h"

namespace lmx {
const PluginRegistration kPluginRegistration = {
    1, L"pcx", L"PCX - ZSoft Paintbrush Format", L"Copyright (c) 2026 Zorvan Software", L"PCX", L"pcx", nullptr,
};
}  // namespace lmx

using namespace lmx;

namespace {

constexpr const wchar_t* kErrorCaption = L"Error...";
constexpr const wchar_t* kWarningCaption = L"Warning...";

// Shows the wait cursor once decoding starts; the arrow comes back when the load is over.
class CursorProgress final : public pcx::DecodeProgress {
 public:
  ~CursorProgress() override {
    if (busy_) SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  }
  void Decoding() override {
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    busy_ = true;
  }

 private:
  bool busy_ = false;
};

void ShowMessages(const DecodeMessages& messages) {
  for (int i = 0; i < messages.Count(); ++i) {
    const wchar_t* caption = messages.Detail(i) == pcx::kFormWarning ? kWarningCaption : kErrorCaption;
    switch (messages[i]) {
      case pcx::kTextReadFailed:
        ShowPluginText(L"Fehler beim Lesen der PCX-Datei!", caption);
        break;
      case pcx::kTextWrongColorFormat:
        ShowPluginText(L"Falsches Farbformat in der PCX-Datei!", caption);
        break;
      default:
        ShowPluginMessage(messages[i], caption);
        break;
    }
  }
}

}  // namespace

extern "C" BOOL LMX_GetFileInfo(const wchar_t*, DWORD* imageCount) {
  if (imageCount) *imageCount = 1;
  return TRUE;
}

extern "C" void* LMX_LoadGfxFile(const wchar_t* fileName, DWORD) {
  if (!fileName) {
    ShowPluginMessage(pcx::kMsgNoFileName, kErrorCaption);
    return nullptr;
  }
  DecodeMessages messages;
  void* block;
  {
    FileSource file(fileName);
    if (!file.IsOpen()) {
      ShowPluginMessage(pcx::kMsgCantOpen, kErrorCaption);
      return nullptr;
    }
    LocalHeap heap;
    CursorProgress progress;
    block = pcx::ReadPcxFile(file, heap, messages, &progress);
  }
  ShowMessages(messages);
  return block;
}

extern "C" DWORD LMX_GetFileDetails(const wchar_t* fileName, DWORD imageIndex, wchar_t* buffer, DWORD bufferChars) {
  return WriteFileDetails(fileName, imageIndex, buffer, bufferChars, pcx::DescribePcx);
}
