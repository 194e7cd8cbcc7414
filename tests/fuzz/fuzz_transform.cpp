// Any bytes as a packed DIB block (after a first byte that picks the transform and the
// instruction-set form that carries it out, as far as the processor has it): each
// transform must refuse the block or stay inside it, and a picture it turns must come back
// pixel for pixel through the opposite transform.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "image/dib_quarter_turns.h"
#include "image/dib_transforms.h"
#include "plugins/common/packed_dib.h"

namespace {

int Opposite(int code) {
  switch (code) {
    case lmx::kRotateClockwise: return lmx::kRotateCounterClockwise;
    case lmx::kRotateCounterClockwise: return lmx::kRotateClockwise;
    default: return code;
  }
}

// The pixels of every row, without the bits and bytes past the last one.
bool SamePixels(const uint8_t* a, const lmx::DibLayout& la, const uint8_t* b, const lmx::DibLayout& lb) {
  if (la.width != lb.width || la.height != lb.height || la.bitCount != lb.bitCount) return false;
  const size_t bits = size_t{la.width} * la.bitCount;
  for (uint32_t y = 0; y < la.height; ++y) {
    const uint8_t* ra = a + la.pixelOffset + y * la.stride;
    const uint8_t* rb = b + lb.pixelOffset + y * lb.stride;
    if (std::memcmp(ra, rb, bits / 8) != 0) return false;
    if (bits % 8) {
      const uint8_t mask = static_cast<uint8_t>(0xFF00 >> (bits % 8));
      if ((ra[bits / 8] ^ rb[bits / 8]) & mask) return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int code = data[0] % 7;
  lmx::LimitTransformVectorForm(static_cast<lmx::VectorForm>(data[0] / 7 % 4));
  // A block of its own, so that the sanitizers see its exact end.
  std::vector<uint8_t> block(data + 1, data + size);
  lmx::CHeap heap(64u << 20);

  if (code == lmx::kInvert) {
    std::vector<uint8_t> before = block;
    if (lmx::InvertDib(block.data(), block.size()) == lmx::DibStatus::kOk) {
      lmx::InvertDib(block.data(), block.size());
      lmx::DibLayout l;
      if (lmx::ReadDibLayout(before.data(), before.size(), &l) && l.bitCount != 8 &&
          !SamePixels(before.data(), l, block.data(), l)) {
        std::abort();
      }
    }
    return 0;
  }

  void* out = nullptr;
  size_t outBytes = 0;
  if (lmx::TransformDib(block.data(), block.size(), code, heap, &out, &outBytes) != lmx::DibStatus::kOk) return 0;
  lmx::DibLayout src, dst;
  if (!lmx::ReadDibLayout(block.data(), block.size(), &src) || !lmx::ReadDibLayout(out, outBytes, &dst) ||
      dst.pixelOffset + dst.imageBytes != outBytes) {
    std::abort();
  }
  const lmx::DibHeader h = lmx::ReadDibHeader(out);
  if (h.biXPelsPerMeter != lmx::kDefaultPelsPerMeter || h.biSizeImage != dst.imageBytes) std::abort();

  void* back = nullptr;
  size_t backBytes = 0;
  if (lmx::TransformDib(out, outBytes, Opposite(code), heap, &back, &backBytes) == lmx::DibStatus::kOk) {
    lmx::DibLayout l;
    if (!lmx::ReadDibLayout(back, backBytes, &l) ||
        !SamePixels(block.data(), src, static_cast<const uint8_t*>(back), l)) {
      std::abort();
    }
    heap.Free(back);
  }
  heap.Free(out);
  return 0;
}
