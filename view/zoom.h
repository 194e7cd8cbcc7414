// The zoom rules of the image view: the fit factors with their clamp, the steps of zoom in
// and zoom out, the percentage text, and the part of the picture a view shows at a zoom.
#pragma once

#include <windows.h>

namespace lmx {

constexpr float kZoomMin = 0.167f;
constexpr float kFitZoomMin = 1.0f / 64;  // the fit modes go below kZoomMin down to this
constexpr float kZoomMax = 8.0f;
constexpr int kZoomStepCount = 10;
extern const float ZoomSteps[kZoomStepCount];

// 1.0 / (imageSize / clientSize) in single precision, clamped to 0.167 .. 8.0 (the lower
// bound compared in double precision), except that a picture more than six times the view
// fits too: its factor goes below 0.167 down to kFitZoomMin. A picture or view without extent
// gives 1.0.
float FitZoom(int imageSize, int clientSize);
// Below 0.167 (double) becomes 0.167f, above 8.0 becomes 8.0.
float ClampZoom(float zoom);

// The first step greater than `zoom`, else 8.0.
float ZoomStepIn(float zoom);
// The step before the first step that is not smaller than `zoom`; 0.167 at the bottom, and a
// zoom already below it stays.
float ZoomStepOut(float zoom);

// trunc(zoom x 100) as "%d%%", into `text` of `chars` characters.
void FormatZoomText(float zoom, wchar_t* text, int chars);
// What the zoom dialog accepts: at most 7 characters read as a number (wcstod stops at the
// "%"), times 0.01 in single precision, within 0.167 .. 8.0 compared in double precision.
bool ParseZoomText(const wchar_t* text, float* zoom);

// What a view of `clientWidth` x `clientHeight` shows of an image at `zoom` with the given
// offsets (display pixels): the source rectangle in image pixels and the destination from
// the view's top-left corner. The source never reaches past the image.
void ComputeSourceAndDestination(float zoom, int horzOffset, int vertOffset, int clientWidth, int clientHeight,
                                 int imageWidth, int imageHeight, RECT* source, RECT* destination);

}  // namespace lmx
