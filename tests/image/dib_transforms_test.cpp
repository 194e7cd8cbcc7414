// The transforms on packed DIBs built in memory, against a pixel-by-pixel model of the
// destination-takes-source table, at every depth and at sizes that leave ragged edges.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "image/dib_quarter_turns.h"
#include "image/dib_transforms.h"
#include "plugins/common/packed_dib.h"
#include "tests/support/test_bytes.h"

namespace lmx {
namespace {

using Block = std::vector<uint8_t>;

using test::Put32;

// Random colours and pixels; biClrImportant 7, which a transformed picture drops.
Block MakeDib(uint32_t w, uint32_t h, uint16_t bits, uint32_t clrUsed, std::mt19937& rng) {
  Block b = test::MakeDib(w, h, bits, clrUsed);
  Put32(b, 36, 7);
  for (size_t i = kInfoHeaderSize; i < b.size(); ++i) b[i] = static_cast<uint8_t>(rng());
  return b;
}

Block RandomDib(uint32_t w, uint32_t h, uint16_t bits, std::mt19937& rng) {
  return MakeDib(w, h, bits, bits <= 8 ? 1u << bits : 0, rng);
}

// Picture as seen: row 0 at the top.
struct Picture {
  uint32_t w, h, bits;
  const uint8_t* pixels;
  size_t stride;
  explicit Picture(const Block& b) {
    DibLayout l;
    EXPECT_TRUE(ReadDibLayout(b.data(), b.size(), &l));
    w = l.width, h = l.height, bits = l.bitCount, stride = l.stride;
    pixels = b.data() + l.pixelOffset;
  }
  uint32_t At(uint32_t row, uint32_t col) const {
    const uint8_t* r = pixels + (h - 1 - row) * stride;
    switch (bits) {
      case 1: return (r[col / 8] >> (7 - col % 8)) & 1;
      case 4: return (r[col / 2] >> (col % 2 ? 0 : 4)) & 15;
      case 8: return r[col];
      default: return r[3 * col] | r[3 * col + 1] << 8 | r[3 * col + 2] << 16;
    }
  }
};

Block Apply(const Block& src, int code) {
  CHeap heap;
  void* out = nullptr;
  size_t bytes = 0;
  EXPECT_EQ(TransformDib(src.data(), src.size(), code, heap, &out, &bytes), DibStatus::kOk) << "code " << code;
  if (!out) return {};
  Block b(static_cast<uint8_t*>(out), static_cast<uint8_t*>(out) + bytes);
  heap.Free(out);
  return b;
}

// Pixels only, not the bits and bytes past a row's last pixel.
bool SamePicture(const Block& a, const Block& b) {
  Picture pa(a), pb(b);
  if (pa.w != pb.w || pa.h != pb.h || pa.bits != pb.bits) return false;
  for (uint32_t i = 0; i < pa.h; ++i)
    for (uint32_t j = 0; j < pa.w; ++j)
      if (pa.At(i, j) != pb.At(i, j)) return false;
  return true;
}

// Source (row, column) for destination (i, j) of a w x h source.
void SourceOf(int code, uint32_t w, uint32_t h, uint32_t i, uint32_t j, uint32_t* r, uint32_t* c) {
  switch (code) {
    case 1: *r = h - 1 - j, *c = i; break;
    case 2: *r = j, *c = w - 1 - i; break;
    case 3: *r = h - 1 - i, *c = w - 1 - j; break;
    case 4: *r = i, *c = w - 1 - j; break;
    default: *r = h - 1 - i, *c = j; break;
  }
}

struct Size {
  uint32_t w, h;
};
constexpr Size kSizes[] = {{1, 1}, {3, 2}, {2, 3}, {9, 5}, {8, 8}, {17, 33}, {64, 64}, {65, 63}, {69, 74}, {70, 130}, {131, 67}, {200, 140}};
constexpr uint16_t kDepths[] = {1, 4, 8, 24};

// The whole block a transform must build, pixel by pixel from the table: the header, the
// colour table, every pixel in its bits, zero past each row's last pixel (the flip copies
// whole rows, pad bytes included).
Block Reference(const Block& src, int code) {
  const DibHeader s = ReadDibHeader(src.data());
  const uint32_t w = uint32_t(s.biWidth), h = uint32_t(s.biHeight), bits = s.biBitCount;
  const bool turn = code <= 2;
  const uint32_t dw = turn ? h : w, dh = turn ? w : h;
  const size_t table = 4 * size_t{s.biClrUsed};
  const size_t sStride = DibStride(w, bits), dStride = DibStride(dw, bits);
  Block out(kInfoHeaderSize + table + dStride * dh, 0);
  DibHeader d{40, int32_t(dw), int32_t(dh), 1, uint16_t(bits), 0, uint32_t(dStride * dh), 2953, 2953, s.biClrUsed, 0};
  WriteDibHeader(out.data(), d);
  std::memcpy(out.data() + kInfoHeaderSize, src.data() + kInfoHeaderSize, table);
  const uint8_t* in = src.data() + kInfoHeaderSize + table;
  uint8_t* px = out.data() + kInfoHeaderSize + table;
  if (code == 5) {
    for (uint32_t y = 0; y < h; ++y) std::memcpy(px + y * dStride, in + (h - 1 - y) * sStride, sStride);
    return out;
  }
  const Picture pic(src);
  for (uint32_t i = 0; i < dh; ++i) {
    uint8_t* row = px + (dh - 1 - i) * dStride;
    for (uint32_t j = 0; j < dw; ++j) {
      uint32_t r, c;
      SourceOf(code, w, h, i, j, &r, &c);
      const uint32_t v = pic.At(r, c);
      switch (bits) {
        case 1: row[j / 8] |= uint8_t(v << (7 - j % 8)); break;
        case 4: row[j / 2] |= uint8_t(j % 2 ? v : v << 4); break;
        case 8: row[j] = uint8_t(v); break;
        default: row[3 * j] = uint8_t(v), row[3 * j + 1] = uint8_t(v >> 8), row[3 * j + 2] = uint8_t(v >> 16); break;
      }
    }
  }
  return out;
}

// Each instruction-set form of the transforms in turn, as far as this processor has it.
class DibTransformForms : public testing::TestWithParam<VectorForm> {
 protected:
  void SetUp() override {
    LimitTransformVectorForm(GetParam());
    if (TransformVectorForm() != GetParam()) GTEST_SKIP() << "not available here";
  }
  void TearDown() override { LimitTransformVectorForm(VectorForm::kAvx512); }
};

std::string FormName(const testing::TestParamInfo<VectorForm>& info) {
  static const char* const names[] = {"Portable", "Sse2", "Avx2", "Avx512"};
  return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(, DibTransformForms,
                         testing::Values(VectorForm::kPortable, VectorForm::kSse2, VectorForm::kAvx2,
                                         VectorForm::kAvx512),
                         FormName);

// Byte for byte against the reference at every width up to 70 and height up to 20 (and the
// same turned round), so that every ragged edge of the word-wide paths is met; the source's
// pad bits and bytes are random and must not leak into the result.
TEST_P(DibTransformForms, EveryBlockEqualsThePixelByPixelReference) {
  std::mt19937 rng(11);
  for (uint16_t bits : kDepths) {
    for (uint32_t a = 1; a <= 70; ++a) {
      for (uint32_t b = 1; b <= 20; ++b) {
        for (const Size s : {Size{a, b}, Size{b, a}}) {
          const Block src = RandomDib(s.w, s.h, bits, rng);
          for (int code = 1; code <= 5; ++code) {
            const Block got = Apply(src, code);
            const Block want = Reference(src, code);
            ASSERT_EQ(got, want) << bits << " bits, " << s.w << "x" << s.h << ", code " << code;
          }
        }
      }
    }
  }
}

// The shapes of kSizes, and pictures large enough for every word-wide path to run many times
// with ragged edges on both sides.
TEST_P(DibTransformForms, PicturesOfEveryShapeAndLargeOnesEqualTheReference) {
  std::mt19937 rng(12);
  std::vector<Size> sizes(std::begin(kSizes), std::end(kSizes));
  sizes.insert(sizes.end(), {{1000, 517}, {509, 1000}, {1024, 768}});
  for (uint16_t bits : kDepths) {
    for (const Size s : sizes) {
      const Block src = RandomDib(s.w, s.h, bits, rng);
      for (int code = 1; code <= 5; ++code) {
        ASSERT_EQ(Apply(src, code), Reference(src, code)) << bits << " bits, " << s.w << "x" << s.h << ", code " << code;
      }
    }
  }
}

TEST(DibTransforms, TurnsAndMirrorsComposeAsTheyShould) {
  std::mt19937 rng(2);
  for (uint16_t bits : kDepths) {
    for (Size s : kSizes) {
      SCOPED_TRACE(testing::Message() << bits << " bits, " << s.w << "x" << s.h);
      const Block src = RandomDib(s.w, s.h, bits, rng);
      EXPECT_TRUE(SamePicture(Apply(Apply(src, 1), 2), src));
      EXPECT_TRUE(SamePicture(Apply(Apply(Apply(Apply(src, 1), 1), 1), 1), src));
      EXPECT_TRUE(SamePicture(Apply(src, 3), Apply(Apply(src, 4), 5)));
      EXPECT_TRUE(SamePicture(Apply(Apply(src, 4), 4), src));
      EXPECT_TRUE(SamePicture(Apply(Apply(src, 1), 1), Apply(src, 3)));

      Block twice = src;
      ASSERT_EQ(InvertDib(twice.data(), twice.size()), DibStatus::kOk);
      if (bits != 8) {
        Picture a(src), b(twice);
        const uint32_t all = bits == 24 ? 0xFFFFFF : (1u << bits) - 1;
        EXPECT_EQ(b.At(0, 0), all - a.At(0, 0));
        EXPECT_EQ(b.At(s.h - 1, s.w - 1), all - a.At(s.h - 1, s.w - 1));
      }
      ASSERT_EQ(InvertDib(twice.data(), twice.size()), DibStatus::kOk);
      EXPECT_TRUE(SamePicture(twice, src));
    }
  }
}

// Top row p1 p2 p3, bottom row p4 p5 p6.
Block ThreeByTwo() {
  std::mt19937 rng(3);
  Block b = RandomDib(3, 2, 24, rng);
  const size_t stride = 12;
  for (int p = 1; p <= 6; ++p) {
    const int row = p <= 3 ? 1 : 0, col = (p - 1) % 3;  // memory row 1 is the top
    uint8_t* px = b.data() + 40 + row * stride + 3 * col;
    px[0] = px[1] = px[2] = static_cast<uint8_t>(p);
  }
  return b;
}

std::vector<std::vector<uint32_t>> Rows(const Block& b) {
  Picture p(b);
  std::vector<std::vector<uint32_t>> rows(p.h);
  for (uint32_t i = 0; i < p.h; ++i)
    for (uint32_t j = 0; j < p.w; ++j) rows[i].push_back(p.At(i, j) & 0xFF);
  return rows;
}

TEST(DibTransforms, QuarterTurnsOfThreeByTwo) {
  using R = std::vector<std::vector<uint32_t>>;
  EXPECT_EQ(Rows(Apply(ThreeByTwo(), 1)), (R{{4, 1}, {5, 2}, {6, 3}}));
  EXPECT_EQ(Rows(Apply(ThreeByTwo(), 2)), (R{{3, 6}, {2, 5}, {1, 4}}));
}

TEST(DibTransforms, MirroredFourBitRowOfThreeKeepsItsLastNibbleZero) {
  std::mt19937 rng(4);
  Block b = RandomDib(3, 1, 4, rng);
  uint8_t* row = b.data() + 40 + 64;
  row[0] = 0x12, row[1] = 0x3F, row[2] = 0xAB, row[3] = 0xCD;  // 0xF, 0xAB, 0xCD: past the pixels
  const Block m = Apply(b, 4);
  const uint8_t* out = m.data() + 40 + 64;
  EXPECT_EQ(out[0], 0x32);
  EXPECT_EQ(out[1], 0x10);
  EXPECT_EQ(out[2], 0);
  EXPECT_EQ(out[3], 0);
}

TEST(DibTransforms, OneBitNineWideTurnsIntoNineRows) {
  std::mt19937 rng(5);
  const Block b = RandomDib(9, 5, 1, rng);
  const Block t = Apply(b, 1);
  const DibHeader h = ReadDibHeader(t.data());
  EXPECT_EQ(h.biHeight, 9);
  EXPECT_EQ(h.biWidth, 5);
  EXPECT_EQ(t.size(), 40u + 8 + 9 * 4);
}

TEST(DibTransforms, EightBitInvertGoesThroughTheColourTable) {
  std::mt19937 rng(6);
  const Block src = MakeDib(5, 3, 8, 16, rng);  // a 16-colour 8-bit picture
  Block b = src;
  ASSERT_EQ(InvertDib(b.data(), b.size()), DibStatus::kOk);
  const auto* before = reinterpret_cast<const RgbQuad*>(src.data() + 40);
  const auto* after = reinterpret_cast<const RgbQuad*>(b.data() + 40);
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(after[i].blue, 255 - before[i].blue);
    EXPECT_EQ(after[i].green, 255 - before[i].green);
    EXPECT_EQ(after[i].red, 255 - before[i].red);
    EXPECT_EQ(after[i].reserved, 0);
  }
  EXPECT_EQ(0, std::memcmp(b.data() + 40 + 64, src.data() + 40 + 64, src.size() - 104));
  ASSERT_EQ(InvertDib(b.data(), b.size()), DibStatus::kOk);
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(after[i].blue, before[i].blue);
    EXPECT_EQ(after[i].red, before[i].red);
    EXPECT_EQ(after[i].reserved, 0);
  }
}

TEST(DibTransforms, ColourTableOfAnyLengthTravelsWithThePicture) {
  std::mt19937 rng(7);
  // 24 bits with a table of 3, 8 bits with only 16 entries: the rows start behind the table.
  for (auto [bits, colors] : {std::pair<uint16_t, uint32_t>{24, 3}, {8, 16}, {1, 2}}) {
    const Block src = MakeDib(7, 5, bits, colors, rng);
    for (int code = 1; code <= 5; ++code) {
      const Block dst = Apply(src, code);
      ASSERT_EQ(dst.size(), 40 + 4 * colors + ReadDibHeader(dst.data()).biSizeImage);
      EXPECT_EQ(ReadDibHeader(dst.data()).biClrUsed, colors);
      EXPECT_EQ(0, std::memcmp(dst.data() + 40, src.data() + 40, 4 * colors));
      EXPECT_TRUE(SamePicture(Apply(dst, code <= 2 ? 3 - code : code), src));
    }
  }
}

TEST(DibTransforms, RefusalsNameTheirMessage) {
  std::mt19937 rng(8);
  CHeap heap;
  void* out = nullptr;
  size_t bytes = 0;
  auto transform = [&](const Block& b, int code = 1) {
    return TransformDib(b.data(), b.size(), code, heap, &out, &bytes);
  };

  const Block wide16 = MakeDib(4, 4, 16, 0, rng);
  EXPECT_EQ(transform(wide16), DibStatus::kUnsupportedDepth);
  Block inverted16 = wide16;
  EXPECT_EQ(InvertDib(inverted16.data(), inverted16.size()), DibStatus::kOk);
  EXPECT_EQ(inverted16, wide16);

  Block compressed = RandomDib(4, 4, 8, rng);
  Put32(compressed, 16, 1);
  EXPECT_EQ(transform(compressed), DibStatus::kCompressed);
  EXPECT_EQ(InvertDib(compressed.data(), compressed.size()), DibStatus::kCompressed);

  Block core = RandomDib(4, 4, 8, rng);
  Put32(core, 0, 12);
  EXPECT_EQ(transform(core), DibStatus::kBadHeader);
  EXPECT_EQ(InvertDib(core.data(), core.size()), DibStatus::kBadHeader);

  // Sizes that do not fit the block: short rows, a long colour table, a top-down height,
  // a width past 16 bits, and a block shorter than its header.
  Block shortRows = RandomDib(8, 8, 24, rng);
  shortRows.pop_back();
  EXPECT_EQ(transform(shortRows), DibStatus::kBadHeader);
  EXPECT_EQ(InvertDib(shortRows.data(), shortRows.size()), DibStatus::kBadHeader);
  Block longTable = RandomDib(8, 8, 8, rng);
  Put32(longTable, 32, 0x40000000);
  EXPECT_EQ(transform(longTable), DibStatus::kBadHeader);
  Block topDown = RandomDib(8, 8, 8, rng);
  Put32(topDown, 8, uint32_t(-8));
  EXPECT_EQ(transform(topDown), DibStatus::kBadHeader);
  Block wide = RandomDib(8, 8, 8, rng);
  Put32(wide, 4, 0x10008);
  EXPECT_EQ(transform(wide), DibStatus::kBadHeader);
  const Block stub(39, 0);
  EXPECT_EQ(transform(stub), DibStatus::kBadHeader);
  EXPECT_EQ(transform(RandomDib(4, 4, 8, rng), 6), DibStatus::kBadCode);
  EXPECT_EQ(out, nullptr);

  // Out of room for the second copy: the source stays as it was.
  CHeap small(1000);
  const Block big = RandomDib(40, 40, 8, rng);
  const Block before = big;
  EXPECT_EQ(TransformDib(big.data(), big.size(), 1, small, &out, &bytes), DibStatus::kNoMemory);
  EXPECT_EQ(big, before);
}

}  // namespace
}  // namespace lmx
