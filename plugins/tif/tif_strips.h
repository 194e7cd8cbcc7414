// A page whose strips decode straight into the picture's rows: on threads of their own for a
// large page whose file is all in memory.
#pragma once

#include <cstdint>

#include "plugins/tif/tif_file.h"

namespace lmx::tif {

struct StripRows {
  uint32_t width;
  uint32_t height;
  uint16_t depth;        // 1, 4, 8 or 24 (red, green, blue, turned to blue, green, red)
  uint32_t stripHeight;  // rows a strip holds
  uint64_t rowBytes;     // a row as stored, the same as the picture's
};

// The page `file` is at, strip by strip into the bottom-up rows at `pixels`. False when a
// strip will not decode (damaged, cut short): the rows are then not whole.
bool DecodeStripRows(const TiffFile& file, const StripRows& page, uint8_t* pixels);

}  // namespace lmx::tif
