#include "plugins/webp/webp_frame.h"

#include <cstdlib>

#include <webp/decode.h>

#include "plugins/common/over_white.h"

namespace lmx::webp {
namespace {

// Rows [from, to) of blue, green, red and alpha pixels over white into the target.
void CompositeRows(const uint8_t* bgra, size_t bgraStride, const RowsTarget& t, uint32_t from, uint32_t to) {
  for (uint32_t y = from; y < to; ++y) {
    const uint8_t* src = bgra + y * bgraStride;
    BgraOverWhite(src, t.top + static_cast<ptrdiff_t>(y) * t.step, t.width);
  }
}

FrameEnd EndOf(VP8StatusCode status) {
  switch (status) {
    case VP8_STATUS_OK: return FrameEnd::kWhole;
    case VP8_STATUS_SUSPENDED:
    case VP8_STATUS_NOT_ENOUGH_DATA: return FrameEnd::kCut;
    case VP8_STATUS_OUT_OF_MEMORY: return FrameEnd::kNoMemory;
    default: return FrameEnd::kDamaged;
  }
}

// One run of libwebp's incremental decoder over the bytes, given `piece` bytes more at a time.
FrameResult Run(WebPDecoderConfig& config, const uint8_t* data, size_t size, size_t piece) {
  FrameResult result;
  WebPIDecoder* decoder = WebPIDecode(nullptr, 0, &config);
  if (!decoder) {
    result.end = FrameEnd::kNoMemory;
    return result;
  }
  VP8StatusCode status = VP8_STATUS_SUSPENDED;
  for (size_t given = 0; given < size && status == VP8_STATUS_SUSPENDED;) {
    given = size - given > piece ? given + piece : size;
    status = WebPIUpdate(decoder, data, given);
    int lastY = 0;
    if (WebPIDecGetRGB(decoder, &lastY, nullptr, nullptr, nullptr) && lastY > 0 &&
        static_cast<uint32_t>(lastY) > result.rows) {
      result.rows = static_cast<uint32_t>(lastY);
    }
  }
  result.end = EndOf(status);
  WebPIDelete(decoder);
  return result;
}

}  // namespace

FrameResult DecodeFrame(const uint8_t* data, size_t size, const RowsTarget& t) {
  FrameResult result;
  WebPDecoderConfig config;
  if (!WebPInitDecoderConfig(&config) || t.width == 0 || t.height == 0) return result;
  if (WebPGetFeatures(data, size, &config.input) != VP8_STATUS_OK) return result;
  const bool alpha = config.input.has_alpha != 0;
  config.options.use_threads = 1;  // lossy filtering beside the decoding
  if (t.width != static_cast<uint32_t>(config.input.width) || t.height != static_cast<uint32_t>(config.input.height)) {
    config.options.use_scaling = 1;
    config.options.scaled_width = static_cast<int>(t.width);
    config.options.scaled_height = static_cast<int>(t.height);
  }

  // Transparent rows go through a buffer of their own; the others straight into the target.
  const size_t bgraStride = size_t{t.width} * 4;
  uint8_t* bgra = nullptr;
  WebPRGBABuffer& out = config.output.u.RGBA;
  config.output.is_external_memory = 1;
  if (alpha) {
    bgra = static_cast<uint8_t*>(std::malloc(bgraStride * t.height));
    if (!bgra) {
      result.end = FrameEnd::kNoMemory;
      return result;
    }
    config.output.colorspace = MODE_BGRA;
    out.rgba = bgra;
    out.stride = static_cast<int>(bgraStride);
    out.size = bgraStride * t.height;
  } else {
    config.output.colorspace = MODE_BGR;
    out.rgba = t.top;
    out.stride = static_cast<int>(t.step);
    out.size = static_cast<size_t>(t.step < 0 ? -t.step : t.step) * (t.height - 1) + size_t{t.width} * 3;
  }

  // The bytes are all there: one update decodes as far as they go. libwebp's lossless decoder
  // tells the rows it made only when a piece ends without an error, so after an error the
  // bytes go again in pieces, and the rows of the last piece before the error count.
  result = Run(config, data, size, size);
  if (result.end == FrameEnd::kDamaged) {
    const FrameResult pieces = Run(config, data, size, size / 64 > 256 ? size / 64 : 256);
    if (pieces.rows > result.rows) result.rows = pieces.rows;
  }
  if (result.rows > t.height) result.rows = t.height;
  if (result.end == FrameEnd::kWhole && result.rows < t.height) result.end = FrameEnd::kDamaged;
  if (bgra) CompositeRows(bgra, bgraStride, t, 0, result.rows);
  std::free(bgra);
  return result;
}

}  // namespace lmx::webp
