#include "plugins/gif/gif_reader.h"

#include <cstring>
#include <memory>
#include <new>

#include "plugins/common/bounded_reader.h"
#include "plugins/common/dib_block.h"
#include "plugins/common/dib_reduce.h"
#include "plugins/common/little_endian.h"
#include "plugins/common/packed_dib.h"

namespace lmx::gif {
namespace {

constexpr uint32_t kMaxCodes = 4096;
constexpr uint32_t kMaxCodeSize = 12;
constexpr uint32_t kNoCode = 0xFFFF;
constexpr size_t kReadChunk = 64 * 1024;

constexpr uint8_t kExtensionIntroducer = 0x21;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kTrailer = 0x3B;

// Fixed storage of one decode: the file's bytes in large reads, and the LZW tables.
struct Workspace {
  uint8_t chunk[kReadChunk];
  uint8_t subBlock[256];
  // The string of every code is its prefix's string followed by its suffix; its length is
  // kept so that a string can be written back to front straight into the output.
  uint16_t prefix[kMaxCodes];
  uint16_t length[kMaxCodes];
  uint8_t suffix[kMaxCodes];
};

class CanvasBands;

struct Canvas {
  uint8_t* block;
  uint8_t* pixels;  // null while the canvas is made smaller as its rows come (bands)
  uint32_t width, height, bits;
  uint64_t stride;
  CanvasBands* bands;

  DibHeader Header() const { return ReadDibHeader(block); }
  void SetImportant(uint32_t colors) {
    DibHeader h = Header();
    h.biClrImportant = colors;
    WriteDibHeader(block, h);
  }
  uint32_t Important() const { return Header().biClrImportant; }
};

// One row of one-byte pixels into the canvas's depth. Values are not masked to the depth.
void CopyRow(const uint8_t* src, uint8_t* dst, uint32_t len, uint32_t bits) {
  if (bits == 8) {
    std::memcpy(dst, src, len);
  } else if (bits == 4) {
    uint32_t x = 0;
    for (; x + 1 < len; x += 2) *dst++ = static_cast<uint8_t>(src[x] << 4 | src[x + 1]);
    if (x < len) *dst = static_cast<uint8_t>(src[x] << 4);
  } else {
    for (uint32_t x = 0; x < len; x += 8) {
      uint32_t byte = 0;
      const uint32_t n = len - x < 8 ? len - x : 8;
      for (uint32_t k = 0; k < n; ++k) byte |= uint32_t{src[x + k]} << (7 - k);
      *dst++ = static_cast<uint8_t>(byte);
    }
  }
}

// A canvas made smaller as its rows come, for a box: its block holds the header and colour
// table alone, and each canvas row (index 0 where the image does not cover it) is averaged
// into the reduced picture, so that the canvas is never held whole. The picture is the same
// as the whole canvas averaged.
class CanvasBands {
 public:
  CanvasBands(const Canvas& canvas, uint32_t factor) : canvas_(canvas), factor_(factor) {}

  // Starts the reduced picture with the colour table as it now stands. False when memory fails.
  bool Start(BlockHeap& heap) {
    if (out_.Made()) return true;
    const bool grey = HasGreyTable(canvas_.block);
    row_.reset(new (std::nothrow) uint8_t[static_cast<size_t>(canvas_.stride) + size_t{canvas_.width} * 3]);
    converter_.reset(new (std::nothrow) RowConverter(canvas_.block, grey));
    reducer_.reset(new (std::nothrow) BandReducer(canvas_.width, canvas_.height, factor_, grey));
    if (row_ && converter_ && reducer_) out_ = reducer_->Start(heap);
    return out_.Made();
  }

  // A row of the canvas's depth, all index 0, for canvas row `y` (from the top); the rows
  // above it that no image row covered go in first, as index 0.
  uint8_t* Row(uint32_t y) {
    BlankTo(y);
    std::memset(row_.get(), 0, static_cast<size_t>(canvas_.stride));
    return row_.get();
  }
  // Canvas row `y` as Row gave it, filled.
  void Add(uint32_t y) {
    reducer_->AddRow(y, converter_->Convert(row_.get(), row_.get() + canvas_.stride));
    next_ = y + 1;
  }
  // A failed image draws nothing: every pixel is index 0.
  void Blank() { blank_ = true; }

  // The reduced picture with every row in; the caller owns it.
  void* Finish() {
    BlankTo(canvas_.height);
    reducer_->Finish();
    if (blank_) {
      const uint8_t* colour = BlankPixels();
      const DibHeader h = ReadDibHeader(out_.block);
      const uint32_t channels = h.biBitCount / 8;
      for (int32_t y = 0; y < h.biHeight; ++y) {
        uint8_t* dst = out_.pixels + uint64_t(y) * out_.stride;
        for (int32_t x = 0; x < h.biWidth; ++x, dst += channels) std::memcpy(dst, colour, channels);
      }
    }
    return out_.block;
  }

 private:
  // A canvas row of index 0 as the reducer takes it.
  const uint8_t* BlankPixels() {
    std::memset(row_.get(), 0, static_cast<size_t>(canvas_.stride));
    return converter_->Convert(row_.get(), row_.get() + canvas_.stride);
  }
  void BlankTo(uint32_t y) {
    if (next_ >= y) return;
    const uint8_t* pixels = BlankPixels();
    for (; next_ < y; ++next_) reducer_->AddRow(next_, pixels);
  }

  const Canvas& canvas_;
  uint32_t factor_;
  uint32_t next_ = 0;  // the first canvas row not yet averaged
  bool blank_ = false;
  std::unique_ptr<uint8_t[]> row_;  // one canvas row, then the same converted
  std::unique_ptr<RowConverter> converter_;
  std::unique_ptr<BandReducer> reducer_;
  DibBlock out_;
};

// Puts the image's rows on the canvas as they are decoded, in the file's row order.
class RowPlacer {
 public:
  RowPlacer(const Canvas& canvas, uint32_t left, uint32_t top, uint32_t width, uint32_t height, bool interlaced)
      : canvas_(canvas), height_(height), interlaced_(interlaced) {
    // The image starts on a byte boundary of the canvas row, and is cut at the screen's edges.
    const uint32_t placedLeft = ((left * canvas.bits / 8) * 8) / canvas.bits;
    if (top < canvas.height && placedLeft < canvas.width) {
      visibleRows_ = height < canvas.height - top ? height : canvas.height - top;
      len_ = width < canvas.width - placedLeft ? width : canvas.width - placedLeft;
      top_ = top;
      leftByte_ = uint64_t{placedLeft} * canvas.bits / 8;
    }
  }

  // The next decoded row; rows past the image's height are dropped.
  void Put(const uint8_t* row) {
    if (delivered_ >= height_) return;
    ++delivered_;
    const uint32_t y = NextImageRow();
    if (y >= visibleRows_) return;
    if (canvas_.bands) {  // rows come in order: an interlaced image has the whole canvas
      CopyRow(row, canvas_.bands->Row(top_ + y) + leftByte_, len_, canvas_.bits);
      canvas_.bands->Add(top_ + y);
    } else {
      // Bottom-up: image row y lies in canvas row top + y counted from the top.
      CopyRow(row, canvas_.pixels + uint64_t{canvas_.height - 1 - top_ - y} * canvas_.stride + leftByte_, len_,
              canvas_.bits);
    }
    drawn_ = true;
  }

  // A failed image draws nothing: the canvas was all index 0 before it.
  void Undo() {
    if (!drawn_) return;
    if (canvas_.bands) {
      canvas_.bands->Blank();
    } else {
      std::memset(canvas_.pixels, 0, static_cast<size_t>(canvas_.stride * canvas_.height));
    }
  }

 private:
  // Interlaced rows come in four passes over the full height: rows 0, 8, 16, ...; then
  // 4, 12, ...; then 2, 6, ...; then 1, 3, 5, ...
  uint32_t NextImageRow() {
    if (!interlaced_) return row_++;
    static constexpr uint32_t kPassStart[4] = {0, 4, 2, 1};
    static constexpr uint32_t kPassStep[4] = {8, 8, 4, 2};
    while (row_ >= height_ && pass_ < 3) row_ = kPassStart[++pass_];
    const uint32_t y = row_;
    row_ += kPassStep[pass_];
    return y;
  }

  const Canvas& canvas_;
  uint64_t leftByte_ = 0;
  uint32_t top_ = 0, height_, visibleRows_ = 0, len_ = 0;
  uint32_t delivered_ = 0, row_ = 0, pass_ = 0;
  bool interlaced_, drawn_ = false;
};

uint32_t CanvasBits(uint32_t sizeField) {
  const uint32_t bitsPerEntry = sizeField + 1;
  return bitsPerEntry == 1 ? 1 : bitsPerEntry <= 4 ? 4 : 8;
}

// Reads `count` RGB entries over the canvas's colour table from entry 0 on.
void ReadColorTable(BoundedReader& in, uint8_t* table, uint32_t count) {
  uint8_t rgb[256 * 3] = {};
  in.Read(rgb, size_t{count} * 3);
  for (uint32_t i = 0; i < count; ++i) {
    table[4 * i] = rgb[3 * i + 2];
    table[4 * i + 1] = rgb[3 * i + 1];
    table[4 * i + 2] = rgb[3 * i];
    table[4 * i + 3] = 0;
  }
}

void SkipExtension(BoundedReader& in, Workspace& ws) {
  in.U8();  // the label
  for (;;) {
    const uint8_t length = in.U8();
    if (in.Ended() || length == 0 || in.Read(ws.subBlock, length) < length) return;
  }
}

template <class Rows>
class LzwDecoder {
 public:
  // `window` holds at least `width` + kMaxCodes bytes: the row being decoded and the longest
  // string that can run past its end.
  LzwDecoder(Workspace& ws, uint8_t* window, uint32_t width, uint32_t height, Rows& rows)
      : ws_(ws), window_(window), width_(width), limit_(uint64_t{width} * height), rows_(rows) {}

  // Decodes the image data (code size byte and sub-blocks), handing each full row to the
  // placer; pixels beyond the image are counted and dropped. True when the image decoded.
  bool Run(BoundedReader& in, DecodeMessages& messages) {
    const uint8_t codeSize = in.U8();
    // The roots of a 12-bit code size would fill the whole table.
    if (codeSize >= kMaxCodeSize) {
      messages.Add(kMsgLzw);
      return false;
    }
    Start(codeSize);
    bool failed = false, ended = false;
    while (!ended) {
      const uint8_t length = in.U8();
      if (in.Ended() || length == 0) break;
      const size_t got = in.Read(ws_.subBlock, length);
      if (got < length) messages.Add(kMsgReadLoop);
      if (failed) continue;  // the rest of the data is read and ignored
      const Outcome outcome = Feed(ws_.subBlock, got);
      if (outcome == kInvalid) {
        messages.Add(kMsgInvalidCode, badCode_);
        failed = true;
      }
      ended = outcome == kEnded;
    }
    if (!ended && (failed || produced_ != limit_)) {
      if (produced_ != limit_) messages.Add(kMsgLzw);
      return false;
    }
    // A last row the data left short ends in index 0.
    if (fill_ > 0) {
      std::memset(window_ + fill_, 0, width_ - fill_);
      rows_.Put(window_);
    }
    return true;
  }

 private:
  enum Outcome { kMore, kEnded, kInvalid };

  void Start(uint32_t codeSize) {
    minSize_ = codeSize;
    clear_ = 1u << codeSize;
    end_ = clear_ + 1;
    for (uint32_t i = 0; i < kMaxCodes; ++i) {
      ws_.prefix[i] = static_cast<uint16_t>(i);
      ws_.length[i] = 1;
      ws_.suffix[i] = i < clear_ ? static_cast<uint8_t>(i) : 0;
    }
    Reset();
  }

  void Reset() {
    size_ = minSize_ + 1;
    mask_ = (1u << size_) - 1;
    next_ = clear_ + 2;
    previous_ = kNoCode;
    // Entries of the last table lose their strings: a code the stream uses before it
    // defines it again reads as one byte, and chains stay shorter than the table.
    for (uint32_t i = next_; i < used_; ++i) {
      ws_.prefix[i] = static_cast<uint16_t>(i);
      ws_.length[i] = 1;
    }
    used_ = next_;
  }

  Outcome Feed(const uint8_t* data, size_t size) {
    for (size_t i = 0; i < size; ++i) {
      bits_ |= uint32_t{data[i]} << held_;
      held_ += 8;
      while (held_ >= size_) {
        const uint32_t code = bits_ & mask_;
        bits_ >>= size_;
        held_ -= size_;
        if (code == end_) return kEnded;
        if (code == clear_) {
          Reset();
          continue;
        }
        if (code > next_) {
          badCode_ = code;
          return kInvalid;
        }
        Decode(code);
      }
    }
    return kMore;
  }

  void Decode(uint32_t code) {
    uint8_t* dst = window_ + fill_;
    if (previous_ == kNoCode) {
      first_ = ws_.suffix[code];
      *dst = first_;
      Advance(1);
      previous_ = code;
      return;
    }
    // The code being defined is the previous string followed by its own first byte.
    const uint32_t walk = code == next_ ? previous_ : code;
    const uint32_t length = ws_.length[walk];
    uint8_t* w = dst + length - 1;
    uint32_t c = walk;
    for (uint32_t k = length; k > 1; --k) {
      *w-- = ws_.suffix[c];
      c = ws_.prefix[c];
    }
    *w = ws_.suffix[c];
    if (code == next_) dst[length] = first_;
    first_ = ws_.suffix[c];
    Advance(length + (code == next_ ? 1 : 0));

    if (next_ < kMaxCodes) {
      ws_.prefix[next_] = static_cast<uint16_t>(previous_);
      ws_.suffix[next_] = first_;
      ws_.length[next_] = static_cast<uint16_t>(ws_.length[previous_] + 1);
      ++next_;
      if (next_ > used_) used_ = next_;
      if (next_ == (1u << size_) && next_ < kMaxCodes) {
        ++size_;
        mask_ = (1u << size_) - 1;
      }
    }
    previous_ = code;
  }

  void Advance(uint32_t count) {
    produced_ += count;
    fill_ += count;
    if (fill_ < width_) return;
    uint32_t at = 0;
    for (; fill_ - at >= width_; at += width_) {
      if (width_ == 0) {  // no rows to fill: the pixels go nowhere
        fill_ = 0;
        return;
      }
      rows_.Put(window_ + at);
    }
    std::memmove(window_, window_ + at, fill_ - at);
    fill_ -= at;
  }

  Workspace& ws_;
  uint8_t* window_;
  uint32_t width_;
  uint64_t limit_;
  Rows& rows_;
  uint64_t produced_ = 0;
  uint32_t fill_ = 0;
  uint32_t minSize_ = 0, clear_ = 0, end_ = 0, next_ = 0, used_ = 0;
  uint32_t size_ = 0, mask_ = 0, previous_ = kNoCode;
  uint32_t bits_ = 0, held_ = 0, badCode_ = 0;
  uint8_t first_ = 0;
};

// An interlaced image comes in passes over its height: the canvas that was to be made smaller
// as its rows came is made whole, with its header and colour table, and averaged later.
bool MakeWhole(Canvas& canvas, BlockHeap& heap) {
  const DibHeader h = canvas.Header();
  const DibBlock whole = AllocDib(heap, {canvas.width, canvas.height, canvas.bits, h.biClrUsed});
  if (!whole.Made()) return false;
  std::memcpy(whole.table, canvas.block + kInfoHeaderSize, size_t{h.biClrUsed} * 4);
  heap.Free(canvas.block);
  const uint32_t important = h.biClrImportant;
  canvas.block = whole.block;
  canvas.pixels = whole.pixels;
  canvas.bands = nullptr;
  canvas.SetImportant(important);
  return true;
}

// Decodes the image whose descriptor follows and draws it on the canvas.
void DecodeImage(BoundedReader& in, Workspace& ws, Canvas& canvas, BlockHeap& heap, DecodeMessages& messages) {
  uint8_t d[9] = {};
  in.Read(d, sizeof d);
  const uint32_t left = Le16(d), top = Le16(d + 2), width = Le16(d + 4), height = Le16(d + 6);
  const uint8_t flags = d[8];

  if (flags & 0x80) {
    const uint32_t n = 2u << (flags & 7);
    if (n > (1u << canvas.bits)) {
      messages.Add(kMsgWrongColors);
      return;
    }
    canvas.SetImportant(n);
    ReadColorTable(in, canvas.block + kInfoHeaderSize, n);
  } else if (canvas.Important() == 0) {
    messages.Add(kMsgNoColorTable);
    return;
  }
  const bool interlaced = (flags & 0x40) != 0;
  if (canvas.bands && (interlaced ? !MakeWhole(canvas, heap) : !canvas.bands->Start(heap))) {
    messages.Add(kMsgNoMemory);
    return;
  }

  // Rows are decoded into a window of one row and the longest string, and drawn as they
  // complete, rather than into a buffer of the whole image.
  auto* window = static_cast<uint8_t*>(heap.Alloc(size_t{width} + kMaxCodes + 1));
  if (!window) {
    messages.Add(kMsgNoMemory);
    return;
  }
  RowPlacer rows(canvas, left, top, width, height, interlaced);
  LzwDecoder lzw(ws, window, width, height, rows);
  if (!lzw.Run(in, messages)) rows.Undo();
  heap.Free(window);
}

}  // namespace

namespace {

// The canvas whole, or with a box made smaller as its rows come (CanvasBands) when its first
// image is not interlaced.
void* Read(ByteSource& file, BlockHeap& heap, DecodeMessages& messages, const DecodeInput* box) {
  auto* ws = static_cast<Workspace*>(heap.Alloc(sizeof(Workspace)));
  if (!ws) {
    messages.Add(kMsgNoMemory);
    return nullptr;
  }
  BoundedReader in(file, ws->chunk, kReadChunk);

  uint8_t signature[6] = {};
  const size_t got = in.Read(signature, sizeof signature);
  if (got < 3 || std::memcmp(signature, "GIF", 3) != 0) {
    messages.Add(kMsgNotGif);
    heap.Free(ws);
    return nullptr;
  }
  if (std::memcmp(signature + 3, "87a", 3) != 0 && std::memcmp(signature + 3, "89a", 3) != 0) {
    messages.Add(kMsgUnknownVersion, signature[3] | signature[4] << 8 | uint32_t{signature[5]} << 16);
    heap.Free(ws);
    return nullptr;
  }

  uint8_t screen[7] = {};
  in.Read(screen, sizeof screen);
  Canvas canvas{};
  canvas.width = Le16(screen);
  canvas.height = Le16(screen + 2);
  const bool globalTable = (screen[4] & 0x80) != 0;
  const uint32_t sizeField = screen[4] & 7;
  canvas.bits = CanvasBits(sizeField);
  const uint32_t colors = 1u << canvas.bits;
  DibLayout layout;
  layout.width = canvas.width;
  layout.height = canvas.height;
  layout.bitCount = canvas.bits;
  layout.colors = colors;
  uint32_t factor = 1;
  const DibBlock dib = AllocPicture(heap, layout, box, &factor);
  if (!dib.Made()) {
    messages.Add(kMsgNoMemory);
    heap.Free(ws);
    return nullptr;
  }
  canvas.block = dib.block;
  canvas.pixels = dib.pixels;
  canvas.stride = dib.stride;
  std::unique_ptr<CanvasBands> bands;
  if (factor > 1) {  // the block holds the header and the colour table alone
    bands.reset(new (std::nothrow) CanvasBands(canvas, factor));
    if (!bands) {
      messages.Add(kMsgNoMemory);
      heap.Free(canvas.block);
      heap.Free(ws);
      return nullptr;
    }
    canvas.pixels = nullptr;
    canvas.bands = bands.get();
  }

  if (globalTable) {
    const uint32_t entries = 2u << sizeField;
    canvas.SetImportant(entries);
    ReadColorTable(in, canvas.block + kInfoHeaderSize, entries);
  }

  for (;;) {
    const uint8_t introducer = in.U8();
    if (in.Ended()) {
      messages.Add(kMsgPrematureEnd);
      break;
    }
    if (introducer == 0) continue;
    if (introducer == kExtensionIntroducer) {
      SkipExtension(in, *ws);
      continue;
    }
    if (introducer == kImageSeparator) DecodeImage(in, *ws, canvas, heap, messages);
    else if (introducer != kTrailer) messages.Add(kMsgInvalidPart);
    break;
  }
  heap.Free(ws);
  if (!canvas.bands) return canvas.block;
  if (!canvas.bands->Start(heap)) {
    if (messages.Empty() || messages[messages.Count() - 1] != kMsgNoMemory) messages.Add(kMsgNoMemory);
    heap.Free(canvas.block);
    return nullptr;
  }
  void* reduced = canvas.bands->Finish();
  heap.Free(canvas.block);
  return reduced;
}

}  // namespace

void* ReadGifFile(ByteSource& file, BlockHeap& heap, DecodeMessages& messages) {
  return Read(file, heap, messages, nullptr);
}

bool DecodeImageData(BoundedReader& in, uint32_t width, uint32_t height, ImageRows& rows, BlockHeap& heap,
                     DecodeMessages& messages) {
  auto* ws = static_cast<Workspace*>(heap.Alloc(sizeof(Workspace)));
  auto* window = static_cast<uint8_t*>(heap.Alloc(size_t{width} + kMaxCodes + 1));
  // Pixels past the image's last row are dropped.
  struct Counted {
    ImageRows& rows;
    uint32_t left;
    void Put(const uint8_t* row) {
      if (left == 0) return;
      --left;
      rows.Put(row);
    }
  } counted{rows, height};
  bool decoded = false;
  if (ws && window) {
    LzwDecoder lzw(*ws, window, width, height, counted);
    decoded = lzw.Run(in, messages);
  } else {
    messages.Add(kMsgNoMemory);
  }
  heap.Free(window);
  heap.Free(ws);
  return decoded;
}

void* ReadGif(const DecodeInput& in, BlockHeap& heap, DecodeMessages& messages, DecodeProgress*) {
  return Read(in.file, heap, messages, in.boxWidth ? &in : nullptr);
}

}  // namespace lmx::gif
