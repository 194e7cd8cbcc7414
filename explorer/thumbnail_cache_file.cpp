#include "explorer/thumbnail_cache_file.h"

#include <cstring>

namespace lmx {

namespace {

// magic, version, header bytes, path characters, size (2), time (2), width, height,
// pixel bytes, checksum.
constexpr size_t kHeaderWords = 12;
constexpr size_t kHeaderBytes = kHeaderWords * 4;
constexpr size_t kMaxPathChars = 32768;

void Put32(std::vector<uint8_t>* out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<uint8_t>(v >> (8 * i)));
}
uint32_t Get32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

uint32_t Checksum(const uint8_t* data, size_t bytes) {
  uint32_t hash = 2166136261u;
  for (size_t i = 0; i < bytes; ++i) {
    hash ^= data[i];
    hash *= 16777619u;
  }
  return hash;
}

wchar_t FoldCase(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

}  // namespace

uint64_t ThumbnailKeyHash(const ThumbnailKey& key) {
  uint64_t hash = 14695981039346656037ull;
  auto mix = [&hash](uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
      hash ^= (v >> (8 * i)) & 0xFF;
      hash *= 1099511628211ull;
    }
  };
  for (wchar_t c : key.path) mix(static_cast<uint16_t>(FoldCase(c)), 2);
  mix(key.size, 8);
  mix(key.modified, 8);
  return hash;
}

std::wstring ThumbnailFileName(const ThumbnailKey& key) {
  static const wchar_t kDigits[] = L"0123456789abcdef";
  const uint64_t hash = ThumbnailKeyHash(key);
  std::wstring name(16, L'0');
  for (int i = 0; i < 16; ++i) name[15 - i] = kDigits[(hash >> (4 * i)) & 0xF];
  return name + L".lmt";
}

std::vector<uint8_t> EncodeThumbnailFile(const ThumbnailKey& key, const Thumbnail& thumbnail) {
  std::vector<uint8_t> out;
  const uint32_t pixelBytes = static_cast<uint32_t>(thumbnail.pixels.size());
  out.reserve(kHeaderBytes + key.path.size() * 2 + pixelBytes);
  Put32(&out, kThumbnailFileMagic);
  Put32(&out, kThumbnailFileVersion);
  Put32(&out, static_cast<uint32_t>(kHeaderBytes));
  Put32(&out, static_cast<uint32_t>(key.path.size()));
  Put32(&out, static_cast<uint32_t>(key.size));
  Put32(&out, static_cast<uint32_t>(key.size >> 32));
  Put32(&out, static_cast<uint32_t>(key.modified));
  Put32(&out, static_cast<uint32_t>(key.modified >> 32));
  Put32(&out, thumbnail.width);
  Put32(&out, thumbnail.height);
  Put32(&out, pixelBytes);
  Put32(&out, 0);  // the checksum, filled in last
  for (wchar_t c : key.path) {
    out.push_back(static_cast<uint8_t>(c & 0xFF));
    out.push_back(static_cast<uint8_t>((c >> 8) & 0xFF));
  }
  out.insert(out.end(), thumbnail.pixels.begin(), thumbnail.pixels.end());
  const uint32_t sum = Checksum(out.data(), out.size());
  for (int i = 0; i < 4; ++i) out[44 + i] = static_cast<uint8_t>(sum >> (8 * i));
  return out;
}

bool DecodeThumbnailFile(const std::vector<uint8_t>& bytes, const ThumbnailKey& key, Thumbnail* out) {
  if (!out || bytes.size() < kHeaderBytes) return false;
  const uint8_t* p = bytes.data();
  uint32_t word[kHeaderWords];
  for (size_t i = 0; i < kHeaderWords; ++i) word[i] = Get32(p + 4 * i);
  if (word[0] != kThumbnailFileMagic || word[1] != kThumbnailFileVersion || word[2] != kHeaderBytes) return false;
  const uint32_t pathChars = word[3], width = word[8], height = word[9], pixelBytes = word[10];
  if (pathChars > kMaxPathChars || pathChars != key.path.size()) return false;
  if (width == 0 || height == 0 || width > kThumbnailMaxSide || height > kThumbnailMaxSide) return false;
  if (pixelBytes != ThumbnailStride(width) * height) return false;
  if (bytes.size() != kHeaderBytes + static_cast<size_t>(pathChars) * 2 + pixelBytes) return false;
  std::vector<uint8_t> zeroed(bytes);
  std::memset(zeroed.data() + 44, 0, 4);
  if (Checksum(zeroed.data(), zeroed.size()) != word[11]) return false;
  // The file names a hash of the key: a file of another key with the same hash is not ours.
  const uint64_t size = word[4] | static_cast<uint64_t>(word[5]) << 32;
  const uint64_t modified = word[6] | static_cast<uint64_t>(word[7]) << 32;
  if (size != key.size || modified != key.modified) return false;
  const uint8_t* path = p + kHeaderBytes;
  for (uint32_t i = 0; i < pathChars; ++i) {
    const wchar_t c = static_cast<wchar_t>(path[2 * i] | path[2 * i + 1] << 8);
    if (FoldCase(c) != FoldCase(key.path[i])) return false;
  }
  out->width = width;
  out->height = height;
  out->pixels.assign(path + 2 * pathChars, path + 2 * pathChars + pixelBytes);
  return true;
}

}  // namespace lmx
