// A stand-in for the viewer that lmx_drive is tested against: one popup window over the whole
// screen, painted in one colour, that logs what it receives to the file named by its command
// line (taken verbatim, as the viewer takes it).
//
// At start the window is grey and disabled for a moment, as behind the viewer's splash; then
// it turns blue. Commands: 101 red, 102 green after a pause, 103 a message box, 104 a modal
// dialog painted yellow that logs the commands it is sent. The exit code is the number of
// main-window commands received. With a log named "*.early" it shows a message box instead
// of its window and ends.
#include <windows.h>

#include <string>

namespace {

constexpr wchar_t kClass[] = L"Lumivex Stand-in";
constexpr UINT_PTR kStartTimer = 1;
constexpr UINT kStartMs = 700;

std::wstring gLogPath;
COLORREF gColour = RGB(128, 128, 128);
int gCommands = 0;

void Log(const std::string& line) {
  HANDLE f = CreateFileW(gLogPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return;
  const std::string text = line + "\n";
  DWORD written = 0;
  WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(f);
}

void SetColour(HWND window, COLORREF colour) {
  gColour = colour;
  InvalidateRect(window, nullptr, TRUE);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  static HBRUSH yellow = CreateSolidBrush(RGB(255, 255, 0));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowPos(dialog, HWND_TOPMOST, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), 0);
      return TRUE;
    case WM_CTLCOLORDLG:
      return reinterpret_cast<INT_PTR>(yellow);
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam));
      } else {
        Log("dialog command " + std::to_string(LOWORD(wParam)));
      }
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR RunDialog(HWND owner) {
  // A template with no controls: the dialog is all background.
  struct alignas(4) {
    DLGTEMPLATE t;
    WORD menu, cls;
    wchar_t title[16];
  } tpl = {};
  tpl.t.style = WS_POPUP | WS_VISIBLE | WS_CAPTION;
  tpl.t.cx = 100;
  tpl.t.cy = 100;
  lstrcpyW(tpl.title, L"Stand-in dialog");
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &tpl.t, owner, DialogProc, 0);
}

void OnCommand(HWND window, UINT id) {
  ++gCommands;
  Log("command " + std::to_string(id));
  switch (id) {
    case 101:
      SetColour(window, RGB(255, 0, 0));
      break;
    case 102:
      Sleep(300);
      SetColour(window, RGB(0, 255, 0));
      break;
    case 103: {
      const int answer = MessageBoxW(window, L"Stand-in text", L"Stand-in caption", MB_OK | MB_ICONEXCLAMATION);
      Log("box answered " + std::to_string(answer));
      break;
    }
    case 104:
      Log("dialog ended " + std::to_string(RunDialog(window)));
      break;
    default:
      break;
  }
}

void OnPaint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  HBRUSH brush = CreateSolidBrush(gColour);
  RECT r;
  GetClientRect(window, &r);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
  EndPaint(window, &ps);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      KillTimer(window, kStartTimer);
      EnableWindow(window, TRUE);
      SetColour(window, RGB(0, 0, 255));
      return 0;
    case WM_COMMAND:
      OnCommand(window, LOWORD(wParam));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      OnPaint(window);
      return 0;
    case WM_CLOSE:
      Log("close");
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(gCommands);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  gLogPath = commandLine;
  Log("command line [" + std::string(commandLine, commandLine + lstrlenW(commandLine)) + "]");
  // A log named "*.early" plays a program that fails at start: a box, then the end.
  const int n = lstrlenW(commandLine);
  if (n > 6 && lstrcmpiW(commandLine + n - 6, L".early") == 0) {
    Log("box answered " + std::to_string(MessageBoxW(nullptr, L"Cannot start.", L"Error...", MB_OK | MB_ICONHAND)));
    return 0;
  }
  WNDCLASSW wc = {};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kClass;
  if (!RegisterClassW(&wc)) return -1;
  HWND window = CreateWindowExW(WS_EX_TOPMOST, kClass, kClass, WS_POPUP | WS_VISIBLE | WS_DISABLED, 0, 0,
                                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                instance, nullptr);
  if (!window) return -1;
  SetTimer(window, kStartTimer, kStartMs, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
