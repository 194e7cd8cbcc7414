// GIF 87a and 89a files into a packed DIB: the first image on a canvas of the logical
// screen, with its own LZW decoder and de-interlacer. Later images, extensions, the
// background colour and the aspect ratio are ignored.
#pragma once

#include <cstdint>

#include "plugins/common/bounded_reader.h"
#include "plugins/common/decode_input.h"
#include "plugins/gif/gif_ids.h"

namespace lmx::gif {

// String-table numbers of the plug-in's messages.
enum Message : uint16_t {
  kMsgCantOpen = IDS_GIF_CANT_OPEN,
  kMsgNotGif = IDS_GIF_NOT_GIF,
  kMsgPrematureEnd = IDS_GIF_PREMATURE_END,
  kMsgNoMemory = IDS_GIF_NO_MEMORY,
  kMsgInvalidCode = IDS_GIF_INVALID_CODE,  // value: the code
  kMsgReadLoop = IDS_GIF_READ_LOOP,
  kMsgLzw = IDS_GIF_LZW,
  kMsgWrongColors = IDS_GIF_WRONG_COLORS,
  kMsgNoColorTable = IDS_GIF_NO_COLOR_TABLE,
  kMsgInvalidPart = IDS_GIF_INVALID_PART,
  kMsgUnknownVersion = IDS_GIF_UNKNOWN_VERSION,  // value: the three version bytes, the first in the low byte
};

// What each refusal stands for in a quiet decode.
constexpr MessageStatus kStatuses[] = {
    {kMsgNotGif, kReducedNotFormat}, {kMsgNoMemory, kReducedNoMemory},
    {kMsgUnknownVersion, kReducedUnsupported}, {0, kReducedShown},
};

// The rows of one image as its data gives them, in the file's order (interlaced or not),
// each `width` one-byte pixels; rows past the image's height are never given.
class ImageRows {
 public:
  virtual ~ImageRows() = default;
  virtual void Put(const uint8_t* row) = 0;
};

// Decodes one image's data (the code size byte and the sub-blocks up to the empty one) of
// `width` x `height` pixels from `in`, handing each row to `rows`. False, with messages, when
// the data is damaged; a short sub-block adds a message but still decodes.
bool DecodeImageData(BoundedReader& in, uint32_t width, uint32_t height, ImageRows& rows, BlockHeap& heap,
                     DecodeMessages& messages);

// Reads the GIF file behind `file` into a canvas from `heap`. Null with messages when the
// file is not a GIF or the canvas cannot be made; otherwise the canvas, filled as far as
// the image could be decoded, possibly with messages. Never reads or writes outside the
// blocks it allocated, whatever the file says; frees every block it does not return.
void* ReadGifFile(ByteSource& file, BlockHeap& heap, DecodeMessages& messages);

// The same for the plug-in: the file as it opened it.
void* ReadGif(const DecodeInput& in, BlockHeap& heap, DecodeMessages& messages, DecodeProgress* progress);

}  // namespace lmx::gif
