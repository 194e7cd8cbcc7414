// Numbers of the language component's resources (LumivexLangComp.dll): its dialog templates
// and their controls, the menu bar with its popups and commands, and its strings. Shared by
// the program's code, the component's scripts and the tests.
#pragma once

// --- Menu bar (MENUEX 110): each top-level popup, with its id, is a text button ----------

#define IDR_MENU_BAR 110

// Popups
#define IDM_POPUP_TOOLS 40013  // Tools: plug-in manager, file types, help, About
#define IDM_POPUP_FILE 40014   // open, close, options, exit
#define IDM_POPUP_IMAGE 40016  // properties, transforms; a submenu at position 0
#define IDM_POPUP_VIEW 40029   // zoom commands, view-mode radio items

// Places the program relies on inside the popups
#define MENU_BAR_POPUP_COUNT 4
#define MENU_BAR_TOOLS_INDEX 3            // the fourth popup (IDM_POPUP_TOOLS)
#define MENU_BAR_PLUGIN_SUBMENU_POS 2     // where the plug-in submenu goes in that popup
#define MENU_BAR_TRANSFORM_SUBMENU_POS 0  // the transforms' submenu in IDM_POPUP_IMAGE

// Commands of the main window (menu bar, its popups, the viewer toolbar). A toolbar
// button's tooltip is the string of its command's number.
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
// Going through the pictures of the current picture's folder
#define IDC_CMD_NEXT_PICTURE 40042
#define IDC_CMD_PREVIOUS_PICTURE 40043
#define IDC_CMD_FIRST_PICTURE 40044  // keys only (Home)
#define IDC_CMD_LAST_PICTURE 40045   // keys only (End)
#define IDC_CMD_SLIDE_SHOW 40046
#define IDC_CMD_PLAY_PAUSE 40047  // stops and resumes an animation (key P)

// Plug-in about items: the plug-in ids
#define IDC_CMD_PLUGIN_FIRST 1000
#define IDC_CMD_PLUGIN_LAST 1500

// --- Dialog templates ----------------------------------------------------------------------
// Labels and frames have ids of their own: the tests tell message boxes from dialogs by a
// static text with id -1.

// Plug-in manager (102)
#define IDD_PLUGIN_MANAGER 102
#define IDC_PLUGIN_LIST 1001     // list box: the installed plug-ins by name
#define IDC_PLUGIN_REMOVE 1002   // button: remove the selected plug-in
#define IDC_PLUGIN_DETAILS 1003  // text: version and notice of the selected plug-in
#define IDC_PLUGIN_ADD 1006      // button: add a plug-in library
#define IDC_PLUGIN_LIST_LABEL 1090
#define IDC_PLUGIN_DETAILS_LABEL 1091

// About box (103): the program paints its text right of a 50-pixel margin
#define IDD_ABOUT 103

// Association dialog (105)
#define IDD_ASSOCIATE 105
#define IDC_ASSOC_FORMATS 1009  // list box: one line per format link
#define IDC_ASSOC_LINK 1068     // push button: tie the selected format to the viewer
#define IDC_ASSOC_ICON 1069     // icon of the selected format
#define IDC_ASSOC_LABEL 1093    // explanation above the list (not used by the program)

// Zoom dialog (108)
#define IDD_ZOOM 108
#define IDC_ZOOM_EDIT 1013   // the percentage
#define IDC_ZOOM_LABEL 1095  // the prompt

// Options dialog (109)
#define IDD_OPTIONS 109
#define IDC_OPTIONS_STARTUP 1016      // check box: the splash at start-up
#define IDC_OPTIONS_BARS_SLIM 1026    // radio: scroll-bar choice (SLState 0)
#define IDC_OPTIONS_BARS_FULL 1027    // radio: scroll-bar choice (SLState 1)
#define IDC_OPTIONS_STATUSBAR 1028    // check box: ShowStatusbar
#define IDC_OPTIONS_PEN 1029          // radio: the pen pans (MSState 0)
#define IDC_OPTIONS_SCROLLBARS 1030   // radio: scroll bars (MSState 1)
#define IDC_OPTIONS_TOOLBAR 1031      // check box: ShowAddToolbar
#define IDC_OPTIONS_TOOLBAR_POS 1064  // combo box: ToolbarAlign
#define IDC_OPTIONS_MOVING_GROUP 1090
#define IDC_OPTIONS_SCREEN_GROUP 1091
#define IDC_OPTIONS_POSITION_LABEL 1092
#define IDC_OPTIONS_SLIDE_GROUP 1093
#define IDC_OPTIONS_SLIDE_LABEL 1094
#define IDC_OPTIONS_SLIDE_SECONDS 1032  // edit: seconds per picture of a slide show (1 to 60)
#define IDC_OPTIONS_SLIDE_REPEAT 1035   // check box: the slide show starts over after the last

// Picture properties: three page templates (110 to 112), and the details page (114)
#define IDD_PROPERTIES_DEPTH 110
#define IDD_PROPERTIES_COMPRESSION 111
#define IDD_PROPERTIES_SIZE 112
// Colour depth page (110): one radio button per depth
#define IDC_DEPTH_1BIT 1050
#define IDC_DEPTH_4BIT 1051
#define IDC_DEPTH_2BIT 1052  // no picture of the viewer has this depth
#define IDC_DEPTH_8BIT 1053
#define IDC_DEPTH_24BIT 1054
#define IDC_DEPTH_GROUP 1090
// Compression page (111)
#define IDC_COMPRESSION 1034  // drop-down list of the compression names
#define IDC_COMPRESSION_LABEL 1091
// Size page (112)
#define IDC_SIZE_WIDTH 1038
#define IDC_SIZE_HEIGHT 1039
#define IDC_SIZE_DPI 1040
#define IDC_SIZE_WIDTH_LABEL 1092
#define IDC_SIZE_HEIGHT_LABEL 1093
#define IDC_SIZE_DPI_LABEL 1094
// Details page (114), after the three: the file's own facts, read-only
#define IDD_PROPERTIES_DETAILS 114
#define IDC_DETAILS_LIST 1041  // list view: one row of label and value per fact

// Explorer (113): the program fills it with its own explorer window
#define IDD_EXPLORER 113

// --- Strings ---------------------------------------------------------------------------------

#define IDS_PLUGIN_MENU_TITLE 100  // the plug-in submenu, listing each plug-in's about box

// About box lines; IDS_ABOUT_PLATFORM is a format taking the platform name
#define IDS_ABOUT_PLATFORM 200
#define IDS_ABOUT_VERSION 201
#define IDS_ABOUT_COPYRIGHT 204
#define IDS_ABOUT_RIGHTS 205
#define IDS_ABOUT_INTERNET 206  // also the splash's web address

// Splash
#define IDS_SPLASH_CONTACT 207
#define IDS_SPLASH_TITLE 220
#define IDS_SPLASH_SUBTITLE 221

// Message-box captions of the image core's argument and image errors
#define IDS_ARGUMENT_ERROR_CAPTION 240
#define IDS_IMAGE_ERROR_CAPTION 241

// Image core: 254 to 299 are its error texts; 296 to 299 are the transforms' refusals
// (DibStatus)
#define IDS_IMAGE_ERROR_FIRST 254
#define IDS_NO_DIB_FOR_PALETTE 254
#define IDS_NO_PICTURE_FOR_DEPTH 256
#define IDS_NO_PICTURE_TO_INVERT 261
#define IDS_PICTURE_NOT_DRAWN 262  // a loaded picture that no display bitmap can be made of
#define IDS_DIB_COMPRESSED 296
#define IDS_DIB_BAD_HEADER 297
#define IDS_DIB_NO_MEMORY 298
#define IDS_DIB_UNSUPPORTED_DEPTH 299
#define IDS_IMAGE_ERROR_LAST 299

// Opening files and adding plug-ins
#define IDS_NO_PLUGIN_FOR_FILE 300
#define IDS_PLUGIN_ALREADY_ADDED 301

// Plug-in manager
#define IDS_PLUGIN_IN_USE_CAPTION 242
#define IDS_PLUGIN_IN_USE 305
#define IDS_REMOVE_PLUGIN_QUESTION 400

// Zoom dialog: the warning when the entered zoom is out of range
#define IDS_ZOOM_RANGE 320

// Association dialog: asked before associating
#define IDS_ASSOCIATE_QUESTION 401

// Menu bar's image buttons' tooltips
#define IDS_TIP_PREVIOUS_PAGE 608
#define IDS_TIP_NEXT_PAGE 609
#define IDS_TIP_STATUSBAR 611
#define IDS_TIP_TOOLBAR 612

// Options dialog: toolbar position choices
#define IDS_TOOLBAR_TOP 650
#define IDS_TOOLBAR_BOTTOM 651

// Status bar: the picture's place in its folder and the page of a file of several pages
#define IDS_STATUS_POSITION 660  // format: place, count
#define IDS_STATUS_PAGE 661      // format: page, pages

// Picture properties: compression names and the sheet's caption
#define IDS_COMPRESSION_NONE 700  // BI_RGB
#define IDS_COMPRESSION_RLE4 701  // BI_RLE4
#define IDS_COMPRESSION_RLE8 702  // BI_RLE8
#define IDS_PROPERTIES_CAPTION 855
// Details page: the label of each fact (file name to comment, in the page's order) and the
// size's form, taking the grouped number of bytes
#define IDS_DETAIL_FIRST 860
#define IDS_DETAIL_NAME 860
#define IDS_DETAIL_FOLDER 861
#define IDS_DETAIL_SIZE 862
#define IDS_DETAIL_DATE 863
#define IDS_DETAIL_FORMAT 864
#define IDS_DETAIL_DIMENSIONS 865
#define IDS_DETAIL_PIXELS 866
#define IDS_DETAIL_COLOUR 867
#define IDS_DETAIL_RESOLUTION 868
#define IDS_DETAIL_DATE_TAKEN 869
#define IDS_DETAIL_MAKE 870
#define IDS_DETAIL_MODEL 871
#define IDS_DETAIL_LENS 872
#define IDS_DETAIL_EXPOSURE 873
#define IDS_DETAIL_F_NUMBER 874
#define IDS_DETAIL_ISO 875
#define IDS_DETAIL_FOCAL_LENGTH 876
#define IDS_DETAIL_FLASH 877
#define IDS_DETAIL_ORIENTATION 878
#define IDS_DETAIL_LATITUDE 879
#define IDS_DETAIL_LONGITUDE 880
#define IDS_DETAIL_ALTITUDE 881
#define IDS_DETAIL_TITLE 882
#define IDS_DETAIL_DESCRIPTION 883
#define IDS_DETAIL_AUTHOR 884
#define IDS_DETAIL_COPYRIGHT 885
#define IDS_DETAIL_SOFTWARE 886
#define IDS_DETAIL_COMMENT 887
#define IDS_DETAIL_LAST 887
#define IDS_DETAIL_BYTES 888  // "%ls bytes"

// Explorer: the column titles, the root's name and the cancel button
#define IDS_EXPLORER_NAME 850
#define IDS_EXPLORER_SIZE 851
#define IDS_EXPLORER_DATE 852
#define IDS_EXPLORER_ROOT 853
#define IDS_EXPLORER_CANCEL 854
#define IDS_EXPLORER_LINUX 890  // the root's folder for the Linux file system (drive Z:)
#define IDS_EXPLORER_GRID 891   // the view button while the list shows: switch to thumbnails
#define IDS_EXPLORER_LIST 892   // the view button while the thumbnails show: switch to the list

// The status bar's one warning when an animation ends at a damaged frame
#define IDS_ANIMATION_DAMAGED 893
