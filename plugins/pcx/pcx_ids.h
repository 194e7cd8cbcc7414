// Numbers of the PCX plug-in's own resources: the ones of every plug-in
// (plugins/common/plugin_ids.h) and the texts of its messages, which its reader names.
#pragma once

#include "plugins/common/plugin_ids.h"

#define IDS_PCX_NO_MEMORY 500
#define IDS_PCX_UNKNOWN_FORMAT 501
#define IDS_PCX_NO_FILE_NAME 502
#define IDS_PCX_CANT_OPEN 503
#define IDS_PCX_NOT_PCX 504
#define IDS_PCX_CANT_READ 505
#define IDS_PCX_DECODE_FAILED 506
#define IDS_PCX_COLOR_TABLE_ID 507
#define IDS_PCX_READ_FAILED 508
#define IDS_PCX_WRONG_COLOR_FORMAT 509
