#include "plugins/jpg/dc_scan.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <thread>
#include <vector>

#include "plugins/common/helper_tasks.h"
#include "plugins/jpg/dc_blocks.h"
#include "plugins/jpg/find_ff.h"

namespace lmx::jpg {
namespace {

constexpr size_t kPadding = 1024;             // zero bytes after the data, more than one block reads
constexpr size_t kBytesPerThread = 64 * 1024;  // less data a thread costs more than it saves
constexpr unsigned kMostThreads = 4;
constexpr unsigned kMostBlocks = 10;          // in one MCU, as JPEG allows

// --- the threads' parts ---

struct Shared {
  const uint8_t* data;  // the data without its stuffed bytes, padded with zeros
  const uint8_t* end;   // where a block starting beyond it has run out of data
  uint32_t bits;        // the data's length in bits
  uint32_t mcus;        // in the picture
  unsigned components;
  unsigned blocks[3];   // each component's in one MCU
  unsigned perMcu;
  const HuffmanLookup* dc[3];
  const HuffmanLookup* ac[3];
};

// What one thread decoded from its starting place, as if an MCU and the DC predictions started
// there.
struct Part {
  uint32_t startBit = 0;
  std::unique_ptr<uint32_t[]> starts;  // the bit each MCU started at; after the last, where it ended
  std::unique_ptr<uint16_t[]> dc;      // each block's DC coefficient, by this part's predictions
  uint32_t decoded = 0;                // MCUs decoded whole
  std::atomic<uint32_t> published{0};  // MCU starts the part before may compare with
  std::atomic<bool> claimed{false};    // by a helper task, or by the thread that has to wait for it
  std::atomic<bool> finished{false};
  bool joined = false;                 // the next part took over: at this part's MCU `decoded`,
  uint32_t joinedAt = 0;               // and at that part's MCU joinedAt
  // Its share of the picture, once every part has ended: its MCUs from `from` on, `used` of
  // them, are the picture's from `first` on, with `shift` added to its DC coefficients.
  uint32_t from = 0, used = 0, first = 0;
  uint32_t shift[3] = {};
  std::atomic<int> go{0};  // for its thread: 1 to place its share in the planes, -1 to end

  bool Allocate(uint32_t mcus, unsigned perMcu) {
    starts.reset(new (std::nothrow) uint32_t[size_t{mcus} + 1]);
    dc.reset(new (std::nothrow) uint16_t[size_t{mcus} * perMcu]);
    return starts && dc;
  }
};

// Claims a part no task has started on, which then ends at once with nothing decoded; true if
// it was so, false if a task has it.
bool ClaimUnstarted(Part& part) {
  if (part.claimed.exchange(true, std::memory_order_acq_rel)) return false;
  part.finished.store(true, std::memory_order_release);
  return true;
}

// Whether `next` has an MCU starting at `position`, looking on from its MCU *at; false also
// when it holds none there. Waits while `next` is still to come that far.
bool Meets(Part& next, uint32_t position, uint32_t* at, bool* ended) {
  if (ClaimUnstarted(next)) {
    *ended = true;
    return false;
  }
  for (;;) {
    const bool finished = next.finished.load(std::memory_order_acquire);
    const uint32_t published = next.published.load(std::memory_order_acquire);
    while (*at < published && next.starts[*at] < position) ++*at;
    if (*at < published) return next.starts[*at] == position;
    if (finished) {
      *ended = true;
      return false;
    }
    std::this_thread::yield();
  }
}

// One MCU's blocks, their DC coefficients by `prediction` into `out`: false at a code that is
// none, or past the data.
[[gnu::always_inline]] inline bool DecodeMcu(const Shared& s, EntropyBits& bits, uint32_t* prediction,
                                             uint16_t* out) {
  for (unsigned c = 0; c < s.components; ++c) {
    for (unsigned b = 0; b < s.blocks[c]; ++b) {
      if (bits.next > s.end || !DecodeBlock(bits, *s.dc[c], *s.ac[c], prediction[c])) return false;
      *out++ = static_cast<uint16_t>(prediction[c]);
    }
  }
  return true;
}

void DecodePart(const Shared& s, Part& part, Part* next) {
  EntropyBits bits{s.data + part.startBit / 8};
  uint32_t prediction[3] = {};
  uint32_t nextAt = 0;
  bool nextEnded = !next;
  uint32_t m = 0;
  for (;; ++m) {
    const uint32_t position = bits.Position(s.data);
    part.starts[m] = position;
    if (m == s.mcus || position > s.bits) break;
    part.published.store(m + 1, std::memory_order_release);
    if (!nextEnded && position >= next->startBit && Meets(*next, position, &nextAt, &nextEnded)) {
      part.joined = true;
      part.joinedAt = nextAt;
      break;
    }
    if (!DecodeMcu(s, bits, prediction, part.dc.get() + size_t{m} * s.perMcu)) break;
  }
  part.decoded = m;
  part.finished.store(true, std::memory_order_release);
}

// The data without its stuffed bytes, up to the first marker, and zeros after: its length.
// With `segments`, which holds the start of the first, restart markers in their turn go on to
// the next segment, on a byte of its own, until it holds `most` starts.
size_t Unstuff(const uint8_t* data, size_t size, uint8_t* out, std::vector<uint32_t>* segments, size_t most) {
  size_t n = 0, i = 0;
  while (i < size) {
    const uint8_t* ff = FindFF(data + i, size - i);
    const size_t run = ff ? static_cast<size_t>(ff - data) - i : size - i;
    std::memcpy(out + n, data + i, run);
    n += run;
    i += run;
    if (!ff) break;
    while (i + 1 < size && data[i + 1] == 0xFF) ++i;  // fill bytes
    if (i + 1 >= size) break;
    const uint8_t code = data[i + 1];
    if (code == 0) {
      out[n++] = 0xFF;
    } else if (segments && segments->size() < most && code == 0xD0 + ((segments->size() - 1) & 7)) {
      segments->push_back(static_cast<uint32_t>(n));
    } else {
      break;  // another marker
    }
    i += 2;
  }
  std::memset(out + n, 0, kPadding);
  return n;
}

// libjpeg's sample for a DC coefficient times its quantizer, rounded as its 1 x 1 transform
// does: index ((dequantized + 4) >> 3) & 1023, the range limit, which wraps beyond +-512.
struct Levels {
  uint8_t at[1024];
  constexpr Levels() : at() {
    for (int i = 0; i < 1024; ++i) at[i] = static_cast<uint8_t>(i < 128 ? i + 128 : i < 512 ? 255 : i < 896 ? 0 : i - 896);
  }
};
constexpr Levels kLevels;

// Where the samples go.
struct Output {
  uint8_t* planes[3];
  size_t strides[3];
  unsigned across[3], down[3];
  int quant[3];  // as libjpeg's multiplier table holds it
  uint32_t mcusAcross;
};

// An MCU's place in the picture, moving on MCU by MCU.
struct McuPlace {
  uint32_t x, y, across;
  McuPlace(uint32_t mcu, uint32_t mcusAcross) : x(mcu % mcusAcross), y(mcu / mcusAcross), across(mcusAcross) {}
  void Next() {
    if (++x == across) {
      x = 0;
      ++y;
    }
  }
};

// The samples of the MCU at `at` from its blocks' DC coefficients, `shift` added.
inline void PlaceMcu(const Shared& s, const Output& out, const McuPlace& at, const uint16_t* in,
                     const uint32_t* shift) {
  for (unsigned c = 0; c < s.components; ++c) {
    uint8_t* row = out.planes[c] + size_t{at.y} * out.down[c] * out.strides[c] + size_t{at.x} * out.across[c];
    for (unsigned y = 0; y < out.down[c]; ++y, row += out.strides[c]) {
      for (unsigned x = 0; x < out.across[c]; ++x) {
        const auto coefficient = static_cast<int16_t>(*in++ + shift[c]);
        row[x] = kLevels.at[((coefficient * out.quant[c] + 4) >> 3) & 1023];
      }
    }
  }
}

void PlaceShare(const Shared& s, const Output& out, const Part& part) {
  const uint16_t* in = part.dc.get() + size_t{part.from} * s.perMcu;
  McuPlace at(part.first, out.mcusAcross);
  for (uint32_t m = 0; m < part.used; ++m, in += s.perMcu, at.Next()) PlaceMcu(s, out, at, in, part.shift);
}

// --- data with restart markers ---

// Segments of `interval` MCUs, each from a byte of its own with predictions from zero, so each
// is decoded where it starts: whoever is free takes the next few.
struct SegmentQueue {
  const Shared& s;
  const Output& out;
  const std::vector<uint32_t>& starts;  // each segment's first byte in the data, then its end
  uint32_t interval;
  uint32_t perTake;
  std::atomic<uint32_t> next{0};
  std::atomic<bool> failed{false};
};

// Segment k, which must end within its bytes.
bool DecodeSegment(const SegmentQueue& q, uint32_t k) {
  const Shared& s = q.s;
  EntropyBits bits{s.data + q.starts[k]};
  uint32_t prediction[3] = {};
  const uint32_t first = k * q.interval, count = std::min(q.interval, s.mcus - first);
  static constexpr uint32_t kNoShift[3] = {};
  uint16_t dc[kMostBlocks];
  McuPlace at(first, q.out.mcusAcross);
  for (uint32_t m = 0; m < count; ++m, at.Next()) {
    if (!DecodeMcu(s, bits, prediction, dc)) return false;
    PlaceMcu(s, q.out, at, dc, kNoShift);
  }
  return bits.Position(s.data) <= q.starts[k + 1] * 8;
}

void DecodeSegments(void* context, unsigned) {
  auto& q = *static_cast<SegmentQueue*>(context);
  const auto segments = static_cast<uint32_t>(q.starts.size() - 1);
  while (!q.failed.load(std::memory_order_relaxed)) {
    const uint32_t from = q.next.fetch_add(q.perTake, std::memory_order_relaxed);
    if (from >= segments) return;
    for (uint32_t k = from; k < segments && k < from + q.perTake; ++k) {
      if (!DecodeSegment(q, k)) {
        q.failed = true;
        return;
      }
    }
  }
}

struct Job {
  const Shared& s;
  const Output& out;
  std::vector<Part>& parts;
};

// A helper task's part, unless the calling thread gave up waiting for it: decoded, then placed
// once every part's share is known.
void RunPart(void* context, unsigned index) {
  const Job& job = *static_cast<const Job*>(context);
  Part& part = job.parts[index];
  if (part.claimed.exchange(true, std::memory_order_acq_rel)) return;
  DecodePart(job.s, part, index + 1 < job.parts.size() ? &job.parts[index + 1] : nullptr);
  int go;
  while (!(go = part.go.load(std::memory_order_acquire))) std::this_thread::yield();
  if (go > 0) PlaceShare(job.s, job.out, part);
}

// The DC coefficient of the last block of component c in a part's MCU m, by its predictions.
uint32_t LastCoefficient(const Shared& s, const Part& part, unsigned c, uint32_t m) {
  unsigned index = 0;
  for (unsigned k = 0; k <= c; ++k) index += s.blocks[k];
  return part.dc[size_t{m} * s.perMcu + index - 1];
}

// Each part's share, in turn from the first, which starts where the data does: false unless
// they cover the picture, the last MCU ending within the data.
bool ShareOut(const Shared& s, std::vector<Part>& parts) {
  uint32_t done = 0, from = 0, shift[3] = {}, last[3] = {};
  for (size_t i = 0; i < parts.size(); ++i) {
    Part& part = parts[i];
    if (part.decoded < from) return false;
    part.from = from;
    part.used = std::min(part.decoded - from, s.mcus - done);
    part.first = done;
    std::copy_n(shift, 3, part.shift);
    for (unsigned c = 0; c < s.components && part.used; ++c) {
      last[c] = LastCoefficient(s, part, c, from + part.used - 1) + shift[c];
    }
    done += part.used;
    if (done == s.mcus) return part.starts[from + part.used] <= s.bits;
    if (!part.joined || i + 1 == parts.size()) return false;
    // The next part's predictions lacked what came before its first MCU.
    for (unsigned c = 0; c < s.components; ++c) {
      shift[c] = last[c] - (part.joinedAt ? LastCoefficient(s, parts[i + 1], c, part.joinedAt - 1) : 0);
    }
    from = part.joinedAt;
  }
  return false;
}

// Without restart markers: parts decoded on the helper tasks from guessed starts, each taken over
// where the one before falls into step with it.
bool DecodeSpeculating(const Shared& s, const Output& out, size_t size, unsigned threads) {
  // Parts start at even shares of the data; the first where it truly starts.
  std::vector<Part> parts;
  try {
    parts = std::vector<Part>(threads);
  } catch (...) {
    return false;
  }
  for (unsigned i = 0; i < threads; ++i) {
    parts[i].startBit = static_cast<uint32_t>(size * i / threads * 8);
    if (!parts[i].Allocate(s.mcus, s.perMcu)) return false;
  }
  parts[0].claimed = true;
  Job job{s, out, parts};
  bool whole;
  {
    const HelperTasks helpers(threads, RunPart, &job);
    DecodePart(s, parts[0], threads > 1 ? &parts[1] : nullptr);
    for (size_t i = 1; i < threads; ++i) {
      if (!ClaimUnstarted(parts[i])) {
        while (!parts[i].finished.load(std::memory_order_acquire)) std::this_thread::yield();
      }
    }
    // Each task places its own share in the planes.
    whole = ShareOut(s, parts);
    for (size_t i = 1; i < threads; ++i) parts[i].go.store(whole && parts[i].used ? 1 : -1, std::memory_order_release);
    if (whole) PlaceShare(s, out, parts[0]);
  }
  return whole;
}

bool DecodeSegmented(const Shared& s, const Output& out, const std::vector<uint32_t>& segments, uint32_t interval,
                     unsigned threads) {
  const auto count = static_cast<uint32_t>(segments.size() - 1);
  SegmentQueue queue{s, out, segments, interval, std::max(1u, count / (threads * 4)), {}, {}};
  {
    const HelperTasks helpers(threads, DecodeSegments, &queue);
    DecodeSegments(&queue, 0);
  }
  return !queue.failed;
}

}  // namespace

unsigned DcThreads(size_t size) {
  const size_t cores = std::min<size_t>(std::thread::hardware_concurrency(), kMostThreads);
  return static_cast<unsigned>(std::max<size_t>(1, std::min(cores, size / kBytesPerThread)));
}

bool DcPlanes::Decode(const DcScan& scan, unsigned threads) {
  const uint64_t mcus = uint64_t{scan.mcusAcross} * scan.mcusDown;
  if (!scan.components || scan.components > 3 || !mcus || mcus > UINT32_MAX / 16 ||
      scan.size > (UINT32_MAX - 64 * 1024) / 8) {
    return false;
  }
  Shared s{};
  s.components = scan.components;
  s.mcus = static_cast<uint32_t>(mcus);
  std::unique_ptr<HuffmanLookup[]> tables(new (std::nothrow) HuffmanLookup[2 * scan.components]);
  if (!tables) return false;
  for (unsigned c = 0; c < scan.components; ++c) {
    const DcComponent& k = scan.component[c];
    s.blocks[c] = k.across * k.down;
    s.perMcu += s.blocks[c];
    if (!k.across || !k.down || !tables[2 * c].Build(k.dc, false) || !tables[2 * c + 1].Build(k.ac, true)) return false;
    s.dc[c] = &tables[2 * c];
    s.ac[c] = &tables[2 * c + 1];
  }
  // Every block takes two bits at least: data too short for the picture is not read here, and
  // what the decode holds stays within a few times the data's size.
  if (s.perMcu > kMostBlocks || mcus * s.perMcu * 2 > uint64_t{scan.size} * 8) return false;

  std::unique_ptr<uint8_t[]> data(new (std::nothrow) uint8_t[scan.size + kPadding]);
  if (!data) return false;
  std::vector<uint32_t> segments;
  const uint64_t segmentCount = scan.restartInterval ? (mcus + scan.restartInterval - 1) / scan.restartInterval : 0;
  if (segmentCount) {
    try {
      segments.reserve(segmentCount + 1);
    } catch (...) {
      return false;
    }
    segments.push_back(0);
  }
  const size_t size = Unstuff(scan.data, scan.size, data.get(), segmentCount ? &segments : nullptr, segmentCount);
  if (segments.size() != segmentCount) return false;  // restart markers missing or out of turn
  if (segmentCount) segments.push_back(static_cast<uint32_t>(size));  // within what was reserved
  s.data = data.get();
  s.end = s.data + size + 8;
  s.bits = static_cast<uint32_t>(size * 8);
  if (uint64_t{s.mcus} * s.perMcu * 2 > s.bits) return false;  // as above, without the stuffed bytes

  threads = std::max(1u, std::min(threads, kMostThreads));
  Output out{};
  out.mcusAcross = scan.mcusAcross;
  for (unsigned c = 0; c < s.components; ++c) {
    const DcComponent& k = scan.component[c];
    strides_[c] = size_t{scan.mcusAcross} * k.across;
    planes_[c].reset(new (std::nothrow) uint8_t[strides_[c] * scan.mcusDown * k.down]);
    if (!planes_[c]) return false;
    out.planes[c] = planes_[c].get();
    out.strides[c] = strides_[c];
    out.across[c] = k.across;
    out.down[c] = k.down;
    out.quant[c] = static_cast<int16_t>(k.quant);
  }
  const bool whole = segmentCount ? DecodeSegmented(s, out, segments, scan.restartInterval, threads)
                                  : DecodeSpeculating(s, out, size, threads);
  if (!whole) {
    for (auto& plane : planes_) plane.reset();
  }
  return whole;
}

}  // namespace lmx::jpg
