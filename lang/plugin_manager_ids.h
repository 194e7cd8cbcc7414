// The plug-in manager: template 102 of the language component, its controls and the texts
// the manager takes from the component. Shared with lang/plugin_manager_dialog.rc.
#pragma once

// Dialog template
#define IDD_PLUGIN_MANAGER 102

// Controls
#define IDC_PLUGIN_LIST 1001     // list box: the installed plug-ins by name
#define IDC_PLUGIN_REMOVE 1002   // button: remove the selected plug-in
#define IDC_PLUGIN_DETAILS 1003  // text: version and notice of the selected plug-in
#define IDC_PLUGIN_ADD 1006      // button: add a plug-in library
// Labels have ids of their own: the tests tell message boxes from dialogs by a static text
// with id -1.
#define IDC_PLUGIN_LIST_LABEL 1090
#define IDC_PLUGIN_DETAILS_LABEL 1091

// Strings of the language component
#define IDS_PLUGIN_IN_USE_CAPTION 242
#define IDS_PLUGIN_IN_USE 305
#define IDS_REMOVE_PLUGIN_QUESTION 400
