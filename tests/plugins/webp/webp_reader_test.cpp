// The WebP reader natively on small files Pillow wrote (the fuzzer's seeds) and on files cut,
// damaged or made up from them. Its pixels are compared with Pillow's reading of files written
// at test time by the webp corpus check.
#include <cstring>

#include "plugins/common/over_white.h"
#include "plugins/common/packed_dib.h"
#include "plugins/webp/webp_details.h"
#include "plugins/webp/webp_frame.h"
#include "plugins/webp/webp_reader.h"
#include "tests/plugins/common/reader_test.h"

namespace lmx::test {
namespace {

Bytes Seed(const std::string& name) { return FileBytes("tests/fuzz/regressions/webp/" + name); }

Decoded Read(const Bytes& file) {
  return ReadSource([](ByteSource& source, BlockHeap& heap, DecodeMessages& messages) {
    return webp::ReadWebp(source, heap, messages);
  }, file);
}

void PutLe(Bytes& b, size_t at, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// An animated file of a canvas of width x height holding one frame: the first frame of the
// animated seed (its ANMF chunk), placed as it was.
Bytes AnimatedCanvas(uint32_t width, uint32_t height) {
  Bytes file = Seed("animated.webp");
  EXPECT_EQ(std::memcmp(file.data() + 12, "VP8X", 4), 0);
  PutLe(file, 24, width - 1, 3);
  PutLe(file, 27, height - 1, 3);
  return file;
}

TEST(WebpReader, SaysWhatIsWrongWithAFile) {
  const Bytes lossy = Seed("lossy.webp");
  Bytes wave = lossy;
  std::memcpy(wave.data() + 8, "WAVE", 4);
  Bytes badFrame = lossy;
  badFrame[20 + 3] ^= 0xFF;  // the start code of the VP8 frame
  const Bytes lossless = Seed("lossless.webp");
  std::vector<Answer> answers = {
      {"empty", {}, {{webp::kMsgNotWebp, E}}, false},
      {"a RIFF of another kind", wave, {{webp::kMsgNotWebp, E}}, false},
      {"cut inside the frame header", Bytes(lossy.begin(), lossy.begin() + 24), {{webp::kMsgBadHeader, E}}, false},
      {"a broken start code", badFrame, {{webp::kMsgBadHeader, E}}, false},
      {"cut before any row", Bytes(lossless.begin(), lossless.begin() + 40), {{webp::kMsgBadData, E}}, false},
      {"a canvas of 20000 squared", AnimatedCanvas(20000, 20000), {{webp::kMsgNoMemory, E}}, false},
  };
  for (const char* name : {"lossy.webp", "lossless.webp", "alpha_lossy.webp", "alpha_lossless.webp", "extended.webp",
                           "animated.webp"}) {
    answers.push_back({name, Seed(name), {}, true});
  }
  ExpectAnswers(Read, answers);
}

TEST(WebpReader, EveryKindGivesTwentyFourBitsOfItsSize) {
  for (const char* name : {"lossy.webp", "lossless.webp", "alpha_lossy.webp", "alpha_lossless.webp", "extended.webp"}) {
    SCOPED_TRACE(name);
    const Decoded dib = Read(Seed(name));
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib.Shape(), (Shape{40, 30, 1, 24, 0, static_cast<int64_t>(DibStride(40, 24) * 30), kDefaultPelsPerMeter,
                                  kDefaultPelsPerMeter, 0, 0}));
  }
}

TEST(WebpReader, TransparencyIsCompositedOverWhite) {
  // The seed's alpha is (x * 37 + y * 11) % 256: the top left pixel is transparent, the one
  // right of it has alpha 37 over red 6 (x * 255 / 39), green 0, blue 0.
  const Decoded dib = Read(Seed("alpha_lossless.webp"));
  ASSERT_TRUE(dib);
  const Bytes top = dib.RowBytes(29, 6);
  EXPECT_EQ(top, (Bytes{255, 255, 255, OverWhite(0, 37), OverWhite(0, 37), OverWhite(6, 37)}));
}

TEST(WebpReader, AnAnimationGivesItsFirstFrameOnTheCanvas) {
  // Frame 0 is a box of green 200, blue 90 from (4, 6) to (20, 20) on a transparent 48 x 36 canvas.
  const Decoded dib = Read(Seed("animated.webp"));
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib.Header().biWidth, 48);
  EXPECT_EQ(dib.Header().biHeight, 36);
  EXPECT_EQ(dib.RowBytes(35, 3), (Bytes{255, 255, 255}));  // top left: the canvas
  const uint8_t* inside = dib.Row(35 - 10) + 10 * 3;
  EXPECT_EQ(Bytes(inside, inside + 3), (Bytes{90, 200, 0}));
}

TEST(WebpReader, ImageDataThatEndsOrBreaksShowsWhatCameWithAWarning) {
  for (const char* name : {"lossless.webp", "alpha_lossless.webp"}) {
    SCOPED_TRACE(name);
    const Bytes whole = Seed(name);
    const Decoded cut = Read(Bytes(whole.begin(), whole.begin() + whole.size() * 9 / 10));
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut.Messages(), (Said{{webp::kMsgDamaged, W}}));
    const Decoded full = Read(whole);
    EXPECT_EQ(cut.RowBytes(29, 120), full.RowBytes(29, 120));  // the top row came
    EXPECT_EQ(cut.RowBytes(0, 120), Bytes(120, 0));            // the bottom one did not
  }
}

TEST(WebpReader, APictureOverTheBlockCapIsRefusedBeforeABlockIsAsked) {
  const Bytes huge = AnimatedCanvas(20000, 20000);
  MemorySource file(huge.data(), huge.size());
  RecordingHeap heap;
  DecodeMessages messages;
  EXPECT_EQ(webp::ReadWebp(file, heap, messages), nullptr);
  EXPECT_TRUE(heap.asked.empty());
  ASSERT_EQ(messages.Count(), 1);
  EXPECT_EQ(messages[0], webp::kMsgNoMemory);
}

TEST(WebpReader, AReducedPictureIsScaledByLibwebpToFillTheBox) {
  struct Case {
    const char* name;
    uint32_t box;
    int32_t width, height;
  };
  for (const Case& c : {Case{"lossy.webp", 10, 10, 8}, Case{"alpha_lossless.webp", 20, 20, 15},
                        Case{"lossless.webp", 64, 40, 30}, Case{"animated.webp", 10, 48, 36}}) {
    SCOPED_TRACE(c.name);
    const Bytes bytes = Seed(c.name);
    MemorySource file(bytes.data(), bytes.size());
    PictureSize full;
    const Decoded dib([&](BlockHeap& heap, DecodeMessages& messages) {
      return webp::ReadWebpFile({file, bytes.data(), bytes.size(), 0, c.box, c.box, &full}, heap, messages, nullptr);
    });
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib.Header().biWidth, c.width);
    EXPECT_EQ(dib.Header().biHeight, c.height);
    EXPECT_EQ(full.width, c.name == std::string("animated.webp") ? 48u : 40u);
  }
}

TEST(WebpDetails, TellTheKindTheCanvasTheFramesAndTheCamera) {
  struct Case {
    const char* name;
    const char* format;
    const char* pixels;
    const char* colour;
  };
  for (const Case& c : {Case{"lossy.webp", "WebP, lossy", "8-bit RGB", "YCbCr"},
                        Case{"lossless.webp", "WebP, lossless", "8-bit RGB", "RGB"},
                        Case{"alpha_lossy.webp", "WebP, lossy", "8-bit RGBA", "YCbCr"},
                        Case{"alpha_lossless.webp", "WebP, lossless", "8-bit RGBA", "RGB"},
                        Case{"extended.webp", "WebP, lossy", "8-bit RGB", "YCbCr"},
                        Case{"animated.webp", "WebP, animated, 3 frames, looping", "8-bit RGBA", "RGB"}}) {
    SCOPED_TRACE(c.name);
    const Bytes bytes = Seed(c.name);
    FileDetails details;
    ASSERT_TRUE(webp::DescribeWebp(bytes.data(), bytes.size(), 0, details));
    EXPECT_EQ(details.Value(detail_key::kFormat), c.format);
    EXPECT_EQ(details.Value(detail_key::kDimensions), c.name == std::string("animated.webp") ? "48 x 36" : "40 x 30");
    EXPECT_EQ(details.Value(detail_key::kPixels), c.pixels);
    EXPECT_EQ(details.Value(detail_key::kColour), c.colour);
  }
  const Bytes extended = Seed("extended.webp");
  FileDetails details;
  ASSERT_TRUE(webp::DescribeWebp(extended.data(), extended.size(), 0, details));
  EXPECT_EQ(details.Value(detail_key::kMake), "Maker");
  EXPECT_EQ(details.Value(detail_key::kModel), "Model");
  EXPECT_FALSE(webp::DescribeWebp(extended.data(), 16, 0, details));
}

}  // namespace
}  // namespace lmx::test
