// PNG files into a packed DIB, over libpng: every colour type and bit depth, interlaced or
// not, pixels as stored (gamma and colour profiles are not applied).
//  - Palette pictures without transparency stay indexed: 1, 4 or 8 bits (2 bits widen to 4),
//    with the file's palette.
//  - Grey pictures become 8 bits with a grey palette.
//  - The rest becomes 24 bits.
// 16-bit samples keep their high byte. Transparency, from an alpha channel or tRNS, is
// composited over white on 8-bit values: c' = (c * a + 255 * (255 - a) + 127) / 255.
#pragma once

#include <cstdint>

#include "plugins/common/decode_input.h"
#include "plugins/png/png_ids.h"

namespace lmx::png {

// String-table numbers of the plug-in's messages.
enum Message : uint16_t {
  kMsgCantOpen = IDS_PNG_CANT_OPEN,
  kMsgNoMemory = IDS_PNG_NO_MEMORY,    // the picture would pass the block cap, or memory ran out
  kMsgNotPng = IDS_PNG_NOT_PNG,        // no PNG signature
  kMsgBadHeader = IDS_PNG_BAD_HEADER,  // chunks before the image data that libpng refuses
  kMsgDamaged = IDS_PNG_DAMAGED,       // a warning: cut short or damaged, the picture comes with it
  kMsgBadData = IDS_PNG_BAD_DATA,      // a chunk of image data fails its check, or no row came out
};

// What each refusal stands for in a quiet decode.
constexpr MessageStatus kStatuses[] = {
    {kMsgNoMemory, kReducedNoMemory}, {kMsgNotPng, kReducedNotFormat}, {0, kReducedShown},
};

// Decodes the PNG behind `file` into a block from `heap`. Null with one message when the file
// is refused; otherwise the block, with kMsgDamaged when the image data ended early or broke
// (rows not reached stay zero; an interlaced file's passes that came are spread over the
// pixels of those that did not). libpng's errors end inside the call, which then holds no
// memory but the block it returns; libpng says nothing itself.
void* ReadPng(ByteSource& file, BlockHeap& heap, DecodeMessages& messages);

// The same for the plug-in: the file as it opened it.
void* ReadPngFile(const DecodeInput& in, BlockHeap& heap, DecodeMessages& messages, DecodeProgress* progress);

}  // namespace lmx::png
