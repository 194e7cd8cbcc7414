#include "plugins/common/tiff_fields.h"

#include <cstring>
#include <unordered_set>

namespace lmx {

unsigned TiffTypeSize(uint16_t type) {
  switch (type) {
    case kTiffByte: case kTiffAscii: case kTiffSByte: case kTiffUndefined:
      return 1;
    case kTiffShort: case kTiffSShort:
      return 2;
    case kTiffLong: case kTiffSLong: case kTiffFloat: case kTiffIfd:
      return 4;
    case kTiffRational: case kTiffSRational: case kTiffDouble:
      return 8;
    default:
      return 0;
  }
}

TiffFields::TiffFields(const uint8_t* data, size_t size) : data_(data), size_(data ? size : 0) {
  if (size_ < 8) return;
  if (std::memcmp(data_, "II", 2) == 0) {
    big_ = false;
  } else if (std::memcmp(data_, "MM", 2) == 0) {
    big_ = true;
  } else {
    return;
  }
  valid_ = U16(2) == 42;
  first_ = U32(4);
}

uint16_t TiffFields::U16(size_t at) const {
  return big_ ? static_cast<uint16_t>(data_[at] << 8 | data_[at + 1]) : static_cast<uint16_t>(data_[at] | data_[at + 1] << 8);
}

uint32_t TiffFields::U32(size_t at) const {
  return big_ ? uint32_t{U16(at)} << 16 | U16(at + 2) : U16(at) | uint32_t{U16(at + 2)} << 16;
}

bool TiffFields::Directory(uint32_t offset, TiffDirectory* directory) const {
  if (!valid_ || offset < 8 || !Has(offset, 2)) return false;
  const uint64_t fit = (size_ - offset - 2) / 12;
  uint64_t entries = U16(offset);
  if (entries > fit) entries = fit;
  if (entries > kMaxDirectoryEntries) entries = kMaxDirectoryEntries;
  directory->at = offset + size_t{2};
  directory->entries = static_cast<uint32_t>(entries);
  return true;
}

uint32_t TiffFields::NextOffset(const TiffDirectory& directory) const {
  const size_t count = U16(directory.at - 2);
  const uint64_t at = directory.at + uint64_t{count} * 12;
  return Has(at, 4) ? U32(at) : 0;
}

bool TiffFields::NthDirectory(uint32_t index, TiffDirectory* directory) const {
  std::unordered_set<uint32_t> seen;
  uint32_t offset = first_;
  for (uint32_t i = 0; i < kMaxDirectories; ++i) {
    if (!seen.insert(offset).second || !Directory(offset, directory)) return false;
    if (i == index) return true;
    offset = NextOffset(*directory);
  }
  return false;
}

uint32_t TiffFields::DirectoryCount() const {
  std::unordered_set<uint32_t> seen;
  uint32_t offset = first_;
  TiffDirectory directory;
  uint32_t count = 0;
  while (count < kMaxDirectories && seen.insert(offset).second && Directory(offset, &directory)) {
    ++count;
    offset = NextOffset(directory);
  }
  return count;
}

bool TiffFields::Find(const TiffDirectory& directory, uint16_t tag, TiffField* field) const {
  for (uint32_t i = 0; i < directory.entries; ++i) {
    const size_t entry = directory.at + size_t{i} * 12;
    if (U16(entry) != tag) continue;
    const uint16_t type = U16(entry + 2);
    const unsigned typeSize = TiffTypeSize(type);
    const uint32_t count = U32(entry + 4);
    if (!typeSize || !count) return false;
    const uint64_t bytes = uint64_t{count} * typeSize;
    const size_t at = bytes <= 4 ? entry + 8 : U32(entry + 8);
    if (at >= size_) return false;
    field->tag = tag;
    field->type = type;
    field->at = at;
    const uint64_t fit = (size_ - at) / typeSize;
    field->count = static_cast<uint32_t>(count < fit ? count : fit);
    return field->count > 0;
  }
  return false;
}

bool TiffFields::Number(const TiffField& field, uint32_t index, double* value) const {
  if (index >= field.count) return false;
  const size_t at = field.at + size_t{index} * TiffTypeSize(field.type);
  switch (field.type) {
    case kTiffByte: case kTiffUndefined:
      *value = data_[at];
      return true;
    case kTiffSByte:
      *value = static_cast<int8_t>(data_[at]);
      return true;
    case kTiffShort:
      *value = U16(at);
      return true;
    case kTiffSShort:
      *value = static_cast<int16_t>(U16(at));
      return true;
    case kTiffLong: case kTiffIfd:
      *value = U32(at);
      return true;
    case kTiffSLong:
      *value = static_cast<int32_t>(U32(at));
      return true;
    case kTiffRational: case kTiffSRational: {
      const bool sign = field.type == kTiffSRational;
      const double num = sign ? static_cast<int32_t>(U32(at)) : U32(at);
      const double den = sign ? static_cast<int32_t>(U32(at + 4)) : U32(at + 4);
      if (den == 0) return false;
      *value = num / den;
      return true;
    }
    case kTiffFloat: {
      const uint32_t bits = U32(at);
      float f;
      std::memcpy(&f, &bits, 4);
      *value = f;
      return f == f;
    }
    case kTiffDouble: {
      const uint64_t bits = uint64_t{U32(at)} << 32 | U32(at + 4);
      const uint64_t ordered = big_ ? bits : (bits >> 32 | bits << 32);
      double d;
      std::memcpy(&d, &ordered, 8);
      *value = d;
      return d == d;
    }
    default:
      return false;
  }
}

bool TiffFields::Unsigned(const TiffField& field, uint32_t index, uint32_t* value) const {
  double number;
  if (!Number(field, index, &number) || !(number >= 0 && number <= 4294967295.0)) return false;
  *value = static_cast<uint32_t>(number);
  return true;
}

bool TiffFields::Number(const TiffDirectory& directory, uint16_t tag, double* value) const {
  TiffField field;
  return Find(directory, tag, &field) && Number(field, 0, value);
}

bool TiffFields::Unsigned(const TiffDirectory& directory, uint16_t tag, uint32_t* value) const {
  TiffField field;
  return Find(directory, tag, &field) && Unsigned(field, 0, value);
}

std::string TiffFields::Text(const TiffField& field, TextEncoding encoding) const {
  if (TiffTypeSize(field.type) != 1) return {};
  return CleanText(data_ + field.at, field.count, encoding);
}

std::string TiffFields::Text(const TiffDirectory& directory, uint16_t tag) const {
  TiffField field;
  return Find(directory, tag, &field) ? Text(field, TextEncoding::kUtf8) : std::string();
}

std::string ResolutionText(double x, double y, uint32_t unit) {
  if (!(x > 0) || !(y > 0)) return {};
  const std::string across = Decimal(x, 2), down = Decimal(y, 2);
  if (across.empty() || down.empty()) return {};
  const std::string sizes = across + " x " + down;
  switch (unit) {
    case 1:
      return sizes;
    case 3:
      return sizes + " dots per cm";
    default:
      return sizes + " dpi";
  }
}

}  // namespace lmx
