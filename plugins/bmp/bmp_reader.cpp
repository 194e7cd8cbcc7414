#include "plugins/bmp/bmp_reader.h"

#include <cstring>
#include <memory>
#include <new>

#include "plugins/common/bounded_reader.h"
#include "plugins/common/dib_block.h"
#include "plugins/common/dib_reduce.h"
#include "plugins/common/little_endian.h"
#include "plugins/common/packed_dib.h"

namespace lmx::bmp {
namespace {

constexpr uint16_t kBitmapSignature = 0x4D42;  // "BM"
constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr size_t kReadBuffer = 4096;

struct HeaderBlock {
  void* block = nullptr;
  size_t blockSize = 0;
  size_t pixelOffset = 0;  // 40 + colour masks + 4 x colour count
};

// An OS/2 core header becomes an equivalent 40-byte header.
DibHeader FromCoreHeader(const uint8_t* core) {
  DibHeader h{};
  h.biSize = kInfoHeaderSize;
  h.biWidth = Le16(core + 4);
  h.biHeight = Le16(core + 6);
  h.biPlanes = Le16(core + 8);
  h.biBitCount = Le16(core + 10);
  h.biXPelsPerMeter = kDefaultPelsPerMeter;
  h.biYPelsPerMeter = kDefaultPelsPerMeter;
  return h;
}

bool IsBitmapBitCount(uint16_t bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// The colour masks, the colour table and the pixel area as the header describes them.
DibLayout BlockLayout(const DibHeader& h, uint32_t colors, uint64_t pixelBytes) {
  DibLayout layout;
  layout.width = static_cast<uint32_t>(h.biWidth);
  layout.height = static_cast<uint32_t>(h.biHeight);
  layout.bitCount = h.biBitCount;
  layout.colors = colors;
  layout.maskBytes = DibMaskBytes(h);
  layout.pixelBytes = pixelBytes;
  return layout;
}

// With `headOnly` the block holds the header, masks and colour table alone, for rows that are
// read one by one; the picture must still fit a whole block.
bool ReadHeaders(BoundedReader& file, uint64_t fileSize, BlockHeap& heap, DecodeMessages& messages,
                 HeaderBlock& out, bool headOnly = false) {
  uint8_t fileHeader[kFileHeaderSize];
  const size_t got = file.Read(fileHeader, sizeof fileHeader);
  if (file.Failed()) {
    messages.Add(kMsgFileHeaderRead);
    return false;
  }
  if (got < sizeof fileHeader || Le16(fileHeader) != kBitmapSignature) {
    messages.Add(kMsgNotBitmap);
    return false;
  }
  const uint32_t offBits = Le32(fileHeader + 10);

  uint8_t info[kInfoHeaderSize];
  if (file.Read(info, sizeof info) < sizeof info || file.Failed()) {
    messages.Add(kMsgInfoHeaderRead);
    return false;
  }
  DibHeader h;
  std::memcpy(&h, info, sizeof h);
  const bool core = h.biSize == kCoreHeaderSize;
  if (core) {
    h = FromCoreHeader(info);
    file.Seek(kFileHeaderSize + kCoreHeaderSize);
  }
  // Top-down rows and negative widths have no place in a bottom-up packed DIB; a bit count
  // that no bitmap has would size the block from a meaningless row.
  if (h.biSize != kInfoHeaderSize || h.biHeight < 0 || h.biWidth < 0 || !IsBitmapBitCount(h.biBitCount)) {
    messages.Add(kMsgUnknownFormat);
    return false;
  }

  const uint64_t imageSize = DibStride(h.biWidth, h.biBitCount) * static_cast<uint32_t>(h.biHeight);
  // Bit-field rows are plain rows too: read with their exact size, whatever the header says.
  const uint32_t maskBytes = DibMaskBytes(h);
  const bool plainRows = h.biCompression == 0 || maskBytes != 0;
  uint64_t pixelBytes = h.biSizeImage;
  if (plainRows) {
    pixelBytes = imageSize;
  } else if (pixelBytes == 0) {
    // A run-length stream may be longer than the rows it expands to: without a stated
    // size it runs to the end of the file. Other encodings pass on the uncompressed size.
    pixelBytes = (h.biCompression == kRle8 || h.biCompression == kRle4) ? fileSize : imageSize;
  }
  // A compressed stream cannot hold more than the file: the rest would read as zeros.
  if (!plainRows && pixelBytes > fileSize) pixelBytes = fileSize;

  const uint32_t colors = h.biClrUsed ? h.biClrUsed : DefaultColorCount(h.biBitCount);
  if (h.biClrUsed == 0) h.biClrUsed = colors;

  DibLayout layout = BlockLayout(h, colors, pixelBytes);
  if (headOnly && DibFits(layout)) layout.pixelBytes = 1;
  const DibBlock dib = AllocDib(heap, layout);
  if (!dib.Made()) {
    messages.Add(dib.NoMemory() ? kMsgNoMemory : kMsgGenericMemory);
    return false;
  }
  uint8_t* block = dib.block;
  h.biSizeImage = static_cast<uint32_t>(pixelBytes);
  WriteDibHeader(block, h);
  // The colour masks follow a 40-byte header in the file as in the block.
  if (maskBytes) file.Read(block + kInfoHeaderSize, maskBytes);

  auto* table = reinterpret_cast<uint8_t*>(dib.table);
  if (colors > 0) {
    if (core) {
      file.Read(table, size_t{colors} * 3);
      // Widen in place from the last entry down, so no entry is overwritten before it moves.
      for (uint32_t i = colors; i-- > 0;) {
        uint8_t* src = table + i * 3;
        uint8_t b = src[0], g = src[1], r = src[2];
        uint8_t* dst = table + i * 4;
        dst[0] = b;
        dst[1] = g;
        dst[2] = r;
        dst[3] = 0;
      }
    } else {
      file.Read(table, size_t{colors} * 4);
    }
  }
  if (offBits != 0) file.Seek(offBits);

  out.block = block;
  out.blockSize = static_cast<size_t>(dib.size);
  out.pixelOffset = static_cast<size_t>(dib.pixels - block);
  return true;
}

// Writes runs of pixels into one output row, clipped to the row's width.
class RowWriter {
 public:
  RowWriter(uint8_t* pixels, uint64_t stride, uint32_t width, uint32_t height, bool fourBit)
      : pixels_(pixels), stride_(stride), width_(width), height_(height), fourBit_(fourBit) {}

  bool Done() const { return y_ >= height_; }
  void EndOfLine() {
    x_ = 0;
    ++y_;
  }
  void Move(uint32_t dx, uint32_t dy) {
    x_ += dx;
    y_ += dy;
  }
  void Put(uint8_t value) {
    if (x_ < width_ && y_ < height_) {
      uint8_t* row = pixels_ + y_ * stride_;
      if (fourBit_) {
        uint8_t& b = row[x_ >> 1];
        b = (x_ & 1) ? (b & 0xF0) | (value & 0x0F) : (b & 0x0F) | static_cast<uint8_t>(value << 4);
      } else {
        row[x_] = value;
      }
    }
    ++x_;
  }
  void Fill8(uint32_t count, uint8_t value) {
    if (y_ < height_ && x_ < width_) {
      uint64_t n = width_ - x_ < count ? width_ - x_ : count;
      std::memset(pixels_ + y_ * stride_ + x_, value, static_cast<size_t>(n));
    }
    x_ += count;
  }
  void Copy8(const uint8_t* values, uint32_t count) {
    if (y_ < height_ && x_ < width_) {
      uint64_t n = width_ - x_ < count ? width_ - x_ : count;
      std::memcpy(pixels_ + y_ * stride_ + x_, values, static_cast<size_t>(n));
    }
    x_ += count;
  }

 private:
  uint8_t* pixels_;
  uint64_t stride_;
  uint64_t x_ = 0, y_ = 0;  // 64-bit: deltas may move far past the picture
  uint32_t width_, height_;
  bool fourBit_;
};

void DecodeRle(const uint8_t* in, const uint8_t* end, RowWriter& out, bool fourBit) {
  while (end - in >= 2 && !out.Done()) {
    const uint8_t first = in[0], second = in[1];
    in += 2;
    if (first > 0) {
      if (fourBit) {
        for (uint32_t i = 0; i < first; ++i) out.Put((i & 1) ? second & 0x0F : second >> 4);
      } else {
        out.Fill8(first, second);
      }
    } else if (second == 0) {
      out.EndOfLine();
    } else if (second == 1) {
      return;
    } else if (second == 2) {
      if (end - in < 2) return;
      out.Move(in[0], in[1]);
      in += 2;
    } else {
      const uint32_t bytes = fourBit ? (second + 1u) / 2 : second;
      if (static_cast<uint64_t>(end - in) < bytes) return;
      if (fourBit) {
        for (uint32_t i = 0; i < second; ++i) out.Put((i & 1) ? in[i / 2] & 0x0F : in[i / 2] >> 4);
      } else {
        out.Copy8(in, second);
      }
      in += bytes + (bytes & 1);
    }
  }
}

// Expands the run-length block `block` of `blockSize` bytes (header, colour table, stream)
// into a new block with plain rows; the stream is at `stream` instead when that is not null.
void* ExpandRle(const uint8_t* block, size_t blockSize, const uint8_t* stream, BlockHeap& heap,
                DecodeMessages& messages) {
  const DibHeader in = ReadDibHeader(block);
  const uint64_t tableBytes = uint64_t{in.biClrUsed} * 4;
  // Only 4- and 8-bit run-length encodings exist; other depths cannot be expanded.
  if ((in.biBitCount != 4 && in.biBitCount != 8) || kInfoHeaderSize + tableBytes > blockSize) {
    messages.Add(kMsgInvalidRle);
    return nullptr;
  }
  DibLayout layout;
  layout.width = static_cast<uint32_t>(in.biWidth);
  layout.height = static_cast<uint32_t>(in.biHeight);
  layout.bitCount = in.biBitCount;
  layout.colors = in.biClrUsed;
  const DibBlock out = AllocDib(heap, layout);
  if (!out.Made()) {
    messages.Add(kMsgNoMemory);
    return nullptr;
  }
  std::memcpy(out.table, block + kInfoHeaderSize, static_cast<size_t>(tableBytes));

  const bool fourBit = in.biBitCount != 8;
  RowWriter writer(out.pixels, out.stride, in.biWidth, in.biHeight, fourBit);
  if (!stream) stream = block + kInfoHeaderSize + tableBytes;
  const uint64_t streamBytes = in.biSizeImage < blockSize - (kInfoHeaderSize + tableBytes)
                                   ? in.biSizeImage
                                   : blockSize - (kInfoHeaderSize + tableBytes);
  DecodeRle(stream, stream + streamBytes, writer, fourBit);
  return out.block;
}

}  // namespace

void* ReadMappedBitmap(ByteSource& source, const void* mapped, BlockHeap& heap, DecodeMessages& messages) {
  uint8_t buffer[kReadBuffer];
  BoundedReader file(source, buffer, sizeof buffer);
  HeaderBlock hb;
  if (!ReadHeaders(file, source.Size(), heap, messages, hb)) return nullptr;

  auto* block = static_cast<uint8_t*>(hb.block);
  const DibHeader h = ReadDibHeader(block);
  const bool rle = h.biCompression == kRle8 || h.biCompression == kRle4;
  // A run-length stream that the mapped file holds whole is the same bytes where it lies.
  const uint64_t at = file.Position(), size = source.Size();
  const uint8_t* stream = nullptr;
  if (rle && mapped && at <= size && h.biSizeImage <= size - at) {
    stream = static_cast<const uint8_t*>(mapped) + at;
  } else {
    // The whole pixel area in one read; what a short file does not supply stays zero.
    file.Read(block + hb.pixelOffset, h.biSizeImage);
  }

  if (rle) {
    void* expanded = ExpandRle(block, hb.blockSize, stream, heap, messages);
    heap.Free(block);
    if (!expanded) {
      messages.Add(kMsgNotBitmap);
      return nullptr;
    }
    return expanded;
  }
  return block;
}

void* ReadBitmapFile(ByteSource& source, BlockHeap& heap, DecodeMessages& messages) {
  return ReadMappedBitmap(source, nullptr, heap, messages);
}

namespace {

// A plain picture read row by row (bottom-up, as stored) into an averaging of them by
// `factor`: never more than the reduced picture and a row or two.
void* ReadReduced(BoundedReader& file, const uint8_t* head, uint32_t factor, BlockHeap& heap) {
  const DibHeader h = ReadDibHeader(head);
  const auto width = static_cast<uint32_t>(h.biWidth), height = static_cast<uint32_t>(h.biHeight);
  const bool grey = HasGreyTable(head);
  BandReducer reducer(width, height, factor, grey);
  const DibBlock out = reducer.Start(heap);
  const size_t stride = static_cast<size_t>(DibStride(width, h.biBitCount));
  std::unique_ptr<uint8_t[]> stored(new (std::nothrow) uint8_t[stride]);
  std::unique_ptr<uint8_t[]> converted(new (std::nothrow) uint8_t[size_t{width} * (grey ? 1 : 3)]);
  if (!out.Made() || !stored || !converted) {
    if (out.block) heap.Free(out.block);
    return nullptr;
  }
  const RowConverter converter(head, grey);
  // What a short file does not supply reads as zero, as in a whole decode.
  for (uint32_t i = 0; i < height; ++i) {
    file.Read(stored.get(), stride);
    reducer.AddRow(height - 1 - i, converter.Convert(stored.get(), converted.get()));
  }
  reducer.Finish();
  return out.block;
}

}  // namespace

void* ReadBitmap(const DecodeInput& in, BlockHeap& heap, DecodeMessages& messages, DecodeProgress*) {
  if (!in.boxWidth) return ReadMappedBitmap(in.file, in.data, heap, messages);
  uint8_t buffer[kReadBuffer];
  BoundedReader file(in.file, buffer, sizeof buffer);
  HeaderBlock hb;
  if (!ReadHeaders(file, in.file.Size(), heap, messages, hb, true)) return nullptr;
  auto* head = static_cast<uint8_t*>(hb.block);
  const DibHeader h = ReadDibHeader(head);
  if (in.fullSize) *in.fullSize = {static_cast<uint32_t>(h.biWidth), static_cast<uint32_t>(h.biHeight)};
  const uint32_t factor = ReductionFactor(h.biWidth, h.biHeight, in.boxWidth, in.boxHeight);
  // Run-length pictures are expanded whole; the plug-in averages them afterwards.
  const bool plain = h.biCompression == 0 || DibMaskBytes(h) != 0;
  if (!plain || factor == 1 || h.biWidth == 0 || h.biHeight == 0) {
    heap.Free(head);
    in.file.Seek(0);
    return ReadMappedBitmap(in.file, in.data, heap, messages);
  }
  void* reduced = ReadReduced(file, head, factor, heap);
  heap.Free(head);
  if (!reduced) messages.Add(kMsgNoMemory);
  return reduced;
}

}  // namespace lmx::bmp
