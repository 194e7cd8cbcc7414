// Drawing a picture smaller than it is: nearest-neighbour sampling of only the source pixels
// that land on the screen, then one unscaled blit. The platform's shrinking StretchBlt walks
// every source row of the rectangle, which on a large picture costs milliseconds per paint.
#pragma once

#include <windows.h>

#include "picture/gfx_image.h"

namespace lmx {

// Draws `src` of the picture into `dst` when `dst` is smaller in both directions and the
// picture has 8, 16, 24 or 32 bits per pixel; false (nothing drawn) otherwise.
bool ShrinkToDevice(const GfxImage* image, HDC target, const RECT& dst, const RECT& src);
// Frees the sampling bitmap kept between paints.
void ReleaseShrinkCache();

}  // namespace lmx
