// The facts of a JPEG file read from its markers before the first scan: the process and
// subsampling, precision and components, the JFIF density, the comment and the EXIF block.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/common/file_details.h"

namespace lmx::jpg {

// false when the bytes do not start as a JPEG file; `index` is not used (one picture).
bool DescribeJpeg(const uint8_t* data, size_t size, uint32_t index, FileDetails& out);

}  // namespace lmx::jpg
