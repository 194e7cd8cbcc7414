#include <gtest/gtest.h>

#include "tests/support/test_env.h"
#include "tools/support/message_capture.h"

namespace lmx::test {
namespace {

std::wstring UniqueName() {
  static LONG counter = 0;
  wchar_t name[64];
  swprintf(name, 64, L"lmx_%lu_%ld", GetCurrentProcessId(), InterlockedIncrement(&counter));
  return name;
}

// Deletes a key and everything below it.
void DeleteTree(HKEY parent, const wchar_t* name) {
  HKEY key;
  if (RegOpenKeyExW(parent, name, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
    wchar_t child[256];
    DWORD len = 256;
    while (RegEnumKeyExW(key, 0, child, &len, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
      DeleteTree(key, child);
      len = 256;
    }
    RegCloseKey(key);
  }
  RegDeleteKeyW(parent, name);
}

void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = path + L"\\" + name;
      SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(child);
      else DeleteFileW(child.c_str());
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryW(path.c_str());
}

}  // namespace

ScratchFolder::ScratchFolder(const wchar_t* stem, const std::wstring& parent) {
  std::wstring folder = parent;
  if (folder.empty()) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder = temp;
  }
  path_ = folder + stem + UniqueName() + L"\\";
  RemoveTree(path_.substr(0, path_.size() - 1));
  EXPECT_TRUE(CreateDirectoryW(path_.c_str(), nullptr)) << ToUtf8(path_);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_.substr(0, path_.size() - 1)); }

void ScratchFolder::Write(const std::vector<uint8_t>& bytes, const std::wstring& name) const {
  HANDLE f = CreateFileW((path_ + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  EXPECT_NE(f, INVALID_HANDLE_VALUE) << ToUtf8(name);
  DWORD written = 0;
  if (!bytes.empty()) WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(f);
}

void ScratchFolder::Copy(const std::wstring& from, const std::wstring& name) const {
  EXPECT_TRUE(CopyFileW(from.c_str(), (path_ + name).c_str(), FALSE)) << ToUtf8(name);
  SetFileAttributesW((path_ + name).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TempFile::TempFile(const std::vector<uint8_t>& bytes, const wchar_t* extension) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  path_ = std::wstring(dir) + UniqueName() + extension;
  HANDLE f = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  EXPECT_NE(f, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  if (!bytes.empty()) WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(f);
}

TempFile::~TempFile() { DeleteFileW(path_.c_str()); }

ScratchKey::ScratchKey() : name_(L"Software\\LumivexTests\\" + UniqueName()) {
  EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, name_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                            nullptr),
            ERROR_SUCCESS);
}

ScratchKey::~ScratchKey() {
  if (key_) RegCloseKey(key_);
  DeleteTree(HKEY_CURRENT_USER, name_.c_str());
}

}  // namespace lmx::test
