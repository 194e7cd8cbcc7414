// The viewer playing an animation: the CPU time its process takes while a GIF of 25 frames a
// second plays at fit whole picture for ten seconds, and the frames it showed.
//
//   animation_bench ANIMATION.gif
//
// The application key is moved aside while the benchmark registers the build's GIF plug-in,
// and put back at the end.
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/animation_player.h"
#include "app/main_window.h"
#include "app/program.h"
#include "host/viewer_document.h"
#include "tools/support/app_key_guard.h"
#include "tools/viewer_bench/bench_support.h"
#include "view/image_view.h"

namespace {

constexpr DWORD kPlayMs = 10000;

double CpuMs() {
  FILETIME created, ended, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
  const auto ms = [](const FILETIME& t) {
    return static_cast<double>(uint64_t{t.dwHighDateTime} << 32 | t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

const void* ShownFrame() {
  lmx::ViewerDocument* document = lmx::TheDocument();
  lmx::ImageFileItem* item = document ? document->CurrentFile() : nullptr;
  return item && item->image ? item->image->dib : nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: animation_bench ANIMATION.gif\n");
    return 2;
  }
  lmx::test::AppKeyGuard guard;
  lmx::bench::RegisterPlugIns(lmx::bench::ProgramFolder(), {L"zlx_gif.dll"});
  std::wstring path = argv[1];
  if (!lmx::StartProgram(GetModuleHandleW(nullptr), &path[0], SW_SHOW)) return 1;
  lmx::ImageView_SetMode(lmx::kViewFitWhole);
  SetForegroundWindow(lmx::MainWindow());
  const bool playing = lmx::Animation_Playing();

  // The program's own message loop, for ten seconds: frames are counted as they reach the
  // picture, and the loop waits for messages as the viewer's does.
  const double wall0 = lmx::bench::NowMs(), cpu0 = CpuMs();
  const UINT_PTR done = SetTimer(nullptr, 0, kPlayMs, nullptr);
  int frames = 0;
  const void* shown = ShownFrame();
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER && message.hwnd == nullptr && message.wParam == done) break;
    TranslateMessage(&message);
    DispatchMessageW(&message);
    if (ShownFrame() != shown) {
      shown = ShownFrame();
      ++frames;
    }
  }
  const double wall = lmx::bench::NowMs() - wall0, cpu = CpuMs() - cpu0;
  KillTimer(nullptr, done);
  std::printf("a 25 fps animation at fit whole picture for %.1f s: %s, %d frames shown (%.1f a second)\n",
              wall / 1000, playing ? "playing" : "NOT PLAYING", frames, frames * 1000.0 / wall);
  std::printf("  CPU of the viewer's process %.0f ms: %.1f %% of one core\n", cpu, 100.0 * cpu / wall);
  SendMessageW(lmx::MainWindow(), WM_CLOSE, 0, 0);
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  lmx::EndProgram();
  return playing ? 0 : 1;
}
