#include "plugins/webp/webp_reader.h"

#include <cstdlib>
#include <cstring>

#include <webp/decode.h>

#include "plugins/common/dib_block.h"
#include "plugins/common/whole_bytes.h"
#include "plugins/webp/webp_canvas.h"
#include "plugins/webp/webp_frame.h"

namespace lmx::webp {
namespace {

bool IsWebp(const uint8_t* data, size_t size) {
  return size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WEBP", 4) == 0;
}

// The size a picture of width x height is scaled to for a box: no smaller than it needs to be
// to fill the box when fitted whole, never larger than the picture.
void ScaledSize(uint32_t width, uint32_t height, uint32_t boxWidth, uint32_t boxHeight, uint32_t* outWidth,
                uint32_t* outHeight) {
  *outWidth = width;
  *outHeight = height;
  if (!boxWidth || !boxHeight || (width <= boxWidth && height <= boxHeight)) return;
  if (uint64_t{width} * boxHeight >= uint64_t{height} * boxWidth) {
    *outWidth = boxWidth;
    *outHeight = static_cast<uint32_t>((uint64_t{height} * boxWidth + width - 1) / width);
  } else {
    *outHeight = boxHeight;
    *outWidth = static_cast<uint32_t>((uint64_t{width} * boxHeight + height - 1) / height);
  }
  if (*outWidth < 1) *outWidth = 1;
  if (*outHeight < 1) *outHeight = 1;
  if (*outWidth > width) *outWidth = width;
  if (*outHeight > height) *outHeight = height;
}

void* Decode(const uint8_t* data, size_t size, BlockHeap& heap, DecodeMessages& messages,
             const DecodeInput* box = nullptr) {
  if (!IsWebp(data, size)) {
    messages.Add(kMsgNotWebp);
    return nullptr;
  }
  WebPBitstreamFeatures features;
  const VP8StatusCode status = WebPGetFeatures(data, size, &features);
  if (status != VP8_STATUS_OK || features.width <= 0 || features.height <= 0) {
    messages.Add(status == VP8_STATUS_OUT_OF_MEMORY ? kMsgNoMemory : kMsgBadHeader);
    return nullptr;
  }
  const bool animated = features.has_animation != 0;
  const uint32_t fullWidth = static_cast<uint32_t>(features.width), fullHeight = static_cast<uint32_t>(features.height);
  if (box && box->fullSize) *box->fullSize = {fullWidth, fullHeight};
  // A still picture is scaled by libwebp for a box; an animation's canvas is averaged afterwards.
  uint32_t width = fullWidth, height = fullHeight;
  if (box && !animated) ScaledSize(fullWidth, fullHeight, box->boxWidth, box->boxHeight, &width, &height);

  const DibBlock dib = AllocDib(heap, {width, height, 24, 0});
  if (!dib.Made()) {
    messages.Add(kMsgNoMemory);
    return nullptr;
  }
  HeldBlock block(heap);
  block.Hold(dib.block);
  const RowsTarget target = {dib.pixels + (height - 1) * dib.stride, -static_cast<ptrdiff_t>(dib.stride), width,
                             height};
  FrameResult result;
  bool whole = true;
  if (animated) {
    for (uint32_t y = 0; y < height; ++y) std::memset(dib.pixels + y * dib.stride, 0xFF, size_t{width} * 3);
    result = ComposeFirstFrame(data, size, target, &whole);
  } else {
    result = DecodeFrame(data, size, target);
  }
  if (result.end == FrameEnd::kNoMemory) {
    messages.Add(kMsgNoMemory);
    return nullptr;
  }
  if (result.rows == 0) {
    messages.Add(kMsgBadData);
    return nullptr;
  }
  if (result.end != FrameEnd::kWhole || !whole) messages.Warn(kMsgDamaged);
  return block.Take();
}

}  // namespace

void* ReadWebp(ByteSource& file, BlockHeap& heap, DecodeMessages& messages) {
  return DecodeFileBytes(file, heap, messages, nullptr, Decode, kMsgNoMemory);
}

void* ReadWebp(const void* data, size_t size, BlockHeap& heap, DecodeMessages& messages) {
  return Decode(static_cast<const uint8_t*>(data), size, heap, messages);
}

void* ReadWebpFile(const DecodeInput& in, BlockHeap& heap, DecodeMessages& messages, DecodeProgress*) {
  // libwebp takes the bytes whole: the mapped file's, or the file read into memory.
  return DecodeInputBytes(in, heap, messages, Decode, kMsgNoMemory);
}

}  // namespace lmx::webp
