#include "plugins/gif/gif_frames.h"

#include <cstring>
#include <new>

#include "plugins/common/bounded_reader.h"
#include "plugins/common/dib_block.h"
#include "plugins/common/little_endian.h"
#include "plugins/gif/gif_reader.h"

namespace lmx::gif {
namespace {

constexpr size_t kChunk = 64 * 1024;
constexpr uint8_t kExtension = 0x21, kImage = 0x2C, kTrailer = 0x3B;
constexpr uint8_t kControlLabel = 0xF9, kApplicationLabel = 0xFF;
constexpr int kNoTransparency = -1;

enum Disposal : uint32_t { kKeep, kClear, kRestore };

// Disposal methods 2 clears; 3, and 4 which some writers mean by it, restore; the rest keep.
Disposal DisposalOf(uint32_t method) { return method == 2 ? kClear : method == 3 || method == 4 ? kRestore : kKeep; }

void SkipSubBlocks(BoundedReader& in) {
  for (;;) {
    const uint8_t length = in.U8();
    if (in.Ended() || length == 0) return;
    in.Skip(length);
  }
}

// The NETSCAPE2.0 or ANIMEXTS1.0 extension's loop count, after its label byte; -1 when the
// extension is another or has none.
int32_t ReadLoopExtension(BoundedReader& in) {
  uint8_t block[256];
  const uint8_t length = in.U8();
  in.Read(block, length);
  int32_t loops = -1;
  const bool looping = length == 11 && (std::memcmp(block, "NETSCAPE2.0", 11) == 0 ||
                                        std::memcmp(block, "ANIMEXTS1.0", 11) == 0);
  for (;;) {
    const uint8_t size = in.U8();
    if (in.Ended() || size == 0) return loops;
    in.Read(block, size);
    if (looping && size >= 3 && block[0] == 1) loops = Le16(block + 1);
  }
}

struct Rect {
  uint32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  uint32_t Width() const { return x1 - x0; }
  uint32_t Height() const { return y1 - y0; }
};

// Rows of an interlaced image come in four passes: rows 0, 8, 16, ...; 4, 12, ...; 2, 6, ...;
// then 1, 3, 5, ...
class RowOrder {
 public:
  RowOrder(uint32_t height, bool interlaced) : height_(height), interlaced_(interlaced) {}
  uint32_t Next() {
    if (!interlaced_) return row_++;
    static constexpr uint32_t kStart[4] = {0, 4, 2, 1};
    static constexpr uint32_t kStep[4] = {8, 8, 4, 2};
    while (row_ >= height_ && pass_ < 3) row_ = kStart[++pass_];
    const uint32_t y = row_;
    row_ += kStep[pass_];
    return y;
  }

 private:
  uint32_t height_, row_ = 0, pass_ = 0;
  bool interlaced_;
};

class GifFrameReader final : public FrameReader {
 public:
  GifFrameReader(ByteSource& file, BlockHeap& heap, uint8_t* chunk) : heap_(heap), chunk_(chunk), in_(file, chunk, kChunk) {}
  ~GifFrameReader() override {
    heap_.Free(saved_);
    heap_.Free(canvas_);
    heap_.Free(chunk_);
  }

  bool Open(AnimationFacts* facts);
  void* Next(BlockHeap& heap, uint32_t* delayMs, FrameStatus* status) override;

 private:
  class Painter;

  FrameStatus Draw(uint32_t* delayMs);
  uint8_t* CanvasRow(uint32_t y) const { return canvas_ + uint64_t{height_ - 1 - y} * stride_; }
  void Dispose();
  bool SaveArea(const Rect& area);

  BlockHeap& heap_;
  uint8_t* chunk_;
  BoundedReader in_;
  uint64_t framesStart_ = 0;
  uint32_t width_ = 0, height_ = 0;
  uint64_t stride_ = 0;
  uint8_t* canvas_ = nullptr;  // 24-bit rows, bottom-up, as the frames' pixel area
  uint8_t* saved_ = nullptr;   // what the last frame covered, for its restoring disposal
  uint8_t global_[256 * 3] = {};  // blue, green, red
  bool hasGlobal_ = false;
  Disposal pending_ = kKeep;
  Rect pendingArea_;
  bool ended_ = false;
};

// Draws an image's rows on the canvas: the visible part of each, its transparent index left out.
class GifFrameReader::Painter final : public ImageRows {
 public:
  Painter(GifFrameReader& reader, const Rect& area, const uint8_t* table, int transparent, uint32_t height,
          bool interlaced)
      : reader_(reader), area_(area), table_(table), transparent_(transparent), order_(height, interlaced) {}

  void Put(const uint8_t* row) override {
    const uint32_t y = area_.y0 + order_.Next();
    if (y >= area_.y1) return;
    uint8_t* dst = reader_.CanvasRow(y) + uint64_t{area_.x0} * 3;
    const uint32_t n = area_.Width();
    for (uint32_t x = 0; x < n; ++x, dst += 3) {
      const uint32_t index = row[x];
      if (static_cast<int>(index) == transparent_) continue;
      const uint8_t* c = table_ + index * 3;
      dst[0] = c[0];
      dst[1] = c[1];
      dst[2] = c[2];
    }
  }

 private:
  GifFrameReader& reader_;
  Rect area_;
  const uint8_t* table_;
  int transparent_;
  RowOrder order_;
};

void ReadTable(BoundedReader& in, uint8_t* table, uint32_t entries) {
  uint8_t rgb[256 * 3];
  in.Read(rgb, size_t{entries} * 3);
  std::memset(table, 0, 256 * 3);
  for (uint32_t i = 0; i < entries; ++i) {
    table[3 * i] = rgb[3 * i + 2];
    table[3 * i + 1] = rgb[3 * i + 1];
    table[3 * i + 2] = rgb[3 * i];
  }
}

bool GifFrameReader::Open(AnimationFacts* facts) {
  uint8_t header[13] = {};
  if (in_.Read(header, sizeof header) < sizeof header || std::memcmp(header, "GIF", 3) != 0) return false;
  if (std::memcmp(header + 3, "87a", 3) != 0 && std::memcmp(header + 3, "89a", 3) != 0) return false;
  width_ = Le16(header + 6);
  height_ = Le16(header + 8);
  const DibLayout layout{width_, height_, 24, 0, 0, 0};
  if (width_ == 0 || height_ == 0 || !DibFits(layout)) return false;
  if (header[10] & 0x80) {
    hasGlobal_ = true;
    ReadTable(in_, global_, 2u << (header[10] & 7));
  }
  framesStart_ = in_.Position();

  // The frames are counted, and the loop count found, before the first is drawn.
  uint32_t frames = 0;
  int32_t loops = -1;
  for (bool more = true; more;) {
    const uint8_t introducer = in_.U8();
    if (in_.Ended()) break;
    switch (introducer) {
      case 0: break;
      case kExtension:
        if (in_.U8() == kApplicationLabel) {
          const int32_t found = ReadLoopExtension(in_);
          if (found >= 0) loops = found;
        } else {
          SkipSubBlocks(in_);
        }
        break;
      case kImage: {
        uint8_t d[9] = {};
        in_.Read(d, sizeof d);
        if (d[8] & 0x80) in_.Skip(3u << ((d[8] & 7) + 1));
        in_.U8();  // the code size
        SkipSubBlocks(in_);
        if (!in_.Ended()) ++frames;
        break;
      }
      default: more = false;
    }
  }
  if (!in_.Seek(framesStart_)) return false;

  stride_ = (uint64_t{width_} * 3 + 3) / 4 * 4;
  canvas_ = static_cast<uint8_t*>(heap_.Alloc(static_cast<size_t>(stride_ * height_)));
  if (!canvas_) return false;
  std::memset(canvas_, 0xFF, static_cast<size_t>(stride_ * height_));
  facts->width = width_;
  facts->height = height_;
  facts->frames = frames;
  // Without the extension the animation runs once; with it, once and then as often again as it says.
  facts->plays = loops < 0 ? 1 : loops == 0 ? 0 : static_cast<uint32_t>(loops) + 1;
  return true;
}

void GifFrameReader::Dispose() {
  const Rect a = pendingArea_;
  if (pending_ == kClear) {
    for (uint32_t y = a.y0; y < a.y1; ++y) std::memset(CanvasRow(y) + uint64_t{a.x0} * 3, 0xFF, size_t{a.Width()} * 3);
  } else if (pending_ == kRestore && saved_) {
    const size_t rowBytes = size_t{a.Width()} * 3;
    for (uint32_t y = a.y0; y < a.y1; ++y) {
      std::memcpy(CanvasRow(y) + uint64_t{a.x0} * 3, saved_ + (y - a.y0) * rowBytes, rowBytes);
    }
  }
  heap_.Free(saved_);
  saved_ = nullptr;
  pending_ = kKeep;
}

bool GifFrameReader::SaveArea(const Rect& a) {
  const size_t rowBytes = size_t{a.Width()} * 3;
  if (rowBytes == 0 || a.Height() == 0) return true;
  saved_ = static_cast<uint8_t*>(heap_.Alloc(rowBytes * a.Height()));
  if (!saved_) return false;
  for (uint32_t y = a.y0; y < a.y1; ++y) {
    std::memcpy(saved_ + (y - a.y0) * rowBytes, CanvasRow(y) + uint64_t{a.x0} * 3, rowBytes);
  }
  return true;
}

FrameStatus GifFrameReader::Draw(uint32_t* delayMs) {
  Dispose();
  uint32_t method = 0, delay = 0;
  int transparent = kNoTransparency;
  for (;;) {
    const uint8_t introducer = in_.U8();
    // A file that ends between blocks ends its animation, as one without its trailer does.
    if (in_.Ended()) return kFrameEnd;
    if (introducer == 0) continue;
    if (introducer == kTrailer) return kFrameEnd;
    if (introducer == kImage) break;
    // A byte that starts no block ends the file, as browsers take it.
    if (introducer != kExtension) return kFrameEnd;
    if (in_.U8() != kControlLabel) {
      SkipSubBlocks(in_);
      continue;
    }
    uint8_t control[256] = {};
    const uint8_t length = in_.U8();
    in_.Read(control, length);
    if (length >= 4) {
      method = (control[0] >> 2) & 7;
      delay = Le16(control + 1);
      transparent = control[0] & 1 ? control[3] : kNoTransparency;
    }
    SkipSubBlocks(in_);
  }

  uint8_t d[9] = {};
  in_.Read(d, sizeof d);
  const uint32_t left = Le16(d), top = Le16(d + 2), w = Le16(d + 4), h = Le16(d + 6);
  uint8_t local[256 * 3];
  const uint8_t* table = global_;
  if (d[8] & 0x80) {
    ReadTable(in_, local, 2u << (d[8] & 7));
    table = local;
  } else if (!hasGlobal_) {
    return kFrameDamaged;  // no colours to draw with
  }
  if (in_.Ended()) return kFrameDamaged;

  // The frame's place, cut at the screen's edges.
  Rect area;
  if (left < width_ && top < height_) {
    area = {left, top, w < width_ - left ? left + w : width_, h < height_ - top ? top + h : height_};
  }
  const Disposal disposal = DisposalOf(method);
  if (disposal == kRestore && !SaveArea(area)) return kFrameNoMemory;

  DecodeMessages messages;
  Painter painter(*this, area, table, transparent, h, (d[8] & 0x40) != 0);
  if (!DecodeImageData(in_, w, h, painter, heap_, messages) || in_.Failed()) {
    return heap_.OutOfMemory() ? kFrameNoMemory : kFrameDamaged;
  }
  pending_ = disposal;
  pendingArea_ = area;
  *delayMs = PlayedDelay(delay * 10);
  return kFrameShown;
}

void* GifFrameReader::Next(BlockHeap& heap, uint32_t* delayMs, FrameStatus* status) {
  *status = ended_ ? kFrameEnd : Draw(delayMs);
  if (*status != kFrameShown) {
    ended_ = true;
    return nullptr;
  }
  const DibBlock frame = AllocDib(heap, {width_, height_, 24, 0, 0, 0});
  if (!frame.Made()) {
    *status = kFrameNoMemory;
    ended_ = true;
    return nullptr;
  }
  std::memcpy(frame.pixels, canvas_, static_cast<size_t>(stride_ * height_));
  return frame.block;
}

}  // namespace

FrameReader* OpenGifFrames(ByteSource& file, BlockHeap& heap, AnimationFacts* facts) {
  auto* chunk = static_cast<uint8_t*>(heap.Alloc(kChunk));
  if (!chunk) return nullptr;
  auto* reader = new (std::nothrow) GifFrameReader(file, heap, chunk);
  if (!reader) {
    heap.Free(chunk);
    return nullptr;
  }
  if (!reader->Open(facts)) {
    delete reader;
    return nullptr;
  }
  return reader;
}

}  // namespace lmx::gif
