// Numbers of the program's own resources (Lumivex.exe). Its dialogs but the splash, its
// menu bar and most texts come from the language component (lang/lang_ids.h).
#pragma once

// Strings
#define IDS_PRODUCT_NAME 100        // "Zorvan Lumivex"
#define IDS_LANG_COMPONENT 101      // the language component's library name
#define IDS_HELP_STEM 250           // the help file's name without extension
#define IDS_CANT_START 1000
#define IDS_NO_LANG_COMPONENT 1001
#define IDS_CANT_FIND_PLUGIN 1002

// Splash dialog and its controls
#define IDD_SPLASH 300
#define IDC_SPLASH_PICTURE 500
#define IDC_SPLASH_SUBTITLE 501
#define IDC_SPLASH_TITLE 502
#define IDC_SPLASH_CONTACT 503

// Accelerators: the program has none, and runs its loop without them
#define IDR_ACCELERATORS 109

// Bitmaps
#define IDB_VIEWER_TOOLBAR 131    // 13 cells of 16 x 16: viewer toolbar 0-7, menu bar 9-12
#define IDB_VIEW_BACKGROUND 134   // the image view's background pattern
#define IDB_SPLASH 136            // splash picture: one 216-pixel cell, mask colour 0x808080
#define IDB_EXPLORER_IMAGES 140   // 8 cells of 16 x 16, magenta transparent: the row icons
#define IDB_EXPLORER_TOOLBAR 145  // 13 cells of 16 x 16: the explorer toolbar

// Icons
#define IDI_PROGRAM 107
#define IDI_FILE_LINK 154  // also the icon of formats whose plug-in has none
