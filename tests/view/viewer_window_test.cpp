// ViewerMainCtrl's layout of the view, the toolbar and the status bar by the settings; the
// toolbar's buttons, images and tooltips; the status bar's double tap; full screen.
#include <gtest/gtest.h>

#include "lang/lang_ids.h"
#include "tests/view/view_fixture.h"

namespace lmx::test {
namespace {

int Height(const RECT& r) { return r.bottom - r.top; }

TEST_F(ViewTest, ToolbarOnTopThenViewThenStatusBar) {
  const int s = StatusBar_Height();
  ASSERT_GT(s, 0);
  EXPECT_EQ(RectText(InCtrl(ImageViewWindow())), RectText(0, 24, 240, 320 - s));
  const RECT bar = InCtrl(ViewerToolbar_Window());
  EXPECT_EQ(bar.top, 0);
  EXPECT_EQ(Height(bar), 24);
  EXPECT_EQ(bar.right, 240);
  EXPECT_TRUE(IsWindowVisible(ViewerToolbar_Window()));
  const RECT status = InCtrl(StatusBarWindow());
  EXPECT_TRUE(IsWindowVisible(StatusBarWindow()));
  EXPECT_EQ(status.bottom, 320);
  EXPECT_EQ(Height(status), s);
  int parts[3] = {};
  ASSERT_EQ(SendMessageW(StatusBarWindow(), SB_GETPARTS, 3, reinterpret_cast<LPARAM>(parts)), 2);
  EXPECT_EQ(parts[0], 96);  // 240 x 40 / 100
  EXPECT_EQ(parts[1], -1);
  // The ids the main window and the tests find them by.
  EXPECT_EQ(GetDlgCtrlID(ctrl_), 100);
  EXPECT_EQ(GetDlgCtrlID(ImageViewWindow()), 201);
  EXPECT_EQ(GetDlgCtrlID(StatusBarWindow()), 202);
  EXPECT_EQ(GetDlgCtrlID(ViewerToolbar_Window()), 205);
  EXPECT_EQ(GetDlgCtrlID(ViewerToolbarWindow()), 200);
  wchar_t name[32];
  GetClassNameW(ctrl_, name, 32);
  EXPECT_STREQ(name, L"ViewerMainCtrl");
  GetClassNameW(ImageViewWindow(), name, 32);
  EXPECT_STREQ(name, L"InfoControl");
  GetClassNameW(ViewerToolbar_Window(), name, 32);
  EXPECT_STREQ(name, L"ViewerTBWndCtrl");
}

TEST_F(ViewTest, ToolbarBelowSitsBetweenViewAndStatusBar) {
  Settings().toolbarAlign = 1;
  RelayoutViewerMainCtrl();
  const int s = StatusBar_Height();
  const RECT view = InCtrl(ImageViewWindow());
  EXPECT_EQ(view.top, 0);
  EXPECT_EQ(view.bottom, 320 - 24 - s);
  const RECT bar = InCtrl(ViewerToolbar_Window());
  EXPECT_EQ(bar.top, view.bottom);
  EXPECT_EQ(bar.bottom, InCtrl(StatusBarWindow()).top);
}

TEST_F(ViewTest, HiddenBarsGiveTheirRoomToTheView) {
  const int s = StatusBar_Height();
  Settings().showAddToolbar = 0;
  RelayoutViewerMainCtrl();
  EXPECT_FALSE(IsWindowVisible(ViewerToolbar_Window()));
  RECT view = InCtrl(ImageViewWindow());
  EXPECT_EQ(view.top, 0);
  EXPECT_EQ(view.bottom, 320 - s);

  Settings().showStatusbar = 0;
  RelayoutViewerMainCtrl();
  EXPECT_FALSE(IsWindowVisible(StatusBarWindow()));
  view = InCtrl(ImageViewWindow());
  EXPECT_EQ(view.top, 0);
  EXPECT_EQ(view.bottom, 320);

  Settings().showAddToolbar = 1;
  RelayoutViewerMainCtrl();
  EXPECT_TRUE(IsWindowVisible(ViewerToolbar_Window()));
  view = InCtrl(ImageViewWindow());
  EXPECT_EQ(view.top, 24);
  EXPECT_EQ(view.bottom, 320);
  // Hidden strips stay alive.
  EXPECT_TRUE(IsWindow(StatusBarWindow()));
}

TEST_F(ViewTest, ToolbarHoldsEightButtonsInThreeGroupsFromBitmap131) {
  HWND toolbar = ViewerToolbarWindow();
  ASSERT_NE(toolbar, nullptr);
  ASSERT_EQ(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), 11);
  const int commands[] = {IDC_CMD_OPEN, 0, IDC_CMD_ZOOM_IN, IDC_CMD_ZOOM_OUT, 0, IDC_CMD_ROTATE_LEFT,
                          IDC_CMD_ROTATE_RIGHT, 0, IDC_CMD_INVERT, IDC_CMD_MIRROR, IDC_CMD_FLIP};
  const int images[] = {4, 0, 0, 1, 0, 2, 3, 0, 5, 6, 7};
  int separators = 0;
  for (int i = 0; i < 11; ++i) {
    TBBUTTON b{};
    ASSERT_TRUE(SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b)));
    EXPECT_EQ(b.idCommand, commands[i]) << i;
    if (b.fsStyle & BTNS_SEP) {
      ++separators;
      continue;
    }
    EXPECT_EQ(b.iBitmap, images[i]) << i;
    EXPECT_TRUE(b.fsState & TBSTATE_ENABLED);
  }
  EXPECT_EQ(separators, 3);
  HIMAGELIST list = reinterpret_cast<HIMAGELIST>(SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(list), 13);
  EXPECT_TRUE(GetWindowLongPtrW(toolbar, GWL_STYLE) & CCS_NODIVIDER);
}

TEST_F(ViewTest, ToolbarTooltipsAreTheLanguageStringsOfTheCommands) {
  const int commands[] = {IDC_CMD_OPEN, IDC_CMD_ZOOM_IN, IDC_CMD_ZOOM_OUT, IDC_CMD_ROTATE_LEFT,
                          IDC_CMD_ROTATE_RIGHT, IDC_CMD_INVERT, IDC_CMD_MIRROR, IDC_CMD_FLIP};
  EXPECT_EQ(ViewerToolbar_Desc()->tooltipCount, 8);
  for (int command : commands) {
    wchar_t expected[200] = L"";
    ASSERT_GT(LoadStringW(lang_, command, expected, 200), 0) << command;
    const wchar_t* text = ToolbarTooltip(ViewerToolbar_Desc(), command);
    ASSERT_NE(text, nullptr) << command;
    EXPECT_STREQ(text, expected);
  }
}

TEST_F(ViewTest, ToolbarButtonsReportToTheMainWindowAndCanBeDisabled) {
  HWND toolbar = ViewerToolbarWindow();
  RECT item{};
  ASSERT_TRUE(SendMessageW(toolbar, TB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&item)));
  const LPARAM middle = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
  SendMessageW(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, middle);
  SendMessageW(toolbar, WM_LBUTTONUP, 0, middle);
  Pump();
  ASSERT_EQ(commands_.size(), 1u);
  EXPECT_EQ(commands_[0], IDC_CMD_ZOOM_OUT);

  SendMessageW(toolbar, TB_ENABLEBUTTON, IDC_CMD_ZOOM_OUT, FALSE);
  EXPECT_FALSE(SendMessageW(toolbar, TB_ISBUTTONENABLED, IDC_CMD_ZOOM_OUT, 0));
  SendMessageW(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, middle);
  SendMessageW(toolbar, WM_LBUTTONUP, 0, middle);
  Pump();
  EXPECT_EQ(commands_.size(), 1u);
  SendMessageW(toolbar, TB_ENABLEBUTTON, IDC_CMD_ZOOM_OUT, TRUE);
  EXPECT_TRUE(SendMessageW(toolbar, TB_ISBUTTONENABLED, IDC_CMD_ZOOM_OUT, 0));
}

TEST_F(ViewTest, DoubleTapOnTheStatusBarAsksForTheZoomDialog) {
  SendMessageW(StatusBarWindow(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 5));
  Pump();
  ASSERT_EQ(commands_.size(), 1u);
  EXPECT_EQ(commands_[0], IDC_CMD_ZOOM_DIALOG);
  // Other notifications of the status bar are answered 0, those of other children 1.
  NMHDR other{StatusBarWindow(), 202, static_cast<UINT>(NM_CLICK)};
  EXPECT_EQ(SendMessageW(ctrl_, WM_NOTIFY, 202, reinterpret_cast<LPARAM>(&other)), 0);
  NMHDR stranger{ImageViewWindow(), 201, static_cast<UINT>(NM_DBLCLK)};
  EXPECT_EQ(SendMessageW(ctrl_, WM_NOTIFY, 201, reinterpret_cast<LPARAM>(&stranger)), 1);
  EXPECT_EQ(commands_.size(), 1u);
}

TEST_F(ViewTest, FullScreenCoversTheScreenWithThePictureAloneAndKeepsTheZoom) {
  Open(600, 400);
  ImageView_SetMode(kViewFitWidth);
  const float zoom = ImageView_Zoom();
  ImageView_EnterFullScreen();
  Pump();
  EXPECT_TRUE(ImageView_IsFullScreen());
  EXPECT_EQ(ImageView_Mode(), kViewFullScreen);
  EXPECT_EQ(ImageView_Zoom(), zoom);
  EXPECT_EQ(WindowRectText(ctrl_), RectText(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
  EXPECT_TRUE(GetWindowLongPtrW(ctrl_, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_FALSE(GetWindowLongPtrW(ctrl_, GWL_STYLE) & WS_CHILD);
  EXPECT_EQ(GetWindow(ctrl_, GW_OWNER), main_);
  EXPECT_FALSE(IsWindowVisible(ViewerToolbar_Window()));
  EXPECT_FALSE(IsWindowVisible(StatusBarWindow()));
  EXPECT_EQ(WindowRectText(ImageViewWindow()), WindowRectText(ctrl_));
  Paint();
  EXPECT_TRUE(ColourFromBlock(ViewPixel(0, 0), 0, 2, 0, 2));  // 0.4: one of the first 2.5 pixels
  EXPECT_TRUE(ColourFromBlock(ViewPixel(200, 100), 500, 502, 250, 252));

  // The zoom commands work in full screen and stay there.
  ImageView_ZoomIn();
  EXPECT_TRUE(ImageView_IsFullScreen());
  const float zoomedIn = ImageView_Zoom();
  EXPECT_GT(zoomedIn, zoom);

  ImageView_LeaveFullScreen();
  Pump();
  EXPECT_FALSE(ImageView_IsFullScreen());
  EXPECT_EQ(ImageView_Mode(), kViewFreeZoom);  // the zoom chosen in full screen is kept
  EXPECT_EQ(ImageView_Zoom(), zoomedIn);
  EXPECT_TRUE(GetWindowLongPtrW(ctrl_, GWL_STYLE) & WS_CHILD);
  EXPECT_FALSE(GetWindowLongPtrW(ctrl_, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(GetParent(ctrl_), main_);
  EXPECT_EQ(GetDlgCtrlID(ctrl_), 100);
  EXPECT_TRUE(IsWindowVisible(ViewerToolbar_Window()));
  EXPECT_TRUE(IsWindowVisible(StatusBarWindow()));
  EXPECT_EQ(InCtrl(ImageViewWindow()).top, 24);
}

TEST_F(ViewTest, FullScreenEndsWithATapAndRestoresTheMode) {
  Settings().msState = 0;
  Open(600, 400);
  ImageView_SetMode(kViewFitHeight);
  const float fit = ImageView_Zoom();
  ImageView_SetMode(kViewFullScreen);  // the command's way in
  Pump();
  ASSERT_TRUE(ImageView_IsFullScreen());
  // A drag pans and stays in full screen.
  Press(200, 100);
  Drag(100, 100);
  Release(100, 100);
  EXPECT_TRUE(ImageView_IsFullScreen());
  EXPECT_GT(State().horzOffset, 0);
  // A tap leaves.
  Press(50, 50);
  Release(51, 50);
  Pump();
  EXPECT_FALSE(ImageView_IsFullScreen());
  EXPECT_EQ(ImageView_Mode(), kViewFitHeight);
  EXPECT_EQ(ImageView_Zoom(), fit);
  EXPECT_EQ(GetParent(ctrl_), main_);

  // With scroll bars the pen does not pan, but a tap still leaves.
  Settings().msState = 1;
  ImageView_EnterFullScreen();
  Press(50, 50);
  Release(50, 50);
  EXPECT_FALSE(ImageView_IsFullScreen());
  // Choosing another mode in full screen leaves it too.
  ImageView_EnterFullScreen();
  ImageView_SetMode(kViewActualSize);
  EXPECT_FALSE(ImageView_IsFullScreen());
  EXPECT_EQ(GetParent(ctrl_), main_);
  EXPECT_EQ(ImageView_Zoom(), 1.0f);
}

}  // namespace
}  // namespace lmx::test
