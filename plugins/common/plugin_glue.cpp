// The exports that read files, over the format's record: LMX_GetFileInfo, LMX_LoadGfxFile
// and LMX_GetFileDetails. The file is opened as the format says, handed to its reader, closed,
// and then the reader's messages are shown, each from the plug-in's string table.
#include <optional>

#include "common/utils.h"
#include "plugins/common/mapped_file.h"
#include "plugins/common/message_text.h"
#include "plugins/common/plugin_module.h"

namespace lmx {
namespace {

void ShowMessages(const DecodeMessages& messages) {
  for (int i = 0; i < messages.Count(); ++i) {
    const DecodeMessage& m = messages.At(i);
    const wchar_t* caption =
        m.severity == Severity::kWarning ? kPluginFormat.warningCaption : kPluginFormat.errorCaption;
    const wchar_t* text = LoadLangString(m.id);
    wchar_t filled[kResStringChars + 32];
    if (m.hasValue) {
      FormatMessageText(text, m.value, filled, sizeof filled / sizeof filled[0]);
      text = filled;
    }
    MessageBoxW(OwnerWindow(), text, caption, MB_OK | MB_ICONEXCLAMATION);
  }
}

// The wait cursor from the moment the reader starts on the pixels; the arrow afterwards.
class CursorFromPixels final : public DecodeProgress {
 public:
  ~CursorFromPixels() override {
    if (busy_) SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  }
  void Decoding() override {
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    busy_ = true;
  }

 private:
  bool busy_ = false;
};

// The file opened as the format reads it. No input when it cannot be opened.
class OpenedFile {
 public:
  OpenedFile(const wchar_t* fileName, uint32_t imageIndex) {
    if (kPluginFormat.access == FileAccess::kMapped) {
      mapped_.emplace(fileName);
      if (!mapped_->IsOpen()) return;
      if (mapped_->View()) {
        memory_.emplace(mapped_->View(), mapped_->Size());
        input_.emplace(DecodeInput{*memory_, mapped_->View(), mapped_->Size(), imageIndex});
        return;
      }
    }
    file_.emplace(fileName);
    if (file_->IsOpen()) input_.emplace(DecodeInput{*file_, nullptr, 0, imageIndex});
  }

  const DecodeInput* Input() const { return input_ ? &*input_ : nullptr; }

 private:
  std::optional<MappedFile> mapped_;
  std::optional<MemorySource> memory_;
  std::optional<FileSource> file_;
  std::optional<DecodeInput> input_;
};

void* ReadPicture(const DecodeInput& in, DecodeMessages& messages) {
  LocalHeap heap;
  switch (kPluginFormat.cursor) {
    case BusyCursor::kWhileReading: {
      WaitCursor wait;
      return kPluginFormat.read(in, heap, messages, nullptr);
    }
    case BusyCursor::kFromPixels: {
      CursorFromPixels progress;
      return kPluginFormat.read(in, heap, messages, &progress);
    }
    default:
      return kPluginFormat.read(in, heap, messages, nullptr);
  }
}

}  // namespace
}  // namespace lmx

using namespace lmx;

extern "C" BOOL LMX_GetFileInfo(const wchar_t* fileName, DWORD* imageCount) {
  if (!kPluginFormat.count) {
    if (imageCount) *imageCount = 1;
    return TRUE;
  }
  if (!fileName || !*fileName || !imageCount) return FALSE;
  uint32_t count = 0;
  bool counted;
  {
    OpenedFile file(fileName, 0);
    counted = file.Input() && kPluginFormat.count(*file.Input(), &count);
  }
  if (!counted) {
    DecodeMessages messages;
    messages.Add(kPluginFormat.cantOpen);
    ShowMessages(messages);
    return FALSE;
  }
  *imageCount = count;
  return TRUE;
}

extern "C" void* LMX_LoadGfxFile(const wchar_t* fileName, DWORD imageIndex) {
  DecodeMessages messages;
  void* block = nullptr;
  if (!fileName) {
    messages.Add(kPluginFormat.noFileName ? kPluginFormat.noFileName : kPluginFormat.cantOpen);
  } else {
    OpenedFile file(fileName, imageIndex);
    if (file.Input()) {
      block = ReadPicture(*file.Input(), messages);
    } else {
      messages.Add(kPluginFormat.cantOpen);
    }
  }
  ShowMessages(messages);
  return block;
}

extern "C" DWORD LMX_GetFileDetails(const wchar_t* fileName, DWORD imageIndex, wchar_t* buffer, DWORD bufferChars) {
  return WriteFileDetails(fileName, imageIndex, buffer, bufferChars, kPluginFormat.describe);
}
