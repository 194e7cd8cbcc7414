#include "plugins/webp/webp_frames.h"

#include <cstring>
#include <new>

#include <webp/decode.h>
#include <webp/demux.h>

#include "plugins/common/dib_block.h"
#include "plugins/common/little_endian.h"
#include "plugins/common/over_white.h"
#include "plugins/webp/webp_frame.h"

namespace lmx::webp {
namespace {

constexpr size_t kRiffHeader = 12, kChunkHeader = 8;

// The file's bytes up to the end of its last whole ANMF chunk when a chunk runs past the bytes
// there (the file was cut short), with the RIFF size made to match: libwebp's animation decoder
// takes only whole files. `size` is left alone, and false returned, for a file not cut.
bool CutToWholeFrames(uint8_t* data, size_t* size) {
  const uint64_t riffEnd = uint64_t{Le32(data + 4)} + kChunkHeader;
  const uint64_t end = riffEnd < *size ? riffEnd : *size;
  uint64_t pos = kRiffHeader, wholeFrames = 0;
  while (pos + kChunkHeader <= end) {
    const uint64_t payload = Le32(data + pos + 4);
    if (pos + kChunkHeader + payload > end) break;
    const bool frame = std::memcmp(data + pos, "ANMF", 4) == 0;
    pos += kChunkHeader + payload + (payload & 1);
    if (frame) wholeFrames = pos < end ? pos : end;
  }
  if (pos >= end && riffEnd <= *size) return false;
  *size = static_cast<size_t>(wholeFrames);
  if (wholeFrames == 0) return true;
  const uint32_t riffSize = static_cast<uint32_t>(wholeFrames - kChunkHeader);
  std::memcpy(data + 4, &riffSize, 4);  // little-endian, as every target is
  return true;
}

class WebpFrameReader final : public FrameReader {
 public:
  WebpFrameReader(BlockHeap& heap, uint8_t* bytes) : heap_(heap), bytes_(bytes) {}
  ~WebpFrameReader() override {
    WebPAnimDecoderDelete(decoder_);
    heap_.Free(bytes_);
  }

  bool Open(size_t size, AnimationFacts* facts);
  void* Next(BlockHeap& heap, uint32_t* delayMs, FrameStatus* status) override;

 private:
  FrameStatus Compose(BlockHeap& heap, void** frame, int* timestamp);

  BlockHeap& heap_;
  uint8_t* bytes_;  // the file, which the decoder reads from while it lives
  WebPAnimDecoder* decoder_ = nullptr;
  uint32_t width_ = 0, height_ = 0;
  int shownUntil_ = 0;  // the last frame's timestamp: when it ends, in ms from the start
  bool cut_ = false, ended_ = false;
};

bool WebpFrameReader::Open(size_t size, AnimationFacts* facts) {
  WebPBitstreamFeatures features;
  if (size < kRiffHeader || std::memcmp(bytes_, "RIFF", 4) != 0 || std::memcmp(bytes_ + 8, "WEBP", 4) != 0 ||
      WebPGetFeatures(bytes_, size, &features) != VP8_STATUS_OK || !features.has_animation) {
    return false;
  }
  // The decoder's canvas (and the one it keeps of the frame before) are checked against the
  // block cap as the frames handed over are, before libwebp allocates them.
  width_ = static_cast<uint32_t>(features.width);
  height_ = static_cast<uint32_t>(features.height);
  if (width_ == 0 || height_ == 0 || !DibFits({width_, height_, 32, 0, 0, 0})) return false;
  cut_ = CutToWholeFrames(bytes_, &size);
  WebPAnimDecoderOptions options;
  if (!WebPAnimDecoderOptionsInit(&options)) return false;
  options.color_mode = MODE_BGRA;
  options.use_threads = 1;
  const WebPData data = {bytes_, size};
  decoder_ = WebPAnimDecoderNew(&data, &options);
  WebPAnimInfo info;
  if (!decoder_ || !WebPAnimDecoderGetInfo(decoder_, &info) || info.frame_count == 0) return false;
  facts->width = width_;
  facts->height = height_;
  facts->frames = info.frame_count;
  facts->plays = info.loop_count;
  return true;
}

FrameStatus WebpFrameReader::Compose(BlockHeap& heap, void** frame, int* timestamp) {
  if (!WebPAnimDecoderHasMoreFrames(decoder_)) return cut_ ? kFrameDamaged : kFrameEnd;
  uint8_t* canvas = nullptr;
  if (!WebPAnimDecoderGetNext(decoder_, &canvas, timestamp)) return kFrameDamaged;
  const DibBlock dib = AllocDib(heap, {width_, height_, 24, 0, 0, 0});
  if (!dib.Made()) return kFrameNoMemory;
  // The canvas's rows, top first, into the DIB's, bottom first, over white.
  const size_t canvasStride = size_t{width_} * 4;
  for (uint32_t y = 0; y < height_; ++y) {
    const uint8_t* src = canvas + y * canvasStride;
    BgraOverWhite(src, dib.pixels + uint64_t{height_ - 1 - y} * dib.stride, width_);
  }
  *frame = dib.block;
  return kFrameShown;
}

void* WebpFrameReader::Next(BlockHeap& heap, uint32_t* delayMs, FrameStatus* status) {
  void* frame = nullptr;
  int timestamp = 0;
  *status = ended_ ? kFrameEnd : Compose(heap, &frame, &timestamp);
  if (*status != kFrameShown) {
    ended_ = true;
    return nullptr;
  }
  // libwebp's timestamps add up the durations: the frame's own is the difference.
  *delayMs = PlayedDelay(static_cast<uint32_t>(timestamp) - static_cast<uint32_t>(shownUntil_));
  shownUntil_ = timestamp;
  return frame;
}

}  // namespace

FrameReader* OpenWebpFrames(ByteSource& file, BlockHeap& heap, AnimationFacts* facts) {
  // Only a file whose VP8X chunk has the animation flag is read whole.
  uint8_t head[kRiffHeader + kChunkHeader + 1] = {};
  size_t got = 0;
  if (!file.Seek(0) || !file.Read(head, sizeof head, &got) || got < sizeof head ||
      std::memcmp(head + kRiffHeader, "VP8X", 4) != 0 || !(head[kRiffHeader + kChunkHeader] & ANIMATION_FLAG)) {
    return nullptr;
  }
  const uint64_t size = file.Size() < kMaxBlockBytes ? file.Size() : kMaxBlockBytes;
  auto* bytes = static_cast<uint8_t*>(heap.Alloc(static_cast<size_t>(size)));
  if (!bytes) return nullptr;
  auto* reader = new (std::nothrow) WebpFrameReader(heap, bytes);
  if (!reader) {
    heap.Free(bytes);
    return nullptr;
  }
  if (!file.Seek(0) || !file.Read(bytes, static_cast<size_t>(size), &got) || !reader->Open(got, facts)) {
    delete reader;
    return nullptr;
  }
  return reader;
}

}  // namespace lmx::webp
