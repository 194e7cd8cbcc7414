// The image data of a PNG file held whole in memory, inflated at once by libdeflate rather than
// row by row by zlib under libpng, which costs most of a decode. libpng still reads the file
// and makes every row: it gets the inflated rows as stored deflate blocks, which zlib only
// copies, so every picture, message and outcome stays as zlib's inflation gives them.
//
// Taken only where the outcome cannot differ: the picture is not interlaced; its IDAT chunks
// are whole, follow one another and their CRCs are right; their data is one zlib stream with a
// 32 KiB window and no dictionary. When libdeflate finds that stream damaged, short or longer
// than the rows, libpng gets the stream as it is and zlib inflates it as usual.
#pragma once

#include <cstddef>
#include <cstdint>

#include <png.h>

namespace lmx::png {

class WholeIdat {
 public:
  WholeIdat() = default;
  WholeIdat(const WholeIdat&) = delete;
  WholeIdat& operator=(const WholeIdat&) = delete;
  ~WholeIdat();

  // Whether the file's `size` bytes at `file` (signature included) qualify; then the IDAT run
  // lies from Start() to End().
  bool Find(const uint8_t* file, size_t size);
  uint64_t Start() const { return start_; }
  uint64_t End() const { return end_; }

  // Feeds libpng the image data as IDAT chunks of its own, after the file up to Start() and
  // before the file from End(). libpng's errors (its refusal of the picture among them) jump
  // out of here as out of png_process_data; what this holds is freed by the destructor.
  void Feed(png_structp png, png_infop info);

 private:
  void Process(png_structp png, png_infop info, const uint8_t* data, size_t size);
  bool Inflate();

  const uint8_t* file_ = nullptr;
  uint64_t start_ = 0, end_ = 0;
  size_t chunks_ = 0;         // IDAT chunks in the run
  size_t streamBytes_ = 0;    // their data: the zlib stream
  uint64_t rowBytes_ = 0;     // the filtered rows it must inflate to
  uint8_t* stream_ = nullptr; // the stream in one piece, when it spans chunks
  uint8_t* rows_ = nullptr;   // the inflated rows
  uint8_t adler_[4] = {};     // the stream's own Adler-32
};

}  // namespace lmx::png
