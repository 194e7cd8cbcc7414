// The camera's facts of a TIFF directory, its EXIF directory and its GPS directory, in the
// forms photographers read.
#include <cmath>

#include "plugins/common/tiff_fields.h"

namespace lmx {
namespace {

namespace tag {
constexpr uint16_t kDescription = 0x010E, kMake = 0x010F, kModel = 0x0110, kOrientation = 0x0112,
                   kSoftware = 0x0131, kDateTime = 0x0132, kArtist = 0x013B, kCopyright = 0x8298,
                   kExifDirectory = 0x8769, kGpsDirectory = 0x8825;
constexpr uint16_t kExposureTime = 0x829A, kFNumber = 0x829D, kIso = 0x8827, kDateTimeOriginal = 0x9003,
                   kFlash = 0x9209, kFocalLength = 0x920A, kLensModel = 0xA434;
constexpr uint16_t kLatitudeRef = 1, kLatitude = 2, kLongitudeRef = 3, kLongitude = 4, kAltitudeRef = 5,
                   kAltitude = 6;
}  // namespace tag

const char* const kOrientations[] = {
    "", "Normal", "Mirrored", "Rotated 180\xC2\xB0", "Flipped", "Mirrored, rotated 270\xC2\xB0 clockwise",
    "Rotated 90\xC2\xB0 clockwise", "Mirrored, rotated 90\xC2\xB0 clockwise", "Rotated 270\xC2\xB0 clockwise",
};

bool SubDirectory(const TiffFields& fields, const TiffDirectory& directory, uint16_t pointer, TiffDirectory* sub) {
  double offset;
  return fields.Number(directory, pointer, &offset) && offset >= 0 && offset < 1e18 &&
         fields.Directory(static_cast<uint64_t>(offset), sub);
}

std::string Exposure(double seconds) {
  if (!(seconds > 0) || seconds > 1e6) return {};
  if (seconds < 0.25) return Printf("1/%.0f s", 1 / seconds);
  return Decimal(seconds, 1) + " s";
}

std::string Flash(uint32_t value) {
  if (value & 0x20) return "No flash function";
  std::string text = (value & 1) ? "Fired" : "Did not fire";
  if ((value >> 3 & 3) == 3) text += ", auto";
  if (value & 0x40) text += ", red-eye reduction";
  return text;
}

// "51° 30' 26.4\" N" from GPS's degrees, minutes and seconds and its reference letter.
std::string Position(const TiffFields& fields, const TiffDirectory& gps, uint16_t valueTag, uint16_t refTag,
                     const char* positive, const char* negative) {
  TiffField field;
  double parts[3] = {0, 0, 0};
  if (!fields.Find(gps, valueTag, &field) || !fields.Number(field, 0, &parts[0])) return {};
  fields.Number(field, 1, &parts[1]);
  fields.Number(field, 2, &parts[2]);
  double degrees = parts[0] + parts[1] / 60 + parts[2] / 3600;
  if (!(degrees >= 0 && degrees <= 180)) return {};
  const std::string ref = fields.Text(gps, refTag);
  const char* side = ref == negative ? negative : positive;
  const double total = std::round(degrees * 36000);  // tenths of a second
  const int whole = static_cast<int>(total / 36000);
  const int minutes = static_cast<int>(std::fmod(total, 36000) / 600);
  const double seconds = std::fmod(total, 600) / 10;
  return Printf("%d\xC2\xB0 %d' %s\" %s", whole, minutes, Decimal(seconds, 1).c_str(), side);
}

void DescribeGps(const TiffFields& fields, const TiffDirectory& gps, FileDetails& out) {
  out.Add(detail_key::kLatitude, Position(fields, gps, tag::kLatitude, tag::kLatitudeRef, "N", "S"));
  out.Add(detail_key::kLongitude, Position(fields, gps, tag::kLongitude, tag::kLongitudeRef, "E", "W"));
  double altitude;
  if (fields.Number(gps, tag::kAltitude, &altitude)) {
    uint32_t below = 0;
    fields.Unsigned(gps, tag::kAltitudeRef, &below);
    const std::string metres = Decimal(below == 1 ? -altitude : altitude, 1);
    if (!metres.empty()) out.Add(detail_key::kAltitude, metres + " m");
  }
}

}  // namespace

void DescribeCamera(const TiffFields& fields, const TiffDirectory& directory, FileDetails& out) {
  TiffDirectory exif{}, gps{};
  const bool hasExif = SubDirectory(fields, directory, tag::kExifDirectory, &exif);
  const bool hasGps = SubDirectory(fields, directory, tag::kGpsDirectory, &gps);
  if (hasExif) out.Add(detail_key::kDateTaken, fields.Text(exif, tag::kDateTimeOriginal));
  out.Add(detail_key::kDateTaken, fields.Text(directory, tag::kDateTime));
  out.Add(detail_key::kMake, fields.Text(directory, tag::kMake));
  out.Add(detail_key::kModel, fields.Text(directory, tag::kModel));
  if (hasExif) {
    out.Add(detail_key::kLens, fields.Text(exif, tag::kLensModel));
    double value;
    uint32_t whole;
    if (fields.Number(exif, tag::kExposureTime, &value)) out.Add(detail_key::kExposure, Exposure(value));
    if (fields.Number(exif, tag::kFNumber, &value) && value > 0) {
      const std::string f = Decimal(value, 1);
      if (!f.empty()) out.Add(detail_key::kFNumber, "f/" + f);
    }
    if (fields.Unsigned(exif, tag::kIso, &whole) && whole) out.Add(detail_key::kIso, Printf("%u", whole));
    if (fields.Number(exif, tag::kFocalLength, &value) && value > 0) {
      const std::string mm = Decimal(value, 1);
      if (!mm.empty()) out.Add(detail_key::kFocalLength, mm + " mm");
    }
    if (fields.Unsigned(exif, tag::kFlash, &whole)) out.Add(detail_key::kFlash, Flash(whole));
  }
  uint32_t orientation;
  if (fields.Unsigned(directory, tag::kOrientation, &orientation) && orientation >= 1 && orientation <= 8) {
    out.Add(detail_key::kOrientation, kOrientations[orientation]);
  }
  if (hasGps) DescribeGps(fields, gps, out);
  out.Add(detail_key::kDescription, fields.Text(directory, tag::kDescription));
  out.Add(detail_key::kAuthor, fields.Text(directory, tag::kArtist));
  out.Add(detail_key::kCopyright, fields.Text(directory, tag::kCopyright));
  out.Add(detail_key::kSoftware, fields.Text(directory, tag::kSoftware));
}

bool DescribeExif(const uint8_t* data, size_t size, FileDetails& out) {
  const TiffFields fields(data, size);
  TiffDirectory first;
  if (!fields.Valid() || !fields.Directory(fields.FirstDirectoryOffset(), &first)) return false;
  DescribeCamera(fields, first, out);
  return true;
}

}  // namespace lmx
