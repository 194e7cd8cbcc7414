// lmx_uninstall INSTALL_DIR: what the package installer does with the set-up library when
// the package is removed. zlx_SetupDll.dll is taken from INSTALL_DIR, else from beside this
// tool. Message boxes the library raises are answered at once and printed.
#include <windows.h>

#include <cstdio>
#include <string>

#include "message_capture.h"
#include "setup_exports.h"

namespace {

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring WithSlash(std::wstring folder) {
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
  return folder;
}

HMODULE LoadSetupLibrary(const std::wstring& installDir) {
  HMODULE setup = nullptr;
  if (!installDir.empty()) setup = LoadLibraryW((WithSlash(installDir) + L"zlx_SetupDll.dll").c_str());
  if (!setup) {
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length > 0 && length < MAX_PATH) setup = LoadLibraryW((FolderOf(self) + L"zlx_SetupDll.dll").c_str());
  }
  return setup;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring installDir = argc > 1 ? argv[1] : L"";
  HMODULE setup = LoadSetupLibrary(installDir);
  if (!setup) {
    fprintf(stderr, "uninstall: zlx_SetupDll.dll cannot be loaded\n");
    return 1;
  }
  auto uninstallInit = reinterpret_cast<UninstallInitFn>(GetProcAddress(setup, "Uninstall_Init"));
  if (!uninstallInit) {
    fprintf(stderr, "uninstall: zlx_SetupDll.dll has no Uninstall_Init\n");
    FreeLibrary(setup);
    return 1;
  }
  lmx::MessageCapture capture;
  const int code = uninstallInit(nullptr, installDir.c_str());
  for (const lmx::CapturedMessage& box : capture.Messages()) {
    fprintf(stderr, "uninstall: message \"%s\": %s\n", lmx::ToUtf8(box.caption).c_str(), lmx::ToUtf8(box.text).c_str());
  }
  printf("Uninstall_Init returned %d\n", code);
  FreeLibrary(setup);
  return code == kUninstallInitContinue ? 0 : 1;
}
