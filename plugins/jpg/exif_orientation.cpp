#include "plugins/jpg/exif_orientation.h"

#include <cstring>

#include "plugins/common/tiff_fields.h"

namespace lmx::jpg {
namespace {

constexpr uint16_t kOrientationTag = 0x0112;
constexpr size_t kSignatureSize = 6;  // "Exif\0\0"

}  // namespace

int ExifOrientation(const uint8_t* segment, size_t size) {
  if (size < kSignatureSize + 8 || std::memcmp(segment, "Exif\0\0", kSignatureSize) != 0) return kUpright;
  // The TIFF structure after the signature, every field read only inside the segment.
  const TiffFields fields(segment + kSignatureSize, size - kSignatureSize);
  TiffDirectory first;
  TiffField field;
  uint32_t value;
  if (!fields.Valid() || fields.BigTiff() || !fields.Directory(fields.FirstDirectoryOffset(), &first) ||
      !fields.Find(first, kOrientationTag, &field) || field.type != kTiffShort || !fields.Unsigned(field, 0, &value)) {
    return kUpright;
  }
  return value >= 1 && value <= 8 ? static_cast<int>(value) : kUpright;
}

}  // namespace lmx::jpg
