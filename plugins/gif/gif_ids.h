// Numbers of the GIF plug-in's own resources: the ones of every plug-in
// (plugins/common/plugin_ids.h) and the texts of its messages, which its reader names.
#pragma once

#include "plugins/common/plugin_ids.h"

#define IDS_GIF_CANT_OPEN 300
#define IDS_GIF_NOT_GIF 1000
#define IDS_GIF_PREMATURE_END 1001
#define IDS_GIF_NO_MEMORY 1005
#define IDS_GIF_INVALID_CODE 1006
#define IDS_GIF_READ_LOOP 1007
#define IDS_GIF_LZW 1008
#define IDS_GIF_WRONG_COLORS 1009
#define IDS_GIF_NO_COLOR_TABLE 1010
#define IDS_GIF_NO_ROW_TABLE 1011
#define IDS_GIF_INVALID_PART 1012
#define IDS_GIF_UNKNOWN_VERSION 1013
