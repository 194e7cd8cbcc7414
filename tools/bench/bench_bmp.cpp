// Decoding a large uncompressed and a run-length bitmap from memory, beside a plain copy of
// the same bytes into fresh memory.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "plugins/bmp/bmp_reader.h"
#include "plugins/common/packed_dib.h"

namespace {

constexpr int kWidth = 4000, kHeight = 3000;

std::vector<uint8_t> MakeBitmap(uint16_t bits, uint32_t compression) {
  const uint32_t colors = bits <= 8 ? 1u << bits : 0;
  std::vector<uint8_t> pixels;
  if (compression == 1) {
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; x += 200) pixels.insert(pixels.end(), {200, static_cast<uint8_t>(x / 200 + y)});
      pixels.insert(pixels.end(), {0, 0});
    }
    pixels.insert(pixels.end(), {0, 1});
  } else {
    pixels.resize(lmx::DibStride(kWidth, bits) * kHeight);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 7);
  }
  const uint32_t off = 14 + 40 + colors * 4;
  std::vector<uint8_t> file(off);
  file[0] = 'B';
  file[1] = 'M';
  std::memcpy(&file[10], &off, 4);
  lmx::DibHeader h{40, kWidth, kHeight, 1, bits, compression, static_cast<uint32_t>(pixels.size()), 2835, 2835,
                   colors, 0};
  std::memcpy(&file[14], &h, 40);
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

void Decode(benchmark::State& state, uint16_t bits, uint32_t compression) {
  const std::vector<uint8_t> file = MakeBitmap(bits, compression);
  lmx::CHeap heap;
  for (auto _ : state) {
    lmx::MemorySource source(file.data(), file.size());
    lmx::DecodeMessages messages;
    void* block = lmx::bmp::ReadBitmapFile(source, heap, messages);
    benchmark::DoNotOptimize(block);
    heap.Free(block);
  }
  state.SetBytesProcessed(state.iterations() * int64_t(file.size()));
}

void CopyIntoFreshMemory(benchmark::State& state) {
  const std::vector<uint8_t> file = MakeBitmap(24, 0);
  for (auto _ : state) {
    void* block = std::calloc(1, file.size());
    std::memcpy(block, file.data(), file.size());
    benchmark::DoNotOptimize(block);
    std::free(block);
  }
  state.SetBytesProcessed(state.iterations() * int64_t(file.size()));
}

BENCHMARK_CAPTURE(Decode, Bgr24, 24, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decode, Pal8, 8, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decode, Rle8, 8, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(CopyIntoFreshMemory)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
