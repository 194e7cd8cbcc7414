#include "app/slide_show.h"

#include "app/main_window.h"
#include "host/viewer_document.h"
#include "ui/quiet_message_boxes.h"
#include "ui/settings.h"
#include "view/image_view.h"

namespace lmx {

namespace {

struct SlideShow {
  bool active;
  HWND window;
  bool foundFullScreen;  // the show began in full screen and stays there at its end
  float foundZoom;
};
SlideShow gShow{};

// The next picture that opens, passing over those that do not; round to the first with
// Repeat. False when there is none left to show.
bool ShowNext() {
  ViewerDocument* document = TheDocument();
  if (!document) return false;
  QuietMessageBoxes quiet;
  // Every picture of the folder once at most, and the way round once.
  const int tries = document->Place().Count() + 2;
  for (int i = 0; i < tries; ++i) {
    int result = StepPicture(FolderStep::kNext);
    if (result < 0 && Settings().slideRepeat) result = StepPicture(FolderStep::kFirst);
    if (result < 0) return false;
    if (result > 0) return true;
  }
  return false;
}

// Each picture stays its whole time from when it is shown, however long it took to open.
void ArmTimer() { SetTimer(gShow.window, kSlideShowTimer, SlideSecondsOrDefault(Settings().slideSeconds) * 1000, nullptr); }

}  // namespace

bool SlideShow_Start(HWND mainWindow) {
  if (gShow.active || !PictureOpen()) return false;
  gShow = SlideShow{true, mainWindow, ImageView_IsFullScreen(), ImageView_Zoom()};
  if (!gShow.foundFullScreen) {
    ImageView_EnterFullScreen();
    SendMessageW(mainWindow, WM_SIZE, 0, 0);
  }
  ImageView_SetFullScreenFits(true);
  ArmTimer();
  return true;
}

void SlideShow_Stop() {
  if (!gShow.active) return;
  gShow.active = false;
  KillTimer(gShow.window, kSlideShowTimer);
  ImageView_SetZoom(gShow.foundZoom);
  ImageView_SetFullScreenFits(false);
  if (!gShow.foundFullScreen) {
    ImageView_LeaveFullScreen();
    SendMessageW(gShow.window, WM_SIZE, 0, 0);
  }
  RefreshAfterCommand();
}

bool SlideShow_Active() { return gShow.active; }

void SlideShow_OnTimer() {
  if (!gShow.active) return;
  KillTimer(gShow.window, kSlideShowTimer);
  if (!ShowNext()) {
    SlideShow_Stop();
    return;
  }
  RefreshAfterCommand();
  if (gShow.active) ArmTimer();
}

}  // namespace lmx
