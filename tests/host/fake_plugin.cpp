// A stand-in format plug-in for the host's tests. Its registry values come from compile
// definitions; FAKE_WITHOUT_FILE_INFO leaves out LMX_GetFileInfo and FAKE_REGISTER_FAILS
// makes LMX_RegisterDLL fail without writing anything. Its pictures are a
// 2 x 2 8-bit grey square.
#include <windows.h>

#include <cstring>
#include <cwchar>

#define EXPORT extern "C" __declspec(dllexport)

namespace {
HMODULE g_module = nullptr;

void WriteString(HKEY key, const wchar_t* name, const wchar_t* value) {
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                 static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
}
}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_module = instance;
  return TRUE;
}

EXPORT BOOL LMX_RegisterDLL(HKEY plugInsKey) {
#ifdef FAKE_REGISTER_FAILS
  if (plugInsKey) return FALSE;
#endif
  HKEY key = nullptr;
  if (RegCreateKeyExW(plugInsKey, FAKE_EXT, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return FALSE;
  }
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(g_module, path, MAX_PATH);
  WriteString(key, L"Component", path);
  WriteString(key, L"Ext", FAKE_EXT);
  WriteString(key, L"Name", FAKE_NAME);
  WriteString(key, L"ShortName", FAKE_SHORT);
  WriteString(key, L"RegFileLink", FAKE_EXT L"file");
  WriteString(key, L"Copyright", L"Test plug-in");
  RegCloseKey(key);
  return TRUE;
}

EXPORT BOOL LMX_UnRegisterDLL(HKEY plugInsKey) { return RegDeleteKeyW(plugInsKey, FAKE_EXT) == ERROR_SUCCESS; }

EXPORT INT_PTR LMX_OpenAboutDlg(HWND) { return 7; }

EXPORT DWORD LMX_GetVersion() { return 0x00020003; }

EXPORT void* LMX_LoadGfxFile(const wchar_t*, DWORD) {
  const size_t bytes = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD) + 2 * 4;
  auto* block = static_cast<BYTE*>(LocalAlloc(LPTR, bytes));
  if (!block) return nullptr;
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(block);
  header->biSize = sizeof(BITMAPINFOHEADER);
  header->biWidth = 2;
  header->biHeight = 2;
  header->biPlanes = 1;
  header->biBitCount = 8;
  header->biClrUsed = 256;
  auto* colours = reinterpret_cast<RGBQUAD*>(block + sizeof(BITMAPINFOHEADER));
  for (int i = 0; i < 256; ++i) colours[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
  return block;
}

#ifndef FAKE_WITHOUT_FILE_INFO
EXPORT BOOL LMX_GetFileInfo(const wchar_t*, DWORD* imageCount) {
  if (imageCount) *imageCount = 1;
  return TRUE;
}
#endif
