// libtiff over a ByteSource: a file open as a TIFF, closed with the object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include <tiffio.h>

#include "plugins/common/byte_source.h"

namespace lmx::tif {

// What libtiff's client procedures read: the source, and the file's bytes when they are all
// in memory already (libtiff then takes strips straight from them).
struct Input {
  ByteSource* source;
  const void* mapped;  // null when the file is only read
  uint64_t mappedSize;
};

class TiffFile {
 public:
  // Opens `source`, whose bytes are at `mapped` when that is not null, at its first page.
  TiffFile(ByteSource& source, const void* mapped, size_t mappedSize);
  ~TiffFile();
  TiffFile(const TiffFile&) = delete;
  TiffFile& operator=(const TiffFile&) = delete;

  TIFF* get() const { return tif_; }
  // A reader of its own over the same bytes, at the same page, for another thread: null
  // unless the file's bytes are all in memory and it opens as this one did.
  std::unique_ptr<TiffFile> Another() const;

 private:
  std::unique_ptr<MemorySource> own_;  // the source of a reader made by Another()
  Input input_;
  TIFF* tif_ = nullptr;
};

}  // namespace lmx::tif
