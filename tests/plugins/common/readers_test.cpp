// The six readers natively, under ASan and UBSan: for each kind of bad or good file, the
// messages they ask for (ids and severities) and whether a picture comes with them.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "plugins/bmp/bmp_reader.h"
#include "plugins/common/little_endian.h"
#include "plugins/gif/gif_reader.h"
#include "plugins/jpg/jpg_reader.h"
#include "plugins/pcx/pcx_reader.h"
#include "plugins/png/png_reader.h"
#include "plugins/tif/tif_reader.h"

namespace lmx {
namespace {

using Bytes = std::vector<uint8_t>;
using Said = std::vector<std::pair<uint16_t, Severity>>;
constexpr Severity E = Severity::kError;
constexpr Severity W = Severity::kWarning;

Bytes Corpus(const std::string& name, size_t keep = SIZE_MAX) {
  const bool ours = name.rfind("tests/", 0) == 0;
  std::ifstream in(std::string(ours ? LMX_SOURCE_DIR : LMX_CORPUS_DIR) + "/" + name, std::ios::binary);
  Bytes bytes(std::istreambuf_iterator<char>(in), {});
  if (keep < bytes.size()) bytes.resize(keep);
  return bytes;
}

void Put16(Bytes& b, size_t at, uint32_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(Bytes& b, size_t at, uint32_t v) {
  Put16(b, at, v & 0xFFFF);
  Put16(b, at + 2, v >> 16);
}

// A BMP file of width x height at `bits` with `compression`, pixels zero.
Bytes Bmp(uint32_t width, uint32_t height, uint32_t bits, uint32_t compression = 0) {
  const uint32_t stride = (width * bits + 31) / 32 * 4;
  const uint32_t table = bits <= 8 ? (4u << bits) : 0;
  Bytes b(54 + table + (stride * height < 4096 ? stride * height : 0));
  b[0] = 'B', b[1] = 'M';
  Put32(b, 10, 54 + table);
  Put32(b, 14, 40);
  Put32(b, 18, width);
  Put32(b, 22, height);
  Put16(b, 26, 1);
  Put16(b, 28, bits);
  Put32(b, 30, compression);
  return b;
}

// A PCX header of width x height, `bits` per plane in `planes`, plain data of `dataBytes`.
Bytes Pcx(uint32_t width, uint32_t height, uint8_t bits, uint8_t planes, size_t dataBytes, uint8_t maker = 10) {
  Bytes b(128 + dataBytes);
  b[0] = maker, b[1] = 5, b[2] = 0, b[3] = bits;
  Put16(b, 8, width - 1);
  Put16(b, 10, height - 1);
  b[65] = planes;
  Put16(b, 66, (width * bits + 7) / 8);
  return b;
}

Bytes Text(const char* s) { return Bytes(s, s + std::strlen(s)); }

constexpr const char* kJpeg = "tests/fuzz/regressions/jpg/exif_orientation_6.jpg";

struct Case {
  const char* name;
  void* (*read)(const Bytes& file, BlockHeap& heap, DecodeMessages& messages);
  Bytes file;
  Said said;
  bool picture;
};

void* Bmp(const Bytes& f, BlockHeap& h, DecodeMessages& m) {
  MemorySource s(f.data(), f.size());
  return bmp::ReadBitmapFile(s, h, m);
}
void* PcxRead(const Bytes& f, BlockHeap& h, DecodeMessages& m) {
  MemorySource s(f.data(), f.size());
  return pcx::ReadPcxFile(s, h, m);
}
void* Gif(const Bytes& f, BlockHeap& h, DecodeMessages& m) {
  MemorySource s(f.data(), f.size());
  return gif::ReadGifFile(s, h, m);
}
void* Png(const Bytes& f, BlockHeap& h, DecodeMessages& m) {
  MemorySource s(f.data(), f.size());
  return png::ReadPng(s, h, m);
}
void* Jpg(const Bytes& f, BlockHeap& h, DecodeMessages& m) { return jpg::ReadJpeg(f.data(), f.size(), h, m); }
void* Tif(const Bytes& f, BlockHeap& h, DecodeMessages& m) { return tif::ReadTiff(f.data(), f.size(), 0, h, m); }

TEST(Readers, SayWhatIsWrongByIdAndSeverity) {
  const Bytes bmp24 = Bmp(2, 2, 24);
  const Bytes rle24 = Bmp(2, 2, 24, bmp::kRle8);
  const Bytes gif88 = Text("GIF88a");
  const Bytes gifEnds = {'G', 'I', 'F', '8', '9', 'a', 2, 0, 2, 0, 0, 0, 0};
  Bytes gifTrailer = gifEnds;
  gifTrailer.push_back(0x3B);
  const Case cases[] = {
      {"bmp empty", Bmp, {}, {{bmp::kMsgNotBitmap, E}}, false},
      {"bmp cut in its header", Bmp, Bytes(bmp24.begin(), bmp24.begin() + 30),
       {{bmp::kMsgInfoHeaderRead, E}}, false},
      {"bmp 3 bits", Bmp, Bmp(2, 2, 3), {{bmp::kMsgUnknownFormat, E}}, false},
      {"bmp over the cap", Bmp, Bmp(20000, 20000, 24), {{bmp::kMsgNoMemory, E}}, false},
      {"bmp run-length at 24 bits", Bmp, rle24, {{bmp::kMsgInvalidRle, E}, {bmp::kMsgNotBitmap, E}}, false},
      {"bmp 24 bits", Bmp, bmp24, {}, true},
      {"bmp 24 bits, rows cut", Bmp, Bytes(bmp24.begin(), bmp24.end() - 5), {}, true},
      {"pcx short", PcxRead, Bytes(10), {{pcx::kMsgCantRead, E}}, false},
      {"pcx maker", PcxRead, Pcx(2, 2, 8, 1, 800, 0), {{pcx::kMsgNotPcx, E}}, false},
      {"pcx 2 bits", PcxRead, Pcx(2, 2, 2, 1, 8), {{pcx::kMsgWrongColorFormat, W}}, false},
      {"pcx 8 bits without palette room", PcxRead, Pcx(2, 2, 8, 1, 100), {{pcx::kMsgReadFailed, W}}, false},
      {"pcx 4 bits in one plane", PcxRead, Pcx(8, 2, 4, 1, 64),
       {{pcx::kMsgUnknownFormat, W}, {pcx::kMsgDecodeFailed, E}}, false},
      {"pcx 8 bits", PcxRead, [] {
         Bytes b = Pcx(2, 2, 8, 1, 4 + 769);
         b[128 + 4] = 12;
         return b;
       }(), {}, true},
      {"pcx 3 planes of 1 bit", PcxRead, Pcx(8, 2, 1, 3, 64), {{pcx::kMsgWrongColorFormat, W}}, false},
      {"gif not", Gif, Text("PNG"), {{gif::kMsgNotGif, E}}, false},
      {"gif version", Gif, gif88, {{gif::kMsgUnknownVersion, E}}, false},
      {"gif ends", Gif, gifEnds, {{gif::kMsgPrematureEnd, E}}, true},
      {"gif trailer", Gif, gifTrailer, {}, true},
      {"png not", Png, Corpus("pngsuite/xs1n0g01.png"), {{png::kMsgNotPng, E}}, false},
      {"png IHDR CRC", Png, Corpus("pngsuite/xhdn0g08.png"), {{png::kMsgBadHeader, E}}, false},
      {"png IDAT CRC", Png, Corpus("pngsuite/xcsn0g01.png"), {{png::kMsgBadData, E}}, false},
      {"png no IDAT", Png, Corpus("pngsuite/xdtn0g01.png"), {{png::kMsgBadHeader, E}}, false},
      {"png cut", Png, Corpus("pngsuite/basn2c08.png", 120), {{png::kMsgDamaged, W}}, true},
      {"png", Png, Corpus("pngsuite/basn2c08.png"), {}, true},
      {"jpg not", Jpg, Text("not a jpeg"), {{jpg::kMsgNotJpeg, E}}, false},
      {"jpg cut", Jpg, Corpus(kJpeg, 700), {{jpg::kMsgDamaged, W}}, true},
      {"jpg", Jpg, Corpus(kJpeg), {}, true},
      {"tif not", Tif, Bytes{'I', 'I', 42, 0, 'x', 'y', 'z', 0}, {{tif::kMsgCannotRead, E}}, false},
      {"tif JPEG", Tif, Corpus("pillow/child_ifd.tiff"), {{tif::kMsgJpegNotSupported, E}}, false},
      {"tif", Tif, Corpus("pillow/hopper.tif"), {}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CHeap heap;
    DecodeMessages messages;
    void* block = c.read(c.file, heap, messages);
    Said said;
    for (int i = 0; i < messages.Count(); ++i) said.emplace_back(messages.At(i).id, messages.At(i).severity);
    EXPECT_EQ(said, c.said);
    EXPECT_EQ(block != nullptr, c.picture);
    heap.Free(block);
  }
}

TEST(Readers, AGifVersionComesWithItsBytesAsTheValue) {
  const Bytes file = Text("GIF88a");
  MemorySource source(file.data(), file.size());
  CHeap heap;
  DecodeMessages messages;
  EXPECT_EQ(gif::ReadGifFile(source, heap, messages), nullptr);
  ASSERT_EQ(messages.Count(), 1);
  EXPECT_TRUE(messages.At(0).hasValue);
  EXPECT_EQ(messages.At(0).value, uint32_t{'8'} | '8' << 8 | 'a' << 16);
}

}  // namespace
}  // namespace lmx
