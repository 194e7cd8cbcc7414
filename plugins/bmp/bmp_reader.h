// Windows (BITMAPINFOHEADER) and OS/2 1.x (BITMAPCOREHEADER) bitmap files into a packed DIB.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/common/byte_source.h"
#include "plugins/common/decode_messages.h"

namespace lmx::bmp {

// String-table numbers of the plug-in's messages.
enum Message : uint16_t {
  kMsgGenericMemory = 500,
  kMsgInvalidFileHandle = 1000,
  kMsgFileHeaderRead = 1001,
  kMsgNotBitmap = 1002,
  kMsgInfoHeaderRead = 1003,
  kMsgUnknownFormat = 1004,
  kMsgNoMemory = 1005,
  kMsgNoFileName = 1006,
  kMsgInvalidDib = 1009,
  kMsgNoOs2 = 1010,
  kMsgInvalidRle = 1011,
};

constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;

// Reads the headers, the colour table and the pixel data from `file`. Returns a block from
// `heap` (the expanded one for run-length files) or null with the messages to show.
// Never reads or writes outside the blocks it allocated, whatever the file says.
void* ReadBitmapFile(ByteSource& file, BlockHeap& heap, DecodeMessages& messages);

// Expands a run-length block of `blockSize` bytes (header, colour table, stream) into a
// new block with plain rows. Null with a message when the block cannot be expanded.
void* ExpandRle(const void* block, size_t blockSize, BlockHeap& heap, DecodeMessages& messages);

}  // namespace lmx::bmp
