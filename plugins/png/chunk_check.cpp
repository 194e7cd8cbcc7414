#include "plugins/png/chunk_check.h"

#include <zlib.h>

namespace lmx::png {
namespace {

uint32_t Be32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

}  // namespace

size_t ChunkWalker::Piece(const uint8_t* data, size_t size) {
  completed_ = false;
  size_t at = 0;
  while (at < size && part_ != Part::kDone) {
    if (part_ == Part::kData) {
      const uint64_t n = size - at < left_ ? size - at : left_;
      at += static_cast<size_t>(n);
      pos_ += n;
      left_ -= n;
      if (left_ == 0) {
        part_ = Part::kCrc;
        if (at > 0) return at;  // the CRC goes in the next piece
      }
      continue;
    }
    field_[have_++] = data[at++];
    ++pos_;
    if (have_ < 4) continue;
    have_ = 0;
    switch (part_) {
      case Part::kLength:
        chunkStart_ = pos_ - 4;
        length_ = Be32(field_);
        left_ = length_;
        part_ = Part::kType;
        break;
      case Part::kType:
        // Bit 5 of the first letter: lower case marks an ancillary chunk.
        critical_ = (field_[0] & 0x20) == 0;
        end_ = field_[0] == 'I' && field_[1] == 'E' && field_[2] == 'N' && field_[3] == 'D';
        part_ = left_ ? Part::kData : Part::kCrc;
        if (!left_) return at;
        break;
      case Part::kCrc:
        if (critical_) {
          completed_ = true;
          completedStart_ = chunkStart_;
          completedLength_ = length_;
        }
        part_ = end_ ? Part::kDone : Part::kLength;
        break;
      default:
        break;
    }
  }
  return size;
}

bool ChunkWalker::PieceEndedBadChunk(ByteSource& file) const {
  if (!completed_ || !file.Seek(completedStart_ + 4)) return false;
  uint8_t buffer[4096];
  uint64_t left = uint64_t{completedLength_} + 4;  // type and data
  uLong crc = crc32(0, nullptr, 0);
  while (left > 0) {
    const size_t want = left < sizeof buffer ? static_cast<size_t>(left) : sizeof buffer;
    size_t got = 0;
    if (!file.Read(buffer, want, &got) || got < want) return false;
    crc = crc32(crc, buffer, static_cast<uInt>(got));
    left -= got;
  }
  uint8_t stored[4];
  size_t got = 0;
  return file.Read(stored, 4, &got) && got == 4 && Be32(stored) != static_cast<uint32_t>(crc);
}

}  // namespace lmx::png
