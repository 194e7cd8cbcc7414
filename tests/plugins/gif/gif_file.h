// GIF files written field by field with a small LZW encoder of their own, for the GIF
// reader's tests and the plug-in's.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "tests/support/test_bytes.h"

namespace lmx::test {

// Packs codes least significant bit first, as GIF image data holds them.
class CodeWriter {
 public:
  void Put(uint32_t code, uint32_t size) {
    bits_ |= uint64_t{code} << held_;
    held_ += size;
    while (held_ >= 8) {
      bytes_.push_back(static_cast<uint8_t>(bits_));
      bits_ >>= 8;
      held_ -= 8;
    }
  }
  std::vector<uint8_t> Finish() {
    if (held_) bytes_.push_back(static_cast<uint8_t>(bits_));
    held_ = 0;
    bits_ = 0;
    return bytes_;
  }

 private:
  std::vector<uint8_t> bytes_;
  uint64_t bits_ = 0;
  uint32_t held_ = 0;
};

// Tracks the code size a decoder reads with: it grows when the decoder's next free code
// reaches the next power of two.
struct DecoderSize {
  uint32_t clear, next, size;
  bool first = true;
  explicit DecoderSize(uint32_t minSize) : clear(1u << minSize), next(clear + 2), size(minSize + 1) {}
  void Reset() {
    next = clear + 2;
    size = 0;
    while ((1u << size) <= clear) ++size;
    first = true;
  }
  // After the decoder has read one data code.
  void Read() {
    if (first) {
      first = false;
      return;
    }
    if (next < 4096) {
      ++next;
      if (next == (1u << size) && next < 4096) ++size;
    }
  }
};

// Plain LZW with a clear code at the start and whenever the table fills, and an end code.
inline std::vector<uint8_t> LzwEncode(const std::vector<uint8_t>& pixels, uint32_t minSize) {
  CodeWriter out;
  DecoderSize dec(minSize);
  const uint32_t clear = dec.clear, end = clear + 1;
  std::map<std::pair<uint32_t, uint8_t>, uint32_t> table;
  uint32_t next = clear + 2;
  out.Put(clear, dec.size);
  if (pixels.empty()) {
    out.Put(end, dec.size);
    return out.Finish();
  }
  uint32_t current = pixels[0];
  for (size_t i = 1; i < pixels.size(); ++i) {
    auto found = table.find({current, pixels[i]});
    if (found != table.end()) {
      current = found->second;
      continue;
    }
    out.Put(current, dec.size);
    dec.Read();
    if (next < 4096) {
      table[{current, pixels[i]}] = next++;
    } else {
      out.Put(clear, dec.size);
      dec.Reset();
      table.clear();
      next = clear + 2;
    }
    current = pixels[i];
  }
  out.Put(current, dec.size);
  dec.Read();
  out.Put(end, dec.size);
  return out.Finish();
}

inline std::vector<uint8_t> SubBlocks(const std::vector<uint8_t>& data, size_t chunk = 255) {
  std::vector<uint8_t> b;
  for (size_t at = 0; at < data.size(); at += chunk) {
    const size_t n = std::min(chunk, data.size() - at);
    b.push_back(static_cast<uint8_t>(n));
    b.insert(b.end(), data.begin() + at, data.begin() + at + n);
  }
  b.push_back(0);
  return b;
}

// n RGB entries: entry i is (i, 2i, 3i) plus `tint` in red.
inline std::vector<uint8_t> Table(int n, uint8_t tint = 0) {
  std::vector<uint8_t> t;
  for (int i = 0; i < n; ++i) t.insert(t.end(), {uint8_t(i + tint), uint8_t(2 * i), uint8_t(3 * i)});
  return t;
}

struct GifFile {
  std::vector<uint8_t> b;

  // Header and logical screen; `sizeField` also sets the global table's size when there is one.
  GifFile(uint16_t width, uint16_t height, uint8_t sizeField, bool globalTable, const char* version = "89a") {
    b = {'G', 'I', 'F', uint8_t(version[0]), uint8_t(version[1]), uint8_t(version[2])};
    b.resize(13);
    Put16(b, 6, width);
    Put16(b, 8, height);
    b[10] = static_cast<uint8_t>((globalTable ? 0x80 : 0) | sizeField);
    b[11] = 1;  // background colour, ignored
    if (globalTable) {
      const std::vector<uint8_t> t = Table(2 << sizeField);
      b.insert(b.end(), t.begin(), t.end());
    }
  }
  GifFile& Image(uint16_t left, uint16_t top, uint16_t width, uint16_t height, const std::vector<uint8_t>& pixels,
                 uint8_t flags = 0, const std::vector<uint8_t>& localTable = {}, uint8_t minSize = 8) {
    return ImageData(left, top, width, height, SubBlocks(LzwEncode(pixels, minSize)), flags, localTable, minSize);
  }
  GifFile& ImageData(uint16_t left, uint16_t top, uint16_t width, uint16_t height, const std::vector<uint8_t>& data,
                     uint8_t flags = 0, const std::vector<uint8_t>& localTable = {}, uint8_t minSize = 8) {
    const size_t at = b.size();
    b.push_back(0x2C);
    Put16(b, at + 1, left);
    Put16(b, at + 3, top);
    Put16(b, at + 5, width);
    Put16(b, at + 7, height);
    b.push_back(flags);
    b.insert(b.end(), localTable.begin(), localTable.end());
    b.push_back(minSize);
    b.insert(b.end(), data.begin(), data.end());
    return *this;
  }
  GifFile& Raw(std::initializer_list<uint8_t> bytes) {
    b.insert(b.end(), bytes.begin(), bytes.end());
    return *this;
  }
  std::vector<uint8_t> End() {
    b.push_back(0x3B);
    return b;
  }
};

inline std::vector<uint8_t> Ramp(size_t n, uint8_t start = 0) {
  std::vector<uint8_t> p(n);
  for (size_t i = 0; i < n; ++i) p[i] = static_cast<uint8_t>(start + i);
  return p;
}

}  // namespace lmx::test
