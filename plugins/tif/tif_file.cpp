#include "plugins/tif/tif_file.h"

#include <cstdio>
#include <new>

namespace lmx::tif {
namespace {

// libtiff's own diagnostics never reach the user: failures are told with our messages.
void SilenceLibtiff() {
  TIFFSetErrorHandler(nullptr);
  TIFFSetWarningHandler(nullptr);
}

// libtiff's client procedures over an Input.
ByteSource& SourceOf(thandle_t handle) { return *static_cast<Input*>(handle)->source; }

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t size) {
  if (size <= 0) return 0;
  size_t got = 0;
  if (!SourceOf(handle).Read(buffer, static_cast<size_t>(size), &got)) return -1;
  return static_cast<tmsize_t>(got);
}

tmsize_t WriteProc(thandle_t, void*, tmsize_t) { return -1; }

toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
  ByteSource& source = SourceOf(handle);
  uint64_t base = 0;
  switch (whence) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = source.Position(); break;
    case SEEK_END: base = source.Size(); break;
    default: return static_cast<toff_t>(-1);
  }
  // Relative moves come as two's-complement offsets.
  const uint64_t target = base + offset;
  if (whence != SEEK_SET && static_cast<int64_t>(offset) < 0 && target > base) return static_cast<toff_t>(-1);
  if (target > static_cast<uint64_t>(INT64_MAX) || !source.Seek(target)) return static_cast<toff_t>(-1);
  return target;
}

int CloseProc(thandle_t) { return 0; }  // the source belongs to the caller
toff_t SizeProc(thandle_t handle) { return SourceOf(handle).Size(); }

int MapProc(thandle_t handle, void** base, toff_t* size) {
  const Input& in = *static_cast<Input*>(handle);
  if (!in.mapped) return 0;
  *base = const_cast<void*>(in.mapped);
  *size = in.mappedSize;
  return 1;
}

void UnmapProc(thandle_t, void*, toff_t) {}

}  // namespace

TiffFile::TiffFile(ByteSource& source, const void* mapped, size_t mappedSize) : input_{&source, mapped, mappedSize} {
  SilenceLibtiff();
  tif_ = TIFFClientOpen("", "r", &input_, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc, MapProc, UnmapProc);
}

TiffFile::~TiffFile() {
  if (tif_) TIFFClose(tif_);
}

std::unique_ptr<TiffFile> TiffFile::Another() const {
  if (!tif_ || !input_.mapped) return nullptr;
  const size_t size = static_cast<size_t>(input_.mappedSize);
  std::unique_ptr<MemorySource> source(new (std::nothrow) MemorySource(input_.mapped, size));
  if (!source) return nullptr;
  std::unique_ptr<TiffFile> other(new (std::nothrow) TiffFile(*source, input_.mapped, size));
  if (!other || !other->tif_) return nullptr;
  other->own_ = std::move(source);
  const tdir_t page = TIFFCurrentDirectory(tif_);
  if (page != 0 && !TIFFSetDirectory(other->tif_, page)) return nullptr;
  return other;
}

}  // namespace lmx::tif
