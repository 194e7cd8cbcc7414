#include "plugins/webp/webp_canvas.h"

#include <webp/demux.h>

namespace lmx::webp {

FrameResult ComposeFirstFrame(const uint8_t* data, size_t size, const RowsTarget& canvas, bool* fileWhole) {
  FrameResult result;
  *fileWhole = false;
  const WebPData bytes = {data, size};
  WebPDemuxState state = WEBP_DEMUX_PARSE_ERROR;
  WebPDemuxer* demux = WebPDemuxPartial(&bytes, &state);
  if (!demux) return result;
  *fileWhole = state == WEBP_DEMUX_DONE;
  WebPIterator frame;
  if (WebPDemuxGetI(demux, WEBP_FF_CANVAS_WIDTH) != canvas.width ||
      WebPDemuxGetI(demux, WEBP_FF_CANVAS_HEIGHT) != canvas.height || !WebPDemuxGetFrame(demux, 1, &frame)) {
    if (state != WEBP_DEMUX_DONE) result.end = FrameEnd::kCut;
    WebPDemuxDelete(demux);
    return result;
  }
  // The demuxer keeps frames within the canvas; checked again all the same.
  const uint64_t right = uint64_t{static_cast<uint32_t>(frame.x_offset)} + static_cast<uint32_t>(frame.width);
  const uint64_t bottom = uint64_t{static_cast<uint32_t>(frame.y_offset)} + static_cast<uint32_t>(frame.height);
  if (frame.x_offset >= 0 && frame.y_offset >= 0 && frame.width > 0 && frame.height > 0 && right <= canvas.width &&
      bottom <= canvas.height) {
    const RowsTarget rect = {canvas.top + static_cast<ptrdiff_t>(frame.y_offset) * canvas.step + ptrdiff_t{frame.x_offset} * 3,
                             canvas.step, static_cast<uint32_t>(frame.width), static_cast<uint32_t>(frame.height)};
    result = DecodeFrame(frame.fragment.bytes, frame.fragment.size, rect);
    if (result.end == FrameEnd::kWhole && !frame.complete) result.end = FrameEnd::kCut;
  }
  WebPDemuxReleaseIterator(&frame);
  WebPDemuxDelete(demux);
  return result;
}

}  // namespace lmx::webp
