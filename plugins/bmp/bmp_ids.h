// Numbers of the BMP plug-in's own resources: the ones of every plug-in
// (plugins/common/plugin_ids.h) and the texts of its messages, which its reader names.
#pragma once

#include "plugins/common/plugin_ids.h"

#define IDS_BMP_GENERIC_MEMORY 500
#define IDS_BMP_INVALID_FILE_HANDLE 1000
#define IDS_BMP_FILE_HEADER_READ 1001
#define IDS_BMP_NOT_BITMAP 1002
#define IDS_BMP_INFO_HEADER_READ 1003
#define IDS_BMP_UNKNOWN_FORMAT 1004
#define IDS_BMP_NO_MEMORY 1005
#define IDS_BMP_NO_FILE_NAME 1006
#define IDS_BMP_INVALID_DIB 1009
#define IDS_BMP_NO_OS2 1010
#define IDS_BMP_INVALID_RLE 1011
