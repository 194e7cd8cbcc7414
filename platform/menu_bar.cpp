// The Pocket PC menu bar: an owned pop-up along the bottom of the screen. Its left part holds
// one text button per top-level popup of the program's menu resource; a tap opens that popup
// above the bar. Its right part is a flat toolbar with the program's image buttons, whose
// images come from CommandBar_AddBitmap and whose tips from CMDBAR_SETTOOLTIPS.
#include <windows.h>
#include <commctrl.h>

#include "platform/aygshell.h"
#include "platform/aygshell_module.h"
#include "platform/tahoma_font.h"

namespace {

constexpr wchar_t kMenuBarClass[] = L"Aygshell_MenuBar";
constexpr int kToolbarId = 1;
constexpr int kMaxPopups = 8;
constexpr int kPopupTextChars = 32;
constexpr int kTextPadding = 8;      // around a text button's label
constexpr int kToolbarGap = 2;       // between the text buttons and the image buttons
constexpr COLORREF kTransparent = RGB(192, 192, 192);

struct TextButton {
  HMENU popup;
  UINT id;
  RECT rect;
  wchar_t text[kPopupTextChars];
};

struct MenuBar {
  HWND owner;
  HWND toolbar;
  HMENU menu;
  HFONT font;
  HIMAGELIST images;
  int imageCx;
  int imageCy;
  TextButton buttons[kMaxPopups];
  int buttonCount;
  int openButton;  // the text button whose popup is up, or -1
  wchar_t** tips;
  int tipCount;
};

MenuBar* MenuBarOf(HWND bar) { return reinterpret_cast<MenuBar*>(GetWindowLongPtrW(bar, GWLP_USERDATA)); }

void* Alloc(size_t bytes) { return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes); }
void Free(void* p) {
  if (p) HeapFree(GetProcessHeap(), 0, p);
}

// --- Tooltip texts ---

void FreeTips(MenuBar* state) {
  for (int i = 0; i < state->tipCount; ++i) Free(state->tips[i]);
  Free(state->tips);
  state->tips = nullptr;
  state->tipCount = 0;
}

wchar_t* CopyText(const wchar_t* text) {
  const size_t length = lstrlenW(text);
  auto* copy = static_cast<wchar_t*>(Alloc((length + 1) * sizeof(wchar_t)));
  if (copy) CopyMemory(copy, text, length * sizeof(wchar_t));
  return copy;
}

// The caller's array is copied whole or not at all.
LRESULT MenuBar_OnSetTooltips(MenuBar* state, WPARAM count, LPARAM lParam) {
  const auto* texts = reinterpret_cast<const wchar_t* const*>(lParam);
  if (count > CMDBAR_MAX_TOOLTIPS || (count > 0 && !texts)) return FALSE;
  auto** tips = static_cast<wchar_t**>(Alloc((count ? count : 1) * sizeof(wchar_t*)));
  if (!tips) return FALSE;
  for (WPARAM i = 0; i < count; ++i) {
    if (!texts[i]) continue;
    tips[i] = CopyText(texts[i]);
    if (!tips[i]) {
      for (WPARAM j = 0; j < i; ++j) Free(tips[j]);
      Free(tips);
      return FALSE;
    }
  }
  FreeTips(state);
  state->tips = tips;
  state->tipCount = static_cast<int>(count);
  return TRUE;
}

// Tips are numbered over the whole bar: the text buttons first, then the image buttons.
const wchar_t* TipForCommand(MenuBar* state, UINT command) {
  const LRESULT index = SendMessageW(state->toolbar, TB_COMMANDTOINDEX, command, 0);
  if (index < 0) return nullptr;
  const LRESULT tip = state->buttonCount + index;
  return tip < state->tipCount ? state->tips[tip] : nullptr;
}

LRESULT MenuBar_OnNotify(MenuBar* state, NMHDR* header) {
  if (!header || header->code != TTN_GETDISPINFOW) return 0;
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
  const wchar_t* tip = TipForCommand(state, static_cast<UINT>(header->idFrom));
  info->hinst = nullptr;
  info->szText[0] = L'\0';
  // The toolbar reads the text at once; the bar keeps it for as long as the tips are set.
  info->lpszText = const_cast<wchar_t*>(tip ? tip : L"");
  return 0;
}

// --- Check state shared by an image button and a menu item ---

bool IsCheckButton(MenuBar* state, UINT command) {
  TBBUTTONINFOW info{};
  info.cbSize = sizeof(info);
  info.dwMask = TBIF_STYLE;
  if (SendMessageW(state->toolbar, TB_GETBUTTONINFOW, command, reinterpret_cast<LPARAM>(&info)) < 0) return false;
  return (info.fsStyle & BTNS_CHECK) != 0;
}

void SyncMenuCheck(MenuBar* state, UINT command) {
  if (!state->menu || !IsMenu(state->menu)) return;
  const bool checked = SendMessageW(state->toolbar, TB_ISBUTTONCHECKED, command, 0) != 0;
  CheckMenuItem(state->menu, command, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

// Buttons added with their check state set: their menu items follow.
void SyncAllMenuChecks(MenuBar* state) {
  const LRESULT count = SendMessageW(state->toolbar, TB_BUTTONCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    TBBUTTON button{};
    if (SendMessageW(state->toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button)) && (button.fsStyle & BTNS_CHECK)) {
      SyncMenuCheck(state, static_cast<UINT>(button.idCommand));
    }
  }
}

// --- Layout and painting ---

// The width the visible image buttons take.
int ImageButtonsWidth(MenuBar* state) {
  SIZE size{};
  return SendMessageW(state->toolbar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size)) ? size.cx : 0;
}

// Text buttons take their measured labels; when those and the image buttons need more than the
// bar, the padding goes first and then every text button gives up width in proportion, so that
// the image buttons always stay on the screen and the labels are clipped inside their buttons.
void LayOut(HWND bar, MenuBar* state) {
  RECT client;
  GetClientRect(bar, &client);
  HDC dc = GetDC(bar);
  HGDIOBJ oldFont = state->font ? SelectObject(dc, state->font) : nullptr;
  int textWidths[kMaxPopups] = {};
  int total = 0;
  for (int i = 0; i < state->buttonCount; ++i) {
    SIZE size{};
    GetTextExtentPoint32W(dc, state->buttons[i].text, lstrlenW(state->buttons[i].text), &size);
    textWidths[i] = size.cx;
    total += size.cx;
  }
  if (oldFont) SelectObject(dc, oldFont);
  ReleaseDC(bar, dc);

  const int gap = state->buttonCount > 0 ? kToolbarGap : 0;
  const int room = client.right - ImageButtonsWidth(state) - gap;
  int padding = kTextPadding;
  if (state->buttonCount > 0 && total + padding * state->buttonCount > room) {
    padding = room > total ? (room - total) / state->buttonCount : 0;
  }
  const int needed = total + padding * state->buttonCount;
  int x = 0;
  for (int i = 0; i < state->buttonCount; ++i) {
    int width = textWidths[i] + padding;
    if (needed > room && needed > 0) width = room > 0 ? MulDiv(width, room, needed) : 0;
    state->buttons[i].rect = RECT{x, 0, x + width, AYG_MENU_BAR_HEIGHT};
    x += width;
  }
  x += gap;
  SetWindowPos(state->toolbar, nullptr, x, 1, client.right - x > 0 ? client.right - x : 0, AYG_MENU_BAR_HEIGHT - 1,
               SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(bar, nullptr, TRUE);
}

void MenuBar_OnPaint(HWND bar, MenuBar* state) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(bar, &ps);
  RECT client;
  GetClientRect(bar, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  RECT line{client.left, client.top, client.right, client.top + 1};
  FillRect(dc, &line, GetSysColorBrush(COLOR_BTNSHADOW));
  HGDIOBJ oldFont = state->font ? SelectObject(dc, state->font) : nullptr;
  SetBkMode(dc, TRANSPARENT);
  for (int i = 0; i < state->buttonCount; ++i) {
    TextButton& button = state->buttons[i];
    RECT rc = button.rect;
    rc.top += 1;
    const bool open = i == state->openButton;
    if (open) FillRect(dc, &rc, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(open ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
    DrawTextW(dc, button.text, -1, &rc, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  if (oldFont) SelectObject(dc, oldFont);
  EndPaint(bar, &ps);
}

// --- Popups ---

void OpenPopup(HWND bar, MenuBar* state, int index) {
  TextButton& button = state->buttons[index];
  if (!state->menu || !IsMenu(button.popup)) return;
  // The owner sets its items' states before the popup shows.
  SendMessageW(state->owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(button.popup), MAKELPARAM(button.id, 0));
  if (!IsWindow(bar) || !IsMenu(button.popup)) return;
  state->openButton = index;
  InvalidateRect(bar, &button.rect, TRUE);
  UpdateWindow(bar);
  POINT anchor{button.rect.left, 0};
  ClientToScreen(bar, &anchor);
  const UINT command = static_cast<UINT>(TrackPopupMenuEx(
      button.popup, TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, anchor.x,
      anchor.y, bar, nullptr));
  if (!IsWindow(bar)) return;
  state->openButton = -1;
  InvalidateRect(bar, &button.rect, TRUE);
  if (command == 0) return;
  // A menu item standing for a check button flips the button as a tap on it would.
  if (IsCheckButton(state, command)) {
    const bool checked = SendMessageW(state->toolbar, TB_ISBUTTONCHECKED, command, 0) != 0;
    SendMessageW(state->toolbar, TB_CHECKBUTTON, command, MAKELPARAM(!checked, 0));
    SyncMenuCheck(state, command);
  }
  PostMessageW(state->owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

void MenuBar_OnLButtonDown(HWND bar, MenuBar* state, int x, int y) {
  if (state->openButton >= 0 || !IsWindowEnabled(state->owner)) return;
  const POINT pt{x, y};
  for (int i = 0; i < state->buttonCount; ++i) {
    if (PtInRect(&state->buttons[i].rect, pt)) {
      OpenPopup(bar, state, i);
      return;
    }
  }
}

// --- Image buttons' commands ---

void MenuBar_OnCommand(MenuBar* state, WPARAM wParam, LPARAM lParam) {
  if (reinterpret_cast<HWND>(lParam) != state->toolbar) return;
  if (!IsWindowEnabled(state->owner)) return;
  const UINT command = LOWORD(wParam);
  if (IsCheckButton(state, command)) SyncMenuCheck(state, command);
  SendMessageW(state->owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

// Messages after which the image buttons may take another width.
bool ChangesImageWidth(UINT msg) {
  switch (msg) {
    case TB_ADDBUTTONSW:
    case TB_INSERTBUTTONW:
    case TB_DELETEBUTTON:
    case TB_HIDEBUTTON:
    case TB_SETBUTTONSIZE:
    case TB_SETBITMAPSIZE:
    case TB_AUTOSIZE:
      return true;
    default:
      return false;
  }
}

LRESULT MenuBar_OnToolbarMessage(HWND bar, MenuBar* state, UINT msg, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = SendMessageW(state->toolbar, msg, wParam, lParam);
  if (msg == TB_CHECKBUTTON && result) SyncMenuCheck(state, static_cast<UINT>(wParam));
  if ((msg == TB_ADDBUTTONSW || msg == TB_INSERTBUTTONW) && result) SyncAllMenuChecks(state);
  if (ChangesImageWidth(msg)) LayOut(bar, state);
  return result;
}

HMENU FindPopup(MenuBar* state, UINT id) {
  for (int i = 0; i < state->buttonCount; ++i) {
    if (state->buttons[i].id == id) return state->buttons[i].popup;
  }
  return nullptr;
}

LRESULT MenuBar_OnGetPopupRect(MenuBar* state, WPARAM index, LPARAM lParam) {
  auto* rect = reinterpret_cast<RECT*>(lParam);
  if (!rect || index >= static_cast<WPARAM>(state->buttonCount)) return FALSE;
  *rect = state->buttons[index].rect;
  return TRUE;
}

// --- Creation and destruction ---

struct CreateParams {
  HWND owner;
  HMENU menu;
};

void ReadPopups(MenuBar* state) {
  const int count = GetMenuItemCount(state->menu);
  for (int i = 0; i < count && state->buttonCount < kMaxPopups; ++i) {
    TextButton& button = state->buttons[state->buttonCount];
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = button.text;
    info.cch = kPopupTextChars;
    if (!GetMenuItemInfoW(state->menu, i, TRUE, &info) || !info.hSubMenu) continue;
    button.popup = info.hSubMenu;
    button.id = info.wID;
    ++state->buttonCount;
  }
}

LRESULT MenuBar_OnCreate(HWND bar, const CREATESTRUCTW* create) {
  const auto* params = static_cast<const CreateParams*>(create->lpCreateParams);
  auto* state = static_cast<MenuBar*>(Alloc(sizeof(MenuBar)));
  if (!state) return -1;
  state->owner = params->owner;
  state->menu = params->menu;
  state->openButton = -1;
  state->toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                                   WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE |
                                       CCS_NOPARENTALIGN | CCS_NODIVIDER,
                                   0, 0, 0, 0, bar, reinterpret_cast<HMENU>(kToolbarId), AygshellModule(), nullptr);
  if (!state->toolbar) {
    Free(state);
    return -1;
  }
  SendMessageW(state->toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  state->font = lmx::CreateTahomaFont(bar, 8, FW_BOLD);
  if (state->menu) ReadPopups(state);
  SetWindowLongPtrW(bar, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  LayOut(bar, state);
  return 0;
}

// Children are gone by now: the image list and the menu are no longer in use.
void MenuBar_OnNcDestroy(HWND bar, MenuBar* state) {
  FreeTips(state);
  if (state->images) ImageList_Destroy(state->images);
  if (state->font) DeleteObject(state->font);
  // The owner may have destroyed the menu already; a destroyed handle is not a menu.
  if (state->menu && IsMenu(state->menu)) DestroyMenu(state->menu);
  Free(state);
  SetWindowLongPtrW(bar, GWLP_USERDATA, 0);
}

bool IsToolbarMessage(UINT msg) { return msg >= WM_USER && msg < WM_USER + 400 && msg != CMDBAR_SETTOOLTIPS; }

LRESULT CALLBACK MenuBarProc(HWND bar, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CREATE) return MenuBar_OnCreate(bar, reinterpret_cast<const CREATESTRUCTW*>(lParam));
  MenuBar* state = MenuBarOf(bar);
  if (!state) return DefWindowProcW(bar, msg, wParam, lParam);
  if (IsToolbarMessage(msg)) return MenuBar_OnToolbarMessage(bar, state, msg, wParam, lParam);
  switch (msg) {
    case CMDBAR_SETTOOLTIPS:
      return MenuBar_OnSetTooltips(state, wParam, lParam);
    case SHCMBM_GETMENU:
      return reinterpret_cast<LRESULT>(state->menu);
    case SHCMBM_GETSUBMENU:
      return reinterpret_cast<LRESULT>(FindPopup(state, static_cast<UINT>(lParam)));
    case AYGMBM_GETPOPUPRECT:
      return MenuBar_OnGetPopupRect(state, wParam, lParam);
    case WM_PAINT:
      MenuBar_OnPaint(bar, state);
      return 0;
    case WM_LBUTTONDOWN:
      MenuBar_OnLButtonDown(bar, state, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      return 0;
    case WM_MOUSEACTIVATE:
      // Taps leave the program's window active; none get through while the owner is disabled.
      return IsWindowEnabled(state->owner) ? MA_NOACTIVATE : MA_NOACTIVATEANDEAT;
    case WM_COMMAND:
      MenuBar_OnCommand(state, wParam, lParam);
      return 0;
    case WM_NOTIFY:
      return MenuBar_OnNotify(state, reinterpret_cast<NMHDR*>(lParam));
    case WM_NCDESTROY:
      MenuBar_OnNcDestroy(bar, state);
      return 0;
    default:
      return DefWindowProcW(bar, msg, wParam, lParam);
  }
}

bool RegisterMenuBarClass() {
  WNDCLASSW wc{};
  if (GetClassInfoW(AygshellModule(), kMenuBarClass, &wc)) return true;
  wc.lpfnWndProc = MenuBarProc;
  wc.hInstance = AygshellModule();
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kMenuBarClass;
  return RegisterClassW(&wc) != 0;
}

MenuBar* BarState(HWND bar) {
  wchar_t className[32] = L"";
  if (!IsWindow(bar) || !GetClassNameW(bar, className, ARRAYSIZE(className))) return nullptr;
  if (lstrcmpW(className, kMenuBarClass) != 0) return nullptr;
  return MenuBarOf(bar);
}

int AddBitmap(HWND bar, HINSTANCE instance, int bitmapId, int cx, int cy) {
  MenuBar* state = BarState(bar);
  if (!state || cx <= 0 || cy <= 0) return -1;
  if (state->images && (cx != state->imageCx || cy != state->imageCy)) return -1;
  HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, 0));
  if (!bitmap) return -1;
  BITMAP info{};
  const bool fits = GetObjectW(bitmap, sizeof(info), &info) && info.bmWidth >= cx && info.bmHeight >= cy;
  int first = -1;
  if (fits) {
    if (!state->images) {
      state->images = ImageList_Create(cx, cy, ILC_COLOR24 | ILC_MASK, info.bmWidth / cx, 8);
      state->imageCx = cx;
      state->imageCy = cy;
      if (state->images) {
        SendMessageW(state->toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(cx, cy));
        SendMessageW(state->toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(state->images));
      }
    }
    if (state->images) {
      const int before = ImageList_GetImageCount(state->images);
      // The list takes as many images as the bitmap is wide, whatever count the caller states.
      if (ImageList_AddMasked(state->images, bitmap, kTransparent) >= 0) first = before;
    }
  }
  DeleteObject(bitmap);
  if (first >= 0) InvalidateRect(state->toolbar, nullptr, TRUE);
  return first;
}

}  // namespace

extern "C" {

BOOL WINAPI SHCreateMenuBar(PSHMENUBARINFO pmbi) {
  if (!pmbi || pmbi->cbSize != sizeof(SHMENUBARINFO) || !IsWindow(pmbi->hwndParent)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  pmbi->hwndMB = nullptr;
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
  if (!InitCommonControlsEx(&controls) || !RegisterMenuBarClass()) return FALSE;
  CreateParams params{pmbi->hwndParent, nullptr};
  if (!(pmbi->dwFlags & SHCMBF_EMPTYBAR)) {
    params.menu = LoadMenuW(pmbi->hInstRes, MAKEINTRESOURCEW(pmbi->nToolBarId));
    if (!params.menu) return FALSE;
  }
  const DWORD visible = (pmbi->dwFlags & SHCMBF_HIDDEN) ? 0 : WS_VISIBLE;
  HWND bar = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kMenuBarClass, L"", WS_POPUP | visible, 0,
                             AYG_SCREEN_HEIGHT - AYG_MENU_BAR_HEIGHT, AYG_SCREEN_WIDTH, AYG_MENU_BAR_HEIGHT,
                             pmbi->hwndParent, nullptr, AygshellModule(), &params);
  if (!bar) {
    if (params.menu) DestroyMenu(params.menu);
    return FALSE;
  }
  if (pmbi->nBmpId != 0 && CommandBar_AddBitmap(bar, pmbi->hInstRes, pmbi->nBmpId, pmbi->cBmpImages, 16, 16) < 0) {
    DestroyWindow(bar);
    return FALSE;
  }
  pmbi->hwndMB = bar;
  // A window with a menu bar is a program's main window: the screen's top bar carries its
  // title, as the device's navigation bar does.
  if (visible && pmbi->hwndParent) AygShowTopBar(pmbi->hwndParent, false);
  return TRUE;
}

int WINAPI CommandBar_AddBitmap(HWND hwndCB, HINSTANCE hInst, int idBitmap, int cImages, int cx, int cy) {
  return AddBitmap(hwndCB, hInst, idBitmap, cx, cy);
}

}  // extern "C"
