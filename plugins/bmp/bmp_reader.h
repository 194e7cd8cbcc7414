// Windows (BITMAPINFOHEADER) and OS/2 1.x (BITMAPCOREHEADER) bitmap files into a packed DIB.
#pragma once

#include <cstdint>

#include "plugins/bmp/bmp_ids.h"
#include "plugins/common/decode_input.h"

namespace lmx::bmp {

// String-table numbers of the plug-in's messages.
enum Message : uint16_t {
  kMsgGenericMemory = IDS_BMP_GENERIC_MEMORY,
  kMsgInvalidFileHandle = IDS_BMP_INVALID_FILE_HANDLE,
  kMsgFileHeaderRead = IDS_BMP_FILE_HEADER_READ,
  kMsgNotBitmap = IDS_BMP_NOT_BITMAP,
  kMsgInfoHeaderRead = IDS_BMP_INFO_HEADER_READ,
  kMsgUnknownFormat = IDS_BMP_UNKNOWN_FORMAT,
  kMsgNoMemory = IDS_BMP_NO_MEMORY,
  kMsgNoFileName = IDS_BMP_NO_FILE_NAME,
  kMsgInvalidRle = IDS_BMP_INVALID_RLE,
};

// What each refusal stands for in a quiet decode.
constexpr MessageStatus kStatuses[] = {
    {kMsgGenericMemory, kReducedNoMemory}, {kMsgNotBitmap, kReducedNotFormat},
    {kMsgUnknownFormat, kReducedUnsupported}, {kMsgNoMemory, kReducedNoMemory}, {0, kReducedShown},
};

constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;

// Reads the headers, the colour table and the pixel data from `file`. Returns a block from
// `heap` (the expanded one for run-length files) or null with the messages to show.
// Never reads or writes outside the blocks it allocated, whatever the file says.
void* ReadBitmapFile(ByteSource& file, BlockHeap& heap, DecodeMessages& messages);
// The same for a file whose bytes (file.Size() of them) are at `mapped` as well: a run-length
// stream they hold whole is expanded from where it lies rather than read into the block first.
void* ReadMappedBitmap(ByteSource& file, const void* mapped, BlockHeap& heap, DecodeMessages& messages);

// The same for the plug-in: the file as it opened it.
void* ReadBitmap(const DecodeInput& in, BlockHeap& heap, DecodeMessages& messages, DecodeProgress* progress);

}  // namespace lmx::bmp
