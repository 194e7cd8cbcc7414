// Decoding 12-megapixel WebPs (4000 x 3000, lossy at quality 90 and lossless) from memory, as
// the plug-in decodes a mapped file, in megapixels per second, with Pillow's figures for the
// same files after them. libwebp is built here with the compiler and flags of the plug-in's own
// (gcc -O2, with its SSE2 and SSE4.1 code).
//
//   LUMIVEX_BUILD_DIR=... ./lumivex bench webp
//
// The build writes the pictures into BUILD/bench/tools/bench/jpg-png-inputs with Pillow
// (tools/bench/make_jpg_png_inputs.py); LMX_BENCH_INPUTS in the environment points the
// benchmark at another folder.
#include "plugins/webp/webp_reader.h"
#include "tools/bench/bench_files.h"

namespace {

void* Read(const void* data, size_t size, lmx::BlockHeap& heap, lmx::DecodeMessages& messages) {
  return lmx::webp::ReadWebp(data, size, heap, messages);
}

}  // namespace

int main(int argc, char** argv) {
  return lmx::bench::RunFileBenchmarks(argc, argv, {"lossy.webp", "lossless.webp"}, Read);
}
