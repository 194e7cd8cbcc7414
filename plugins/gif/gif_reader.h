// GIF 87a and 89a files into a packed DIB: the first image on a canvas of the logical
// screen, with its own LZW decoder and de-interlacer. Later images, extensions, the
// background colour and the aspect ratio are ignored.
#pragma once

#include <cstdint>

#include "plugins/common/byte_source.h"
#include "plugins/common/decode_messages.h"

namespace lmx::gif {

// String-table numbers of the plug-in's messages.
enum Message : uint16_t {
  kMsgCantOpen = 300,
  kMsgNotGif = 1000,
  kMsgPrematureEnd = 1001,
  kMsgNoMemory = 1005,
  kMsgInvalidCode = 1006,  // detail: the code
  kMsgReadLoop = 1007,
  kMsgLzw = 1008,
  kMsgWrongColors = 1009,
  kMsgNoColorTable = 1010,
  kMsgNoRowTable = 1011,  // never needed: interlaced rows are placed as they are decoded
  kMsgInvalidPart = 1012,
  kMsgUnknownVersion = 1013,  // detail: the three version bytes, the first in the low byte
};

// Reads the GIF file behind `file` into a canvas from `heap`. Null with messages when the
// file is not a GIF or the canvas cannot be made; otherwise the canvas, filled as far as
// the image could be decoded, possibly with messages. Never reads or writes outside the
// blocks it allocated, whatever the file says; frees every block it does not return.
void* ReadGifFile(ByteSource& file, BlockHeap& heap, DecodeMessages& messages);

}  // namespace lmx::gif
