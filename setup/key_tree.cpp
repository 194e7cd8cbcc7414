#include "setup/key_tree.h"

namespace lmx {

namespace {

constexpr DWORD kKeyNameChars = 260;

}  // namespace

bool DeleteKeyTree(HKEY parent, HKEY key, const wchar_t* name) {
  if (!parent || !key || !name || !*name) {
    if (key) RegCloseKey(key);
    return false;
  }
  // Each deleted sub-key moves the next one to the same index; one that stays behind is
  // stepped over, so the walk ends after at most one visit per sub-key.
  bool complete = true;
  DWORD index = 0;
  for (;;) {
    wchar_t subName[kKeyNameChars];
    DWORD subChars = kKeyNameChars;
    const LONG status = RegEnumKeyExW(key, index, subName, &subChars, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS) {
      if (status != ERROR_MORE_DATA) {
        complete = false;
        break;
      }
      complete = false;
      ++index;
      continue;
    }
    HKEY sub = nullptr;
    if (RegOpenKeyExW(key, subName, 0, KEY_ALL_ACCESS, &sub) != ERROR_SUCCESS) {
      complete = false;
      ++index;
      continue;
    }
    if (!DeleteKeyTree(key, sub, subName)) {
      complete = false;
      ++index;
    }
  }
  RegCloseKey(key);
  return RegDeleteKeyW(parent, name) == ERROR_SUCCESS && complete;
}

}  // namespace lmx
