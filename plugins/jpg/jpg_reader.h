// JPEG files into a packed DIB, over libjpeg-turbo: baseline, progressive and arithmetic-coded
// pictures of 8-bit samples in grey, YCbCr, RGB, CMYK or YCCK, shown upright as their EXIF
// orientation says. One component gives 8 bits with a grey palette, the rest 24 bits.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/common/decode_input.h"
#include "plugins/jpg/jpg_ids.h"

namespace lmx::jpg {

// String-table numbers of the plug-in's messages.
enum Message : uint16_t {
  kMsgCantOpen = IDS_JPG_CANT_OPEN,
  kMsgNoMemory = IDS_JPG_NO_MEMORY,        // the picture would pass the block cap, or memory ran out
  kMsgNotJpeg = IDS_JPG_NOT_JPEG,          // no JPEG start of image
  kMsgBadHeader = IDS_JPG_BAD_HEADER,      // markers before the image data that libjpeg refuses
  kMsgDamaged = IDS_JPG_DAMAGED,           // a warning: cut short or damaged, the picture comes with it
  kMsgBadData = IDS_JPG_BAD_DATA,          // the image data failed before any row came out
  kMsgUnsupported = IDS_JPG_UNSUPPORTED,   // other sample precisions, other component counts
};

// What each refusal stands for in a quiet decode.
constexpr MessageStatus kStatuses[] = {
    {kMsgNoMemory, kReducedNoMemory}, {kMsgNotJpeg, kReducedNotFormat}, {kMsgUnsupported, kReducedUnsupported},
    {0, kReducedShown},
};

// Decodes the JPEG in the `size` bytes at `data`, or behind `file` (read whole first), into a
// block from `heap`. Null with one message when the file is refused; otherwise the block,
// with kMsgDamaged when the image data was cut short or damaged (the rows not decoded are as
// libjpeg fills them, or zero after an error). libjpeg's errors end inside the call, which
// then holds no memory but the block it returns; libjpeg says nothing itself.
void* ReadJpeg(ByteSource& file, BlockHeap& heap, DecodeMessages& messages);
void* ReadJpeg(const void* data, size_t size, BlockHeap& heap, DecodeMessages& messages);

// The same for the plug-in: the file as it opened it, mapped or not.
void* ReadJpegFile(const DecodeInput& in, BlockHeap& heap, DecodeMessages& messages, DecodeProgress* progress);

}  // namespace lmx::jpg
