// The zoom rules on their own: fit factors and their clamp, the steps, the percentage text,
// what the zoom dialog accepts, and the part of a picture a view shows.
#include <gtest/gtest.h>

#include "view/zoom.h"

namespace lmx::test {
namespace {

TEST(ZoomTest, FitIsTheViewOverThePictureInSinglePrecision) {
  EXPECT_EQ(FitZoom(480, 240), 0.5f);
  EXPECT_EQ(FitZoom(120, 240), 2.0f);
  EXPECT_EQ(FitZoom(1000, 296), 0.296f);
  EXPECT_EQ(FitZoom(0, 240), 1.0f);  // no picture: nothing to fit
  EXPECT_EQ(FitZoom(240, 0), 1.0f);
}

TEST(ZoomTest, FitIsClampedToEightTimesAndAPictureSixTimesTheViewStillFits) {
  EXPECT_EQ(FitZoom(1200, 240), 0.2f);
  EXPECT_EQ(FitZoom(1437, 240), 0.167014608f);  // just above the lowest step: as it is
  EXPECT_FLOAT_EQ(FitZoom(4000, 240), 0.06f);   // below the steps: what fits
  EXPECT_EQ(FitZoom(100000, 240), kFitZoomMin);  // down to a sixty-fourth
  EXPECT_EQ(FitZoom(10, 240), 8.0f);       // not 24
  EXPECT_EQ(FitZoom(30, 240), 8.0f);
  EXPECT_EQ(ClampZoom(0.167f), 0.167f);  // 0.167f lies below 0.167 and stays 0.167f
  EXPECT_LT(static_cast<double>(ClampZoom(0.01f)), 0.167);
  EXPECT_EQ(ClampZoom(8.5f), 8.0f);
  EXPECT_EQ(ClampZoom(0.5f), 0.5f);
}

TEST(ZoomTest, StepsClimbToEightAndFallToOneSixthAndStayAtBothEnds) {
  const float up[] = {0.25f, 0.33f, 0.5f, 0.66f, 1.0f, 2.0f, 3.0f, 4.0f, 8.0f, 8.0f};
  float zoom = 0.167f;
  for (float next : up) {
    zoom = ZoomStepIn(zoom);
    EXPECT_EQ(zoom, next);
  }
  const float down[] = {4.0f, 3.0f, 2.0f, 1.0f, 0.66f, 0.5f, 0.33f, 0.25f, 0.167f, 0.167f};
  for (float next : down) {
    zoom = ZoomStepOut(zoom);
    EXPECT_EQ(zoom, next);
  }
  // Between two steps: to the neighbours; outside the range: to its ends.
  EXPECT_EQ(ZoomStepIn(1.5f), 2.0f);
  EXPECT_EQ(ZoomStepIn(0.1f), 0.167f);
  EXPECT_EQ(ZoomStepIn(9.0f), 8.0f);
  EXPECT_EQ(ZoomStepOut(1.5f), 1.0f);
  EXPECT_EQ(ZoomStepOut(0.1f), 0.1f);  // a fit below the steps: nothing smaller to go to
  EXPECT_EQ(ZoomStepOut(20.0f), 8.0f);
}

TEST(ZoomTest, TextIsTheTruncatedPercentage) {
  const struct {
    float zoom;
    const wchar_t* text;
  } cases[] = {{0.167f, L"16%"}, {0.25f, L"25%"}, {0.33f, L"33%"}, {0.5f, L"50%"}, {0.66f, L"66%"},
               {1.0f, L"100%"}, {2.0f, L"200%"}, {3.0f, L"300%"}, {4.0f, L"400%"}, {8.0f, L"800%"},
               {1.2345f, L"123%"}};
  for (const auto& c : cases) {
    wchar_t text[16];
    FormatZoomText(c.zoom, text, 16);
    EXPECT_STREQ(text, c.text) << c.zoom;
  }
}

TEST(ZoomTest, DialogTextsBetweenSeventeenAndEightHundredAreAccepted) {
  float zoom = 0.0f;
  EXPECT_TRUE(ParseZoomText(L"800", &zoom));
  EXPECT_EQ(zoom, 8.0f);
  EXPECT_TRUE(ParseZoomText(L"800%", &zoom));
  EXPECT_TRUE(ParseZoomText(L"17%", &zoom));
  EXPECT_EQ(zoom, 0.17f);
  EXPECT_TRUE(ParseZoomText(L"150.5", &zoom));
  EXPECT_EQ(zoom, 1.505f);
  zoom = 3.0f;
  EXPECT_FALSE(ParseZoomText(L"801", &zoom));
  EXPECT_FALSE(ParseZoomText(L"16", &zoom));
  EXPECT_FALSE(ParseZoomText(L"16%", &zoom));  // what the clamp's 0.167 shows
  EXPECT_FALSE(ParseZoomText(L"", &zoom));
  EXPECT_FALSE(ParseZoomText(L"%", &zoom));
  EXPECT_FALSE(ParseZoomText(L"-100", &zoom));
  EXPECT_FALSE(ParseZoomText(L"nan", &zoom));
  EXPECT_FALSE(ParseZoomText(L"inf", &zoom));
  EXPECT_EQ(zoom, 3.0f);  // refusals leave the zoom alone
  // Only seven characters are read: "1000000" would be refused, its first seven are not.
  EXPECT_TRUE(ParseZoomText(L"100.000009", &zoom));
  EXPECT_EQ(zoom, 1.0f);
}

// The source rectangle covers the view, rounded up, and never reaches past the picture; the
// destination starts at the view's corner.
TEST(ZoomTest, SourceCoversTheViewWithinThePicture) {
  const struct {
    const char* what;
    float zoom;
    int x, y, viewWidth, viewHeight, width, height;
    RECT source, destination;  // -1: any
  } cases[] = {
      {"actual size", 1.0f, 0, 0, 240, 296, 600, 800, {0, -1, 240, 296}, {-1, -1, 240, 296}},
      // At 8 times, 240 / 8 = 30 columns; an offset of 20 display pixels starts at column 2.
      {"8 times", 8.0f, 20, 17, 240, 296, 600, 800, {2, 2, 32, 2 + 37}, {-1, -1, 240, 296}},
      {"296 / 3 has a fraction: one more row", 3.0f, 0, 0, 240, 296, 600, 800, {-1, -1, -1, 99}, {-1, -1, -1, 297}},
      {"a small picture: all of it, at the corner, not centred", 1.0f, 0, 0, 240, 296, 50, 30, {-1, -1, 50, 30},
       {-1, -1, 50, 30}},
      {"the last offset of a 3x zoom: the rounded-up width would pass the right edge", 3.0f, 1560, 0, 241, 296, 600,
       800, {520, -1, 600, -1}, {-1, -1, 240, -1}},
      {"offsets beyond the picture show nothing rather than garbage", 1.0f, 5000, 5000, 240, 296, 600, 800,
       {600, -1, 600, -1}, {-1, -1, 0, -1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RECT s{}, d{};
    ComputeSourceAndDestination(c.zoom, c.x, c.y, c.viewWidth, c.viewHeight, c.width, c.height, &s, &d);
    const LONG got[] = {s.left, s.top, s.right, s.bottom, d.left, d.top, d.right, d.bottom};
    const LONG want[] = {c.source.left,      c.source.top,      c.source.right,      c.source.bottom,
                         c.destination.left, c.destination.top, c.destination.right, c.destination.bottom};
    for (int i = 0; i < 8; ++i) {
      EXPECT_EQ(want[i] < 0 ? -1 : got[i], want[i]) << "field " << i;
    }
  }
}

}  // namespace
}  // namespace lmx::test
