#include "plugins/tif/tif_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include <tiffio.h>

#include "plugins/common/dib_block.h"
#include "plugins/common/dib_reduce.h"
#include "plugins/tif/tif_file.h"
#include "plugins/tif/tif_strips.h"

namespace lmx::tif {
namespace {

constexpr uint16_t kCompressionJpeg = 7;
constexpr uint32_t kWholeImage = 0xFFFFFFFF;  // RowsPerStrip when the tag is absent

// One strip's worth of decoded bytes from libtiff's allocator.
class StripBuffer {
 public:
  explicit StripBuffer(tmsize_t size) : data_(size > 0 ? static_cast<uint8_t*>(_TIFFmalloc(size)) : nullptr) {}
  ~StripBuffer() {
    if (data_) _TIFFfree(data_);
  }
  StripBuffer(const StripBuffer&) = delete;
  StripBuffer& operator=(const StripBuffer&) = delete;
  uint8_t* get() const { return data_; }

 private:
  uint8_t* data_;
};

struct Tags {
  uint32_t width = 0;
  uint32_t length = 0;
  uint16_t bitsPerSample = 1;
  uint16_t samplesPerPixel = 0;
  uint16_t photometric = 0;
  uint16_t compression = 0xFFFF;
  uint16_t resolutionUnit = 0;
  float xResolution = 0.0f;
  float yResolution = 0.0f;
};

Tags ReadTags(TIFF* tif) {
  Tags t;
  TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &t.width);
  TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &t.length);
  TIFFGetField(tif, TIFFTAG_BITSPERSAMPLE, &t.bitsPerSample);
  // These two take libtiff's defaults (1 sample, inches) when the file leaves them out.
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &t.samplesPerPixel);
  TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &t.photometric);
  TIFFGetField(tif, TIFFTAG_COMPRESSION, &t.compression);
  TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &t.resolutionUnit);
  TIFFGetField(tif, TIFFTAG_XRESOLUTION, &t.xResolution);
  TIFFGetField(tif, TIFFTAG_YRESOLUTION, &t.yResolution);
  return t;
}

// DIB depth of an accepted layout, or 0 with the message that refuses it.
uint16_t DibDepth(const Tags& t, uint16_t* refusal) {
  const uint16_t bps = t.bitsPerSample;
  switch (t.photometric) {
    case PHOTOMETRIC_MINISWHITE:
    case PHOTOMETRIC_MINISBLACK:
      if (t.samplesPerPixel == 1 && (bps == 1 || bps == 4 || bps == 8)) return bps;
      break;
    case PHOTOMETRIC_RGB:
      if (t.samplesPerPixel == 3 && bps == 8) return 24;
      break;
    case PHOTOMETRIC_PALETTE:
      if (t.samplesPerPixel == 1 && (bps == 4 || bps == 8)) return bps;
      break;
    case PHOTOMETRIC_MASK: *refusal = kMsgNoTransparencyMask; return 0;
    case PHOTOMETRIC_SEPARATED: *refusal = kMsgNoCmyk; return 0;
    case PHOTOMETRIC_YCBCR: *refusal = kMsgNoYCbCr; return 0;
    case PHOTOMETRIC_CIELAB: *refusal = kMsgNoCieLab; return 0;
    default: break;
  }
  *refusal = kMsgInvalidColorFormat;
  return 0;
}

int32_t ClampToPels(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(v);  // truncated toward zero
}

int32_t PelsPerMeter(uint16_t unit, float value) {
  switch (unit) {
    case RESUNIT_INCH: return ClampToPels(value * kInchesPerMetre);
    case RESUNIT_CENTIMETER: return ClampToPels(value * 100.0);
    default: return value == 0.0f ? kDefaultPelsPerMeter : ClampToPels(value * kInchesPerMetre);
  }
}

void WriteColorTable(TIFF* tif, const Tags& t, uint16_t depth, RgbQuad* table) {
  const uint32_t n = 1u << depth;
  if (t.photometric == PHOTOMETRIC_PALETTE) {
    uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
    if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue) || !red || !green || !blue) return;
    // libtiff's map has 2^BitsPerSample entries, which is 2^depth here. Maps are 16-bit
    // (65535 full scale), but old writers stored 8-bit values: when no value reaches 256
    // the values themselves are the colours.
    bool eightBit = true;
    for (uint32_t i = 0; i < n && eightBit; ++i) eightBit = red[i] < 256 && green[i] < 256 && blue[i] < 256;
    const int shift = eightBit ? 0 : 8;
    for (uint32_t i = 0; i < n; ++i) {
      table[i] = RgbQuad{static_cast<uint8_t>(blue[i] >> shift), static_cast<uint8_t>(green[i] >> shift),
                         static_cast<uint8_t>(red[i] >> shift), 0};
    }
    return;
  }
  const uint32_t step = depth == 8 ? 1 : depth == 4 ? 17 : 255;
  for (uint32_t i = 0; i < n; ++i) {
    const uint32_t v = t.photometric == PHOTOMETRIC_MINISWHITE ? 255 - i * step : i * step;
    const auto c = static_cast<uint8_t>(v);
    table[i] = RgbQuad{c, c, c, 0};
  }
}

// Bytes one row of the picture takes in a decoded strip.
uint64_t SourceRowBytes(uint32_t width, uint16_t depth) {
  switch (depth) {
    case 1: return (uint64_t{width} + 7) / 8;
    case 4: return (uint64_t{width} + 1) / 2;
    case 8: return width;
    default: return uint64_t{width} * 3;
  }
}

// How the rows came out of the strips.
enum class Rows { kMade, kNoBuffer, kDamaged };

// Strip by strip into bottom-up DIB rows. libtiff has already undone any horizontal
// differencing, so the rows are taken as decoded (24-bit ones reordered to blue, green, red).
// A strip libtiff cannot decode (damaged, cut short) ends the picture.
Rows BuildRows(const TiffFile& file, const Tags& t, uint16_t depth, uint8_t* pixels, uint64_t stride) {
  TIFF* tif = file.get();
  uint32_t rowsPerStrip = kWholeImage;
  TIFFGetField(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
  const uint32_t stripHeight =
      (rowsPerStrip == kWholeImage || rowsPerStrip == 0 || rowsPerStrip > t.length) ? t.length : rowsPerStrip;
  const uint64_t rowBytes = SourceRowBytes(t.width, depth);

  // Rows without padding: libtiff decodes each strip straight into the picture rows it
  // becomes, and they are turned bottom-up in place while still in cache.
  if (rowBytes == stride) {
    return DecodeStripRows(file, {t.width, t.length, depth, stripHeight, rowBytes}, pixels) ? Rows::kMade
                                                                                           : Rows::kDamaged;
  }

  const tmsize_t stripSize = TIFFStripSize(tif);
  StripBuffer buffer(stripSize);
  if (!buffer.get()) return Rows::kNoBuffer;
  // A strip never yields more rows than its buffer holds, whatever the tags say.
  const uint64_t rowsInBuffer = rowBytes ? static_cast<uint64_t>(stripSize) / rowBytes : 0;
  const uint8_t* strip = buffer.get();

  for (uint32_t row = 0; row < t.length; row += stripHeight) {
    // Rows a strip does not hold (a short last strip) come out zero, not as the strip before.
    std::memset(buffer.get(), 0, static_cast<size_t>(stripSize));
    if (TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, row, 0), buffer.get(), stripSize) < 0) return Rows::kDamaged;
    uint64_t rows = t.length - row < stripHeight ? t.length - row : stripHeight;
    if (rows > rowsInBuffer) rows = rowsInBuffer;
    for (uint64_t r = 0; r < rows; ++r) {
      const uint8_t* src = strip + r * rowBytes;
      uint8_t* dst = pixels + (t.length - 1 - (row + r)) * stride;
      if (depth != 24) {
        std::memcpy(dst, src, static_cast<size_t>(rowBytes));
        continue;
      }
      for (uint32_t x = 0; x < t.width; ++x, src += 3, dst += 3) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
      }
    }
  }
  return Rows::kMade;
}

// The rows strip by strip into an averaging of them by `factor` (a reduced decode): the picture
// whose header and colour table `head` holds is never held whole. Null when memory runs out
// or a strip cannot be decoded (*made tells which).
void* BuildReducedRows(TIFF* tif, const Tags& t, uint16_t depth, const uint8_t* head, uint32_t factor,
                       BlockHeap& heap, Rows* made) {
  *made = Rows::kNoBuffer;
  uint32_t rowsPerStrip = kWholeImage;
  TIFFGetField(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
  const uint32_t stripHeight =
      (rowsPerStrip == kWholeImage || rowsPerStrip == 0 || rowsPerStrip > t.length) ? t.length : rowsPerStrip;
  const uint64_t rowBytes = SourceRowBytes(t.width, depth);
  const tmsize_t stripSize = TIFFStripSize(tif);
  const bool grey = HasGreyTable(head);
  BandReducer reducer(t.width, t.length, factor, grey);
  const DibBlock out = reducer.Start(heap);
  StripBuffer buffer(stripSize);
  std::unique_ptr<uint8_t[]> converted(new (std::nothrow) uint8_t[size_t{t.width} * 3]);
  if (!out.Made() || !buffer.get() || !converted) {
    if (out.block) heap.Free(out.block);
    return nullptr;
  }
  const RowConverter converter(head, grey);
  const uint64_t rowsInBuffer = rowBytes ? static_cast<uint64_t>(stripSize) / rowBytes : 0;
  for (uint32_t row = 0; row < t.length; row += stripHeight) {
    std::memset(buffer.get(), 0, static_cast<size_t>(stripSize));
    if (TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, row, 0), buffer.get(), stripSize) < 0) {
      heap.Free(out.block);
      *made = Rows::kDamaged;
      return nullptr;
    }
    const uint64_t rows = t.length - row < stripHeight ? t.length - row : stripHeight;
    for (uint64_t r = 0; r < rows; ++r) {
      const uint8_t* src = r < rowsInBuffer ? buffer.get() + r * rowBytes : nullptr;
      const uint8_t* line = converted.get();
      if (!src) {
        std::memset(converted.get(), 0, size_t{t.width} * 3);  // past what the strip holds: zeros
      } else if (depth == 24) {
        uint8_t* dst = converted.get();
        for (uint32_t x = 0; x < t.width; ++x, src += 3) *dst++ = src[2], *dst++ = src[1], *dst++ = src[0];
      } else {
        line = converter.Convert(src, converted.get());
      }
      reducer.AddRow(static_cast<uint32_t>(row + r), line);
    }
  }
  reducer.Finish();
  *made = Rows::kMade;
  return out.block;
}

bool CountImagesIn(TiffFile& tiff, uint32_t* count) {
  if (!tiff.get()) return false;
  const uint32_t n = TIFFNumberOfDirectories(tiff.get());
  // The first directory has been read, so there is at least one page; the count is 16-bit.
  *count = n == 0 ? 1 : n > 0xFFFF ? 0xFFFF : n;
  return true;
}

void* ReadPage(TiffFile& tiff, uint32_t imageIndex, BlockHeap& heap, DecodeMessages& messages,
               const DecodeInput* box = nullptr) {
  TIFF* tif = tiff.get();
  if (!tif) {
    messages.Add(kMsgCannotRead);
    return nullptr;
  }
  for (uint32_t i = 0; i < imageIndex && !TIFFLastDirectory(tif); ++i) {
    // A directory libtiff cannot read leaves no page to show.
    if (!TIFFReadDirectory(tif)) {
      messages.Add(kMsgCannotRead);
      return nullptr;
    }
  }

  const Tags t = ReadTags(tif);
  if (t.compression == kCompressionJpeg) {
    messages.Add(kMsgJpegNotSupported);
    return nullptr;
  }
  uint16_t refusal = 0;
  const uint16_t depth = DibDepth(t, &refusal);
  if (!depth) {
    messages.Add(refusal);
    return nullptr;
  }
  // The rows are read as strips of sample 0: tiles, or colour planes stored apart, would
  // come out wrong.
  uint16_t planar = PLANARCONFIG_CONTIG;
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
  if (TIFFIsTiled(tif) || (planar == PLANARCONFIG_SEPARATE && t.samplesPerPixel > 1)) {
    messages.Add(kMsgInvalidColorFormat);
    return nullptr;
  }
  // A compression libtiff has no codec for would decode to nothing but zeros.
  if (!TIFFIsCODECConfigured(t.compression)) {
    messages.Add(kMsgCompressionNotSupported, t.compression);
    return nullptr;
  }
  if (t.width == 0 || t.length == 0) {
    messages.Add(kMsgDecodeError);
    return nullptr;
  }

  const uint32_t colors = depth == 24 ? 0 : 1u << depth;
  uint32_t factor = 1;
  const DibBlock dib = AllocPicture(heap, {t.width, t.length, depth, colors}, box, &factor);
  if (!dib.Made()) {
    messages.Add(kMsgNoMemory);
    return nullptr;
  }
  void* block = dib.block;
  DibHeader h = ReadDibHeader(block);
  h.biXPelsPerMeter = PelsPerMeter(t.resolutionUnit, t.xResolution);
  h.biYPelsPerMeter = PelsPerMeter(t.resolutionUnit, t.yResolution);
  WriteDibHeader(block, h);
  if (colors) WriteColorTable(tif, t, depth, dib.table);

  // Reduced: the block holds the header and the colour table while the strips are averaged.
  Rows made;
  if (factor > 1) {
    void* reduced = BuildReducedRows(tif, t, depth, dib.block, factor, heap, &made);
    heap.Free(block);
    if (!reduced) messages.Add(made == Rows::kDamaged ? kMsgDamagedData : kMsgNoMemory);
    return reduced;
  }
  made = BuildRows(tiff, t, depth, dib.pixels, dib.stride);
  if (made != Rows::kMade) {
    heap.Free(block);
    messages.Add(made == Rows::kDamaged ? kMsgDamagedData : kMsgDecodeError);
    return nullptr;
  }
  return block;
}

}  // namespace

bool CountImages(ByteSource& file, uint32_t* count) {
  TiffFile tiff(file, nullptr, 0);
  return CountImagesIn(tiff, count);
}

bool CountImages(const void* data, size_t size, uint32_t* count) {
  MemorySource file(data, size);
  TiffFile tiff(file, data, size);
  return CountImagesIn(tiff, count);
}

void* ReadTiff(ByteSource& file, uint32_t imageIndex, BlockHeap& heap, DecodeMessages& messages) {
  TiffFile tiff(file, nullptr, 0);
  return ReadPage(tiff, imageIndex, heap, messages);
}

void* ReadTiff(const void* data, size_t size, uint32_t imageIndex, BlockHeap& heap, DecodeMessages& messages) {
  MemorySource file(data, size);
  TiffFile tiff(file, data, size);
  return ReadPage(tiff, imageIndex, heap, messages);
}

void* ReadTiffFile(const DecodeInput& in, BlockHeap& heap, DecodeMessages& messages, DecodeProgress*) {
  const DecodeInput* box = in.boxWidth ? &in : nullptr;
  if (in.data) {
    MemorySource file(in.data, in.size);
    TiffFile tiff(file, in.data, in.size);
    return ReadPage(tiff, in.imageIndex, heap, messages, box);
  }
  TiffFile tiff(in.file, nullptr, 0);
  return ReadPage(tiff, in.imageIndex, heap, messages, box);
}

bool CountTiffImages(const DecodeInput& in, uint32_t* count) {
  return in.data ? CountImages(in.data, in.size, count) : CountImages(in.file, count);
}

}  // namespace lmx::tif
