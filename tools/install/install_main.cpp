// lmx_install: what the device's package installer does to the registry when it installs or
// removes the viewer.
//
//   lmx_install --dir FOLDER PLUGIN.dll...
//   lmx_install --dir FOLDER --uninstall SETUP.dll
//
// Installing opens (or creates) the application key and its GfxPlugIns key, lets every
// plug-in library given write its own subkey through LMX_RegisterDLL, and records the install
// folder as InstallDir and InstallPlugInDir; running it again rewrites the same values. It
// prints one line per plug-in. Removing loads the set-up library and calls its Uninstall_Init
// with the install folder, as the installer does before it deletes the files.
// Message boxes are printed on stderr as "message: CAPTION: TEXT" and answered.
// Exit code: 0 done, 1 a plug-in was not registered or the set-up library could not be called,
// 2 usage error, 3 the application key could not be opened or created.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/install/plugin_registration.h"
#include "tools/support/message_capture.h"
#include "ui/registry.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: lmx_install --dir FOLDER PLUGIN.dll...\n"
                       "       lmx_install --dir FOLDER --uninstall SETUP.dll\n");
  return 2;
}

void PrintMessage(const lmx::CapturedMessage& m) {
  std::string text;
  for (char c : lmx::ToUtf8(m.text)) {
    if (c == '\n') text += "\\n";
    else if (c != '\r') text += c;
  }
  std::fprintf(stderr, "message: %s: %s\n", lmx::ToUtf8(m.caption).c_str(), text.c_str());
}

// The installer's removal step: the set-up library's Uninstall_Init (owner window, folder).
int Uninstall(const std::wstring& setupDll, const std::wstring& folder) {
  using UninstallInitFn = int(WINAPI*)(HWND, LPCWSTR);
  HMODULE module = LoadLibraryW(setupDll.c_str());
  if (!module) {
    std::fprintf(stderr, "lmx_install: cannot load %s (error %lu)\n", lmx::ToUtf8(setupDll).c_str(), GetLastError());
    return 1;
  }
  auto uninstallInit = reinterpret_cast<UninstallInitFn>(GetProcAddress(module, "Uninstall_Init"));
  int r = 1;
  if (!uninstallInit) {
    std::fprintf(stderr, "lmx_install: %s has no Uninstall_Init\n", lmx::ToUtf8(setupDll).c_str());
  } else {
    std::printf("Uninstall_Init returned %d\n", uninstallInit(nullptr, folder.c_str()));
    r = 0;
  }
  FreeLibrary(module);
  return r;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Plain "\n" line ends, whoever reads the output.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  std::wstring folder, setupDll;
  std::vector<std::wstring> plugIns;
  for (int i = 1; i < argc; ++i) {
    if (lstrcmpW(argv[i], L"--dir") == 0 && i + 1 < argc) {
      folder = argv[++i];
    } else if (lstrcmpW(argv[i], L"--uninstall") == 0 && i + 1 < argc) {
      setupDll = argv[++i];
    } else if (argv[i][0] == L'-' && argv[i][1] == L'-') {
      return Usage();
    } else {
      plugIns.emplace_back(argv[i]);
    }
  }
  if (folder.empty() || (!setupDll.empty() && !plugIns.empty())) return Usage();

  // No "cannot find the file" boxes from the loader for a missing dependency, and nothing
  // that a library shows waits for a user.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  lmx::MessageCapture capture;
  capture.onMessage = PrintMessage;
  if (!setupDll.empty()) return Uninstall(setupDll, folder);

  HKEY app = lmx::OpenApplicationKey();
  HKEY plugInsKey = lmx::OpenOrCreateKey(app, lmx::kPlugInsKeyName);
  if (!app || !plugInsKey) {
    std::fprintf(stderr, "lmx_install: cannot open or create the application key\n");
    lmx::CloseKey(plugInsKey);
    lmx::CloseKey(app);
    return 3;
  }

  int failures = lmx::WriteInstallFolders(app, folder.c_str()) ? 0 : 1;
  if (failures) std::fprintf(stderr, "lmx_install: cannot write InstallDir for %s\n", lmx::ToUtf8(folder).c_str());

  for (const std::wstring& dll : plugIns) {
    const lmx::RegisteredPlugIn r = lmx::RegisterPlugIn(plugInsKey, dll.c_str());
    const std::string path = lmx::ToUtf8(dll);
    switch (r.result) {
      case lmx::RegisterResult::kRegistered:
        std::printf("registered %s: %s (%s)\n", lmx::ToUtf8(r.subkey).c_str(), lmx::ToUtf8(r.name).c_str(),
                    lmx::ToUtf8(r.component).c_str());
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
