// A file's bytes for a decoder that reads them in order: taken from the source a buffer at a
// time, little-endian numbers assembled, and zeros for whatever lies past the end, so that a
// decoder never reads outside what it was given and checks the flags where it matters.
//  - Ended(): a read wanted bytes past the end of the file (or of the reader's limit).
//  - Failed(): the source reported an error, or gave fewer bytes than it says it holds.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/common/byte_source.h"

namespace lmx {

class BoundedReader {
 public:
  // Reads through `buffer` of `capacity` bytes, from the source's current position up to
  // `limit` (an absolute position; the source's size when larger).
  BoundedReader(ByteSource& source, uint8_t* buffer, size_t capacity, uint64_t limit = UINT64_MAX);

  uint8_t U8() {
    if (at_ == end_ && !Refill()) return 0;
    return *at_++;
  }
  uint16_t Le16() {
    const uint16_t low = U8();
    return static_cast<uint16_t>(low | U8() << 8);
  }
  uint32_t Le32() {
    const uint32_t low = Le16();
    return low | uint32_t{Le16()} << 16;
  }

  // Copies `size` bytes into `dst`, zeros for those past the end; returns how many came from
  // the file. Large reads go straight into `dst`.
  size_t Read(void* dst, size_t size);
  // Moves `count` bytes on; past the end counts as a read past the end.
  void Skip(uint64_t count);
  // Moves to an absolute position (before the limit); false when the source cannot.
  bool Seek(uint64_t position);

  // The bytes at hand, refilled when there are none: their count (0 at the end) and where
  // they are. Consume(n) takes n of them.
  size_t Available(const uint8_t** at) {
    if (at_ == end_ && !Refill()) return 0;
    *at = at_;
    return static_cast<size_t>(end_ - at_);
  }
  void Consume(size_t count) { at_ += count; }

  uint64_t Position() const { return filePos_ - static_cast<uint64_t>(end_ - at_); }
  bool Ended() const { return ended_; }
  bool Failed() const { return failed_; }

 private:
  bool Refill();
  // Bytes the source still holds before the limit.
  uint64_t Left() const { return filePos_ < limit_ ? limit_ - filePos_ : 0; }

  ByteSource& source_;
  uint8_t* buffer_;
  size_t capacity_;
  uint64_t limit_;
  uint64_t filePos_;  // the source's position: just past the buffered bytes
  const uint8_t* at_ = nullptr;
  const uint8_t* end_ = nullptr;
  bool ended_ = false;
  bool failed_ = false;
};

}  // namespace lmx
