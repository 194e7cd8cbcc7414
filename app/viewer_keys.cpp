#include "app/viewer_keys.h"

#include "app/main_window.h"
#include "app/slide_show.h"
#include "lang/lang_ids.h"
#include "view/image_view.h"

namespace lmx {

namespace {

// Keys that stand for a command of the main window.
struct KeyCommand {
  UINT virtualKey;
  UINT command;
  bool needsPicture;
};
const KeyCommand kKeyCommands[] = {
    {VK_SPACE, IDC_CMD_NEXT_PICTURE, false},     {VK_BACK, IDC_CMD_PREVIOUS_PICTURE, false},
    {VK_HOME, IDC_CMD_FIRST_PICTURE, false},     {VK_END, IDC_CMD_LAST_PICTURE, false},
    {VK_NEXT, IDC_CMD_NEXT_PAGE, true},          {VK_PRIOR, IDC_CMD_PREVIOUS_PAGE, true},
    {VK_ADD, IDC_CMD_ZOOM_IN, true},             {VK_OEM_PLUS, IDC_CMD_ZOOM_IN, true},
    {VK_SUBTRACT, IDC_CMD_ZOOM_OUT, true},       {VK_OEM_MINUS, IDC_CMD_ZOOM_OUT, true},
    {VK_RETURN, IDC_CMD_FULL_SCREEN, true},      {'P', IDC_CMD_PLAY_PAUSE, true},
};

bool IsModifier(UINT key) {
  return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU || key == VK_LWIN || key == VK_RWIN;
}

void Command(HWND window, UINT command) { SendMessageW(window, WM_COMMAND, MAKEWPARAM(command, 0), 0); }

// Left and Right scroll a wide picture and step through the folder otherwise.
void Sideways(HWND window, int direction) {
  if (ImageView_CanScroll(true)) {
    ImageView_ScrollStep(true, direction);
  } else {
    Command(window, direction > 0 ? IDC_CMD_NEXT_PICTURE : IDC_CMD_PREVIOUS_PICTURE);
  }
}

// Wheel turns not yet a whole notch (a fine wheel sends less than WHEEL_DELTA at a time).
int gWheelRest = 0;

}  // namespace

bool ViewerKeys_OnKeyDown(HWND window, UINT key) {
  if (IsModifier(key)) return false;
  if (SlideShow_Active()) {
    SlideShow_Stop();
    return true;
  }
  switch (key) {
    case VK_LEFT: Sideways(window, -1); return true;
    case VK_RIGHT: Sideways(window, 1); return true;
    case VK_UP: ImageView_ScrollStep(false, -1); return true;
    case VK_DOWN: ImageView_ScrollStep(false, 1); return true;
    case VK_ESCAPE:
      if (ImageView_IsFullScreen()) Command(window, IDC_CMD_FULL_SCREEN);
      return true;
    default: break;
  }
  for (const KeyCommand& row : kKeyCommands) {
    if (row.virtualKey != key) continue;
    if (!row.needsPicture || PictureOpen()) Command(window, row.command);
    return true;
  }
  return false;
}

void ViewerKeys_OnWheel(HWND window, WPARAM wParam) {
  if (SlideShow_Active()) {
    SlideShow_Stop();
    return;
  }
  gWheelRest += GET_WHEEL_DELTA_WPARAM(wParam);
  const int notches = gWheelRest / WHEEL_DELTA;
  gWheelRest %= WHEEL_DELTA;
  if (notches == 0) return;
  const WORD keys = GET_KEYSTATE_WPARAM(wParam);
  // Turning the wheel away from the user means up, left, zoom in and the previous picture.
  if (keys & MK_CONTROL) {
    if (!PictureOpen()) return;
    for (int i = 0; i < (notches > 0 ? notches : -notches); ++i) {
      Command(window, notches > 0 ? IDC_CMD_ZOOM_IN : IDC_CMD_ZOOM_OUT);
    }
  } else if (keys & MK_SHIFT) {
    ImageView_ScrollStep(true, -notches);
  } else if (ImageView_CanScroll(false)) {
    ImageView_ScrollStep(false, -notches);
  } else if (ImageView_CanScroll(true)) {
    ImageView_ScrollStep(true, -notches);
  } else {
    Command(window, notches < 0 ? IDC_CMD_NEXT_PICTURE : IDC_CMD_PREVIOUS_PICTURE);
  }
}

}  // namespace lmx
