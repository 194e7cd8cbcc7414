// Times the viewer on a 4000 x 3000 24-bit picture: the BMP plug-in's decode alone, the
// start of the program's process to its first paint, and opening the picture in a running
// viewer to its first paint. Prints milliseconds (median of the runs) and the ratio of
// open-to-paint over decode.
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
#include "picture/gfx_image.h"
#include "plugins/common/plugin_api.h"
#include "tools/support/app_key_guard.h"
#include "tools/support/bmp_bytes.h"
#include "tools/viewer_bench/bench_support.h"
#include "ui/registry.h"
#include "ui/settings.h"
#include "view/image_view.h"

namespace {

using lmx::bench::Median;
using lmx::bench::NowMs;

constexpr int kRuns = 5;

// A 4000 x 3000 24-bit bottom-up BMP with a colour ramp, in the temp folder.
std::wstring MakePicture() {
  const std::vector<uint8_t> file = lmx::test::Bmp24Bytes(4000, 3000, [](int x, int y, uint8_t* bgr) {
    bgr[0] = static_cast<uint8_t>(x);
    bgr[1] = static_cast<uint8_t>(y);
    bgr[2] = static_cast<uint8_t>(x + y);
  });
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring path = std::wstring(temp) + L"lmx_viewer_bench.bmp";
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(f, file.data(), static_cast<DWORD>(file.size()), &written, nullptr);
  CloseHandle(f);
  return path;
}

double DecodeMs(const std::wstring& bin, const std::wstring& picture) {
  HMODULE module = LoadLibraryW((bin + L"zlx_bmp.dll").c_str());
  auto load = reinterpret_cast<LmxLoadGfxFileFn>(reinterpret_cast<void*>(GetProcAddress(module, "LMX_LoadGfxFile")));
  std::vector<double> times;
  for (int i = 0; i < kRuns; ++i) {
    double t0 = NowMs();
    void* dib = load(picture.c_str(), 0);
    times.push_back(NowMs() - t0);
    LocalFree(dib);
  }
  FreeLibrary(module);
  return Median(times);
}

// The picture record alone: the plug-in's decode plus the palette, DIB section and memory
// DC built from it; and the display objects rebuilt on their own.
void RecordMs(const std::wstring& bin, const std::wstring& picture, double* load, double* display) {
  HMODULE module = LoadLibraryW((bin + L"zlx_bmp.dll").c_str());
  lmx::BoundPlugIn plugIn(
      reinterpret_cast<LmxGetFileInfoFn>(reinterpret_cast<void*>(GetProcAddress(module, "LMX_GetFileInfo"))),
      reinterpret_cast<LmxLoadGfxFileFn>(reinterpret_cast<void*>(GetProcAddress(module, "LMX_LoadGfxFile"))));
  std::vector<double> loads, displays;
  for (int i = 0; i < kRuns; ++i) {
    double t0 = NowMs();
    lmx::GfxImage* image = lmx::GfxImage_Create(&plugIn, picture.c_str());
    lmx::GfxImage_Load(image);
    double t1 = NowMs();
    lmx::GfxImage_BuildDisplayObjects(image);
    double t2 = NowMs();
    lmx::GfxImage_Destroy(image);
    loads.push_back(t1 - t0);
    displays.push_back(t2 - t1);
  }
  FreeLibrary(module);
  *load = Median(loads);
  *display = Median(displays);
}

HWND FindInfoControl(HWND main) {
  HWND container = FindWindowExW(main, nullptr, L"ViewerMainCtrl", nullptr);
  return container ? FindWindowExW(container, nullptr, L"InfoControl", nullptr) : nullptr;
}

// From CreateProcess to the moment the new viewer answers with its picture painted.
double ProcessStartToPaintMs(const std::wstring& bin, const std::wstring& picture) {
  std::vector<double> times;
  for (int i = 0; i < kRuns; ++i) {
    std::wstring commandLine = L"\"" + bin + L"Lumivex.exe\" " + picture;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    double t0 = NowMs();
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
      return -1;
    }
    HWND main = nullptr;
    double t1 = -1;
    while (NowMs() - t0 < 30000) {
      main = FindWindowW(L"Zorvan Lumivex", L"Zorvan Lumivex");
      HWND view = main ? FindInfoControl(main) : nullptr;
      DWORD_PTR answer = 0;
      if (view && SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_BLOCK, 1000, &answer) &&
          !GetUpdateRect(view, nullptr, FALSE) && IsWindowVisible(view)) {
        t1 = NowMs();
        break;
      }
      Sleep(1);
    }
    if (main) PostMessageW(main, WM_CLOSE, 0, 0);
    WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (t1 < 0) return -1;
    times.push_back(t1 - t0);
  }
  return Median(times);
}

// A running viewer is handed the path (as a second start hands it over) and paints it.
double OpenToPaintMs(const std::wstring& picture) {
  if (!lmx::StartProgram(GetModuleHandleW(nullptr), const_cast<wchar_t*>(L""), SW_SHOW)) return -1;
  std::vector<double> times;
  for (int i = 0; i < kRuns; ++i) {
    COPYDATASTRUCT data{0, static_cast<DWORD>((picture.size() + 1) * sizeof(wchar_t)),
                        const_cast<wchar_t*>(picture.c_str())};
    double t0 = NowMs();
    SendMessageW(lmx::MainWindow(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    UpdateWindow(lmx::ImageViewWindow());
    GdiFlush();
    times.push_back(NowMs() - t0);
  }
  SendMessageW(lmx::MainWindow(), WM_CLOSE, 0, 0);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  lmx::EndProgram();
  return Median(times);
}

}  // namespace

int wmain() {
  lmx::test::AppKeyGuard guard;
  const std::wstring bin = lmx::bench::ProgramFolder();
  lmx::bench::RegisterPlugIns(bin, {L"zlx_bmp.dll", L"zlx_gif.dll", L"zlx_pcx.dll", L"zlx_tif.dll"});
  const std::wstring picture = MakePicture();

  const double decode = DecodeMs(bin, picture);
  double record = 0, display = 0;
  RecordMs(bin, picture, &record, &display);
  const double start = ProcessStartToPaintMs(bin, picture);
  const double open = OpenToPaintMs(picture);
  DeleteFileW(picture.c_str());

  std::printf("viewer, 4000 x 3000 24-bit BMP (median of %d runs)\n", kRuns);
  std::printf("  plug-in decode alone          %8.1f ms\n", decode);
  std::printf("  picture record: decode and display objects %8.1f ms (display objects alone %.1f ms)\n", record,
              display);
  std::printf("  process start to first paint  %8.1f ms\n", start);
  std::printf("  open to first paint           %8.1f ms  (%.2f x the decode; target 1.5 x)\n", open,
              decode > 0 ? open / decode : 0.0);
  return start < 0 || open < 0 ? 1 : 0;
}
