// Holds the Wine virtual desktop open while commands and tests start and end many short
// programs: without a program attached to it the desktop closes, and a window made just then
// cannot be created.
//
//   lmx_desktop_keeper [--idle SECONDS]
//
// With --idle, the keeper ends once no program but Wine's own has run on the device for that
// long, so that an unused device ends by itself.
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cwchar>

namespace {

constexpr UINT_PTR kIdleTimer = 1;
constexpr UINT kIdleCheckMs = 2000;

// Wine's own programs, which come and go with the device and use nobody's.
constexpr const wchar_t* kWinePrograms[] = {L"explorer.exe", L"services.exe", L"winedevice.exe", L"plugplay.exe",
                                            L"svchost.exe",  L"rpcss.exe",    L"conhost.exe",    L"wineboot.exe",
                                            L"start.exe"};

bool IsWineProgram(const wchar_t* exe) {
  for (const wchar_t* name : kWinePrograms) {
    if (_wcsicmp(exe, name) == 0) return true;
  }
  return false;
}

bool AnotherProgramRuns() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return true;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  bool found = false;
  const DWORD self = GetCurrentProcessId();
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry)) {
    found = entry.th32ProcessID != self && entry.th32ProcessID != 0 && !IsWineProgram(entry.szExeFile);
  }
  CloseHandle(snapshot);
  return found;
}

unsigned IdleSeconds() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  unsigned seconds = 0;
  for (int i = 1; argv && i + 1 < argc; ++i) {
    if (wcscmp(argv[i], L"--idle") == 0) seconds = wcstoul(argv[i + 1], nullptr, 10);
  }
  LocalFree(argv);
  return seconds;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Never shown: it only attaches this thread to the desktop.
  HWND holder = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  if (!holder) return 1;
  const unsigned idleLimitMs = IdleSeconds() * 1000;
  if (idleLimitMs) SetTimer(holder, kIdleTimer, kIdleCheckMs, nullptr);
  DWORD lastUse = GetTickCount();
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.wParam == kIdleTimer) {
      const DWORD now = GetTickCount();
      if (AnotherProgramRuns()) lastUse = now;
      else if (now - lastUse >= idleLimitMs) break;
      continue;
    }
    DispatchMessageW(&msg);
  }
  return 0;
}
