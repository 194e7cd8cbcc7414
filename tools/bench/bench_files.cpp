#include "tools/bench/bench_files.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "plugins/common/packed_dib.h"
#include "tools/bench/warm_heap.h"

namespace lmx::bench {
namespace {

std::string InputsDir() {
  const char* dir = std::getenv("LMX_BENCH_INPUTS");
  return dir ? dir : LMX_BENCH_INPUTS;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

using Decode = std::function<void*(const std::vector<uint8_t>& file, BlockHeap& heap, DecodeMessages& messages)>;

int Run(int argc, char** argv, std::initializer_list<const char*> files, const Decode& decode) {
  KeepFreedMemory();
  benchmark::Initialize(&argc, argv);
  std::string pillowArgs;
  for (const char* name : files) {
    const std::string path = InputsDir() + "/" + name;
    auto data = std::make_shared<std::vector<uint8_t>>(ReadFile(path));
    if (data->empty()) {
      std::fprintf(stderr, "%s is missing: the bench build writes it (tools/bench/CMakeLists.txt)\n", path.c_str());
      return 1;
    }
    CHeap heap;
    DecodeMessages messages;
    void* block = decode(*data, heap, messages);
    if (!block || !messages.Empty()) {
      std::fprintf(stderr, "%s does not decode cleanly\n", path.c_str());
      return 1;
    }
    const DibHeader h = ReadDibHeader(block);
    heap.Free(block);
    const double megapixels = double(h.biWidth) * h.biHeight / 1e6;

    benchmark::RegisterBenchmark(name, [data, decode, megapixels](benchmark::State& state) {
      CHeap heap;
      for (auto _ : state) {
        DecodeMessages messages;
        void* result = decode(*data, heap, messages);
        benchmark::DoNotOptimize(result);
        heap.Free(result);
      }
      state.counters["MP/s"] = benchmark::Counter(megapixels, benchmark::Counter::kIsIterationInvariantRate);
    })->Unit(benchmark::kMillisecond)->MinTime(2.0);
    pillowArgs += " '" + path + "'";
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  std::printf("Reference, same files:\n");
  std::fflush(stdout);
  const std::string command = std::string("/usr/bin/python3 ") + LMX_BENCH_SCRIPTS + "/pillow_speed.py" + pillowArgs;
  return std::system(command.c_str()) == 0 ? 0 : 1;
}

}  // namespace

int RunFileBenchmarks(int argc, char** argv, std::initializer_list<const char*> files, DecodeFn decode) {
  return Run(argc, argv, files, [decode](const std::vector<uint8_t>& file, BlockHeap& heap, DecodeMessages& messages) {
    MemorySource source(file.data(), file.size());
    return decode(source, heap, messages);
  });
}

int RunFileBenchmarks(int argc, char** argv, std::initializer_list<const char*> files, MemoryDecodeFn decode) {
  return Run(argc, argv, files, [decode](const std::vector<uint8_t>& file, BlockHeap& heap, DecodeMessages& messages) {
    return decode(file.data(), file.size(), heap, messages);
  });
}

}  // namespace lmx::bench
