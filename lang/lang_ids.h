// Numbers of the language component's resources that the program's own code names:
// dialog templates and their controls, and strings. Shared with lang/*.rc.
#pragma once

// Dialog templates
#define IDD_OPTIONS 109

// Options dialog (109)
#define IDC_OPTIONS_STARTUP 1016      // check box: the splash at start-up
#define IDC_OPTIONS_BARS_SLIM 1026    // radio: scroll-bar choice (SLState 0)
#define IDC_OPTIONS_BARS_FULL 1027    // radio: scroll-bar choice (SLState 1)
#define IDC_OPTIONS_STATUSBAR 1028    // check box: ShowStatusbar
#define IDC_OPTIONS_PEN 1029          // radio: the pen pans (MSState 0)
#define IDC_OPTIONS_SCROLLBARS 1030   // radio: scroll bars (MSState 1)
#define IDC_OPTIONS_TOOLBAR 1031      // check box: ShowAddToolbar
#define IDC_OPTIONS_TOOLBAR_POS 1064  // combo box: ToolbarAlign
// Labels and frames have ids of their own: the tests tell message boxes from dialogs by a
// static text with id -1.
#define IDC_OPTIONS_MOVING_GROUP 1090
#define IDC_OPTIONS_SCREEN_GROUP 1091
#define IDC_OPTIONS_POSITION_LABEL 1092

// Strings
#define IDS_TOOLBAR_TOP 650
#define IDS_TOOLBAR_BOTTOM 651

// Explorer (dialog 113): the column titles, the root's name and the cancel button
#define IDD_EXPLORER 113
#define IDS_EXPLORER_NAME 850
#define IDS_EXPLORER_SIZE 851
#define IDS_EXPLORER_DATE 852
#define IDS_EXPLORER_ROOT 853
#define IDS_EXPLORER_CANCEL 854
