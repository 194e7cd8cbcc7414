#include "plugins/common/helper_tasks.h"

#include <atomic>
#include <new>

#if defined(_WIN32)
#include <windows.h>
#else
#include <thread>
#include <vector>
#endif

namespace lmx {

#if defined(_WIN32)

struct HelperTasks::Running {
  Task task;
  void* context;
  int priority;
  std::atomic<unsigned> next{1};
  PTP_WORK work = nullptr;
};

namespace {

VOID CALLBACK RunTask(PTP_CALLBACK_INSTANCE, PVOID parameter, PTP_WORK) {
  auto* r = static_cast<HelperTasks::Running*>(parameter);
  const HANDLE self = GetCurrentThread();
  const int own = GetThreadPriority(self);
  if (r->priority != THREAD_PRIORITY_ERROR_RETURN) SetThreadPriority(self, r->priority);
  r->task(r->context, r->next.fetch_add(1));
  if (own != THREAD_PRIORITY_ERROR_RETURN) SetThreadPriority(self, own);  // the pool's thread as it was
}

}  // namespace

HelperTasks::HelperTasks(unsigned count, Task task, void* context) {
  if (count < 2) return;
  running_.reset(new (std::nothrow) Running{task, context, GetThreadPriority(GetCurrentThread())});
  if (!running_) return;
  running_->work = CreateThreadpoolWork(RunTask, running_.get(), nullptr);
  if (!running_->work) return;
  for (unsigned i = 1; i < count; ++i) SubmitThreadpoolWork(running_->work);
}

HelperTasks::~HelperTasks() {
  if (!running_ || !running_->work) return;
  WaitForThreadpoolWorkCallbacks(running_->work, TRUE);
  CloseThreadpoolWork(running_->work);
}

#else

struct HelperTasks::Running {
  std::vector<std::thread> threads;
};

HelperTasks::HelperTasks(unsigned count, Task task, void* context) {
  if (count < 2) return;
  running_.reset(new (std::nothrow) Running);
  if (!running_) return;
  try {
    running_->threads.reserve(count - 1);
    for (unsigned i = 1; i < count; ++i) running_->threads.emplace_back(task, context, i);
  } catch (...) {
    // The tasks not started are claimed by the caller.
  }
}

HelperTasks::~HelperTasks() {
  if (!running_) return;
  for (std::thread& t : running_->threads) t.join();
}

#endif

}  // namespace lmx
