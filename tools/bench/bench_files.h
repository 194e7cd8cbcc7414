// Decoding benchmarks over the large pictures that make_large_inputs.py writes, with
// Pillow's figures for the same files printed after ours.
#pragma once

#include <cstddef>
#include <initializer_list>

#include "plugins/common/byte_source.h"
#include "plugins/common/decode_messages.h"

namespace lmx::bench {

using DecodeFn = void* (*)(ByteSource& file, BlockHeap& heap, DecodeMessages& messages);
// A decoder that takes the file's bytes as they lie in memory, as a plug-in does with a
// mapped file.
using MemoryDecodeFn = void* (*)(const void* data, size_t size, BlockHeap& heap, DecodeMessages& messages);

// Registers one benchmark per file (names relative to the inputs folder) that decodes it
// from memory and reports megapixels per second of processor time, runs them, then runs
// pillow_speed.py, which measures Pillow the same way.
int RunFileBenchmarks(int argc, char** argv, std::initializer_list<const char*> files, DecodeFn decode);
int RunFileBenchmarks(int argc, char** argv, std::initializer_list<const char*> files, MemoryDecodeFn decode);

}  // namespace lmx::bench
