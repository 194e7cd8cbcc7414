// The file as a format's reader gets it from the plug-in, and the reader's shape.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/common/byte_source.h"
#include "plugins/common/decode_messages.h"
#include "plugins/common/decode_progress.h"

namespace lmx {

// Always a source; the bytes in memory too when the whole file is mapped.
struct DecodeInput {
  ByteSource& file;
  const void* data;  // null unless the whole file is mapped
  size_t size;
  uint32_t imageIndex;
};

// A picture as a packed DIB block from `heap`, or null with the messages to show.
using ReadPictureFn = void* (*)(const DecodeInput& in, BlockHeap& heap, DecodeMessages& messages,
                                DecodeProgress* progress);
// The number of images in the file; false when it cannot be read as the format.
using CountImagesFn = bool (*)(const DecodeInput& in, uint32_t* count);

}  // namespace lmx
