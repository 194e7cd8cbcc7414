// Decoding 12-megapixel JPEGs (4000 x 3000, quality 90, 4:2:0; baseline and progressive)
// from memory, as the plug-in decodes a mapped file, in megapixels per second, with Pillow's
// figures for the same files after them. libjpeg-turbo is built here with the compiler and
// flags of the plug-in's own (gcc -O2, with its SIMD code).
//
//   LUMIVEX_BUILD_DIR=... ./lumivex bench jpg
//
// The build writes the pictures into BUILD/bench/tools/bench/jpg-png-inputs with Pillow
// (tools/bench/make_jpg_png_inputs.py); LMX_BENCH_INPUTS in the environment points the
// benchmark at another folder.
#include "plugins/jpg/jpg_reader.h"
#include "tools/bench/bench_files.h"

namespace {
void* ReadJpeg(const void* data, size_t size, lmx::BlockHeap& heap, lmx::DecodeMessages& messages) {
  return lmx::jpg::ReadJpeg(data, size, heap, messages);
}
}  // namespace

int main(int argc, char** argv) {
  return lmx::bench::RunFileBenchmarks(argc, argv, {"q90_420.jpg", "progressive.jpg"}, ReadJpeg);
}
