// plugin_bench.exe [--repeat N] FILE: the plug-in of FILE's extension (zlx_EXT.dll beside the
// program) decodes FILE with LMX_LoadGfxFile in this process N times (default 1: the one
// decode of a fresh process, as a user opening one picture), one line a decode:
//   decode D ms  touch T ms  block B bytes
// T is the first touch of a block as large as the decoded one, after that one is freed:
// LocalAlloc and one write a page, which under Wine are fresh pages every time, as the
// decode's own block was. tools/bench/plugin_bench.py runs it beside Pillow.
// The window system is up before the clock starts (a hidden window made), as it is in the
// viewer, whose window stands when it opens a picture.
// plugin_bench.exe --parts FILE: where a fresh process's one decode goes, each part timed the
// first time and again, then two decodes:
//   window W ms  cursor C1/C2 ms  string S1/S2 ms  map M1/M2 ms  decode D1/D2 ms  touch T ms
// window: the first window made, which brings the window system up; cursor: the wait cursor
// set and the arrow back; string: one text of the plug-in's string table; map: the file
// mapped and a byte of each page read; D1 the decode after these.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "plugins/common/plugin_api.h"
#include "tools/support/message_capture.h"
#include "tools/viewer_bench/bench_support.h"

namespace {

using lmx::bench::NowMs;

constexpr size_t kPage = 4096;

// Milliseconds to get and touch a fresh block of `bytes`, as a decode's result block is.
double TouchMs(size_t bytes) {
  const double start = NowMs();
  auto* block = static_cast<volatile uint8_t*>(LocalAlloc(LPTR, bytes));
  if (!block) return -1;
  for (size_t at = 0; at < bytes; at += kPage) block[at] = 1;
  LocalFree(const_cast<uint8_t*>(block));
  return NowMs() - start;
}

template <class Part>
double TimeMs(Part part) {
  const double start = NowMs();
  part();
  return NowMs() - start;
}

void Cursor() {
  SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

void MapAndRead(const std::wstring& file) {
  HANDLE f = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  HANDLE mapping = CreateFileMappingW(f, nullptr, PAGE_READONLY, 0, 0, nullptr);
  const auto* view = static_cast<const volatile uint8_t*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
  LARGE_INTEGER size{};
  GetFileSizeEx(f, &size);
  unsigned sum = 0;
  for (LONGLONG at = 0; view && at < size.QuadPart; at += kPage) sum += view[at];
  if (view) UnmapViewOfFile(const_cast<const uint8_t*>(view));
  CloseHandle(mapping);
  CloseHandle(f);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int runs = 1;
  int at = 1;
  const bool parts = argc == 3 && std::wstring(argv[1]) == L"--parts";
  if (parts) at = 2;
  if (argc == 4 && std::wstring(argv[1]) == L"--repeat") {
    runs = _wtoi(argv[2]);
    at = 3;
  }
  if (argc != at + 1 || runs < 1) {
    std::fprintf(stderr, "usage: plugin_bench.exe [--repeat N | --parts] FILE\n");
    return 2;
  }
  const std::wstring file = argv[at];
  std::wstring ext = file.substr(file.find_last_of(L'.') + 1);
  for (wchar_t& c : ext) c = static_cast<wchar_t>(towlower(c));
  if (ext == L"jpeg") ext = L"jpg";
  if (ext == L"tiff") ext = L"tif";
  HMODULE module = LoadLibraryW((lmx::bench::ProgramFolder() + L"zlx_" + ext + L".dll").c_str());
  auto load = module ? reinterpret_cast<LmxLoadGfxFileFn>(
                           reinterpret_cast<void*>(GetProcAddress(module, "LMX_LoadGfxFile")))
                     : nullptr;
  if (!load) {
    std::fprintf(stderr, "no plug-in for %ls\n", file.c_str());
    return 2;
  }
  // A box (a file that will not decode) is answered and told, never waited on.
  lmx::MessageCapture capture;
  capture.onMessage = [](const lmx::CapturedMessage& m) {
    std::fprintf(stderr, "message: %s\n", lmx::ToUtf8(m.text).c_str());
  };
  HWND window = nullptr;
  const double w1 = TimeMs([&] {
    window = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  });
  if (parts) {
    wchar_t text[256];
    const double c1 = TimeMs(Cursor), c2 = TimeMs(Cursor);
    const double s1 = TimeMs([&] { LoadStringW(module, 500, text, 256); });
    const double s2 = TimeMs([&] { LoadStringW(module, 501, text, 256); });
    const double m1 = TimeMs([&] { MapAndRead(file); }), m2 = TimeMs([&] { MapAndRead(file); });
    double d[2];
    size_t bytes = 0;
    for (double& ms : d) {
      void* block = nullptr;
      ms = TimeMs([&] { block = load(file.c_str(), 0); });
      bytes = block ? LocalSize(block) : 0;
      LocalFree(block);
    }
    std::printf("window %.2f ms  cursor %.2f/%.2f ms  string %.2f/%.2f ms  map %.2f/%.2f ms  decode %.2f/%.2f ms  "
                "touch %.2f ms\n", w1, c1, c2, s1, s2, m1, m2, d[0], d[1], TouchMs(bytes));
    DestroyWindow(window);
    return 0;
  }
  for (int run = 0; run < runs; ++run) {
    const double start = NowMs();
    void* block = load(file.c_str(), 0);
    const double decode = NowMs() - start;
    if (!block) {
      std::fprintf(stderr, "%ls: not decoded\n", file.c_str());
      return 1;
    }
    const size_t bytes = LocalSize(block);
    LocalFree(block);
    std::printf("decode %.2f ms  touch %.2f ms  block %zu bytes\n", decode, TouchMs(bytes), bytes);
    std::fflush(stdout);
  }
  DestroyWindow(window);
  FreeLibrary(module);
  return 0;
}
