#include "plugins/common/bounded_reader.h"

#include <cstring>

namespace lmx {

BoundedReader::BoundedReader(ByteSource& source, uint8_t* buffer, size_t capacity, uint64_t limit)
    : source_(source),
      buffer_(buffer),
      capacity_(capacity),
      limit_(limit < source.Size() ? limit : source.Size()),
      filePos_(source.Position()) {}

bool BoundedReader::Refill() {
  const uint64_t left = Left();
  if (left == 0 || failed_) {
    ended_ = true;
    return false;
  }
  const size_t want = left < capacity_ ? static_cast<size_t>(left) : capacity_;
  size_t got = 0;
  if (!source_.Read(buffer_, want, &got) || got < want) failed_ = true;
  filePos_ += got;
  at_ = buffer_;
  end_ = buffer_ + got;
  if (got == 0) {
    ended_ = true;
    return false;
  }
  return true;
}

size_t BoundedReader::Read(void* dst, size_t size) {
  auto* out = static_cast<uint8_t*>(dst);
  size_t done = 0;
  // What the buffer holds first, then large remainders straight from the source.
  while (done < size) {
    if (at_ == end_) {
      const uint64_t left = Left();
      if (size - done >= capacity_ && left > 0 && !failed_) {
        const size_t want = size - done < left ? size - done : static_cast<size_t>(left);
        size_t got = 0;
        if (!source_.Read(out + done, want, &got) || got < want) failed_ = true;
        filePos_ += got;
        done += got;
        if (got < want) break;
        continue;
      }
      if (!Refill()) break;
    }
    size_t n = static_cast<size_t>(end_ - at_);
    if (n > size - done) n = size - done;
    std::memcpy(out + done, at_, n);
    at_ += n;
    done += n;
  }
  if (done < size) {
    ended_ = true;
    std::memset(out + done, 0, size - done);
  }
  return done;
}

void BoundedReader::Skip(uint64_t count) {
  const auto buffered = static_cast<uint64_t>(end_ - at_);
  if (count <= buffered) {
    at_ += count;
    return;
  }
  const uint64_t target = Position() + count;
  if (target > limit_ || !Seek(target)) ended_ = true;
}

bool BoundedReader::Seek(uint64_t position) {
  at_ = end_ = nullptr;
  if (position > limit_ || !source_.Seek(position)) {
    filePos_ = limit_;
    return false;
  }
  filePos_ = position;
  return true;
}

}  // namespace lmx
