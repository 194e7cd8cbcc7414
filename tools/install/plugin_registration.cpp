#include "tools/install/plugin_registration.h"

#include "ui/registry.h"
#include "ui/settings.h"

namespace lmx {

namespace {

using RegisterDllFn = BOOL(WINAPI*)(HKEY);

constexpr DWORD kValueChars = 520;

std::wstring ReadString(HKEY key, const wchar_t* name) {
  wchar_t buffer[kValueChars] = L"";
  DWORD bytes = sizeof(buffer) - sizeof(wchar_t);
  DWORD type = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return {};
  }
  buffer[bytes / sizeof(wchar_t)] = L'\0';
  return buffer;
}

// The subkey of `plugInsKey` whose Component is `component`; the plug-in names its subkey
// after its extension, which the installer does not know beforehand.
bool FindSubkeyOf(HKEY plugInsKey, const std::wstring& component, RegisteredPlugIn* out) {
  for (DWORD i = 0;; ++i) {
    wchar_t name[MAX_PATH] = L"";
    DWORD chars = MAX_PATH;
    const LONG r = RegEnumKeyExW(plugInsKey, i, name, &chars, nullptr, nullptr, nullptr, nullptr);
    if (r == ERROR_NO_MORE_ITEMS) return false;
    if (r != ERROR_SUCCESS) continue;
    HKEY sub = nullptr;
    if (RegOpenKeyExW(plugInsKey, name, 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
    const std::wstring value = ReadString(sub, L"Component");
    if (lstrcmpiW(value.c_str(), component.c_str()) == 0) {
      out->subkey = name;
      out->name = ReadString(sub, L"Name");
      RegCloseKey(sub);
      return true;
    }
    RegCloseKey(sub);
  }
}

}  // namespace

RegisteredPlugIn RegisterPlugIn(HKEY plugInsKey, const wchar_t* dllPath) {
  RegisteredPlugIn out;
  HMODULE module = LoadLibraryW(dllPath);
  if (!module) {
    out.loadError = GetLastError();
    return out;
  }
  wchar_t path[MAX_PATH] = L"";
  const DWORD n = GetModuleFileNameW(module, path, MAX_PATH);
  out.component.assign(path, n < MAX_PATH ? n : 0);
  auto registerDll = reinterpret_cast<RegisterDllFn>(GetProcAddress(module, "LMX_RegisterDLL"));
  if (!registerDll) {
    out.result = RegisterResult::kNotPlugIn;
  } else {
    registerDll(plugInsKey);
    out.result = FindSubkeyOf(plugInsKey, out.component, &out) ? RegisterResult::kRegistered
                                                               : RegisterResult::kNoSubkey;
  }
  FreeLibrary(module);
  return out;
}

std::wstring FolderWithBackslash(const wchar_t* folder) {
  std::wstring f = folder ? folder : L"";
  while (!f.empty() && (f.back() == L'\\' || f.back() == L'/')) f.pop_back();
  return f + L'\\';
}

bool WriteInstallFolders(HKEY appKey, const wchar_t* folder) {
  const std::wstring f = FolderWithBackslash(folder);
  if (f.size() >= static_cast<size_t>(kSettingsPathChars)) return false;
  const bool a = WriteRegString(appKey, kInstallDirValue, f.c_str());
  const bool b = WriteRegString(appKey, kInstallPlugInDirValue, f.c_str());
  return a && b;
}

}  // namespace lmx
