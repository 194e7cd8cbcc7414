// Numbers of the explorer's child windows and commands. Its bitmaps are the program's own
// resources (resources/program_ids.h).
#pragma once

// Child windows.
#define IDC_EXPLORER_VIEW 1062     // the Zorvan_ExplorerView window in the dialog
#define IDC_EXPLORER_TOOLBAR 200
#define IDC_EXPLORER_LIST 300
#define IDC_EXPLORER_CANCEL 2      // sent on to the dialog as IDCANCEL
#define IDC_EXPLORER_GRID 310      // the thumbnail grid, in the list's place
#define IDC_EXPLORER_VIEW_MODE 230 // button: the list or the grid

// Commands.
#define IDM_EXPLORER_ROOT 210      // go to the root level
#define IDM_EXPLORER_LEVELS 220    // drop-down: the menu of the path levels
#define IDM_EXPLORER_LEVEL_FIRST 2000  // level i of that menu is 2000 + i
#define IDM_EXPLORER_LEVEL_LAST 2500
