// The exports that read files, over the format's record: LMX_GetFileInfo, LMX_LoadGfxFile,
// LMX_GetFileDetails, LMX_LoadGfxFileReduced and the frames of an animation. The file is opened as the format says, handed to its reader, closed,
// and then the reader's messages are shown, each from the plug-in's string table.
#include <new>
#include <optional>

#include "common/utils.h"
#include "plugins/common/dib_reduce.h"
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
  OpenedFile(const wchar_t* fileName, uint32_t imageIndex, uint32_t boxWidth = 0, uint32_t boxHeight = 0,
             PictureSize* fullSize = nullptr, bool oneThread = false) {
    if (kPluginFormat.access == FileAccess::kMapped) {
      mapped_.emplace(fileName);
      if (!mapped_->IsOpen()) return;
      if (mapped_->View()) {
        memory_.emplace(mapped_->View(), mapped_->Size());
        input_.emplace(DecodeInput{*memory_, mapped_->View(), mapped_->Size(), imageIndex, boxWidth, boxHeight,
                                   fullSize, oneThread});
        return;
      }
    }
    file_.emplace(fileName);
    if (file_->IsOpen()) {
      input_.emplace(DecodeInput{*file_, nullptr, 0, imageIndex, boxWidth, boxHeight, fullSize, oneThread});
    }
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

uint16_t CannotOpenMessage(const wchar_t* fileName) {
  return !fileName && kPluginFormat.noFileName ? kPluginFormat.noFileName : kPluginFormat.cantOpen;
}

// An animation's handle: the open file and the format's reader over it, which keeps its
// canvas on the local heap.
struct OpenFrames {
  explicit OpenFrames(const wchar_t* fileName) : file(fileName) {}
  FileSource file;
  LocalHeap heap;
  FrameReader* reader = nullptr;
};

ReducedStatus StatusOf(const DecodeMessages& messages, bool opened, bool picture, const PictureSize& full) {
  if (!opened) return kReducedCannotOpen;
  if (picture) return messages.Empty() ? kReducedShown : kReducedDamaged;
  if (messages.Empty()) return kReducedBroken;
  const uint16_t id = messages[0];
  ReducedStatus status = kReducedBroken;
  for (const MessageStatus* m = kPluginFormat.statuses; m && m->id; ++m) {
    if (m->id == id) status = m->status;
  }
  // A picture no whole decode would take is too large, whatever memory there is.
  if (status == kReducedNoMemory && full.width && !DibFits({full.width, full.height, 24, 0})) return kReducedTooLarge;
  return status;
}

// The decoded picture in the reduced form: made smaller by the whole factor the box allows,
// and as 24 bits or 8-bit grey; a picture without pixels as it is. Null (the block freed) with
// *status set when that fails.
void* Reduce(void* block, uint32_t boxWidth, uint32_t boxHeight, LocalHeap& heap, ReducedStatus* status) {
  const DibHeader h = ReadDibHeader(block);
  if (h.biWidth == 0 || h.biHeight == 0) return block;
  const uint32_t factor = ReductionFactor(static_cast<uint32_t>(h.biWidth), static_cast<uint32_t>(h.biHeight),
                                          boxWidth, boxHeight);
  // Already in the reduced form: 24 bits, or 8-bit grey with its 256 levels.
  const auto* bytes = static_cast<const uint8_t*>(block);
  const bool reducedForm =
      h.biCompression == 0 &&
      (h.biBitCount == 24 || (h.biBitCount == 8 && h.biClrUsed == 256 && HasGreyTable(bytes)));
  if (factor == 1 && reducedForm) return block;
  DibBlock reduced = ReduceDib(bytes, LocalSize(block), factor, heap);
  heap.Free(block);
  if (!reduced.Made()) *status = reduced.NoMemory() ? kReducedNoMemory : kReducedUnsupported;
  return reduced.block;
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
    messages.Add(CannotOpenMessage(fileName));
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

extern "C" void* LMX_LoadGfxFileReduced(const wchar_t* fileName, DWORD imageIndex, DWORD boxWidth, DWORD boxHeight,
                                        DWORD flags, DWORD* fullWidth, DWORD* fullHeight, DWORD* status) {
  const bool quiet = (flags & kReducedQuiet) != 0;
  if ((flags & kReducedFast) && !kPluginFormat.fastReduce) {
    if (fullWidth) *fullWidth = 0;
    if (fullHeight) *fullHeight = 0;
    if (status) *status = kReducedUnsupported;
    return nullptr;
  }
  DecodeMessages messages;
  PictureSize full;
  void* block = nullptr;
  bool opened = false;
  if (!fileName) {
    messages.Add(CannotOpenMessage(fileName));
  } else {
    OpenedFile file(fileName, imageIndex, boxWidth, boxHeight, &full, (flags & kReducedOneThread) != 0);
    opened = file.Input() != nullptr;
    if (!opened) {
      messages.Add(kPluginFormat.cantOpen);
    } else if (quiet) {
      // Quiet decodes run on other threads too: no cursor, no box.
      LocalHeap heap;
      block = kPluginFormat.read(*file.Input(), heap, messages, nullptr);
    } else {
      block = ReadPicture(*file.Input(), messages);
    }
  }
  if (block && !full.width) {
    const DibHeader h = ReadDibHeader(block);
    full = {static_cast<uint32_t>(h.biWidth), static_cast<uint32_t>(h.biHeight)};
  }
  ReducedStatus outcome = StatusOf(messages, opened, block != nullptr, full);
  if (block) {
    LocalHeap heap;
    block = Reduce(block, boxWidth, boxHeight, heap, &outcome);
  }
  if (!quiet) ShowMessages(messages);
  if (fullWidth) *fullWidth = full.width;
  if (fullHeight) *fullHeight = full.height;
  if (status) *status = outcome;
  return block;
}

extern "C" DWORD LMX_GetFileDetails(const wchar_t* fileName, DWORD imageIndex, wchar_t* buffer, DWORD bufferChars) {
  return WriteFileDetails(fileName, imageIndex, buffer, bufferChars, kPluginFormat.describe);
}

extern "C" void* LMX_OpenFrames(const wchar_t* fileName, DWORD* width, DWORD* height, DWORD* frameCount,
                                DWORD* plays) {
  AnimationFacts facts;
  OpenFrames* frames = nullptr;
  if (kPluginFormat.frames && fileName && *fileName) {
    frames = new (std::nothrow) OpenFrames(fileName);
    if (frames && frames->file.IsOpen()) frames->reader = kPluginFormat.frames(frames->file, frames->heap, &facts);
    if (frames && !frames->reader) {
      delete frames;
      frames = nullptr;
    }
  }
  if (!frames) facts = {0, 0, 0, 0};
  if (width) *width = facts.width;
  if (height) *height = facts.height;
  if (frameCount) *frameCount = facts.frames;
  if (plays) *plays = facts.plays;
  return frames;
}

extern "C" void* LMX_NextFrame(void* handle, DWORD* delayMs, DWORD* status) {
  uint32_t delay = 0;
  FrameStatus outcome = kFrameEnd;
  void* block = nullptr;
  if (auto* frames = static_cast<OpenFrames*>(handle)) {
    LocalHeap heap;
    block = frames->reader->Next(heap, &delay, &outcome);
  }
  if (delayMs) *delayMs = delay;
  if (status) *status = outcome;
  return block;
}

extern "C" void LMX_CloseFrames(void* handle) {
  auto* frames = static_cast<OpenFrames*>(handle);
  if (!frames) return;
  delete frames->reader;
  delete frames;
}
