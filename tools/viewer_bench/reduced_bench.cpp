// reduced_bench.exe FILE...: each picture through its plug-in in this process, the whole decode
// (LMX_LoadGfxFile) beside the reduced one into a 240 x 320 box (LMX_LoadGfxFileReduced,
// quiet) and the first paint of a large picture (the fast reduced decode into the view's box
// and its drawing), medians of 7, one line a file:
//   FILE  whole W ms  reduced R ms (R/W)  first paint P ms (P/W)  FULL -> REDUCED
// reduced_bench.exe --memory FILE: one reduced decode in this fresh process, after one into a
// tiny box: how far the process's peak private memory rose above where it stood before the
// second, beside the reduced block's size.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "plugins/common/packed_dib.h"
#include "tools/viewer_bench/bench_support.h"

namespace {

using lmx::bench::Median;
using lmx::bench::NowMs;

constexpr DWORD kBoxWidth = 240, kBoxHeight = 320;
constexpr DWORD kViewWidth = 240, kViewHeight = 268;  // the viewer's picture area
constexpr int kRuns = 7;

struct PlugIn {
  HMODULE module = nullptr;
  LmxLoadGfxFileFn whole = nullptr;
  LmxLoadGfxFileReducedFn reduced = nullptr;
};

PlugIn PlugInFor(const std::wstring& file) {
  const std::wstring ext = file.substr(file.find_last_of(L'.') + 1);
  const std::wstring name = lmx::bench::ProgramFolder() + L"zlx_" + (ext == L"jpeg" ? L"jpg" : ext) + L".dll";
  PlugIn p;
  p.module = LoadLibraryW(name.c_str());
  if (!p.module) return p;
  p.whole = reinterpret_cast<LmxLoadGfxFileFn>(reinterpret_cast<void*>(GetProcAddress(p.module, "LMX_LoadGfxFile")));
  p.reduced = reinterpret_cast<LmxLoadGfxFileReducedFn>(
      reinterpret_cast<void*>(GetProcAddress(p.module, "LMX_LoadGfxFileReduced")));
  return p;
}

size_t PrivateBytes(bool peak) {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  return peak ? counters.PeakPagefileUsage : counters.PagefileUsage;
}

// The reduced picture drawn as the view draws its first paint, into a memory bitmap.
void Draw(const void* dib) {
  static HDC dc = CreateCompatibleDC(nullptr);
  static HBITMAP bitmap = [] {
    HDC screen = GetDC(nullptr);
    HBITMAP b = CreateCompatibleBitmap(screen, kViewWidth, kViewHeight);
    ReleaseDC(nullptr, screen);
    SelectObject(dc, b);
    return b;
  }();
  (void)bitmap;
  const auto* info = static_cast<const BITMAPINFO*>(dib);
  const auto* bits = static_cast<const uint8_t*>(dib) + info->bmiHeader.biSize + info->bmiHeader.biClrUsed * 4;
  StretchDIBits(dc, 0, 0, kViewWidth, kViewWidth * 3 / 4, 0, 0, info->bmiHeader.biWidth, info->bmiHeader.biHeight,
                bits, info, DIB_RGB_COLORS, SRCCOPY);
  GdiFlush();
}

int Memory(const std::wstring& file) {
  PlugIn p = PlugInFor(file);
  if (!p.reduced) return 2;
  DWORD w = 0, h = 0, status = 0;
  // One decode first, so that the libraries' and the heap's first growth do not count.
  LocalFree(p.reduced(file.c_str(), 0, 8, 8, lmx::kReducedQuiet, &w, &h, &status));
  const size_t before = PrivateBytes(false);
  void* block = p.reduced(file.c_str(), 0, kBoxWidth, kBoxHeight, lmx::kReducedQuiet, &w, &h, &status);
  const size_t peak = PrivateBytes(true);
  if (!block) return 1;
  std::printf("%ls  reduced %lu x %lu of %lu x %lu: block %.2f MB, private memory rose %.2f MB at most\n",
              file.substr(file.find_last_of(L"\\/") + 1).c_str(), static_cast<unsigned long>(lmx::ReadDibHeader(block).biWidth),
              static_cast<unsigned long>(lmx::ReadDibHeader(block).biHeight), static_cast<unsigned long>(w),
              static_cast<unsigned long>(h), LocalSize(block) / 1048576.0, (peak - before) / 1048576.0);
  LocalFree(block);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wstring(argv[1]) == L"--memory") return Memory(argv[2]);
  for (int i = 1; i < argc; ++i) {
    const std::wstring file = argv[i];
    PlugIn p = PlugInFor(file);
    if (!p.whole || !p.reduced) {
      std::printf("%ls: no plug-in with a reduced decode\n", file.c_str());
      continue;
    }
    std::vector<double> whole, reduced, first;
    DWORD w = 0, h = 0, status = 0;
    int rw = 0, rh = 0;
    for (int run = 0; run < kRuns; ++run) {
      double start = NowMs();
      void* block = p.whole(file.c_str(), 0);
      whole.push_back(NowMs() - start);
      LocalFree(block);
      start = NowMs();
      block = p.reduced(file.c_str(), 0, kBoxWidth, kBoxHeight, lmx::kReducedQuiet, &w, &h, &status);
      reduced.push_back(NowMs() - start);
      if (block) rw = lmx::ReadDibHeader(block).biWidth, rh = lmx::ReadDibHeader(block).biHeight;
      LocalFree(block);
      start = NowMs();
      block = p.reduced(file.c_str(), 0, kViewWidth, kViewHeight, lmx::kReducedQuiet | lmx::kReducedFast, &w, &h,
                        &status);
      if (block) Draw(block);
      if (block) first.push_back(NowMs() - start);
      LocalFree(block);
    }
    const double W = Median(whole), R = Median(reduced), P = Median(first);
    std::printf("%-16ls whole %7.1f ms  reduced %6.1f ms (%.2f)  first paint ", file.substr(file.find_last_of(L"\\/") + 1).c_str(),
                W, R, R / W);
    if (P >= 0) std::printf("%6.1f ms (%.2f)", P, P / W);
    else std::printf("  none (no fast reduction)");
    std::printf("  %lux%lu -> %dx%d\n", static_cast<unsigned long>(w), static_cast<unsigned long>(h), rw, rh);
    FreeLibrary(p.module);
  }
  return 0;
}
