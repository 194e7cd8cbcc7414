// Where a PNG file's chunks lie, followed as the file is fed to libpng, so that when libpng
// stops on an error the decoder can tell a damaged critical chunk by checking that chunk's CRC
// itself rather than by the wording of libpng's message.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/common/byte_source.h"

namespace lmx::png {

class ChunkWalker {
 public:
  // `start`: the file position of the first chunk (after the signature).
  explicit ChunkWalker(uint64_t start) : pos_(start) {}

  // Of the `size` bytes at `data` (the file's next bytes), how many to feed at once: all of
  // them, or those before the next CRC field, so that a chunk's CRC is always checked by
  // libpng in a piece of its own start. Call again with the rest.
  size_t Piece(const uint8_t* data, size_t size);

  // Whether the last piece completed a critical chunk, and that chunk's CRC is wrong in
  // `file` (read again from the file).
  bool PieceEndedBadChunk(ByteSource& file) const;

 private:
  enum class Part { kLength, kType, kData, kCrc, kDone };

  Part part_ = Part::kLength;
  uint64_t pos_;            // file position of the next byte
  uint8_t field_[4] = {};
  uint32_t have_ = 0;       // bytes of the current length, type or CRC field so far
  uint32_t length_ = 0;     // data bytes of the current chunk
  uint64_t left_ = 0;       // of them still to come
  uint64_t chunkStart_ = 0; // position of the current chunk's length field
  bool critical_ = false;
  bool end_ = false;        // the current chunk is IEND
  // The critical chunk whose CRC the last piece completed.
  bool completed_ = false;
  uint64_t completedStart_ = 0;
  uint32_t completedLength_ = 0;
};

}  // namespace lmx::png
