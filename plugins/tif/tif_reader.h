// TIFF files into a packed DIB, over libtiff. libtiff reads through a ByteSource, so the same
// code decodes a Win32 file in the plug-in and a memory buffer when fuzzed or benchmarked.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/common/decode_input.h"
#include "plugins/tif/tif_ids.h"

namespace lmx::tif {

// String-table numbers of the plug-in's messages.
enum Message : uint16_t {
  kMsgCannotRead = IDS_TIF_CANNOT_READ,
  kMsgNoMemory = IDS_TIF_NO_MEMORY,
  kMsgDecodeError = IDS_TIF_DECODE_ERROR,
  kMsgInvalidColorFormat = IDS_TIF_INVALID_COLOR_FORMAT,
  kMsgNoTransparencyMask = IDS_TIF_NO_TRANSPARENCY_MASK,
  kMsgNoCmyk = IDS_TIF_NO_CMYK,
  kMsgNoYCbCr = IDS_TIF_NO_Y_CB_CR,
  kMsgNoCieLab = IDS_TIF_NO_CIE_LAB,
  kMsgJpegNotSupported = IDS_TIF_JPEG_NOT_SUPPORTED,
  kMsgCompressionNotSupported = IDS_TIF_COMPRESSION_NOT_SUPPORTED,  // %d: the compression code
  kMsgDamagedData = IDS_TIF_DAMAGED_DATA,                            // a strip libtiff cannot decode
};

// What each refusal stands for in a quiet decode.
constexpr MessageStatus kStatuses[] = {
    {kMsgCannotRead, kReducedNotFormat},           {kMsgNoMemory, kReducedNoMemory},
    {kMsgInvalidColorFormat, kReducedUnsupported}, {kMsgNoTransparencyMask, kReducedUnsupported},
    {kMsgNoCmyk, kReducedUnsupported},             {kMsgNoYCbCr, kReducedUnsupported},
    {kMsgNoCieLab, kReducedUnsupported},           {kMsgJpegNotSupported, kReducedUnsupported},
    {kMsgCompressionNotSupported, kReducedUnsupported}, {kMsgDamagedData, kReducedBroken},
    {0, kReducedShown},
};

// Number of directories (pages) in the file, at most 65535. False when libtiff cannot open
// the file as TIFF (message 500 is the caller's to show).
bool CountImages(ByteSource& file, uint32_t* count);

// Decodes directory `imageIndex` (the last one when the index lies beyond it). Returns a
// block from `heap`, or null with the messages to show: a compression libtiff has no codec
// for, or any strip it cannot decode, refuses the picture rather than showing zeros. Whatever
// the file claims, nothing outside the blocks it allocated is read or written, and libtiff
// says nothing itself.
void* ReadTiff(ByteSource& file, uint32_t imageIndex, BlockHeap& heap, DecodeMessages& messages);

// The same for a file whose bytes are all in memory (mapped, or read whole): libtiff then
// takes the strips straight from them instead of reading them into buffers of its own.
bool CountImages(const void* data, size_t size, uint32_t* count);
void* ReadTiff(const void* data, size_t size, uint32_t imageIndex, BlockHeap& heap, DecodeMessages& messages);

// The same for the plug-in: the file as it opened it, mapped or not.
void* ReadTiffFile(const DecodeInput& in, BlockHeap& heap, DecodeMessages& messages, DecodeProgress* progress);
bool CountTiffImages(const DecodeInput& in, uint32_t* count);

}  // namespace lmx::tif
