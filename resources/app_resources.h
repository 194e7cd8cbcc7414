// Resource numbers of the program's own resources (Lumivex.exe), grouped by kind.
// Texts, dialogs and the menu bar otherwise come from the language component.
#pragma once

// Dialogs
#define IDD_SPLASH 300

// Bitmaps
#define IDB_SPLASH 136  // splash picture: one 216-pixel cell, mask colour 0x808080

// Controls of the splash
#define IDC_SPLASH_PICTURE 500
#define IDC_SPLASH_SUBTITLE 501
#define IDC_SPLASH_TITLE 502
#define IDC_SPLASH_CONTACT 503
