#include "explorer/explorer_view.h"

#include <commctrl.h>

#include "common/utils.h"
#include "explorer/explorer_ids.h"
#include "explorer/explorer_list.h"
#include "explorer/thumbnail_grid.h"
#include "lang/lang_ids.h"
#include "platform/aygshell.h"
#include "resources/program_ids.h"
#include "ui/settings.h"
#include "ui/ui_helpers.h"

namespace lmx {

namespace {

constexpr int kCancelWidth = 50;
constexpr int kButtonMargins = 12;  // a push button's frame and the gap around its text
constexpr int kDialogPicked = 1;
constexpr int kDialogCancelled = 2;

const TBBUTTON kExplorerButtons[] = {
    {0, IDM_EXPLORER_ROOT, TBSTATE_ENABLED, BTNS_BUTTON, {0}, 0, 0},
    // 0x88: a drop-down whose whole button opens the level menu.
    {1, IDM_EXPLORER_LEVELS, TBSTATE_ENABLED, 0x88, {0}, 0, 0},
};

// Bitmaps 140 and 145 belong to the program; the tests' program carries them too.
HMODULE ProgramModule() {
  HMODULE module = InstanceModule();
  return module ? module : GetModuleHandleW(nullptr);
}

ExplorerFrame* FrameOf(HWND view) { return reinterpret_cast<ExplorerFrame*>(GetWindowLongPtrW(view, GWLP_USERDATA)); }

// --- Zorvan_ExplorerView ---

// Shown by its own style: the dialog itself is not visible yet while it is set up.
bool GridShown(const ExplorerFrame* frame) {
  return frame->grid && (GetWindowLongW(frame->grid, GWL_STYLE) & WS_VISIBLE);
}

// The view button names what it switches to.
void ShowViewButtonText(const ExplorerFrame* frame) {
  if (frame->viewButton) {
    SetWindowTextW(frame->viewButton, LoadLangString(GridShown(frame) ? IDS_EXPLORER_LIST : IDS_EXPLORER_GRID));
  }
}

// As wide as the longer of its two texts in its font.
int ViewButtonWidth(const ExplorerFrame* frame) {
  if (!frame->viewButton) return 0;
  HDC dc = GetDC(frame->viewButton);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(frame->viewButton, WM_GETFONT, 0, 0)));
  int widest = 0;
  for (UINT id : {IDS_EXPLORER_GRID, IDS_EXPLORER_LIST}) {
    const wchar_t* text = LoadLangString(id);
    SIZE size{};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    if (size.cx > widest) widest = size.cx;
  }
  SelectObject(dc, old);
  ReleaseDC(frame->viewButton, dc);
  return widest + kButtonMargins;
}

HWND MakeToolbarButton(HMODULE module, HWND view, ExplorerFrame* frame, UINT id, UINT textId) {
  HWND button = PutButtonOnToolbar(module, view, id, 0, &frame->toolbarDesc);
  if (!button) return nullptr;
  // In the dialog's font: the system font a new button starts with is bold and wide.
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(GetParent(view), WM_GETFONT, 0, 0));
  if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SetWindowTextW(button, LoadLangString(textId));
  return button;
}

void View_RowsChanged(void* context) {
  HWND view = static_cast<HWND>(context);
  ExplorerFrame* frame = reinterpret_cast<ExplorerFrame*>(GetWindowLongPtrW(view, GWLP_USERDATA));
  if (!frame) return;
  FitExplorerColumns(frame->list);
  if (GridShown(frame)) ReloadThumbnailGrid(frame->grid);
}

void View_OnCreate(HWND view, const OpenFileRequest* request) {
  auto* frame = static_cast<ExplorerFrame*>(LocalAlloc(LPTR, sizeof(ExplorerFrame)));
  if (!frame) return;
  SetWindowLongPtrW(view, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(frame));
  const HMODULE program = ProgramModule();
  const HMODULE module = request ? request->resourceModule : nullptr;
  if (SetUpToolbar(program, IDB_EXPLORER_TOOLBAR, 2, false, kExplorerButtons, &frame->toolbarDesc) &&
      CreateToolbar(program, view, IDC_EXPLORER_TOOLBAR, &frame->toolbarDesc)) {
    frame->toolbar = frame->toolbarDesc.toolbar;
    frame->cancelButton = MakeToolbarButton(module, view, frame, IDC_EXPLORER_CANCEL, IDS_EXPLORER_CANCEL);
    frame->viewButton = MakeToolbarButton(module, view, frame, IDC_EXPLORER_VIEW_MODE, IDS_EXPLORER_GRID);
  }
  frame->list = CreateExplorerList(view, module, program, IDC_EXPLORER_LIST);
  if (!frame->list) return;
  PrepareStartFolder(frame->list, request ? request->startFolder : nullptr);
  const PickOptions* options = request ? request->options : nullptr;
  frame->grid = CreateThumbnailGrid(view, module, IDC_EXPLORER_GRID, frame->list,
                                    options ? options->thumbnails : ThumbnailSetup{});
  if (ExplorerState* state = StateOf(frame->list)) {
    state->rowsChanged = View_RowsChanged;
    state->rowsChangedContext = view;
  }
  ShowExplorerGrid(view, Settings().explorerGrid != 0);
}

void View_OnSize(HWND view, ExplorerFrame* frame) {
  RECT client;
  GetClientRect(view, &client);
  int toolbarBottom = 0;
  if (frame->toolbar) {
    SendMessageW(frame->toolbar, TB_AUTOSIZE, 0, 0);
    ShowWindow(frame->toolbar, SW_SHOW);
    RECT bar;
    GetWindowRect(frame->toolbar, &bar);
    MapWindowPoints(nullptr, view, reinterpret_cast<POINT*>(&bar), 2);
    toolbarBottom = bar.bottom;
    if (frame->cancelButton) {
      RECT barClient;
      GetClientRect(frame->toolbar, &barClient);
      MoveWindow(frame->cancelButton, barClient.right - kCancelWidth, 0, kCancelWidth, RectHeight(barClient), TRUE);
      if (frame->viewButton) {
        const int width = ViewButtonWidth(frame);
        MoveWindow(frame->viewButton, barClient.right - kCancelWidth - width, 0, width, RectHeight(barClient), TRUE);
      }
    }
  }
  if (frame->list) {
    MoveWindow(frame->list, client.left, toolbarBottom, client.right, client.bottom - toolbarBottom, TRUE);
    FitExplorerColumns(frame->list);
  }
  if (frame->grid) {
    MoveWindow(frame->grid, client.left, toolbarBottom, client.right, client.bottom - toolbarBottom, TRUE);
  }
}

void View_ShowLevelMenu(HWND view, ExplorerFrame* frame, const NMTOOLBARW* drop) {
  RECT button;
  if (!SendMessageW(drop->hdr.hwndFrom, TB_GETRECT, drop->iItem, reinterpret_cast<LPARAM>(&button))) return;
  MapWindowPoints(drop->hdr.hwndFrom, nullptr, reinterpret_cast<POINT*>(&button), 2);
  HMENU menu = BuildLevelMenu(frame->list);
  if (!menu) return;
  TPMPARAMS keepClear{};
  keepClear.cbSize = sizeof(keepClear);
  keepClear.rcExclude = button;
  TrackPopupMenuEx(menu, TPM_VERTICAL, button.left, button.bottom, view, &keepClear);
  DestroyMenu(menu);
}

LRESULT View_OnNotify(HWND view, ExplorerFrame* frame, const NMHDR* hdr) {
  if (hdr->code == TBN_DROPDOWN) {
    const auto* drop = reinterpret_cast<const NMTOOLBARW*>(hdr);
    if (drop->iItem == IDM_EXPLORER_LEVELS) View_ShowLevelMenu(view, frame, drop);
  }
  return DispatchNotify(view, static_cast<UINT>(hdr->idFrom), hdr);
}

void View_OnCommand(HWND view, ExplorerFrame* frame, WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  if (id == IDC_EXPLORER_CANCEL) {
    SendMessageW(GetParent(view), WM_COMMAND, wParam, lParam);
  } else if (id == IDC_EXPLORER_VIEW_MODE) {
    const bool grid = !GridShown(frame);
    SetFlag(&Settings().explorerGrid, grid);
    ShowExplorerGrid(view, grid);
  } else if (id == IDM_EXPLORER_ROOT) {
    GoToLevel(frame->list, 0);
  } else if (id >= IDM_EXPLORER_LEVEL_FIRST && id <= IDM_EXPLORER_LEVEL_LAST) {
    const int level = id - IDM_EXPLORER_LEVEL_FIRST;
    if (level != CurrentLevel(frame->list)) GoToLevel(frame->list, level);
  }
}

void View_OnDestroy(HWND view, ExplorerFrame* frame) {
  // The grid goes first: it reads the list's rows.
  if (frame->grid) DestroyWindow(frame->grid);
  frame->grid = nullptr;
  if (frame->list && DestroyExplorerList(frame->list)) frame->list = nullptr;
  DestroyToolbar(&frame->toolbarDesc);
  SetWindowLongPtrW(view, GWLP_USERDATA, 0);
  LocalFree(frame);
}

LRESULT CALLBACK ExplorerViewProc(HWND view, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CREATE) {
    View_OnCreate(view, static_cast<const OpenFileRequest*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    return 0;
  }
  ExplorerFrame* frame = FrameOf(view);
  if (!frame) return DefWindowProcW(view, msg, wParam, lParam);
  switch (msg) {
    case WM_SIZE:
      View_OnSize(view, frame);
      return 0;
    case WM_NOTIFY:
      return View_OnNotify(view, frame, reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND:
      View_OnCommand(view, frame, wParam, lParam);
      return 0;
    case WM_MOUSEWHEEL:
      // The wheel goes to the focus, and from there up to its parents: the grid scrolls
      // whichever of the explorer's windows holds the focus.
      if (GridShown(frame)) return SendMessageW(frame->grid, msg, wParam, lParam);
      return DefWindowProcW(view, msg, wParam, lParam);
    case WM_DESTROY:
      View_OnDestroy(view, frame);
      return 0;
    default:
      return DefWindowProcW(view, msg, wParam, lParam);
  }
}

// --- The dialog ---

OpenFileRequest* RequestOf(HWND dialog) {
  return reinterpret_cast<OpenFileRequest*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

HWND ListOf(HWND dialog) { return GetDlgItem(GetDlgItem(dialog, IDC_EXPLORER_VIEW), IDC_EXPLORER_LIST); }

void Dialog_OnSize(HWND dialog, int width, int height) {
  SetWindowPos(GetDlgItem(dialog, IDC_EXPLORER_VIEW), nullptr, 0, 0, width, height,
               SWP_NOZORDER | SWP_SHOWWINDOW);
}

// The caller's file, when the folder lists it: selected (so Done picks it again) and in view.
void SelectByName(HWND dialog, HWND list, const wchar_t* name) {
  const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    const ExplorerEntry* entry = ExplorerRowEntry(list, i);
    if (!entry || !IsFileEntry(*entry) || CompareNoCase(entry->name, name) != CSTR_EQUAL) continue;
    LVITEMW item{};
    item.mask = LVIF_STATE;
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&item));
    SendMessageW(list, LVM_ENSUREVISIBLE, i, FALSE);
    HWND grid = GetDlgItem(GetDlgItem(dialog, IDC_EXPLORER_VIEW), IDC_EXPLORER_GRID);
    if (grid && (GetWindowLongW(grid, GWL_STYLE) & WS_VISIBLE)) ReloadThumbnailGrid(grid);
    return;
  }
}

// True when the focus went to the grid, so the dialog leaves the focus where it is.
bool Dialog_OnInit(HWND dialog, OpenFileRequest* request) {
  InitFullScreenDialog(dialog, false, true);
  if (RegisterExplorerViewClass(request->resourceModule)) {
    CreateWindowExW(0, kExplorerViewClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, dialog,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_EXPLORER_VIEW)), request->resourceModule,
                    request);
  }
  SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(request));
  // The full-screen sizing came before the view existed: it takes the client area now.
  RECT client;
  GetClientRect(dialog, &client);
  Dialog_OnSize(dialog, client.right, client.bottom);
  HWND list = ListOf(dialog);
  SetExplorerFilter(list, request->filter);
  ScanFolder(list);
  if (request->options && request->options->selectName) SelectByName(dialog, list, request->options->selectName);
  // The grid takes the d-pad and the wheel from the start.
  HWND grid = GetDlgItem(GetDlgItem(dialog, IDC_EXPLORER_VIEW), IDC_EXPLORER_GRID);
  if (!grid || !(GetWindowLongW(grid, GWL_STYLE) & WS_VISIBLE)) return false;
  SetFocus(grid);
  return true;
}

void Dialog_OnOk(HWND dialog, OpenFileRequest* request) {
  if (!request->path || request->pathChars == 0) return;
  if (!ChosenPath(ListOf(dialog), request->path, request->pathChars) || request->path[0] == L'\0') return;
  SetInputPanel(false);
  EndDialog(dialog, kDialogPicked);
}

INT_PTR CALLBACK ExplorerDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    return Dialog_OnInit(dialog, reinterpret_cast<OpenFileRequest*>(lParam)) ? FALSE : TRUE;
  }
  OpenFileRequest* request = RequestOf(dialog);
  if (!request) return FALSE;
  switch (msg) {
    case WM_SIZE:
      Dialog_OnSize(dialog, LOWORD(lParam), HIWORD(lParam));
      return TRUE;
    case WM_SETTINGCHANGE:
      if (wParam == SPI_SETSIPINFO) {
        SHACTIVATEINFO activation{};
        SHHandleWMSettingChange(dialog, static_cast<WPARAM>(-1), 0, &activation);
      }
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        Dialog_OnOk(dialog, request);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        SetInputPanel(false);
        EndDialog(dialog, kDialogCancelled);
        return TRUE;
      }
      // The view button's command, sent to the dialog (as the driver of screenshots does),
      // is the button's.
      if (LOWORD(wParam) == IDC_EXPLORER_VIEW_MODE) {
        SendMessageW(GetDlgItem(dialog, IDC_EXPLORER_VIEW), WM_COMMAND, wParam, lParam);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

bool RegisterExplorerViewClass(HMODULE module) {
  WNDCLASSW known;
  if (GetClassInfoW(module, kExplorerViewClass, &known)) return true;
  WNDCLASSW wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = ExplorerViewProc;
  wc.hInstance = module;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = kExplorerViewClass;
  return RegisterClassW(&wc) != 0;
}

void ShowExplorerGrid(HWND view, bool grid) {
  ExplorerFrame* frame = FrameOf(view);
  if (!frame || !frame->list) return;
  if (!frame->grid) grid = false;
  if (grid) {
    ShowWindow(frame->grid, SW_SHOW);
    ShowWindow(frame->list, SW_HIDE);
    ReloadThumbnailGrid(frame->grid);
    if (GetFocus() == frame->list) SetFocus(frame->grid);
  } else {
    if (frame->grid) ShowWindow(frame->grid, SW_HIDE);
    ShowWindow(frame->list, SW_SHOW);
    const int selected = static_cast<int>(SendMessageW(frame->list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (selected >= 0) SendMessageW(frame->list, LVM_ENSUREVISIBLE, selected, FALSE);
  }
  ShowViewButtonText(frame);
}

namespace {

// The plain pick leaves the request's field 10 zero, as it always was.
bool RunPickFile(HWND owner, wchar_t* path, const wchar_t* filter, wchar_t* startFolder, const PickOptions* options) {
  if (!path) return false;
  path[0] = L'\0';
  const HMODULE lang = ResourceModule();
  HRSRC found = lang ? FindResourceW(lang, MAKEINTRESOURCEW(IDD_EXPLORER), MAKEINTRESOURCEW(5)) : nullptr;
  HGLOBAL loaded = found ? LoadResource(lang, found) : nullptr;
  const auto* dialogTemplate = loaded ? static_cast<const DLGTEMPLATE*>(LockResource(loaded)) : nullptr;
  if (!dialogTemplate) return false;

  wchar_t chosen[MAX_PATH] = L"";
  OpenFileRequest request{};
  request.size = sizeof(request);
  request.owner = owner;
  request.resourceModule = lang;
  request.filter = filter;
  request.path = chosen;
  request.pathChars = MAX_PATH;
  request.startFolder = startFolder;
  request.options = options;
  const INT_PTR result = DialogBoxIndirectParamW(lang, dialogTemplate, owner, ExplorerDialogProc,
                                                 reinterpret_cast<LPARAM>(&request));
  if (result != kDialogPicked) return false;
  lstrcpynW(path, chosen, MAX_PATH);
  if (startFolder) DirectoryOf(path, startFolder, MAX_PATH);
  return true;
}

}  // namespace

bool PickFile(HWND owner, wchar_t* path, const wchar_t* filter, wchar_t* startFolder) {
  return RunPickFile(owner, path, filter, startFolder, nullptr);
}

bool PickFile(HWND owner, wchar_t* path, const wchar_t* filter, wchar_t* startFolder, const PickOptions& options) {
  return RunPickFile(owner, path, filter, startFolder, &options);
}

}  // namespace lmx
