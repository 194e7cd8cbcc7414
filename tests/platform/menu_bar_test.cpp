// The menu bar of aygshell.dll, built from the real language component's resource 110 and
// driven the way the viewer's main window and the user drive it: taps on its buttons, the
// popups opened above it, the toolbar messages the main window sends.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "lang/lang_ids.h"
#include "platform/aygshell.h"
#include "tests/platform/menu_bar_test_ids.h"
#include "tests/support/test_env.h"
#include "tests/support/window_input.h"
#include "tools/support/message_capture.h"

namespace {

using lmx::test::Pump;
using lmx::test::RectText;

constexpr int kBarTop = AYG_SCREEN_HEIGHT - AYG_MENU_BAR_HEIGHT;
// The bar's popups in bar order; the tools popup is the last.
constexpr UINT kPopupIds[] = {IDM_POPUP_FILE, IDM_POPUP_IMAGE, IDM_POPUP_VIEW, IDM_POPUP_TOOLS};
static_assert(MENU_BAR_TOOLS_INDEX == 3 && MENU_BAR_POPUP_COUNT == 4);

// What the owner window saw.
struct OwnerLog {
  std::vector<std::pair<WPARAM, LPARAM>> initMenuPopups;
  std::vector<bool> popupVisibleAtInit;  // was a menu already showing when the popup was announced
  std::vector<UINT> commands;
};
OwnerLog* gLog;

// The popup menu window this thread shows, if any: other test programs may show their own
// menus on the same desktop at the same time.
HWND ShownMenu() { return lmx::test::FindShownWindow(L"#32768", GetCurrentThreadId()); }

bool MenuWindowShowing() { return ShownMenu() != nullptr; }

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (gLog && msg == WM_INITMENUPOPUP) {
    gLog->initMenuPopups.push_back({wParam, lParam});
    gLog->popupVisibleAtInit.push_back(MenuWindowShowing());
    return 0;
  }
  if (gLog && msg == WM_COMMAND) {
    gLog->commands.push_back(LOWORD(wParam));
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// Keys typed into the popup once it shows: the menu's own loop reads them from the queue.
std::vector<WPARAM> gKeysForPopup;
RECT gPopupRect;
bool gPopupSeen;

void CALLBACK TypeIntoPopup(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND menu = ShownMenu();
  if (!menu) return;
  KillTimer(nullptr, timer);
  gPopupSeen = true;
  GetWindowRect(menu, &gPopupRect);
  for (WPARAM key : gKeysForPopup) PostMessageW(menu, WM_KEYDOWN, key, 0);
}

struct MenuBarInfo : SHMENUBARINFO {
  MenuBarInfo(HWND owner, HINSTANCE resources, UINT id = IDR_MENU_BAR) : SHMENUBARINFO{} {
    cbSize = sizeof(SHMENUBARINFO);
    hwndParent = owner;
    nToolBarId = id;
    hInstRes = resources;
  }
};

class MenuBarTest : public testing::Test {
 protected:
  void SetUp() override {
    gLog = &log;
    lang = lmx::test::LoadBuilt(L"LumivexLangComp.dll");
    ASSERT_NE(lang, nullptr);
    WNDCLASSW wc{};
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LmxMenuBarOwner";
    RegisterClassW(&wc);
    // The viewer's main window: the visible desktop less the menu bar's height.
    owner = CreateWindowExW(0, wc.lpszClassName, L"owner", WS_POPUP | WS_VISIBLE, 0, AYG_TOP_BAR_HEIGHT,
                            AYG_SCREEN_WIDTH, kBarTop - AYG_TOP_BAR_HEIGHT, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(owner, nullptr);
  }
  void TearDown() override {
    if (IsWindow(owner)) DestroyWindow(owner);
    Pump();
    gLog = nullptr;
    if (lang) FreeLibrary(lang);
  }

  HWND CreateBar() {
    MenuBarInfo info(owner, lang);
    EXPECT_TRUE(SHCreateMenuBar(&info));
    EXPECT_NE(info.hwndMB, nullptr);
    return info.hwndMB;
  }

  static HMENU MenuOf(HWND bar) { return reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETMENU, 0, 0)); }
  static HWND ToolbarOf(HWND bar) { return FindWindowExW(bar, nullptr, TOOLBARCLASSNAMEW, nullptr); }

  // A tap on text button `index`; `keys` go to the popup when it shows.
  void TapTextButton(HWND bar, int index, std::vector<WPARAM> keys) {
    RECT rc{};
    ASSERT_TRUE(SendMessageW(bar, AYGMBM_GETPOPUPRECT, index, reinterpret_cast<LPARAM>(&rc)));
    gKeysForPopup = std::move(keys);
    gPopupSeen = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, TypeIntoPopup);
    const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(bar, WM_LBUTTONUP, 0, at);
    KillTimer(nullptr, timer);
    Pump();
  }

  // A tap on the image button with `command`.
  void TapImageButton(HWND bar, UINT command) {
    HWND toolbar = ToolbarOf(bar);
    ASSERT_NE(toolbar, nullptr);
    RECT rc{};
    ASSERT_TRUE(SendMessageW(bar, TB_GETRECT, command, reinterpret_cast<LPARAM>(&rc)));
    const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    SendMessageW(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(toolbar, WM_LBUTTONUP, 0, at);
    Pump();
  }

  // The main window's four image buttons over images 9 to 12 of its 13-image bitmap.
  void AddViewerButtons(HWND bar) {
    ASSERT_EQ(CommandBar_AddBitmap(bar, GetModuleHandleW(nullptr), IDB_TEST_13_IMAGES, 4, 16, 16), 0);
    const TBBUTTON buttons[] = {
        {9, IDC_CMD_STATUSBAR, TBSTATE_ENABLED, BTNS_CHECK, {}, 0, -1},
        {10, IDC_CMD_TOOLBAR, TBSTATE_ENABLED, BTNS_CHECK, {}, 0, -1},
        {11, IDC_CMD_PREVIOUS_PAGE, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, -1},
        {12, IDC_CMD_NEXT_PAGE, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, -1},
    };
    ASSERT_TRUE(SendMessageW(bar, TB_ADDBUTTONSW, 4, reinterpret_cast<LPARAM>(buttons)));
  }

  HMODULE lang = nullptr;
  HWND owner = nullptr;
  OwnerLog log;
  lmx::MessageCapture capture;
};

UINT PopupId(HMENU menu, int position) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_ID | MIIM_SUBMENU;
  EXPECT_TRUE(GetMenuItemInfoW(menu, position, TRUE, &info));
  EXPECT_NE(info.hSubMenu, nullptr) << "position " << position;
  return info.wID;
}

TEST_F(MenuBarTest, LiesAlongTheBottomOfTheScreenBelowItsOwner) {
  HWND bar = CreateBar();
  ASSERT_NE(bar, nullptr);
  RECT rc;
  GetWindowRect(bar, &rc);
  EXPECT_EQ(RectText(rc), RectText(0, kBarTop, AYG_SCREEN_WIDTH, AYG_SCREEN_HEIGHT));
  EXPECT_EQ(GetWindow(bar, GW_OWNER), owner);
  EXPECT_TRUE(IsWindowVisible(bar));
  RECT ownerRect, overlap;
  GetWindowRect(owner, &ownerRect);
  EXPECT_FALSE(IntersectRect(&overlap, &ownerRect, &rc));

  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(bar)) << "the bar goes with its owner";
}

TEST_F(MenuBarTest, MenuHoldsTheFourPopupsWithTheirIdsInBarOrder) {
  HWND bar = CreateBar();
  HMENU menu = MenuOf(bar);
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(GetMenuItemCount(menu), MENU_BAR_POPUP_COUNT);
  for (int i = 0; i < MENU_BAR_POPUP_COUNT; ++i) {
    EXPECT_EQ(PopupId(menu, i), kPopupIds[i]);
    EXPECT_NE(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, kPopupIds[i]), 0) << kPopupIds[i];
  }
  EXPECT_EQ(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 12345), 0);
  RECT rc;
  for (int i = 0; i < MENU_BAR_POPUP_COUNT; ++i) {
    EXPECT_TRUE(SendMessageW(bar, AYGMBM_GETPOPUPRECT, i, reinterpret_cast<LPARAM>(&rc)));
    EXPECT_GT(rc.right, rc.left);
  }
  EXPECT_FALSE(SendMessageW(bar, AYGMBM_GETPOPUPRECT, MENU_BAR_POPUP_COUNT, reinterpret_cast<LPARAM>(&rc)));
}

// The main window's command table: every command sits in the popup the table names.
TEST_F(MenuBarTest, EveryCommandOfTheMainWindowSitsInItsPopup) {
  HWND bar = CreateBar();
  HMENU menu = MenuOf(bar);
  const struct {
    UINT command;
    UINT popup;
  } table[] = {
      {IDC_CMD_EXIT, IDM_POPUP_FILE},        {IDC_CMD_OPTIONS, IDM_POPUP_FILE},
      {IDC_CMD_CLOSE, IDM_POPUP_FILE},       {IDC_CMD_OPEN, IDM_POPUP_FILE},
      {IDC_CMD_PROPERTIES, IDM_POPUP_IMAGE}, {IDC_CMD_FLIP, IDM_POPUP_IMAGE},
      {IDC_CMD_MIRROR, IDM_POPUP_IMAGE},     {IDC_CMD_INVERT, IDM_POPUP_IMAGE},
      {IDC_CMD_ROTATE_LEFT, IDM_POPUP_IMAGE}, {IDC_CMD_ROTATE_RIGHT, IDM_POPUP_IMAGE},
      {IDC_CMD_HALF_TURN, IDM_POPUP_IMAGE},  {IDC_CMD_ZOOM_OUT, IDM_POPUP_VIEW},
      {IDC_CMD_ZOOM_IN, IDM_POPUP_VIEW},     {IDC_CMD_ZOOM_DIALOG, IDM_POPUP_VIEW},
      {IDC_CMD_FIT_HEIGHT, IDM_POPUP_VIEW},  {IDC_CMD_FIT_WIDTH, IDM_POPUP_VIEW},
      {IDC_CMD_FIT_WHOLE, IDM_POPUP_VIEW},   {IDC_CMD_ACTUAL_SIZE, IDM_POPUP_VIEW},
      {IDC_CMD_HELP, IDM_POPUP_TOOLS},        {IDC_CMD_ABOUT, IDM_POPUP_TOOLS},
      {IDC_CMD_PLUGINS, IDM_POPUP_TOOLS},     {IDC_CMD_ASSOCIATIONS, IDM_POPUP_TOOLS},
      {IDC_CMD_FULL_SCREEN, IDM_POPUP_VIEW}, {IDC_CMD_TOOLBAR, IDM_POPUP_VIEW},
      {IDC_CMD_STATUSBAR, IDM_POPUP_VIEW},
  };
  for (const auto& row : table) {
    auto popup = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, row.popup));
    // EnableMenuItem by command, as the main window does, finds the item in its popup.
    EXPECT_NE(EnableMenuItem(popup, row.command, MF_BYCOMMAND | MF_GRAYED), -1) << row.command;
    EXPECT_TRUE(GetMenuState(popup, row.command, MF_BYCOMMAND) & MF_GRAYED) << row.command;
  }
  // The transforms are in the Image popup's submenu at position 0, which greys by position.
  HMENU image = GetSubMenu(menu, 1);
  HMENU transforms = GetSubMenu(image, MENU_BAR_TRANSFORM_SUBMENU_POS);
  ASSERT_NE(transforms, nullptr);
  for (UINT command = IDC_CMD_ROTATE_LEFT; command <= IDC_CMD_MIRROR; ++command) {
    EXPECT_NE(GetMenuState(transforms, command, MF_BYCOMMAND), static_cast<UINT>(-1)) << command;
  }
  EXPECT_NE(EnableMenuItem(image, 0, MF_BYPOSITION | MF_GRAYED), -1);
}

TEST_F(MenuBarTest, ViewPopupHasTheModeRadioItemsWhereTheMainWindowLooks) {
  HWND bar = CreateBar();
  HMENU view = GetSubMenu(MenuOf(bar), 2);
  ASSERT_NE(view, nullptr);
  const struct {
    int position;
    UINT command;
  } radios[] = {{0, IDC_CMD_ACTUAL_SIZE}, {2, IDC_CMD_FIT_WHOLE}, {4, IDC_CMD_FIT_WIDTH},
                {5, IDC_CMD_FIT_HEIGHT}, {7, IDC_CMD_ZOOM_DIALOG}};
  for (const auto& radio : radios) {
    EXPECT_EQ(GetMenuItemID(view, radio.position), radio.command) << radio.position;
  }
  // The mark moves over positions 0 to 9: the check items must lie beyond them.
  for (int position = 0; position <= 9; ++position) {
    const UINT id = GetMenuItemID(view, position);
    EXPECT_NE(id, static_cast<UINT>(IDC_CMD_TOOLBAR));
    EXPECT_NE(id, static_cast<UINT>(IDC_CMD_STATUSBAR));
  }
  ASSERT_TRUE(CheckMenuRadioItem(view, 0, 9, 7, MF_BYPOSITION));
  EXPECT_TRUE(GetMenuState(view, 7, MF_BYPOSITION) & MF_CHECKED);
  ASSERT_TRUE(CheckMenuRadioItem(view, 0, 9, 2, MF_BYPOSITION));
  EXPECT_TRUE(GetMenuState(view, 2, MF_BYPOSITION) & MF_CHECKED);
  EXPECT_FALSE(GetMenuState(view, 7, MF_BYPOSITION) & MF_CHECKED);
}

TEST_F(MenuBarTest, PlugInSubmenuGoesAtPositionTwoOfTheFourthPopup) {
  HWND bar = CreateBar();
  HMENU tools = GetSubMenu(MenuOf(bar), MENU_BAR_TOOLS_INDEX);
  ASSERT_NE(tools, nullptr);
  const int before = GetMenuItemCount(tools);
  HMENU plugins = CreatePopupMenu();
  AppendMenuW(plugins, MF_STRING, IDC_CMD_PLUGIN_FIRST, L"BMP...");
  ASSERT_TRUE(InsertMenuW(tools, MENU_BAR_PLUGIN_SUBMENU_POS, MF_BYPOSITION | MF_POPUP,
                          reinterpret_cast<UINT_PTR>(plugins), L"About Plug-Ins"));
  EXPECT_EQ(GetMenuItemCount(tools), before + 1);
  EXPECT_EQ(GetSubMenu(tools, MENU_BAR_PLUGIN_SUBMENU_POS), plugins);
  EXPECT_EQ(GetMenuItemID(tools, 1), static_cast<UINT>(IDC_CMD_ASSOCIATIONS));
  // Taken out again the way the main window rebuilds it.
  ASSERT_TRUE(RemoveMenu(tools, MENU_BAR_PLUGIN_SUBMENU_POS, MF_BYPOSITION));
  DestroyMenu(plugins);
  EXPECT_EQ(GetMenuItemCount(tools), before);
}

TEST_F(MenuBarTest, TapOnATextButtonAnnouncesThePopupThenOpensItAboveTheBar) {
  HWND bar = CreateBar();
  HMENU menu = MenuOf(bar);
  for (int i = 0; i < 4; ++i) {
    log = OwnerLog{};
    TapTextButton(bar, i, {VK_ESCAPE});
    EXPECT_TRUE(gPopupSeen) << i;
    ASSERT_EQ(log.initMenuPopups.size(), 1u) << i;
    EXPECT_EQ(reinterpret_cast<HMENU>(log.initMenuPopups[0].first), GetSubMenu(menu, i));
    EXPECT_EQ(LOWORD(log.initMenuPopups[0].second), kPopupIds[i]);
    EXPECT_FALSE(log.popupVisibleAtInit[0]) << "announced before it shows";
    EXPECT_LE(gPopupRect.bottom, kBarTop) << "the popup opens above the bar";
    EXPECT_TRUE(log.commands.empty()) << "escape chooses nothing";
  }
}

HWND gTrackingBar;

void CALLBACK CancelPopup(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND menu = ShownMenu();
  if (!menu) return;
  KillTimer(nullptr, timer);
  gPopupSeen = true;
  SendMessageW(gTrackingBar, WM_CANCELMODE, 0, 0);
}

TEST_F(MenuBarTest, CancelModeClosesTheOpenPopup) {
  HWND bar = CreateBar();
  RECT rc{};
  ASSERT_TRUE(SendMessageW(bar, AYGMBM_GETPOPUPRECT, 0, reinterpret_cast<LPARAM>(&rc)));
  gPopupSeen = false;
  gTrackingBar = bar;  // the bar tracks its popups: cancelling its mode ends them
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, CancelPopup);
  SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(rc.left + 2, rc.top + 2));
  KillTimer(nullptr, timer);
  Pump();
  EXPECT_TRUE(gPopupSeen);
  EXPECT_FALSE(MenuWindowShowing());
  EXPECT_TRUE(log.commands.empty());
  EXPECT_EQ(log.initMenuPopups.size(), 1u);
}

TEST_F(MenuBarTest, ChosenItemReachesTheOwnerAsACommand) {
  HWND bar = CreateBar();
  TapTextButton(bar, 0, {VK_DOWN, VK_RETURN});  // File: the first item, Open
  EXPECT_EQ(log.commands, std::vector<UINT>{IDC_CMD_OPEN});

  log = OwnerLog{};
  TapTextButton(bar, MENU_BAR_TOOLS_INDEX, {VK_UP, VK_RETURN});  // Tools: the last item, About
  EXPECT_EQ(log.commands, std::vector<UINT>{IDC_CMD_ABOUT});
}

TEST_F(MenuBarTest, GreyedItemsCannotBeChosen) {
  HWND bar = CreateBar();
  HMENU file = GetSubMenu(MenuOf(bar), 0);
  EnableMenuItem(file, IDC_CMD_OPEN, MF_BYCOMMAND | MF_GRAYED);
  TapTextButton(bar, 0, {VK_DOWN, VK_RETURN, VK_ESCAPE});
  EXPECT_TRUE(gPopupSeen);
  for (UINT command : log.commands) EXPECT_NE(command, static_cast<UINT>(IDC_CMD_OPEN));
  // The same keys choose the item once it is enabled again.
  EnableMenuItem(file, IDC_CMD_OPEN, MF_BYCOMMAND | MF_ENABLED);
  TapTextButton(bar, 0, {VK_DOWN, VK_RETURN});
  ASSERT_FALSE(log.commands.empty());
  EXPECT_EQ(log.commands.back(), static_cast<UINT>(IDC_CMD_OPEN));
}

TEST_F(MenuBarTest, TapsAreIgnoredWhileTheOwnerIsDisabled) {
  HWND bar = CreateBar();
  AddViewerButtons(bar);
  EnableWindow(owner, FALSE);
  TapTextButton(bar, 0, {VK_ESCAPE});
  EXPECT_TRUE(log.initMenuPopups.empty());
  EXPECT_FALSE(gPopupSeen);
  TapImageButton(bar, IDC_CMD_NEXT_PAGE);
  EXPECT_TRUE(log.commands.empty());
  EnableWindow(owner, TRUE);
  TapImageButton(bar, IDC_CMD_NEXT_PAGE);
  EXPECT_EQ(log.commands, std::vector<UINT>{IDC_CMD_NEXT_PAGE});
}

TEST_F(MenuBarTest, AddBitmapTakesEveryImageTheBitmapHolds) {
  HWND bar = CreateBar();
  HINSTANCE self = GetModuleHandleW(nullptr);
  // Four images stated, thirteen in the bitmap: all thirteen are added so that 9 to 12 exist.
  EXPECT_EQ(CommandBar_AddBitmap(bar, self, IDB_TEST_13_IMAGES, 4, 16, 16), 0);
  auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(bar, TB_GETIMAGELIST, 0, 0));
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(images), 13);
  EXPECT_EQ(CommandBar_AddBitmap(bar, self, IDB_TEST_3_IMAGES, 3, 16, 16), 13);
  EXPECT_EQ(ImageList_GetImageCount(images), 16);
  int cx = 0, cy = 0;
  ASSERT_TRUE(ImageList_GetIconSize(images, &cx, &cy));
  EXPECT_EQ(std::make_pair(cx, cy), std::make_pair(16, 16));

  EXPECT_EQ(CommandBar_AddBitmap(bar, self, IDB_TEST_24PX_IMAGES, 2, 24, 24), -1) << "one image size per bar";
  EXPECT_EQ(CommandBar_AddBitmap(bar, self, 9999, 4, 16, 16), -1) << "no such bitmap";
  EXPECT_EQ(CommandBar_AddBitmap(bar, self, IDB_TEST_13_IMAGES, 4, 0, 16), -1);
  EXPECT_EQ(CommandBar_AddBitmap(owner, self, IDB_TEST_13_IMAGES, 4, 16, 16), -1) << "not a menu bar";
  EXPECT_EQ(CommandBar_AddBitmap(nullptr, self, IDB_TEST_13_IMAGES, 4, 16, 16), -1);
  EXPECT_EQ(ImageList_GetImageCount(images), 16);
}

TEST_F(MenuBarTest, ToolbarMessagesChangeTheImageButtons) {
  HWND bar = CreateBar();
  AddViewerButtons(bar);
  EXPECT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 4);
  TBBUTTON button{};
  ASSERT_TRUE(SendMessageW(bar, TB_GETBUTTON, 2, reinterpret_cast<LPARAM>(&button)));
  EXPECT_EQ(button.iBitmap, 11);
  EXPECT_EQ(button.idCommand, IDC_CMD_PREVIOUS_PAGE);

  // All four fit on the bar right of the text buttons.
  HWND toolbar = ToolbarOf(bar);
  RECT lastText{}, client{};
  SendMessageW(bar, AYGMBM_GETPOPUPRECT, MENU_BAR_POPUP_COUNT - 1, reinterpret_cast<LPARAM>(&lastText));
  GetClientRect(bar, &client);
  for (UINT command : {IDC_CMD_STATUSBAR, IDC_CMD_TOOLBAR, IDC_CMD_PREVIOUS_PAGE, IDC_CMD_NEXT_PAGE}) {
    RECT image{};
    ASSERT_TRUE(SendMessageW(bar, TB_GETRECT, command, reinterpret_cast<LPARAM>(&image)));
    MapWindowPoints(toolbar, bar, reinterpret_cast<POINT*>(&image), 2);
    EXPECT_GE(image.left, lastText.right) << command;
    EXPECT_LE(image.right, client.right) << command;
    EXPECT_LE(image.bottom, client.bottom) << command;
  }

  ASSERT_TRUE(SendMessageW(bar, TB_CHECKBUTTON, IDC_CMD_STATUSBAR, MAKELPARAM(TRUE, 0)));
  EXPECT_TRUE(SendMessageW(bar, TB_ISBUTTONCHECKED, IDC_CMD_STATUSBAR, 0));
  EXPECT_FALSE(SendMessageW(bar, TB_ISBUTTONCHECKED, IDC_CMD_TOOLBAR, 0));

  ASSERT_TRUE(SendMessageW(bar, TB_HIDEBUTTON, IDC_CMD_PREVIOUS_PAGE, MAKELPARAM(TRUE, 0)));
  ASSERT_TRUE(SendMessageW(bar, TB_HIDEBUTTON, IDC_CMD_NEXT_PAGE, MAKELPARAM(TRUE, 0)));
  EXPECT_TRUE(SendMessageW(bar, TB_ISBUTTONHIDDEN, IDC_CMD_PREVIOUS_PAGE, 0));
  EXPECT_TRUE(SendMessageW(bar, TB_ISBUTTONHIDDEN, IDC_CMD_NEXT_PAGE, 0));
  ASSERT_TRUE(SendMessageW(bar, TB_HIDEBUTTON, IDC_CMD_NEXT_PAGE, MAKELPARAM(FALSE, 0)));
  EXPECT_FALSE(SendMessageW(bar, TB_ISBUTTONHIDDEN, IDC_CMD_NEXT_PAGE, 0));

  ASSERT_TRUE(SendMessageW(bar, TB_ENABLEBUTTON, IDC_CMD_NEXT_PAGE, MAKELPARAM(FALSE, 0)));
  EXPECT_FALSE(SendMessageW(bar, TB_ISBUTTONENABLED, IDC_CMD_NEXT_PAGE, 0));
  // A greyed button sends nothing.
  TapImageButton(bar, IDC_CMD_NEXT_PAGE);
  EXPECT_TRUE(log.commands.empty());
  ASSERT_TRUE(SendMessageW(bar, TB_ENABLEBUTTON, IDC_CMD_NEXT_PAGE, MAKELPARAM(TRUE, 0)));
  EXPECT_TRUE(SendMessageW(bar, TB_ISBUTTONENABLED, IDC_CMD_NEXT_PAGE, 0));

}

TEST_F(MenuBarTest, ImageButtonTapSendsItsCommandAndCheckButtonsToggle) {
  HWND bar = CreateBar();
  AddViewerButtons(bar);
  HMENU menu = MenuOf(bar);
  TapImageButton(bar, IDC_CMD_PREVIOUS_PAGE);
  TapImageButton(bar, IDC_CMD_TOOLBAR);
  EXPECT_EQ(log.commands, (std::vector<UINT>{IDC_CMD_PREVIOUS_PAGE, IDC_CMD_TOOLBAR}));
  EXPECT_TRUE(SendMessageW(bar, TB_ISBUTTONCHECKED, IDC_CMD_TOOLBAR, 0));
  EXPECT_TRUE(GetMenuState(menu, IDC_CMD_TOOLBAR, MF_BYCOMMAND) & MF_CHECKED) << "the menu item follows";
}

TEST_F(MenuBarTest, CheckButtonAndItsMenuItemKeepOneState) {
  HWND bar = CreateBar();
  HMENU menu = MenuOf(bar);
  ASSERT_EQ(CommandBar_AddBitmap(bar, GetModuleHandleW(nullptr), IDB_TEST_13_IMAGES, 13, 16, 16), 0);
  const TBBUTTON checked[] = {{10, IDC_CMD_TOOLBAR, TBSTATE_ENABLED | TBSTATE_CHECKED, BTNS_CHECK, {}, 0, -1}};
  ASSERT_TRUE(SendMessageW(bar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(checked)));
  EXPECT_TRUE(GetMenuState(menu, IDC_CMD_TOOLBAR, MF_BYCOMMAND) & MF_CHECKED) << "added checked";
  const TBBUTTON status[] = {{9, IDC_CMD_STATUSBAR, TBSTATE_ENABLED, BTNS_CHECK, {}, 0, -1}};
  ASSERT_TRUE(SendMessageW(bar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(status)));
  EXPECT_FALSE(GetMenuState(menu, IDC_CMD_STATUSBAR, MF_BYCOMMAND) & MF_CHECKED);
  SendMessageW(bar, TB_CHECKBUTTON, IDC_CMD_STATUSBAR, MAKELPARAM(TRUE, 0));
  EXPECT_TRUE(GetMenuState(menu, IDC_CMD_STATUSBAR, MF_BYCOMMAND) & MF_CHECKED);

  // Status Bar is the View popup's last item: chosen there, it flips the button too.
  TapTextButton(bar, 2, {VK_UP, VK_RETURN});
  EXPECT_EQ(log.commands, std::vector<UINT>{IDC_CMD_STATUSBAR});
  EXPECT_FALSE(SendMessageW(bar, TB_ISBUTTONCHECKED, IDC_CMD_STATUSBAR, 0));
  EXPECT_FALSE(GetMenuState(menu, IDC_CMD_STATUSBAR, MF_BYCOMMAND) & MF_CHECKED);
}

TEST_F(MenuBarTest, TooltipsAreCopiedAndShownOnTheImageButtons) {
  HWND bar = CreateBar();
  AddViewerButtons(bar);
  wchar_t statusTip[] = L"Status bar";
  const wchar_t* tips[8] = {nullptr, nullptr, nullptr, nullptr, statusTip, L"Toolbar", L"Previous page",
                            L"Next page"};
  ASSERT_TRUE(SendMessageW(bar, CMDBAR_SETTOOLTIPS, 8, reinterpret_cast<LPARAM>(tips)));
  statusTip[0] = L'X';  // the bar keeps its own copy

  HWND tooltip = reinterpret_cast<HWND>(SendMessageW(ToolbarOf(bar), TB_GETTOOLTIPS, 0, 0));
  ASSERT_NE(tooltip, nullptr);
  auto tipOf = [&](UINT command) {
    wchar_t text[80] = L"";
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = ToolbarOf(bar);
    tool.uId = command;
    tool.lpszText = text;
    SendMessageW(tooltip, TTM_GETTEXTW, ARRAYSIZE(text), reinterpret_cast<LPARAM>(&tool));
    return std::wstring(text);
  };
  EXPECT_EQ(tipOf(IDC_CMD_STATUSBAR), L"Status bar");
  EXPECT_EQ(tipOf(IDC_CMD_TOOLBAR), L"Toolbar");
  EXPECT_EQ(tipOf(IDC_CMD_PREVIOUS_PAGE), L"Previous page");
  EXPECT_EQ(tipOf(IDC_CMD_NEXT_PAGE), L"Next page");

  // Refused whole: too many, or a count without an array; the tips set before stay.
  EXPECT_FALSE(SendMessageW(bar, CMDBAR_SETTOOLTIPS, CMDBAR_MAX_TOOLTIPS + 1, reinterpret_cast<LPARAM>(tips)));
  EXPECT_FALSE(SendMessageW(bar, CMDBAR_SETTOOLTIPS, 8, 0));
  EXPECT_EQ(tipOf(IDC_CMD_NEXT_PAGE), L"Next page");
  // Fewer tips than buttons: the rest have none.
  ASSERT_TRUE(SendMessageW(bar, CMDBAR_SETTOOLTIPS, 5, reinterpret_cast<LPARAM>(tips)));
  EXPECT_EQ(tipOf(IDC_CMD_STATUSBAR), L"Xtatus bar");
  EXPECT_EQ(tipOf(IDC_CMD_NEXT_PAGE), L"");
}

TEST_F(MenuBarTest, RefusesBadRequests) {
  MenuBarInfo info(owner, lang);
  info.cbSize = 32;  // the device's record size does not fit this build's record
  EXPECT_FALSE(SHCreateMenuBar(&info));
  EXPECT_FALSE(SHCreateMenuBar(nullptr));

  MenuBarInfo noResource(owner, lang, 4321);
  noResource.hwndMB = owner;
  EXPECT_FALSE(SHCreateMenuBar(&noResource));
  EXPECT_EQ(noResource.hwndMB, nullptr);

  MenuBarInfo noOwner(nullptr, lang);
  EXPECT_FALSE(SHCreateMenuBar(&noOwner));

  MenuBarInfo badBitmap(owner, lang);
  badBitmap.nBmpId = 9999;
  badBitmap.cBmpImages = 4;
  EXPECT_FALSE(SHCreateMenuBar(&badBitmap));
  EXPECT_EQ(badBitmap.hwndMB, nullptr);
}

TEST_F(MenuBarTest, EmptyAndHiddenBars) {
  MenuBarInfo info(owner, nullptr, 0);
  info.dwFlags = SHCMBF_EMPTYBAR | SHCMBF_HIDDEN;
  ASSERT_TRUE(SHCreateMenuBar(&info));
  ASSERT_NE(info.hwndMB, nullptr);
  EXPECT_FALSE(IsWindowVisible(info.hwndMB));
  EXPECT_EQ(MenuOf(info.hwndMB), nullptr);
  RECT rc;
  EXPECT_FALSE(SendMessageW(info.hwndMB, AYGMBM_GETPOPUPRECT, 0, reinterpret_cast<LPARAM>(&rc)));

  MenuBarInfo withBitmap(owner, GetModuleHandleW(nullptr), 0);
  withBitmap.dwFlags = SHCMBF_EMPTYBAR;
  withBitmap.nBmpId = IDB_TEST_3_IMAGES;
  withBitmap.cBmpImages = 3;
  ASSERT_TRUE(SHCreateMenuBar(&withBitmap));
  auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(withBitmap.hwndMB, TB_GETIMAGELIST, 0, 0));
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(images), 3);
}

TEST_F(MenuBarTest, OwnerMayDestroyTheMenuBeforeTheBarGoes) {
  HWND bar = CreateBar();
  HMENU menu = MenuOf(bar);
  ASSERT_TRUE(DestroyMenu(menu));
  TapTextButton(bar, 0, {VK_ESCAPE});  // nothing to open any more
  EXPECT_TRUE(log.initMenuPopups.empty());
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(bar));
}

}  // namespace
