// The GIF frame reader natively: a long animation is composed one frame at a time, holding no
// more than its canvas, the part a restoring frame covers and the frame it hands over,
// whatever the number of frames; and what it holds goes back when it is closed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "plugins/gif/gif_frames.h"
#include "tests/plugins/gif/gif_file.h"

namespace lmx::test {
namespace {

// calloc and free, counting the bytes held and their peak.
class CountingHeap final : public BlockHeap {
 public:
  void* Alloc(size_t size) override {
    void* block = std::calloc(1, size);
    if (!block) return nullptr;
    sizes_[block] = size;
    held_ += size;
    if (held_ > peak_) peak_ = held_;
    return block;
  }
  void Free(void* block) override {
    if (!block) return;
    held_ -= sizes_[block];
    sizes_.erase(block);
    std::free(block);
  }
  bool OutOfMemory() const override { return false; }
  size_t Held() const { return held_; }
  size_t Peak() const { return peak_; }

 private:
  std::map<void*, size_t> sizes_;
  size_t held_ = 0, peak_ = 0;
};

constexpr int kWidth = 200, kHeight = 150;

// `frames` frames over the whole screen, each restoring what was before it.
std::vector<uint8_t> LongAnimation(int frames) {
  GifFile gif(kWidth, kHeight, 7, true);
  std::vector<uint8_t> pixels(kWidth * kHeight);
  for (int k = 0; k < frames; ++k) {
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i / kWidth + k);
    gif.Raw({0x21, 0xF9, 4, 3 << 2, 0, 0, 0, 0});
    gif.Image(0, 0, kWidth, kHeight, pixels);
  }
  return gif.End();
}

TEST(GifFrames, ALongAnimationHoldsOneCanvasAndTheRestoredPartWhateverItsLength) {
  constexpr size_t kCanvas = kWidth * kHeight * 3;
  for (int frames : {5, 500}) {
    const std::vector<uint8_t> file = LongAnimation(frames);
    MemorySource source(file.data(), file.size());
    CountingHeap heap;
    AnimationFacts facts;
    FrameReader* reader = gif::OpenGifFrames(source, heap, &facts);
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(facts.frames, static_cast<uint32_t>(frames));
    int composed = 0;
    uint32_t delay = 0;
    FrameStatus status = kFrameShown;
    while (void* frame = reader->Next(heap, &delay, &status)) {
      ++composed;
      heap.Free(frame);
    }
    EXPECT_EQ(composed, frames);
    EXPECT_EQ(status, kFrameEnd);
    // The canvas, the restored part and the frame handed over, besides the reader's fixed
    // buffers (its reads, the LZW tables and a row): under 160 KB.
    EXPECT_LT(heap.Peak(), 3 * kCanvas + 160 * 1024) << frames << " frames";
    delete reader;
    EXPECT_EQ(heap.Held(), 0u);
  }
}

}  // namespace
}  // namespace lmx::test
