// For tests that work on the real application key of the test prefix (HKEY_LOCAL_MACHINE
// "SOFTWARE\Apps" -> "Zorvan Lumivex (Pocket PC)"). Test programs run side by side, so each
// guard holds a named mutex for its lifetime, moves whatever key was there aside and puts it
// back at the end. Meanwhile there is no application key: a clean device.
#pragma once

#include <windows.h>

#include <string>

namespace lmx::test {

class AppKeyGuard {
 public:
  AppKeyGuard() {
    mutex_ = CreateMutexW(nullptr, FALSE, L"Local\\LumivexAppKeyTests");
    if (mutex_) WaitForSingleObject(mutex_, 120000);
    HKEY apps = Apps();
    HKEY app = nullptr;
    if (apps && RegOpenKeyExW(apps, kAppKey, 0, KEY_ALL_ACCESS, &app) == ERROR_SUCCESS) {
      HKEY backup = nullptr;
      RegDeleteTreeW(apps, kBackupKey);
      if (RegCreateKeyExW(apps, kBackupKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &backup, nullptr) ==
          ERROR_SUCCESS) {
        hadKey_ = RegCopyTreeW(app, nullptr, backup) == ERROR_SUCCESS;
        RegCloseKey(backup);
      }
      RegCloseKey(app);
    }
    if (apps) RegCloseKey(apps);
    Clean();
  }

  ~AppKeyGuard() {
    Clean();
    HKEY apps = Apps();
    if (apps && hadKey_) {
      HKEY backup = nullptr, app = nullptr;
      if (RegOpenKeyExW(apps, kBackupKey, 0, KEY_ALL_ACCESS, &backup) == ERROR_SUCCESS) {
        if (RegCreateKeyExW(apps, kAppKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &app, nullptr) == ERROR_SUCCESS) {
          RegCopyTreeW(backup, nullptr, app);
          RegCloseKey(app);
        }
        RegCloseKey(backup);
      }
      RegDeleteTreeW(apps, kBackupKey);
    }
    if (apps) RegCloseKey(apps);
    if (mutex_) {
      ReleaseMutex(mutex_);
      CloseHandle(mutex_);
    }
  }

  AppKeyGuard(const AppKeyGuard&) = delete;
  AppKeyGuard& operator=(const AppKeyGuard&) = delete;

  // Removes the application key with everything in it.
  static void Clean() {
    HKEY apps = Apps();
    if (apps) {
      RegDeleteTreeW(apps, kAppKey);
      RegCloseKey(apps);
    }
  }

  // The application key, opened for the test (null when missing); the caller closes it.
  static HKEY Open() {
    HKEY apps = Apps(), app = nullptr;
    if (apps) {
      if (RegOpenKeyExW(apps, kAppKey, 0, KEY_ALL_ACCESS, &app) != ERROR_SUCCESS) app = nullptr;
      RegCloseKey(apps);
    }
    return app;
  }

  static constexpr const wchar_t* kAppKey = L"Zorvan Lumivex (Pocket PC)";

 private:
  static constexpr const wchar_t* kBackupKey = L"Zorvan Lumivex (Pocket PC) test backup";

  static HKEY Apps() {
    HKEY apps = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Apps", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &apps,
                        nullptr) != ERROR_SUCCESS) {
      apps = nullptr;
    }
    return apps;
  }

  HANDLE mutex_ = nullptr;
  bool hadKey_ = false;
};

}  // namespace lmx::test
