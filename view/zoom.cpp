#include "view/zoom.h"

#include <cwchar>

namespace lmx {

const float ZoomSteps[kZoomStepCount] = {0.167f, 0.25f, 0.33f, 0.5f, 0.66f, 1.0f, 2.0f, 3.0f, 4.0f, 8.0f};

float ClampZoom(float zoom) {
  if (static_cast<double>(zoom) < 0.167) return kZoomMin;
  if (zoom > kZoomMax) return kZoomMax;
  return zoom;
}

float FitZoom(int imageSize, int clientSize) {
  if (imageSize <= 0 || clientSize <= 0) return 1.0f;
  const float ratio = static_cast<float>(imageSize) / static_cast<float>(clientSize);
  const float fit = 1.0f / ratio;
  if (static_cast<double>(fit) < 0.167) return fit < kFitZoomMin ? kFitZoomMin : fit;
  return ClampZoom(fit);
}

float ZoomStepIn(float zoom) {
  for (float step : ZoomSteps) {
    if (step > zoom) return step;
  }
  return kZoomMax;
}

float ZoomStepOut(float zoom) {
  if (zoom < ZoomSteps[0]) return zoom;  // a fit below the steps: nothing smaller to go to
  for (int i = 0; i < kZoomStepCount; ++i) {
    if (!(ZoomSteps[i] < zoom)) return i == 0 ? ZoomSteps[0] : ZoomSteps[i - 1];
  }
  return ZoomSteps[kZoomStepCount - 1];
}

void FormatZoomText(float zoom, wchar_t* text, int chars) {
  if (!text || chars <= 0) return;
  const float percent = zoom * 100.0f;
  swprintf(text, static_cast<size_t>(chars), L"%d%%", static_cast<int>(percent));
}

bool ParseZoomText(const wchar_t* text, float* zoom) {
  if (!text) return false;
  wchar_t bounded[8] = {};
  wcsncpy(bounded, text, 7);
  const float entered = static_cast<float>(wcstod(bounded, nullptr)) * 0.01f;
  const double wide = entered;
  if (!(wide >= 0.167 && wide <= 8.0)) return false;
  if (zoom) *zoom = entered;
  return true;
}

namespace {

// Image pixels covered by `clientSize` display pixels: rounded up, at most the image.
int SourceExtent(int clientSize, float ratio, int imageSize) {
  const float exact = static_cast<float>(clientSize) * ratio;
  int extent = static_cast<int>(exact);
  if (static_cast<float>(extent) < exact) ++extent;
  return extent < imageSize ? extent : imageSize;
}

// The first image pixel shown at `offset`, and how many follow, kept inside the image.
void SourceSpan(int offset, float ratio, int clientSize, int imageSize, LONG* start, LONG* end) {
  int first = static_cast<int>(static_cast<float>(offset) * ratio);
  if (first < 0) first = 0;
  if (first > imageSize) first = imageSize;
  int extent = SourceExtent(clientSize, ratio, imageSize);
  if (first + extent > imageSize) extent = imageSize - first;
  *start = first;
  *end = first + extent;
}

}  // namespace

void ComputeSourceAndDestination(float zoom, int horzOffset, int vertOffset, int clientWidth, int clientHeight,
                                 int imageWidth, int imageHeight, RECT* source, RECT* destination) {
  const float ratio = 1.0f / zoom;
  SourceSpan(horzOffset, ratio, clientWidth, imageWidth, &source->left, &source->right);
  SourceSpan(vertOffset, ratio, clientHeight, imageHeight, &source->top, &source->bottom);
  destination->left = 0;
  destination->top = 0;
  destination->right = static_cast<LONG>(static_cast<float>(source->right - source->left) * zoom);
  destination->bottom = static_cast<LONG>(static_cast<float>(source->bottom - source->top) * zoom);
}

}  // namespace lmx
