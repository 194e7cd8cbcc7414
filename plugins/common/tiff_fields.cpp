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
    case kTiffRational: case kTiffSRational: case kTiffDouble: case kTiffLong8: case kTiffSLong8: case kTiffIfd8:
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
  if (U16(2) == 42) {
    valid_ = true;
    first_ = U32(4);
  } else if (U16(2) == 43 && size_ >= 16 && U16(4) == 8 && U16(6) == 0) {
    valid_ = wide_ = true;
    first_ = U64(8);
  }
}

uint16_t TiffFields::U16(size_t at) const {
  return big_ ? static_cast<uint16_t>(data_[at] << 8 | data_[at + 1])
              : static_cast<uint16_t>(data_[at] | data_[at + 1] << 8);
}

uint32_t TiffFields::U32(size_t at) const {
  return big_ ? uint32_t{U16(at)} << 16 | U16(at + 2) : U16(at) | uint32_t{U16(at + 2)} << 16;
}

uint64_t TiffFields::U64(size_t at) const {
  return big_ ? uint64_t{U32(at)} << 32 | U32(at + 4) : U32(at) | uint64_t{U32(at + 4)} << 32;
}

bool TiffFields::Directory(uint64_t offset, TiffDirectory* directory) const {
  const unsigned countBytes = wide_ ? 8 : 2, entryBytes = wide_ ? 20 : 12;
  if (!valid_ || offset < 8 || !Has(offset, countBytes)) return false;
  const uint64_t stated = wide_ ? U64(offset) : U16(offset);
  const uint64_t fit = (size_ - offset - countBytes) / entryBytes;
  uint64_t entries = stated < fit ? stated : fit;
  if (entries > kMaxDirectoryEntries) entries = kMaxDirectoryEntries;
  directory->at = static_cast<size_t>(offset + countBytes);
  directory->entries = static_cast<uint32_t>(entries);
  // Where the stated count puts the next offset; a count past the bytes puts it past them too.
  directory->next = stated < fit ? directory->at + stated * entryBytes : UINT64_MAX;
  return true;
}

uint64_t TiffFields::NextOffset(const TiffDirectory& directory) const {
  if (wide_) return Has(directory.next, 8) ? U64(directory.next) : 0;
  return Has(directory.next, 4) ? U32(directory.next) : 0;
}

bool TiffFields::NthDirectory(uint32_t index, TiffDirectory* directory) const {
  std::unordered_set<uint64_t> seen;
  uint64_t offset = first_;
  for (uint32_t i = 0; i < kMaxDirectories; ++i) {
    if (!seen.insert(offset).second || !Directory(offset, directory)) return false;
    if (i == index) return true;
    offset = NextOffset(*directory);
  }
  return false;
}

uint32_t TiffFields::DirectoryCount() const {
  std::unordered_set<uint64_t> seen;
  uint64_t offset = first_;
  TiffDirectory directory;
  uint32_t count = 0;
  while (count < kMaxDirectories && seen.insert(offset).second && Directory(offset, &directory)) {
    ++count;
    offset = NextOffset(directory);
  }
  return count;
}

bool TiffFields::Find(const TiffDirectory& directory, uint16_t tag, TiffField* field) const {
  const unsigned entryBytes = wide_ ? 20 : 12, inlineBytes = wide_ ? 8 : 4;
  for (uint32_t i = 0; i < directory.entries; ++i) {
    const size_t entry = directory.at + size_t{i} * entryBytes;
    if (U16(entry) != tag) continue;
    const uint16_t type = U16(entry + 2);
    const unsigned typeSize = TiffTypeSize(type);
    const uint64_t count = wide_ ? U64(entry + 4) : U32(entry + 4);
    if (!typeSize || !count || count > UINT32_MAX) return false;
    const size_t valueAt = entry + 4 + inlineBytes;
    const uint64_t bytes = count * typeSize;
    const uint64_t at = bytes <= inlineBytes ? valueAt : (wide_ ? U64(valueAt) : U32(valueAt));
    if (at >= size_) return false;
    field->tag = tag;
    field->type = type;
    field->at = static_cast<size_t>(at);
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
    case kTiffLong8: case kTiffIfd8:
      *value = static_cast<double>(U64(at));
      return true;
    case kTiffSLong8:
      *value = static_cast<double>(static_cast<int64_t>(U64(at)));
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
      const uint64_t bits = U64(at);
      double d;
      std::memcpy(&d, &bits, 8);
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
