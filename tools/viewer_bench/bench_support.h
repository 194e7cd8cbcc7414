// What the viewer's Win32 benchmarks share: a millisecond clock, medians, the folder of the
// running program and the registration of the build's plug-ins beside it.
#pragma once

#include <windows.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "plugins/common/plugin_api.h"
#include "ui/registry.h"
#include "ui/settings.h"

namespace lmx::bench {

inline double NowMs() {
  static const LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> v) {
  if (v.empty()) return -1;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The running program's folder, with its trailing backslash.
inline std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

// Registers the plug-ins of `bin` by their LMX_RegisterDLL, with the splash turned off.
inline void RegisterPlugIns(const std::wstring& bin, std::initializer_list<const wchar_t*> names) {
  HKEY app = OpenApplicationKey();
  WriteRegDword(app, kStartupValue, 0);
  HKEY plugIns = OpenOrCreateKey(app, kPlugInsKeyName);
  for (const wchar_t* name : names) {
    HMODULE module = LoadLibraryW((bin + name).c_str());
    auto reg = module ? reinterpret_cast<LmxRegisterDllFn>(
                            reinterpret_cast<void*>(GetProcAddress(module, "LMX_RegisterDLL")))
                      : nullptr;
    if (reg) reg(plugIns);
    if (module) FreeLibrary(module);
  }
  CloseKey(plugIns);
  CloseKey(app);
}

}  // namespace lmx::bench
