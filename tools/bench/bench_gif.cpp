// Decoding a large LZW GIF (4000 x 3000, 256 colours) from memory, in megapixels per second,
// with Pillow's figure for the same file after it.
//
//   LUMIVEX_BUILD_DIR=... ./lumivex bench gif
//
// The build writes the picture into BUILD/bench/bench-inputs with Pillow; by hand:
//   /usr/bin/python3 tools/bench/make_large_inputs.py BUILD/bench/bench-inputs
// (LMX_BENCH_INPUTS in the environment points the benchmark at another folder).
#include "plugins/gif/gif_reader.h"
#include "tools/bench/bench_files.h"

int main(int argc, char** argv) {
  return lmx::bench::RunFileBenchmarks(argc, argv, {"large.gif"}, lmx::gif::ReadGifFile);
}
