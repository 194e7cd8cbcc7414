// Resource numbers of the association dialog: its template and controls and its question
// live in the language component, its default icon in the program.
#pragma once

#define IDD_ASSOCIATE 105
#define IDC_ASSOC_FORMATS 1009  // list box: one line per format link
#define IDC_ASSOC_LINK 1068     // push button: tie the selected format to the viewer
#define IDC_ASSOC_ICON 1069     // icon of the selected format
#define IDC_ASSOC_LABEL 1093    // explanation above the list (not used by the program)

#define IDS_ASSOCIATE_QUESTION 401  // asked before associating

#define IDI_ASSOC_DEFAULT 154  // the program's own icon for formats without one
