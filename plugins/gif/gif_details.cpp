#include "plugins/gif/gif_details.h"

#include <cstring>

#include "plugins/common/little_endian.h"

namespace lmx::gif {
namespace {

struct Blocks {
  uint32_t frames = 0;
  bool interlaced = false;
  bool loops = false;
  std::string comment;
};

// Moves past a chain of data sub-blocks; false when the bytes end first. The first comment's
// bytes are kept, as many as a value shows.
bool SkipSubBlocks(const uint8_t* data, size_t size, size_t* at, std::string* keep) {
  while (*at < size) {
    const size_t length = data[*at];
    ++*at;
    if (length == 0) return true;
    if (length > size - *at) return false;
    if (keep && keep->size() < 4 * kMaxDetailChars) keep->append(reinterpret_cast<const char*>(data + *at), length);
    *at += length;
  }
  return false;
}

void ReadBlocks(const uint8_t* data, size_t size, size_t at, Blocks& b) {
  while (at < size) {
    const uint8_t introducer = data[at++];
    if (introducer == 0x2C) {  // image descriptor
      if (size - at < 10) return;
      const uint8_t packed = data[at + 8];
      if (b.frames++ == 0) b.interlaced = (packed & 0x40) != 0;
      at += 9;
      if (packed & 0x80) at += size_t{3} << ((packed & 7) + 1);
      if (at >= size) return;
      ++at;  // LZW minimum code size
      if (!SkipSubBlocks(data, size, &at, nullptr)) return;
    } else if (introducer == 0x21) {  // extension
      if (at >= size) return;
      const uint8_t label = data[at++];
      const bool comment = label == 0xFE && b.comment.empty();
      if (label == 0xFF && size - at > 12 && std::memcmp(data + at + 1, "NETSCAPE2.0", 11) == 0) b.loops = true;
      if (!SkipSubBlocks(data, size, &at, comment ? &b.comment : nullptr)) return;
    } else {
      return;  // the trailer, or bytes that are no block
    }
  }
}

}  // namespace

bool DescribeGif(const uint8_t* data, size_t size, uint32_t, FileDetails& out) {
  if (size < 13 || std::memcmp(data, "GIF8", 4) != 0 || (data[4] != '7' && data[4] != '9') || data[5] != 'a') {
    return false;
  }
  const uint8_t packed = data[10];
  size_t at = 13;
  if (packed & 0x80) at += size_t{3} << ((packed & 7) + 1);
  Blocks b;
  ReadBlocks(data, size, at, b);
  std::string format = Printf("GIF %c%c%c", data[3], data[4], data[5]);
  format += Printf(b.frames == 1 ? ", %u frame" : ", %u frames", b.frames);
  if (b.loops && b.frames > 1) format += ", looping";
  if (b.interlaced) format += ", interlaced";
  out.Add(detail_key::kFormat, format);
  out.Add(detail_key::kDimensions, Printf("%u x %u", Le16(data + 6), Le16(data + 8)));
  const unsigned bits = (packed & 0x80) ? (packed & 7) + 1 : 0;
  if (bits) {
    out.Add(detail_key::kPixels, Printf("%u-bit palette", bits));
    out.Add(detail_key::kColour, Printf("palette, %u colours", 1u << bits));
  } else {
    out.Add(detail_key::kColour, "palette");
  }
  out.AddText(detail_key::kComment, reinterpret_cast<const uint8_t*>(b.comment.data()), b.comment.size(),
              TextEncoding::kUtf8);
  return true;
}

}  // namespace lmx::gif
