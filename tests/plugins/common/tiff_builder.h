// Writes small TIFF structures for the tests: directories of fields and their strips, chained,
// little-endian.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace lmx::test {

struct TestField {
  uint16_t tag;
  uint16_t type;
  uint32_t count;
  std::vector<uint8_t> value;  // the bytes, in place when 4 or fewer
};

TestField Ascii(uint16_t tag, const std::string& text);  // with its NUL
TestField Short(uint16_t tag, uint16_t value);
TestField Shorts(uint16_t tag, const std::vector<uint16_t>& values);
TestField Long(uint16_t tag, uint32_t value);
TestField Longs(uint16_t tag, const std::vector<uint32_t>& values);
TestField Rationals(uint16_t tag, std::vector<std::pair<uint32_t, uint32_t>> values);

class TiffBuilder {
 public:
  // Adds a directory and returns its number; its fields are written in tag order. A LONG field
  // of tag 0x8769 or 0x8825 whose value is a directory number is pointed at that directory.
  // The `strips` are written apart, pointed at by the fields `offsetsTag` and `countsTag`
  // (StripOffsets and StripByteCounts, or a tile's) unless `fields` give these themselves.
  size_t AddDirectory(std::vector<TestField> fields, std::vector<std::vector<uint8_t>> strips = {},
                      uint16_t offsetsTag = 273, uint16_t countsTag = 279);
  // Directory `from` points at `to` as its next one (the first is chained to nothing else).
  void Chain(size_t from, size_t to) { next_[from] = to + 1; }
  std::vector<uint8_t> Bytes() const;

 private:
  struct Directory {
    std::vector<TestField> fields;
    std::vector<std::vector<uint8_t>> strips;
    uint16_t offsetsTag, countsTag;
  };
  std::vector<Directory> directories_;
  std::vector<size_t> next_;  // 1 + the next directory, 0 for none
};

// A JPEG file's first bytes: SOI, APP1 with `exif`, a baseline frame of three components
// (luma sampled `h` x `v`), and SOS.
std::vector<uint8_t> JpegWithExif(const std::vector<uint8_t>& exif, int h, int v);

}  // namespace lmx::test
