#include "explorer/thumbnail_worker.h"

#include <deque>
#include <map>
#include <new>

#include "explorer/thumbnail_disk_cache.h"

namespace lmx {

namespace {

struct QueuedJob {
  HWND window;
  uint32_t generation;
  ThumbnailJob job;
  ThumbnailSetup setup;
};

struct Remembered {
  ThumbnailKey key;
  std::shared_ptr<const Thumbnail> thumbnail;
  uint64_t lastUse;
};

// Everything the UI thread and the worker share, behind one lock.
struct Worker {
  Worker() {
    InitializeCriticalSection(&lock);
    wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    idle = CreateEventW(nullptr, TRUE, TRUE, nullptr);
  }
  CRITICAL_SECTION lock;
  HANDLE wake;
  HANDLE idle;  // set while there is nothing to do
  HANDLE thread = nullptr;
  std::deque<QueuedJob> jobs;
  std::map<HWND, uint32_t> generations;  // the generation each window wants results of
  std::map<uint64_t, Remembered> remembered;
  size_t rememberedBytes = 0;
  uint64_t uses = 0;
  ThumbnailWorkCount done{};
};

Worker& TheWorker() {
  static Worker* worker = new Worker();  // lives to the end of the process, as its thread
  return *worker;
}

class Locked {
 public:
  explicit Locked(Worker& w) : w_(w) { EnterCriticalSection(&w_.lock); }
  ~Locked() { LeaveCriticalSection(&w_.lock); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;

 private:
  Worker& w_;
};

size_t BytesOf(const std::shared_ptr<const Thumbnail>& t) { return t ? t->pixels.size() + sizeof(Thumbnail) : 64; }

bool SameKey(const ThumbnailKey& a, const ThumbnailKey& b) {
  return a.size == b.size && a.modified == b.modified && CompareStringOrdinal(a.path.c_str(), -1, b.path.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// Called with the lock held.
void Remember(Worker& w, const ThumbnailKey& key, const std::shared_ptr<const Thumbnail>& thumbnail) {
  const uint64_t hash = ThumbnailKeyHash(key);
  auto old = w.remembered.find(hash);
  if (old != w.remembered.end()) {
    w.rememberedBytes -= BytesOf(old->second.thumbnail);
    w.remembered.erase(old);
  }
  w.remembered[hash] = Remembered{key, thumbnail, ++w.uses};
  w.rememberedBytes += BytesOf(thumbnail);
  while (w.rememberedBytes > kRememberedThumbnailBytes && w.remembered.size() > 1) {
    auto oldest = w.remembered.begin();
    for (auto it = w.remembered.begin(); it != w.remembered.end(); ++it) {
      if (it->second.lastUse < oldest->second.lastUse) oldest = it;
    }
    w.rememberedBytes -= BytesOf(oldest->second.thumbnail);
    w.remembered.erase(oldest);
  }
}

std::shared_ptr<const Thumbnail> Make(Worker& w, const QueuedJob& queued) {
  const ThumbnailJob& job = queued.job;
  auto thumbnail = std::make_shared<Thumbnail>();
  if (LoadThumbnailFile(queued.setup.cacheFolder, job.key, thumbnail.get())) {
    Locked hold(w);
    ++w.done.fromDisk;
    return thumbnail;
  }
  if (!queued.setup.source ||
      !queued.setup.source->MakeThumbnail(job.key.path.c_str(), job.boxWidth, job.boxHeight, thumbnail.get())) {
    return nullptr;
  }
  StoreThumbnailFile(queued.setup.cacheFolder, job.key, *thumbnail, queued.setup.cacheBytes);
  Locked hold(w);
  ++w.done.decoded;
  return thumbnail;
}

DWORD WINAPI WorkerMain(void*) {
  Worker& w = TheWorker();
  for (;;) {
    QueuedJob queued;
    bool have = false;
    {
      Locked hold(w);
      if (!w.jobs.empty()) {
        queued = std::move(w.jobs.front());
        w.jobs.pop_front();
        have = true;
      } else {
        SetEvent(w.idle);
      }
    }
    if (!have) {
      WaitForSingleObject(w.wake, INFINITE);
      continue;
    }
    std::shared_ptr<const Thumbnail> made;
    bool known;
    {
      Locked hold(w);
      const auto found = w.remembered.find(ThumbnailKeyHash(queued.job.key));
      known = found != w.remembered.end() && SameKey(found->second.key, queued.job.key);
      if (known) made = found->second.thumbnail;
    }
    if (!known) made = Make(w, queued);
    Locked hold(w);
    if (!known) Remember(w, queued.job.key, made);
    const auto wanted = w.generations.find(queued.window);
    if (wanted == w.generations.end() || wanted->second != queued.generation) continue;
    auto* result = new (std::nothrow) ThumbnailResult{queued.job.cell, made};
    if (result && !PostMessageW(queued.window, kThumbnailReadyMessage, queued.generation, reinterpret_cast<LPARAM>(result))) {
      delete result;
    }
  }
}

}  // namespace

void QueueThumbnails(HWND window, uint32_t generation, std::vector<ThumbnailJob> jobs, const ThumbnailSetup& setup) {
  Worker& w = TheWorker();
  Locked hold(w);
  w.generations[window] = generation;
  for (auto it = w.jobs.begin(); it != w.jobs.end();) it = it->window == window ? w.jobs.erase(it) : it + 1;
  for (ThumbnailJob& job : jobs) w.jobs.push_back(QueuedJob{window, generation, std::move(job), setup});
  if (w.jobs.empty()) return;
  ResetEvent(w.idle);
  if (!w.thread) {
    w.thread = CreateThread(nullptr, 0, WorkerMain, nullptr, 0, nullptr);
    if (!w.thread) {
      w.jobs.clear();
      SetEvent(w.idle);
      return;
    }
    SetThreadPriority(w.thread, THREAD_PRIORITY_BELOW_NORMAL);
  }
  SetEvent(w.wake);
}

void CancelThumbnails(HWND window) {
  Worker& w = TheWorker();
  Locked hold(w);
  w.generations.erase(window);
  for (auto it = w.jobs.begin(); it != w.jobs.end();) it = it->window == window ? w.jobs.erase(it) : it + 1;
}

void FreeThumbnailResult(LPARAM result) { delete reinterpret_cast<ThumbnailResult*>(result); }

bool RememberedThumbnail(const ThumbnailKey& key, std::shared_ptr<const Thumbnail>* out) {
  Worker& w = TheWorker();
  Locked hold(w);
  const auto found = w.remembered.find(ThumbnailKeyHash(key));
  if (found == w.remembered.end() || !SameKey(found->second.key, key)) return false;
  found->second.lastUse = ++w.uses;
  *out = found->second.thumbnail;
  return true;
}

void ForgetRememberedThumbnails() {
  Worker& w = TheWorker();
  Locked hold(w);
  w.remembered.clear();
  w.rememberedBytes = 0;
}

bool WaitThumbnailWorkerIdle(DWORD ms) {
  Worker& w = TheWorker();
  const DWORD start = GetTickCount();
  for (;;) {
    {
      Locked hold(w);
      if (w.jobs.empty() && (!w.thread || WaitForSingleObject(w.idle, 0) == WAIT_OBJECT_0)) return true;
    }
    if (GetTickCount() - start >= ms) return false;
    Sleep(5);
  }
}

ThumbnailWorkCount ThumbnailWorkDone() {
  Worker& w = TheWorker();
  Locked hold(w);
  return w.done;
}

}  // namespace lmx
