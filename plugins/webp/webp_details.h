// The facts of a WebP file read from its chunks, never decoding pixels: the kind of
// bitstream, the canvas, alpha, the frames and loops of an animation, and the EXIF block.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/common/file_details.h"

namespace lmx::webp {

// false when the bytes are no RIFF WebP file with a known first chunk; `index` is not used.
bool DescribeWebp(const uint8_t* data, size_t size, uint32_t index, FileDetails& out);

}  // namespace lmx::webp
