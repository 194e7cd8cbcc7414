#include "plugins/tif/tif_strips.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "plugins/common/helper_tasks.h"

namespace lmx::tif {
namespace {

// A page smaller than this decodes on one thread: another reader and a thread would cost more
// than they save.
constexpr uint64_t kSpreadBytes = uint64_t{1} << 20;
constexpr unsigned kMostThreads = 4;

// Exchanges the `bytes` bytes at `a` and `b`, sixteen at a time.
void SwapBytes(uint8_t* a, uint8_t* b, uint64_t bytes) {
  uint64_t i = 0;
#if defined(__SSE2__)
  for (; i + 16 <= bytes; i += 16) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
    const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(a + i), y);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(b + i), x);
  }
#endif
  for (; i < bytes; ++i) std::swap(a[i], b[i]);
}

// Puts the `rows` rows at `region`, decoded top-down, into bottom-up order in place.
void ReverseRows(uint8_t* region, uint64_t rows, uint64_t rowBytes) {
  uint8_t* top = region;
  uint8_t* bottom = region + (rows - 1) * rowBytes;
  for (; top < bottom; top += rowBytes, bottom -= rowBytes) SwapBytes(top, bottom, rowBytes);
}

// The same for rows of red, green and blue, which become blue, green and red.
void ReverseRgbRows(uint8_t* region, uint64_t rows, uint32_t width, uint64_t rowBytes) {
  uint8_t* top = region;
  uint8_t* bottom = region + (rows - 1) * rowBytes;
  for (; top <= bottom; top += rowBytes, bottom -= rowBytes) {
    for (uint32_t x = 0; x < width; ++x) {
      uint8_t* a = top + 3 * uint64_t{x};
      uint8_t* b = bottom + 3 * uint64_t{x};
      const uint8_t r = a[0], g = a[1], bl = a[2];
      a[0] = b[2];
      a[1] = b[1];
      a[2] = b[0];
      b[0] = bl;
      b[1] = g;
      b[2] = r;
    }
  }
}

// The strips of one page, each taken in turn by whichever thread is free; once one fails,
// the others stop.
struct StripQueue {
  const StripRows& page;
  uint8_t* pixels;
  uint32_t strips;
  std::atomic<uint32_t> next{0};
  std::atomic<bool> failed{false};
  const std::vector<std::unique_ptr<TiffFile>>* readers;  // the helper tasks'
};

void DecodeQueued(TIFF* tif, StripQueue* queue) {
  const StripRows& p = queue->page;
  while (!queue->failed.load(std::memory_order_relaxed)) {
    const uint32_t strip = queue->next.fetch_add(1, std::memory_order_relaxed);
    if (strip >= queue->strips) return;
    const uint64_t row = uint64_t{strip} * p.stripHeight;
    const uint64_t rows = p.height - row < p.stripHeight ? p.height - row : p.stripHeight;
    uint8_t* region = queue->pixels + (p.height - row - rows) * p.rowBytes;
    if (TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, static_cast<uint32_t>(row), 0), region,
                             static_cast<tmsize_t>(rows * p.rowBytes)) < 0) {
      queue->failed = true;
      return;
    }
    if (p.depth == 24) {
      ReverseRgbRows(region, rows, p.width, p.rowBytes);
    } else {
      ReverseRows(region, rows, p.rowBytes);
    }
  }
}

void DecodeQueuedTask(void* context, unsigned index) {
  auto* queue = static_cast<StripQueue*>(context);
  DecodeQueued((*queue->readers)[index - 1]->get(), queue);
}

// Readers of their own for the threads besides this one: none for a small page, or when the
// file is not all in memory.
std::vector<std::unique_ptr<TiffFile>> MoreReaders(const TiffFile& file, const StripRows& page, uint32_t strips) {
  std::vector<std::unique_ptr<TiffFile>> readers;
  const unsigned cores = std::thread::hardware_concurrency();
  if (page.rowBytes * page.height < kSpreadBytes || strips < 2 || cores < 2) return readers;
  const unsigned more = std::min({cores, kMostThreads, strips}) - 1;
  for (unsigned i = 0; i < more; ++i) {
    std::unique_ptr<TiffFile> reader = file.Another();
    // Every reader must see the page as this one does.
    if (!reader || TIFFNumberOfStrips(reader->get()) != TIFFNumberOfStrips(file.get()) ||
        TIFFStripSize(reader->get()) != TIFFStripSize(file.get())) {
      break;
    }
    readers.push_back(std::move(reader));
  }
  return readers;
}

}  // namespace

bool DecodeStripRows(const TiffFile& file, const StripRows& page, uint8_t* pixels) {
  const uint64_t strips = page.stripHeight ? (uint64_t{page.height} + page.stripHeight - 1) / page.stripHeight : 0;
  std::vector<std::unique_ptr<TiffFile>> readers;
  StripQueue queue{page, pixels, static_cast<uint32_t>(strips), {}, {}, &readers};
  try {
    readers = MoreReaders(file, page, queue.strips);
  } catch (...) {
    // Without memory, this thread decodes the strips alone.
  }
  {
    // Tasks that start late find fewer strips left; one that never starts, none.
    const HelperTasks helpers(static_cast<unsigned>(readers.size()) + 1, DecodeQueuedTask, &queue);
    DecodeQueued(file.get(), &queue);
  }
  return !queue.failed;
}

}  // namespace lmx::tif
