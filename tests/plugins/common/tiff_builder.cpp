#include "tests/plugins/common/tiff_builder.h"

#include <algorithm>

namespace lmx::test {
namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back(v >> 8 & 0xFF);
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
void Set32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = v >> (8 * i) & 0xFF;
}
bool Has(const std::vector<TestField>& fields, uint16_t tag) {
  return std::any_of(fields.begin(), fields.end(), [tag](const TestField& f) { return f.tag == tag; });
}

}  // namespace

TestField Ascii(uint16_t tag, const std::string& text) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  return {tag, 2, static_cast<uint32_t>(bytes.size()), bytes};
}

TestField Short(uint16_t tag, uint16_t value) { return Shorts(tag, {value}); }

TestField Shorts(uint16_t tag, const std::vector<uint16_t>& values) {
  std::vector<uint8_t> bytes;
  for (uint16_t v : values) Put16(bytes, v);
  return {tag, 3, static_cast<uint32_t>(values.size()), bytes};
}

TestField Long(uint16_t tag, uint32_t value) { return Longs(tag, {value}); }

TestField Longs(uint16_t tag, const std::vector<uint32_t>& values) {
  std::vector<uint8_t> bytes;
  for (uint32_t v : values) Put32(bytes, v);
  return {tag, 4, static_cast<uint32_t>(values.size()), bytes};
}

TestField Rationals(uint16_t tag, std::vector<std::pair<uint32_t, uint32_t>> values) {
  std::vector<uint8_t> bytes;
  for (auto [num, den] : values) Put32(bytes, num), Put32(bytes, den);
  return {tag, 5, static_cast<uint32_t>(values.size()), bytes};
}

size_t TiffBuilder::AddDirectory(std::vector<TestField> fields, std::vector<std::vector<uint8_t>> strips,
                                 uint16_t offsetsTag, uint16_t countsTag) {
  directories_.push_back({std::move(fields), std::move(strips), offsetsTag, countsTag});
  next_.push_back(0);
  return directories_.size() - 1;
}

std::vector<uint8_t> TiffBuilder::Bytes() const {
  std::vector<uint8_t> out = {'I', 'I', 42, 0, 8, 0, 0, 0};
  std::vector<size_t> starts, nextAt;
  std::vector<std::pair<size_t, size_t>> pointers;  // where a directory pointer goes, which one
  for (const Directory& d : directories_) {
    std::vector<TestField> fields = d.fields;
    if (!d.strips.empty()) {
      std::vector<uint32_t> offsets, counts;
      for (const auto& strip : d.strips) {
        offsets.push_back(static_cast<uint32_t>(out.size()));
        counts.push_back(static_cast<uint32_t>(strip.size()));
        out.insert(out.end(), strip.begin(), strip.end());
        if (out.size() & 1) out.push_back(0);
      }
      if (!Has(fields, d.offsetsTag)) fields.push_back(Longs(d.offsetsTag, offsets));
      if (!Has(fields, d.countsTag)) fields.push_back(Longs(d.countsTag, counts));
    }
    std::stable_sort(fields.begin(), fields.end(), [](const TestField& a, const TestField& b) { return a.tag < b.tag; });
    starts.push_back(out.size());
    Put16(out, static_cast<uint32_t>(fields.size()));
    std::vector<std::pair<size_t, TestField>> outside;
    for (const TestField& f : fields) {
      Put16(out, f.tag), Put16(out, f.type), Put32(out, f.count);
      const size_t at = out.size();
      Put32(out, 0);
      if ((f.tag == 0x8769 || f.tag == 0x8825) && f.type == 4) {
        pointers.push_back({at, f.value[0]});
      } else if (f.value.size() <= 4) {
        for (size_t i = 0; i < f.value.size(); ++i) out[at + i] = f.value[i];
      } else {
        outside.push_back({at, f});
      }
    }
    nextAt.push_back(out.size());
    Put32(out, 0);
    for (const auto& [at, f] : outside) {
      Set32(out, at, static_cast<uint32_t>(out.size()));
      out.insert(out.end(), f.value.begin(), f.value.end());
      if (out.size() & 1) out.push_back(0);
    }
  }
  if (!starts.empty()) Set32(out, 4, static_cast<uint32_t>(starts[0]));
  for (auto [at, directory] : pointers) Set32(out, at, static_cast<uint32_t>(starts[directory]));
  for (size_t i = 0; i < next_.size(); ++i) {
    if (next_[i]) Set32(out, nextAt[i], static_cast<uint32_t>(starts[next_[i] - 1]));
  }
  return out;
}

std::vector<uint8_t> JpegWithExif(const std::vector<uint8_t>& exif, int h, int v) {
  std::vector<uint8_t> out = {0xFF, 0xD8, 0xFF, 0xE1};
  const size_t length = 2 + 6 + exif.size();
  out.push_back(length >> 8 & 0xFF), out.push_back(length & 0xFF);
  for (char c : std::string("Exif\0\0", 6)) out.push_back(static_cast<uint8_t>(c));
  out.insert(out.end(), exif.begin(), exif.end());
  const uint8_t frame[] = {0xFF, 0xC0, 0, 17, 8, 0, 48, 0, 64, 3, 1, static_cast<uint8_t>(h << 4 | v), 0,
                           2, 0x11, 1, 3, 0x11, 1, 0xFF, 0xDA, 0, 2};
  out.insert(out.end(), frame, frame + sizeof frame);
  return out;
}

}  // namespace lmx::test
