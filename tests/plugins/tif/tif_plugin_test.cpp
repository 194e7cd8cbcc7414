// The TIFF plug-in as the host loads it: its messages as it shows them, and its pages counted
// through LMX_GetFileInfo. What it decodes: tif_reader_test.cpp.
#include <algorithm>

#include "tests/plugins/common/plugin_fixture.h"
#include "tests/plugins/common/tiff_builder.h"

namespace lmx::test {
namespace {

const wchar_t* const kDll = L"zlx_tif.dll";

// A one-strip page of 1 x 1 of `photometric` with `bits` for each of its samples.
std::vector<uint8_t> Page(uint32_t width, uint16_t photometric, std::vector<uint16_t> bits, uint16_t compression = 1) {
  TiffBuilder b;
  b.AddDirectory({Long(256, width), Long(257, width), Shorts(258, bits), Short(259, compression),
                  Short(262, photometric), Short(277, static_cast<uint16_t>(bits.size()))},
                 {{0, 0, 0, 0}});
  return b.Bytes();
}

TEST(TifPlugin, ShowsEachMessageWithItsCaptionAndText) {
  const std::vector<uint8_t> garbage = {'I', 'I', 42, 0, 0xFF, 0xFF, 0, 0};
  const std::wstring cannotRead = L"Message...: Can't read TIFF-File!";
  ExpectShown(kDll, L".tif", {
      {"no name", {}, {cannotRead}, kNullName},
      {"no file", {}, {cannotRead}, L"Z:\\nonexistent\\picture.tif"},
      {"no directory", garbage, {cannotRead}, nullptr},
      {"100000 squared", Page(100000, 1, {8}), {L"Message...: There is not enough memory!"}, nullptr},
      {"JPEG", Page(1, 2, {8, 8, 8}, 7), {L"Message...: JPEG-Format wird nicht unterst\u00FCtzt!"}, nullptr},
      {"16 bits", Page(1, 1, {16}), {L"Message...: Invalid color format in TIFF-File!"}, nullptr},
      {"mask", Page(1, 4, {1}), {L"Message...: No Transpartmasks-Color format supported!"}, nullptr},
      {"CMYK", Page(1, 5, {8, 8, 8, 8}), {L"Message...: No CMYK-Color format supported!"}, nullptr},
      {"YCbCr", Page(1, 6, {8, 8, 8}), {L"Message...: No YCbCr-Color format supported!"}, nullptr},
      {"L*a*b*", Page(1, 8, {8, 8, 8}), {L"Message...: No CIE L*a*b*-Color format supported!"}, nullptr},
      {"LZMA", Page(1, 1, {8}, 34925), {L"Message...: TIFF-Compression 34925 is not supported!"}, nullptr},
      {"damaged Deflate", Page(1, 1, {8}, 8), {L"Message...: Damaged image data in TIFF-File!"}, nullptr},
  });
}

// A quiet reduced decode tells a compression without a codec and a damaged strip apart.
TEST(TifPlugin, AQuietReducedDecodeTellsAMissingCodecFromADamagedStrip) {
  Plugin plugin(kDll);
  MessageCapture capture;
  auto reduced = reinterpret_cast<LmxLoadGfxFileReducedFn>(GetProcAddress(plugin.module, "LMX_LoadGfxFileReduced"));
  ASSERT_NE(reduced, nullptr);
  for (auto [compression, status] : {std::pair<uint16_t, DWORD>{34925, kReducedUnsupported}, {8, kReducedBroken}}) {
    TempFile file(Page(64, 1, {8}, compression), L".tif");
    DWORD width = 0, height = 0, got = 99;
    EXPECT_EQ(reduced(file.Path(), 0, 16, 16, kReducedQuiet, &width, &height, &got), nullptr);
    EXPECT_EQ(got, status) << compression;
  }
  EXPECT_TRUE(Boxes(capture).empty());
}

TEST(TifPlugin, CountsPagesOfAFileItCanReadAndNeedsANameAndACount) {
  Plugin plugin(kDll);
  MessageCapture capture;
  struct Expect {
    const wchar_t* name;
    DWORD images;
  };
  for (Expect e : {Expect{L"pillow\\hopper_lzw.tif", 1}, Expect{L"pillow\\hopper_g4.tif", 1},
                   Expect{L"pillow\\g4-multi.tiff", 3}, Expect{L"pillow\\no_rows_per_strip.tif", 3}}) {
    DWORD count = 0;
    EXPECT_TRUE(plugin.getInfo((CorpusDir() + e.name).c_str(), &count));
    EXPECT_EQ(count, e.images);
  }
  DWORD count = 77;
  EXPECT_FALSE(plugin.getInfo(L"", &count));
  EXPECT_FALSE(plugin.getInfo(nullptr, &count));
  EXPECT_FALSE(plugin.getInfo((CorpusDir() + L"pillow\\hopper_lzw.tif").c_str(), nullptr));
  EXPECT_TRUE(Boxes(capture).empty());
  EXPECT_EQ(count, 77u);

  TempFile garbage(std::vector<uint8_t>{'I', 'I', 42, 0, 0xFF, 0xFF, 0, 0}, L".tif");
  EXPECT_FALSE(plugin.getInfo(garbage.Path(), &count));
  EXPECT_EQ(Boxes(capture), std::vector<std::wstring>{L"Message...: Can't read TIFF-File!"});
  // Each index loads its page, an index beyond them the last.
  TiffBuilder pages;
  for (uint32_t width : {2u, 3u, 4u}) {
    const size_t at = pages.AddDirectory({Long(256, width), Long(257, 1), Short(258, 8), Short(259, 1), Short(262, 1)},
                                         {std::vector<uint8_t>(width, 9)});
    if (at) pages.Chain(at - 1, at);
  }
  TempFile file(pages.Bytes(), L".tif");
  EXPECT_TRUE(plugin.getInfo(file.Path(), &count));
  EXPECT_EQ(count, 3u);
  for (DWORD index : {0u, 1u, 2u, 5u}) {
    Dib dib(plugin.load(file.Path(), index));
    ASSERT_TRUE(dib) << index;
    EXPECT_EQ(dib.Header().biWidth, static_cast<int32_t>(2 + std::min<DWORD>(index, 2)));
  }
  EXPECT_TRUE(Boxes(capture).empty());
}

}  // namespace
}  // namespace lmx::test
