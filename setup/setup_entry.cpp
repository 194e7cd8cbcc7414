// zlx_SetupDll: the entry points the package installer calls. Installing needs nothing
// from this library; removing re-points old associations and drops the plug-in list.
#include "common/utils.h"
#include "setup/setup_exports.h"
#include "setup/setup_steps.h"

extern "C" {

// The shared utilities load their texts from this library and own no window here.
BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH || reason == DLL_THREAD_ATTACH) {
    lmx::SetResourceModule(module);
    lmx::SetInstanceModule(module);
    lmx::SetOwnerWindow(nullptr);
  }
  return TRUE;
}

SetupInstallInitCode WINAPI Install_Init(HWND, BOOL, BOOL, LPCWSTR) { return kInstallInitContinue; }

SetupInstallExitCode WINAPI Install_Exit(HWND, LPCWSTR, WORD, WORD, WORD, WORD, WORD) { return kInstallExitDone; }

// The removal never stops on what happens here.
SetupUninstallInitCode WINAPI Uninstall_Init(HWND owner, LPCWSTR) {
  lmx::RemovePlugInRegistration(owner);
  return kUninstallInitContinue;
}

}  // extern "C"
