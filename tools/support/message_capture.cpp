#include "tools/support/message_capture.h"

#include "platform/message_box.h"

namespace lmx {
namespace {

thread_local MessageCapture* tCurrent = nullptr;

bool HasButton(HWND box, int id) {
  HWND b = GetDlgItem(box, id);
  return b && IsWindowVisible(b);
}

UINT ReadStyle(HWND box) {
  UINT style = MB_OK;
  if (HasButton(box, IDABORT)) style = MB_ABORTRETRYIGNORE;
  else if (HasButton(box, IDYES) && HasButton(box, IDCANCEL)) style = MB_YESNOCANCEL;
  else if (HasButton(box, IDYES)) style = MB_YESNO;
  else if (HasButton(box, IDRETRY)) style = MB_RETRYCANCEL;
  else if (HasButton(box, IDCANCEL) && HasButton(box, IDOK)) style = MB_OKCANCEL;

  HICON icon = nullptr;
  for (int id : kMessageIconIds) {
    if (HWND c = GetDlgItem(box, id)) {
      icon = reinterpret_cast<HICON>(SendMessageW(c, STM_GETICON, 0, 0));
      if (icon) break;
    }
  }
  if (icon) {
    const struct { LPCWSTR id; UINT style; } kIcons[] = {
        {IDI_HAND, MB_ICONHAND}, {IDI_QUESTION, MB_ICONQUESTION},
        {IDI_EXCLAMATION, MB_ICONEXCLAMATION}, {IDI_ASTERISK, MB_ICONASTERISK}};
    for (const auto& k : kIcons) {
      if (LoadIconW(nullptr, k.id) == icon) style |= k.style;
    }
  }
  return style;
}

std::wstring WindowText(HWND window) {
  int n = GetWindowTextLengthW(window);
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  s.resize(static_cast<size_t>(GetWindowTextW(window, s.data(), n + 1)));
  return s;
}

}  // namespace

MessageCapture::MessageCapture(int answer) : answer_(answer), previous_(tCurrent) {
  tCurrent = this;
  hook_ = SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
}

MessageCapture::~MessageCapture() {
  if (hook_) UnhookWindowsHookEx(hook_);
  tCurrent = previous_;
}

void MessageCapture::Capture(HWND box) {
  if (box == lastBox_) return;
  lastBox_ = box;
  CapturedMessage m;
  m.caption = WindowText(box);
  m.text = WindowText(GetDlgItem(box, kMessageTextId));
  m.style = ReadStyle(box);
  messages_.push_back(m);
  if (onMessage) onMessage(m);
  if (inspect) inspect(box);

  int answer = answer_;
  if (!HasButton(box, answer)) {
    for (int id : {IDOK, IDCANCEL, IDYES, IDNO, IDABORT, IDRETRY, IDIGNORE}) {
      if (HasButton(box, id)) {
        answer = id;
        break;
      }
    }
  }
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
}

LRESULT CALLBACK MessageCapture::Hook(int code, WPARAM wParam, LPARAM lParam) {
  MessageCapture* self = tCurrent;
  // The hooks installed before this one see the box first: the box is recorded as they
  // leave it (the shell library lays it out for the screen).
  const LRESULT result = CallNextHookEx(self ? self->hook_ : nullptr, code, wParam, lParam);
  if (code == HCBT_ACTIVATE && self) {
    HWND window = reinterpret_cast<HWND>(wParam);
    // Activation can also announce a box of another process on the same desktop.
    if (IsMessageBoxWindow(window) && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
      self->Capture(window);
    }
  }
  return result;
}

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace lmx
