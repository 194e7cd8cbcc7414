#include "app/main_window.h"

#include <commctrl.h>

#include <cwchar>

#include "app/animation_player.h"
#include "app/menu_commands.h"
#include "app/slide_show.h"
#include "app/viewer_keys.h"
#include "common/utils.h"
#include "dialogs/associate_dialog.h"
#include "dialogs/options_dialog.h"
#include "dialogs/plugin_manager.h"
#include "dialogs/properties_sheet.h"
#include "host/viewer_document.h"
#include "image/dib_transforms.h"
#include "lang/lang_ids.h"
#include "platform/aygshell.h"
#include "resources/program_ids.h"
#include "ui/settings.h"
#include "ui/splash.h"
#include "ui/status_bar.h"
#include "view/image_view.h"

namespace lmx {

namespace {

struct MainState {
  HINSTANCE instance = nullptr;
  HWND window = nullptr;
  HWND menuBar = nullptr;
  HMENU menu = nullptr;
  HMENU plugInMenu = nullptr;
  RECT layout{};
  wchar_t title[kResStringChars + 2] = {};
  wchar_t* tooltips[8] = {};
};
MainState g_main;
PendingOpenPath g_pending;

// The menu bar's image buttons: status bar and toolbar toggles, previous and next page.
const TBBUTTON kMenuBarButtons[] = {
    {9, IDC_CMD_STATUSBAR, TBSTATE_ENABLED, BTNS_CHECK, {}, 0, -1},
    {10, IDC_CMD_TOOLBAR, TBSTATE_ENABLED, BTNS_CHECK, {}, 0, -1},
    {11, IDC_CMD_PREVIOUS_PAGE, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, -1},
    {12, IDC_CMD_NEXT_PAGE, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, -1},
};
const int kMenuBarTooltipIds[8] = {-1, -1, -1, -1, IDS_TIP_STATUSBAR, IDS_TIP_TOOLBAR, IDS_TIP_PREVIOUS_PAGE,
                                    IDS_TIP_NEXT_PAGE};

GfxImage* CurrentImage() {
  ViewerDocument* document = TheDocument();
  ImageFileItem* item = document ? document->CurrentFile() : nullptr;
  return item ? item->image : nullptr;
}

// The place in the folder and the page, for the status bar's next file name.
void UpdateStatusPlace() {
  ViewerDocument* document = TheDocument();
  if (!document) {
    StatusBar_SetPlace(0, 0, 0, 0);
    return;
  }
  FolderPlace& place = document->Place();
  const int index = place.Standing() && place.Index() >= 0 ? place.Index() + 1 : 0;
  StatusBar_SetPlace(index, place.Count(), static_cast<int>(document->CurrentPage()) + 1,
                     static_cast<int>(document->PageCount()));
}

// The document's view: the image view takes the current file's picture.
class MainDocumentView final : public DocumentView {
 public:
  void CurrentFileChanged(ImageFileItem* current) override {
    ImageView_PictureChanged(PictureChange::kOpened, current ? current->image : nullptr);
    Animation_Start(g_main.window, current);
    // Without a picture its buttons go grey at once, whatever the command that led here.
    UpdateToolbarEnabling();
  }
  // The document calls this after every change of file or page, before the view paints.
  void UpdatePageButtons(bool visible, bool previousEnabled, bool nextEnabled) override {
    UpdateStatusPlace();
    if (!g_main.menuBar) return;
    SendMessageW(g_main.menuBar, TB_HIDEBUTTON, IDC_CMD_PREVIOUS_PAGE, MAKELONG(!visible, 0));
    SendMessageW(g_main.menuBar, TB_HIDEBUTTON, IDC_CMD_NEXT_PAGE, MAKELONG(!visible, 0));
    if (!visible) return;
    SendMessageW(g_main.menuBar, TB_ENABLEBUTTON, IDC_CMD_PREVIOUS_PAGE, MAKELONG(previousEnabled, 0));
    SendMessageW(g_main.menuBar, TB_ENABLEBUTTON, IDC_CMD_NEXT_PAGE, MAKELONG(nextEnabled, 0));
  }
  bool PreviewBox(int* width, int* height) override { return ImageView_PreviewBox(width, height); }
  void ShowPreview(const void* dib, int fullWidth, int fullHeight) override {
    ImageView_ShowPreview(dib, fullWidth, fullHeight);
  }
};
MainDocumentView g_documentView;

// What the image view tells of the pen: a tap ends a slide show, a swipe steps.
class MainViewEvents final : public ViewEvents {
 public:
  bool PenDown() override {
    if (!SlideShow_Active()) return false;
    SlideShow_Stop();
    return true;
  }
  void Swiped(bool toNext) override {
    // After the pen's own messages, not inside them: opening may show a box.
    if (g_main.window) {
      PostMessageW(g_main.window, WM_COMMAND,
                   MAKEWPARAM(toNext ? IDC_CMD_NEXT_PICTURE : IDC_CMD_PREVIOUS_PICTURE, 0), 0);
    }
  }
};
MainViewEvents g_viewEvents;

void Layout() {
  if (!g_main.window) return;
  if (ImageView_IsFullScreen()) return;  // the view covers the screen itself
  GetClientRect(g_main.window, &g_main.layout);
  if (HWND child = ViewerMainCtrlWindow()) {
    SetWindowPos(child, nullptr, g_main.layout.left, g_main.layout.top, g_main.layout.right - g_main.layout.left,
                 g_main.layout.bottom - g_main.layout.top, SWP_SHOWWINDOW | SWP_NOZORDER);
  }
}

void CreateMenuBar(HWND window) {
  SHMENUBARINFO info{};
  info.cbSize = sizeof(info);
  info.hwndParent = window;
  info.nToolBarId = IDR_MENU_BAR;
  info.hInstRes = ResourceModule();
  if (!SHCreateMenuBar(&info)) return;  // the window goes on without a menu bar
  g_main.menuBar = info.hwndMB;
  for (int i = 0; i < 8; ++i) {
    delete[] g_main.tooltips[i];
    g_main.tooltips[i] = nullptr;
    if (kMenuBarTooltipIds[i] < 0) continue;
    const wchar_t* text = LoadLangString(kMenuBarTooltipIds[i]);
    size_t chars = wcslen(text) + 1;
    g_main.tooltips[i] = new wchar_t[chars];
    wmemcpy(g_main.tooltips[i], text, chars);
  }
  SendMessageW(g_main.menuBar, CMDBAR_SETTOOLTIPS, 8, reinterpret_cast<LPARAM>(g_main.tooltips));
  CommandBar_AddBitmap(g_main.menuBar, g_main.instance, IDB_VIEWER_TOOLBAR, 4, 16, 16);
  SendMessageW(g_main.menuBar, TB_ADDBUTTONSW, 4, reinterpret_cast<LPARAM>(kMenuBarButtons));
  g_main.menu = reinterpret_cast<HMENU>(SendMessageW(g_main.menuBar, SHCMBM_GETMENU, 0, 0));
}

void Transform(TransformCode code) {
  GfxImage* image = CurrentImage();
  if (!image) return;
  // An animation stops on its frame, which is what turns.
  Animation_Stop();
  if (!GfxImage_Apply(image, code)) return;
  switch (code) {
    case kRotateClockwise:
    case kRotateCounterClockwise: ImageView_PictureChanged(PictureChange::kTurned); return;
    case kRotateHalf: ImageView_PictureChanged(PictureChange::kHalfTurned); return;
    default: ImageView_PictureChanged(PictureChange::kRedrawn); return;
  }
}

void SetViewMode(ViewMode mode) {
  if (ImageView_IsFullScreen()) ImageView_LeaveFullScreen();
  ImageView_SetMode(mode);
  RefreshAfterCommand();
}

void ChangePage(bool next) {
  ViewerDocument* document = TheDocument();
  if (!document || !document->CurrentFile()) return;
  Animation_Stop();
  // The document updates the page buttons either way.
  int changed = next ? document->NextPage() : document->PreviousPage();
  if (!changed) return;
  // Pages of one file may differ in size.
  ImageView_PictureChanged(PictureChange::kPage);
}

// A step that led to a file: the view shows its picture, or nothing and its name and place
// when its plug-in refused it.
void Step(FolderStep step) {
  const int result = StepPicture(step);
  if (result < 0) return;
  RefreshAfterCommand();
}

void StartHelp() {
  wchar_t stem[kResStringChars + 2];
  lstrcpynW(stem, LoadOwnString(IDS_HELP_STEM), kResStringChars + 2);
  wchar_t commandLine[2 * kResStringChars + 32];
  wsprintfW(commandLine, L"PegHelp.exe %s.htp#%s_help", stem, stem);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}

void RunOptions(HWND window) {
  unsigned changes = 0;
  if (RunOptionsDialog(window, ResourceModule(), &Settings(), &changes) != 1) return;
  if (changes & kOptionsScrollModeChanged) ImageView_ScrollModeChanged();
  if (changes & kOptionsToolbarChanged) RelayoutViewerMainCtrl();
  if (changes & kOptionsToolbarAlignChanged) RelayoutViewerMainCtrl();
  if (changes & kOptionsStatusbarChanged) RelayoutViewerMainCtrl();
  UpdateMenuBarChecks();
}

void OnCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const UINT command = LOWORD(wParam);
  ViewerDocument* document = TheDocument();
  // Any other command ends a slide show first.
  if (command != IDC_CMD_SLIDE_SHOW) SlideShow_Stop();
  switch (command) {
    case IDC_CMD_ABOUT:
      RunAboutBox(window);
      return;
    case IDC_CMD_EXIT:
      SendMessageW(window, WM_CLOSE, 0, 0);
      return;
    case IDC_CMD_OPEN:
      if (document && document->OpenFile(window, L"")) RefreshAfterCommand();
      return;
    case IDC_CMD_CLOSE:
      // The document has cleared the view and hidden the page buttons.
      if (document && document->CloseFile(window)) {
        ImageView_Relayout();
        RefreshAfterCommand();
      }
      return;
    case IDC_CMD_HELP:
      StartHelp();
      return;
    case IDC_CMD_ROTATE_LEFT: Transform(kRotateCounterClockwise); return;
    case IDC_CMD_ROTATE_RIGHT: Transform(kRotateClockwise); return;
    case IDC_CMD_HALF_TURN: Transform(kRotateHalf); return;
    case IDC_CMD_INVERT: Transform(kInvert); return;
    case IDC_CMD_FLIP: Transform(kFlip); return;
    case IDC_CMD_MIRROR: Transform(kMirror); return;
    case IDC_CMD_STATUSBAR:
      ToggleFlag(&Settings().showStatusbar);
      RelayoutViewerMainCtrl();
      UpdateMenuBarChecks();
      return;
    case IDC_CMD_TOOLBAR:
      ToggleFlag(&Settings().showAddToolbar);
      RelayoutViewerMainCtrl();
      UpdateMenuBarChecks();
      return;
    case IDC_CMD_ACTUAL_SIZE: SetViewMode(kViewActualSize); return;
    case IDC_CMD_FIT_WHOLE: SetViewMode(kViewFitWhole); return;
    case IDC_CMD_FIT_WIDTH: SetViewMode(kViewFitWidth); return;
    case IDC_CMD_FIT_HEIGHT: SetViewMode(kViewFitHeight); return;
    case IDC_CMD_ZOOM_IN: ImageView_ZoomIn(); return;
    case IDC_CMD_ZOOM_OUT: ImageView_ZoomOut(); return;
    case IDC_CMD_ZOOM_DIALOG: ImageView_ZoomDialog(window); return;
    case IDC_CMD_OPTIONS:
      RunOptions(window);
      return;
    case IDC_CMD_PLUGINS:
      // The animation's plug-in may go.
      Animation_Stop();
      RunPlugInManager(window, RebuildPlugInSubmenu);
      RefreshAfterCommand();
      return;
    case IDC_CMD_PROPERTIES:
      if (CurrentImage()) ShowPictureProperties(window);
      return;
    case IDC_CMD_ASSOCIATIONS:
      AssociateDialog(g_main.instance, window);
      return;
    case IDC_CMD_FULL_SCREEN:
      if (ImageView_IsFullScreen()) ImageView_LeaveFullScreen();
      else ImageView_EnterFullScreen();
      SendMessageW(window, WM_SIZE, wParam, lParam);
      return;
    case IDC_CMD_NEXT_PAGE: ChangePage(true); return;
    case IDC_CMD_PREVIOUS_PAGE: ChangePage(false); return;
    case IDC_CMD_NEXT_PICTURE: Step(FolderStep::kNext); return;
    case IDC_CMD_PREVIOUS_PICTURE: Step(FolderStep::kPrevious); return;
    case IDC_CMD_FIRST_PICTURE: Step(FolderStep::kFirst); return;
    case IDC_CMD_LAST_PICTURE: Step(FolderStep::kLast); return;
    case IDC_CMD_SLIDE_SHOW:
      if (SlideShow_Active()) SlideShow_Stop();
      else SlideShow_Start(window);
      return;
    case IDC_CMD_PLAY_PAUSE: Animation_PlayPause(); return;
    default:
      break;
  }
  if (command >= IDC_CMD_PLUGIN_FIRST && command <= IDC_CMD_PLUGIN_LAST) {
    PlugInEntry* entry = document ? document->plugIns()->FindByPlugInId(command) : nullptr;
    if (entry) entry->About(window);
    return;
  }
  DefWindowProcW(window, message, wParam, lParam);
}

// Next and Previous Picture: enabled while the folder has a picture that way, read anew.
void EnableStepItems(HMENU popup) {
  ViewerDocument* document = TheDocument();
  FolderPlace* place = document ? &document->Place() : nullptr;
  if (place) place->Read(document->plugIns());
  const auto enable = [&](UINT command, FolderStep step) {
    const bool can = place && place->CanStep(step);
    EnableMenuItem(popup, command, MF_BYCOMMAND | (can ? MF_ENABLED : MF_GRAYED));
  };
  enable(IDC_CMD_NEXT_PICTURE, FolderStep::kNext);
  enable(IDC_CMD_PREVIOUS_PICTURE, FolderStep::kPrevious);
}

void OnInitMenuPopup(HMENU popup, UINT popupId) {
  if (popupId != IDM_POPUP_TOOLS && popupId != IDM_POPUP_FILE && popupId != IDM_POPUP_IMAGE &&
      popupId != IDM_POPUP_VIEW) {
    return;
  }
  const bool open = PictureOpen();
  const UINT state = open ? MF_ENABLED : MF_GRAYED;
  for (int row = 0; row < kMenuCommandRows; ++row) {
    const MenuCommandRow& r = kMenuCommandTable[row];
    if (r.popup != popupId) continue;
    EnableMenuItem(popup, r.command, MF_BYCOMMAND | (RowEnabled(row, open) ? MF_ENABLED : MF_GRAYED));
  }
  if (popupId == IDM_POPUP_IMAGE) EnableMenuItem(popup, 0, MF_BYPOSITION | state);
  if (popupId == IDM_POPUP_FILE) EnableStepItems(popup);
  if (popupId == IDM_POPUP_VIEW && open) {
    int position = RadioPositionOfViewMode(ImageView_Mode());
    if (position >= 0) CheckMenuRadioItem(popup, 0, 9, position, MF_BYPOSITION);
  }
}

void OnSettingChange(HWND window, WPARAM wParam) {
  if (wParam != SPI_SETSIPINFO) return;
  SIPINFO sip{};
  sip.cbSize = sizeof(sip);
  if (!SHSipInfo(SPI_GETSIPINFO, 0, &sip, 0)) return;
  int width = sip.rcVisibleDesktop.right - sip.rcVisibleDesktop.left;
  int height = sip.rcVisibleDesktop.bottom - sip.rcVisibleDesktop.top;
  if (!(sip.fdwFlags & SIPF_ON)) height -= AYG_MENU_BAR_HEIGHT;
  MoveWindow(window, sip.rcVisibleDesktop.left, sip.rcVisibleDesktop.top, width, height, TRUE);
}

LRESULT OnCreate(HWND window) {
  g_main.window = window;
  SetOwnerWindow(window);
  if (ViewerDocument* document = TheDocument()) document->SetView(&g_documentView);
  ImageView_SetEvents(&g_viewEvents);
  RegisterViewerMainCtrl(g_main.instance);
  CreateViewerMainCtrl(window, g_main.instance);
  CreateMenuBar(window);
  RebuildPlugInSubmenu();
  if (g_pending.pending) {
    g_pending.pending = false;
    if (ViewerDocument* document = TheDocument()) document->OpenFile(window, g_pending.path);
  }
  if (Settings().startup) ShowSplash(g_main.instance, window, kSplashTimeout);
  else SetForegroundWindow(window);
  GetClientRect(window, &g_main.layout);
  UpdateMenuBarChecks();
  UpdatePageButtons();
  UpdateToolbarEnabling();
  return 0;
}

void OnClose(HWND window) {
  SlideShow_Stop();
  Animation_Stop();
  ImageView_SetEvents(nullptr);
  DestroyViewerMainCtrl();
  if (g_main.menu) {
    DestroyMenu(g_main.menu);
    g_main.menu = nullptr;
    g_main.plugInMenu = nullptr;  // went with the menu
  }
  DestroyWindow(window);
}

}  // namespace

PendingOpenPath& PendingOpen() { return g_pending; }

void CommandLinePath(const wchar_t* commandLine, wchar_t (&out)[kPathBufferChars]) {
  out[0] = L'\0';
  if (!commandLine) return;
  const wchar_t* begin = commandLine;
  while (*begin == L' ' || *begin == L'\t') ++begin;
  const wchar_t* end = begin + wcslen(begin);
  while (end > begin && (end[-1] == L' ' || end[-1] == L'\t')) --end;
  if (end - begin >= 2 && *begin == L'"' && end[-1] == L'"') {
    ++begin;
    --end;
  }
  size_t chars = static_cast<size_t>(end - begin);
  if (chars > kPathBufferChars - 1) chars = kPathBufferChars - 1;
  wmemcpy(out, begin, chars);
  out[chars] = L'\0';
}

bool PathFromCopyData(const COPYDATASTRUCT* data, wchar_t (&out)[kPathBufferChars]) {
  out[0] = L'\0';
  if (!data || !data->lpData || data->cbData < sizeof(wchar_t)) return false;
  size_t chars = data->cbData / sizeof(wchar_t);
  if (chars > kPathBufferChars - 1) chars = kPathBufferChars - 1;
  const auto* text = static_cast<const wchar_t*>(data->lpData);
  size_t length = 0;
  while (length < chars && text[length]) ++length;
  wmemcpy(out, text, length);
  out[length] = L'\0';
  return length > 0;
}

const wchar_t* MainWindowTitle() {
  if (!g_main.title[0]) lstrcpynW(g_main.title, LoadOwnString(IDS_PRODUCT_NAME), kResStringChars + 2);
  return g_main.title;
}

bool RegisterMainWindowClass(HINSTANCE instance) {
  g_main.instance = instance;
  WNDCLASSW wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PROGRAM));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = MainWindowTitle();
  return RegisterClassW(&wc) != 0;
}

bool PictureOpen() {
  ViewerDocument* document = TheDocument();
  return document && document->OpenFileCount() != 0;
}

HWND MainWindow() { return g_main.window; }
HWND MenuBarWindow() { return g_main.menuBar; }
HMENU MainMenu() { return g_main.menu; }

void UpdateToolbarEnabling() {
  HWND toolbar = ViewerToolbarWindow();
  if (!toolbar) return;
  const bool open = PictureOpen();
  for (int row = 0; row < kMenuCommandRows; ++row) {
    if (kMenuCommandTable[row].toolbar) {
      SendMessageW(toolbar, TB_ENABLEBUTTON, kMenuCommandTable[row].command, MAKELONG(RowEnabled(row, open), 0));
    }
  }
}

void UpdatePageButtons() {
  if (ViewerDocument* document = TheDocument()) {
    document->UpdatePageButtons();
  } else {
    g_documentView.UpdatePageButtons(false, false, false);
  }
}

void RefreshAfterCommand() {
  UpdateToolbarEnabling();
  UpdatePageButtons();
  if (HWND container = ViewerMainCtrlWindow()) {
    InvalidateRect(container, nullptr, TRUE);
    RedrawWindow(container, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
}

int StepPicture(FolderStep step) {
  ViewerDocument* document = TheDocument();
  if (!document || !document->Place().Standing()) return -1;
  const int result = document->Step(g_main.window, step);
  if (result == 0) {
    // Refused: the view is empty, and the status bar tells which file and where it stands
    // (the document has given the place already).
    StatusBar_ShowFileName(document->Place().Path().c_str());
  }
  return result;
}

void RebuildPlugInSubmenu() {
  HMENU popup = g_main.menu ? GetSubMenu(g_main.menu, MENU_BAR_TOOLS_INDEX) : nullptr;
  if (g_main.plugInMenu) {
    if (popup) RemoveMenu(popup, MENU_BAR_PLUGIN_SUBMENU_POS, MF_BYPOSITION);
    DestroyMenu(g_main.plugInMenu);
    g_main.plugInMenu = nullptr;
  }
  ViewerDocument* document = TheDocument();
  if (!popup || !document || !document->plugIns()->Count()) return;
  g_main.plugInMenu = CreatePopupMenu();
  InsertMenuW(popup, MENU_BAR_PLUGIN_SUBMENU_POS, MF_BYPOSITION | MF_POPUP | MF_STRING,
              reinterpret_cast<UINT_PTR>(g_main.plugInMenu), LoadLangString(IDS_PLUGIN_MENU_TITLE));
  int32_t cursor = -1;
  const wchar_t* shortName = nullptr;
  uint32_t pluginId = 0;
  while (document->plugIns()->Walk(&cursor, true, &shortName, &pluginId)) {
    if (!shortName || !*shortName || pluginId == 0) continue;
    wchar_t text[300];
    lstrcpynW(text, shortName, 296);
    lstrcatW(text, L"...");
    AppendMenuW(g_main.plugInMenu, MF_STRING, pluginId, text);
  }
  if (g_main.menuBar) DrawMenuBar(g_main.menuBar);
}

void UpdateMenuBarChecks() {
  if (!g_main.menuBar) return;
  SendMessageW(g_main.menuBar, TB_CHECKBUTTON, IDC_CMD_TOOLBAR, MAKELONG(LOWORD(Settings().showAddToolbar), 0));
  SendMessageW(g_main.menuBar, TB_CHECKBUTTON, IDC_CMD_STATUSBAR, MAKELONG(LOWORD(Settings().showStatusbar), 0));
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate(window);
    case WM_DESTROY:
      g_main.window = nullptr;
      g_main.menuBar = nullptr;
      PostQuitMessage(0);
      return 0;
    case WM_SIZE:
      Layout();
      return 0;
    case WM_CLOSE:
      OnClose(window);
      return 0;
    case WM_SETTINGCHANGE:
      OnSettingChange(window, wParam);
      return 0;
    case WM_COPYDATA: {
      wchar_t path[kPathBufferChars];
      if (PathFromCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam), path)) {
        wmemcpy(g_pending.path, path, kPathBufferChars);
        ViewerDocument* document = TheDocument();
        if (document && document->OpenFile(window, g_pending.path)) RefreshAfterCommand();
      }
      return 0;
    }
    case WM_NOTIFY:
      if (reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(RBN_HEIGHTCHANGE)) Layout();
      return 0;
    case WM_HELP:
      SendMessageW(window, WM_COMMAND, IDC_CMD_HELP, 0);
      return 0;
    case WM_COMMAND:
      OnCommand(window, message, wParam, lParam);
      return 0;
    case WM_INITMENUPOPUP:
      OnInitMenuPopup(reinterpret_cast<HMENU>(wParam), LOWORD(lParam));
      return 0;
    case WM_DEVICECHANGE:
      return 0;
    case WM_KEYDOWN:
      if (!ViewerKeys_OnKeyDown(window, static_cast<UINT>(wParam))) return DefWindowProcW(window, message, wParam, lParam);
      return 0;
    case WM_MOUSEWHEEL:
      ViewerKeys_OnWheel(window, wParam);
      return 0;
    case WM_TIMER:
      if (wParam == kSlideShowTimer) SlideShow_OnTimer();
      if (wParam == kAnimationTimer) Animation_OnTimer();
      return 0;
    case WM_ACTIVATEAPP:
      Animation_SetInFront(wParam != 0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace lmx
