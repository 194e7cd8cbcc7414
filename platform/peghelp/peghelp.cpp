// PegHelp.exe: shows one help file full-screen with a Done button, as the device's help
// viewer does. The argument is "file.htp#topic": a bare file name is looked for beside this
// program, then in the Windows folder; the text opens at the topic's anchor.
//
// One viewer at a time: a second start hands its argument to the running one (WM_COPYDATA),
// which shows that file instead, and ends.
//
// Exit code: 0 when the last file asked for was shown, 1 when it could not be found or read
// (the window then says so); 0 for a start that handed over.
#include <windows.h>

#include <new>
#include <string>
#include <vector>

#include "platform/aygshell.h"
#include "platform/peghelp/help_text.h"
#include "platform/tahoma_font.h"

namespace {

constexpr wchar_t kWindowClass[] = L"PegHelp";
constexpr int kEditId = 100;
constexpr DWORD kMaxFileBytes = 1 << 20;
constexpr ULONG_PTR kHandOverTag = 0x504C4548;  // "HELP"
constexpr UINT kHandOverTimeoutMs = 5000;
constexpr DWORD kMaxArgumentChars = 1024;

struct HelpRequest {
  std::wstring file;
  std::wstring topic;
};

struct Viewer {
  HWND edit;
  HFONT font;
  bool shown;  // the last file asked for was found and shown
};

struct LoadedHelp {
  peghelp::HelpText text;
  size_t topicOffset = std::wstring::npos;
  bool found = false;
};

// The argument may come quoted and with spaces around it.
HelpRequest ParseArgument(const wchar_t* commandLine) {
  std::wstring arg = commandLine ? commandLine : L"";
  const size_t first = arg.find_first_not_of(L" \t");
  const size_t last = arg.find_last_not_of(L" \t");
  arg = first == std::wstring::npos ? L"" : arg.substr(first, last - first + 1);
  if (arg.size() >= 2 && arg.front() == L'"' && arg.back() == L'"') arg = arg.substr(1, arg.size() - 2);
  HelpRequest request;
  const size_t hash = arg.rfind(L'#');
  request.file = hash == std::wstring::npos ? arg : arg.substr(0, hash);
  if (hash != std::wstring::npos) request.topic = arg.substr(hash + 1);
  return request;
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return L"";
  std::wstring folder(path, length);
  const size_t slash = folder.find_last_of(L"\\/");
  return slash == std::wstring::npos ? L"" : folder.substr(0, slash + 1);
}

std::wstring WindowsFolder() {
  wchar_t path[MAX_PATH];
  const UINT length = GetWindowsDirectoryW(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return L"C:\\windows\\";
  std::wstring folder(path, length);
  if (folder.back() != L'\\') folder += L'\\';
  return folder;
}

// A path with a folder in it is taken as it is; a bare name is looked for in the two places.
std::wstring FindHelpFile(const std::wstring& file) {
  if (file.empty()) return L"";
  if (file.find_first_of(L"\\/:") != std::wstring::npos) return IsFile(file) ? file : L"";
  for (const std::wstring& folder : {ProgramFolder(), WindowsFolder()}) {
    if (!folder.empty() && IsFile(folder + file)) return folder + file;
  }
  return L"";
}

bool ReadHelpFile(const std::wstring& path, std::vector<char>* bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(file, &size) && size.QuadPart <= kMaxFileBytes;
  if (ok) {
    bytes->resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    ok = bytes->empty() || (ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr) &&
                            read == bytes->size());
  }
  CloseHandle(file);
  return ok;
}

Viewer* ViewerOf(HWND window) { return reinterpret_cast<Viewer*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

LRESULT Viewer_OnCreate(HWND window) {
  auto* viewer = new (std::nothrow) Viewer{};
  if (!viewer) return -1;
  viewer->edit = CreateWindowExW(0, L"Edit", L"",
                                 WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                                 0, 0, 0, 0, window, reinterpret_cast<HMENU>(kEditId), nullptr, nullptr);
  if (!viewer->edit) {
    delete viewer;
    return -1;
  }
  viewer->font = lmx::CreateTahomaFont(window, 8, FW_NORMAL);
  if (viewer->font) SendMessageW(viewer->edit, WM_SETFONT, reinterpret_cast<WPARAM>(viewer->font), FALSE);
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(viewer));
  return 0;
}

// The quit code carries the exit code: whether the last file asked for was shown.
void Viewer_OnDestroy(HWND window, Viewer* viewer) {
  const int exitCode = viewer->shown ? 0 : 1;
  if (viewer->font) DeleteObject(viewer->font);
  delete viewer;
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  PostQuitMessage(exitCode);
}

LoadedHelp LoadHelp(const std::wstring& argument) {
  const HelpRequest request = ParseArgument(argument.c_str());
  const std::wstring path = FindHelpFile(request.file);
  std::vector<char> bytes;
  LoadedHelp help;
  help.found = !path.empty() && ReadHelpFile(path, &bytes);
  if (help.found) {
    help.text = peghelp::RenderHelp(peghelp::DecodeHelpBytes(bytes));
    help.topicOffset = peghelp::FindTopic(help.text, request.topic);
  } else {
    help.text.body = L"The help file \"" + request.file + L"\" could not be found.";
  }
  if (help.text.title.empty()) help.text.title = L"Help";
  return help;
}

// The text opens at the topic: its line at the top, the caret on it.
void ShowHelp(HWND window, const LoadedHelp& help) {
  Viewer* viewer = ViewerOf(window);
  viewer->shown = help.found;
  SetWindowTextW(window, help.text.title.c_str());
  SetWindowTextW(viewer->edit, help.text.body.c_str());
  // Again, so that the top bar shows the new title.
  SHINITDLGINFO init{SHIDIM_FLAGS, window, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN};
  SHInitDialog(&init);
  if (help.topicOffset == std::wstring::npos) return;
  const LRESULT line = SendMessageW(viewer->edit, EM_LINEFROMCHAR, help.topicOffset, 0);
  SendMessageW(viewer->edit, EM_SETSEL, help.topicOffset, help.topicOffset);
  const LRESULT first = SendMessageW(viewer->edit, EM_GETFIRSTVISIBLELINE, 0, 0);
  SendMessageW(viewer->edit, EM_LINESCROLL, 0, line - first);
}

// A later start's argument: a bounded UTF-16 string, terminated or not.
void Viewer_OnCopyData(HWND window, const COPYDATASTRUCT* data) {
  if (!data || data->dwData != kHandOverTag || !data->lpData) return;
  const size_t chars = data->cbData / sizeof(wchar_t);
  if (chars > kMaxArgumentChars + 1) return;  // the terminator comes with the text
  std::wstring argument(static_cast<const wchar_t*>(data->lpData), chars);
  const size_t end = argument.find(L'\0');
  if (end != std::wstring::npos) argument.resize(end);
  ShowHelp(window, LoadHelp(argument));
  SetForegroundWindow(window);
}

LRESULT CALLBACK ViewerProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CREATE) return Viewer_OnCreate(window);
  Viewer* viewer = ViewerOf(window);
  if (!viewer) return DefWindowProcW(window, msg, wParam, lParam);
  switch (msg) {
    case WM_SIZE:
      MoveWindow(viewer->edit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_SETFOCUS:
      SetFocus(viewer->edit);
      return 0;
    case WM_COMMAND:
      // The top bar's Done button.
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) DestroyWindow(window);
      return 0;
    case WM_COPYDATA:
      Viewer_OnCopyData(window, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
      return TRUE;
    case WM_DESTROY:
      Viewer_OnDestroy(window, viewer);
      return 0;
    default:
      return DefWindowProcW(window, msg, wParam, lParam);
  }
}

bool HandOver(const wchar_t* commandLine) {
  HWND running = FindWindowW(kWindowClass, nullptr);
  if (!running) return false;
  std::wstring argument = commandLine ? commandLine : L"";
  if (argument.size() > kMaxArgumentChars) argument.resize(kMaxArgumentChars);
  COPYDATASTRUCT data{kHandOverTag, static_cast<DWORD>((argument.size() + 1) * sizeof(wchar_t)),
                      const_cast<wchar_t*>(argument.c_str())};
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                           kHandOverTimeoutMs, &result)) {
    return false;  // not answering: this start shows the file itself
  }
  SetForegroundWindow(running);
  return true;
}

int Run(HINSTANCE instance, const wchar_t* commandLine, int show) {
  if (HandOver(commandLine)) return 0;
  WNDCLASSW wc{};
  wc.lpfnWndProc = ViewerProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
  wc.lpszClassName = kWindowClass;
  if (!RegisterClassW(&wc)) return 1;
  HWND window = CreateWindowExW(0, kWindowClass, L"Help", WS_POPUP | WS_CLIPCHILDREN, 0, AYG_TOP_BAR_HEIGHT,
                                AYG_SCREEN_WIDTH, AYG_SCREEN_HEIGHT - AYG_TOP_BAR_HEIGHT, nullptr, nullptr,
                                instance, nullptr);
  if (!window) return 1;
  ShowHelp(window, LoadHelp(commandLine ? commandLine : L""));
  ShowWindow(window, show);
  UpdateWindow(window);
  SetForegroundWindow(window);

  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int show) {
  return Run(instance, commandLine, show);
}
