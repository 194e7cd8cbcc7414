// The image view: ViewerMainCtrl, the main window's one child, which lays out the image
// view (InfoControl), the viewer toolbar and the status bar; and the InfoControl with its
// zoom, scroll bars, pen panning and painting. There is one view per process.
#pragma once

#include <windows.h>

#include "picture/gfx_image.h"
#include "view/zoom.h"

namespace lmx {

enum ViewMode : int {
  kViewActualSize = 0,
  kViewFitWhole = 1,
  kViewFitWidth = 2,
  kViewFitHeight = 3,
  kViewFreeZoom = 5,
  kViewFullScreen = 6,
};

// How the picture the view shows has changed, which decides what is measured, laid out and
// repainted again.
enum class PictureChange {
  kOpened,      // another file's picture, or none: new size, laid out, the whole view repainted
  kPage,        // another picture of the same file: new size, laid out, the picture repainted
  kTurned,      // a quarter turn: new size, back to the top left, old and new places repainted
  kHalfTurned,  // a half turn: back to the top left, the picture repainted
  kRedrawn,     // other pixels in the same place: the picture repainted
};

// Child ids inside ViewerMainCtrl.
constexpr int kViewerMainCtrlId = 100;
constexpr int kInfoControlId = 201;
constexpr int kStatusBarId = 202;
constexpr int kViewerToolbarId = 205;

// What the view keeps (one per process).
struct ViewState {
  int mode;
  RECT destination;
  RECT source;
  RECT lastPainted;
  int imageWidth, imageHeight;
  int zoomedWidth, zoomedHeight;
  float zoom;
  RECT client;
  int vertPos, horzPos;
  int vertMax, horzMax;
  int horzOffset, vertOffset;
  int dragActive;
  int dragStartHorz, dragStartVert;
  int dragStartX, dragStartY;
  short dragX, dragY;
  int dragDeltaX, dragDeltaY;
  int modeBeforeFullScreen;  // the mode to return to when full screen ends
};

bool RegisterViewerMainCtrl(HINSTANCE instance);  // once per process
bool RegisterInfoControl(HINSTANCE instance);
HWND CreateViewerMainCtrl(HWND mainWindow, HINSTANCE instance);  // child id 100
void DestroyViewerMainCtrl();
HWND ViewerMainCtrlWindow();
void RelayoutViewerMainCtrl();  // WM_SIZE with its client size
HWND ViewerToolbarWindow();     // the toolbar control; accepts TB_ENABLEBUTTON
HWND ImageViewWindow();         // the InfoControl
HWND StatusBarWindow();

// The current file's picture, or null; borrowed until replaced.
void ImageView_SetImage(GfxImage* image);
// What the program calls after its picture changed (the image given for kOpened).
void ImageView_PictureChanged(PictureChange change, GfxImage* image = nullptr);
GfxImage* ImageView_Image();
const ViewState& ImageView_State();

void ImageView_SetMode(int mode);  // sets the mode, resets and relays out
int ImageView_Mode();
void ImageView_Reset();     // offsets and scroll positions to 0, then relayout
void ImageView_Relayout();
void ImageView_TakeNewImageSize();
void ImageView_ResetAfterClose();  // zoom 1.0, both status texts emptied
float ImageView_Zoom();
void ImageView_SetZoom(float zoom);
void ImageView_RepaintImage();    // union of the new and the last painted rectangle
void ImageView_RepaintPicture();  // the current destination rectangle
void ImageView_ZoomIn();
void ImageView_ZoomOut();
void ImageView_ZoomDialog(HWND owner);  // template 108 from lmx::ResourceModule()
// Scroll-bar and pen mode switched (MSState): bars removed, offsets reset, relayout.
void ImageView_ScrollModeChanged();

// Full screen (ViewMode 6): ViewerMainCtrl covers the whole screen, topmost, bars hidden,
// the zoom in force kept. A tap on the picture, or leaving through the API, returns to the
// mode in force before.
void ImageView_EnterFullScreen();
void ImageView_LeaveFullScreen();
bool ImageView_IsFullScreen();
// While set, full screen fits each picture whole to the screen (a slide show).
void ImageView_SetFullScreenFits(bool fits);

// Whether the picture is wider (sideways) or taller than the view, so that it can scroll.
bool ImageView_CanScroll(bool sideways);
// Scrolls by `steps` steps of an eighth of the view (negative: left or up), kept inside the
// picture; nothing when the picture cannot scroll that way.
void ImageView_ScrollStep(bool sideways, int steps);

// What the view tells the program about the pen.
class ViewEvents {
 public:
  virtual ~ViewEvents() = default;
  // The pen went down on the view: true when the program takes the stroke for itself, which
  // the view then leaves alone until the pen goes down again.
  virtual bool PenDown() = 0;
  // A quick stroke across a picture that cannot scroll sideways: to the left for the next.
  virtual void Swiped(bool toNext) = 0;
};
void ImageView_SetEvents(ViewEvents* events);  // borrowed; null for none

// A picture's first paint while it is still being decoded: the box the view's mode fits a
// picture into (false when the mode is not a fit), and the reduced picture `dib` (a packed
// DIB) painted where a picture of fullWidth x fullHeight goes at the mode's fit. Nothing is
// painted, and false returned, when that fit shows the picture at more than half its size.
bool ImageView_PreviewBox(int* width, int* height);
bool ImageView_ShowPreview(const void* dib, int fullWidth, int fullHeight);

}  // namespace lmx
