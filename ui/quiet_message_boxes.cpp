#include "ui/quiet_message_boxes.h"

namespace lmx {

namespace {

// The dialog class message boxes are made of.
const ATOM kDialogClassAtom = 32770;
int gRefused = 0;

LRESULT CALLBACK RefuseBoxes(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    const auto* create = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
    const LPCWSTR className = create && create->lpcs ? create->lpcs->lpszClass : nullptr;
    const bool dialog = className && (IS_INTRESOURCE(className) ? LOWORD(reinterpret_cast<ULONG_PTR>(className)) == kDialogClassAtom
                                                                : lstrcmpiW(className, L"#32770") == 0);
    if (dialog) {
      ++gRefused;
      return 1;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

QuietMessageBoxes::QuietMessageBoxes()
    : hook_(SetWindowsHookExW(WH_CBT, RefuseBoxes, nullptr, GetCurrentThreadId())), refusedBefore_(gRefused) {}

QuietMessageBoxes::~QuietMessageBoxes() {
  if (hook_) UnhookWindowsHookEx(hook_);
}

int QuietMessageBoxes::Refused() const { return gRefused - refusedBefore_; }

}  // namespace lmx
