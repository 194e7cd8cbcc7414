// Times the image view's two synchronous paths on a 4000 x 3000 24-bit picture: one pen move
// (pen mode) and one scroll-bar line step (scroll-bar mode), each from the message to the
// painted window, at zoom 0.167, 1 and 8. Prints the median, mean and worst step.
//
//   view_bench.exe [--quick]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <vector>

#include "common/utils.h"
#include "picture/gfx_image.h"
#include "ui/settings.h"
#include "view/image_view.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr double kTargetMs = 8.0;

// Hands out one 24-bit picture built in memory: a colour ramp with a grid.
class RampPicture final : public lmx::PictureSource {
 public:
  BOOL FileInfo(const wchar_t*, DWORD* count) override {
    *count = 1;
    return TRUE;
  }
  void* LoadPicture(const wchar_t*, DWORD) override {
    const size_t stride = (kWidth * 3 + 3) & ~3u;
    auto* block = static_cast<uint8_t*>(LocalAlloc(LPTR, 40 + stride * kHeight));
    if (!block) return nullptr;
    BITMAPINFOHEADER h{sizeof(h), kWidth, kHeight, 1, 24, BI_RGB, static_cast<DWORD>(stride * kHeight), 3780, 3780, 0, 0};
    std::memcpy(block, &h, sizeof(h));
    for (int y = 0; y < kHeight; ++y) {
      uint8_t* row = block + 40 + stride * y;
      for (int x = 0; x < kWidth; ++x) {
        const bool grid = x % 100 == 0 || y % 100 == 0;
        row[3 * x] = grid ? 0 : static_cast<uint8_t>(x * 255 / kWidth);
        row[3 * x + 1] = grid ? 0 : static_cast<uint8_t>(y * 255 / kHeight);
        row[3 * x + 2] = grid ? 0 : static_cast<uint8_t>((x + y) & 0xFF);
      }
    }
    return block;
  }
};

double Now() {
  static LARGE_INTEGER frequency{};
  if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

struct Figures {
  double median, mean, worst;
  double settled;  // median until the queue is empty again: the bar's thumb drawn as well
};

Figures Summarise(std::vector<double> times, std::vector<double> settled) {
  std::sort(times.begin(), times.end());
  std::sort(settled.begin(), settled.end());
  double sum = 0;
  for (double t : times) sum += t;
  return {times[times.size() / 2], sum / times.size(), times.back(), settled[settled.size() / 2]};
}

void UseZoom(float zoom) {
  lmx::ImageView_SetZoom(zoom);
  lmx::ImageView_SetMode(lmx::kViewFreeZoom);
  lmx::ImageView_RepaintImage();
  Pump();
}

// Pen down, then `steps` moves of one to a few pixels back and forth, each timed to the end
// of its paint.
Figures PanSteps(HWND view, float zoom, int steps) {
  lmx::Settings().msState = 0;
  lmx::ImageView_ScrollModeChanged();
  UseZoom(zoom);
  SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 200));
  std::vector<double> times, settled;
  int x = 200, y = 200, dx = -3, dy = -2;
  for (int i = 0; i < steps; ++i) {
    if (x + dx < 20 || x + dx > 220) dx = -dx;
    if (y + dy < 20 || y + dy > 250) dy = -dy;
    x += dx;
    y += dy;
    const double start = Now();
    SendMessageW(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
    GdiFlush();
    times.push_back(Now() - start);
    Pump();
    GdiFlush();
    settled.push_back(Now() - start);
  }
  SendMessageW(view, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  Pump();
  return Summarise(times, settled);
}

// Line steps down, then up again, each timed to the end of its paint.
Figures ScrollSteps(HWND view, float zoom, int steps) {
  lmx::Settings().msState = 1;
  lmx::ImageView_ScrollModeChanged();
  UseZoom(zoom);
  std::vector<double> times, settled;
  for (int i = 0; i < steps; ++i) {
    const int code = (i / 50) % 2 == 0 ? SB_LINEDOWN : SB_LINEUP;
    const double start = Now();
    SendMessageW(view, WM_VSCROLL, MAKEWPARAM(code, 0), 0);
    GdiFlush();
    times.push_back(Now() - start);
    Pump();
    GdiFlush();
    settled.push_back(Now() - start);
  }
  Pump();
  return Summarise(times, settled);
}

LRESULT CALLBACK BenchMainProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SIZE && lmx::ViewerMainCtrlWindow()) {
    SetWindowPos(lmx::ViewerMainCtrlWindow(), nullptr, 0, 0, LOWORD(lParam), HIWORD(lParam), SWP_NOZORDER);
    return 0;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
  const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
  const int steps = quick ? 10 : 300;
  HINSTANCE instance = GetModuleHandleW(nullptr);

  // The toolbar's tooltips are language strings: the component beside the program.
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (wchar_t* slash = wcsrchr(path, L'\\')) wcscpy(slash + 1, L"LumivexLangComp.dll");
  HMODULE lang = LoadLibraryW(path);
  if (!lang) {
    std::fprintf(stderr, "view_bench: LumivexLangComp.dll is missing beside the program\n");
    return 2;
  }
  lmx::SetResourceModule(lang);
  lmx::SetInstanceModule(instance);
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);

  WNDCLASSW wc{};
  wc.lpfnWndProc = BenchMainProc;
  wc.hInstance = instance;
  wc.lpszClassName = L"ViewBenchMain";
  RegisterClassW(&wc);
  lmx::AppSettings& settings = lmx::Settings();
  settings.showAddToolbar = 1;
  settings.showStatusbar = 1;
  HWND main = CreateWindowExW(0, L"ViewBenchMain", L"view_bench", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, nullptr,
                              nullptr, instance, nullptr);
  lmx::CreateViewerMainCtrl(main, instance);
  SetWindowPos(lmx::ViewerMainCtrlWindow(), nullptr, 0, 0, 240, 320, SWP_NOZORDER | SWP_SHOWWINDOW);

  RampPicture source;
  const double loadStart = Now();
  lmx::GfxImage* image = lmx::GfxImage_Create(&source, L"ramp.bmp");
  if (!image || !lmx::GfxImage_Load(image)) {
    std::fprintf(stderr, "view_bench: the picture could not be made\n");
    return 1;
  }
  const double loadMs = Now() - loadStart;
  lmx::ImageView_SetImage(image);
  lmx::ImageView_TakeNewImageSize();
  lmx::ImageView_Relayout();
  HWND view = lmx::ImageViewWindow();
  RECT client{};
  GetClientRect(view, &client);

  std::printf("view_bench: %d x %d 24-bit picture (record and display bitmap built in %.1f ms), view %ld x %ld\n",
              kWidth, kHeight, loadMs, client.right, client.bottom);
  std::printf("%d steps each, milliseconds from the message to the painted window (target %.0f ms)\n", steps,
              kTargetMs);
  std::printf("(settled: the median until every message of the step is handled, scroll bar drawn too)\n");
  std::printf("%-8s %-6s %8s %8s %8s %8s\n", "zoom", "step", "median", "mean", "worst", "settled");
  bool met = true;
  for (float zoom : {0.167f, 1.0f, 8.0f}) {
    const Figures pan = PanSteps(view, zoom, steps);
    const Figures scroll = ScrollSteps(view, zoom, steps);
    std::printf("%-8.3f %-6s %8.3f %8.3f %8.3f %8.3f\n", zoom, "pan", pan.median, pan.mean, pan.worst, pan.settled);
    std::printf("%-8.3f %-6s %8.3f %8.3f %8.3f %8.3f\n", zoom, "scroll", scroll.median, scroll.mean, scroll.worst,
                scroll.settled);
    met = met && pan.median <= kTargetMs && scroll.median <= kTargetMs;
  }
  std::printf("median within %.0f ms at every zoom: %s\n", kTargetMs, met ? "yes" : "no");

  lmx::DestroyViewerMainCtrl();
  lmx::ImageView_SetImage(nullptr);
  lmx::GfxImage_Destroy(image);
  DestroyWindow(main);
  FreeLibrary(lang);
  return 0;
}
