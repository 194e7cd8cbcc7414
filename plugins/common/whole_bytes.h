// Readers over libraries that take a file's bytes whole in memory (libjpeg, libwebp): the
// mapped file's bytes as they are, or a file that is not mapped read into memory first.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/common/decode_input.h"

namespace lmx {

// A decode of `size` bytes at `data`; `box` as DecodeInput's, or null for the whole picture.
using DecodeBytesFn = void* (*)(const uint8_t* data, size_t size, BlockHeap& heap, DecodeMessages& messages,
                                const DecodeInput* box);

// `file`'s bytes from its start (at most the block cap) read into memory and decoded; when the
// memory for them is short, `noMemory` is said and null returned.
void* DecodeFileBytes(ByteSource& file, BlockHeap& heap, DecodeMessages& messages, const DecodeInput* box,
                      DecodeBytesFn decode, uint16_t noMemory);

// The plug-in's input decoded: its mapped bytes, else its file read as DecodeFileBytes reads it.
void* DecodeInputBytes(const DecodeInput& in, BlockHeap& heap, DecodeMessages& messages, DecodeBytesFn decode,
                       uint16_t noMemory);

}  // namespace lmx
