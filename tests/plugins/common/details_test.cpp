// The details readers natively, under ASan and UBSan: what they read from real files and from
// a written EXIF block, and that hostile structures end quickly with clean, bounded records.
#include <gtest/gtest.h>

#include <chrono>

#include "plugins/bmp/bmp_details.h"
#include "plugins/common/tiff_fields.h"
#include "plugins/gif/gif_details.h"
#include "plugins/jpg/jpg_details.h"
#include "plugins/pcx/pcx_details.h"
#include "plugins/png/png_details.h"
#include "plugins/tif/tif_details.h"
#include "tests/plugins/common/reader_test.h"
#include "tests/plugins/common/tiff_builder.h"

namespace lmx {
namespace {

using test::Ascii;
using test::Bytes;
using test::Long;
using test::Rationals;
using test::Short;

FileDetails Describe(DescribeFileFn describe, const Bytes& bytes, uint32_t index = 0) {
  FileDetails details;
  describe(bytes.data(), bytes.size(), index, details);
  return details;
}

struct CorpusCase {
  const char* file;
  DescribeFileFn describe;
  uint32_t index;
  const char* key;
  const char* value;
};

// Each as Pillow reads the same file.
const CorpusCase kCorpus[] = {
    {"pngsuite/ctzn0g04.png", png::DescribePng, 0, detail_key::kTitle, "PngSuite"},
    {"pngsuite/ctzn0g04.png", png::DescribePng, 0, detail_key::kAuthor, "Willem A.J. van Schaik (willem@schaik.com)"},
    {"pngsuite/ctzn0g04.png", png::DescribePng, 0, detail_key::kPixels, "4-bit grey"},
    {"pngsuite/ctzn0g04.png", png::DescribePng, 0, detail_key::kCopyright, "Copyright Willem van Schaik, Singapore 1995-96"},
    {"pngsuite/ctjn0g04.png", png::DescribePng, 0, detail_key::kCopyright, u8"著作権ウィレムヴァンシャイク、カナダ2011"},
    {"pngsuite/cten0g04.png", png::DescribePng, 0, detail_key::kCopyright, "Copyright Willem van Schaik, Canada 2011"},
    {"pngsuite/exif2c08.png", png::DescribePng, 0, detail_key::kCopyright, "2017 Willem van Schaik"},
    {"pngsuite/exif2c08.png", png::DescribePng, 0, detail_key::kOrientation, "Normal"},
    {"pngsuite/basi6a16.png", png::DescribePng, 0, detail_key::kFormat, "PNG, interlaced"},
    {"pngsuite/basi6a16.png", png::DescribePng, 0, detail_key::kPixels, "16-bit RGBA"},
    {"pillow/hopper_lzw.tif", tif::DescribeTiff, 0, detail_key::kFormat, "TIFF, LZW, predictor"},
    {"pillow/tiff_16bit_RGBa.tiff", tif::DescribeTiff, 0, detail_key::kPixels, "16-bit RGBA"},
    {"pillow/g4-fillorder-test.tif", tif::DescribeTiff, 0, detail_key::kResolution, "300 x 300 dpi"},
    {"pillow/g4-fillorder-test.tif", tif::DescribeTiff, 0, detail_key::kDateTaken, "2005:12:07 07:38:25"},
    {"pillow/ifd_tag_type.tiff", tif::DescribeTiff, 0, detail_key::kMake, "FLIR"},
    {"pillow/ifd_tag_type.tiff", tif::DescribeTiff, 0, detail_key::kModel, "Duo Pro R"},
    {"pillow/ifd_tag_type.tiff", tif::DescribeTiff, 0, detail_key::kResolution, "1 x 1"},
    {"pillow/hopper_bigtiff.tif", tif::DescribeTiff, 0, detail_key::kResolution, "96 x 96 dpi"},
    {"pillow/multipage.tiff", tif::DescribeTiff, 2, detail_key::kFormat, "TIFF, uncompressed, page 3 of 3"},
    {"pillow/hopper_rle8.bmp", bmp::DescribeBmp, 0, detail_key::kFormat, "BMP, Windows 3.x, RLE8"},
    {"pillow/hopper_rle8.bmp", bmp::DescribeBmp, 0, detail_key::kResolution, "3779 x 3779 pixels per metre (96 dpi)"},
    {"pillow/bmp_q_rgba32.bmp", bmp::DescribeBmp, 0, detail_key::kPixels, "8-bit RGBA"},
    {"bmpsuite/g/rgb16-565.bmp", bmp::DescribeBmp, 0, detail_key::kPixels, "5-6-5 RGB"},
    {"bmpsuite/g/pal8os2.bmp", bmp::DescribeBmp, 0, detail_key::kFormat, "BMP, OS/2 1.x"},
    {"pillow/dispose_bgnd.gif", gif::DescribeGif, 0, detail_key::kFormat, "GIF 89a, 5 frames, looping"},
    {"pillow/pil184.pcx", pcx::DescribePcx, 0, detail_key::kResolution, "298 x 298 dpi"},
    {"pillow/pil184.pcx", pcx::DescribePcx, 0, detail_key::kDimensions, "447 x 144"},
};

TEST(DetailsTest, ReadsTheCorpusAsPillowDoes) {
  for (const CorpusCase& c : kCorpus) {
    const Bytes bytes = test::FileBytes(c.file);
    ASSERT_FALSE(bytes.empty()) << c.file;
    EXPECT_EQ(Describe(c.describe, bytes, c.index).Value(c.key), c.value) << c.file << " " << c.key;
  }
}

// A camera's EXIF block: IFD0, its EXIF directory (1) and its GPS directory (2).
Bytes CameraExif(uint16_t orientation, const char* latRef, const char* lonRef, uint8_t altRef) {
  test::TiffBuilder b;
  b.AddDirectory({Ascii(0x010E, "Harbour at dusk"), Ascii(0x010F, "Canon"), Ascii(0x0110, "EOS 5D"),
                  Short(0x0112, orientation), Ascii(0x0132, "2020:01:01 00:00:00"), Ascii(0x013B, "A. Smith"),
                  Ascii(0x8298, "(c) A. Smith"), Long(0x8769, 1), Long(0x8825, 2)});
  b.AddDirectory({Rationals(0x829A, {{1, 250}}), Rationals(0x829D, {{28, 10}}), Short(0x8827, 200),
                  Ascii(0x9003, "2024:05:17 18:42:07"), Short(0x9209, 0x19), Rationals(0x920A, {{50, 1}}),
                  Ascii(0xA434, "EF50mm f/1.8 STM")});
  b.AddDirectory({Ascii(1, latRef), Rationals(2, {{33, 1}, {51, 1}, {3600, 100}}), Ascii(3, lonRef),
                  Rationals(4, {{151, 1}, {12, 1}, {3000, 100}}), {5, 1, 1, {altRef}}, Rationals(6, {{58, 1}})});
  return b.Bytes();
}

TEST(DetailsTest, ReadsACamerasExifInAJpeg) {
  const FileDetails d = Describe(jpg::DescribeJpeg, test::JpegWithExif(CameraExif(6, "S", "E", 0), 2, 2));
  const struct {
    const char* key;
    const char* value;
  } expected[] = {
      {detail_key::kFormat, "JPEG, baseline, 4:2:0"},  {detail_key::kDimensions, "64 x 48"},
      {detail_key::kPixels, "8-bit YCbCr"},            {detail_key::kDateTaken, "2024:05:17 18:42:07"},
      {detail_key::kMake, "Canon"},                    {detail_key::kModel, "EOS 5D"},
      {detail_key::kLens, "EF50mm f/1.8 STM"},         {detail_key::kExposure, "1/250 s"},
      {detail_key::kFNumber, "f/2.8"},                 {detail_key::kIso, "200"},
      {detail_key::kFocalLength, "50 mm"},             {detail_key::kFlash, "Fired, auto"},
      {detail_key::kOrientation, "Rotated 90\xC2\xB0 clockwise"},
      {detail_key::kLatitude, "33\xC2\xB0 51' 36\" S"}, {detail_key::kLongitude, "151\xC2\xB0 12' 30\" E"},
      {detail_key::kAltitude, "58 m"},                 {detail_key::kDescription, "Harbour at dusk"},
      {detail_key::kAuthor, "A. Smith"},               {detail_key::kCopyright, "(c) A. Smith"},
  };
  for (const auto& e : expected) EXPECT_EQ(d.Value(e.key), e.value) << e.key;
}

TEST(DetailsTest, ReadsEveryOrientationHemisphereAndSubsampling) {
  const struct {
    uint16_t orientation;
    const char *latRef, *lonRef;
    uint8_t altRef;
    int h, v;
    const char *orientationText, *latitude, *longitude, *altitude, *format;
  } cases[] = {
      {1, "N", "W", 1, 1, 1, "Normal", "33\xC2\xB0 51' 36\" N", "151\xC2\xB0 12' 30\" W", "-58 m", "JPEG, baseline, 4:4:4"},
      {2, "N", "E", 0, 2, 1, "Mirrored", "33\xC2\xB0 51' 36\" N", "151\xC2\xB0 12' 30\" E", "58 m", "JPEG, baseline, 4:2:2"},
      {3, "S", "W", 0, 1, 2, "Rotated 180\xC2\xB0", "33\xC2\xB0 51' 36\" S", "151\xC2\xB0 12' 30\" W", "58 m", "JPEG, baseline, 4:4:0"},
      {4, "S", "E", 0, 4, 1, "Flipped", "33\xC2\xB0 51' 36\" S", "151\xC2\xB0 12' 30\" E", "58 m", "JPEG, baseline, 4:1:1"},
      {5, "N", "E", 0, 2, 2, "Mirrored, rotated 270\xC2\xB0 clockwise", nullptr, nullptr, nullptr, nullptr},
      {7, "N", "E", 0, 2, 2, "Mirrored, rotated 90\xC2\xB0 clockwise", nullptr, nullptr, nullptr, nullptr},
      {8, "N", "E", 0, 2, 2, "Rotated 270\xC2\xB0 clockwise", nullptr, nullptr, nullptr, nullptr},
      {9, "N", "E", 0, 2, 2, "", nullptr, nullptr, nullptr, nullptr},
  };
  for (const auto& c : cases) {
    const FileDetails d = Describe(jpg::DescribeJpeg, test::JpegWithExif(CameraExif(c.orientation, c.latRef, c.lonRef, c.altRef), c.h, c.v));
    EXPECT_EQ(d.Value(detail_key::kOrientation), c.orientationText) << c.orientation;
    if (!c.latitude) continue;
    EXPECT_EQ(d.Value(detail_key::kLatitude), c.latitude);
    EXPECT_EQ(d.Value(detail_key::kLongitude), c.longitude);
    EXPECT_EQ(d.Value(detail_key::kAltitude), c.altitude);
    EXPECT_EQ(d.Value(detail_key::kFormat), c.format);
  }
}

TEST(DetailsTest, CleansTextFromTheFile) {
  const struct {
    std::string bytes;
    TextEncoding encoding;
    std::string shown;
  } cases[] = {
      {"ab\x01" "c\x7f", TextEncoding::kUtf8, "ab?c?"},
      {"  one\t\r\ntwo  ", TextEncoding::kUtf8, "one two"},
      {"caf\xC3\xA9", TextEncoding::kUtf8, "caf\xC3\xA9"},
      {"caf\xE9", TextEncoding::kLatin1, "caf\xC3\xA9"},
      {"bad \xFF\xC3", TextEncoding::kUtf8, "bad \xC3\xBF\xC3\x83"},
      {"cut\0after", TextEncoding::kUtf8, "cut"},
      {"\xC2\x85" "x\xE2\x80\xA8", TextEncoding::kUtf8, "?x?"},
      {std::string(500, 'a'), TextEncoding::kLatin1, std::string(kMaxDetailChars, 'a') + "..."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CleanText(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size(), c.encoding), c.shown);
  }
}

// Hostile structures: each ends at once, reads inside its bytes (ASan) and keeps to the bounds.
TEST(DetailsTest, HostileTiffStructuresAreBounded) {
  std::vector<Bytes> files;
  {  // a directory whose next one is itself, and whose EXIF directory is itself
    test::TiffBuilder b;
    b.AddDirectory({Ascii(0x010F, "Loop"), Long(0x8769, 0), Long(0x8825, 0)});
    b.Chain(0, 0);
    files.push_back(b.Bytes());
  }
  {  // two directories pointing at each other
    test::TiffBuilder b;
    b.AddDirectory({Short(0x0103, 5)});
    b.AddDirectory({Short(0x0103, 1)});
    b.Chain(0, 1), b.Chain(1, 0);
    files.push_back(b.Bytes());
  }
  {  // counts past the end: a text of 4 G characters and rationals past the end
    test::TiffBuilder b;
    b.AddDirectory({{0x010F, 2, 0xFFFFFFFF, {'A', 'B', 'C', 'D', 'E', 'F'}}, {0x011A, 5, 0x40000000, Bytes(8, 1)}});
    files.push_back(b.Bytes());
  }
  {  // text with control characters and no terminator at the very end
    test::TiffBuilder b;
    b.AddDirectory({{0x010E, 2, 9, {'a', 1, 'b', '\n', 'c', 0x1B, 'd', 0x7F, 'e'}}});
    files.push_back(b.Bytes());
  }
  {  // 60,000 entries, each the same tag
    Bytes f = {'I', 'I', 42, 0, 8, 0, 0, 0, 0x60, 0xEA};
    for (int i = 0; i < 60000; ++i) {
      const uint8_t entry[12] = {0x0F, 0x01, 2, 0, 4, 0, 0, 0, 'a', 'b', 'c', 0};
      f.insert(f.end(), entry, entry + 12);
    }
    files.push_back(f);
    files.push_back(Bytes(f.begin(), f.begin() + 5000));  // the same, cut
  }
  for (size_t i = 0; i < files.size(); ++i) {
    const auto start = std::chrono::steady_clock::now();
    for (uint32_t index : {0u, 1u, 70000u}) {
      const FileDetails d = Describe(tif::DescribeTiff, files[i], index);
      EXPECT_LE(d.Count(), kMaxDetailRecords);
      EXPECT_EQ(d.Text().find_first_of("\x01\x1b\x7f"), std::string::npos) << i;
      FileDetails exif;
      DescribeExif(files[i].data(), files[i].size(), exif);
      Describe(jpg::DescribeJpeg, test::JpegWithExif(Bytes(files[i].begin(), files[i].begin() + std::min<size_t>(files[i].size(), 60000)), 2, 2));
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << i;
  }
  EXPECT_EQ(TiffFields(files[0].data(), files[0].size()).DirectoryCount(), 1u);
  EXPECT_EQ(TiffFields(files[1].data(), files[1].size()).DirectoryCount(), 2u);
  // read as far as the file goes: the text, then the rationals' bytes
  EXPECT_EQ(Describe(tif::DescribeTiff, files[2]).Value(detail_key::kMake), "ABCDEF????????");
  EXPECT_EQ(Describe(tif::DescribeTiff, files[3]).Value(detail_key::kDescription), "a?b c?d?e");
  EXPECT_EQ(Describe(tif::DescribeTiff, files[4]).Value(detail_key::kMake), "abc");
}

TEST(DetailsTest, RecordsAreBounded) {
  FileDetails d;
  for (size_t i = 0; i < kMaxDetailRecords + 10; ++i) d.Add(("key" + std::to_string(i)).c_str(), "v");
  d.Add("key0", "again");
  d.Add("empty", "");
  EXPECT_EQ(d.Count(), kMaxDetailRecords);
  EXPECT_EQ(d.Value("key0"), "v");
  EXPECT_FALSE(d.Has("empty"));
}

TEST(DetailsTest, OtherFormatsAreNotTaken) {
  const Bytes png = test::FileBytes("pngsuite/basn0g01.png");
  for (DescribeFileFn describe : {bmp::DescribeBmp, pcx::DescribePcx, gif::DescribeGif, tif::DescribeTiff, jpg::DescribeJpeg}) {
    FileDetails d;
    EXPECT_FALSE(describe(png.data(), png.size(), 0, d));
    EXPECT_FALSE(describe(png.data(), 3, 0, d));
  }
}

}  // namespace
}  // namespace lmx
