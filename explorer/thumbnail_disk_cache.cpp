#include "explorer/thumbnail_disk_cache.h"

#include <algorithm>
#include <map>
#include <vector>

namespace lmx {

namespace {

constexpr DWORD kLargestFile = 4u << 20;

std::wstring WithSlash(const std::wstring& folder) {
  if (!folder.empty() && folder.back() != L'\\') return folder + L"\\";
  return folder;
}

bool ReadAll(const std::wstring& path, std::vector<uint8_t>* bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= kLargestFile;
  if (ok) {
    bytes->resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    ok = ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &got, nullptr) && got == bytes->size();
  }
  CloseHandle(file);
  return ok;
}

void Renew(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  SetFileTime(file, nullptr, nullptr, &now);
  CloseHandle(file);
}

// What the folder's files take, as last counted or written, per folder: the worker adds
// each file it writes and counts the folder again only when the sum passes the bound.
std::map<std::wstring, uint64_t>& KnownBytes() {
  static std::map<std::wstring, uint64_t> known;
  return known;
}

}  // namespace

std::wstring ThumbnailFilePath(const std::wstring& folder, const ThumbnailKey& key) {
  return WithSlash(folder) + ThumbnailFileName(key);
}

bool LoadThumbnailFile(const std::wstring& folder, const ThumbnailKey& key, Thumbnail* out) {
  if (folder.empty()) return false;
  const std::wstring path = ThumbnailFilePath(folder, key);
  std::vector<uint8_t> bytes;
  if (!ReadAll(path, &bytes)) return false;
  if (!DecodeThumbnailFile(bytes, key, out)) {
    DeleteFileW(path.c_str());
    return false;
  }
  Renew(path);
  return true;
}

bool StoreThumbnailFile(const std::wstring& folder, const ThumbnailKey& key, const Thumbnail& thumbnail,
                        uint64_t boundBytes) {
  if (folder.empty()) return false;
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring path = ThumbnailFilePath(folder, key);
  const std::wstring fresh = path + L".new";
  const std::vector<uint8_t> bytes = EncodeThumbnailFile(key, thumbnail);
  HANDLE file = CreateFileW(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(file);
  if (!ok || !MoveFileExW(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileW(fresh.c_str());
    return false;
  }
  auto& known = KnownBytes();
  auto found = known.find(folder);
  if (found == known.end()) {
    known[folder] = TrimThumbnailFolder(folder, boundBytes);
  } else {
    found->second += bytes.size();
    // Trimmed to three quarters, so the folder is not counted again at every file.
    if (found->second > boundBytes) found->second = TrimThumbnailFolder(folder, boundBytes - boundBytes / 4);
  }
  return true;
}

uint64_t TrimThumbnailFolder(const std::wstring& folder, uint64_t boundBytes) {
  struct Kept {
    uint64_t written;
    uint64_t bytes;
    std::wstring name;
  };
  std::vector<Kept> files;
  uint64_t total = 0;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((WithSlash(folder) + L"*.lmt").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const uint64_t bytes = static_cast<uint64_t>(found.nFileSizeHigh) << 32 | found.nFileSizeLow;
    const uint64_t written =
        static_cast<uint64_t>(found.ftLastWriteTime.dwHighDateTime) << 32 | found.ftLastWriteTime.dwLowDateTime;
    files.push_back({written, bytes, found.cFileName});
    total += bytes;
  } while (FindNextFileW(find, &found));
  FindClose(find);
  if (total <= boundBytes) return total;
  std::sort(files.begin(), files.end(), [](const Kept& a, const Kept& b) { return a.written < b.written; });
  for (const Kept& file : files) {
    if (total <= boundBytes) break;
    if (DeleteFileW((WithSlash(folder) + file.name).c_str())) total -= file.bytes;
  }
  return total;
}

}  // namespace lmx
