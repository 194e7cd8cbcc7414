// What the readers' native tests share: files read from the corpus or written byte by byte,
// and one decode with the block it made and the messages it asked for.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "plugins/common/byte_source.h"
#include "plugins/common/decode_messages.h"
#include "plugins/common/packed_dib.h"
#include "tests/support/test_bytes.h"

namespace lmx::test {

using Bytes = std::vector<uint8_t>;
using Said = std::vector<std::pair<uint16_t, Severity>>;
using Shape = std::vector<int64_t>;
constexpr Severity E = Severity::kError;
constexpr Severity W = Severity::kWarning;

// A file of the shared corpus ("pngsuite/basn0g01.png"), of this tree ("tests/..."), or a
// full path, its first `keep` bytes.
inline Bytes FileBytes(const std::string& name, size_t keep = SIZE_MAX) {
  std::string path = name;
  if (name.rfind("tests/", 0) == 0) path = std::string(LMX_SOURCE_DIR) + "/" + name;
  else if (name[0] != '/') path = std::string(LMX_CORPUS_DIR) + "/" + name;
  std::ifstream in(path, std::ios::binary);
  Bytes bytes(std::istreambuf_iterator<char>(in), {});
  EXPECT_FALSE(bytes.empty()) << path;
  if (keep < bytes.size()) bytes.resize(keep);
  return bytes;
}

inline void Append(Bytes& b, std::initializer_list<uint8_t> bytes) { b.insert(b.end(), bytes.begin(), bytes.end()); }
inline Bytes Text(const char* s) { return Bytes(s, s + std::char_traits<char>::length(s)); }

// A heap that records what it is asked for and gives nothing.
class RecordingHeap final : public BlockHeap {
 public:
  void* Alloc(size_t size) override {
    asked.push_back(size);
    return nullptr;
  }
  void Free(void*) override {}
  bool OutOfMemory() const override { return true; }
  std::vector<size_t> asked;
};

// One decode: `read(heap, messages)` runs at construction, its block is freed with the object.
class Decoded {
 public:
  template <class Read>
  explicit Decoded(Read&& read) : block_(static_cast<uint8_t*>(read(heap_, messages_))) {}
  ~Decoded() { heap_.Free(block_); }
  Decoded(const Decoded&) = delete;
  Decoded& operator=(const Decoded&) = delete;

  explicit operator bool() const { return block_ != nullptr; }
  Said Messages() const {
    Said said;
    for (int i = 0; i < messages_.Count(); ++i) said.emplace_back(messages_.At(i).id, messages_.At(i).severity);
    return said;
  }
  const DecodeMessages& Raw() const { return messages_; }
  DibHeader Header() const { return ReadDibHeader(block_); }
  // The header but its size: width, height, planes, bit count, compression, image size,
  // resolution across and down, colours used and important.
  std::vector<int64_t> Shape() const {
    const DibHeader h = Header();
    return {h.biWidth,     h.biHeight,        h.biPlanes,        h.biBitCount, h.biCompression,
            h.biSizeImage, h.biXPelsPerMeter, h.biYPelsPerMeter, h.biClrUsed,  h.biClrImportant};
  }
  // Bits per pixel, colours in the table and colours that count.
  std::vector<int64_t> Colours() const { return {Header().biBitCount, Header().biClrUsed, Header().biClrImportant}; }
  const uint8_t* Bytes() const { return block_; }
  // Table entry i as red, green, blue and the reserved byte.
  std::vector<int> Quad(int i) const {
    const RgbQuad q = reinterpret_cast<const RgbQuad*>(block_ + kInfoHeaderSize + DibMaskBytes(Header()))[i];
    return {q.red, q.green, q.blue, q.reserved};
  }
  const uint8_t* Pixels() const {
    const DibHeader h = Header();
    return block_ + kInfoHeaderSize + DibMaskBytes(h) + h.biClrUsed * 4;
  }
  const uint8_t* Row(int y) const { return Pixels() + y * DibStride(Header().biWidth, Header().biBitCount); }
  test::Bytes RowBytes(int y, size_t n) const { return test::Bytes(Row(y), Row(y) + n); }

 private:
  CHeap heap_;
  DecodeMessages messages_;
  uint8_t* block_;
};

// What `read` (a reader of a byte source) makes of `file`.
template <class Read>
Decoded ReadSource(Read read, const Bytes& file) {
  return Decoded([&](BlockHeap& heap, DecodeMessages& messages) {
    MemorySource source(file.data(), file.size());
    return read(source, heap, messages);
  });
}

// A reader's answers to files: the messages (ids and severities) and whether a picture came.
struct Answer {
  const char* what;
  Bytes file;
  Said said;
  bool picture;
};
template <class Decode>
void ExpectAnswers(Decode decode, const std::vector<Answer>& answers) {
  for (const Answer& a : answers) {
    SCOPED_TRACE(a.what);
    const Decoded d = decode(a.file);
    EXPECT_EQ(d.Messages(), a.said);
    EXPECT_EQ(static_cast<bool>(d), a.picture);
  }
}

}  // namespace lmx::test
