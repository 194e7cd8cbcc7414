// The PNG reader natively on PngSuite and on files patched or cut from it. Its pixels are
// compared with an independent reading by the png corpus check.
#include <cstring>
#include <filesystem>

#include "plugins/png/png_reader.h"
#include "tests/plugins/common/reader_test.h"
#include "tests/plugins/png/png_file.h"

namespace lmx::test {
namespace {

Bytes Suite(const std::string& name) { return FileBytes("pngsuite/" + name); }

Decoded Read(const Bytes& file) { return ReadSource(png::ReadPng, file); }

TEST(PngReader, SaysWhatIsWrongWithAFile) {
  const Bytes good = Suite("basn2c08.png");
  std::vector<Answer> answers = {
      {"empty", {}, {{png::kMsgNotPng, E}}, false},
      {"cut inside IHDR", Bytes(good.begin(), good.begin() + 20), {{png::kMsgBadHeader, E}}, false},
      {"60000 squared", WithSize(good, 60000, 60000), {{png::kMsgNoMemory, E}}, false},
      {"cut", Bytes(good.begin(), good.begin() + 120), {{png::kMsgDamaged, W}}, true},
      {"whole", good, {}, true},
  };
  for (const char* name : {"xs1n0g01", "xs2n0g01", "xs4n0g01", "xs7n0g01", "xcrn0g04", "xlfn0g04"}) {
    answers.push_back({name, Suite(std::string(name) + ".png"), {{png::kMsgNotPng, E}}, false});
  }
  for (const char* name : {"xc1n0g08", "xc9n2c08", "xd0n2c08", "xd3n2c08", "xd9n2c08", "xhdn0g08", "xdtn0g01"}) {
    answers.push_back({name, Suite(std::string(name) + ".png"), {{png::kMsgBadHeader, E}}, false});
  }
  // An IDAT that fails its CRC.
  answers.push_back({"xcsn0g01", Suite("xcsn0g01.png"), {{png::kMsgBadData, E}}, false});
  ExpectAnswers(Read, answers);
}

TEST(PngReader, EachColourTypeAndDepthTakesItsForm) {
  struct Case {
    const char* name;
    uint16_t bits;
    uint32_t colors;
  };
  const Case cases[] = {
      {"basn0g01.png", 8, 256}, {"basn0g02.png", 8, 256}, {"basn0g16.png", 8, 256},  // grey: 8-bit grey
      {"basn4a16.png", 8, 256}, {"tbbn0g04.png", 8, 256},                          // grey over white
      {"basn3p01.png", 1, 2},   {"basn3p02.png", 4, 16},  {"basi3p02.png", 4, 16},   // 2 bits widen to 4
      {"basn3p04.png", 4, 16},  {"basn3p08.png", 8, 256}, {"tp0n3p08.png", 8, 256},
      {"tbbn3p08.png", 24, 0},  {"tm3n3p02.png", 24, 0},                           // palettes with alpha
      {"basn2c16.png", 24, 0},  {"basi6a16.png", 24, 0},  {"tbrn2c08.png", 24, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Decoded dib = Read(Suite(c.name));
    ASSERT_TRUE(dib);
    const DibHeader h = dib.Header();
    EXPECT_EQ(h.biWidth, 32);
    EXPECT_EQ(h.biHeight, 32);
    EXPECT_EQ(h.biBitCount, c.bits);
    EXPECT_EQ(h.biClrUsed, c.colors);
    EXPECT_EQ(h.biSizeImage, DibStride(32, c.bits) * 32);
    EXPECT_EQ(h.biXPelsPerMeter, kDefaultPelsPerMeter);
    EXPECT_TRUE(dib.Messages().empty());
  }
  // A resolution in pixels per metre is kept; one of unknown unit is only an aspect ratio.
  const Decoded metres = Read(Suite("cdun2c08.png"));
  ASSERT_TRUE(metres);
  EXPECT_EQ(metres.Header().biXPelsPerMeter, 1000);
  const Decoded aspect = Read(Suite("cdfn2c08.png"));
  ASSERT_TRUE(aspect);
  EXPECT_EQ(aspect.Header().biYPelsPerMeter, kDefaultPelsPerMeter);
}

TEST(PngReader, ImageDataThatEndsOrBreaksShowsWhatCameWithAWarning) {
  // Plain and interlaced, cut in their image data; and deflate data broken inside a chunk
  // whose CRC still holds.
  for (const char* name : {"basn2c08.png", "basi2c08.png", "broken"}) {
    SCOPED_TRACE(name);
    const bool broken = std::strcmp(name, "broken") == 0;
    Bytes bytes = Suite(broken ? "basn2c08.png" : name);
    const size_t idat = Chunk(bytes, "IDAT");
    if (broken) {
      for (size_t i = 0; i < 16; ++i) bytes[idat + 8 + Be32(bytes, idat) / 2 + i] ^= 0x5A;
      FixCrc(bytes, idat);
    } else {
      bytes.resize(idat + 8 + Be32(bytes, idat) / 2);
    }
    const Decoded dib = Read(bytes);
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib.Header().biBitCount, 24);
    EXPECT_EQ(dib.Messages(), (Said{{png::kMsgDamaged, W}}));
    // The top row came (the last DIB row). The bottom one did not: it stays zero, or in an
    // interlaced file holds the pixels of the passes that came, spread.
    EXPECT_NE(dib.RowBytes(31, 96), Bytes(96, 0));
    if (std::strcmp(name, "basi2c08.png") != 0) EXPECT_EQ(dib.RowBytes(0, 96), Bytes(96, 0));
  }
}

// The file with its IDAT run made again from `data` (the zlib stream), in chunks of `chunk` bytes.
Bytes WithImageData(const Bytes& file, const Bytes& data, size_t chunk) {
  const size_t first = Chunk(file, "IDAT");
  size_t end = first;
  while (end + 12 <= file.size() && std::memcmp(&file[end + 4], "IDAT", 4) == 0) end += 12 + Be32(file, end);
  Bytes out(file.begin(), file.begin() + first);
  for (size_t at = 0; at < data.size(); at += chunk) {
    const size_t n = std::min(chunk, data.size() - at), start = out.size();
    out.resize(start + 12 + n);
    PutBe32(out, start, static_cast<uint32_t>(n));
    std::memcpy(&out[start + 4], "IDAT", 4);
    std::memcpy(&out[start + 8], &data[at], n);
    FixCrc(out, start);
  }
  out.insert(out.end(), file.begin() + end, file.end());
  return out;
}

// The zlib stream of a file's IDAT run.
Bytes ImageData(const Bytes& file) {
  Bytes data;
  for (size_t at = Chunk(file, "IDAT"); at + 12 <= file.size() && std::memcmp(&file[at + 4], "IDAT", 4) == 0;
       at += 12 + Be32(file, at)) {
    data.insert(data.end(), file.begin() + at + 8, file.begin() + at + 8 + Be32(file, at));
  }
  return data;
}

TEST(PngReader, AMappedFileWantedWholeDecodesAsTheStreamDoes) {
  // Its image data inflated at once where that cannot change the outcome, and by zlib as it
  // comes where libdeflate finds it broken: every PngSuite file, and image data rechunked,
  // broken, cut inside the stream, followed by bytes past the stream's end, or by extra rows.
  std::vector<std::pair<std::string, Bytes>> files;
  for (const auto& entry : std::filesystem::directory_iterator(std::string(LMX_CORPUS_DIR) + "/pngsuite")) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() == ".png") files.emplace_back(name, Suite(name));
  }
  const Bytes plain = Suite("basn2c08.png");
  const Bytes data = ImageData(plain);
  Bytes broken = data, cut(data.begin(), data.end() - 9), longer = data;
  for (size_t i = 0; i < 16; ++i) broken[data.size() / 2 + i] ^= 0x5A;
  longer.insert(longer.end(), {1, 2, 3});
  files.emplace_back("one-byte chunks", WithImageData(plain, data, 1));
  files.emplace_back("broken", WithImageData(plain, broken, 1000));
  files.emplace_back("cut", WithImageData(plain, cut, 1000));
  files.emplace_back("longer", WithImageData(plain, longer, 1000));
  files.emplace_back("other rows", WithImageData(WithSize(plain, 32, 31), data, 1000));
  files.emplace_back("more rows", WithImageData(WithSize(plain, 32, 33), data, 1000));
  for (const auto& named : files) {
    SCOPED_TRACE(named.first);
    const Bytes& file = named.second;
    const Decoded stream = Read(file);
    const Decoded mapped([&](BlockHeap& heap, DecodeMessages& messages) {
      MemorySource source(file.data(), file.size());
      return png::ReadPngFile({source, file.data(), file.size(), 0}, heap, messages, nullptr);
    });
    ASSERT_EQ(bool(stream), bool(mapped));
    EXPECT_EQ(stream.Messages(), mapped.Messages());
    if (!stream) continue;
    ASSERT_EQ(stream.Shape(), mapped.Shape());
    const size_t bytes = kInfoHeaderSize + stream.Header().biClrUsed * 4 + stream.Header().biSizeImage;
    EXPECT_EQ(std::memcmp(stream.Bytes(), mapped.Bytes(), bytes), 0);
  }
}

TEST(PngReader, APictureOverTheBlockCapIsRefusedBeforeABlockIsAsked) {
  const Bytes huge = WithSize(Suite("basn6a16.png"), 60000, 60000);
  MemorySource file(huge.data(), huge.size());
  RecordingHeap heap;
  DecodeMessages messages;
  EXPECT_EQ(png::ReadPng(file, heap, messages), nullptr);
  EXPECT_TRUE(heap.asked.empty());
  ASSERT_EQ(messages.Count(), 1);
  EXPECT_EQ(messages[0], png::kMsgNoMemory);
}

}  // namespace
}  // namespace lmx::test
