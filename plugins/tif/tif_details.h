// The facts of one directory of a TIFF file read from its tags: compression and predictor,
// samples and photometric interpretation, resolution and unit, the page count, and the
// camera's facts of the directory and its EXIF and GPS directories.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/common/file_details.h"

namespace lmx::tif {

// false when the bytes are no TIFF structure or hold no directory `index`.
bool DescribeTiff(const uint8_t* data, size_t size, uint32_t index, FileDetails& out);

}  // namespace lmx::tif
