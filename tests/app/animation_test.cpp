// An animated GIF in the running viewer: it plays at its delays on the screen, zoomed and
// scrolled and in full screen too, rests while another program is in front, pauses and
// resumes with P (no timer while paused), and a transform stops it on its frame and turns
// that frame. An animated WebP plays through its own plug-in's frames.
#include <gtest/gtest.h>

#include <windows.h>

#include <thread>
#include <vector>

#include "app/animation_player.h"
#include "app/main_window.h"
#include "lang/lang_ids.h"
#include "tests/app/program_fixture.h"
#include "tests/host/host_fixture.h"
#include "tests/plugins/gif/gif_file.h"
#include "tests/support/test_env.h"
#include "tools/support/message_capture.h"
#include "ui/registry.h"
#include "ui/settings.h"
#include "view/image_view.h"

namespace lmx::test {
namespace {

constexpr int kDelayMs = 200;
// Each frame's left and right halves.
const COLORREF kFrames[3][2] = {{RGB(255, 0, 0), RGB(0, 0, 255)},
                                {RGB(0, 255, 0), RGB(255, 255, 0)},
                                {RGB(255, 0, 255), RGB(0, 255, 255)}};

// 40 x 30, three frames of two halves in their own colour tables, 200 ms each, looping.
std::vector<uint8_t> AnimatedGif() {
  GifFile gif(40, 30, 1, false);
  gif.Raw({0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0});
  std::vector<uint8_t> pixels(40 * 30);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = i % 40 < 20 ? 0 : 1;
  for (const auto& halves : kFrames) {
    gif.Raw({0x21, 0xF9, 4, 1 << 2, kDelayMs / 10, 0, 0, 0});
    std::vector<uint8_t> table(12, 0);
    for (int h = 0; h < 2; ++h) {
      table[3 * h] = GetRValue(halves[h]);
      table[3 * h + 1] = GetGValue(halves[h]);
      table[3 * h + 2] = GetBValue(halves[h]);
    }
    gif.Image(0, 0, 40, 30, pixels, 0x81, table, 2);
  }
  return gif.End();
}

// The same three frames as a lossless WebP animation that Pillow wrote, 200 ms each, looping.
const std::vector<uint8_t> kAnimatedWebp = {
    0x52, 0x49, 0x46, 0x46, 0xDA, 0x00, 0x00, 0x00, 0x57, 0x45, 0x42, 0x50, 0x56, 0x50, 0x38, 0x58, 0x0A, 0x00,
    0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x27, 0x00, 0x00, 0x1D, 0x00, 0x00, 0x41, 0x4E, 0x49, 0x4D, 0x06, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x41, 0x4E, 0x4D, 0x46, 0x34, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x27, 0x00, 0x00, 0x1D, 0x00, 0x00, 0xC8, 0x00, 0x00, 0x02, 0x56, 0x50, 0x38, 0x4C,
    0x1C, 0x00, 0x00, 0x00, 0x2F, 0x27, 0x40, 0x07, 0x00, 0x0F, 0x10, 0xF3, 0xBF, 0xFF, 0xF3, 0x1F, 0x0E, 0x08,
    0xB3, 0x8D, 0x6A, 0x70, 0xFE, 0xB4, 0x33, 0xB8, 0x77, 0x44, 0xFF, 0xA3, 0xC6, 0x1F, 0x41, 0x4E, 0x4D, 0x46,
    0x34, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x27, 0x00, 0x00, 0x1D, 0x00, 0x00, 0xC8, 0x00,
    0x00, 0x00, 0x56, 0x50, 0x38, 0x4C, 0x1C, 0x00, 0x00, 0x00, 0x2F, 0x27, 0x40, 0x07, 0x00, 0x0F, 0x30, 0xFF,
    0xF3, 0x1F, 0xF3, 0x1F, 0x15, 0x08, 0xB3, 0x8D, 0xE6, 0x4F, 0x7B, 0x06, 0x35, 0xB8, 0x77, 0x44, 0xFF, 0xA3,
    0xC6, 0x1F, 0x41, 0x4E, 0x4D, 0x46, 0x36, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x27, 0x00,
    0x00, 0x1D, 0x00, 0x00, 0xC8, 0x00, 0x00, 0x00, 0x56, 0x50, 0x38, 0x4C, 0x1E, 0x00, 0x00, 0x00, 0x2F, 0x27,
    0x40, 0x07, 0x00, 0x0F, 0xB0, 0xFF, 0xF3, 0x3F, 0xFF, 0xF3, 0x1F, 0x2D, 0x20, 0xCC, 0x36, 0xAA, 0xC1, 0xF9,
    0xD3, 0xCE, 0xE0, 0xDE, 0x11, 0xFD, 0x8F, 0x1A, 0x7F, 0x00};

class AnimationTest : public ProgramTest {
 protected:
  COLORREF Left() { return ScreenPixel(ImageViewWindow(), 5, 15); }
  COLORREF Right() { return ScreenPixel(ImageViewWindow(), 35, 15); }

  // Milliseconds until the left half shows another colour; -1 when it does not within `ms`.
  int UntilChange(DWORD ms) {
    const COLORREF before = Left();
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
      PumpFor(5);
      if (Left() != before) return static_cast<int>(GetTickCount() - start);
    }
    return -1;
  }

  static bool TimerRunning() {
    // Killing the timer tells whether it ran; a running one is set again at once.
    if (!KillTimer(MainWindow(), kAnimationTimer)) return false;
    SetTimer(MainWindow(), kAnimationTimer, 1, nullptr);
    return true;
  }

  ScratchFolder folder_{L"lmx_anim_"};
};

TEST_F(AnimationTest, PlaysAtItsDelaysRestsBehindOthersPausesAndATransformStopsItOnItsFrame) {
  MessageCapture boxes;
  folder_.Write(AnimatedGif(), L"anim.gif");
  ASSERT_TRUE(Start((folder_ / L"anim.gif").c_str()));
  SetForegroundWindow(MainWindow());
  SetFocus(MainWindow());
  Command(IDC_CMD_ACTUAL_SIZE);
  ASSERT_TRUE(Animation_Playing());

  // Frame after frame, round again, each shown about its delay.
  for (int step = 0; step < 4; ++step) {
    const int ms = UntilChange(3000);
    ASSERT_GE(ms, 0) << "step " << step;
    if (step > 0) {
      EXPECT_GE(ms, kDelayMs / 2) << "step " << step;
    }
    const COLORREF now = Left();
    const bool known = now == kFrames[0][0] || now == kFrames[1][0] || now == kFrames[2][0];
    EXPECT_TRUE(known) << std::hex << now;
  }

  // Zoomed in and scrolled, it goes on where the view stands.
  for (int i = 0; i < 6; ++i) Command(IDC_CMD_ZOOM_IN);
  ImageView_ScrollStep(true, 1);
  const ViewState before = ImageView_State();
  ASSERT_GT(before.horzPos, 0);
  EXPECT_GE(UntilChange(3000), 0);
  EXPECT_EQ(ImageView_State().horzPos, before.horzPos);
  EXPECT_EQ(ImageView_Zoom(), before.zoom);
  Command(IDC_CMD_ACTUAL_SIZE);

  // In full screen it goes on.
  Command(IDC_CMD_FULL_SCREEN);
  RECT screen;
  GetWindowRect(ImageViewWindow(), &screen);
  const std::vector<COLORREF> first = ScreenPixels(screen);
  bool changed = false;
  for (int i = 0; i < 100 && !changed; ++i) {
    PumpFor(10);
    changed = ScreenPixels(screen) != first;
  }
  EXPECT_TRUE(changed);
  Command(IDC_CMD_FULL_SCREEN);

  // Another program's window in front: the animation rests, without a timer.
  std::thread other([] {
    HWND w = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 60, 60, nullptr,
                             nullptr, nullptr, nullptr);
    SetForegroundWindow(w);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 600) {
      MSG m;
      while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
      Sleep(5);
    }
    DestroyWindow(w);
  });
  PumpFor(300);
  EXPECT_FALSE(TimerRunning());
  other.join();
  SetForegroundWindow(MainWindow());
  SetFocus(MainWindow());
  EXPECT_GE(UntilChange(3000), 0) << "in front again, it plays";

  // P pauses: the frame stays and no timer runs; P again goes on.
  PressKey('P');
  PumpFor(20);
  EXPECT_FALSE(Animation_Playing());
  EXPECT_FALSE(TimerRunning());
  EXPECT_EQ(UntilChange(3 * kDelayMs), -1);
  PressKey('P');
  EXPECT_GE(UntilChange(3000), 0);

  // A transform stops it on the frame on screen and mirrors that frame.
  const COLORREF right = Right();
  Command(IDC_CMD_MIRROR);
  EXPECT_FALSE(Animation_Open());
  EXPECT_EQ(Left(), right);
  EXPECT_EQ(UntilChange(3 * kDelayMs), -1);
  EXPECT_TRUE(boxes.Messages().empty());
}

TEST_F(AnimationTest, AWebpAnimationPlaysItsFrames) {
  MessageCapture boxes;
  HKEY app = OpenApplicationKey();
  HKEY plugIns = OpenOrCreateKey(app, kPlugInsKeyName);
  ASSERT_TRUE(RegisterLibrary(BinDir() + L"zlx_webp.dll", plugIns));
  folder_.Write(kAnimatedWebp, L"anim.webp");
  ASSERT_TRUE(Start((folder_ / L"anim.webp").c_str()));
  SetForegroundWindow(MainWindow());
  Command(IDC_CMD_ACTUAL_SIZE);
  ASSERT_TRUE(Animation_Playing());
  for (int step = 0; step < 4; ++step) {
    const int ms = UntilChange(3000);
    ASSERT_GE(ms, 0) << "step " << step;
    if (step > 0) {
      EXPECT_GE(ms, kDelayMs / 2) << "step " << step;
    }
    const COLORREF now = Left();
    EXPECT_TRUE(now == kFrames[0][0] || now == kFrames[1][0] || now == kFrames[2][0]) << std::hex << now;
  }
  EXPECT_TRUE(boxes.Messages().empty());
  Stop();
  RegDeleteTreeW(plugIns, L"webp");  // the other tests know the four plug-ins of their fixture
  CloseKey(plugIns);
  CloseKey(app);
}

}  // namespace
}  // namespace lmx::test
