// lmx_install: what the device's package installer does to the registry when it installs the
// viewer. Opens (or creates) the application key and its GfxPlugIns key, lets every plug-in
// library given write its own subkey through LMX_RegisterDLL, and records the install folder
// as InstallDir and InstallPlugInDir. Running it again rewrites the same values.
//
//   lmx_install --dir FOLDER PLUGIN.dll...
//
// Prints one line per plug-in. Exit code: 0 every plug-in registered, 1 one or more did not,
// 2 usage error, 3 the application key could not be opened or created.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

#include "plugin_registration.h"
#include "registry.h"

namespace {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

int Usage() {
  std::fprintf(stderr, "usage: lmx_install --dir FOLDER PLUGIN.dll...\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Plain "\n" line ends, whoever reads the output.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  std::wstring folder;
  std::vector<std::wstring> plugIns;
  for (int i = 1; i < argc; ++i) {
    if (lstrcmpW(argv[i], L"--dir") == 0 && i + 1 < argc) {
      folder = argv[++i];
    } else if (argv[i][0] == L'-' && argv[i][1] == L'-') {
      return Usage();
    } else {
      plugIns.emplace_back(argv[i]);
    }
  }
  if (folder.empty()) return Usage();

  // No "cannot find the file" boxes from the loader for a missing dependency.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);

  HKEY app = lmx::OpenApplicationKey();
  HKEY plugInsKey = lmx::OpenOrCreateKey(app, lmx::kPlugInsKeyName);
  if (!app || !plugInsKey) {
    std::fprintf(stderr, "lmx_install: cannot open or create the application key\n");
    lmx::CloseKey(plugInsKey);
    lmx::CloseKey(app);
    return 3;
  }

  int failures = lmx::WriteInstallFolders(app, folder.c_str()) ? 0 : 1;
  if (failures) std::fprintf(stderr, "lmx_install: cannot write InstallDir for %s\n", Utf8(folder).c_str());

  for (const std::wstring& dll : plugIns) {
    const lmx::RegisteredPlugIn r = lmx::RegisterPlugIn(plugInsKey, dll.c_str());
    const std::string path = Utf8(dll);
    switch (r.result) {
      case lmx::RegisterResult::kRegistered:
        std::printf("registered %s: %s (%s)\n", Utf8(r.subkey).c_str(), Utf8(r.name).c_str(),
                    Utf8(r.component).c_str());
        continue;
      case lmx::RegisterResult::kNotLoaded:
        std::fprintf(stderr, "lmx_install: cannot load %s (error %lu)\n", path.c_str(), r.loadError);
        break;
      case lmx::RegisterResult::kNotPlugIn:
        std::fprintf(stderr, "lmx_install: %s is not a format plug-in (no LMX_RegisterDLL)\n", path.c_str());
        break;
      case lmx::RegisterResult::kNoSubkey:
        std::fprintf(stderr, "lmx_install: %s registered no subkey naming it\n", path.c_str());
        break;
    }
    ++failures;
  }
  lmx::CloseKey(plugInsKey);
  lmx::CloseKey(app);
  return failures ? 1 : 0;
}
