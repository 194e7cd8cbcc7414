#include "plugins/common/dib_reduce.h"

#include <algorithm>
#include <new>
#include <vector>

#include "plugins/common/little_endian.h"

namespace lmx {

DibBlock AllocPicture(BlockHeap& heap, DibLayout layout, const DecodeInput* box, uint32_t* factor) {
  *factor = 1;
  if (box) {
    if (box->fullSize) *box->fullSize = {layout.width, layout.height};
    *factor = ReductionFactor(layout.width, layout.height, box->boxWidth, box->boxHeight);
    if (*factor > 1 && DibFits(layout)) layout.pixelBytes = 1;
  }
  return AllocDib(heap, layout);
}

bool HasGreyTable(const uint8_t* head) {
  const DibHeader h = ReadDibHeader(head);
  if (h.biBitCount > 8) return false;
  const uint32_t colors = h.biClrUsed ? h.biClrUsed : DefaultColorCount(h.biBitCount);
  const auto* table = reinterpret_cast<const RgbQuad*>(head + kInfoHeaderSize);
  for (uint32_t i = 0; i < colors; ++i) {
    if (table[i].red != table[i].green || table[i].green != table[i].blue) return false;
  }
  return true;
}

RowConverter::RowConverter(const uint8_t* head, bool grey)
    : h_(ReadDibHeader(head)), grey_(grey), red_(0), green_(0), blue_(0) {
  const uint32_t maskBytes = DibMaskBytes(h_);
  table_ = reinterpret_cast<const RgbQuad*>(head + kInfoHeaderSize + maskBytes);
  colors_ = h_.biClrUsed ? h_.biClrUsed : DefaultColorCount(h_.biBitCount);
  uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
  if (maskBytes) {
    for (int i = 0; i < 3; ++i) masks[i] = Le32(head + kInfoHeaderSize + 4 * i);
  } else if (h_.biBitCount == 32) {
    masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
  }
  red_ = Field(masks[0]), green_ = Field(masks[1]), blue_ = Field(masks[2]);
}

const uint8_t* RowConverter::Convert(const uint8_t* row, uint8_t* buffer) const {
  if (h_.biBitCount == 24) return row;
  const uint32_t width = static_cast<uint32_t>(h_.biWidth);
  uint8_t* out = buffer;
  for (uint32_t x = 0; x < width; ++x) {
    uint8_t bgr[3];
    Pixel(row, x, bgr);
    *out++ = bgr[0];
    if (!grey_) *out++ = bgr[1], *out++ = bgr[2];
  }
  return buffer;
}

void RowConverter::Pixel(const uint8_t* row, uint32_t x, uint8_t* bgr) const {
  switch (h_.biBitCount) {
    case 1:
    case 4:
    case 8: {
      const uint32_t bits = h_.biBitCount;
      const uint32_t index = (row[x * bits / 8] >> (8 - bits - (x * bits) % 8)) & ((1u << bits) - 1);
      if (index >= colors_) {  // past a short table: black, as the picture shows
        bgr[0] = bgr[1] = bgr[2] = 0;
        return;
      }
      const RgbQuad& q = table_[index];
      bgr[0] = q.blue, bgr[1] = q.green, bgr[2] = q.red;
      return;
    }
    case 24:
      bgr[0] = row[3 * x], bgr[1] = row[3 * x + 1], bgr[2] = row[3 * x + 2];
      return;
    default: {
      const uint32_t pixel = h_.biBitCount == 16 ? Le16(row + 2 * x) : Le32(row + 4 * x);
      bgr[0] = static_cast<uint8_t>(blue_.Value(pixel));
      bgr[1] = static_cast<uint8_t>(green_.Value(pixel));
      bgr[2] = static_cast<uint8_t>(red_.Value(pixel));
      return;
    }
  }
}

uint32_t ReductionFactor(uint32_t width, uint32_t height, uint32_t boxWidth, uint32_t boxHeight) {
  if (boxWidth == 0 || boxHeight == 0 || (width <= boxWidth && height <= boxHeight)) return 1;
  // Fitted whole, the picture takes the larger of the two ratios; each factor up to it keeps
  // the reduced picture at least that size.
  const uint32_t byWidth = width / boxWidth, byHeight = height / boxHeight;
  const uint32_t factor = byWidth > byHeight ? byWidth : byHeight;
  return factor ? factor : 1;
}

DibBlock ReduceDib(const uint8_t* block, size_t blockBytes, uint32_t factor, BlockHeap& heap) {
  if (!block || blockBytes < kInfoHeaderSize) return DibBlock{};
  const DibHeader h = ReadDibHeader(block);
  const bool plain = h.biCompression == 0 || DibMaskBytes(h) != 0;
  const uint32_t bits = h.biBitCount;
  if (!plain || h.biSize != kInfoHeaderSize || h.biWidth <= 0 || h.biHeight <= 0 || factor == 0 ||
      !(bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32)) {
    return DibBlock{};
  }
  const uint64_t colors = h.biClrUsed ? h.biClrUsed : DefaultColorCount(bits);
  const uint64_t needed = kInfoHeaderSize + DibMaskBytes(h) + colors * 4 +
                          DibStride(static_cast<uint32_t>(h.biWidth), bits) * static_cast<uint32_t>(h.biHeight);
  if (needed > blockBytes) return DibBlock{};
  const bool grey = HasGreyTable(block);
  const auto width = static_cast<uint32_t>(h.biWidth), height = static_cast<uint32_t>(h.biHeight);
  BandReducer reducer(width, height, factor, grey);
  const DibBlock out = reducer.Start(heap);
  if (!out.Made()) return out;
  DibHeader o = ReadDibHeader(out.block);
  o.biXPelsPerMeter = h.biXPelsPerMeter / static_cast<int32_t>(factor);
  o.biYPelsPerMeter = h.biYPelsPerMeter / static_cast<int32_t>(factor);
  WriteDibHeader(out.block, o);
  // Cells are counted from the top-left corner, as the picture shows; stored rows run bottom-up.
  const RowConverter converter(block, grey);
  const uint8_t* pixels = block + kInfoHeaderSize + DibMaskBytes(h) + colors * 4;
  const uint64_t stride = DibStride(width, bits);
  std::vector<uint8_t> converted(size_t{width} * (grey ? 1 : 3));
  for (uint32_t y = 0; y < height; ++y) {
    reducer.AddRow(y, converter.Convert(pixels + (height - 1 - y) * stride, converted.data()));
  }
  reducer.Finish();
  return out;
}

BandReducer::BandReducer(uint32_t width, uint32_t height, uint32_t factor, bool grey)
    : width_(width),
      height_(height),
      factor_(factor ? factor : 1),
      channels_(grey ? 1 : 3),
      outWidth_((width + factor_ - 1) / factor_),
      outHeight_((height + factor_ - 1) / factor_) {}

const DibBlock& BandReducer::Start(BlockHeap& heap) {
  const bool grey = channels_ == 1;
  out_ = AllocDib(heap, {outWidth_, outHeight_, grey ? 8u : 24u, grey ? 256u : 0u});
  if (!out_.Made()) return out_;
  if (grey) WriteGreyTable(out_.table);
  storage_.reset(new (std::nothrow) uint64_t[size_t{outWidth_} * channels_ + 1]());
  if (!storage_) {
    heap.Free(out_.block);
    out_ = DibBlock{};
    out_.status = BlockStatus::kOutOfMemory;
    return out_;
  }
  sums_ = storage_.get();
  return out_;
}

void BandReducer::AddRow(uint32_t y, const uint8_t* pixels) {
  if (!sums_ || y >= height_) return;
  if (y / factor_ != band_) {
    Flush();
    band_ = y / factor_;
  }
  // Whole cells of `factor` pixels, then the part cell at the right edge.
  const uint32_t whole = width_ / factor_, rest = width_ % factor_;
  uint64_t* cell = sums_;
  if (channels_ == 3) {
    if (factor_ == 2) {
      for (uint32_t i = 0; i < whole; ++i, pixels += 6, cell += 3) {
        cell[0] += pixels[0] + pixels[3], cell[1] += pixels[1] + pixels[4], cell[2] += pixels[2] + pixels[5];
      }
    } else {
      for (uint32_t i = 0; i < whole; ++i, cell += 3) {
        uint64_t b = 0, g = 0, r = 0;
        for (uint32_t k = 0; k < factor_; ++k, pixels += 3) b += pixels[0], g += pixels[1], r += pixels[2];
        cell[0] += b, cell[1] += g, cell[2] += r;
      }
    }
    for (uint32_t k = 0; k < rest; ++k, pixels += 3) cell[0] += pixels[0], cell[1] += pixels[1], cell[2] += pixels[2];
  } else {
    for (uint32_t i = 0; i < whole; ++i, ++cell) {
      uint64_t v = 0;
      for (uint32_t k = 0; k < factor_; ++k) v += *pixels++;
      *cell += v;
    }
    for (uint32_t k = 0; k < rest; ++k) *cell += *pixels++;
  }
  ++rows_;
}

void BandReducer::Finish() { Flush(); }

namespace {

// (sum + count / 2) / count, the rounded mean, without a division: an estimate through the
// reciprocal, off by one at most (the sums stay far below 2^53), put right.
inline uint8_t RoundedMean(uint64_t sum, uint64_t count, double reciprocal) {
  const uint64_t n = sum + count / 2;
  uint64_t q = static_cast<uint64_t>(static_cast<double>(n) * reciprocal);
  if (q * count > n) {
    --q;
  } else if ((q + 1) * count <= n) {
    ++q;
  }
  return static_cast<uint8_t>(q);
}

}  // namespace

void BandReducer::Flush() {
  if (!sums_ || rows_ == 0) return;
  uint8_t* dst = out_.pixels + uint64_t{outHeight_ - 1 - band_} * out_.stride;
  const uint64_t count = uint64_t{factor_} * rows_;
  const double reciprocal = 1.0 / static_cast<double>(count);
  const uint32_t whole = width_ / factor_;
  const size_t values = size_t{whole} * channels_;
  for (size_t i = 0; i < values; ++i) dst[i] = RoundedMean(sums_[i], count, reciprocal);
  if (whole < outWidth_) {
    const uint64_t part = uint64_t{width_ % factor_} * rows_;
    for (uint32_t c = 0; c < channels_; ++c) dst[values + c] = RoundedMean(sums_[values + c], part, 1.0 / part);
  }
  std::fill(sums_, sums_ + size_t{outWidth_} * channels_, 0);
  rows_ = 0;
}

}  // namespace lmx
