// Eighth-size pictures from DC coefficients, natively: the samples against libjpeg's own eighth
// where its 1 x 1 transform makes them, the same on any number of threads, damaged data left
// to libjpeg.
#include <gtest/gtest.h>

#include <string>

#include "plugins/jpg/dc_scan.h"
#include "plugins/jpg/jpg_reader.h"
#include "tests/plugins/common/reader_test.h"
#include "tests/plugins/jpg/jpg_file.h"
#include "tests/plugins/jpg/jpg_writer.h"

namespace lmx::test {
namespace {

// The planes decoded on 1 to 4 threads, which must agree: whether each decoded, and the samples.
struct Planes {
  bool decoded = false;
  std::vector<std::vector<uint8_t>> samples;
};

Planes DecodeOnThreads(const Bytes& file) {
  Planes first;
  for (unsigned threads = 1; threads <= 4; ++threads) {
    SCOPED_TRACE("threads " + std::to_string(threads));
    EighthHeader header(file.data(), file.size());
    jpg::DcScan scan;
    if (!header.Describe(&scan)) {
      ADD_FAILURE() << "not read from DC coefficients";
      return first;
    }
    jpg::DcPlanes planes;
    Planes got;
    got.decoded = planes.Decode(scan, threads);
    for (unsigned c = 0; got.decoded && c < scan.components; ++c) {
      const jpg::DcComponent& k = scan.component[c];
      const uint32_t width = scan.mcusAcross * k.across, height = scan.mcusDown * k.down;
      got.samples.emplace_back(planes.Row(c, 0), planes.Row(c, 0) + size_t{width} * height);
    }
    if (threads == 1) {
      first = got;
    } else {
      EXPECT_EQ(got.decoded, first.decoded);
      EXPECT_TRUE(got.samples == first.samples);
    }
  }
  return first;
}

TEST(DcScan, SamplesAreLibjpegsEighthOnAnyNumberOfThreads) {
  struct Case {
    const char* name;
    Bytes file;
    bool read;  // from DC coefficients at all
  };
  const Case cases[] = {
      {"grey", WriteJpeg(1000, 600, {1, 1, 1, false, 0, true}), true},
      {"4:2:0", WriteJpeg(1000, 600, {3, 2, 2, false, 0, true}), true},
      {"4:2:2, odd size", WriteJpeg(997, 611, {3, 2, 1, false, 0, true}), true},
      {"4:4:4", WriteJpeg(640, 480, {3, 1, 1, false, 0, true}), true},
      {"RGB", WriteJpeg(640, 480, {3, 1, 1, true, 0, true}), true},
      {"testorig", FileBytes(std::string(LMX_JPEG_TESTIMAGES) + "/testorig.jpg"), true},
      {"restart markers", WriteJpeg(640, 480, {3, 2, 2, false, 1, true}), true},
      {"restart markers, grey, odd size", WriteJpeg(997, 611, {1, 1, 1, false, 3, true}), true},
      {"testimgint", FileBytes(std::string(LMX_JPEG_TESTIMAGES) + "/testimgint.jpg"), true},
      {"progressive", FileBytes(std::string(LMX_SOURCE_DIR) + "/tests/fuzz/regressions/jpg/progressive_grey.jpg"), false},
      {"arithmetic", FileBytes(std::string(LMX_JPEG_TESTIMAGES) + "/testimgari.jpg"), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    jpg::DcScan scan;
    EighthHeader header(c.file.data(), c.file.size());
    ASSERT_EQ(header.Describe(&scan), c.read);
    if (!c.read) continue;
    const Planes planes = DecodeOnThreads(c.file);
    ASSERT_TRUE(planes.decoded);
    // A component sampled as fully as any other comes from libjpeg's 1 x 1 transform too.
    j_decompress_ptr cinfo = header.cinfo();
    const std::vector<uint8_t> eighth = header.Decode();
    ASSERT_FALSE(eighth.empty());
    const unsigned n = scan.components;
    for (unsigned k = 0; k < n; ++k) {
      if (n > 1 && (cinfo->comp_info[k].h_samp_factor != cinfo->max_h_samp_factor ||
                    cinfo->comp_info[k].v_samp_factor != cinfo->max_v_samp_factor)) {
        continue;
      }
      const size_t stride = size_t{scan.mcusAcross} * scan.component[k].across;
      size_t differ = 0;
      for (uint32_t y = 0; y < cinfo->output_height; ++y) {
        for (uint32_t x = 0; x < cinfo->output_width; ++x) {
          differ += eighth[(size_t{y} * cinfo->output_width + x) * n + k] != planes.samples[k][y * stride + x];
        }
      }
      EXPECT_EQ(differ, 0u) << "component " << k;
    }
  }
}

// Where the image data starts, after the scan header.
size_t ImageData(const Bytes& file) {
  size_t at = FrameHeader(file);
  while (file[at] != 0xFF || file[at + 1] != 0xDA) ++at;
  return at + 2 + (file[at + 2] << 8 | file[at + 3]);
}

TEST(DcScan, DamagedDataIsLeftToLibjpeg) {
  const Bytes good = WriteJpeg(1200, 900, {3, 2, 2, false, 0, true});
  const size_t start = ImageData(good);
  // Cut short anywhere in the data: never read from DC coefficients.
  for (size_t cut : {start + 10, good.size() / 2, good.size() - 40}) {
    SCOPED_TRACE("cut at " + std::to_string(cut));
    EXPECT_FALSE(DecodeOnThreads(Cut(good, cut)).decoded);
  }
  // Changed bytes: whatever comes, the threads agree (DecodeOnThreads checks).
  for (size_t at : {good.size() / 5, good.size() / 2, good.size() * 3 / 4}) {
    SCOPED_TRACE("byte changed at " + std::to_string(at));
    for (uint8_t value : {0x00, 0x5A, 0xFF}) {
      Bytes bad = good;
      bad[at] = value;
      DecodeOnThreads(bad);
    }
  }
  // A restart marker out of its turn, or cut away.
  Bytes restarts = WriteJpeg(1200, 900, {3, 2, 2, false, 2, true});
  size_t marker = ImageData(restarts);
  while (restarts[marker] != 0xFF || restarts[marker + 1] != 0xD0) ++marker;
  Bytes wrongTurn = restarts, missing = restarts;
  wrongTurn[marker + 1] = 0xD3;
  missing.erase(missing.begin() + static_cast<long>(marker), missing.begin() + static_cast<long>(marker) + 2);
  EXPECT_TRUE(DecodeOnThreads(restarts).decoded);
  EXPECT_FALSE(DecodeOnThreads(wrongTurn).decoded);
  EXPECT_FALSE(DecodeOnThreads(missing).decoded);
  // Through the reader, a cut file's eighth is libjpeg's, with its warning.
  const Bytes cut = Cut(good, good.size() / 2);
  const Decoded dib([&](BlockHeap& heap, DecodeMessages& messages) {
    MemorySource source(cut.data(), cut.size());
    PictureSize full;
    return jpg::ReadJpegFile({source, cut.data(), cut.size(), 0, 100, 100, &full}, heap, messages, nullptr);
  });
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib.Header().biWidth, 150);
  EXPECT_EQ(dib.Messages(), (Said{{jpg::kMsgDamaged, W}}));
}

}  // namespace
}  // namespace lmx::test
