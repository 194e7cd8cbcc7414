#include "host/frame_player.h"

#include "plugins/common/animation_frames.h"

namespace lmx {

bool FramePlayer::Open(PlugInEntry* entry, const wchar_t* path) {
  Close();
  if (!entry || !entry->openFrames || !entry->nextFrame || !entry->closeFrames || !path || !*path) return false;
  DWORD frames = 0;
  handle_ = entry->openFrames(path, nullptr, nullptr, &frames, &plays_);
  entry_ = entry;
  if (handle_ && frames < 2) Close();
  if (!handle_) return false;
  lstrcpynW(path_, path, MAX_PATH);
  runs_ = 0;
  return true;
}

void FramePlayer::Close() {
  if (handle_) entry_->closeFrames(handle_);
  handle_ = nullptr;
  entry_ = nullptr;
}

void* FramePlayer::Next(DWORD* delayMs, DWORD* status) {
  *status = kFrameEnd;
  if (!handle_) return nullptr;
  void* frame = entry_->nextFrame(handle_, delayMs, status);
  if (frame || *status != kFrameEnd) return frame;
  // The end of a run: the first frame again, from the file opened anew, while runs are left.
  ++runs_;
  if (plays_ != 0 && runs_ >= plays_) return nullptr;
  entry_->closeFrames(handle_);
  handle_ = entry_->openFrames(path_, nullptr, nullptr, nullptr, nullptr);
  if (!handle_) return nullptr;
  return entry_->nextFrame(handle_, delayMs, status);
}

}  // namespace lmx
