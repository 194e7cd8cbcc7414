#include "plugins/jpg/exif_orientation.h"

#include <cstring>

namespace lmx::jpg {
namespace {

constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kTypeShort = 3;
constexpr size_t kSignatureSize = 6;  // "Exif\0\0"

// Fields of the TIFF structure in its own byte order, each read only inside the block.
class TiffView {
 public:
  TiffView(const uint8_t* data, size_t size, bool bigEndian) : data_(data), size_(size), big_(bigEndian) {}
  bool Has(uint64_t at, uint64_t bytes) const { return at <= size_ && bytes <= size_ - at; }
  uint16_t U16(size_t at) const {
    return big_ ? static_cast<uint16_t>(data_[at] << 8 | data_[at + 1])
                : static_cast<uint16_t>(data_[at] | data_[at + 1] << 8);
  }
  uint32_t U32(size_t at) const {
    return big_ ? uint32_t{U16(at)} << 16 | U16(at + 2) : U16(at) | uint32_t{U16(at + 2)} << 16;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  bool big_;
};

}  // namespace

int ExifOrientation(const uint8_t* segment, size_t size) {
  if (size < kSignatureSize + 8 || std::memcmp(segment, "Exif\0\0", kSignatureSize) != 0) return kUpright;
  const uint8_t* tiff = segment + kSignatureSize;
  const size_t tiffSize = size - kSignatureSize;
  bool bigEndian;
  if (tiff[0] == 'I' && tiff[1] == 'I') {
    bigEndian = false;
  } else if (tiff[0] == 'M' && tiff[1] == 'M') {
    bigEndian = true;
  } else {
    return kUpright;
  }
  const TiffView view(tiff, tiffSize, bigEndian);
  if (view.U16(2) != 42) return kUpright;
  const uint32_t directory = view.U32(4);
  if (!view.Has(directory, 2)) return kUpright;
  const uint16_t entries = view.U16(directory);
  // Only as many entries as the segment holds are looked at.
  for (uint32_t i = 0; i < entries; ++i) {
    const uint64_t at = uint64_t{directory} + 2 + uint64_t{i} * 12;
    if (!view.Has(at, 12)) break;
    if (view.U16(at) != kOrientationTag) continue;
    if (view.U16(at + 2) != kTypeShort || view.U32(at + 4) < 1) return kUpright;
    const uint16_t value = view.U16(at + 8);
    return value >= 1 && value <= 8 ? value : kUpright;
  }
  return kUpright;
}

}  // namespace lmx::jpg
