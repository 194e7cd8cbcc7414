// The facts of a Windows or OS/2 bitmap read from its headers: the header kind, compression,
// depth and alpha, and resolution.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/common/file_details.h"

namespace lmx::bmp {

// false when the bytes are no bitmap; `index` is not used (one picture).
bool DescribeBmp(const uint8_t* data, size_t size, uint32_t index, FileDetails& out);

}  // namespace lmx::bmp
