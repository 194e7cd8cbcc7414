// The facts of a PCX file read from its header: version, encoding, planes and depth, and
// resolution.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/common/file_details.h"

namespace lmx::pcx {

// false when the bytes are no PCX file; `index` is not used (one picture).
bool DescribePcx(const uint8_t* data, size_t size, uint32_t index, FileDetails& out);

}  // namespace lmx::pcx
