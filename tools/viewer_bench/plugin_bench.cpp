// plugin_bench.exe [--repeat N] FILE: the plug-in of FILE's extension (zlx_EXT.dll beside the
// program) decodes FILE with LMX_LoadGfxFile in this process N times (default 1: the one
// decode of a fresh process, as a user opening one picture), one line a decode:
//   decode D ms  touch T ms  block B bytes
// T is the first touch of a block as large as the decoded one, after that one is freed:
// LocalAlloc and one write a page, which under Wine are fresh pages every time, as the
// decode's own block was. tools/bench/plugin_bench.py runs it beside Pillow.
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int runs = 1;
  int at = 1;
  if (argc == 4 && std::wstring(argv[1]) == L"--repeat") {
    runs = _wtoi(argv[2]);
    at = 3;
  }
  if (argc != at + 1 || runs < 1) {
    std::fprintf(stderr, "usage: plugin_bench.exe [--repeat N] FILE\n");
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
  // A box (a file that will not decode) is answered and told, never waited on; the window
  // system is up before the first decode, as it is in the viewer.
  lmx::MessageCapture capture;
  capture.onMessage = [](const lmx::CapturedMessage& m) {
    std::fprintf(stderr, "message: %s\n", lmx::ToUtf8(m.text).c_str());
  };
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
  FreeLibrary(module);
  return 0;
}
