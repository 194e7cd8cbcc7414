// Decoding large LZW, PackBits and Group 4 TIFFs from memory with the plug-in's core, in
// megapixels per second of processor time; then Pillow's decoding of the same files, measured
// the same way by pillow_speed.py, for comparison. libtiff is built here with the compiler and
// flags of the plug-in's own (gcc -O2).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "plugins/common/packed_dib.h"
#include "plugins/tif/tif_reader.h"
#include "tools/bench/warm_heap.h"

namespace {

const char* const kFiles[] = {"lzw_rgb.tif", "lzw_gray.tif", "packbits_gray.tif", "g4.tif"};

std::string InputPath(const char* name) { return std::string(LMX_TIF_BENCH_INPUTS) + "/" + name; }

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Decode(benchmark::State& state, const char* name) {
  const std::vector<uint8_t> file = ReadFile(InputPath(name));
  if (file.empty()) {
    state.SkipWithError("input missing");
    return;
  }
  lmx::CHeap heap;
  double megapixels = 0;
  for (auto _ : state) {
    // As the plug-in does with the mapped file.
    lmx::DecodeMessages messages;
    void* block = lmx::tif::ReadTiff(file.data(), file.size(), 0, heap, messages);
    if (!block) {
      state.SkipWithError("not decoded");
      return;
    }
    const lmx::DibHeader h = lmx::ReadDibHeader(block);
    megapixels = double(h.biWidth) * h.biHeight / 1e6;
    benchmark::DoNotOptimize(block);
    heap.Free(block);
  }
  state.counters["MP/s"] = benchmark::Counter(megapixels, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK_CAPTURE(Decode, lzw_rgb, "lzw_rgb.tif")->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(Decode, lzw_gray, "lzw_gray.tif")->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(Decode, packbits_gray, "packbits_gray.tif")->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(Decode, g4, "g4.tif")->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  lmx::bench::KeepFreedMemory();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::string command = std::string("/usr/bin/python3 ") + LMX_TIF_PILLOW_SCRIPT;
  for (const char* name : kFiles) command += " " + InputPath(name);
  std::fflush(stdout);
  std::printf("Reference (Pillow from memory, median of 5, processor time):\n");
  std::fflush(stdout);
  return std::system(command.c_str()) == 0 ? 0 : 1;
}
