#include "ui/viewer_toolbar.h"

#include "lang/lang_ids.h"
#include "resources/program_ids.h"

namespace lmx {

const TBBUTTON kViewerToolbarButtons[kViewerToolbarButtonCount] = {
    {4, IDC_CMD_OPEN, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {0, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0},
    {0, IDC_CMD_ZOOM_IN, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {1, IDC_CMD_ZOOM_OUT, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {0, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0},
    {2, IDC_CMD_ROTATE_LEFT, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {3, IDC_CMD_ROTATE_RIGHT, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {0, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0},
    {5, IDC_CMD_INVERT, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {6, IDC_CMD_MIRROR, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {7, IDC_CMD_FLIP, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
};

namespace {

// CreateToolbarEx is told the style whole: the toolbar's own no-divider style on top of what
// any child toolbar with tooltips needs.
constexpr DWORD kViewerToolbarStyle = WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS | CCS_NODIVIDER;

struct CreateParams {
  HWND notify;
  HINSTANCE instance;
};

bool gClassRegistered = false;
HWND gWindow = nullptr;
ToolbarDesc gDesc{};

LRESULT Toolbar_OnCreate(HWND window, const CREATESTRUCTW* cs) {
  const auto* params = static_cast<const CreateParams*>(cs->lpCreateParams);
  gWindow = window;
  if (!SetUpToolbar(params->instance, IDB_VIEWER_TOOLBAR, kViewerToolbarButtonCount, false,
                    kViewerToolbarButtons, &gDesc)) {
    return 1;  // no bitmap: the window stays empty
  }
  gDesc.style = kViewerToolbarStyle;
  if (!CreateToolbar(params->instance, window, kViewerToolbarControlId, &gDesc)) return 1;
  SetToolbarTooltips(&gDesc);
  RECT rc{};
  GetClientRect(gDesc.toolbar, &rc);
  SetWindowPos(window, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top, SWP_SHOWWINDOW | SWP_NOZORDER | SWP_NOMOVE);
  if (params->notify) SendMessageW(gDesc.toolbar, TB_SETPARENT, reinterpret_cast<WPARAM>(params->notify), 0);
  return 1;
}

void Toolbar_OnSize(int height) {
  if (!gDesc.toolbar) return;
  SetWindowPos(gDesc.toolbar, nullptr, 0, 0, kViewerToolbarWidth, height, SWP_SHOWWINDOW | SWP_NOZORDER);
}

void Toolbar_OnDestroy(HWND window) {
  DestroyToolbar(&gDesc);
  ZeroMemory(&gDesc, sizeof(gDesc));
  if (gWindow == window) gWindow = nullptr;
}

LRESULT CALLBACK ViewerToolbarProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE:
      return Toolbar_OnCreate(window, reinterpret_cast<const CREATESTRUCTW*>(lParam)) ? 0 : -1;
    case WM_SIZE:
      Toolbar_OnSize(HIWORD(lParam));
      return 0;
    case WM_DESTROY:
      Toolbar_OnDestroy(window);
      return 0;
    default:
      return DefWindowProcW(window, msg, wParam, lParam);
  }
}

}  // namespace

bool RegisterViewerToolbarClass(HINSTANCE instance) {
  if (gClassRegistered) return true;
  WNDCLASSW wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = ViewerToolbarProc;
  wc.hInstance = instance;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = kViewerToolbarClass;
  gClassRegistered = RegisterClassW(&wc) != 0;
  return gClassRegistered;
}

HWND ViewerToolbar_Create(HWND parent, UINT id, HWND notify, HINSTANCE instance) {
  ViewerToolbar_Destroy();
  if (!RegisterViewerToolbarClass(instance)) return nullptr;
  CreateParams params{notify, instance};
  return CreateWindowExW(0, kViewerToolbarClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance, &params);
}

void ViewerToolbar_Destroy() {
  if (gWindow && IsWindow(gWindow)) DestroyWindow(gWindow);
  gWindow = nullptr;
}

HWND ViewerToolbar_Window() { return gWindow; }

HWND ViewerToolbar_Control() { return gDesc.toolbar; }

const ToolbarDesc* ViewerToolbar_Desc() { return &gDesc; }

void ViewerToolbar_Move(const RECT& rect) {
  if (!gWindow) return;
  SetWindowPos(gWindow, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SWP_SHOWWINDOW | SWP_NOZORDER | SWP_NOCOPYBITS);
}

}  // namespace lmx
