// The frames of the open file's animation, read one at a time through its plug-in's frame
// exports, run after run as often as the file says.
#pragma once

#include <windows.h>

#include "host/plugin_entry.h"

namespace lmx {

class FramePlayer {
 public:
  FramePlayer() = default;
  FramePlayer(const FramePlayer&) = delete;
  FramePlayer& operator=(const FramePlayer&) = delete;
  ~FramePlayer() { Close(); }

  // Opens the frames of `path`: false when its plug-in has none for it or it holds fewer
  // than two. The entry must stay loaded until Close.
  bool Open(PlugInEntry* entry, const wchar_t* path);
  void Close();
  bool IsOpen() const { return handle_ != nullptr; }

  // The next frame (a packed DIB from LocalAlloc, the caller's) and its delay; after the
  // last frame the first again while runs are left. Null when the animation has ended, with
  // the status that ended it (FrameStatus: the end, a damaged frame, no memory).
  void* Next(DWORD* delayMs, DWORD* status);

 private:
  PlugInEntry* entry_ = nullptr;
  void* handle_ = nullptr;
  wchar_t path_[MAX_PATH] = {};
  DWORD plays_ = 1;
  DWORD runs_ = 0;
};

}  // namespace lmx
