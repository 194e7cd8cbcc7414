#include "tools/drive/viewer_windows.h"

#include "platform/message_box.h"

namespace lmx {

namespace {

// Dismissing prefers the answers that change nothing.
constexpr int kHarmlessAnswers[] = {IDOK, IDCANCEL, IDNO, IDABORT, IDIGNORE, IDRETRY, IDYES};

bool HasClass(HWND window, const wchar_t* name) {
  wchar_t cls[64] = L"";
  GetClassNameW(window, cls, 64);
  return lstrcmpiW(cls, name) == 0;
}

struct EnumState {
  DWORD pid;
  const wchar_t* mainClass;
  ViewerWindows* out;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<EnumState*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != s->pid) return TRUE;
  if (!s->out->main && HasClass(window, s->mainClass)) s->out->main = window;
  if (!IsWindowVisible(window)) return TRUE;
  s->out->visible.push_back(window);
  if (HasClass(window, L"#32770")) {
    (IsMessageBox(window) ? s->out->messageBoxes : s->out->dialogs).push_back(window);
  }
  return TRUE;
}

BOOL CALLBACK FindUnpainted(HWND window, LPARAM param) {
  if (IsWindowVisible(window) && GetUpdateRect(window, nullptr, FALSE)) {
    *reinterpret_cast<bool*>(param) = false;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

ViewerWindows FindViewerWindows(DWORD pid, const wchar_t* mainClass) {
  ViewerWindows out;
  EnumState state{pid, mainClass, &out};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&state));
  return out;
}

bool IsMessageBox(HWND window) {
  if (!HasClass(window, L"#32770") || !GetDlgItem(window, kMessageTextId)) return false;
  bool icon = false;
  for (int id : kMessageIconIds) icon = icon || GetDlgItem(window, id);
  if (!icon) return false;
  for (int id : kHarmlessAnswers) {
    if (GetDlgItem(window, id)) return true;
  }
  return false;
}

std::wstring WindowText(HWND window) {
  wchar_t text[1024] = L"";
  // WM_GETTEXT works across processes where GetWindowText of a control would not.
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 1000, nullptr);
  text[1023] = L'\0';
  return text;
}

std::wstring MessageBoxText(HWND box) { return WindowText(GetDlgItem(box, kMessageTextId)); }

void DismissMessageBox(HWND box) {
  for (int id : kHarmlessAnswers) {
    HWND button = GetDlgItem(box, id);
    if (button && IsWindowVisible(button)) {
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
      return;
    }
  }
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

bool AllPainted(const std::vector<HWND>& windows) {
  for (HWND w : windows) {
    if (!IsWindow(w)) continue;
    if (IsWindowVisible(w) && GetUpdateRect(w, nullptr, FALSE)) return false;
    bool painted = true;
    EnumChildWindows(w, FindUnpainted, reinterpret_cast<LPARAM>(&painted));
    if (!painted) return false;
  }
  return true;
}

bool Responds(HWND window, UINT timeoutMs) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

}  // namespace lmx
