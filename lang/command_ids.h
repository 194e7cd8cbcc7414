// Command ids of the main window (menu bar, its popups, the viewer toolbar) and the ids of
// the menu bar's popups. Shared by the program, the language component's menu bar and the
// tests.
#pragma once

// Popups of the menu bar (resource 110 of the language component)
#define IDM_POPUP_HELP 40013     // About, help, plug-in manager
#define IDM_POPUP_FILE 40014     // open, close, options, exit
#define IDM_POPUP_IMAGE 40016    // properties, transforms; a submenu at position 0
#define IDM_POPUP_VIEW 40029     // zoom commands, view-mode radio items

// Commands
#define IDC_CMD_ABOUT 104
#define IDC_CMD_EXIT 105
#define IDC_CMD_OPEN 32772
#define IDC_CMD_CLOSE 32773
#define IDC_CMD_HELP 32775
#define IDC_CMD_PLUGINS 40001
#define IDC_CMD_UNUSED_40002 40002  // listed in popup 40013, handled by nobody
#define IDC_CMD_ASSOCIATIONS 40003
#define IDC_CMD_ROTATE_LEFT 40004   // counter-clockwise
#define IDC_CMD_ROTATE_RIGHT 40005  // clockwise
#define IDC_CMD_HALF_TURN 40006
#define IDC_CMD_INVERT 40007
#define IDC_CMD_FLIP 40008          // top-bottom
#define IDC_CMD_MIRROR 40009        // left-right
#define IDC_CMD_STATUSBAR 40010
#define IDC_CMD_TOOLBAR 40011
#define IDC_CMD_ACTUAL_SIZE 40019
#define IDC_CMD_FIT_WHOLE 40020
#define IDC_CMD_FIT_WIDTH 40021
#define IDC_CMD_FIT_HEIGHT 40022
#define IDC_CMD_ZOOM_IN 40024
#define IDC_CMD_ZOOM_OUT 40025
#define IDC_CMD_ZOOM_DIALOG 40027
#define IDC_CMD_OPTIONS 40028
#define IDC_CMD_FULL_SCREEN 40032
#define IDC_CMD_PROPERTIES 40034
#define IDC_CMD_NEXT_PAGE 40040
#define IDC_CMD_PREVIOUS_PAGE 40041

// Plug-in about items: the plug-in ids
#define IDC_CMD_PLUGIN_FIRST 1000
#define IDC_CMD_PLUGIN_LAST 1500
