// Numbers of the language component's menu bar and About box, shared by the program, the
// component's scripts and the tests. The popups' and commands' ids are in command_ids.h.
#pragma once

#define IDR_MENU_BAR 110  // MENUEX: each top-level popup, with its id, is a text button
#define IDD_ABOUT 103     // About box: the program paints its text right of a 50-pixel margin

// Places the program relies on inside the menu bar's popups
#define MENU_BAR_POPUP_COUNT 4
#define MENU_BAR_TOOLS_INDEX 3            // the fourth popup (IDM_POPUP_HELP)
#define MENU_BAR_PLUGIN_SUBMENU_POS 2     // where the plug-in submenu goes in that popup
#define MENU_BAR_TRANSFORM_SUBMENU_POS 0  // the transforms' submenu in IDM_POPUP_IMAGE
