// The cache folder of thumbnails: bounded in size with the least recently used files going
// first, a hit renewing its file, and a damaged file deleted when it is read.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "explorer/thumbnail_disk_cache.h"

namespace {

using lmx::Thumbnail;
using lmx::ThumbnailKey;

class ScratchCache {
 public:
  ScratchCache() : folder_(L"C:\\lmx_thumb_cache_" + std::to_wstring(GetCurrentProcessId())) { Empty(); }
  ~ScratchCache() {
    Empty();
    RemoveDirectoryW(folder_.c_str());
  }
  ScratchCache(const ScratchCache&) = delete;
  ScratchCache& operator=(const ScratchCache&) = delete;
  const std::wstring& Folder() const { return folder_; }

 private:
  void Empty() {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder_ + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do DeleteFileW((folder_ + L"\\" + found.cFileName).c_str());
    while (FindNextFileW(find, &found));
    FindClose(find);
  }
  std::wstring folder_;
};

Thumbnail Grey(uint8_t level) {
  Thumbnail t;
  t.width = 60;
  t.height = 45;
  t.pixels.assign(lmx::ThumbnailStride(60) * 45, level);
  return t;
}

ThumbnailKey Key(int i) { return ThumbnailKey{L"C:\\Pictures\\p" + std::to_wstring(i) + L".jpg", 1000u + i, 77}; }

bool Kept(const ScratchCache& cache, int i) {
  return GetFileAttributesW(lmx::ThumbnailFilePath(cache.Folder(), Key(i)).c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(ThumbnailDiskCache, KeepsTheFolderWithinItsBoundDroppingTheLeastRecentlyUsed) {
  ScratchCache cache;
  const uint64_t fileBytes = lmx::EncodeThumbnailFile(Key(0), Grey(0)).size();
  const uint64_t bound = fileBytes * 4 + fileBytes / 2;  // room for four files
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(lmx::StoreThumbnailFile(cache.Folder(), Key(i), Grey(static_cast<uint8_t>(i)), bound));
    Sleep(20);
  }
  // A hit renews file 0: file 1 is now the least recently used.
  Thumbnail back;
  ASSERT_TRUE(lmx::LoadThumbnailFile(cache.Folder(), Key(0), &back));
  EXPECT_EQ(back.pixels, Grey(0).pixels);
  Sleep(20);
  ASSERT_TRUE(lmx::StoreThumbnailFile(cache.Folder(), Key(4), Grey(4), bound));
  EXPECT_TRUE(Kept(cache, 0));
  EXPECT_FALSE(Kept(cache, 1));
  EXPECT_TRUE(Kept(cache, 4));
  EXPECT_LE(lmx::TrimThumbnailFolder(cache.Folder(), bound), bound);
}

TEST(ThumbnailDiskCache, ADamagedFileIsDeletedWhenRead) {
  ScratchCache cache;
  ASSERT_TRUE(lmx::StoreThumbnailFile(cache.Folder(), Key(7), Grey(7), 1u << 20));
  const std::wstring path = lmx::ThumbnailFilePath(cache.Folder(), Key(7));
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  SetFilePointer(file, 100, nullptr, FILE_BEGIN);
  DWORD written = 0;
  WriteFile(file, "X", 1, &written, nullptr);
  CloseHandle(file);
  Thumbnail back;
  EXPECT_FALSE(lmx::LoadThumbnailFile(cache.Folder(), Key(7), &back));
  EXPECT_FALSE(Kept(cache, 7));
  // Another key's file is not this key's thumbnail either.
  ASSERT_TRUE(lmx::StoreThumbnailFile(cache.Folder(), Key(8), Grey(8), 1u << 20));
  ThumbnailKey moved = Key(8);
  moved.modified += 1;
  EXPECT_FALSE(lmx::LoadThumbnailFile(cache.Folder(), moved, &back));
}

}  // namespace
