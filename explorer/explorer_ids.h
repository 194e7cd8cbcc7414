// Numbers the explorer uses: the program's own bitmaps, its child windows and commands.
#pragma once

// Bitmaps of the program's own resources (Lumivex.exe).
#define IDB_EXPLORER_IMAGES 140   // 8 cells of 16 x 16, magenta transparent: the row icons
#define IDB_EXPLORER_TOOLBAR 145  // 13 cells of 16 x 16: the explorer toolbar

// Child windows.
#define IDC_EXPLORER_VIEW 1062     // the Zorvan_ExplorerView window in the dialog
#define IDC_EXPLORER_TOOLBAR 200
#define IDC_EXPLORER_LIST 300
#define IDC_EXPLORER_CANCEL 2      // sent on to the dialog as IDCANCEL

// Commands.
#define IDM_EXPLORER_ROOT 210      // go to the root level
#define IDM_EXPLORER_LEVELS 220    // drop-down: the menu of the path levels
#define IDM_EXPLORER_LEVEL_FIRST 2000  // level i of that menu is 2000 + i
#define IDM_EXPLORER_LEVEL_LAST 2500
