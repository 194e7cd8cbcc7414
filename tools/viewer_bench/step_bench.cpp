// Times going through a folder in the viewer: from the Next Picture command to the painted
// next picture, beside opening the same kind of picture through the document (as a second
// start hands a path over), in a folder of twenty copies of a 12-megapixel JPEG; and reading
// a folder of 1,000 files for a step. Prints medians and the ratio.
//
//   step_bench PHOTO.jpg
//
// The application key is moved aside while the benchmark registers the build's plug-ins,
// and put back at the end.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/program.h"
#include "host/viewer_document.h"
#include "lang/lang_ids.h"
#include "plugins/common/plugin_api.h"
#include "tools/support/app_key_guard.h"
#include "tools/viewer_bench/bench_support.h"
#include "ui/registry.h"
#include "ui/settings.h"
#include "view/image_view.h"

namespace {

using lmx::bench::Median;
using lmx::bench::NowMs;

constexpr int kPhotos = 20;
constexpr int kListedFiles = 1000;
constexpr int kReads = 21;

std::wstring ScratchFolder(const wchar_t* name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + name + L"\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

void RemoveFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((folder + L"*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((folder + found.cFileName).c_str());
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

std::wstring Numbered(const std::wstring& folder, const wchar_t* stem, int i, const wchar_t* ext) {
  wchar_t name[64];
  swprintf(name, 64, L"%ls%04d%ls", stem, i, ext);
  return folder + name;
}

// Until the view has painted what it was given.
double Painted(double start) {
  UpdateWindow(lmx::ImageViewWindow());
  GdiFlush();
  return NowMs() - start;
}

double OpenMs(const std::wstring& path) {
  COPYDATASTRUCT data{0, static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)), const_cast<wchar_t*>(path.c_str())};
  const double t0 = NowMs();
  SendMessageW(lmx::MainWindow(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  return Painted(t0);
}

double NextMs() {
  const double t0 = NowMs();
  SendMessageW(lmx::MainWindow(), WM_COMMAND, IDC_CMD_NEXT_PICTURE, 0);
  return Painted(t0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: step_bench PHOTO.jpg\n");
    return 2;
  }
  lmx::test::AppKeyGuard guard;
  lmx::bench::RegisterPlugIns(lmx::bench::ProgramFolder(), {L"zlx_bmp.dll", L"zlx_gif.dll", L"zlx_pcx.dll",
                                                            L"zlx_tif.dll", L"zlx_jpg.dll", L"zlx_png.dll"});
  const std::wstring photos = ScratchFolder(L"lmx_step_bench_photos");
  const std::wstring listed = ScratchFolder(L"lmx_step_bench_listed");
  for (int i = 0; i < kPhotos; ++i) CopyFileW(argv[1], Numbered(photos, L"photo", i, L".jpg").c_str(), FALSE);
  // A folder of 1,000 files: pictures and others, as a camera card holds them.
  for (int i = 0; i < kListedFiles; ++i) {
    const std::wstring path = Numbered(listed, L"img_", i, i % 4 == 3 ? L".txt" : L".jpg");
    CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  }

  int result = 1;
  if (lmx::StartProgram(GetModuleHandleW(nullptr), const_cast<wchar_t*>(L""), SW_SHOW)) {
    lmx::ImageView_SetMode(lmx::kViewFitWhole);
    // In turns: photo 2k opened through the document, then Next to photo 2k + 1.
    std::vector<double> opens, steps;
    OpenMs(Numbered(photos, L"photo", 0, L".jpg"));  // warm
    for (int i = 0; i + 1 < kPhotos; i += 2) {
      opens.push_back(OpenMs(Numbered(photos, L"photo", i, L".jpg")));
      steps.push_back(NextMs());
    }
    lmx::ViewerDocument* document = lmx::TheDocument();
    std::vector<double> reads;
    lmx::FolderPlace place;
    place.StandOn(Numbered(listed, L"img_", 500, L".jpg").c_str());
    for (int i = 0; i < kReads; ++i) {
      const double t0 = NowMs();
      place.Read(document->plugIns());
      reads.push_back(NowMs() - t0);
    }
    const double open = Median(opens), step = Median(steps);
    std::printf("going through a folder of %d 12-megapixel JPEGs (median of %zu, fit whole picture)\n", kPhotos,
                steps.size());
    std::printf("  open through the document to paint  %8.1f ms (least %.1f)\n", open,
                *std::min_element(opens.begin(), opens.end()));
    std::printf("  Next Picture to paint               %8.1f ms (least %.1f)  %.2f x the open; target 1.1 x\n", step,
                *std::min_element(steps.begin(), steps.end()), open > 0 ? step / open : 0.0);
    std::printf("reading a folder of %d files for a step: %d pictures listed\n", kListedFiles, place.Count());
    std::printf("  median %.2f ms, least %.2f ms, most %.2f ms; target under 20 ms\n", Median(reads),
                *std::min_element(reads.begin(), reads.end()), *std::max_element(reads.begin(), reads.end()));
    SendMessageW(lmx::MainWindow(), WM_CLOSE, 0, 0);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    lmx::EndProgram();
    result = place.Count() == kListedFiles * 3 / 4 ? 0 : 1;
  }
  RemoveFolder(photos);
  RemoveFolder(listed);
  return result;
}
