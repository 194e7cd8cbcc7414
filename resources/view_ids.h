// Numbers of the image view's resources: the zoom dialog of the language component and its
// controls and text, and the program's own bitmaps and icons drawn for the viewer.
#pragma once

// Dialogs (language component)
#define IDD_ZOOM 108

// Zoom dialog (108)
#define IDC_ZOOM_EDIT 1013   // the percentage
#define IDC_ZOOM_LABEL 1095  // the prompt (an id of its own: message boxes have -1)

// Strings (language component)
#define IDS_ZOOM_RANGE 320  // the warning when the entered zoom is out of range

// Bitmaps (program)
#define IDB_VIEWER_TOOLBAR 131  // 13 cells of 16 x 16: viewer toolbar 0-7, menu bar 9-12
#define IDB_VIEW_BACKGROUND 134  // the image view's background pattern

// Icons (program)
#define IDI_PROGRAM 107
#define IDI_FILE_LINK 154
