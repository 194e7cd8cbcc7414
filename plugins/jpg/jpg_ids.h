// Numbers of the JPEG plug-in's own resources: the ones of every plug-in
// (plugins/common/plugin_ids.h) and the texts of its messages, which its reader names.
#pragma once

#include "plugins/common/plugin_ids.h"

#define IDS_JPG_CANT_OPEN 500
#define IDS_JPG_NO_MEMORY 501
#define IDS_JPG_NOT_JPEG 502
#define IDS_JPG_BAD_HEADER 503
#define IDS_JPG_DAMAGED 504
#define IDS_JPG_BAD_DATA 505
#define IDS_JPG_UNSUPPORTED 506
