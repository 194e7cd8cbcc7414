// The plug-ins' decoder kit natively, under ASan and UBSan: the bounded reader, the block
// allocator and the message texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "plugins/common/bounded_reader.h"
#include "plugins/common/dib_block.h"
#include "plugins/common/dib_reduce.h"
#include "plugins/common/message_text.h"

namespace lmx {
namespace {

// A source that fails its reads after `good` bytes, as a file whose disk gives way.
class FailingSource final : public ByteSource {
 public:
  FailingSource(const std::vector<uint8_t>& bytes, size_t good) : bytes_(bytes), good_(good) {}
  bool Read(void* dst, size_t size, size_t* got) override {
    *got = 0;
    if (pos_ >= good_) return false;
    const size_t n = std::min(size, good_ - static_cast<size_t>(pos_));
    std::memcpy(dst, bytes_.data() + pos_, n);
    pos_ += n;
    *got = n;
    return true;
  }
  bool Seek(uint64_t position) override { return pos_ = position, true; }
  bool Skip(int64_t delta) override { return pos_ += delta, true; }
  uint64_t Position() const override { return pos_; }
  uint64_t Size() const override { return bytes_.size(); }

 private:
  const std::vector<uint8_t>& bytes_;
  size_t good_;
  uint64_t pos_ = 0;
};

TEST(BoundedReader, GivesZerosPastTheEndAndSaysSo) {
  const std::vector<uint8_t> bytes = {1, 2, 3, 4, 5, 6, 7};
  for (size_t capacity : {size_t{1}, size_t{3}, size_t{64}}) {
    SCOPED_TRACE(capacity);
    MemorySource source(bytes.data(), bytes.size());
    std::vector<uint8_t> buffer(capacity);
    BoundedReader in(source, buffer.data(), capacity);
    EXPECT_EQ(in.U8(), 1);
    EXPECT_EQ(in.Le16(), 0x0302);
    EXPECT_EQ(in.Position(), 3u);
    EXPECT_FALSE(in.Ended());
    EXPECT_EQ(in.Le32(), 0x07060504u);
    EXPECT_FALSE(in.Ended());
    EXPECT_EQ(in.Le16(), 0);  // past the end
    EXPECT_TRUE(in.Ended());
    EXPECT_FALSE(in.Failed());
    uint8_t rest[4] = {9, 9, 9, 9};
    EXPECT_EQ(in.Read(rest, sizeof rest), 0u);
    EXPECT_EQ(std::vector<uint8_t>(rest, rest + 4), std::vector<uint8_t>(4, 0));
  }
}

TEST(BoundedReader, ReadsSkipsAndSeeksWithinItsLimit) {
  std::vector<uint8_t> bytes(300);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i);
  MemorySource source(bytes.data(), bytes.size());
  uint8_t buffer[16];
  source.Seek(10);
  BoundedReader in(source, buffer, sizeof buffer, 200);
  std::vector<uint8_t> big(100);
  EXPECT_EQ(in.Read(big.data(), big.size()), 100u);  // straight from the source
  EXPECT_EQ(big[0], 10);
  EXPECT_EQ(big[99], 109);
  in.Skip(50);
  EXPECT_EQ(in.U8(), 160);
  EXPECT_TRUE(in.Seek(20));
  EXPECT_EQ(in.U8(), 20);
  EXPECT_FALSE(in.Seek(201));
  EXPECT_TRUE(in.Seek(190));
  const uint8_t* at = nullptr;
  ASSERT_EQ(in.Available(&at), 10u);  // up to the limit
  EXPECT_EQ(at[0], 190);
  in.Consume(10);
  in.Skip(1);
  EXPECT_TRUE(in.Ended());
}

TEST(BoundedReader, AFailingSourceIsFailedNotJustEnded) {
  const std::vector<uint8_t> bytes(100, 7);
  FailingSource source(bytes, 30);
  uint8_t buffer[8];
  BoundedReader in(source, buffer, sizeof buffer);
  uint8_t out[50];
  EXPECT_EQ(in.Read(out, sizeof out), 30u);
  EXPECT_TRUE(in.Failed());
  EXPECT_EQ(out[29], 7);
  EXPECT_EQ(out[30], 0);
}

TEST(AllocDib, SizesInSixtyFourBitsAndChecksBeforeAllocating) {
  struct Case {
    DibLayout layout;
    size_t heapLimit;
    BlockStatus status;
    uint64_t size;
  };
  const Case cases[] = {
      {{3, 2, 24, 0}, SIZE_MAX, BlockStatus::kMade, 40 + 12 * 2},
      {{5, 1, 1, 2}, SIZE_MAX, BlockStatus::kMade, 40 + 8 + 4},
      {{4, 4, 16, 0, kColourMaskBytes}, SIZE_MAX, BlockStatus::kMade, 40 + 12 + 32},
      {{1, 1, 8, 256, 0, 1000}, SIZE_MAX, BlockStatus::kMade, 40 + 1024 + 1000},
      {{16384, 16384, 32, 0}, SIZE_MAX, BlockStatus::kTooLarge, 0},  // the cap, and its header over it
      {{0x80000000u, 1, 1, 0}, SIZE_MAX, BlockStatus::kTooLarge, 0},
      {{65535, 65535, 32, 0}, SIZE_MAX, BlockStatus::kTooLarge, 0},
      {{1, 1, 8, 0, 0, uint64_t{1} << 32}, SIZE_MAX, BlockStatus::kTooLarge, 0},
      {{100, 100, 24, 0}, 1000, BlockStatus::kOutOfMemory, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.layout.width) + "x" + std::to_string(c.layout.height));
    CHeap heap(c.heapLimit);
    const DibBlock dib = AllocDib(heap, c.layout);
    EXPECT_EQ(dib.status, c.status);
    EXPECT_EQ(DibFits(c.layout), c.status != BlockStatus::kTooLarge);
    if (!dib.Made()) continue;
    EXPECT_EQ(dib.size, c.size);
    const DibHeader h = ReadDibHeader(dib.block);
    EXPECT_EQ(h.biWidth, static_cast<int32_t>(c.layout.width));
    EXPECT_EQ(h.biClrUsed, c.layout.colors);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(dib.table), dib.block + 40 + c.layout.maskBytes);
    EXPECT_EQ(dib.pixels + h.biSizeImage, dib.block + dib.size);
    heap.Free(dib.block);
  }
}

TEST(MessageText, FillsItsPlaceholdersAndFits) {
  struct Case {
    const wchar_t* format;
    uint32_t value;
    size_t capacity;
    const wchar_t* text;
  };
  const Case cases[] = {
      {L"Unknown GIF-Version: %c%c%c", '8' | '8' << 8 | 'a' << 16, 64, L"Unknown GIF-Version: 88a"},
      {L"Invalid LZW-Code %d!", 4095, 64, L"Invalid LZW-Code 4095!"},
      {L"100% sure", 1, 64, L"100% sure"},
      {L"%c%c%c%c%c", 0x41424344, 64, L"DCBA"},  // a fifth byte is a NUL
      {L"abcdef", 0, 4, L"abc"},
  };
  for (const Case& c : cases) {
    wchar_t out[64];
    FormatMessageText(c.format, c.value, out, c.capacity);
    EXPECT_EQ(std::wstring(out), std::wstring(c.text)) << c.format;
  }
}

TEST(ReductionFactor, KeepsThePictureAtLeastItsFittedSize) {
  struct Case {
    uint32_t width, height, boxWidth, boxHeight, factor;
  };
  const Case cases[] = {
      {4000, 3000, 240, 320, 16}, {3000, 4000, 240, 320, 12}, {200, 100, 240, 320, 1}, {480, 640, 240, 320, 2},
      {481, 100, 240, 320, 2},    {100, 100, 0, 320, 1},      {70000, 1, 240, 320, 291},
  };
  for (const Case& c : cases) {
    const uint32_t f = ReductionFactor(c.width, c.height, c.boxWidth, c.boxHeight);
    EXPECT_EQ(f, c.factor) << c.width << "x" << c.height;
    if (!c.boxWidth) continue;
    const double fit = std::min(double(c.boxWidth) / c.width, double(c.boxHeight) / c.height);
    EXPECT_GE((c.width + f - 1) / f, std::min<double>(c.width, std::ceil(c.width * fit)));
    EXPECT_GE((c.height + f - 1) / f, std::min<double>(c.height, std::ceil(c.height * fit)));
  }
}

// A bottom-up picture of width x height at `bits` whose stored rows `rowBytes` fills.
std::vector<uint8_t> Picture(uint32_t width, uint32_t height, uint32_t bits, uint32_t colors,
                             const std::vector<uint8_t>& pixels, const std::vector<RgbQuad>& table = {}) {
  std::vector<uint8_t> block(40 + colors * 4 + pixels.size());
  DibHeader h = MakeDibHeader(width, height, bits, colors);
  WriteDibHeader(block.data(), h);
  if (!table.empty()) std::memcpy(block.data() + 40, table.data(), table.size() * 4);
  std::memcpy(block.data() + 40 + colors * 4, pixels.data(), pixels.size());
  return block;
}

TEST(ReduceDib, AveragesSquaresSoThinLinesStayGrey) {
  // 4 x 2, 24 bits: a black column at x = 1 on white, reduced by 2.
  std::vector<uint8_t> rows;
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 4; ++x) rows.insert(rows.end(), 3, x == 1 ? 0 : 255);
  }
  const std::vector<uint8_t> rgb = Picture(4, 2, 24, 0, rows);
  CHeap heap;
  DibBlock out = ReduceDib(rgb.data(), rgb.size(), 2, heap);
  ASSERT_TRUE(out.Made());
  DibHeader h = ReadDibHeader(out.block);
  EXPECT_EQ(h.biWidth, 2);
  EXPECT_EQ(h.biHeight, 1);
  EXPECT_EQ(h.biBitCount, 24);
  EXPECT_EQ(std::vector<uint8_t>(out.pixels, out.pixels + 6), (std::vector<uint8_t>{128, 128, 128, 255, 255, 255}));
  heap.Free(out.block);

  // 3 x 3 at 1 bit with a grey table: grey out, edge cells average what they cover. Top row
  // (stored last) all black, the rest white.
  const std::vector<RgbQuad> mono = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  const std::vector<uint8_t> bits = Picture(3, 3, 1, 2, {0xE0, 0, 0, 0, 0xE0, 0, 0, 0, 0x00, 0, 0, 0}, mono);
  out = ReduceDib(bits.data(), bits.size(), 2, heap);
  ASSERT_TRUE(out.Made());
  h = ReadDibHeader(out.block);
  EXPECT_EQ(h.biBitCount, 8);
  EXPECT_EQ(h.biClrUsed, 256u);
  // Stored bottom-up: the bottom cell covers the last picture row alone (white), the top cell
  // rows 0 and 1 (half black).
  EXPECT_EQ(out.pixels[0], 255);
  EXPECT_EQ(out.pixels[1], 255);
  EXPECT_EQ(out.pixels[out.stride], 128);
  EXPECT_EQ(out.pixels[out.stride + 1], 128);
  heap.Free(out.block);

  // 16 bits 5-5-5 without masks: pure red.
  const std::vector<uint8_t> red = Picture(1, 1, 16, 0, {0x00, 0x7C, 0, 0});
  out = ReduceDib(red.data(), red.size(), 1, heap);
  ASSERT_TRUE(out.Made());
  EXPECT_EQ(std::vector<uint8_t>(out.pixels, out.pixels + 3), (std::vector<uint8_t>{0, 0, 255}));
  heap.Free(out.block);

  // A compressed picture is refused.
  std::vector<uint8_t> rle = Picture(2, 2, 8, 0, {0, 0, 0, 0});
  DibHeader r = ReadDibHeader(rle.data());
  r.biCompression = 1;
  WriteDibHeader(rle.data(), r);
  EXPECT_FALSE(ReduceDib(rle.data(), rle.size(), 2, heap).Made());
  // Rows the block does not hold, and an index past a short table.
  EXPECT_FALSE(ReduceDib(rgb.data(), rgb.size() - 1, 2, heap).Made());
  std::vector<uint8_t> shortTable = Picture(2, 1, 8, 1, {0, 200, 0, 0}, {{10, 20, 30, 0}});
  out = ReduceDib(shortTable.data(), shortTable.size(), 1, heap);
  ASSERT_TRUE(out.Made());
  EXPECT_EQ(std::vector<uint8_t>(out.pixels, out.pixels + 6), (std::vector<uint8_t>{10, 20, 30, 0, 0, 0}));
  heap.Free(out.block);
}

}  // namespace
}  // namespace lmx
