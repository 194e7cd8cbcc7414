// WebP files into a 24-bit packed DIB, over libwebp: lossy (with or without an alpha chunk),
// lossless and extended files, pixels as stored (colour profiles and XMP are not applied).
// Transparency is composited over white on 8-bit values as the PNG plug-in does:
// c' = (c * a + 255 * (255 - a) + 127) / 255. An animated file gives its first frame composed
// on the canvas (webp_canvas.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/common/decode_input.h"
#include "plugins/webp/webp_ids.h"

namespace lmx::webp {

// String-table numbers of the plug-in's messages.
enum Message : uint16_t {
  kMsgCantOpen = IDS_WEBP_CANT_OPEN,
  kMsgNoMemory = IDS_WEBP_NO_MEMORY,    // the picture would pass the block cap, or memory ran out
  kMsgNotWebp = IDS_WEBP_NOT_WEBP,      // no RIFF header of a WebP file
  kMsgBadHeader = IDS_WEBP_BAD_HEADER,  // headers libwebp refuses, or cut before the picture's size
  kMsgDamaged = IDS_WEBP_DAMAGED,       // a warning: cut short or damaged, the picture comes with it
  kMsgBadData = IDS_WEBP_BAD_DATA,      // the image data failed before any row came out
};

// What each refusal stands for in a quiet decode.
constexpr MessageStatus kStatuses[] = {
    {kMsgNoMemory, kReducedNoMemory}, {kMsgNotWebp, kReducedNotFormat}, {0, kReducedShown},
};

// Decodes the WebP in the `size` bytes at `data`, or behind `file` (read whole first), into a
// block from `heap`. Null with one message when the file is refused; otherwise the block,
// with kMsgDamaged when the file was cut short or damaged (rows not decoded stay zero).
void* ReadWebp(ByteSource& file, BlockHeap& heap, DecodeMessages& messages);
void* ReadWebp(const void* data, size_t size, BlockHeap& heap, DecodeMessages& messages);

// The same for the plug-in: the file as it opened it, mapped or not. With a box, libwebp scales
// a still picture down to what still fills the box when fitted whole.
void* ReadWebpFile(const DecodeInput& in, BlockHeap& heap, DecodeMessages& messages, DecodeProgress* progress);

}  // namespace lmx::webp
