#include "plugins/png/whole_idat.h"

#include <cstdlib>
#include <cstring>

#include <libdeflate.h>

#include "plugins/common/packed_dib.h"

namespace lmx::png {
namespace {

constexpr size_t kSignatureBytes = 8;
constexpr uint32_t kMaxChunkLength = 0x7FFFFFFF;
constexpr size_t kStoredMax = 0xFFFF;  // bytes of a stored deflate block

uint32_t Be32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

void PutBe32(uint8_t* p, uint64_t v) {
  p[0] = static_cast<uint8_t>(v >> 24), p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8), p[3] = static_cast<uint8_t>(v);
}

bool IsType(const uint8_t* chunk, const char* type) { return std::memcmp(chunk + 4, type, 4) == 0; }

// The bytes of the filtered rows of a picture that is not interlaced, from its IHDR data:
// each row a filter byte and its samples. 0 when the header is not one libpng reads so.
uint64_t FilteredBytes(const uint8_t* ihdr) {
  const uint32_t width = Be32(ihdr), height = Be32(ihdr + 4);
  const uint32_t depth = ihdr[8], colorType = ihdr[9];
  if (ihdr[10] != 0 || ihdr[11] != 0 || ihdr[12] != 0) return 0;  // compression, filter, interlace
  if (width == 0 || height == 0 || width > kMaxChunkLength || height > kMaxChunkLength) return 0;
  uint32_t channels = 0;
  switch (colorType) {
    case 0: channels = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16 ? 1 : 0; break;
    case 3: channels = depth == 1 || depth == 2 || depth == 4 || depth == 8 ? 1 : 0; break;
    case 2: channels = depth == 8 || depth == 16 ? 3 : 0; break;
    case 4: channels = depth == 8 || depth == 16 ? 2 : 0; break;
    case 6: channels = depth == 8 || depth == 16 ? 4 : 0; break;
    default: break;
  }
  if (!channels) return 0;
  return uint64_t{height} * (1 + (uint64_t{width} * channels * depth + 7) / 8);
}

}  // namespace

WholeIdat::~WholeIdat() {
  std::free(stream_);
  std::free(rows_);
}

bool WholeIdat::Find(const uint8_t* file, size_t size) {
  file_ = file;
  if (!file || size < kSignatureBytes + 8 + 13 + 4) return false;
  const uint8_t* ihdr = file + kSignatureBytes;
  if (Be32(ihdr) != 13 || !IsType(ihdr, "IHDR")) return false;
  rowBytes_ = FilteredBytes(ihdr + 8);
  if (rowBytes_ == 0 || rowBytes_ > kMaxBlockBytes) return false;
  for (uint64_t at = kSignatureBytes; size - at >= 8;) {
    const uint8_t* chunk = file + at;
    const uint32_t length = Be32(chunk);
    if (length > kMaxChunkLength || size - at - 8 < uint64_t{length} + 4) return false;  // cut short
    const uint64_t next = at + 12 + length;
    if (!IsType(chunk, "IDAT")) {
      if (chunks_) break;  // the run has ended
      at = next;
      continue;
    }
    if (!chunks_) start_ = at;
    if (libdeflate_crc32(0, chunk + 4, length + 4) != Be32(chunk + 8 + length)) return false;
    ++chunks_;
    streamBytes_ += length;
    end_ = at = next;
  }
  if (!chunks_ || Be32(file + start_) < 2) return false;
  // A deflate stream with a 32 KiB window and no preset dictionary, whose header checks.
  const uint8_t cmf = file[start_ + 8], flg = file[start_ + 9];
  return cmf == 0x78 && (flg & 0x20) == 0 && (cmf * 256u + flg) % 31 == 0;
}

bool WholeIdat::Inflate() {
  const uint8_t* stream = file_ + start_ + 8;
  if (chunks_ > 1) {
    stream_ = static_cast<uint8_t*>(std::malloc(streamBytes_));
    if (!stream_) return false;
    size_t filled = 0;
    for (uint64_t at = start_; at < end_;) {
      const uint32_t length = Be32(file_ + at);
      std::memcpy(stream_ + filled, file_ + at + 8, length);
      filled += length;
      at += 12 + uint64_t{length};
    }
    stream = stream_;
  }
  rows_ = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(rowBytes_)));
  libdeflate_decompressor* inflater = rows_ ? libdeflate_alloc_decompressor() : nullptr;
  if (!inflater) return false;
  size_t used = 0, made = 0;
  const libdeflate_result result = libdeflate_zlib_decompress_ex(inflater, stream, streamBytes_, rows_,
                                                                 static_cast<size_t>(rowBytes_), &used, &made);
  libdeflate_free_decompressor(inflater);
  if (streamBytes_ >= 4) std::memcpy(adler_, stream + streamBytes_ - 4, 4);
  std::free(stream_);
  stream_ = nullptr;
  return result == LIBDEFLATE_SUCCESS && used == streamBytes_ && made == rowBytes_;
}

void WholeIdat::Process(png_structp png, png_infop info, const uint8_t* data, size_t size) {
  png_process_data(png, info, const_cast<uint8_t*>(data), size);
}

void WholeIdat::Feed(png_structp png, png_infop info) {
  // The CRCs of the chunks made here are not computed: the file's own were checked above.
  png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_DEFAULT);
  // First a chunk of the stream's two header bytes: libpng lays the picture out on meeting it,
  // and may refuse it there, before any memory goes to the inflation.
  uint8_t head[8 + 2 + 4] = {0, 0, 0, 2, 'I', 'D', 'A', 'T'};
  head[8] = file_[start_ + 8];
  head[9] = file_[start_ + 9];
  Process(png, info, head, sizeof head);

  const uint8_t noCrc[4] = {};
  uint8_t header[8] = {0, 0, 0, 0, 'I', 'D', 'A', 'T'};
  if (Inflate()) {
    // The rows as stored blocks, then the stream's own Adler-32.
    const uint64_t blocks = (rowBytes_ + kStoredMax - 1) / kStoredMax;
    PutBe32(header, blocks * 5 + rowBytes_ + 4);
    Process(png, info, header, sizeof header);
    for (uint64_t at = 0; at < rowBytes_; at += kStoredMax) {
      const size_t n = rowBytes_ - at < kStoredMax ? static_cast<size_t>(rowBytes_ - at) : kStoredMax;
      const uint8_t block[5] = {static_cast<uint8_t>(at + n == rowBytes_ ? 1 : 0), static_cast<uint8_t>(n),
                                static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(~n),
                                static_cast<uint8_t>(~n >> 8)};
      Process(png, info, block, sizeof block);
      Process(png, info, rows_ + at, n);
    }
    Process(png, info, adler_, sizeof adler_);
  } else {
    // The stream as it is, after its header, for zlib to inflate as the file would have it.
    PutBe32(header, streamBytes_ - 2);
    Process(png, info, header, sizeof header);
    bool first = true;
    for (uint64_t at = start_; at < end_; first = false) {
      const uint32_t length = Be32(file_ + at);
      const size_t skip = first ? 2 : 0;
      if (length > skip) Process(png, info, file_ + at + 8 + skip, length - skip);
      at += 12 + uint64_t{length};
    }
  }
  Process(png, info, noCrc, sizeof noCrc);
  std::free(rows_);
  rows_ = nullptr;
  png_set_crc_action(png, PNG_CRC_DEFAULT, PNG_CRC_DEFAULT);
}

}  // namespace lmx::png
