// The orientation an EXIF block records (tag 0x0112 of its first directory): how the stored
// rows must be turned to show the picture upright.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lmx::jpg {

// 1 upright, 2 mirrored, 3 half turn, 4 flipped, 5 transposed, 6 turned clockwise to show,
// 7 transversed, 8 turned counter-clockwise to show.
constexpr int kUpright = 1;

// The orientation in the payload of an APP1 segment ("Exif\0\0" and a TIFF structure); 1 when
// the segment is not EXIF, holds no orientation or holds a value outside 1-8.
int ExifOrientation(const uint8_t* segment, size_t size);

}  // namespace lmx::jpg
