// The one worker thread that makes the explorer's thumbnails, below normal priority, and the
// thumbnails it keeps in memory for the run. A window hands it its jobs in the order it
// wants them done (the cells on screen first) and gets each result posted back as
// kThumbnailReadyMessage; handing new jobs replaces the window's old ones, and cancelling
// drops them. The UI thread never waits for the worker.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "explorer/thumbnail_cache_file.h"
#include "explorer/thumbnail_source.h"

namespace lmx {

// wParam: the generation the job was handed with; lParam: a ThumbnailResult* the window
// takes over (FreeThumbnailResult).
constexpr UINT kThumbnailReadyMessage = WM_APP + 0x121;

struct ThumbnailJob {
  int cell;  // the window's own number for the job
  ThumbnailKey key;
  uint32_t boxWidth;
  uint32_t boxHeight;
};

struct ThumbnailResult {
  int cell;
  std::shared_ptr<const Thumbnail> thumbnail;  // null: the file has none
};

// Replaces the jobs of `window` by `jobs`, done first to last. Results of an older
// generation still in flight are not posted.
void QueueThumbnails(HWND window, uint32_t generation, std::vector<ThumbnailJob> jobs, const ThumbnailSetup& setup);
// Drops every job of `window`; nothing more is posted to it.
void CancelThumbnails(HWND window);
void FreeThumbnailResult(LPARAM result);

// The thumbnail made for `key` this run: true with the thumbnail (null when the file has
// none) when it is known, false when it is not.
bool RememberedThumbnail(const ThumbnailKey& key, std::shared_ptr<const Thumbnail>* out);
// Forgets the thumbnails kept in memory (a benchmark's cold start).
void ForgetRememberedThumbnails();
constexpr size_t kRememberedThumbnailBytes = 6u << 20;

// Waits until the worker has no job and none in hand; false when `ms` passed first. For
// tests and benchmarks: the explorer itself never waits.
bool WaitThumbnailWorkerIdle(DWORD ms);
// Jobs done by the worker since the start, decoded ones apart from those read back from the cache folder.
struct ThumbnailWorkCount {
  uint32_t decoded;
  uint32_t fromDisk;
};
ThumbnailWorkCount ThumbnailWorkDone();

}  // namespace lmx
