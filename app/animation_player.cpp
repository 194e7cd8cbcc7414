#include "app/animation_player.h"

#include "common/utils.h"
#include "host/frame_player.h"
#include "lang/lang_ids.h"
#include "plugins/common/animation_frames.h"
#include "ui/status_bar.h"
#include "view/image_view.h"

namespace lmx {
namespace {

struct AnimationState {
  HWND window = nullptr;
  FramePlayer player;
  GfxImage* image = nullptr;  // the file's picture, which takes each frame
  DWORD delayMs = 0;          // of the frame on screen
  DWORD due = 0;              // when the next frame is due (GetTickCount)
  bool paused = false;        // by the user
  bool inFront = true;
  bool timerSet = false;
};
AnimationState g_anim;

void KillFrameTimer() {
  if (g_anim.timerSet && g_anim.window) KillTimer(g_anim.window, kAnimationTimer);
  g_anim.timerSet = false;
}

// The timer runs only while a frame is due: open, not paused, in front.
void ArmFrameTimer() {
  KillFrameTimer();
  if (!g_anim.player.IsOpen() || g_anim.paused || !g_anim.inFront || !g_anim.window) return;
  const auto wait = static_cast<int32_t>(g_anim.due - GetTickCount());
  g_anim.timerSet = SetTimer(g_anim.window, kAnimationTimer, wait > 0 ? static_cast<UINT>(wait) : 1, nullptr) != 0;
}

// The next frame on screen; false when the animation has ended.
bool ShowNextFrame() {
  DWORD delay = 0, status = kFrameEnd;
  void* frame = g_anim.player.Next(&delay, &status);
  if (!frame) {
    if (status == kFrameDamaged) StatusBar_SetText(1, LoadLangString(IDS_ANIMATION_DAMAGED));
    return false;
  }
  if (!GfxImage_Replace(g_anim.image, frame)) return false;
  g_anim.delayMs = delay;
  // The frames keep the file's pace: a timer that came late shortens the next wait, unless
  // the animation has fallen a whole frame behind.
  const DWORD now = GetTickCount();
  g_anim.due = static_cast<int32_t>(now - g_anim.due) < static_cast<int32_t>(delay) ? g_anim.due + delay : now + delay;
  ImageView_PictureChanged(PictureChange::kRedrawn);
  return true;
}

}  // namespace

void Animation_Start(HWND mainWindow, ImageFileItem* item) {
  Animation_Stop();
  g_anim.window = mainWindow;
  g_anim.paused = false;
  if (!item || !item->image || !item->image->dib || item->image->imageCount > 1) return;
  if (!g_anim.player.Open(item->plugIn, item->path)) return;
  g_anim.image = item->image;
  g_anim.due = GetTickCount();
  // The first frame as composed replaces the file's first picture at once.
  if (!ShowNextFrame()) {
    Animation_Stop();
    return;
  }
  ArmFrameTimer();
}

void Animation_Stop() {
  KillFrameTimer();
  g_anim.player.Close();
  g_anim.image = nullptr;
}

bool Animation_Open() { return g_anim.player.IsOpen(); }
bool Animation_Playing() { return g_anim.player.IsOpen() && !g_anim.paused; }

void Animation_PlayPause() {
  if (!g_anim.player.IsOpen()) return;
  g_anim.paused = !g_anim.paused;
  g_anim.due = GetTickCount() + g_anim.delayMs;
  ArmFrameTimer();
}

void Animation_SetInFront(bool inFront) {
  g_anim.inFront = inFront;
  g_anim.due = GetTickCount() + g_anim.delayMs;
  ArmFrameTimer();
}

void Animation_OnTimer() {
  KillFrameTimer();
  // Only ever into the picture of the file on screen.
  ViewerDocument* document = TheDocument();
  ImageFileItem* current = document ? document->CurrentFile() : nullptr;
  if (!current || current->image != g_anim.image) Animation_Stop();
  if (!g_anim.player.IsOpen()) return;
  if (!ShowNextFrame()) {
    Animation_Stop();
    return;
  }
  ArmFrameTimer();
}

}  // namespace lmx
