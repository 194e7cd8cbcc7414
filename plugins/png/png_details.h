// The facts of a PNG file read from its chunks, never inflating image data: the header, the
// physical pixel size, the animation's frames, the time, the texts (a compressed one inflated
// only as far as a value shows) and the EXIF block.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/common/file_details.h"

namespace lmx::png {

// false when the bytes do not start with PNG's signature and header; `index` is not used.
bool DescribePng(const uint8_t* data, size_t size, uint32_t index, FileDetails& out);

}  // namespace lmx::png
