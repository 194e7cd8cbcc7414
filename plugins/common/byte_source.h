// The decoders' view of a file and of the host's heap, so that the same decoding code
// runs over a Win32 file handle in a plug-in and over a memory buffer when fuzzed.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lmx {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to `size` bytes; `*got` receives how many arrived. False on a read error
  // (not on a short read at the end of the file).
  virtual bool Read(void* dst, size_t size, size_t* got) = 0;
  // Moves to an absolute position, or relative to the current one; false on failure.
  virtual bool Seek(uint64_t position) = 0;
  virtual bool Skip(int64_t delta) = 0;
  virtual uint64_t Position() const = 0;
  virtual uint64_t Size() const = 0;
};

// Zero-filled blocks; the result of a decode is handed over as such a block.
class BlockHeap {
 public:
  virtual ~BlockHeap() = default;
  // Null on failure; `OutOfMemory()` then tells whether memory ran out.
  virtual void* Alloc(size_t size) = 0;
  virtual void Free(void* block) = 0;
  virtual bool OutOfMemory() const = 0;
};

// A source over bytes in memory.
class MemorySource final : public ByteSource {
 public:
  MemorySource(const void* data, size_t size)
      : data_(static_cast<const uint8_t*>(data)), size_(size) {}
  bool Read(void* dst, size_t size, size_t* got) override;
  bool Seek(uint64_t position) override;
  bool Skip(int64_t delta) override;
  uint64_t Position() const override { return pos_; }
  uint64_t Size() const override { return size_; }

 private:
  const uint8_t* data_;
  size_t size_;
  uint64_t pos_ = 0;
};

// calloc/free with an optional cap, for native builds and tests.
class CHeap final : public BlockHeap {
 public:
  explicit CHeap(size_t limit = SIZE_MAX) : limit_(limit) {}
  void* Alloc(size_t size) override;
  void Free(void* block) override;
  bool OutOfMemory() const override { return outOfMemory_; }

 private:
  size_t limit_;
  bool outOfMemory_ = false;
};

}  // namespace lmx
