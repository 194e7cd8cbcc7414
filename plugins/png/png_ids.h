// Numbers of the PNG plug-in's own resources: the ones of every plug-in
// (plugins/common/plugin_ids.h) and the texts of its messages, which its reader names.
#pragma once

#include "plugins/common/plugin_ids.h"

#define IDS_PNG_CANT_OPEN 500
#define IDS_PNG_NO_MEMORY 501
#define IDS_PNG_NOT_PNG 502
#define IDS_PNG_BAD_HEADER 503
#define IDS_PNG_DAMAGED 504
#define IDS_PNG_BAD_DATA 505
