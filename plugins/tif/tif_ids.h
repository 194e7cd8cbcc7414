// Numbers of the TIFF plug-in's own resources: the ones of every plug-in
// (plugins/common/plugin_ids.h) and the texts of its messages, which its reader names.
#pragma once

#include "plugins/common/plugin_ids.h"

#define IDS_TIF_CANNOT_READ 500
#define IDS_TIF_NO_MEMORY 501
#define IDS_TIF_DECODE_ERROR 505
#define IDS_TIF_INVALID_COLOR_FORMAT 506
#define IDS_TIF_NO_TRANSPARENCY_MASK 507
#define IDS_TIF_NO_CMYK 508
#define IDS_TIF_NO_Y_CB_CR 509
#define IDS_TIF_NO_CIE_LAB 510
#define IDS_TIF_JPEG_NOT_SUPPORTED 511
#define IDS_TIF_COMPRESSION_NOT_SUPPORTED 512
#define IDS_TIF_DAMAGED_DATA 513
