// Decoding 12-megapixel PNGs (4000 x 3000, 24-bit RGB and 256 colours) from memory, as the
// plug-in decodes a mapped file, in megapixels per second, with Pillow's figures for the same
// files after them. libpng and zlib are built here with the compiler and flags of the
// plug-in's own (gcc -O2, libpng with its SSE2 row filters).
//
//   LUMIVEX_BUILD_DIR=... ./lumivex bench png
//
// The build writes the pictures into BUILD/bench/tools/bench/jpg-png-inputs with Pillow
// (tools/bench/make_jpg_png_inputs.py); LMX_BENCH_INPUTS in the environment points the
// benchmark at another folder.
#include "plugins/png/png_reader.h"
#include "tools/bench/bench_files.h"

namespace {
// As the plug-in reads a mapped file for a whole picture.
void* ReadPng(const void* data, size_t size, lmx::BlockHeap& heap, lmx::DecodeMessages& messages) {
  lmx::MemorySource file(static_cast<const uint8_t*>(data), size);
  return lmx::png::ReadPngFile({file, data, size, 0}, heap, messages, nullptr);
}
}  // namespace

int main(int argc, char** argv) {
  return lmx::bench::RunFileBenchmarks(argc, argv, {"rgb.png", "palette.png"}, ReadPng);
}
