// PegHelp.exe: shows one help file full-screen with a Done button, as the device's help
// viewer does. The argument is "file.htp#topic": a bare file name is looked for beside this
// program, then in the Windows folder; the text opens at the topic's anchor.
//
// Exit code: 0 when the file was shown, 1 when it could not be found or read (the window
// then says so).
#include <windows.h>

#include <new>
#include <string>
#include <vector>

#include "aygshell.h"
#include "help_text.h"

namespace {

constexpr wchar_t kWindowClass[] = L"PegHelp";
constexpr int kEditId = 100;
constexpr DWORD kMaxFileBytes = 1 << 20;

struct HelpRequest {
  std::wstring file;
  std::wstring topic;
};

struct Viewer {
  HWND edit;
  HFONT font;
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

HFONT CreateTextFont(HWND window) {
  HDC dc = GetDC(window);
  const int height = -MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72);
  ReleaseDC(window, dc);
  return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, L"Tahoma");
}

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
  viewer->font = CreateTextFont(window);
  if (viewer->font) SendMessageW(viewer->edit, WM_SETFONT, reinterpret_cast<WPARAM>(viewer->font), FALSE);
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(viewer));
  return 0;
}

void Viewer_OnDestroy(HWND window, Viewer* viewer) {
  if (viewer->font) DeleteObject(viewer->font);
  delete viewer;
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  PostQuitMessage(0);
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
    case WM_DESTROY:
      Viewer_OnDestroy(window, viewer);
      return 0;
    default:
      return DefWindowProcW(window, msg, wParam, lParam);
  }
}

void ShowText(HWND window, const peghelp::HelpText& text, size_t topicOffset) {
  Viewer* viewer = ViewerOf(window);
  SetWindowTextW(viewer->edit, text.body.c_str());
  if (topicOffset == std::wstring::npos) return;
  const LRESULT line = SendMessageW(viewer->edit, EM_LINEFROMCHAR, topicOffset, 0);
  SendMessageW(viewer->edit, EM_SETSEL, topicOffset, topicOffset);
  const LRESULT first = SendMessageW(viewer->edit, EM_GETFIRSTVISIBLELINE, 0, 0);
  SendMessageW(viewer->edit, EM_LINESCROLL, 0, line - first);
}

int Run(HINSTANCE instance, const wchar_t* commandLine, int show) {
  const HelpRequest request = ParseArgument(commandLine);
  const std::wstring path = FindHelpFile(request.file);
  std::vector<char> bytes;
  const bool found = !path.empty() && ReadHelpFile(path, &bytes);

  peghelp::HelpText text;
  if (found) {
    text = peghelp::RenderHelp(peghelp::DecodeHelpBytes(bytes));
  } else {
    text.body = L"The help file \"" + request.file + L"\" could not be found.";
  }
  if (text.title.empty()) text.title = L"Help";

  WNDCLASSW wc{};
  wc.lpfnWndProc = ViewerProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
  wc.lpszClassName = kWindowClass;
  if (!RegisterClassW(&wc)) return 1;
  HWND window = CreateWindowExW(0, kWindowClass, text.title.c_str(), WS_POPUP | WS_CLIPCHILDREN, 0,
                                AYG_TOP_BAR_HEIGHT, AYG_SCREEN_WIDTH, AYG_SCREEN_HEIGHT - AYG_TOP_BAR_HEIGHT,
                                nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  SHINITDLGINFO init{SHIDIM_FLAGS, window, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN};
  SHInitDialog(&init);
  ShowText(window, text, found ? peghelp::FindTopic(text, request.topic) : std::wstring::npos);
  ShowWindow(window, show);
  UpdateWindow(window);
  SetForegroundWindow(window);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return found ? 0 : 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int show) {
  return Run(instance, commandLine, show);
}
