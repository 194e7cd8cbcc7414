#include <gtest/gtest.h>

#include "tests/support/test_env.h"

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

}  // namespace

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
