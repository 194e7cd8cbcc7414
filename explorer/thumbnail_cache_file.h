// The file of one thumbnail in the cache folder: a header with a magic number, a version and
// the sizes, the key it was made for (the picture's path, size and modification time), the
// pixels and a checksum over all of it. Reading checks every part and trusts nothing: a
// damaged, cut, foreign or stale file gives no thumbnail, and the caller makes it anew.
// Portable: no windows.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "explorer/thumbnail_image.h"

namespace lmx {

struct ThumbnailKey {
  std::wstring path;   // the picture's path as the file system is asked for it
  uint64_t size = 0;   // bytes
  uint64_t modified = 0;  // last write time, 100 ns since 1601
};

constexpr uint32_t kThumbnailFileMagic = 0x544D584Cu;  // "LXMT" read little-endian
constexpr uint32_t kThumbnailFileVersion = 1;
// Thumbnails are small: a side longer than this marks a file as not one of ours.
constexpr uint32_t kThumbnailMaxSide = 512;

// 64-bit FNV-1a of the key's path (case folded to upper for A-Z), size and time: the cache
// file's name, so a key finds its file without a directory of the cache.
uint64_t ThumbnailKeyHash(const ThumbnailKey& key);
// "0123456789abcdef.lmt": the file name of a key.
std::wstring ThumbnailFileName(const ThumbnailKey& key);

std::vector<uint8_t> EncodeThumbnailFile(const ThumbnailKey& key, const Thumbnail& thumbnail);
// True when `bytes` are a sound file of this version made for exactly `key`.
bool DecodeThumbnailFile(const std::vector<uint8_t>& bytes, const ThumbnailKey& key, Thumbnail* out);

}  // namespace lmx
