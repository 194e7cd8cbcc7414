// The PNG plug-in on PngSuite and on files patched or cut from it. Its pixels are compared
// with an independent reading by the png corpus check.
#include <zlib.h>

#include <cstring>

#include "plugins/png/png_reader.h"
#include "tests/plugins/plugin_fixture.h"

namespace lmx::test {
namespace {

std::wstring Suite(const wchar_t* name) { return CorpusDir() + L"pngsuite\\" + name; }

uint32_t Be32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t{b[at]} << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}
void PutBe32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (24 - 8 * i));
}

// Offset of the first chunk of `type` (its length field).
size_t Chunk(const std::vector<uint8_t>& b, const char* type) {
  for (size_t at = 8; at + 12 <= b.size(); at += 12 + Be32(b, at)) {
    if (std::memcmp(&b[at + 4], type, 4) == 0) return at;
  }
  return 0;
}

// The chunk at `at` with its CRC made right again after a patch.
void FixCrc(std::vector<uint8_t>& b, size_t at) {
  const uint32_t length = Be32(b, at);
  PutBe32(b, at + 8 + length, static_cast<uint32_t>(crc32(0, &b[at + 4], length + 4)));
}

std::vector<uint8_t> WithSize(std::vector<uint8_t> b, uint32_t width, uint32_t height) {
  const size_t ihdr = Chunk(b, "IHDR");
  PutBe32(b, ihdr + 8, width);
  PutBe32(b, ihdr + 12, height);
  FixCrc(b, ihdr);
  return b;
}

class PngPlugin : public PluginTest {
 protected:
  PngPlugin() : PluginTest(L"zlx_png.dll", L".png") {}
};

TEST_F(PngPlugin, EachColourTypeAndDepthTakesItsForm) {
  struct Case {
    const wchar_t* name;
    uint16_t bits;
    uint32_t colors;
  };
  const Case cases[] = {
      {L"basn0g01.png", 8, 256}, {L"basn0g02.png", 8, 256}, {L"basn0g16.png", 8, 256},  // grey: 8-bit grey
      {L"basn4a16.png", 8, 256}, {L"tbbn0g04.png", 8, 256},                           // grey over white
      {L"basn3p01.png", 1, 2},   {L"basn3p02.png", 4, 16},  {L"basi3p02.png", 4, 16},   // 2 bits widen to 4
      {L"basn3p04.png", 4, 16},  {L"basn3p08.png", 8, 256}, {L"tp0n3p08.png", 8, 256},
      {L"tbbn3p08.png", 24, 0},  {L"tm3n3p02.png", 24, 0},                            // palettes with alpha
      {L"basn2c16.png", 24, 0},  {L"basi6a16.png", 24, 0},  {L"tbrn2c08.png", 24, 0},
  };
  for (const Case& c : cases) {
    Dib dib(plugin.load(Suite(c.name).c_str(), 0));
    ASSERT_TRUE(dib) << c.name;
    const DibHeader h = dib.Header();
    EXPECT_EQ(h.biWidth, 32) << c.name;
    EXPECT_EQ(h.biHeight, 32) << c.name;
    EXPECT_EQ(h.biBitCount, c.bits) << c.name;
    EXPECT_EQ(h.biClrUsed, c.colors) << c.name;
    EXPECT_EQ(h.biSizeImage, DibStride(32, c.bits) * 32) << c.name;
    EXPECT_EQ(h.biXPelsPerMeter, kDefaultPelsPerMeter) << c.name;
  }
  // A resolution in pixels per metre is kept; one of unknown unit is only an aspect ratio.
  Dib metres(plugin.load(Suite(L"cdun2c08.png").c_str(), 0));
  ASSERT_TRUE(metres);
  EXPECT_EQ(metres.Header().biXPelsPerMeter, 1000);
  Dib aspect(plugin.load(Suite(L"cdfn2c08.png").c_str(), 0));
  ASSERT_TRUE(aspect);
  EXPECT_EQ(aspect.Header().biYPelsPerMeter, kDefaultPelsPerMeter);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(PngPlugin, RefusesWhatIsNotAPngOrBrokenWithOneBox) {
  const wchar_t* notPng = L"Error...: No valid PNG-File!";
  const wchar_t* header = L"Error...: Error in the header of the PNG-File!";
  const wchar_t* data = L"Error...: The image data of the PNG-File are damaged!";
  const std::pair<const wchar_t*, const wchar_t*> suite[] = {
      {L"xs1n0g01.png", notPng}, {L"xs2n0g01.png", notPng}, {L"xs4n0g01.png", notPng}, {L"xs7n0g01.png", notPng},
      {L"xcrn0g04.png", notPng}, {L"xlfn0g04.png", notPng}, {L"xc1n0g08.png", header}, {L"xc9n2c08.png", header},
      {L"xd0n2c08.png", header}, {L"xd3n2c08.png", header}, {L"xd9n2c08.png", header}, {L"xhdn0g08.png", header},
      {L"xdtn0g01.png", header}, {L"xcsn0g01.png", data},  // an IDAT that fails its CRC
  };
  for (const auto& [name, text] : suite) {
    EXPECT_EQ(plugin.load(Suite(name).c_str(), 0), nullptr) << name;
    EXPECT_EQ(Boxes(), std::vector<std::wstring>{text}) << name;
  }
  const std::vector<uint8_t> good = ReadWholeFile(Suite(L"basn2c08.png"));
  const std::pair<std::vector<uint8_t>, const wchar_t*> patched[] = {
      {{}, notPng},
      {std::vector<uint8_t>(good.begin(), good.begin() + 20), header},  // cut inside IHDR
      {WithSize(good, 60000, 60000), L"Error...: There is not enough memory for this PNG picture!"},
  };
  for (const auto& [bytes, text] : patched) {
    EXPECT_EQ(Load(bytes), nullptr) << bytes.size();
    EXPECT_EQ(Boxes(), std::vector<std::wstring>{text}) << bytes.size();
  }
  EXPECT_EQ(plugin.load(L"Z:\\nonexistent\\picture.png", 0), nullptr);
  EXPECT_EQ(Boxes(), std::vector<std::wstring>{L"Error...: Can't open PNG-File!"});
}

TEST_F(PngPlugin, ImageDataThatEndsOrBreaksShowsWhatCameWithAWarning) {
  const wchar_t* warning =
      L"Warning...: The PNG-File is damaged or incomplete. The picture is shown as far as it could be read.";
  // Plain and interlaced, cut in their image data; and deflate data broken inside a chunk
  // whose CRC still holds.
  for (const wchar_t* name : {L"basn2c08.png", L"basi2c08.png", L"broken"}) {
    const bool broken = std::wstring(name) == L"broken";
    std::vector<uint8_t> bytes = ReadWholeFile(Suite(broken ? L"basn2c08.png" : name));
    const size_t idat = Chunk(bytes, "IDAT");
    if (broken) {
      for (size_t i = 0; i < 16; ++i) bytes[idat + 8 + Be32(bytes, idat) / 2 + i] ^= 0x5A;
      FixCrc(bytes, idat);
    } else {
      bytes.resize(idat + 8 + Be32(bytes, idat) / 2);
    }
    Dib dib(Load(bytes));
    ASSERT_TRUE(dib) << name;
    EXPECT_EQ(dib.Header().biBitCount, 24);
    EXPECT_EQ(Boxes(), std::vector<std::wstring>{warning}) << name;
    // The top row came (the last DIB row). The bottom one did not: it stays zero, or in an
    // interlaced file holds the pixels of the passes that came, spread.
    EXPECT_NE(std::vector<uint8_t>(dib.Row(31), dib.Row(31) + 96), std::vector<uint8_t>(96, 0)) << name;
    if (std::wstring(name) != L"basi2c08.png") {
      EXPECT_EQ(std::vector<uint8_t>(dib.Row(0), dib.Row(0) + 96), std::vector<uint8_t>(96, 0)) << name;
    }
  }
}

// A heap that records what it is asked for and gives nothing.
class RecordingHeap final : public BlockHeap {
 public:
  void* Alloc(size_t size) override {
    asked.push_back(size);
    return nullptr;
  }
  void Free(void*) override {}
  bool OutOfMemory() const override { return true; }
  std::vector<size_t> asked;
};

TEST(PngReader, APictureOverTheBlockCapIsRefusedBeforeABlockIsAsked) {
  const std::vector<uint8_t> huge = WithSize(ReadWholeFile(Suite(L"basn6a16.png")), 60000, 60000);
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
