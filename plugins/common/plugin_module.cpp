// Module start-up and the exports that behave alike in every format plug-in.
#include "plugins/common/plugin_module.h"

#include <cwchar>

#include "common/utils.h"
#include "plugins/common/plugin_ids.h"

namespace lmx {

namespace {

void WriteString(HKEY key, const wchar_t* name, const wchar_t* text) {
  if (!text) return;
  const DWORD bytes = static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes);
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 0);
      return TRUE;
    case WM_LBUTTONDOWN:
      EndDialog(dialog, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace
}  // namespace lmx

using namespace lmx;

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH || reason == DLL_THREAD_ATTACH) {
    SetResourceModule(module);
    SetInstanceModule(module);
    SetOwnerWindow(nullptr);
  }
  return TRUE;
}

extern "C" DWORD LMX_GetVersion() { return kPluginVersion; }

extern "C" BOOL LMX_RegisterDLL(HKEY parentKey) {
  const PluginRegistration& r = kPluginFormat.registration;
  if (!r.ext || !*r.ext) return TRUE;
  HKEY key = nullptr;
  // Desktop registries honour the access mask, so the key is opened for writing.
  const REGSAM access = KEY_READ | KEY_WRITE;
  if (RegOpenKeyExW(parentKey, r.ext, 0, access, &key) != ERROR_SUCCESS &&
      RegCreateKeyExW(parentKey, r.ext, 0, const_cast<wchar_t*>(L""), 0, access, nullptr, &key, nullptr) !=
          ERROR_SUCCESS) {
    return TRUE;
  }
  RegSetValueExW(key, L"Show", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&r.show), sizeof r.show);
  WriteString(key, L"Ext", r.ext);
  WriteString(key, L"Name", r.name);
  WriteString(key, L"Copyright", r.copyright);
  wchar_t component[MAX_PATH] = L"";
  if (GetModuleFileNameW(InstanceModule(), component, MAX_PATH)) WriteString(key, L"Component", component);
  WriteString(key, L"ShortName", r.shortName);
  WriteString(key, L"RegFileLink", r.fileLink);
  WriteString(key, L"MoreExt", r.moreExt);
  RegCloseKey(key);
  return TRUE;
}

extern "C" BOOL LMX_UnRegisterDLL(HKEY parentKey) {
  RegDeleteKeyW(parentKey, kPluginFormat.registration.ext);
  return TRUE;
}

extern "C" INT_PTR LMX_OpenAboutDlg(HWND owner) {
  HRSRC res = FindResourceW(InstanceModule(), MAKEINTRESOURCEW(IDD_PLUGIN_ABOUT), MAKEINTRESOURCEW(5));
  HGLOBAL data = res ? LoadResource(InstanceModule(), res) : nullptr;
  if (!data) return -1;
  return DialogBoxIndirectParamW(InstanceModule(), static_cast<LPCDLGTEMPLATEW>(LockResource(data)), owner,
                                 AboutProc, 0);
}
