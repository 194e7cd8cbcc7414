#include "tests/support/registry_values.h"

namespace lmx::test {
namespace {

// Reads value `name` of `key`\`subkey` into `data`; its type, REG_NONE when it cannot.
DWORD Query(HKEY key, const wchar_t* subkey, const wchar_t* name, void* data, DWORD* bytes) {
  HKEY opened = key;
  if (subkey && RegOpenKeyExW(key, subkey, 0, KEY_READ, &opened) != ERROR_SUCCESS) return REG_NONE;
  DWORD type = REG_NONE;
  if (RegQueryValueExW(opened, name, nullptr, &type, static_cast<BYTE*>(data), bytes) != ERROR_SUCCESS) type = REG_NONE;
  if (opened != key) RegCloseKey(opened);
  return type;
}

}  // namespace

std::wstring RegText(HKEY key, const wchar_t* subkey, const wchar_t* name, DWORD* bytes, const wchar_t* missing) {
  wchar_t text[600] = L"";
  DWORD size = sizeof text - sizeof(wchar_t);
  if (Query(key, subkey, name, text, &size) != REG_SZ) return missing;
  if (bytes) *bytes = size;
  return text;
}

DWORD RegNumber(HKEY key, const wchar_t* subkey, const wchar_t* name, DWORD missing) {
  DWORD value = 0, size = sizeof value;
  return Query(key, subkey, name, &value, &size) == REG_DWORD ? value : missing;
}

DWORD RegType(HKEY key, const wchar_t* name, DWORD* bytes) {
  DWORD size = 0;
  const DWORD type = Query(key, nullptr, name, nullptr, &size);
  if (bytes && type != REG_NONE) *bytes = size;
  return type;
}

bool HasKey(HKEY key, const wchar_t* subkey) {
  HKEY sub = nullptr;
  if (RegOpenKeyExW(key, subkey, 0, KEY_READ, &sub) != ERROR_SUCCESS) return false;
  RegCloseKey(sub);
  return true;
}

std::vector<std::wstring> SubkeyNames(HKEY key) {
  std::vector<std::wstring> names;
  for (DWORD i = 0;; ++i) {
    wchar_t name[260];
    DWORD chars = 260;
    if (RegEnumKeyExW(key, i, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name);
  }
  return names;
}

}  // namespace lmx::test
