// PCX (ZSoft Paintbrush) files into a packed DIB: 1 bit, 4 planes of 1 bit, 8 bits and
// 3 planes of 8 bits, plain or run-length encoded.
#pragma once

#include <cstdint>

#include "plugins/common/decode_input.h"
#include "plugins/pcx/pcx_ids.h"

namespace lmx::pcx {

// String-table numbers of the plug-in's messages. kMsgNoMemory is an error for the file's
// blocks and a warning for a decoder's work block.
enum Message : uint16_t {
  kMsgNoMemory = IDS_PCX_NO_MEMORY,
  kMsgUnknownFormat = IDS_PCX_UNKNOWN_FORMAT,
  kMsgNoFileName = IDS_PCX_NO_FILE_NAME,
  kMsgCantOpen = IDS_PCX_CANT_OPEN,
  kMsgNotPcx = IDS_PCX_NOT_PCX,
  kMsgCantRead = IDS_PCX_CANT_READ,
  kMsgDecodeFailed = IDS_PCX_DECODE_FAILED,
  kMsgColorTableId = IDS_PCX_COLOR_TABLE_ID,
  kMsgReadFailed = IDS_PCX_READ_FAILED,
  kMsgWrongColorFormat = IDS_PCX_WRONG_COLOR_FORMAT,
};

// What each refusal stands for in a quiet decode.
constexpr MessageStatus kStatuses[] = {
    {kMsgNoMemory, kReducedNoMemory}, {kMsgUnknownFormat, kReducedUnsupported}, {kMsgNotPcx, kReducedNotFormat},
    {kMsgWrongColorFormat, kReducedUnsupported}, {0, kReducedShown},
};

// Reads the PCX file behind `file` into a block from `heap`, or returns null with the
// messages to show. Never reads or writes outside the blocks it allocated, whatever the
// file says; frees every block it does not return.
void* ReadPcxFile(ByteSource& file, BlockHeap& heap, DecodeMessages& messages,
                  DecodeProgress* progress = nullptr);

// The same for the plug-in: the file as it opened it.
void* ReadPcx(const DecodeInput& in, BlockHeap& heap, DecodeMessages& messages, DecodeProgress* progress);

}  // namespace lmx::pcx
