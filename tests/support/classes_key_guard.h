// For tests that write real keys under HKEY_CLASSES_ROOT (.bmp, gifimage, ...). Each named
// key is copied aside under HKEY_CURRENT_USER and removed, so the test starts without it;
// at the end whatever the test left is removed and the saved key put back. Test programs
// run side by side: a named mutex keeps one guard at a time.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/registry_values.h"

namespace lmx::test {

class ClassesKeyGuard {
 public:
  explicit ClassesKeyGuard(std::vector<std::wstring> names) : names_(std::move(names)) {
    mutex_ = CreateMutexW(nullptr, FALSE, L"Local\\LumivexClassesKeyTests");
    if (mutex_) WaitForSingleObject(mutex_, 120000);
    for (const std::wstring& name : names_) {
      // A backup left by a test program that died is put back before anything else.
      if (HKEY stale = OpenBackup(name, false)) {
        RegCloseKey(stale);
        Restore(name);
      }
      HKEY key = nullptr;
      if (RegOpenKeyExW(HKEY_CLASSES_ROOT, name.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        if (HKEY backup = OpenBackup(name, true)) {
          RegCopyTreeW(key, nullptr, backup);
          RegCloseKey(backup);
        }
        RegCloseKey(key);
      }
      RegDeleteTreeW(HKEY_CLASSES_ROOT, name.c_str());
    }
  }

  ~ClassesKeyGuard() {
    for (const std::wstring& name : names_) {
      RegDeleteTreeW(HKEY_CLASSES_ROOT, name.c_str());
      Restore(name);
    }
    if (mutex_) {
      ReleaseMutex(mutex_);
      CloseHandle(mutex_);
    }
  }

  ClassesKeyGuard(const ClassesKeyGuard&) = delete;
  ClassesKeyGuard& operator=(const ClassesKeyGuard&) = delete;

 private:
  static std::wstring BackupPath(const std::wstring& name) {
    return L"Software\\LumivexTests\\ClassesBackup\\" + name;
  }

  static HKEY OpenBackup(const std::wstring& name, bool create) {
    HKEY key = nullptr;
    const std::wstring path = BackupPath(name);
    const LONG status = create ? RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &key, nullptr)
                               : RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key);
    return status == ERROR_SUCCESS ? key : nullptr;
  }

  static void Restore(const std::wstring& name) {
    HKEY backup = OpenBackup(name, false);
    if (!backup) return;
    RegDeleteTreeW(HKEY_CLASSES_ROOT, name.c_str());
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
      RegCopyTreeW(backup, nullptr, key);
      RegCloseKey(key);
    }
    RegCloseKey(backup);
    RegDeleteTreeW(HKEY_CURRENT_USER, BackupPath(name).c_str());
  }

  std::vector<std::wstring> names_;
  HANDLE mutex_ = nullptr;
};

// The (default) or a named string value of HKEY_CLASSES_ROOT\`path`; `missing` when the key
// or the value does not exist.
inline std::wstring ClassesValue(const std::wstring& path, const wchar_t* value = nullptr,
                                 const wchar_t* missing = L"<missing>") {
  return RegText(HKEY_CLASSES_ROOT, path.c_str(), value, nullptr, missing);
}

inline bool ClassesKeyExists(const std::wstring& path) { return HasKey(HKEY_CLASSES_ROOT, path.c_str()); }

// Sets HKEY_CLASSES_ROOT\`path` (created) value `value` (null: the default) to `text`.
inline bool SetClassesValue(const std::wstring& path, const wchar_t* value, const std::wstring& text) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const LONG status = RegSetValueExW(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

}  // namespace lmx::test
