// thumbnail_bench.exe FOLDER: the explorer's grid of thumbnails on a folder of photographs.
// Prints, one "key value" line each, medians over several runs:
//   first_screen_files   cells of the first screen
//   cold_ms              opening the explorer to the first screen of thumbnails painted, with
//                        no thumbnail in memory or in the cache folder
//   warm_disk_ms         the same with the cache folder filled, nothing in memory (a new run)
//   warm_memory_ms       the same with the thumbnails still in memory (Open again)
//   inputs, input_max_ms the number of input messages (d-pad, wheel) sent while the worker
//                        decoded, the longest the explorer took for one with the repaint it
//                        caused (median of the runs' longest; input_worst_ms the longest of
//                        all), and the median and 95th percentile of all
//   message_max_ms       the longest any message of the explorer took meanwhile (median of
//                        the runs')
//   idle_mb, peak_mb     the process's private memory before the explorer and its peak while
//                        the explorer listed the folder (sampled every 2 ms); idle_ws_mb and
//                        peak_ws_mb the same of its working set
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "explorer/directory_model.h"
#include "explorer/explorer_ids.h"
#include "explorer/explorer_list.h"
#include "explorer/explorer_view.h"
#include "explorer/thumbnail_grid.h"
#include "explorer/thumbnail_worker.h"
#include "host/plugin_thumbnails.h"
#include "host/viewer_document.h"
#include "common/utils.h"
#include "tools/support/app_key_guard.h"
#include "tools/viewer_bench/bench_support.h"
#include "ui/settings.h"

namespace {

using lmx::bench::Median;
using lmx::bench::NowMs;

constexpr int kRuns = 5;

struct Memory {
  double privateMb;
  double workingSetMb;
};

Memory MemoryNow() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof(counters);
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
  constexpr double kMb = 1024.0 * 1024.0;
  return Memory{static_cast<double>(counters.PrivateUsage) / kMb, static_cast<double>(counters.WorkingSetSize) / kMb};
}

void EmptyFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((folder + L"\\*.lmt").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do DeleteFileW((folder + L"\\" + found.cFileName).c_str());
  while (FindNextFileW(find, &found));
  FindClose(find);
}

// One explorer window as the Open dialog holds it, on the device's screen below the top bar.
struct Explorer {
  HWND host = nullptr, view = nullptr, list = nullptr, grid = nullptr;
  lmx::OpenFileRequest request{};
  lmx::PickOptions options;
  std::wstring folder;

  Explorer(const std::wstring& deviceFolder, const lmx::ThumbnailSetup& setup, const wchar_t* filter) {
    folder = deviceFolder;
    options.thumbnails = setup;
    request.size = sizeof(request);
    request.resourceModule = lmx::ResourceModule();
    request.filter = filter;
    request.startFolder = folder.c_str();
    request.options = &options;
    host = CreateWindowExW(0, L"Static", L"Open", WS_POPUP | WS_VISIBLE, 0, 26, 240, 294, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    lmx::RegisterExplorerViewClass(request.resourceModule);
    view = CreateWindowExW(0, lmx::kExplorerViewClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 240, 294, host,
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_EXPLORER_VIEW)), request.resourceModule,
                           &request);
    SendMessageW(view, WM_SIZE, 0, MAKELPARAM(240, 294));
    list = GetDlgItem(view, IDC_EXPLORER_LIST);
    grid = GetDlgItem(view, IDC_EXPLORER_GRID);
    lmx::SetExplorerFilter(list, filter);
    lmx::ScanFolder(list);
  }
  ~Explorer() { DestroyWindow(host); }
  Explorer(const Explorer&) = delete;
  Explorer& operator=(const Explorer&) = delete;
};

// Dispatches messages, timing each, until `done` says so.
template <typename Done>
double PumpUntil(Done done, double* longest = nullptr) {
  MSG msg;
  for (;;) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      const double t0 = NowMs();
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
      if (longest) *longest = std::max(*longest, NowMs() - t0);
    }
    if (done()) return NowMs();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT);
  }
}

// From creating the explorer to its first screen of thumbnails painted.
double FirstScreenMs(const std::wstring& folder, const lmx::ThumbnailSetup& setup, const wchar_t* filter,
                     int* cells = nullptr) {
  const double t0 = NowMs();
  Explorer explorer(folder, setup, filter);
  PumpUntil([&] { return lmx::GridWaitingOnScreen(explorer.grid) == 0; });
  UpdateWindow(explorer.grid);
  GdiFlush();
  const double ms = NowMs() - t0;
  if (cells) {
    *cells = 0;
    for (int row = 0; lmx::GridCellLook(explorer.grid, row) != lmx::CellLook::kNone; ++row) {
      RECT cell{}, client{};
      lmx::GridCellRect(explorer.grid, row, &cell);
      GetClientRect(explorer.grid, &client);
      if (cell.top < client.bottom) ++*cells;
    }
  }
  lmx::WaitThumbnailWorkerIdle(120000);
  return ms;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: thumbnail_bench DEVICE-FOLDER\n");
    return 2;
  }
  lmx::test::AppKeyGuard guard;
  lmx::bench::RegisterPlugIns(lmx::bench::ProgramFolder(), {L"zlx_bmp.dll", L"zlx_gif.dll", L"zlx_pcx.dll",
                                                            L"zlx_tif.dll", L"zlx_jpg.dll", L"zlx_png.dll"});
  HMODULE lang = LoadLibraryW((lmx::bench::ProgramFolder() + L"LumivexLangComp.dll").c_str());
  lmx::SetResourceModule(lang);
  lmx::SetInstanceModule(GetModuleHandleW(nullptr));
  lmx::LoadSettings(&lmx::Settings());
  lmx::Settings().explorerGrid = 1;
  auto* document = new lmx::ViewerDocument();
  document->DiscoverPlugIns(lmx::Settings().plugInKey);
  const std::wstring cache = lmx::bench::ProgramFolder() + L"thumbnail_bench_cache";
  lmx::ThumbnailSetup setup = lmx::PlugInThumbnailSetup(document->plugIns(), nullptr);
  setup.cacheFolder = cache;
  setup.cacheBytes = lmx::kThumbnailCacheBytes;
  const wchar_t* filter = document->plugIns()->openFilter;
  const std::wstring folder = argv[1];

  std::vector<double> cold, warmDisk, warmMemory;
  int cells = 0;
  for (int run = 0; run < kRuns; ++run) {
    EmptyFolder(cache);
    lmx::ForgetRememberedThumbnails();
    cold.push_back(FirstScreenMs(folder, setup, filter, &cells));
    lmx::ForgetRememberedThumbnails();
    warmDisk.push_back(FirstScreenMs(folder, setup, filter));
    warmMemory.push_back(FirstScreenMs(folder, setup, filter));
  }

  // Input while the worker decodes the folder, and the memory that takes, in runs of their
  // own: each from a cold cache to the last thumbnail of the folder.
  const Memory idle = MemoryNow();
  std::atomic<bool> sampling{true};
  std::atomic<double> peakPrivate{idle.privateMb}, peakWorkingSet{idle.workingSetMb};
  std::thread sampler([&] {
    while (sampling) {
      const Memory now = MemoryNow();
      if (now.privateMb > peakPrivate) peakPrivate = now.privateMb;
      if (now.workingSetMb > peakWorkingSet) peakWorkingSet = now.workingSetMb;
      Sleep(2);
    }
  });
  std::vector<double> inputs, runMaxima, messageMaxima;
  for (int run = 0; run < kRuns; ++run) {
    EmptyFolder(cache);
    lmx::ForgetRememberedThumbnails();
    Explorer explorer(folder, setup, filter);
    SetFocus(explorer.grid);
    const WPARAM keys[] = {VK_DOWN, VK_DOWN, VK_RIGHT, VK_NEXT, VK_UP, VK_PRIOR};
    int step = 0;
    double next = NowMs(), runMax = 0, messageMax = 0;
    PumpUntil(
        [&] {
          if (lmx::WaitThumbnailWorkerIdle(0)) return true;
          if (NowMs() >= next) {
            const double t0 = NowMs();
            if (step % 3 == 2) {
              SendMessageW(explorer.grid, WM_MOUSEWHEEL, MAKEWPARAM(0, (step % 2 ? -1 : 1) * WHEEL_DELTA), 0);
            } else {
              SendMessageW(explorer.grid, WM_KEYDOWN, keys[step % 6], 0);
            }
            UpdateWindow(explorer.grid);
            const double ms = NowMs() - t0;
            inputs.push_back(ms);
            runMax = std::max(runMax, ms);
            ++step;
            next = NowMs() + 25;
          }
          return false;
        },
        &messageMax);
    runMaxima.push_back(runMax);
    messageMaxima.push_back(messageMax);
  }
  sampling = false;
  sampler.join();

  std::printf("first_screen_files %d\n", cells);
  std::printf("cold_ms %.1f\n", Median(cold));
  std::printf("warm_disk_ms %.1f\n", Median(warmDisk));
  std::printf("warm_memory_ms %.1f\n", Median(warmMemory));
  std::sort(inputs.begin(), inputs.end());
  std::printf("inputs %zu\n", inputs.size());
  std::printf("input_max_ms %.1f\n", Median(runMaxima));
  std::printf("input_worst_ms %.1f\n", inputs.empty() ? 0.0 : inputs.back());
  std::printf("input_median_ms %.1f\n", Median(inputs));
  std::printf("input_p95_ms %.1f\n", inputs.empty() ? 0.0 : inputs[inputs.size() * 95 / 100]);
  std::printf("message_max_ms %.1f\n", Median(messageMaxima));
  std::printf("idle_mb %.1f\n", idle.privateMb);
  std::printf("peak_mb %.1f\n", peakPrivate.load());
  std::printf("idle_ws_mb %.1f\n", idle.workingSetMb);
  std::printf("peak_ws_mb %.1f\n", peakWorkingSet.load());
  EmptyFolder(cache);
  RemoveDirectoryW(cache.c_str());
  delete document;
  lmx::CloseSettings(&lmx::Settings());
  return 0;
}
