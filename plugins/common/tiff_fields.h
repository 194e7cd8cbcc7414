// The fields of a TIFF structure (a TIFF or BigTIFF file, or the EXIF block of a JPEG or PNG
// file) read in place. Nothing is trusted: every offset and count is checked against the bytes, a
// directory is read up to kMaxDirectoryEntries entries, and a chain of directories is
// followed at most kMaxDirectories steps and never round a cycle.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "plugins/common/file_details.h"

namespace lmx {

constexpr uint32_t kMaxDirectoryEntries = 4096;
constexpr uint32_t kMaxDirectories = 65535;

// Field types of TIFF 6.0.
enum TiffType : uint16_t {
  kTiffByte = 1, kTiffAscii, kTiffShort, kTiffLong, kTiffRational, kTiffSByte, kTiffUndefined,
  kTiffSShort, kTiffSLong, kTiffSRational, kTiffFloat, kTiffDouble, kTiffIfd,
  kTiffLong8 = 16, kTiffSLong8, kTiffIfd8,  // BigTIFF's
};

struct TiffField {
  uint16_t tag = 0;
  uint16_t type = 0;
  uint32_t count = 0;  // values that lie inside the bytes (fewer than stated when cut)
  size_t at = 0;       // where the values start
};

// One directory: where its entries start, how many of them are read, and where the offset
// of the next directory lies.
struct TiffDirectory {
  size_t at = 0;
  uint32_t entries = 0;
  uint64_t next = 0;
};

class TiffFields {
 public:
  // Over a TIFF header ("II*\0" or "MM\0*", or BigTIFF's "II+\0" or "MM\0+") at `data`;
  // Valid() is false otherwise.
  TiffFields(const uint8_t* data, size_t size);

  bool Valid() const { return valid_; }
  bool BigTiff() const { return wide_; }
  uint64_t FirstDirectoryOffset() const { return first_; }
  // The directory at `offset`; false when its count lies outside the bytes.
  bool Directory(uint64_t offset, TiffDirectory* directory) const;
  // The directory `index` of the chain from the first one; false past the chain's end.
  bool NthDirectory(uint32_t index, TiffDirectory* directory) const;
  // The directories of the chain from the first one (a cycle ends it).
  uint32_t DirectoryCount() const;
  // The field `tag` of `directory`; false when missing, of an unknown type or with no value
  // inside the bytes.
  bool Find(const TiffDirectory& directory, uint16_t tag, TiffField* field) const;
  // Value `index` of a numeric field; false when it has none there.
  bool Number(const TiffField& field, uint32_t index, double* value) const;
  bool Unsigned(const TiffField& field, uint32_t index, uint32_t* value) const;
  // Shorthands: the first value of `tag` in `directory`.
  bool Number(const TiffDirectory& directory, uint16_t tag, double* value) const;
  bool Unsigned(const TiffDirectory& directory, uint16_t tag, uint32_t* value) const;
  // The bytes of an ASCII, BYTE or UNDEFINED field as cleaned text.
  std::string Text(const TiffField& field, TextEncoding encoding) const;
  std::string Text(const TiffDirectory& directory, uint16_t tag) const;

 private:
  bool Has(uint64_t at, uint64_t bytes) const { return at <= size_ && bytes <= size_ - at; }
  uint16_t U16(size_t at) const;
  uint32_t U32(size_t at) const;
  uint64_t U64(size_t at) const;
  uint64_t NextOffset(const TiffDirectory& directory) const;

  const uint8_t* data_;
  size_t size_;
  bool big_ = false;   // big-endian ("MM")
  bool wide_ = false;  // BigTIFF: 8-byte counts and offsets, 20-byte entries
  bool valid_ = false;
  uint64_t first_ = 0;
};

// Bytes of one value of a field type; 0 for an unknown type.
unsigned TiffTypeSize(uint16_t type);

// "300 x 300 dpi", "118.11 x 118.11 dots per cm" or "72 x 72" (unit 1: no unit), from TIFF's
// XResolution, YResolution and ResolutionUnit (2 inch, 3 centimetre).
std::string ResolutionText(double x, double y, uint32_t unit);

// The camera's facts in a TIFF directory and the EXIF and GPS directories it points to: date
// taken, make, model, lens, exposure, f-number, ISO, focal length, flash, orientation, GPS
// position, description, author, copyright, software.
void DescribeCamera(const TiffFields& fields, const TiffDirectory& directory, FileDetails& out);

// The camera's facts in an EXIF block: a TIFF structure whose first directory holds them
// (a PNG eXIf chunk, or a JPEG APP1 segment after its "Exif\0\0"). False when it is none.
bool DescribeExif(const uint8_t* data, size_t size, FileDetails& out);

}  // namespace lmx
