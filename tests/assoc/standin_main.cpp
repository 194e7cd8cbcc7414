// A stand-in for the viewer in shell tests: writes its command line (UTF-16) to the file
// named by LMX_STANDIN_OUT and ends.
#include <windows.h>

#include <cwchar>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  wchar_t out[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"LMX_STANDIN_OUT", out, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 2;
  HANDLE file = CreateFileW(out, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 3;
  const wchar_t* line = GetCommandLineW();
  DWORD written = 0;
  const BOOL ok = WriteFile(file, line, static_cast<DWORD>(wcslen(line) * sizeof(wchar_t)), &written, nullptr);
  CloseHandle(file);
  return ok ? 0 : 4;
}
