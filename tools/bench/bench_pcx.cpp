// Decoding large run-length PCX files (4000 x 3000 at 8 bits with a palette, and 3 planes of
// 8 bits) from memory, in megapixels per second, with Pillow's figures for the same files.
//
//   LUMIVEX_BUILD_DIR=... ./lumivex bench pcx
//
// The build writes the pictures into BUILD/bench/bench-inputs with Pillow; by hand:
//   /usr/bin/python3 tools/bench/make_large_inputs.py BUILD/bench/bench-inputs
// (LMX_BENCH_INPUTS in the environment points the benchmark at another folder).
#include "plugins/pcx/pcx_reader.h"
#include "tools/bench/bench_files.h"

namespace {
void* ReadPcx(lmx::ByteSource& file, lmx::BlockHeap& heap, lmx::DecodeMessages& messages) {
  return lmx::pcx::ReadPcxFile(file, heap, messages);
}
}  // namespace

int main(int argc, char** argv) {
  return lmx::bench::RunFileBenchmarks(argc, argv, {"large8.pcx", "large24.pcx"}, ReadPcx);
}
