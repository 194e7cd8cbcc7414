#include "pcx_reader.h"

#include <cstring>

#include "packed_dib.h"

namespace lmx::pcx {
namespace {

constexpr uint32_t kHeaderSize = 128;
constexpr uint8_t kManufacturer = 0x0A;
constexpr uint8_t kManufacturerPacked = 0xCD;  // lines carry no padding
constexpr uint8_t kDefaultPaletteVersion = 3;
constexpr uint32_t kPaletteTrailerSize = 769;  // marker byte 12 and 256 RGB entries
constexpr uint8_t kPaletteMarker = 12;
constexpr uint32_t kWorkSlackLines = 32;

constexpr uint8_t kDefaultPalette[16][3] = {
    {0, 0, 0},     {0, 0, 128},   {0, 128, 0},   {0, 128, 128}, {128, 0, 0},   {128, 0, 128},
    {128, 128, 0}, {128, 128, 128}, {192, 192, 192}, {0, 0, 255}, {0, 255, 0},   {0, 255, 255},
    {255, 0, 0},   {255, 0, 255}, {255, 255, 0}, {255, 255, 255},
};

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

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

// Zero-filled block of `size` bytes, capped so that absurd headers fail as a lack of memory.
uint8_t* AllocBlock(BlockHeap& heap, uint64_t size) {
  if (size > kMaxBlockBytes) return nullptr;
  return static_cast<uint8_t*>(heap.Alloc(size ? static_cast<size_t>(size) : 1));
}

void SetColor(uint8_t* table, uint32_t index, uint8_t red, uint8_t green, uint8_t blue) {
  uint8_t* q = table + 4 * index;
  q[0] = blue;
  q[1] = green;
  q[2] = red;
  q[3] = 0;
}

// The decoded plane lines, taken one after another; a line the data does not hold whole
// fails the decoder.
class LineReader {
 public:
  LineReader(const uint8_t* data, size_t size, int64_t skip) : data_(data), size_(size), skip_(skip) {}

  const uint8_t* Take(size_t used) {
    if (pos_ > size_ || size_ - pos_ < used) return nullptr;
    const uint8_t* line = data_ + pos_;
    // The next line starts bytes-per-line further on (or right behind a packed line); a
    // bytes-per-line below what a line needs makes lines overlap, never start before this one.
    pos_ += static_cast<uint64_t>(static_cast<int64_t>(used) + skip_);
    return line;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  uint64_t pos_ = 0;
  int64_t skip_;
};

// Expands the run-length data into `out`; false when it does not fit. A run byte at the very
// end of the data has nothing to repeat and ends the expansion.
bool ExpandRuns(const uint8_t* in, size_t inSize, uint8_t* out, size_t capacity, size_t* produced) {
  const uint8_t* end = in + inSize;
  uint8_t* o = out;
  uint8_t* const limit = out + capacity;
  while (in < end) {
    const uint8_t b = *in++;
    if (b < 0xC0) {
      if (o == limit) return false;
      *o++ = b;
      continue;
    }
    if (in == end) break;
    const uint8_t value = *in++;
    const size_t count = b & 0x3F;
    if (static_cast<size_t>(limit - o) < count) return false;
    std::memset(o, value, count);
    o += count;
  }
  *produced = static_cast<size_t>(o - out);
  return true;
}

struct Layout {
  uint32_t depth;
  uint32_t requiredPlanes;  // 0: any
  uint64_t workLine;        // bytes per line of the work block
};

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

// Lays the decoded plane lines out as DIB rows, top row of the picture last in memory.
bool LayOutRows(LineReader& lines, const Layout& layout, size_t used, uint8_t* pixels, uint64_t stride,
                uint32_t width, uint32_t height) {
  const uint32_t planeCount = layout.depth == 4 ? 4 : layout.depth == 24 ? 3 : 1;
  const uint8_t* planes[4] = {};
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t k = 0; k < planeCount; ++k) {
      planes[k] = lines.Take(used);
      if (!planes[k]) return false;
    }
    uint8_t* dst = pixels + (height - 1 - y) * stride;
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
  return true;
}

bool DecodePixels(const Header& h, bool packedLines, const uint8_t* data, size_t dataSize, uint8_t* pixels,
                  BlockHeap& heap, DecodeMessages& messages) {
  const uint32_t width = h.Width(), height = h.Height();
  const Layout layout = LayoutFor(h.Depth(), width);
  if (layout.requiredPlanes && h.planes != layout.requiredPlanes) {
    messages.Add(kMsgUnknownFormat, kFormWarning);
    return false;
  }
  // Bytes of one plane line that hold pixels.
  const size_t used = layout.depth == 8 || layout.depth == 24 ? width : (width + 7) / 8;
  const int64_t skip = packedLines ? 0 : int64_t{h.bytesPerLine} - static_cast<int64_t>(used);
  const uint64_t stride = DibStride(width, layout.depth);

  if (h.encoding == 0) {
    LineReader lines(data, dataSize, skip);
    return LayOutRows(lines, layout, used, pixels, stride, width, height);
  }
  const uint64_t workSize = (uint64_t{height} + kWorkSlackLines) * layout.workLine;
  uint8_t* work = AllocBlock(heap, workSize);
  if (!work) {
    messages.Add(kMsgNoMemory, kFormWarning);
    return false;
  }
  size_t produced = 0;
  bool ok = ExpandRuns(data, dataSize, work, static_cast<size_t>(workSize), &produced);
  if (ok) {
    LineReader lines(work, produced, skip);
    ok = LayOutRows(lines, layout, used, pixels, stride, width, height);
  }
  heap.Free(work);
  return ok;
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

}  // namespace

void* ReadPcxFile(ByteSource& file, BlockHeap& heap, DecodeMessages& messages, DecodeProgress* progress) {
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
    messages.Add(kTextReadFailed, kFormWarning);
    return nullptr;
  }
  const uint64_t dataSize = fileSize - kHeaderSize - trailer;
  uint8_t* data = AllocBlock(heap, dataSize);
  if (!data) {
    messages.Add(kMsgNoMemory);
    return nullptr;
  }
  if (!file.Seek(kHeaderSize) || !file.Read(data, static_cast<size_t>(dataSize), &got) || got < dataSize) {
    heap.Free(data);
    messages.Add(kTextReadFailed, kFormWarning);
    return nullptr;
  }
  if (depth != 1 && depth != 4 && depth != 8 && depth != 24) {
    heap.Free(data);
    messages.Add(kTextWrongColorFormat, kFormWarning);
    return nullptr;
  }

  const uint32_t width = h.Width(), height = h.Height();
  const uint32_t colors = depth == 24 ? 0 : 1u << depth;
  const uint64_t stride = DibStride(width, depth);
  const uint64_t tableBytes = uint64_t{colors} * 4;
  const uint64_t imageSize = stride * height;
  uint8_t* block = AllocBlock(heap, kInfoHeaderSize + tableBytes + imageSize);
  if (!block) {
    heap.Free(data);
    messages.Add(kMsgNoMemory);
    return nullptr;
  }
  if (progress) progress->Decoding();

  DibHeader dib{};
  dib.biSize = kInfoHeaderSize;
  dib.biWidth = static_cast<int32_t>(width);
  dib.biHeight = static_cast<int32_t>(height);
  dib.biPlanes = 1;
  dib.biBitCount = static_cast<uint16_t>(depth);
  dib.biSizeImage = static_cast<uint32_t>(imageSize);
  dib.biXPelsPerMeter = kDefaultPelsPerMeter;
  dib.biYPelsPerMeter = kDefaultPelsPerMeter;
  dib.biClrUsed = colors;
  dib.biClrImportant = colors;
  WriteDibHeader(block, dib);

  bool markerOk = true;
  FillColors(h, file, block + kInfoHeaderSize, depth, &markerOk);
  if (!markerOk) {
    heap.Free(data);
    heap.Free(block);
    messages.Add(kMsgColorTableId);
    return nullptr;
  }

  const bool decoded = DecodePixels(h, packedLines, data, static_cast<size_t>(dataSize),
                                    block + kInfoHeaderSize + tableBytes, heap, messages);
  heap.Free(data);
  if (!decoded) {
    heap.Free(block);
    messages.Add(kMsgDecodeFailed);
    return nullptr;
  }
  return block;
}

}  // namespace lmx::pcx
