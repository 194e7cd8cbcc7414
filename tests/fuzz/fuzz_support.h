// Checks shared by the decoder fuzzers.
#pragma once

#include <cstddef>
#include <cstdint>

#include <cstdio>

#include "plugins/common/animation_frames.h"
#include "plugins/common/dib_reduce.h"
#include "plugins/common/file_details.h"
#include "plugins/common/packed_dib.h"

namespace lmx::fuzz {

// Reads across the whole block a returned header describes, so that the sanitizers see any
// block shorter than its header says.
inline void TouchPackedDib(const void* block) {
  const DibHeader h = ReadDibHeader(block);
  const auto* bytes = static_cast<const uint8_t*>(block);
  volatile uint8_t sink = 0;
  const size_t total = kInfoHeaderSize + DibMaskBytes(h) + size_t{h.biClrUsed} * 4 + h.biSizeImage;
  for (size_t i = 0; i < total; i += 4096) sink = sink ^ bytes[i];
  sink = sink ^ bytes[total - 1];
}

// The averaging the plug-ins' reduced export gives a decoded picture, by `factor`.
inline void ReduceAndTouch(const void* block, uint32_t factor, BlockHeap& heap) {
  const DibHeader h = ReadDibHeader(block);
  // A vast canvas of a few bytes (a 1-bit GIF screen, say) would only take seconds a run.
  if (uint64_t(h.biWidth < 0 ? 0 : h.biWidth) * uint64_t(h.biHeight < 0 ? 0 : h.biHeight) > (4u << 20)) return;
  const size_t bytes = kInfoHeaderSize + DibMaskBytes(h) + size_t{h.biClrUsed} * 4 + h.biSizeImage;
  const DibBlock reduced = ReduceDib(static_cast<const uint8_t*>(block), bytes, factor, heap);
  if (!reduced.Made()) return;
  TouchPackedDib(reduced.block);
  heap.Free(reduced.block);
}

// Whether the picture the input claims (as its details reader reads it) would fit `limit`
// bytes at 24 bits: only such inputs go through a reduced reader, which holds no whole block
// for the fuzzer's capped heap to refuse and would spend seconds on a huge claim.
inline bool ClaimFits(DescribeFileFn describe, const uint8_t* data, size_t size, uint64_t limit) {
  FileDetails details;
  unsigned width = 0, height = 0;
  return describe(data, size, 0, details) &&
         std::sscanf(details.Value(detail_key::kDimensions).c_str(), "%u x %u", &width, &height) == 2 &&
         uint64_t{width} * height * 3 <= limit;
}

// A returned picture (null: none) read whole, averaged by a factor the input's length picks,
// and freed.
inline void CheckAndFree(void* block, size_t inputSize, BlockHeap& heap) {
  if (!block) return;
  TouchPackedDib(block);
  ReduceAndTouch(block, 1 + static_cast<uint32_t>(inputSize % 7), heap);
  heap.Free(block);
}

// The frames of the input as `open` reads them (at most 256), each read whole and freed from a
// heap of `heapBytes`: every frame is 24-bit, of the canvas's size, and shown longer than
// `shortestDelayMs`.
using OpenFramesFn = FrameReader* (*)(ByteSource& file, BlockHeap& heap, AnimationFacts* facts);
inline void WalkFrames(OpenFramesFn open, const uint8_t* data, size_t size, size_t heapBytes,
                       uint32_t shortestDelayMs) {
  MemorySource file(data, size);
  CHeap heap(heapBytes);
  AnimationFacts facts;
  FrameReader* frames = open(file, heap, &facts);
  if (!frames) return;
  for (int k = 0; k < 256; ++k) {
    uint32_t delay = 0;
    FrameStatus status = kFrameEnd;
    void* block = frames->Next(heap, &delay, &status);
    if (!block) break;
    const DibHeader h = ReadDibHeader(block);
    if (uint32_t(h.biWidth) != facts.width || uint32_t(h.biHeight) != facts.height || h.biBitCount != 24 ||
        delay <= shortestDelayMs) {
      __builtin_trap();
    }
    TouchPackedDib(block);
    heap.Free(block);
  }
  delete frames;
}

}  // namespace lmx::fuzz
