#include "app/menu_commands.h"

#include "lang/lang_ids.h"
#include "view/image_view.h"

namespace lmx {

const MenuCommandRow kMenuCommandTable[kMenuCommandRows] = {
    {IDC_CMD_EXIT, IDM_POPUP_FILE, 0, 0},
    {IDC_CMD_OPTIONS, IDM_POPUP_FILE, 0, 0},
    {IDC_CMD_CLOSE, IDM_POPUP_FILE, 1, 0},
    {IDC_CMD_OPEN, IDM_POPUP_FILE, 0, 1},
    {IDC_CMD_PROPERTIES, IDM_POPUP_IMAGE, 1, 0},
    {IDC_CMD_FLIP, IDM_POPUP_IMAGE, 1, 1},
    {IDC_CMD_MIRROR, IDM_POPUP_IMAGE, 1, 1},
    {IDC_CMD_INVERT, IDM_POPUP_IMAGE, 1, 1},
    {IDC_CMD_ROTATE_LEFT, IDM_POPUP_IMAGE, 1, 1},
    {IDC_CMD_ROTATE_RIGHT, IDM_POPUP_IMAGE, 1, 1},
    {IDC_CMD_HALF_TURN, IDM_POPUP_IMAGE, 1, 0},
    {IDC_CMD_ZOOM_OUT, IDM_POPUP_VIEW, 1, 1},
    {IDC_CMD_ZOOM_IN, IDM_POPUP_VIEW, 1, 1},
    {IDC_CMD_ZOOM_DIALOG, IDM_POPUP_VIEW, 1, 0},
    {IDC_CMD_FIT_HEIGHT, IDM_POPUP_VIEW, 1, 0},
    {IDC_CMD_FIT_WIDTH, IDM_POPUP_VIEW, 1, 0},
    {IDC_CMD_FIT_WHOLE, IDM_POPUP_VIEW, 1, 0},
    {IDC_CMD_ACTUAL_SIZE, IDM_POPUP_VIEW, 1, 0},
    {IDC_CMD_HELP, IDM_POPUP_TOOLS, 0, 1},
    {IDC_CMD_ABOUT, IDM_POPUP_TOOLS, 0, 0},
    {IDC_CMD_UNUSED_40002, IDM_POPUP_TOOLS, 0, 0},
    {IDC_CMD_PLUGINS, IDM_POPUP_TOOLS, 0, 0},
    // Stepping through the folder depends on the place in it, not on an open picture: a
    // picture its plug-in refused is a place to go on from.
    {IDC_CMD_NEXT_PICTURE, IDM_POPUP_FILE, 0, 0},
    {IDC_CMD_PREVIOUS_PICTURE, IDM_POPUP_FILE, 0, 0},
    {IDC_CMD_SLIDE_SHOW, IDM_POPUP_VIEW, 1, 0},
    {IDC_CMD_PLAY_PAUSE, IDM_POPUP_VIEW, 1, 0},
};

int RadioPositionOfViewMode(int viewMode) {
  static const int kRadio[][2] = {
      {kViewActualSize, 0}, {kViewFitWhole, 2}, {kViewFitWidth, 4}, {kViewFitHeight, 5}, {kViewFreeZoom, 7}};
  for (const auto& pair : kRadio) {
    if (pair[0] == viewMode) return pair[1];
  }
  return -1;
}

}  // namespace lmx
