// Every transform at every depth on a 4000 x 3000 picture, beside a plain copy of the same
// block into fresh memory (what any transform that builds a new block must at least do).
// Blocks are kept on the heap rather than mapped afresh each time, so that neither side
// measures page faults. Each iteration of a transform also copies the block and times the
// copy on its own: the memory of a shared machine speeds up and slows down over a run, and
// only a copy measured right beside the transform makes a fair yardstick for it. For the
// transforms, the Time column is their own processor time; the CPU column has the copies in.
#include <benchmark/benchmark.h>

#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "image/dib_quarter_turns.h"
#include "image/dib_transforms.h"
#include "plugins/common/packed_dib.h"
#include "tools/bench/warm_heap.h"

namespace {

constexpr uint32_t kWidth = 4000, kHeight = 3000;

std::vector<uint8_t> MakeDib(uint16_t bits) {
  const uint32_t colors = bits <= 8 ? 1u << bits : 0;
  const size_t image = lmx::DibStride(kWidth, bits) * kHeight;
  std::vector<uint8_t> block(40 + colors * 4 + image);
  lmx::DibHeader h{40, kWidth, kHeight, 1, bits, 0, static_cast<uint32_t>(image), 2953, 2953, colors, 0};
  lmx::WriteDibHeader(block.data(), h);
  uint32_t seed = 12345;
  for (size_t i = 40; i < block.size(); ++i) {
    seed = seed * 1103515245u + 12345u;
    block[i] = static_cast<uint8_t>(seed >> 16);
  }
  return block;
}

double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

void CopyIntoFreshMemoryOnce(const std::vector<uint8_t>& dib) {
  void* block = std::calloc(1, dib.size());
  std::memcpy(block, dib.data(), dib.size());
  benchmark::DoNotOptimize(block);
  std::free(block);
}

// Runs `work` in every iteration with a copy of `dib` beside it. The reported time is the
// work's processor time alone; the counter x_copy is the work's over the copies'.
template <typename Work>
void TimeBesideCopy(benchmark::State& state, const std::vector<uint8_t>& dib, Work work) {
  double workSeconds = 0, copySeconds = 0;
  for (auto _ : state) {
    const double t0 = ThreadSeconds();
    CopyIntoFreshMemoryOnce(dib);
    const double t1 = ThreadSeconds();
    if (!work()) {
      state.SkipWithError("transform refused");
      return;
    }
    const double t2 = ThreadSeconds();
    copySeconds += t1 - t0;
    workSeconds += t2 - t1;
    state.SetIterationTime(t2 - t1);
  }
  state.SetBytesProcessed(state.iterations() * int64_t(dib.size()));
  if (copySeconds > 0) state.counters["x_copy"] = workSeconds / copySeconds;
}

void Transform(benchmark::State& state) {
  const int code = static_cast<int>(state.range(0));
  const std::vector<uint8_t> dib = MakeDib(static_cast<uint16_t>(state.range(1)));
  lmx::CHeap heap;
  TimeBesideCopy(state, dib, [&] {
    void* out = nullptr;
    size_t outBytes = 0;
    if (lmx::TransformDib(dib.data(), dib.size(), code, heap, &out, &outBytes) != lmx::DibStatus::kOk) return false;
    benchmark::DoNotOptimize(out);
    heap.Free(out);
    return true;
  });
}

void Invert(benchmark::State& state) {
  std::vector<uint8_t> dib = MakeDib(static_cast<uint16_t>(state.range(1)));
  std::vector<uint8_t> yardstick = dib;
  TimeBesideCopy(state, yardstick, [&] {
    lmx::InvertDib(dib.data(), dib.size());
    benchmark::ClobberMemory();
    return true;
  });
}

void CopyIntoFreshMemory(benchmark::State& state) {
  const std::vector<uint8_t> dib = MakeDib(static_cast<uint16_t>(state.range(1)));
  for (auto _ : state) CopyIntoFreshMemoryOnce(dib);
  state.SetBytesProcessed(state.iterations() * int64_t(dib.size()));
}

void Depths(benchmark::internal::Benchmark* b, std::initializer_list<int64_t> codes) {
  b->ArgNames({"code", "bits"})->Unit(benchmark::kMillisecond);
  for (int64_t bits : {1, 4, 8, 24}) {
    for (int64_t code : codes) b->Args({code, bits});
  }
}

}  // namespace

BENCHMARK(CopyIntoFreshMemory)->Apply([](auto* b) { Depths(b, {0}); });
BENCHMARK(Transform)->Apply([](auto* b) { Depths(b, {1, 2, 3, 4, 5}); })->UseManualTime();
BENCHMARK(Invert)->Apply([](auto* b) { Depths(b, {6}); })->UseManualTime();

// The console table as usual, then every transform's processor time as a multiple of the
// copies' beside it (the figure the speed targets are stated in).
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // Colours only on a terminal, as the library's own choice would have it.
  RatioReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_Defaults : OO_None) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
      const auto ratio = run.counters.find("x_copy");
      if (ratio != run.counters.end()) ratios_.emplace_back(run.benchmark_name(), ratio->second.value);
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\nProcessor time as a multiple of a copy of the same block made beside it:\n");
    for (const auto& [name, ratio] : ratios_) std::printf("  %-32s %6.2fx\n", name.c_str(), ratio);
  }

 private:
  std::vector<std::pair<std::string, double>> ratios_;
};

// --form=portable|sse2|avx2|avx512 keeps the transforms to that instruction set (the best
// the processor has by default); the form in use is printed first.
bool TakeFormOption(int* argc, char** argv) {
  static const char* const names[] = {"portable", "sse2", "avx2", "avx512"};
  for (int i = 1; i < *argc; ++i) {
    if (std::strncmp(argv[i], "--form=", 7) != 0) continue;
    int form = -1;
    for (int f = 0; f < 4; ++f) {
      if (std::strcmp(argv[i] + 7, names[f]) == 0) form = f;
    }
    if (form < 0) {
      std::fprintf(stderr, "unknown form %s (portable, sse2, avx2 or avx512)\n", argv[i] + 7);
      return false;
    }
    lmx::LimitTransformVectorForm(static_cast<lmx::VectorForm>(form));
    for (int j = i; j + 1 < *argc; ++j) argv[j] = argv[j + 1];
    --*argc;
    --i;
  }
  std::printf("Transform form: %s\n", names[static_cast<int>(lmx::TransformVectorForm())]);
  return true;
}

int main(int argc, char** argv) {
  if (!TakeFormOption(&argc, argv)) return 2;
  lmx::bench::KeepFreedMemory();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
