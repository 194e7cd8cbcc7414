// Thumbnails kept on the device between runs: one file a picture (thumbnail_cache_file.h) in
// a cache folder, named by a hash of its key. The folder is bounded in size: past the bound,
// the files least recently used (oldest write time; a hit renews it) are deleted.
// Used by the worker thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "explorer/thumbnail_cache_file.h"

namespace lmx {

// The key's thumbnail when its file is sound; a damaged or foreign file is deleted and
// false comes back, so the picture is decoded and its file written anew.
bool LoadThumbnailFile(const std::wstring& folder, const ThumbnailKey& key, Thumbnail* out);
// Writes the file (through a new file renamed over the old one), then trims the folder to
// `boundBytes`. The folder is made when missing.
bool StoreThumbnailFile(const std::wstring& folder, const ThumbnailKey& key, const Thumbnail& thumbnail,
                        uint64_t boundBytes);
// The file a key is kept in.
std::wstring ThumbnailFilePath(const std::wstring& folder, const ThumbnailKey& key);
// Deletes the oldest files until the folder's files take at most `boundBytes`; returns what
// they take afterwards.
uint64_t TrimThumbnailFolder(const std::wstring& folder, uint64_t boundBytes);

}  // namespace lmx
