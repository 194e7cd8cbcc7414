// InfoControl: the image view. Zoom by ViewMode, scroll bars or pen panning, and painting
// by one stretching blit of the visible part of the picture.
#include "view/image_view.h"

#include <uxtheme.h>

#include <cmath>

#include "common/utils.h"
#include "resources/program_ids.h"
#include "ui/settings.h"
#include "ui/status_bar.h"
#include "view/image_view_internal.h"
#include "view/zoom_dialog.h"

namespace lmx {

namespace {

ViewState gView{};
GfxImage* gImage = nullptr;
HWND gInfo = nullptr;
HBRUSH gBackground = nullptr;
bool gInfoRegistered = false;
bool gFullScreen = false;

// Relayout may resize the view (scroll bars come and go), which asks for a relayout again.
int gRelayoutDepth = 0;
bool gRelayoutAgain = false;
constexpr int kRelayoutPasses = 3;

// A tap in full screen: pen down and up without moving further than a drag would need.
bool gTapDown = false;
POINT gTapPoint{};

// In full screen the picture fits the screen whole instead of keeping the zoom in force.
bool gFullScreenFits = false;

// The pen's stroke from down to up, for a swipe: quick, long and more across than up or down.
struct Stroke {
  bool down;
  POINT start;
  LONG time;
};
Stroke gStroke{};
constexpr LONG kSwipeMs = 400;
constexpr int kSwipeViewFraction = 3;  // at least a third of the view's width

ViewEvents* gEvents = nullptr;

constexpr int kZoomTextChars = 16;
constexpr int kScrollStepFraction = 8;  // a key's step moves the picture an eighth of the view
constexpr UINT kScrollInfoMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

bool ImageLoaded() { return gImage && gImage->dib && gImage->memoryDC; }
int ClientWidth() { return gView.client.right - gView.client.left; }
int ClientHeight() { return gView.client.bottom - gView.client.top; }

void ReadClient() {
  if (gInfo) {
    GetClientRect(gInfo, &gView.client);
  } else {
    SetRectEmpty(&gView.client);
  }
}

void ZeroScrollWords() {
  gView.vertPos = gView.horzPos = 0;
  gView.vertMax = gView.horzMax = 0;
  gView.horzOffset = gView.vertOffset = 0;
}

void ReadImageSize() {
  const DWORD size = ImageLoaded() ? GfxImage_Size(gImage) : 0;
  gView.imageWidth = LOWORD(size);
  gView.imageHeight = HIWORD(size);
}

// The largest offsets that still fill the view: the last column and row stay reachable by
// the bars, the bar buttons and the pen alike.
int HorzLimit() {
  const int limit = gView.zoomedWidth - ClientWidth() - gView.client.left;
  return limit > 0 ? limit : 0;
}
int VertLimit() {
  const int limit = gView.zoomedHeight - ClientHeight() - gView.client.top;
  return limit > 0 ? limit : 0;
}
int Clamp(int value, int high) { return value < 0 ? 0 : (value > high ? high : value); }

void ComputeSourceDestination() {
  ComputeSourceAndDestination(gView.zoom, gView.horzOffset, gView.vertOffset, ClientWidth(), ClientHeight(),
                              gView.imageWidth, gView.imageHeight, &gView.source, &gView.destination);
}

RECT DestinationAt(float zoom) {
  RECT source{}, destination{};
  ComputeSourceAndDestination(zoom, gView.horzOffset, gView.vertOffset, ClientWidth(), ClientHeight(),
                              gView.imageWidth, gView.imageHeight, &source, &destination);
  return destination;
}

float FitWholeZoom(int iw, int ih) {
  const float byWidth = FitZoom(iw, ClientWidth());
  const float byHeight = FitZoom(ih, ClientHeight());
  return byWidth < byHeight ? byWidth : byHeight;
}

// The zoom the mode gives a picture of iw x ih in the view as it is laid out now.
float ZoomForModeOf(int iw, int ih) {
  switch (gView.mode) {
    case kViewActualSize:
      return 1.0f;
    case kViewFitWhole:
      return FitWholeZoom(iw, ih);
    case kViewFitWidth:
      return FitZoom(iw, ClientWidth());
    case kViewFitHeight:
      return FitZoom(ih, ClientHeight());
    case kViewFullScreen:
      if (gFullScreenFits) return FitWholeZoom(iw, ih);
      return gView.zoom;
    default:  // free zoom and the unused 4 keep the zoom in force
      return gView.zoom;
  }
}

float ZoomForMode() { return ZoomForModeOf(gView.imageWidth, gView.imageHeight); }

void SetScrollBar(int bar, int maximum, int page, int position) {
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = kScrollInfoMask;
  si.nMin = 0;
  si.nMax = maximum;
  si.nPage = static_cast<UINT>(page);
  si.nPos = position;
  SetScrollInfo(gInfo, bar, &si, TRUE);
}

void RemoveScrollBars() {
  if (gInfo) {
    SetScrollBar(SB_HORZ, 0, 0, 0);
    SetScrollBar(SB_VERT, 0, 0, 0);
  }
  ReadClient();
}

// Each bar may take room from the other's page, so the pair is set until the client rests.
void SetUpScrollBars() {
  for (int pass = 0; pass < 2; ++pass) {
    const RECT before = gView.client;
    SetScrollBar(SB_HORZ, gView.zoomedWidth, ClientWidth() + 1, gView.horzPos);
    ReadClient();
    SetScrollBar(SB_VERT, gView.zoomedHeight, ClientHeight() + 1, gView.vertPos);
    ReadClient();
    if (EqualRect(&before, &gView.client)) break;
  }
  gView.horzMax = HorzLimit();
  gView.vertMax = VertLimit();
}

void RelayoutOnce() {
  ReadClient();
  if (!ImageLoaded()) {
    RemoveScrollBars();
    return;
  }
  ReadImageSize();
  gView.zoom = ZoomForMode();
  gView.zoomedWidth = static_cast<int>(static_cast<float>(gView.imageWidth) * gView.zoom);
  gView.zoomedHeight = static_cast<int>(static_cast<float>(gView.imageHeight) * gView.zoom);
  if (!Settings().msState) {
    RemoveScrollBars();
  } else if (gView.zoomedHeight > ClientHeight() || gView.zoomedWidth > ClientWidth()) {
    SetUpScrollBars();
  } else {
    RemoveScrollBars();
  }
  gView.horzOffset = Clamp(gView.horzOffset, HorzLimit());
  gView.vertOffset = Clamp(gView.vertOffset, VertLimit());
  ComputeSourceDestination();
}

void ShowZoomText() {
  wchar_t text[kZoomTextChars];
  FormatZoomText(gView.zoom, text, kZoomTextChars);
  StatusBar_ShowZoomText(text);
}

HBRUSH BackgroundBrush() { return gBackground ? gBackground : static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)); }

// The view outside the picture: right of it and below it.
void FillAroundPicture(HDC dc) {
  const RECT& d = gView.destination;
  const RECT& c = gView.client;
  if (d.right < c.right) {
    const RECT right{d.right, c.top, c.right, d.bottom > c.top ? d.bottom : c.top};
    FillRect(dc, &right, BackgroundBrush());
  }
  if (d.bottom < c.bottom) {
    const RECT below{c.left, d.bottom, c.right, c.bottom};
    FillRect(dc, &below, BackgroundBrush());
  }
}

void PaintPicture(HDC dc) {
  if (!ImageLoaded()) return;
  SetStretchBltMode(dc, COLORONCOLOR);
  HPALETTE oldPalette = nullptr;
  if (gImage->palette) {
    oldPalette = SelectPalette(dc, gImage->palette, TRUE);
    RealizePalette(dc);
  }
  GfxImage_StretchToDevice(gImage, dc, gView.destination, gView.source);
  if (oldPalette) SelectPalette(dc, oldPalette, TRUE);
  gView.lastPainted = gView.destination;
}

// Scrolling and panning draw at once instead of waiting for WM_PAINT.
void PaintNow() {
  if (!gInfo) return;
  ComputeSourceDestination();
  if (!ImageLoaded()) return;
  HDC dc = GetDC(gInfo);
  if (!dc) return;
  PaintPicture(dc);
  FillAroundPicture(dc);
  ReleaseDC(gInfo, dc);
}

void InvalidateAndUpdate(const RECT& rect) {
  if (!gInfo) return;
  InvalidateRect(gInfo, &rect, TRUE);
  UpdateWindow(gInfo);
}

// The zoom is now a free one: mode 5, or in full screen the mode to return to.
void EnterFreeZoom() {
  if (gFullScreen) {
    gView.modeBeforeFullScreen = kViewFreeZoom;
    ImageView_Reset();
  } else {
    ImageView_SetMode(kViewFreeZoom);
  }
}

// A thumb released past 65535 arrives cut to 16 bits; the bar still knows the whole value.
int ThumbPosition(int bar, int reported) {
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_TRACKPOS;
  if (gInfo && GetScrollInfo(gInfo, bar, &si) && (si.nTrackPos & 0xFFFF) == reported) return si.nTrackPos;
  return reported;
}

// Moves the picture to `value` along `bar`, kept inside the picture, and shows it at once.
void ScrollTo(int bar, int value) {
  const bool vertical = bar == SB_VERT;
  int& position = vertical ? gView.vertPos : gView.horzPos;
  int& offset = vertical ? gView.vertOffset : gView.horzOffset;
  int& maximum = vertical ? gView.vertMax : gView.horzMax;
  maximum = vertical ? VertLimit() : HorzLimit();
  value = Clamp(value, maximum);
  offset = value;
  position = value;
  // The picture first: it is what the user follows, and the bar takes longer to draw.
  PaintNow();
  if (gInfo) {
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_POS;
    si.nPos = position;
    SetScrollInfo(gInfo, bar, &si, TRUE);
  }
  ShowZoomText();
}

LRESULT Info_OnScroll(int bar, int code, int reported) {
  const bool vertical = bar == SB_VERT;
  const int position = vertical ? gView.vertPos : gView.horzPos;
  const int page = vertical ? ClientHeight() : ClientWidth();
  int value = vertical ? gView.vertOffset : gView.horzOffset;
  switch (code) {
    case SB_LINEUP:
      value = position - static_cast<int>(gView.zoom * 10.0);
      break;
    case SB_LINEDOWN:
      value = position - static_cast<int>(gView.zoom * -10.0);
      break;
    case SB_PAGEUP:
      value = position - page - 1;
      break;
    case SB_PAGEDOWN:
      value = position + page + 1;
      break;
    case SB_THUMBPOSITION:
      value = ThumbPosition(bar, reported);
      break;
    default:  // the thumb moves the picture only when released
      break;
  }
  ScrollTo(bar, value);
  return 0;
}

void PanTo(LPARAM point) {
  gView.dragX = static_cast<short>(LOWORD(point));
  gView.dragY = static_cast<short>(HIWORD(point));
  gView.dragDeltaX = gView.dragX - gView.dragStartX;
  gView.dragDeltaY = gView.dragY - gView.dragStartY;
  gView.horzOffset = Clamp(gView.dragStartHorz - gView.dragDeltaX, HorzLimit());
  gView.vertOffset = Clamp(gView.dragStartVert - gView.dragDeltaY, VertLimit());
  PaintNow();
  ShowZoomText();
}

POINT PointOf(LPARAM point) { return POINT{static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))}; }

bool CanScrollSideways() { return ImageLoaded() && gView.zoomedWidth > ClientWidth(); }

// Ends the stroke at `point`: true when it was a swipe, which the program's events have had.
bool EndStroke(LPARAM point) {
  if (!gStroke.down) return false;
  gStroke.down = false;
  const POINT end = PointOf(point);
  const int dx = end.x - gStroke.start.x, dy = end.y - gStroke.start.y;
  const LONG elapsed = GetMessageTime() - gStroke.time;
  const bool swipe = elapsed >= 0 && elapsed <= kSwipeMs && std::abs(dx) * kSwipeViewFraction >= ClientWidth() &&
                     std::abs(dx) > std::abs(dy) && !CanScrollSideways();
  if (swipe && gEvents) gEvents->Swiped(dx < 0);
  return swipe;
}

void Info_OnPenDown(HWND window, LPARAM point) {
  gStroke.down = false;
  gTapDown = false;
  // The program may take the stroke for itself (a tap that ends a slide show).
  if (gEvents && gEvents->PenDown()) return;
  gStroke = Stroke{true, PointOf(point), GetMessageTime()};
  if (gFullScreen) {
    gTapDown = true;
    gTapPoint = PointOf(point);
  }
  // The pen up must come back here even off the view, for a swipe or the end of a drag.
  SetCapture(window);
  if (Settings().msState) return;
  gView.dragActive = 1;
  gView.dragStartX = static_cast<short>(LOWORD(point));
  gView.dragStartY = static_cast<short>(HIWORD(point));
  gView.dragStartHorz = gView.horzOffset;
  gView.dragStartVert = gView.vertOffset;
}

void Info_OnPenMove(LPARAM point) {
  if (Settings().msState || !gView.dragActive) return;
  PanTo(point);
}

void Info_OnPenUp(HWND window, LPARAM point) {
  if (!Settings().msState && gView.dragActive) PanTo(point);
  gView.dragActive = 0;
  const bool swiped = EndStroke(point);
  if (GetCapture() == window) ReleaseCapture();
  if (swiped) {
    gTapDown = false;
    return;
  }
  if (gFullScreen && gTapDown) {
    gTapDown = false;
    const POINT p = PointOf(point);
    if (std::abs(p.x - gTapPoint.x) <= GetSystemMetrics(SM_CXDRAG) &&
        std::abs(p.y - gTapPoint.y) <= GetSystemMetrics(SM_CYDRAG)) {
      ImageView_LeaveFullScreen();
    }
  }
}

LRESULT ForwardToMainWindow(UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND main = MainCtrl_MainWindow();
  return main ? SendMessageW(main, msg, wParam, lParam) : 0;
}

void Info_OnPaint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  if (dc && ImageLoaded()) {
    ComputeSourceDestination();
    PaintPicture(dc);
    FillAroundPicture(dc);
  }
  EndPaint(window, &ps);
  ShowZoomText();
  if (ImageLoaded()) StatusBar_ShowFileName(gImage->filePath);
}

// A new view shows no picture until it is given one: the picture of a view before it may be
// gone with its document.
void Info_OnCreate() {
  gImage = nullptr;
  ZeroScrollWords();
  gView.imageWidth = gView.imageHeight = 0;
  gView.zoomedWidth = gView.zoomedHeight = 0;
  gView.mode = kViewActualSize;
  SetRectEmpty(&gView.destination);
  SetRectEmpty(&gView.source);
  SetRectEmpty(&gView.lastPainted);
  gView.zoom = 1.0f;
  gView.dragActive = 0;
  gView.modeBeforeFullScreen = kViewActualSize;
  gFullScreen = false;
  gFullScreenFits = false;
  gTapDown = false;
  gStroke.down = false;
  RemoveScrollBars();
}

LRESULT CALLBACK InfoControlProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE:
      gInfo = window;
      Info_OnCreate();
      return 0;
    case WM_SIZE:
      if (window == gInfo) ImageView_Reset();
      return 0;
    case WM_ERASEBKGND:
      // A picture's paint covers the whole view; without one the class brush shows.
      if (window == gInfo && ImageLoaded()) return 1;
      return DefWindowProcW(window, msg, wParam, lParam);
    case WM_PAINT:
      Info_OnPaint(window);
      return 0;
    case WM_HSCROLL:
      return Info_OnScroll(SB_HORZ, LOWORD(wParam), HIWORD(wParam));
    case WM_VSCROLL:
      return Info_OnScroll(SB_VERT, LOWORD(wParam), HIWORD(wParam));
    case WM_LBUTTONDOWN:
      Info_OnPenDown(window, lParam);
      return 0;
    case WM_MOUSEMOVE:
      Info_OnPenMove(lParam);
      return 0;
    case WM_LBUTTONUP:
      Info_OnPenUp(window, lParam);
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != window) {
        gView.dragActive = 0;
        gStroke.down = false;
      }
      return 0;
    case WM_KEYDOWN:
    case WM_MOUSEWHEEL:
      // Keys and the wheel act on the whole viewer: the main window handles them.
      return ForwardToMainWindow(msg, wParam, lParam);
    case WM_DESTROY:
      if (gInfo == window) {
        gInfo = nullptr;
        gImage = nullptr;
      }
      return 0;
    default:
      return DefWindowProcW(window, msg, wParam, lParam);
  }
}

}  // namespace

bool RegisterInfoControl(HINSTANCE instance) {
  if (gInfoRegistered) return true;
  WNDCLASSW wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = InfoControlProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
  wc.lpszClassName = kInfoControlClass;
  gInfoRegistered = RegisterClassW(&wc) != 0;
  return gInfoRegistered;
}

HWND CreateInfoControl(HWND parent, HINSTANCE instance) {
  DestroyInfoControl();
  if (!RegisterInfoControl(instance)) return nullptr;
  HWND window = CreateWindowExW(0, kInfoControlClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kInfoControlId)), instance, nullptr);
  // Classic scroll bars: themed ones take several times longer to draw on every step.
  if (window) SetWindowTheme(window, L"", L"");
  gBackground = PatternBrush(instance, IDB_VIEW_BACKGROUND);
  return window;
}

void DestroyInfoControl() {
  if (gInfo && IsWindow(gInfo)) DestroyWindow(gInfo);
  gInfo = nullptr;
  if (gBackground) DeleteObject(gBackground);
  gBackground = nullptr;
  gFullScreen = false;
  gTapDown = false;
}

HWND ImageViewWindow() { return gInfo; }

void ImageView_SetImage(GfxImage* image) {
  gImage = image;
  ZeroScrollWords();
  ReadImageSize();
}

void ImageView_PictureChanged(PictureChange change, GfxImage* image) {
  switch (change) {
    case PictureChange::kOpened:
      ImageView_SetImage(image);
      if (!image) {
        // No bars, offsets or zoom of the picture before stay behind.
        ImageView_Relayout();
        ImageView_ResetAfterClose();
        return;
      }
      ImageView_TakeNewImageSize();
      ImageView_Relayout();
      if (gInfo) InvalidateRect(gInfo, nullptr, TRUE);
      return;
    case PictureChange::kPage:
      ImageView_TakeNewImageSize();
      ImageView_Relayout();
      ImageView_RepaintPicture();
      return;
    case PictureChange::kTurned:
    case PictureChange::kHalfTurned:
      ImageView_TakeNewImageSize();
      ImageView_Reset();
      if (change == PictureChange::kTurned) ImageView_RepaintImage();
      else ImageView_RepaintPicture();
      return;
    case PictureChange::kRedrawn:
      ImageView_RepaintPicture();
      return;
  }
}

GfxImage* ImageView_Image() { return gImage; }

const ViewState& ImageView_State() { return gView; }

void ImageView_SetMode(int mode) {
  if (mode == kViewFullScreen) {
    ImageView_EnterFullScreen();
    return;
  }
  if (gFullScreen) {
    gFullScreen = false;
    gView.mode = mode;
    MainCtrl_EndFullScreen();
  }
  gView.mode = mode;
  ImageView_Reset();
}

int ImageView_Mode() { return gView.mode; }

void ImageView_Reset() {
  ZeroScrollWords();
  ImageView_Relayout();
}

void ImageView_Relayout() {
  if (gRelayoutDepth > 0) {
    gRelayoutAgain = true;
    return;
  }
  ++gRelayoutDepth;
  for (int pass = 0; pass < kRelayoutPasses; ++pass) {
    gRelayoutAgain = false;
    RelayoutOnce();
    if (!gRelayoutAgain) break;
  }
  --gRelayoutDepth;
}

void ImageView_TakeNewImageSize() {
  ZeroScrollWords();
  ReadImageSize();
}

void ImageView_ResetAfterClose() {
  gView.zoom = 1.0f;
  StatusBar_Clear();
  if (gInfo) InvalidateRect(gInfo, nullptr, TRUE);
}

float ImageView_Zoom() { return gView.zoom; }

void ImageView_SetZoom(float zoom) {
  if (std::isfinite(zoom) && zoom > 0.0f) gView.zoom = zoom;
}

void ImageView_RepaintImage() {
  ComputeSourceDestination();
  RECT joined{};
  UnionRect(&joined, &gView.destination, &gView.lastPainted);
  const int width = joined.right - joined.left, height = joined.bottom - joined.top;
  const RECT area{joined.left, joined.top, joined.left + (width < ClientWidth() ? width : ClientWidth()),
                  joined.top + (height < ClientHeight() ? height : ClientHeight())};
  InvalidateAndUpdate(area);
}

void ImageView_RepaintPicture() { InvalidateAndUpdate(gView.destination); }

void ImageView_ZoomIn() {
  const float zoom = ZoomStepIn(gView.zoom);
  const RECT area = DestinationAt(zoom);
  gView.zoom = zoom;
  EnterFreeZoom();
  InvalidateAndUpdate(area);
}

void ImageView_ZoomOut() {
  const float zoom = ZoomStepOut(gView.zoom);
  const RECT area = DestinationAt(gView.zoom);
  gView.zoom = zoom;
  EnterFreeZoom();
  InvalidateAndUpdate(area);
}

void ImageView_ZoomDialog(HWND owner) {
  float zoom = gView.zoom;
  if (RunZoomDialog(owner, &zoom) != 1) return;
  gView.zoom = zoom;
  EnterFreeZoom();
  ImageView_RepaintImage();
}

void ImageView_ScrollModeChanged() {
  RemoveScrollBars();
  ImageView_Reset();
}

void ImageView_EnterFullScreen() {
  if (gFullScreen || !gInfo) return;
  gView.modeBeforeFullScreen = gView.mode;
  gView.mode = kViewFullScreen;
  gFullScreen = true;
  gTapDown = false;
  MainCtrl_BeginFullScreen();
  ImageView_Reset();
  if (gInfo) InvalidateRect(gInfo, nullptr, TRUE);
}

void ImageView_LeaveFullScreen() {
  if (!gFullScreen) return;
  gFullScreen = false;
  gView.mode = gView.modeBeforeFullScreen;
  gView.dragActive = 0;
  MainCtrl_EndFullScreen();
  ImageView_Reset();
  if (gInfo) InvalidateRect(gInfo, nullptr, TRUE);
}

bool ImageView_IsFullScreen() { return gFullScreen; }

void ImageView_SetFullScreenFits(bool fits) {
  if (gFullScreenFits == fits) return;
  gFullScreenFits = fits;
  if (gFullScreen) {
    ImageView_Reset();
    if (gInfo) InvalidateRect(gInfo, nullptr, TRUE);
  }
}

void ImageView_SetEvents(ViewEvents* events) { gEvents = events; }

bool ImageView_CanScroll(bool sideways) {
  if (!ImageLoaded()) return false;
  return sideways ? gView.zoomedWidth > ClientWidth() : gView.zoomedHeight > ClientHeight();
}

void ImageView_ScrollStep(bool sideways, int steps) {
  if (!ImageView_CanScroll(sideways)) return;
  const int page = sideways ? ClientWidth() : ClientHeight();
  int step = page / kScrollStepFraction;
  if (step < 1) step = 1;
  const int offset = sideways ? gView.horzOffset : gView.vertOffset;
  ScrollTo(sideways ? SB_HORZ : SB_VERT, offset + steps * step);
}

bool ImageView_PreviewBox(int* width, int* height) {
  if (!gInfo || ClientWidth() <= 0 || ClientHeight() <= 0) return false;
  const bool fits = gView.mode == kViewFitWhole || gView.mode == kViewFitWidth || gView.mode == kViewFitHeight ||
                    (gView.mode == kViewFullScreen && gFullScreenFits);
  if (!fits) return false;
  *width = ClientWidth();
  *height = ClientHeight();
  return true;
}

bool ImageView_ShowPreview(const void* dib, int fullWidth, int fullHeight) {
  if (!gInfo || !dib || fullWidth <= 0 || fullHeight <= 0) return false;
  const float zoom = ZoomForModeOf(fullWidth, fullHeight);
  if (!(zoom <= 0.5f)) return false;
  RECT source{}, destination{};
  ComputeSourceAndDestination(zoom, 0, 0, ClientWidth(), ClientHeight(), fullWidth, fullHeight, &source, &destination);
  const auto* info = static_cast<const BITMAPINFO*>(dib);
  const BITMAPINFOHEADER& h = info->bmiHeader;
  const auto* bits = static_cast<const uint8_t*>(dib) + h.biSize + h.biClrUsed * sizeof(RGBQUAD);
  HDC dc = GetDC(gInfo);
  if (!dc) return false;
  // The reduced picture stands for the whole one: its whole extent onto the whole one's place.
  SetStretchBltMode(dc, COLORONCOLOR);
  const int drawn = StretchDIBits(dc, destination.left, destination.top, destination.right - destination.left,
                                  destination.bottom - destination.top, 0, 0, h.biWidth, h.biHeight, bits, info,
                                  DIB_RGB_COLORS, SRCCOPY);
  const RECT c = gView.client;
  if (destination.right < c.right) {
    const RECT right{destination.right, c.top, c.right, c.bottom};
    FillRect(dc, &right, BackgroundBrush());
  }
  if (destination.bottom < c.bottom) {
    const RECT below{c.left, destination.bottom, destination.right, c.bottom};
    FillRect(dc, &below, BackgroundBrush());
  }
  ReleaseDC(gInfo, dc);
  GdiFlush();
  return drawn > 0;
}

}  // namespace lmx
