// The shell library of the emulated Pocket PC: full-screen dialogs with the top bar and its
// Done button, the docked soft input panel's state, and the settings-change handling.
//
// The input panel belongs to the process: its state lives here, and a change is announced
// to the process's own top-level windows only, so that programs (and tests) running side by
// side under one Wine server do not move each other's windows.
#include "platform/aygshell.h"
#include "platform/message_box.h"
#include "platform/aygshell_module.h"

namespace {

constexpr wchar_t kTopBarClass[] = L"Aygshell_TopBar";
constexpr wchar_t kTopBarProp[] = L"Aygshell.TopBar";
constexpr int kDoneButtonWidth = 36;
constexpr UINT kAnnounceTimeoutMs = 1000;

HMODULE gModule;
DWORD gSipFlags = SIPF_DOCKED;  // docked, down

RECT ScreenBelowTopBar() {
  return RECT{0, AYG_TOP_BAR_HEIGHT, AYG_SCREEN_WIDTH, AYG_SCREEN_HEIGHT};
}

RECT VisibleDesktop(DWORD sipFlags) {
  RECT rc = ScreenBelowTopBar();
  if (sipFlags & SIPF_ON) rc.bottom = AYG_SCREEN_HEIGHT - AYG_MENU_BAR_HEIGHT - AYG_SIP_HEIGHT;
  return rc;
}

RECT SipRect() {
  const int bottom = AYG_SCREEN_HEIGHT - AYG_MENU_BAR_HEIGHT;
  return RECT{0, bottom - AYG_SIP_HEIGHT, AYG_SCREEN_WIDTH, bottom};
}

// --- Input panel ---

bool SizeIsAccepted(DWORD cbSize) {
  return cbSize == sizeof(SIPINFO) || cbSize == SIPINFO_DEVICE_SIZE;
}

BOOL GetSipInfo(SIPINFO* info) {
  if (!info || !SizeIsAccepted(info->cbSize)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // Only the fields that lie inside the caller's size are written.
  info->fdwFlags = gSipFlags;
  info->rcVisibleDesktop = VisibleDesktop(gSipFlags);
  info->rcSipRect = SipRect();
  info->dwImDataSize = 0;
  if (info->cbSize >= sizeof(SIPINFO)) info->pvImData = nullptr;
  return TRUE;
}

BOOL CALLBACK AnnounceSipChange(HWND hwnd, LPARAM) {
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  // WM_SETTINGCHANGE may carry a string, so it can only be sent, not posted; a thread that
  // does not answer in time is passed over.
  if (process == GetCurrentProcessId()) {
    SendMessageTimeoutW(hwnd, WM_SETTINGCHANGE, SPI_SETSIPINFO, 0, SMTO_ABORTIFHUNG, kAnnounceTimeoutMs, nullptr);
  }
  return TRUE;
}

BOOL SetSipInfo(const SIPINFO* info) {
  if (!info || !SizeIsAccepted(info->cbSize)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // The panel is always docked; only up or down is taken from the request.
  const DWORD flags = SIPF_DOCKED | (info->fdwFlags & SIPF_ON);
  if (flags != gSipFlags) {
    gSipFlags = flags;
    EnumWindows(AnnounceSipChange, 0);
  }
  return TRUE;
}

// --- Top bar: the dialog's title and its Done button ---

struct TopBar {
  HFONT font;
  HWND done;
};

TopBar* TopBarOf(HWND bar) { return reinterpret_cast<TopBar*>(GetWindowLongPtrW(bar, GWLP_USERDATA)); }

LRESULT TopBar_OnCreate(HWND bar) {
  auto* state = static_cast<TopBar*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(TopBar)));
  if (!state) return -1;
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    metrics.lfCaptionFont.lfWeight = FW_BOLD;
    state->font = CreateFontIndirectW(&metrics.lfCaptionFont);
  }
  SetWindowLongPtrW(bar, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  return 0;
}

void TopBar_OnPaint(HWND bar, TopBar* state) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(bar, &ps);
  RECT rc;
  GetClientRect(bar, &rc);
  FillRect(dc, &rc, GetSysColorBrush(COLOR_ACTIVECAPTION));
  wchar_t title[128] = L"";
  GetWindowTextW(GetWindow(bar, GW_OWNER), title, ARRAYSIZE(title));
  rc.left += 6;
  if (state->done) rc.right -= kDoneButtonWidth + 4;
  HGDIOBJ oldFont = state->font ? SelectObject(dc, state->font) : nullptr;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
  DrawTextW(dc, title, -1, &rc, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
  if (oldFont) SelectObject(dc, oldFont);
  EndPaint(bar, &ps);
}

void TopBar_OnCommand(HWND bar, WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED) {
    SendMessageW(GetWindow(bar, GW_OWNER), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), lParam);
  }
}

void TopBar_OnDestroy(HWND bar, TopBar* state) {
  HWND owner = GetWindow(bar, GW_OWNER);
  if (owner && GetPropW(owner, kTopBarProp) == bar) RemovePropW(owner, kTopBarProp);
  if (state->font) DeleteObject(state->font);
  HeapFree(GetProcessHeap(), 0, state);
  SetWindowLongPtrW(bar, GWLP_USERDATA, 0);
}

void TopBar_PassFocus(HWND bar) {
  HWND owner = GetWindow(bar, GW_OWNER);
  if (owner && IsWindowVisible(owner) && IsWindowEnabled(owner)) SetFocus(owner);
}

LRESULT CALLBACK TopBarProc(HWND bar, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CREATE) return TopBar_OnCreate(bar);
  TopBar* state = TopBarOf(bar);
  if (!state) return DefWindowProcW(bar, msg, wParam, lParam);
  switch (msg) {
    case WM_PAINT:
      TopBar_OnPaint(bar, state);
      return 0;
    case WM_MOUSEACTIVATE:
      // A tap on the bar leaves the dialog active, as the device's title bar does.
      return MA_NOACTIVATE;
    case WM_SETFOCUS:
      // The bar never keeps the keys: when the window under it closes (a message box), the
      // focus it is handed goes on to the window the bar belongs to.
      TopBar_PassFocus(bar);
      return 0;
    case WM_COMMAND:
      TopBar_OnCommand(bar, wParam, lParam);
      return 0;
    case WM_DESTROY:
      TopBar_OnDestroy(bar, state);
      return 0;
    default:
      return DefWindowProcW(bar, msg, wParam, lParam);
  }
}

bool RegisterTopBarClass() {
  WNDCLASSW wc{};
  if (GetClassInfoW(gModule, kTopBarClass, &wc)) return true;
  wc.lpfnWndProc = TopBarProc;
  wc.hInstance = gModule;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kTopBarClass;
  return RegisterClassW(&wc) != 0;
}

// One bar per dialog; a second call only adds the Done button when it is newly asked for.
bool ShowTopBar(HWND dialog, bool doneButton) {
  HWND bar = static_cast<HWND>(GetPropW(dialog, kTopBarProp));
  if (!bar) {
    if (!RegisterTopBarClass()) return false;
    bar = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kTopBarClass, L"",
                          WS_POPUP | WS_CLIPCHILDREN, 0, 0, AYG_SCREEN_WIDTH, AYG_TOP_BAR_HEIGHT,
                          dialog, nullptr, gModule, nullptr);
    if (!bar) return false;
    SetPropW(dialog, kTopBarProp, bar);
  }
  TopBar* state = TopBarOf(bar);
  if (doneButton && !state->done) {
    state->done = CreateWindowExW(0, L"Button", L"OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                                  AYG_SCREEN_WIDTH - kDoneButtonWidth - 2, 2, kDoneButtonWidth,
                                  AYG_TOP_BAR_HEIGHT - 4, bar, reinterpret_cast<HMENU>(IDOK), gModule, nullptr);
    if (state->font && state->done) SendMessageW(state->done, WM_SETFONT, reinterpret_cast<WPARAM>(state->font), 0);
  }
  ShowWindow(bar, SW_SHOWNOACTIVATE);
  InvalidateRect(bar, nullptr, TRUE);
  return true;
}

// The dialog gives up its caption and frame: the top bar carries its title.
void SizeFullScreen(HWND dialog) {
  LONG_PTR style = GetWindowLongPtrW(dialog, GWL_STYLE);
  LONG_PTR exStyle = GetWindowLongPtrW(dialog, GWL_EXSTYLE);
  SetWindowLongPtrW(dialog, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_CAPTION | WS_THICKFRAME | WS_SYSMENU));
  SetWindowLongPtrW(dialog, GWL_EXSTYLE,
                    exStyle & ~static_cast<LONG_PTR>(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE |
                                                     WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
  const RECT rc = ScreenBelowTopBar();
  SetWindowPos(dialog, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void SizeToVisibleDesktop(HWND dialog) {
  const RECT rc = VisibleDesktop(gSipFlags);
  SetWindowPos(dialog, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void LowerSip() {
  SIPINFO info{};
  info.cbSize = sizeof(info);
  SetSipInfo(&info);
}

}  // namespace

bool AygShowTopBar(HWND owner, bool doneButton) { return ShowTopBar(owner, doneButton); }

HMODULE AygshellModule() { return gModule; }

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    gModule = instance;
    DisableThreadLibraryCalls(instance);
    lmx::InstallMessageBoxFit();
  } else if (reason == DLL_PROCESS_DETACH && !reserved) {
    lmx::RemoveMessageBoxFit();  // unloaded while the process goes on
  }
  return TRUE;
}

BOOL WINAPI SHSipInfo(UINT uiAction, UINT uiParam, PVOID pvParam, UINT fWinIni) {
  switch (uiAction) {
    case SPI_GETSIPINFO:
      return GetSipInfo(static_cast<SIPINFO*>(pvParam));
    case SPI_SETSIPINFO:
      return SetSipInfo(static_cast<const SIPINFO*>(pvParam));
    default:
      // No input methods to choose from on this machine.
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
  }
}

BOOL WINAPI SHInitExtraControls(void) { return RegisterTopBarClass(); }

BOOL WINAPI SHInitDialog(PSHINITDLGINFO pshidi) {
  if (!pshidi || !IsWindow(pshidi->hDlg)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!(pshidi->dwMask & SHIDIM_FLAGS)) return TRUE;
  // A property page stands for its sheet: the sheet is what fills the screen.
  HWND dialog = GetAncestor(pshidi->hDlg, GA_ROOT);
  const DWORD flags = pshidi->dwFlags;
  const bool fullScreen = (flags & (SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR)) != 0;
  if (fullScreen) {
    SizeFullScreen(dialog);
  } else if (flags & SHIDIF_SIZEDLG) {
    SizeToVisibleDesktop(dialog);
  }
  if (flags & SHIDIF_SIPDOWN) LowerSip();
  if (fullScreen || (flags & SHIDIF_DONEBUTTON)) {
    if (!ShowTopBar(dialog, (flags & SHIDIF_DONEBUTTON) != 0)) return FALSE;
  }
  return TRUE;
}

BOOL WINAPI SHHandleWMSettingChange(HWND hwnd, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* psai) {
  if (wParam != SPI_SETSIPINFO && wParam != static_cast<WPARAM>(-1)) return FALSE;
  if (!IsWindow(hwnd)) return FALSE;
  const bool sipUp = (gSipFlags & SIPF_ON) != 0;
  if (psai) psai->fSipUp = sipUp ? 1 : 0;
  // The window keeps its top and width; its bottom follows the visible desktop, whatever
  // the caller's record remembered, so that a lowered panel always gives the room back.
  HWND window = GetAncestor(hwnd, GA_ROOT);
  RECT rc;
  GetWindowRect(window, &rc);
  const RECT visible = VisibleDesktop(gSipFlags);
  if (rc.top < visible.bottom && rc.bottom != visible.bottom) {
    SetWindowPos(window, nullptr, 0, 0, rc.right - rc.left, visible.bottom - rc.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return TRUE;
}

}  // extern "C"
