// The facts of a GIF file read from its blocks without decoding an image: its version, the
// frames, the colour table, interlacing and the first comment.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/common/file_details.h"

namespace lmx::gif {

// false when the bytes are no GIF file; `index` is not used (one picture).
bool DescribeGif(const uint8_t* data, size_t size, uint32_t index, FileDetails& out);

}  // namespace lmx::gif
