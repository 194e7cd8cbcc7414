// Tasks beside the calling thread, for a decode that spreads over the processors. On Windows
// they run on the process's thread pool: a thread of one's own takes half a millisecond to start
// under Wine, a pool thread kept from the decode before some tens of microseconds. A task may
// start late or, when the pool cannot take it, not at all, so work is shared by claiming it:
// what no task has claimed, the calling thread claims and does itself. Tasks run at the caller's
// priority, so that a thumbnail decoded below normal stays below the window's thread.
#pragma once

#include <memory>

namespace lmx {

class HelperTasks {
 public:
  using Task = void (*)(void* context, unsigned index);

  // Starts task(context, i) for i from 1 to count - 1.
  HelperTasks(unsigned count, Task task, void* context);
  // Waits for the tasks that started to return; those not started by then never start.
  ~HelperTasks();
  HelperTasks(const HelperTasks&) = delete;
  HelperTasks& operator=(const HelperTasks&) = delete;

  struct Running;

 private:
  std::unique_ptr<Running> running_;
};

}  // namespace lmx
