// The image view in a real window: zoom by ViewMode with its clamps, zoom steps, scroll bars,
// pen panning, the status texts, and the pixels it paints.
#include <gtest/gtest.h>

#include "tests/view/view_fixture.h"
#include "view/zoom.h"

namespace lmx::test {
namespace {

bool HasScrollBars(HWND window) {
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  return (style & (WS_HSCROLL | WS_VSCROLL)) != 0;
}

SCROLLINFO BarInfo(int bar) {
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  GetScrollInfo(ImageViewWindow(), bar, &si);
  return si;
}

// Where the view shows the picture from: its horizontal and vertical offsets.
std::pair<int, int> Offsets() { return {ImageView_State().horzOffset, ImageView_State().vertOffset}; }

void Scroll(UINT msg, int code, int position = 0) {
  SendMessageW(ImageViewWindow(), msg, MAKEWPARAM(code, position), 0);
}

std::string Hex(COLORREF c) {
  char text[16];
  snprintf(text, sizeof(text), "%06lx", static_cast<unsigned long>(c));
  return text;
}

#define EXPECT_COLOUR(actual, expected) EXPECT_EQ(Hex(actual), Hex(expected))

// Each mode takes the zoom rules' fit (zoom_test) of the view and the picture, clamps and all.
TEST_F(ViewTest, ActualSizeIsOneAndTheFitsFollowTheView) {
  Settings().msState = 0;  // no bars: the client stays whole
  Open(480, 360);
  const RECT c = ViewClient();
  EXPECT_EQ(c.right, 240);
  EXPECT_EQ(ImageView_Mode(), kViewActualSize);
  EXPECT_EQ(ImageView_Zoom(), 1.0f);
  const struct {
    int width, height, mode;
    float zoom;
    int zoomedWidth, zoomedHeight;  // -1: any
  } fits[] = {
      {480, 360, kViewFitWhole, 0.5f, -1, -1},  // 240 / 480 is the smaller
      {480, 360, kViewFitWidth, 0.5f, -1, -1},
      {480, 360, kViewFitHeight, FitZoom(360, c.bottom), -1, c.bottom},
      {4000, 3000, kViewFitWhole, FitZoom(4000, 240), -1, -1},  // below the steps: it fits
      {10000, 8, kViewFitWidth, FitZoom(10000, 240), -1, -1},
      {8, 5000, kViewFitHeight, FitZoom(5000, c.bottom), -1, -1},
      {20, 10, kViewFitWhole, 8.0f, 160, -1},  // enlarged, but no more than eight times
      {20, 10, kViewFitWidth, 8.0f, -1, -1},
  };
  for (const auto& f : fits) {
    Open(f.width, f.height);
    ImageView_SetMode(f.mode);
    EXPECT_EQ(ImageView_Zoom(), f.zoom) << f.width << " x " << f.height << " in mode " << f.mode;
    EXPECT_EQ(f.zoomedWidth < 0 ? -1 : State().zoomedWidth, f.zoomedWidth);
    EXPECT_EQ(f.zoomedHeight < 0 ? -1 : State().zoomedHeight, f.zoomedHeight);
    // A fit mode shows a large picture whole: no scroll bar crosses it.
    if (f.mode == kViewFitWhole) EXPECT_FALSE(HasScrollBars(ImageViewWindow())) << f.width;
  }

  Open(480, 360);
  ImageView_SetZoom(2.5f);
  ImageView_SetMode(kViewFreeZoom);
  EXPECT_EQ(ImageView_Zoom(), 2.5f);
  EXPECT_EQ(State().zoomedWidth, 1200);
  EXPECT_EQ(State().zoomedHeight, 900);
  ImageView_SetMode(4);  // never set by a command: keeps the zoom as well
  EXPECT_EQ(ImageView_Zoom(), 2.5f);
  ImageView_SetMode(kViewActualSize);
  EXPECT_EQ(ImageView_Zoom(), 1.0f);
}

TEST_F(ViewTest, TheModeIsKeptAcrossPicturesAndTheFitRecomputed) {
  Settings().msState = 0;
  Open(480, 360);
  ImageView_SetMode(kViewFitWidth);
  EXPECT_EQ(ImageView_Zoom(), 0.5f);
  Open(120, 100);
  EXPECT_EQ(ImageView_Mode(), kViewFitWidth);
  EXPECT_EQ(ImageView_Zoom(), 2.0f);
  ImageView_SetZoom(3.0f);
  ImageView_SetMode(kViewFreeZoom);
  Open(480, 360);
  EXPECT_EQ(ImageView_Zoom(), 3.0f);  // a free zoom stays
}

// The steps themselves, and where they stop, are the zoom rules' (zoom_test); here the view
// takes them.
TEST_F(ViewTest, ZoomStepsClimbAndFall) {
  Open(300, 200);
  ImageView_SetMode(kViewFreeZoom);
  ImageView_SetZoom(1.5f);
  ImageView_ZoomIn();
  EXPECT_EQ(ImageView_Zoom(), 2.0f);
  ImageView_SetZoom(1.5f);
  ImageView_ZoomOut();
  EXPECT_EQ(ImageView_Zoom(), 1.0f);
  // From a fit the mode becomes free zoom and the offsets go back to 0.
  ImageView_SetMode(kViewFitWhole);
  Scroll(WM_VSCROLL, SB_LINEDOWN);
  ImageView_ZoomIn();
  EXPECT_EQ(ImageView_Mode(), kViewFreeZoom);
  EXPECT_EQ(State().vertOffset, 0);
}

TEST_F(ViewTest, ScrollBarsSpanTheZoomedPictureAndTheirPageIsTheView) {
  Open(600, 800);
  ASSERT_TRUE(HasScrollBars(ImageViewWindow()));
  const RECT c = ViewClient();
  EXPECT_LT(c.right, 240);  // the vertical bar took its room
  SCROLLINFO h = BarInfo(SB_HORZ), v = BarInfo(SB_VERT);
  EXPECT_EQ(h.nMin, 0);
  EXPECT_EQ(h.nMax, 600);
  EXPECT_EQ(static_cast<int>(h.nPage), c.right + 1);
  EXPECT_EQ(h.nPos, 0);
  EXPECT_EQ(v.nMax, 800);
  EXPECT_EQ(static_cast<int>(v.nPage), c.bottom + 1);
  EXPECT_EQ(State().horzMax, 600 - c.right);
  EXPECT_EQ(State().vertMax, 800 - c.bottom);

  // A picture that fits has no bars.
  Open(100, 100);
  EXPECT_FALSE(HasScrollBars(ImageViewWindow()));
  EXPECT_EQ(ViewClient().right, 240);
}

TEST_F(ViewTest, ScrollRequestsMoveByLinePageAndReleasedThumbWithinTheRange) {
  Open(600, 800);
  const RECT c = ViewClient();
  Scroll(WM_VSCROLL, SB_LINEDOWN);
  EXPECT_EQ(State().vertOffset, 10);  // ten pixels at zoom 1
  EXPECT_EQ(State().vertPos, 10);
  EXPECT_EQ(GetScrollPos(ImageViewWindow(), SB_VERT), 10);
  Scroll(WM_VSCROLL, SB_PAGEDOWN);
  EXPECT_EQ(State().vertOffset, 10 + c.bottom + 1);
  Scroll(WM_VSCROLL, SB_PAGEUP);
  EXPECT_EQ(State().vertOffset, 10);
  Scroll(WM_VSCROLL, SB_THUMBTRACK, 300);
  EXPECT_EQ(State().vertOffset, 10);  // nothing moves while the thumb is dragged
  Scroll(WM_VSCROLL, SB_THUMBPOSITION, 300);
  EXPECT_EQ(State().vertOffset, 300);
  EXPECT_EQ(GetScrollPos(ImageViewWindow(), SB_VERT), 300);
  Scroll(WM_VSCROLL, SB_THUMBPOSITION, 5000);
  EXPECT_EQ(State().vertOffset, 800 - c.bottom);  // the last row is the view's last
  Scroll(WM_VSCROLL, SB_LINEDOWN);
  EXPECT_EQ(State().vertOffset, 800 - c.bottom);
  Scroll(WM_VSCROLL, SB_THUMBPOSITION, 0);
  Scroll(WM_VSCROLL, SB_LINEUP);
  EXPECT_EQ(State().vertOffset, 0);

  Scroll(WM_HSCROLL, SB_LINEDOWN);
  EXPECT_EQ(State().horzOffset, 10);
  EXPECT_EQ(GetScrollPos(ImageViewWindow(), SB_HORZ), 10);
  Scroll(WM_HSCROLL, SB_PAGEDOWN);
  EXPECT_EQ(State().horzOffset, 10 + c.right + 1);
  Scroll(WM_HSCROLL, SB_PAGEDOWN);
  EXPECT_EQ(State().horzOffset, 600 - c.right);
  Scroll(WM_HSCROLL, SB_LINEUP);
  EXPECT_EQ(State().horzOffset, 600 - c.right - 10);

  // The paint follows at once, without WM_PAINT.
  Scroll(WM_HSCROLL, SB_THUMBPOSITION, 37);
  Scroll(WM_VSCROLL, SB_THUMBPOSITION, 123);
  EXPECT_COLOUR(ViewPixel(0, 0), PictureColour(37, 123));
  EXPECT_COLOUR(ViewPixel(c.right - 1, c.bottom - 1), PictureColour(37 + c.right - 1, 123 + c.bottom - 1));
}

TEST_F(ViewTest, LineStepIsTenTimesTheZoomTruncated) {
  Open(1500, 2100);
  ImageView_SetZoom(0.167f);
  ImageView_SetMode(kViewFreeZoom);
  ASSERT_TRUE(HasScrollBars(ImageViewWindow()));
  Scroll(WM_VSCROLL, SB_LINEDOWN);
  EXPECT_EQ(State().vertOffset, 1);  // trunc(1.67)
  ImageView_SetZoom(8.0f);
  ImageView_SetMode(kViewFreeZoom);
  Scroll(WM_VSCROLL, SB_LINEDOWN);
  EXPECT_EQ(State().vertOffset, 80);
  EXPECT_EQ(BarInfo(SB_VERT).nMax, 16800);
}

TEST_F(ViewTest, ThumbPastSixteenBitsKeepsItsWholePosition) {
  Open(200, 9000);
  ImageView_SetZoom(8.0f);
  ImageView_SetMode(kViewFreeZoom);
  ASSERT_EQ(BarInfo(SB_VERT).nMax, 72000);
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_POS;
  si.nPos = 70000;
  SetScrollInfo(ImageViewWindow(), SB_VERT, &si, FALSE);  // where a released thumb leaves it
  Scroll(WM_VSCROLL, SB_THUMBPOSITION, 70000 & 0xFFFF);
  EXPECT_EQ(State().vertOffset, 70000);
}

TEST_F(ViewTest, WithScrollBarsThePenDoesNotPan) {
  Open(600, 800);
  Press(100, 100);
  Drag(50, 40);
  Release(50, 40);
  EXPECT_EQ(Offsets(), (std::pair<int, int>(0, 0)));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ViewTest, PenModePansWithinThePictureAndShowsNoBars) {
  Settings().msState = 0;
  ImageView_ScrollModeChanged();
  Open(600, 800);
  EXPECT_FALSE(HasScrollBars(ImageViewWindow()));
  const RECT c = ViewClient();
  EXPECT_EQ(c.right, 240);
  Press(100, 100);
  EXPECT_EQ(GetCapture(), ImageViewWindow());
  Drag(60, 70);  // left and up: the picture follows, its right and lower part come in
  EXPECT_EQ(Offsets(), (std::pair<int, int>(40, 30)));
  EXPECT_COLOUR(ViewPixel(0, 0), PictureColour(40, 30));
  EXPECT_COLOUR(ViewPixel(10, 20), PictureColour(50, 50));
  Drag(-2000, -2000);
  EXPECT_EQ(Offsets(), (std::pair<int, int>(600 - c.right, 800 - c.bottom)));
  Drag(3000, 3000);
  EXPECT_EQ(Offsets(), (std::pair<int, int>(0, 0)));
  Release(90, 95);
  EXPECT_EQ(Offsets(), (std::pair<int, int>(10, 5)));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(State().dragActive, 0);
  // The bars' positions are not the pen's business.
  EXPECT_EQ(State().horzPos, 0);
  EXPECT_EQ(State().vertPos, 0);
  Drag(0, 0);  // no pen down: nothing moves
  EXPECT_EQ(State().horzOffset, 10);

  // A picture smaller than the view does not move at all.
  Open(100, 80);
  Press(50, 50);
  Drag(10, 10);
  Release(10, 10);
  EXPECT_EQ(Offsets(), (std::pair<int, int>(0, 0)));

  // Back to scroll bars: they return for a large picture.
  Settings().msState = 1;
  Open(600, 800);
  ImageView_ScrollModeChanged();
  EXPECT_TRUE(HasScrollBars(ImageViewWindow()));
}

TEST_F(ViewTest, AtActualSizeThePixelsAreThePictureFromTheCornerOnThePattern) {
  Settings().msState = 0;
  Open(300, 400);
  const RECT c = ViewClient();
  for (POINT p : {POINT{0, 0}, POINT{5, 7}, POINT{200, 150}, POINT{c.right - 1, c.bottom - 1}}) {
    EXPECT_COLOUR(ViewPixel(p.x, p.y), PictureColour(p.x, p.y)) << p.x << "," << p.y;
  }
  // A small picture sits at the top-left corner on the background pattern.
  Open(50, 30);
  EXPECT_COLOUR(ViewPixel(0, 0), PictureColour(0, 0));
  EXPECT_COLOUR(ViewPixel(49, 29), PictureColour(49, 29));
  const COLORREF a = ViewPixel(60, 5), b = ViewPixel(64, 5), below = ViewPixel(5, 40);
  for (COLORREF pattern : {a, b, below}) {
    EXPECT_TRUE(pattern == RGB(204, 204, 204) || pattern == RGB(180, 180, 180)) << Hex(pattern);
  }
  EXPECT_NE(a, b);  // a checkerboard of 4-pixel squares
}

TEST_F(ViewTest, AtAFitThePictureIsStretchedFromTheCorner) {
  Settings().msState = 0;
  Open(60, 40);
  ImageView_SetMode(kViewFitWhole);
  Paint();
  ASSERT_EQ(ImageView_Zoom(), 4.0f);  // 240 / 60, the smaller of the two
  for (POINT p : {POINT{0, 0}, POINT{7, 3}, POINT{30, 20}, POINT{59, 39}}) {
    for (int d : {0, 3}) {
      EXPECT_COLOUR(ViewPixel(4 * p.x + d, 4 * p.y + d), PictureColour(p.x, p.y)) << p.x << "," << p.y;
    }
  }
  const COLORREF beside = ViewPixel(10, 161);
  EXPECT_TRUE(beside == RGB(204, 204, 204) || beside == RGB(180, 180, 180)) << Hex(beside);

  // Fit width of a wide picture: halved.
  Open(480, 100);
  ImageView_SetMode(kViewFitWidth);
  Paint();
  ASSERT_EQ(ImageView_Zoom(), 0.5f);
  EXPECT_TRUE(ColourFromBlock(ViewPixel(0, 0), 0, 1, 0, 1)) << Hex(ViewPixel(0, 0));
  EXPECT_TRUE(ColourFromBlock(ViewPixel(100, 20), 200, 201, 40, 41)) << Hex(ViewPixel(100, 20));
  EXPECT_TRUE(ColourFromBlock(ViewPixel(239, 49), 478, 479, 98, 99)) << Hex(ViewPixel(239, 49));
  const COLORREF under = ViewPixel(10, 51);
  EXPECT_TRUE(under == RGB(204, 204, 204) || under == RGB(180, 180, 180)) << Hex(under);
}

TEST_F(ViewTest, StatusBarShowsTheZoomAndTheFileNameOnly) {
  Open(300, 200);
  EXPECT_EQ(StatusText(0), L"Zoom: 100%");
  PathParts parts;
  SplitPath(file_->Path(), &parts);
  EXPECT_EQ(StatusText(1), std::wstring(parts.name) + parts.ext);
  EXPECT_EQ(StatusText(1).find(L'\\'), std::wstring::npos);

  ImageView_SetZoom(0.167f);
  ImageView_SetMode(kViewFreeZoom);
  Paint();
  EXPECT_EQ(StatusText(0), L"Zoom: 16%");
  ImageView_ZoomIn();
  Pump();
  EXPECT_EQ(StatusText(0), L"Zoom: 25%");
}

TEST_F(ViewTest, HiddenStatusBarTextsStayUntilTheNextPaintAfterItReturns) {
  Open(600, 800);
  StatusBar_SetText(0, L"old");
  Settings().showStatusbar = 0;
  RelayoutViewerMainCtrl();
  Scroll(WM_VSCROLL, SB_LINEDOWN);
  Paint();
  EXPECT_EQ(StatusText(0), L"old");
  Settings().showStatusbar = 1;
  RelayoutViewerMainCtrl();
  Paint();
  EXPECT_EQ(StatusText(0), L"Zoom: 100%");
}

TEST_F(ViewTest, ClosingEmptiesTheTextsAndTheNextPaintShowsOneHundredPercent) {
  Open(300, 200);
  ImageView_SetMode(kViewFitWhole);
  ASSERT_NE(ImageView_Zoom(), 1.0f);
  ImageView_SetImage(nullptr);
  GfxImage_Destroy(image_);
  image_ = nullptr;
  ImageView_Relayout();
  ImageView_ResetAfterClose();
  EXPECT_EQ(ImageView_Zoom(), 1.0f);
  EXPECT_EQ(ImageView_Mode(), kViewFitWhole);  // the mode stays
  EXPECT_EQ(StatusText(0), L"");
  EXPECT_EQ(StatusText(1), L"");
  EXPECT_FALSE(HasScrollBars(ImageViewWindow()));
  Paint();
  EXPECT_EQ(StatusText(0), L"Zoom: 100%");
  EXPECT_EQ(StatusText(1), L"");
  // Only the class background shows.
  EXPECT_COLOUR(ViewPixel(10, 10), RGB(192, 192, 192));
}

TEST_F(ViewTest, WithoutAPictureZoomStillChangesAndNothingIsDrawn) {
  ImageView_ZoomIn();
  EXPECT_EQ(ImageView_Zoom(), 2.0f);
  EXPECT_EQ(ImageView_Mode(), kViewFreeZoom);
  Scroll(WM_VSCROLL, SB_LINEDOWN);
  ImageView_RepaintImage();
  ImageView_RepaintPicture();
  Paint();
  EXPECT_COLOUR(ViewPixel(10, 10), RGB(192, 192, 192));
}

TEST_F(ViewTest, ANewViewHoldsNoPictureOfTheViewBeforeIt) {
  Open(64, 64);
  ImageView_SetMode(kViewFitWidth);
  // The view goes first, then its picture, as when the program ends; a view made after it
  // starts empty and lays itself out on its own size.
  DestroyViewerMainCtrl();
  EXPECT_EQ(ImageView_Image(), nullptr);
  GfxImage_Destroy(image_);
  image_ = nullptr;
  CreateCtrl();
  if (HasFatalFailure()) return;
  EXPECT_EQ(ImageView_Image(), nullptr);
  EXPECT_EQ(State().imageWidth, 0);
  EXPECT_EQ(ImageView_Mode(), kViewActualSize);
  EXPECT_EQ(State().client.right, ViewClient().right);
  Open(64, 32);
  ImageView_SetMode(kViewFitWidth);
  EXPECT_FLOAT_EQ(ImageView_Zoom(), static_cast<float>(ViewClient().right) / 64.0f);
}

TEST_F(ViewTest, RepaintAfterAnInPlaceChangeShowsTheNewPixels) {
  Settings().msState = 0;
  Open(64, 64);
  // Darken the top-left pixel in the display bitmap as an inversion would, then repaint.
  ASSERT_EQ(GfxImage_Invert(image_), 1);
  ImageView_RepaintPicture();
  const COLORREF before = PictureColour(0, 0);
  EXPECT_COLOUR(ViewPixel(0, 0), RGB(255 - GetRValue(before), 255 - GetGValue(before), 255 - GetBValue(before)));
  ASSERT_EQ(GfxImage_Invert(image_), 1);
  ImageView_RepaintImage();
  EXPECT_COLOUR(ViewPixel(0, 0), before);
}

}  // namespace
}  // namespace lmx::test
