// The priority of the thread that starts a decode, for the threads the decode starts in turn:
// on Windows a new thread runs at normal priority whatever its creator's, so a thumbnail
// decoded below normal would otherwise spread onto threads that compete with the window's.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#endif

namespace lmx {

class CallerPriority {
 public:
#if defined(_WIN32)
  CallerPriority() : priority_(GetThreadPriority(GetCurrentThread())) {}
  // Gives the calling thread the priority taken at construction.
  void Apply() const {
    if (priority_ != THREAD_PRIORITY_ERROR_RETURN) SetThreadPriority(GetCurrentThread(), priority_);
  }

 private:
  int priority_;
#else
  void Apply() const {}
#endif
};

}  // namespace lmx
