// lmx_drive: starts the viewer and, when a screenshot is asked for, drives it from outside as
// a user would, one step at a time, each step finished before the next begins.
//
//   lmx_drive --exe PROGRAM [--open PATH] [--class NAME] [--screenshot OUT.bmp]
//             [--do ID | --key VK]... [--timeout SECONDS]
//
// PROGRAM is started in its own folder with PATH as its whole command line, verbatim.
// Without --screenshot the tool waits for the program to end and returns its exit code (a
// second copy hands PATH to a running one and ends at once).
// With --screenshot: waits for the main window (class NAME, default "Zorvan Lumivex") to be
// up, enabled and painted with its thread idle; sends each ID as WM_COMMAND (a command that
// opens a modal dialog counts as done once the dialog is painted, and the following IDs then
// go to that dialog); presses each VK (a virtual-key code, or a name such as RIGHT, SPACE or
// RETURN) on the window that has the program's focus, in order with the IDs, each waited for
// like a command; copies the screen into OUT.bmp; closes what dialogs remain, sends
// WM_CLOSE to the main window and waits for the program to end.
// Message boxes the program shows are printed on stderr as "message: CAPTION: TEXT" and
// answered with their most harmless button.
// Exit code: 0 done, 1 the screen could not be copied or written, 2 usage, 3 a wait timed out,
// 4 a copy of the program was already running, 5 the program ended before it was asked to,
// 6 the program could not be started.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <set>
#include <string>
#include <vector>

#include "tools/drive/screen_capture.h"
#include "tools/drive/viewer_windows.h"
#include "tools/support/message_capture.h"

namespace {

constexpr UINT kPollMs = 50;
constexpr int kSettledPolls = 3;         // consecutive settled polls before a step counts as done
constexpr UINT kStableCaptureMs = 150;   // two screen copies this far apart must agree
constexpr DWORD kStableWaitMs = 3000;    // a caret may blink for ever: then the last copy

enum ExitCode { kOk = 0, kCaptureFailed = 1, kUsage = 2, kTimedOut = 3, kAlreadyRunning = 4, kEndedEarly = 5, kNotStarted = 6 };

std::string OneLine(const std::wstring& text) {
  std::string out;
  for (char c : lmx::ToUtf8(text)) {
    if (c == '\n') out += "\\n";
    else if (c != '\r') out += c;
  }
  return out;
}

// A WM_COMMAND sent from a thread of its own: the send returns only when the command has been
// handled, which for a command that runs a modal dialog is when the dialog ends.
struct PendingCommand {
  HWND target;
  UINT id;
  HANDLE thread = nullptr;
};

DWORD WINAPI SendCommandThread(void* param) {
  auto* c = static_cast<PendingCommand*>(param);
  SendMessageW(c->target, WM_COMMAND, MAKEWPARAM(c->id, 0), 0);
  return 0;
}

class Driver {
 public:
  Driver(HANDLE process, DWORD pid, const wchar_t* mainClass, DWORD timeoutMs)
      : process_(process), pid_(pid), mainClass_(mainClass), timeoutMs_(timeoutMs) {}

  ~Driver() {
    for (PendingCommand* c : commands_) {
      if (c->thread && WaitForSingleObject(c->thread, 0) == WAIT_OBJECT_0) {
        CloseHandle(c->thread);
        delete c;
      }
    }
  }

  bool Ended() const { return WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }

  // Waits until the main window is up, every message box has been answered, nothing is left
  // to paint and the program's thread is idle. While a command is still being handled the
  // program is inside a modal dialog, which must then be up and painted instead.
  int WaitSettled(const char* what) {
    const DWORD start = GetTickCount();
    int settledPolls = 0;
    for (;;) {
      if (Ended()) {
        std::fprintf(stderr, "lmx_drive: the program ended while waiting for %s\n", what);
        return kEndedEarly;
      }
      if (Settled()) {
        if (++settledPolls >= kSettledPolls) return kOk;
      } else {
        settledPolls = 0;
      }
      if (GetTickCount() - start > timeoutMs_) {
        std::fprintf(stderr, "lmx_drive: timed out waiting for %s\n", what);
        return kTimedOut;
      }
      Sleep(kPollMs);
    }
  }

  int Command(UINT id) {
    const lmx::ViewerWindows w = Windows();
    HWND target = w.main;
    if (CommandPending() && !w.dialogs.empty()) {
      target = w.dialogs.front();
      std::printf("command %u: to the dialog \"%s\"\n", id, OneLine(lmx::WindowText(target)).c_str());
    }
    auto* c = new PendingCommand{target, id};
    c->thread = CreateThread(nullptr, 0, SendCommandThread, c, 0, nullptr);
    if (!c->thread) {
      delete c;
      return kCaptureFailed;
    }
    commands_.push_back(c);
    const int r = WaitSettled("the command to be handled");
    if (r == kOk) {
      if (CommandPending()) {
        std::printf("command %u: the dialog \"%s\" is open\n", id, OneLine(lmx::WindowText(Windows().dialogs.front())).c_str());
      } else {
        std::printf("command %u: handled\n", id);
      }
    }
    return r;
  }

  // A key pressed and let go on the window with the program's keyboard focus.
  int Key(UINT virtualKey) {
    const lmx::ViewerWindows w = Windows();
    if (!w.main) return kTimedOut;
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    HWND target = w.main;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(w.main, nullptr), &info) && info.hwndFocus) target = info.hwndFocus;
    const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    PostMessageW(target, WM_KEYDOWN, virtualKey, MAKELPARAM(1, scan));
    PostMessageW(target, WM_KEYUP, virtualKey, MAKELPARAM(1, scan | KF_REPEAT | KF_UP));
    const int r = WaitSettled("the key to be handled");
    if (r == kOk) std::printf("key %u: handled\n", virtualKey);
    return r;
  }

  // Two copies of the screen a moment apart that agree: the last painting has reached it.
  int Capture(lmx::ScreenPicture* picture) {
    const DWORD start = GetTickCount();
    lmx::ScreenPicture previous;
    for (;;) {
      if (!lmx::CaptureScreen(picture)) {
        std::fprintf(stderr, "lmx_drive: cannot copy the screen\n");
        return kCaptureFailed;
      }
      if (!previous.rows.empty() && previous.rows == picture->rows) return kOk;
      if (GetTickCount() - start > kStableWaitMs) {
        std::fprintf(stderr, "lmx_drive: the screen kept changing; writing the last copy\n");
        return kOk;
      }
      previous = *picture;
      Sleep(kStableCaptureMs);
      AnswerMessageBoxes(Windows());
    }
  }

  // Ends dialogs left open by commands, then closes the main window and waits for the end.
  // A dialog is asked to cancel; one that does not listen is closed, then told OK (the
  // full-screen dialogs' Done).
  int Close() {
    const DWORD start = GetTickCount();
    for (unsigned attempt = 0; CommandPending(); ++attempt) {
      const lmx::ViewerWindows w = Windows();
      AnswerMessageBoxes(w);
      if (!w.dialogs.empty()) {
        HWND dialog = w.dialogs.front();
        switch (attempt / 5 % 3) {
          case 0:
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            break;
          case 1:
            PostMessageW(dialog, WM_CLOSE, 0, 0);
            break;
          default:
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            break;
        }
      }
      if (Ended()) return kEndedEarly;
      if (GetTickCount() - start > timeoutMs_) {
        std::fprintf(stderr, "lmx_drive: timed out closing the open dialogs\n");
        return kTimedOut;
      }
      Sleep(4 * kPollMs);
    }
    const lmx::ViewerWindows w = Windows();
    if (!w.main) return Ended() ? kEndedEarly : kTimedOut;
    PostMessageW(w.main, WM_CLOSE, 0, 0);
    while (WaitForSingleObject(process_, kPollMs) == WAIT_TIMEOUT) {
      AnswerMessageBoxes(Windows());
      if (GetTickCount() - start > timeoutMs_) {
        std::fprintf(stderr, "lmx_drive: timed out waiting for the program to end\n");
        return kTimedOut;
      }
    }
    return kOk;
  }

 private:
  lmx::ViewerWindows Windows() const { return lmx::FindViewerWindows(pid_, mainClass_); }

  bool CommandPending() const {
    for (const PendingCommand* c : commands_) {
      if (WaitForSingleObject(c->thread, 0) == WAIT_TIMEOUT) return true;
    }
    return false;
  }

  void AnswerMessageBoxes(const lmx::ViewerWindows& w) {
    for (HWND box : w.messageBoxes) {
      if (answered_.insert(box).second) {
        std::fprintf(stderr, "message: %s: %s\n", OneLine(lmx::WindowText(box)).c_str(),
                     OneLine(lmx::MessageBoxText(box)).c_str());
        std::fflush(stderr);
      }
      lmx::DismissMessageBox(box);
    }
  }

  bool Settled() {
    const lmx::ViewerWindows w = Windows();
    if (!w.messageBoxes.empty()) {
      AnswerMessageBoxes(w);
      return false;
    }
    if (!w.main || !IsWindowVisible(w.main)) return false;
    if (CommandPending()) {
      if (w.dialogs.empty() || !IsWindowEnabled(w.dialogs.front())) return false;
    } else if (!IsWindowEnabled(w.main)) {
      return false;  // the start-up splash, or a dialog on its way down
    }
    return lmx::Responds(w.main, 1000) && lmx::AllPainted(w.visible);
  }

  HANDLE process_;
  DWORD pid_;
  const wchar_t* mainClass_;
  DWORD timeoutMs_;
  std::vector<PendingCommand*> commands_;  // a send still blocked is never freed under it
  std::set<HWND> answered_;
};

int Usage() {
  std::fprintf(stderr,
               "usage: lmx_drive --exe PROGRAM [--open PATH] [--class NAME] [--screenshot OUT.bmp]\n"
               "                 [--do ID | --key VK]... [--timeout SECONDS]\n");
  return kUsage;
}

// The keys the viewer knows, by name.
struct KeyName {
  const wchar_t* name;
  UINT virtualKey;
};
const KeyName kKeyNames[] = {
    {L"LEFT", VK_LEFT},     {L"RIGHT", VK_RIGHT},   {L"UP", VK_UP},         {L"DOWN", VK_DOWN},
    {L"SPACE", VK_SPACE},   {L"BACK", VK_BACK},     {L"HOME", VK_HOME},     {L"END", VK_END},
    {L"NEXT", VK_NEXT},     {L"PRIOR", VK_PRIOR},   {L"RETURN", VK_RETURN}, {L"ESCAPE", VK_ESCAPE},
    {L"ADD", VK_ADD},       {L"SUBTRACT", VK_SUBTRACT},
};

bool ParseKey(const wchar_t* text, UINT* virtualKey) {
  for (const KeyName& key : kKeyNames) {
    if (_wcsicmp(text, key.name) == 0) {
      *virtualKey = key.virtualKey;
      return true;
    }
  }
  wchar_t* end = nullptr;
  const unsigned long v = std::wcstoul(text, &end, 0);
  if (!text[0] || *end || v == 0 || v > 0xFE) return false;
  *virtualKey = static_cast<UINT>(v);
  return true;
}

bool ParseCommandId(const wchar_t* text, UINT* id) {
  wchar_t* end = nullptr;
  const unsigned long v = std::wcstoul(text, &end, 0);
  if (!text[0] || *end || v == 0 || v > 0xFFFF) return false;
  *id = static_cast<UINT>(v);
  return true;
}

// One step of the drive: a command id, or a key.
struct DriveStep {
  bool key;
  UINT value;
};

struct Options {
  std::wstring exe, open, screenshot;
  std::wstring mainClass = L"Zorvan Lumivex";
  std::vector<DriveStep> steps;
  DWORD timeoutMs = 60000;
};

bool ParseOptions(int argc, wchar_t** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    const std::wstring a = argv[i];
    if (i + 1 >= argc) return false;
    const wchar_t* v = argv[++i];
    if (a == L"--exe") o->exe = v;
    else if (a == L"--open") o->open = v;
    else if (a == L"--class") o->mainClass = v;
    else if (a == L"--screenshot") o->screenshot = v;
    else if (a == L"--do") {
      UINT id = 0;
      if (!ParseCommandId(v, &id)) return false;
      o->steps.push_back(DriveStep{false, id});
    } else if (a == L"--key") {
      UINT key = 0;
      if (!ParseKey(v, &key)) return false;
      o->steps.push_back(DriveStep{true, key});
    } else if (a == L"--timeout") {
      const int s = _wtoi(v);
      if (s <= 0) return false;
      o->timeoutMs = static_cast<DWORD>(s) * 1000;
    } else {
      return false;
    }
  }
  return !o->exe.empty() && (o->steps.empty() || !o->screenshot.empty());
}

// The program in its own folder, so that a device path such as "\My Documents" means the
// drive the program lives on; its command line is the path alone, not quoted.
bool Start(const Options& o, PROCESS_INFORMATION* pi) {
  wchar_t full[MAX_PATH];
  wchar_t* name = nullptr;
  if (!GetFullPathNameW(o.exe.c_str(), MAX_PATH, full, &name) || !name) return false;
  const std::wstring folder(full, name);
  std::wstring commandLine = L"\"" + std::wstring(full) + L"\"";
  if (!o.open.empty()) commandLine += L" " + o.open;
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  // Wine now and then refuses a start while its desktop is being set up; a moment later the
  // same start succeeds.
  for (int attempt = 0;; ++attempt) {
    if (CreateProcessW(full, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, pi)) {
      return true;
    }
    const DWORD error = GetLastError();
    if (attempt == 4 || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
        error == ERROR_BAD_EXE_FORMAT) {
      SetLastError(error);
      return false;
    }
    Sleep(500);
  }
}

int Drive(const Options& o, HANDLE process, DWORD pid) {
  Driver driver(process, pid, o.mainClass.c_str(), o.timeoutMs);
  WaitForInputIdle(process, o.timeoutMs);
  int r = driver.WaitSettled("the main window to be painted");
  for (size_t i = 0; r == kOk && i < o.steps.size(); ++i) {
    r = o.steps[i].key ? driver.Key(o.steps[i].value) : driver.Command(o.steps[i].value);
  }
  if (r != kOk) return r;
  lmx::ScreenPicture picture;
  r = driver.Capture(&picture);
  if (r != kOk) return r;
  if (!lmx::WriteBmpFile(o.screenshot.c_str(), picture)) {
    std::fprintf(stderr, "lmx_drive: cannot write %s\n", lmx::ToUtf8(o.screenshot).c_str());
    return kCaptureFailed;
  }
  std::printf("screen %dx%d written\n", picture.width, picture.height);
  return driver.Close();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Plain "\n" line ends, whoever reads the output.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  Options o;
  if (!ParseOptions(argc, argv, &o)) return Usage();
  const bool driven = !o.screenshot.empty();
  if (driven && FindWindowW(o.mainClass.c_str(), nullptr)) {
    std::fprintf(stderr, "lmx_drive: a copy of the program is already running; close it first\n");
    return kAlreadyRunning;
  }
  PROCESS_INFORMATION pi = {};
  if (!Start(o, &pi)) {
    std::fprintf(stderr, "lmx_drive: cannot start %s (error %lu)\n", lmx::ToUtf8(o.exe).c_str(), GetLastError());
    return kNotStarted;
  }
  CloseHandle(pi.hThread);
  int r = kOk;
  if (driven) {
    r = Drive(o, pi.hProcess, pi.dwProcessId);
    if (r == kTimedOut && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
      std::fprintf(stderr, "lmx_drive: ending the program\n");
      TerminateProcess(pi.hProcess, 3);
    }
  } else {
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    r = static_cast<int>(code);
  }
  std::fflush(stdout);
  CloseHandle(pi.hProcess);
  return r;
}
