// ViewerMainCtrl: the main window's one child. It holds the image view, the viewer toolbar
// and the status bar, lays them out from the settings, and in full screen leaves its parent
// to cover the whole screen with the picture alone.
#include <windows.h>
#include <commctrl.h>

#include "lang/lang_ids.h"
#include "ui/settings.h"
#include "ui/status_bar.h"
#include "ui/viewer_toolbar.h"
#include "view/image_view.h"
#include "view/image_view_internal.h"

namespace lmx {

namespace {

HWND gMainCtrl = nullptr;
HWND gMainWindow = nullptr;
HINSTANCE gInstance = nullptr;
bool gMainCtrlRegistered = false;

void MainCtrl_OnCreate(HWND window) {
  gMainCtrl = window;
  CreateInfoControl(window, gInstance);
  StatusBar_Create(window, kStatusBarId);
  ViewerToolbar_Create(window, kViewerToolbarId, gMainWindow, gInstance);
}

void MainCtrl_OnSize(HWND window, WPARAM sizeType) {
  RECT rc{};
  GetClientRect(window, &rc);
  const int width = rc.right - rc.left, height = rc.bottom - rc.top;
  const AppSettings& settings = Settings();
  const bool fullScreen = ImageView_IsFullScreen();
  int statusHeight = 0, toolbarHeight = 0;

  if (HWND status = StatusBar_Window()) {
    if (settings.showStatusbar && !fullScreen) {
      statusHeight = StatusBar_Height();
      ShowWindow(status, SW_SHOW);
      SendMessageW(status, WM_SIZE, sizeType, MAKELPARAM(width, height));
    } else {
      ShowWindow(status, SW_HIDE);
    }
  }
  const bool toolbarShown = ViewerToolbar_Window() && settings.showAddToolbar && !fullScreen;
  if (toolbarShown) toolbarHeight = kViewerToolbarHeight;

  int viewHeight = height - toolbarHeight - statusHeight;
  if (viewHeight < 0) viewHeight = 0;
  const int viewTop = rc.top + (settings.toolbarAlign == 0 ? toolbarHeight : 0);
  if (HWND view = ImageViewWindow()) {
    SetWindowPos(view, nullptr, rc.left, viewTop, width, viewHeight, SWP_SHOWWINDOW | SWP_NOZORDER | SWP_NOCOPYBITS);
  }
  if (HWND toolbar = ViewerToolbar_Window()) {
    if (toolbarShown) {
      const int top = settings.toolbarAlign == 0 ? rc.top : viewHeight;
      ViewerToolbar_Move(RECT{0, top, width, top + kViewerToolbarHeight});
    } else {
      ShowWindow(toolbar, SW_HIDE);
    }
  }
  StatusBar_SetParts(rc);
  // Moved children would keep the bits of where they were, and the bars leave bands that no
  // sibling paints over: everything is painted anew from the new layout.
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT MainCtrl_OnNotify(const NMHDR* header) {
  if (!header || header->idFrom != static_cast<UINT_PTR>(kStatusBarId)) return 1;
  if (header->code == static_cast<UINT>(NM_DBLCLK) && gMainWindow) {
    SendMessageW(gMainWindow, WM_COMMAND, MAKEWPARAM(IDC_CMD_ZOOM_DIALOG, 0), 0);
  }
  return 0;
}

void MainCtrl_OnDestroy(HWND window) {
  DestroyInfoControl();
  StatusBar_Destroy();
  ViewerToolbar_Destroy();
  if (gMainCtrl == window) gMainCtrl = nullptr;
}

LRESULT CALLBACK ViewerMainCtrlProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE:
      MainCtrl_OnCreate(window);
      return 0;
    case WM_SIZE:
      MainCtrl_OnSize(window, wParam);
      return 0;
    case WM_NOTIFY:
      return MainCtrl_OnNotify(reinterpret_cast<const NMHDR*>(lParam));
    case WM_KEYDOWN:
    case WM_MOUSEWHEEL:
      // In full screen the control is a pop-up and may hold the focus itself.
      return gMainWindow ? SendMessageW(gMainWindow, msg, wParam, lParam) : 0;
    case WM_DESTROY:
      MainCtrl_OnDestroy(window);
      return 0;
    default:
      return DefWindowProcW(window, msg, wParam, lParam);
  }
}

}  // namespace

bool RegisterViewerMainCtrl(HINSTANCE instance) {
  if (gMainCtrlRegistered) return true;
  WNDCLASSW wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = ViewerMainCtrlProc;
  wc.hInstance = instance;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = kViewerMainCtrlClass;
  gMainCtrlRegistered = RegisterClassW(&wc) != 0;
  return gMainCtrlRegistered;
}

HWND CreateViewerMainCtrl(HWND mainWindow, HINSTANCE instance) {
  DestroyViewerMainCtrl();
  if (!RegisterViewerMainCtrl(instance) || !RegisterInfoControl(instance)) return nullptr;
  gMainWindow = mainWindow;
  gInstance = instance;
  // Placed for real by the main window's first layout.
  return CreateWindowExW(0, kViewerMainCtrlClass, L"", WS_CHILD | WS_VISIBLE, 0, 50, 100, 100, mainWindow,
                         reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kViewerMainCtrlId)), instance, nullptr);
}

void DestroyViewerMainCtrl() {
  if (gMainCtrl && IsWindow(gMainCtrl)) DestroyWindow(gMainCtrl);
  gMainCtrl = nullptr;
}

HWND ViewerMainCtrlWindow() { return gMainCtrl; }

HWND MainCtrl_MainWindow() { return gMainWindow; }

void RelayoutViewerMainCtrl() {
  if (!gMainCtrl) return;
  RECT rc{};
  GetClientRect(gMainCtrl, &rc);
  SendMessageW(gMainCtrl, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right - rc.left, rc.bottom - rc.top));
}

HWND ViewerToolbarWindow() { return ViewerToolbar_Control(); }

HWND StatusBarWindow() { return StatusBar_Window(); }

// A child cannot cover other top-level windows: the control becomes a topmost pop-up owned
// by the main window (its child id set aside, as a pop-up's id is its menu).
void MainCtrl_BeginFullScreen() {
  if (!gMainCtrl) return;
  SetWindowLongPtrW(gMainCtrl, GWLP_ID, 0);
  const LONG_PTR style = GetWindowLongPtrW(gMainCtrl, GWL_STYLE);
  SetWindowLongPtrW(gMainCtrl, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_CHILD)) | WS_POPUP);
  SetParent(gMainCtrl, nullptr);
  SetWindowLongPtrW(gMainCtrl, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(gMainWindow));
  SetWindowPos(gMainCtrl, HWND_TOPMOST, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
               SWP_SHOWWINDOW | SWP_FRAMECHANGED);
  RelayoutViewerMainCtrl();
}

void MainCtrl_EndFullScreen() {
  if (!gMainCtrl) return;
  // Without its owner first: an owned pop-up is kept just above its owner, which here is
  // right where it already is, and would stay topmost.
  SetWindowLongPtrW(gMainCtrl, GWLP_HWNDPARENT, 0);
  SetWindowPos(gMainCtrl, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  const LONG_PTR style = GetWindowLongPtrW(gMainCtrl, GWL_STYLE);
  SetWindowLongPtrW(gMainCtrl, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_POPUP)) | WS_CHILD);
  SetParent(gMainCtrl, gMainWindow);
  SetWindowLongPtrW(gMainCtrl, GWLP_ID, kViewerMainCtrlId);
  RECT rc{};
  if (gMainWindow) GetClientRect(gMainWindow, &rc);
  SetWindowPos(gMainCtrl, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
               SWP_SHOWWINDOW | SWP_NOZORDER | SWP_FRAMECHANGED);
  RelayoutViewerMainCtrl();
  // The main window places the control where its own layout wants it.
  if (gMainWindow) SendMessageW(gMainWindow, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right - rc.left, rc.bottom - rc.top));
}

}  // namespace lmx
