// The file as a format's reader gets it from the plug-in, and the reader's shape.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/common/byte_source.h"
#include "plugins/common/decode_messages.h"
#include "plugins/common/decode_progress.h"
#include "plugins/common/reduced_status.h"

namespace lmx {

// The picture's size as the file states it, upright, for a reader to report.
struct PictureSize {
  uint32_t width = 0;
  uint32_t height = 0;
};

// Always a source; the bytes in memory too when the whole file is mapped. With a box, the
// reader may give the picture smaller, down to what still fills the box when fitted whole
// (ReductionFactor), and then tells the full size in `fullSize`.
struct DecodeInput {
  ByteSource& file;
  const void* data;  // null unless the whole file is mapped
  size_t size;
  uint32_t imageIndex;
  uint32_t boxWidth = 0;  // 0: the whole picture
  uint32_t boxHeight = 0;
  PictureSize* fullSize = nullptr;
  bool oneThread = false;  // decode on the calling thread alone
};

// A picture as a packed DIB block from `heap`, or null with the messages to show.
using ReadPictureFn = void* (*)(const DecodeInput& in, BlockHeap& heap, DecodeMessages& messages,
                                DecodeProgress* progress);
// The number of images in the file; false when it cannot be read as the format.
using CountImagesFn = bool (*)(const DecodeInput& in, uint32_t* count);

}  // namespace lmx
