#include "plugins/pcx/pcx_reader.h"

#include <cstring>
#include <memory>
#include <new>

#include "plugins/common/bounded_reader.h"
#include "plugins/common/dib_block.h"
#include "plugins/common/dib_reduce.h"
#include "plugins/common/little_endian.h"
#include "plugins/common/packed_dib.h"

namespace lmx::pcx {
namespace {

constexpr uint32_t kHeaderSize = 128;
constexpr uint8_t kManufacturer = 0x0A;
constexpr uint8_t kManufacturerPacked = 0xCD;  // lines carry no padding
constexpr uint8_t kDefaultPaletteVersion = 3;
constexpr uint32_t kPaletteTrailerSize = 769;  // marker byte 12 and 256 RGB entries
constexpr uint8_t kPaletteMarker = 12;
constexpr uint32_t kWorkSlackLines = 32;
constexpr size_t kReadChunk = 64 * 1024;
constexpr uint64_t kTopBits = 0x8080808080808080u;  // of each byte of eight

constexpr uint8_t kDefaultPalette[16][3] = {
    {0, 0, 0},     {0, 0, 128},   {0, 128, 0},   {0, 128, 128}, {128, 0, 0},   {128, 0, 128},
    {128, 128, 0}, {128, 128, 128}, {192, 192, 192}, {0, 0, 255}, {0, 255, 0},   {0, 255, 255},
    {255, 0, 0},   {255, 0, 255}, {255, 255, 0}, {255, 255, 255},
};

struct Header {
  uint8_t manufacturer, version, encoding, bitsPerPlane, planes;
  uint16_t xmin, ymin, xmax, ymax, bytesPerLine;
  const uint8_t* palette;  // 16 RGB entries inside the raw header

  explicit Header(const uint8_t* raw)
      : manufacturer(raw[0]),
        version(raw[1]),
        encoding(raw[2]),
        bitsPerPlane(raw[3]),
        planes(raw[65]),
        xmin(Le16(raw + 4)),
        ymin(Le16(raw + 6)),
        xmax(Le16(raw + 8)),
        ymax(Le16(raw + 10)),
        bytesPerLine(Le16(raw + 66)),
        palette(raw + 16) {}

  uint32_t Depth() const { return uint32_t{planes} * bitsPerPlane; }
  uint32_t Width() const { return uint32_t{xmax} - xmin + 1; }
  uint32_t Height() const { return uint32_t{ymax} - ymin + 1; }
};

void SetColor(uint8_t* table, uint32_t index, uint8_t red, uint8_t green, uint8_t blue) {
  uint8_t* q = table + 4 * index;
  q[0] = blue;
  q[1] = green;
  q[2] = red;
  q[3] = 0;
}

// The pixel data as it is decoded, read from the file a large chunk at a time. Run-length
// data: a byte of 0xC0 or more repeats the next byte (its low six bits) times, any other
// byte stands for itself, and a run byte at the very end of the data has nothing to repeat.
// The whole expansion may hold at most `capacity` bytes (the work block of the format's
// rules, which is never made whole): beyond it the file fails. Plain data is taken as is.
class PixelStream {
 public:
  PixelStream(BoundedReader& in, bool runLength, uint64_t capacity)
      : in_(in), runLength_(runLength), capacity_(capacity) {}

  // The next `count` decoded bytes into `dst`; false when the data ends first or the
  // expansion outgrows its capacity.
  bool Take(uint8_t* dst, size_t count) { return Expand<true>(dst, count); }
  bool Skip(size_t count) { return Expand<false>(nullptr, count); }

  // Expands whatever is left; false when it outgrows the capacity.
  bool Finish() {
    if (!runLength_) return true;
    for (;;) {
      if (capacity_ - produced_ < pending_) return false;
      produced_ += pending_;
      pending_ = 0;
      uint8_t b, value;
      if (!Next(&b)) return true;
      if (b < 0xC0) {
        pending_ = 1;
      } else if (!Next(&value)) {
        return true;
      } else {
        pending_ = b & 0x3F;
      }
    }
  }

 private:
  bool Next(uint8_t* b) {
    *b = in_.U8();
    return !in_.Ended();
  }

  // `n` bytes of `value`: short runs, the most common, byte by byte.
  static void Fill(uint8_t* dst, uint8_t value, size_t n) {
    if (n < 16) {
      for (size_t i = 0; i < n; ++i) dst[i] = value;
    } else {
      std::memset(dst, value, n);
    }
  }

  // The literal bytes (below 0xC0) at the start of `p`, at most `room` of them, copied to
  // `dst` when storing, eight at a time while none of the eight is a run byte; their count.
  template <bool kStore>
  static size_t Literals(const uint8_t* p, size_t room, uint8_t* dst) {
    size_t n = 0;
    for (; n + 8 <= room; n += 8) {
      uint64_t eight;
      std::memcpy(&eight, p + n, 8);
      if (eight & (eight << 1) & kTopBits) break;  // a byte with both top bits set
      if (kStore) std::memcpy(dst + n, &eight, 8);
    }
    for (; n < room && p[n] < 0xC0; ++n) {
      if (kStore) dst[n] = p[n];
    }
    return n;
  }

  // Literal stretches are copied and runs filled straight from the reader's buffer, the
  // bounds checked once a stretch or a run; only a run byte whose value lies in the next
  // buffer goes byte by byte.
  template <bool kStore>
  bool Expand(uint8_t* dst, size_t count) {
    if (!runLength_) {
      if (kStore) return in_.Read(dst, count) == count;
      in_.Skip(count);
      return !in_.Ended();
    }
    if (capacity_ - produced_ < count) return false;
    produced_ += count;
    for (;;) {
      if (pending_ > 0) {
        const size_t n = pending_ < count ? pending_ : count;
        if (kStore) {
          Fill(dst, value_, n);
          dst += n;
        }
        pending_ -= n;
        count -= n;
      }
      if (count == 0) return true;
      const uint8_t* at = nullptr;
      const size_t available = in_.Available(&at);
      if (available == 0) return false;
      const uint8_t* p = at;
      const uint8_t* const last = at + available - 1;
      if constexpr (kStore) {
        // While the request has room for the longest run and the bytes at hand hold eight
        // more: eight literals at once, or one code without a branch on its kind, a short
        // run (or a literal) written as 16 bytes of which the next code overwrites the rest.
        while (count >= kFastRoom && last - p >= 8) {
          uint64_t eight;
          std::memcpy(&eight, p, 8);
          if (!(eight & (eight << 1) & kTopBits)) {
            std::memcpy(dst, &eight, 8);
            p += 8, dst += 8, count -= 8;
            continue;
          }
          const uint8_t b = p[0];
          const bool run = b >= 0xC0;
          const size_t n = run ? b & 0x3F : 1;
          const uint8_t value = run ? p[1] : b;
          p += run ? 2 : 1;
          if (n > 16) {
            std::memset(dst, value, n);
          } else {
            const uint64_t splat = value * 0x0101010101010101u;
            std::memcpy(dst, &splat, 8);
            std::memcpy(dst + 8, &splat, 8);
          }
          dst += n, count -= n;
        }
      }
      while (count > 0 && p <= last) {
        const size_t room = count < static_cast<size_t>(last + 1 - p) ? count : static_cast<size_t>(last + 1 - p);
        const size_t literals = Literals<kStore>(p, room, dst);
        p += literals;
        count -= literals;
        if (kStore) dst += literals;
        if (count == 0 || p >= last) break;  // done, or no run byte with its value at hand
        const size_t run = p[0] & 0x3F;
        const uint8_t value = p[1];
        p += 2;
        const size_t n = run < count ? run : count;
        if (kStore) {
          Fill(dst, value, n);
          dst += n;
        }
        count -= n;
        if (run > n) pending_ = run - n, value_ = value;
      }
      in_.Consume(static_cast<size_t>(p - at));
      if (count == 0) return true;
      if (p == last) {  // a run byte, its value in the next buffer
        const uint8_t b = *p;
        in_.Consume(1);
        if (!Next(&value_)) return false;
        pending_ = b & 0x3F;
      }
    }
  }

  static constexpr size_t kFastRoom = 64;  // a run of 63, or 16 bytes written for a short one

  BoundedReader& in_;
  bool runLength_;
  uint64_t capacity_;
  uint64_t produced_ = 0;
  size_t pending_ = 0;
  uint8_t value_ = 0;
};

struct Layout {
  uint32_t depth;
  uint32_t requiredPlanes;  // 0: any
  uint64_t workLine;        // bytes per line of the work block: its size bounds the expansion
};

uint32_t PlaneCount(const Layout& layout) { return layout.depth == 4 ? 4 : layout.depth == 24 ? 3 : 1; }

Layout LayoutFor(uint32_t depth, uint32_t width) {
  switch (depth) {
    case 1:
      return {1, 0, width / 8 + 8};
    case 4:
      return {4, 4, width / 2 + 8};
    case 8:
      return {8, 1, uint64_t{width} + 8};
    default:
      return {24, 3, 3 * (uint64_t{width} + 8)};
  }
}

void PutRow4(const uint8_t* const* planes, uint8_t* dst, uint32_t width) {
  for (uint32_t x = 0; x < width; ++x) {
    const uint32_t byte = x >> 3, shift = 7 - (x & 7);
    const uint8_t value = static_cast<uint8_t>(((planes[0][byte] >> shift) & 1) | ((planes[1][byte] >> shift) & 1) << 1 |
                                               ((planes[2][byte] >> shift) & 1) << 2 |
                                               ((planes[3][byte] >> shift) & 1) << 3);
    dst[x >> 1] |= (x & 1) ? value : static_cast<uint8_t>(value << 4);
  }
}

void PutRow24(const uint8_t* const* planes, uint8_t* dst, uint32_t width) {
  const uint8_t* red = planes[0];
  const uint8_t* green = planes[1];
  const uint8_t* blue = planes[2];
  for (uint32_t x = 0; x < width; ++x) {
    dst[0] = blue[x];
    dst[1] = green[x];
    dst[2] = red[x];
    dst += 3;
  }
}

void PutRow(const Layout& layout, const uint8_t* const* planes, size_t used, uint8_t* dst, uint32_t width) {
  switch (layout.depth) {
    case 1:
    case 8:
      std::memcpy(dst, planes[0], used);
      break;
    case 4:
      PutRow4(planes, dst, width);
      break;
    default:
      PutRow24(planes, dst, width);
      break;
  }
}

// Where laid-out rows go: into the picture's bottom-up rows, or one at a time through an
// averaging (a reduced decode), each first made as a picture row in `row`.
struct RowTarget {
  uint8_t* pixels = nullptr;
  uint64_t stride = 0;
  BandReducer* reducer = nullptr;
  const RowConverter* converter = nullptr;
  uint8_t* row = nullptr;
  uint8_t* converted = nullptr;

  uint8_t* RowFor(uint32_t y, uint32_t height) const {
    if (!reducer) return pixels + (height - 1 - y) * stride;
    std::memset(row, 0, static_cast<size_t>(stride));  // 4-bit rows are put together by OR
    return row;
  }
  void Done(uint32_t y) const {
    if (reducer) reducer->AddRow(y, converter->Convert(row, converted));
  }
};

// Lays out the rows as they are decoded. Plane line k of a row starts k x `step`
// bytes after the row's start (step: bytes per line, or the line's own length when lines are
// packed), so `window` holds one row's span: (planes - 1) x step + used bytes.
bool LayOutRows(PixelStream& stream, const Layout& layout, size_t used, size_t step, uint8_t* window,
                const RowTarget& target, uint32_t width, uint32_t height) {
  const uint32_t planeCount = PlaneCount(layout);
  // One plane whose lines do not overlap: each line is expanded straight into its row.
  if (planeCount == 1 && !target.reducer && step >= used) {
    for (uint32_t y = 0; y < height; ++y) {
      if (!stream.Take(target.RowFor(y, height), used)) return false;
      if (step > used && y + 1 < height && !stream.Skip(step - used)) return false;
    }
    return true;
  }
  const size_t span = (planeCount - 1) * step + used;
  const size_t advance = planeCount * step;
  size_t have = 0;  // bytes of the current row already in the window
  const uint8_t* planes[4] = {};
  for (uint32_t y = 0; y < height; ++y) {
    if (have < span && !stream.Take(window + have, span - have)) return false;
    have = span;
    for (uint32_t k = 0; k < planeCount; ++k) planes[k] = window + k * step;
    PutRow(layout, planes, used, target.RowFor(y, height), width);
    target.Done(y);
    if (advance >= have) {
      if (advance > have && y + 1 < height && !stream.Skip(advance - have)) return false;
      have = 0;
    } else {
      // Lines shorter than their pixels overlap the next row.
      std::memmove(window, window + advance, have - advance);
      have -= advance;
    }
  }
  return true;
}

enum class DecodeResult { kDone, kFailed, kReadFailed };

// Decodes the pixel data, which starts at offset 128 and holds `dataSize` bytes.
DecodeResult DecodePixels(const Header& h, bool packedLines, ByteSource& file, uint64_t dataSize,
                          const RowTarget& target, BlockHeap& heap, DecodeMessages& messages) {
  const uint32_t width = h.Width(), height = h.Height();
  const Layout layout = LayoutFor(h.Depth(), width);
  if (layout.requiredPlanes && h.planes != layout.requiredPlanes) {
    messages.Warn(kMsgUnknownFormat);
    return DecodeResult::kFailed;
  }
  // Bytes of one plane line that hold pixels; the next line starts bytes-per-line further
  // on, or right behind a packed line. A bytes-per-line below what a line needs makes lines
  // overlap.
  const size_t used = layout.depth == 8 || layout.depth == 24 ? width : (width + 7) / 8;
  const size_t step = packedLines ? used : h.bytesPerLine;

  const uint64_t windowSize = (PlaneCount(layout) - 1) * uint64_t{step} + used;
  uint8_t* work = kReadChunk + windowSize <= kMaxBlockBytes
                      ? static_cast<uint8_t*>(heap.Alloc(static_cast<size_t>(kReadChunk + windowSize)))
                       : nullptr;
  if (!work) {
    messages.Warn(kMsgNoMemory);
    return DecodeResult::kFailed;
  }
  bool ok = file.Seek(kHeaderSize);
  bool readFailed = false;
  if (ok) {
    BoundedReader in(file, work, kReadChunk, kHeaderSize + dataSize);
    PixelStream stream(in, h.encoding != 0, (uint64_t{height} + kWorkSlackLines) * layout.workLine);
    ok = LayOutRows(stream, layout, used, step, work + kReadChunk, target, width, height) &&
         stream.Finish() && !in.Failed();
    readFailed = in.Failed();
  }
  heap.Free(work);
  if (ok) return DecodeResult::kDone;
  return readFailed ? DecodeResult::kReadFailed : DecodeResult::kFailed;
}

void FillColors(const Header& h, ByteSource& file, uint8_t* table, uint32_t depth, bool* markerOk) {
  *markerOk = true;
  if (depth == 8) {
    uint8_t trailer[kPaletteTrailerSize] = {};
    size_t got = 0;
    file.Seek(file.Size() - kPaletteTrailerSize);
    if (!file.Read(trailer, 1, &got) || got < 1 || trailer[0] != kPaletteMarker) {
      *markerOk = false;
      return;
    }
    file.Read(trailer + 1, kPaletteTrailerSize - 1, &got);
    for (uint32_t i = 0; i < 256; ++i) {
      const uint8_t* rgb = trailer + 1 + 3 * i;
      SetColor(table, i, rgb[0], rgb[1], rgb[2]);
    }
  } else if (depth == 1 || depth == 4) {
    const uint32_t n = 1u << depth;
    for (uint32_t i = 0; i < n; ++i) {
      const uint8_t* rgb = h.palette + 3 * i;
      SetColor(table, i, rgb[0], rgb[1], rgb[2]);
    }
    // Many monochrome files leave the header palette empty.
    if (depth == 1 && std::memcmp(h.palette, h.palette + 3, 3) == 0) {
      SetColor(table, 0, 0, 0, 0);
      SetColor(table, 1, 255, 255, 255);
    }
  }
  if (h.version == kDefaultPaletteVersion && depth != 24) {
    const uint32_t n = depth < 4 ? 1u << depth : 16;
    for (uint32_t i = 0; i < n; ++i) {
      SetColor(table, i, kDefaultPalette[i][0], kDefaultPalette[i][1], kDefaultPalette[i][2]);
    }
  }
}

// The picture whole, or with a box averaged row by row into the reduced picture (the block
// then holds the header and table alone while the rows are read).
void* Read(ByteSource& file, BlockHeap& heap, DecodeMessages& messages, DecodeProgress* progress,
           const DecodeInput* box) {
  uint8_t raw[kHeaderSize];
  size_t got = 0;
  if (!file.Read(raw, sizeof raw, &got) || got < sizeof raw) {
    messages.Add(kMsgCantRead);
    return nullptr;
  }
  const Header h(raw);
  const bool packedLines = h.manufacturer == kManufacturerPacked;
  // A picture whose far corner lies before its near one has no size to show.
  if ((h.manufacturer != kManufacturer && !packedLines) || h.xmax < h.xmin || h.ymax < h.ymin) {
    messages.Add(kMsgNotPcx);
    return nullptr;
  }

  const uint32_t depth = h.Depth();
  const uint64_t fileSize = file.Size();
  const uint64_t trailer = depth == 8 ? kPaletteTrailerSize : 0;
  // Too short to hold its palette: the pixel data cannot be read whole either.
  if (fileSize < kHeaderSize + trailer) {
    messages.Warn(kMsgReadFailed);
    return nullptr;
  }
  // The pixel data is read as it is decoded, in large chunks, rather than into a block of
  // its own first; a file that gives fewer bytes than it holds is still told as a read error.
  const uint64_t dataSize = fileSize - kHeaderSize - trailer;
  if (depth != 1 && depth != 4 && depth != 8 && depth != 24) {
    messages.Warn(kMsgWrongColorFormat);
    return nullptr;
  }

  const uint32_t width = h.Width(), height = h.Height();
  const uint32_t colors = depth == 24 ? 0 : 1u << depth;
  uint32_t factor = 1;
  const DibBlock dib = AllocPicture(heap, {width, height, depth, colors}, box, &factor);
  if (!dib.Made()) {
    messages.Add(kMsgNoMemory);
    return nullptr;
  }
  uint8_t* block = dib.block;
  if (progress) progress->Decoding();

  DibHeader header = ReadDibHeader(block);
  header.biClrImportant = colors;
  WriteDibHeader(block, header);

  bool markerOk = true;
  FillColors(h, file, block + kInfoHeaderSize, depth, &markerOk);
  if (!markerOk) {
    heap.Free(block);
    messages.Add(kMsgColorTableId);
    return nullptr;
  }

  RowTarget target;
  target.pixels = dib.pixels;
  target.stride = DibStride(width, depth);
  std::unique_ptr<BandReducer> reducer;
  std::unique_ptr<RowConverter> converter;
  std::unique_ptr<uint8_t[]> rows;
  DibBlock reduced;
  if (factor > 1) {  // the block holds the header and the colour table alone
    const bool grey = HasGreyTable(block);
    reducer.reset(new (std::nothrow) BandReducer(width, height, factor, grey));
    converter.reset(new (std::nothrow) RowConverter(block, grey));
    rows.reset(new (std::nothrow) uint8_t[static_cast<size_t>(target.stride) + size_t{width} * 3]);
    if (reducer) reduced = reducer->Start(heap);
    if (!reducer || !converter || !rows || !reduced.Made()) {
      if (reduced.block) heap.Free(reduced.block);
      heap.Free(block);
      messages.Add(kMsgNoMemory);
      return nullptr;
    }
    target.reducer = reducer.get();
    target.converter = converter.get();
    target.row = rows.get();
    target.converted = rows.get() + target.stride;
  }
  const DecodeResult result = DecodePixels(h, packedLines, file, dataSize, target, heap, messages);
  if (result == DecodeResult::kDone && reducer) {
    reducer->Finish();
    heap.Free(block);
    return reduced.block;
  }
  if (result == DecodeResult::kDone) return block;
  if (reduced.block) heap.Free(reduced.block);
  heap.Free(block);
  if (result == DecodeResult::kReadFailed) {
    messages.Warn(kMsgReadFailed);
  } else {
    messages.Add(kMsgDecodeFailed);
  }
  return nullptr;
}

}  // namespace

void* ReadPcxFile(ByteSource& file, BlockHeap& heap, DecodeMessages& messages, DecodeProgress* progress) {
  return Read(file, heap, messages, progress, nullptr);
}

void* ReadPcx(const DecodeInput& in, BlockHeap& heap, DecodeMessages& messages, DecodeProgress* progress) {
  return Read(in.file, heap, messages, progress, in.boxWidth ? &in : nullptr);
}

}  // namespace lmx::pcx
