#include "plugins/png/png_details.h"

#include <zlib.h>

#include <cstring>

#include "plugins/common/tiff_fields.h"

namespace lmx::png {
namespace {

uint32_t Be32(const uint8_t* p) { return uint32_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

struct Chunk {
  const uint8_t* type;
  const uint8_t* data;
  size_t size;
};

// Calls `visit` with each whole chunk after the signature, up to IEND or the end of the bytes.
template <typename Visit>
void ForEachChunk(const uint8_t* data, size_t size, Visit visit) {
  size_t at = 8;
  while (size - at >= 12) {
    const uint32_t length = Be32(data + at);
    if (length > size - at - 12) break;
    const Chunk chunk{data + at + 4, data + at + 8, length};
    if (std::memcmp(chunk.type, "IEND", 4) == 0) break;
    visit(chunk);
    at += size_t{length} + 12;
  }
}

bool Is(const Chunk& chunk, const char* type) { return std::memcmp(chunk.type, type, 4) == 0; }

const char* ColourType(uint8_t type) {
  switch (type) {
    case 0: return "grey";
    case 2: return "RGB";
    case 3: return "palette";
    case 4: return "grey with alpha";
    case 6: return "RGBA";
    default: return nullptr;
  }
}

// A text chunk's keyword and what follows its NUL; false when it has no NUL within 80 bytes.
bool SplitKeyword(const Chunk& chunk, std::string* keyword, size_t* rest) {
  const size_t limit = chunk.size < 80 ? chunk.size : 80;
  const void* nul = std::memchr(chunk.data, 0, limit);
  if (!nul) return false;
  *rest = static_cast<const uint8_t*>(nul) - chunk.data + 1;
  keyword->assign(reinterpret_cast<const char*>(chunk.data), *rest - 1);
  return true;
}

const char* KeyOfKeyword(const std::string& keyword) {
  static const struct {
    const char* keyword;
    const char* key;
  } kKeywords[] = {
      {"Title", detail_key::kTitle},           {"Author", detail_key::kAuthor},
      {"Description", detail_key::kDescription}, {"Copyright", detail_key::kCopyright},
      {"Creation Time", detail_key::kDateTaken}, {"Software", detail_key::kSoftware},
      {"Comment", detail_key::kComment},
  };
  for (const auto& k : kKeywords) {
    if (keyword == k.keyword) return k.key;
  }
  return nullptr;
}

// The first bytes of a zlib stream, at most as many as a value shows: what inflates before
// the limit, the stream's end or its first error.
std::string Inflate(const uint8_t* data, size_t size) {
  constexpr size_t kLimit = 4 * kMaxDetailChars + 4;
  std::string text(kLimit, '\0');
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return {};
  stream.next_in = const_cast<Bytef*>(data);
  stream.avail_in = static_cast<uInt>(size < UINT32_MAX ? size : UINT32_MAX);
  stream.next_out = reinterpret_cast<Bytef*>(&text[0]);
  stream.avail_out = static_cast<uInt>(kLimit);
  inflate(&stream, Z_SYNC_FLUSH);
  text.resize(kLimit - stream.avail_out);
  inflateEnd(&stream);
  return text;
}

void AddInflated(FileDetails& out, const char* key, const uint8_t* data, size_t size, TextEncoding encoding) {
  const std::string text = Inflate(data, size);
  out.AddText(key, reinterpret_cast<const uint8_t*>(text.data()), text.size(), encoding);
}

// The texts of the keywords shown: tEXt and zTXt (Latin-1), iTXt (UTF-8), compressed or not.
void AddText(const Chunk& chunk, FileDetails& out) {
  std::string keyword;
  size_t at;
  if (!SplitKeyword(chunk, &keyword, &at)) return;
  const char* key = KeyOfKeyword(keyword);
  if (!key || out.Has(key)) return;
  if (Is(chunk, "tEXt")) {
    out.AddText(key, chunk.data + at, chunk.size - at, TextEncoding::kLatin1);
    return;
  }
  if (Is(chunk, "zTXt")) {
    if (at < chunk.size && chunk.data[at] == 0) {
      AddInflated(out, key, chunk.data + at + 1, chunk.size - at - 1, TextEncoding::kLatin1);
    }
    return;
  }
  // iTXt: compression flag and method, language tag, translated keyword, text.
  if (chunk.size - at < 2 || chunk.data[at] > 1 || chunk.data[at + 1] != 0) return;
  const bool compressed = chunk.data[at] == 1;
  at += 2;
  for (int field = 0; field < 2; ++field) {
    const void* nul = std::memchr(chunk.data + at, 0, chunk.size - at);
    if (!nul) return;
    at = static_cast<const uint8_t*>(nul) - chunk.data + 1;
  }
  if (compressed) {
    AddInflated(out, key, chunk.data + at, chunk.size - at, TextEncoding::kUtf8);
  } else {
    out.AddText(key, chunk.data + at, chunk.size - at, TextEncoding::kUtf8);
  }
}

std::string Time(const uint8_t* p) {
  const unsigned year = p[0] << 8 | p[1];
  if (p[2] < 1 || p[2] > 12 || p[3] < 1 || p[3] > 31 || p[4] > 23 || p[5] > 59 || p[6] > 60) return {};
  return Printf("%04u-%02u-%02u %02u:%02u:%02u", year, p[2], p[3], p[4], p[5], p[6]);
}

}  // namespace

bool DescribePng(const uint8_t* data, size_t size, uint32_t, FileDetails& out) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (size < 33 || std::memcmp(data, kSignature, 8) != 0 || std::memcmp(data + 12, "IHDR", 4) != 0) return false;
  const uint8_t* header = data + 16;
  const uint8_t depth = header[8], colourType = header[9], interlace = header[12];
  Chunk exif{}, physical{}, time{};  // the first of each; no data when there is none
  uint32_t frames = 0;
  ForEachChunk(data, size, [&](const Chunk& c) {
    if (Is(c, "eXIf") && !exif.data) exif = c;
    if (Is(c, "pHYs") && c.size >= 9 && !physical.data) physical = c;
    if (Is(c, "tIME") && c.size >= 7 && !time.data) time = c;
    if (Is(c, "acTL") && c.size >= 8 && !frames) frames = Be32(c.data);
  });
  std::string format = interlace == 1 ? "PNG, interlaced" : "PNG";
  if (frames > 1) format += Printf(", %u frames", frames);
  out.Add(detail_key::kFormat, format);
  out.Add(detail_key::kDimensions, Printf("%u x %u", Be32(header), Be32(header + 4)));
  if (const char* colour = ColourType(colourType)) {
    out.Add(detail_key::kPixels, Printf("%u-bit %s", depth, colour));
    out.Add(detail_key::kColour, colourType == 4 ? "grey" : colourType == 6 ? "RGB" : colour);
  }
  if (physical.data) {
    const uint32_t x = Be32(physical.data), y = Be32(physical.data + 4);
    if (physical.data[8] == 1) {
      out.Add(detail_key::kResolution, PixelsPerMetreText(x, y));
    } else if (x && y) {
      out.Add(detail_key::kResolution, Printf("%u x %u", x, y));
    }
  }
  if (exif.data) DescribeExif(exif.data, exif.size, out);
  ForEachChunk(data, size, [&](const Chunk& c) {
    if (Is(c, "tEXt") || Is(c, "zTXt") || Is(c, "iTXt")) AddText(c, out);
  });
  if (time.data) out.Add(detail_key::kDateTaken, Time(time.data));
  return true;
}

}  // namespace lmx::png
