// Numbers of the WebP plug-in's own resources: the ones of every plug-in
// (plugins/common/plugin_ids.h) and the texts of its messages, which its reader names.
#pragma once

#include "plugins/common/plugin_ids.h"

#define IDS_WEBP_CANT_OPEN 500
#define IDS_WEBP_NO_MEMORY 501
#define IDS_WEBP_NOT_WEBP 502
#define IDS_WEBP_BAD_HEADER 503
#define IDS_WEBP_DAMAGED 504
#define IDS_WEBP_BAD_DATA 505
