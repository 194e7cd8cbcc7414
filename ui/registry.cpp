#include "ui/registry.h"

#include <cstring>
#include <cwchar>
#include <vector>

namespace lmx {

namespace {

bool IsEmpty(const wchar_t* text) { return !text || !*text; }

}  // namespace

HKEY OpenApplicationKey() {
  HKEY apps = OpenOrCreateKey(HKEY_LOCAL_MACHINE, kAppsKeyPath);
  HKEY app = apps ? OpenOrCreateKey(apps, kAppKeyName) : nullptr;
  CloseKey(apps);
  return app;
}

HKEY OpenOrCreateKey(HKEY parent, const wchar_t* name) {
  HKEY key = nullptr;
  if (parent && !IsEmpty(name) && RegOpenKeyExW(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
    key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExW(parent, name, 0, const_cast<wchar_t*>(L""), REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, &disposition) != ERROR_SUCCESS) {
      key = nullptr;
    }
  }
  return key;
}

HKEY OpenKey(HKEY parent, const wchar_t* name) {
  HKEY key = nullptr;
  if (parent && !IsEmpty(name) && RegOpenKeyExW(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
    key = nullptr;
  }
  return key;
}

void CloseKey(HKEY key) {
  if (key) RegCloseKey(key);
}

bool DeleteKeyTree(HKEY parent, const wchar_t* name) {
  return parent && !IsEmpty(name) && RegDeleteTreeW(parent, name) == ERROR_SUCCESS;
}

bool WriteRegDword(HKEY key, const wchar_t* name, DWORD value) {
  return key && RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                               sizeof(value)) == ERROR_SUCCESS;
}

bool ReadRegDword(HKEY key, const wchar_t* name, DWORD* value, DWORD defaultValue) {
  bool ok = false;
  DWORD size = 0;
  if (key && value && RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
    // Values of another type are taken as their first four bytes, however long they are.
    std::vector<BYTE> data(size < sizeof(DWORD) ? sizeof(DWORD) : size, 0);
    DWORD got = static_cast<DWORD>(data.size());
    ok = RegQueryValueExW(key, name, nullptr, nullptr, data.data(), &got) == ERROR_SUCCESS;
    if (ok) memcpy(value, data.data(), sizeof(DWORD));
  }
  if (!ok && value) {
    *value = defaultValue;
    ok = WriteRegDword(key, name, defaultValue);
  }
  return ok;
}

bool WriteRegString(HKEY key, const wchar_t* name, const wchar_t* value) {
  const wchar_t* text = value ? value : L"";
  const DWORD bytes = static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
  return key && RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes) == ERROR_SUCCESS;
}

bool ReadRegString(HKEY key, const wchar_t* name, wchar_t* buffer, DWORD chars, const wchar_t* defaultValue) {
  bool ok = false;
  if (buffer && chars > 0) {
    DWORD bytes = chars * sizeof(wchar_t);
    if (key && RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &bytes) == ERROR_SUCCESS) {
      // The text must end inside the buffer: one that fills it without a terminator is too long.
      const DWORD got = bytes / sizeof(wchar_t);
      if (got > 0 && buffer[got - 1] == L'\0') {
        ok = true;
      } else if (got < chars) {
        buffer[got] = L'\0';
        ok = true;
      }
    }
    if (!ok) {
      lstrcpynW(buffer, defaultValue ? defaultValue : L"", static_cast<int>(chars));
      ok = WriteRegString(key, name, defaultValue);
    }
  }
  return ok;
}

}  // namespace lmx
