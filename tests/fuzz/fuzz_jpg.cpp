// Any bytes as a JPEG file, through libjpeg and the placing of rows: the reader must refuse
// or decode, never touch memory it does not own, and release every block it does not return.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "plugins/jpg/jpg_details.h"
#include "plugins/jpg/jpg_reader.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/plugins/jpg/jpg_writer.h"

namespace {

// An eighth from the DC coefficients must not depend on the threads: on one and on more, both
// refuse, or both give the same samples.
void CheckDcThreads(const uint8_t* data, size_t size) {
  lmx::test::EighthHeader header(data, size);
  lmx::jpg::DcScan scan;
  if (!header.Describe(&scan)) return;
  lmx::jpg::DcPlanes one, more;
  const bool a = one.Decode(scan, 1), b = more.Decode(scan, 2 + size % 3);
  if (a != b) __builtin_trap();
  for (unsigned c = 0; a && c < scan.components; ++c) {
    const lmx::jpg::DcComponent& k = scan.component[c];
    const size_t samples = size_t{scan.mcusAcross} * k.across * scan.mcusDown * k.down;
    if (std::memcmp(one.Row(c, 0), more.Row(c, 0), samples) != 0) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The plug-in decodes a mapped file from memory, and reads an unmapped one whole first: the
  // input's last byte picks one.
  const bool mapped = size > 0 && (data[size - 1] & 1);
  lmx::CHeap heap(8u << 20);  // larger claims only take the refusal path, slowly
  lmx::DecodeMessages messages;
  lmx::MemorySource file(data, size);
  // Some inputs through the reduced reader (libjpeg's scaling), into a box the length picks,
  // when the picture they claim would fit the heap whole: a larger one only makes libjpeg fill
  // its coefficient buffers for seconds, as the whole decode does after its block.
  const uint32_t box = 1 + static_cast<uint32_t>(size % 97);
  lmx::PictureSize full;
  const bool small = lmx::fuzz::ClaimFits(lmx::jpg::DescribeJpeg, data, size, 8u << 20);
  void* block =
      size % 3 == 0 && small
          ? lmx::jpg::ReadJpegFile({file, mapped ? data : nullptr, size, 0, box, box, &full}, heap, messages, nullptr)
      : mapped ? lmx::jpg::ReadJpeg(data, size, heap, messages)
               : lmx::jpg::ReadJpeg(file, heap, messages);
  if (size % 3 == 1) CheckDcThreads(data, size);
  // A refusal says why, once; a picture comes with at most its warning.
  if (block ? messages.Count() > 1 : messages.Count() != 1) __builtin_trap();
  lmx::fuzz::CheckAndFree(block, size, heap);
  return 0;
}
