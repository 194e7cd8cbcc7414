// Drawing a picture smaller than it is: the picture averaged by a whole factor once (so that
// thin lines stay as grey rather than vanish between the pixels a view samples), kept while
// the picture and the factor stay, then the pixels of that copy that land on the screen,
// then one unscaled blit.
#pragma once

#include <windows.h>

#include "picture/gfx_image.h"

namespace lmx {

// Draws `src` of the picture into `dst` when `dst` is smaller in both directions and the
// picture is uncompressed; false (nothing drawn) otherwise.
bool ShrinkToDevice(const GfxImage* image, HDC target, const RECT& dst, const RECT& src);
// Frees the averaged copy and the sampling bitmap kept between paints.
void ReleaseShrinkCache();

}  // namespace lmx
