// The picture properties sheet: its three page templates (110 to 112) in the language
// component, their controls and the texts the sheet takes from the component. Shared with
// lang/properties_dialogs.rc.
#pragma once

// Page templates
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

// Strings of the language component
#define IDS_COMPRESSION_NONE 700  // BI_RGB
#define IDS_COMPRESSION_RLE4 701  // BI_RLE4
#define IDS_COMPRESSION_RLE8 702  // BI_RLE8
#define IDS_PROPERTIES_CAPTION 855
