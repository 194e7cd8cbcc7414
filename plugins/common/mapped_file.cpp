#include "plugins/common/mapped_file.h"

namespace lmx {

MappedFile::MappedFile(const wchar_t* fileName)
    : file_(CreateFileW(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                        nullptr)) {
  LARGE_INTEGER size{};
  if (!IsOpen() || !GetFileSizeEx(file_, &size) || size.QuadPart <= 0) return;
  mapping_ = CreateFileMappingW(file_, nullptr, PAGE_READONLY, 0, 0, nullptr);
  if (mapping_) view_ = MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0);
  if (view_) size_ = static_cast<size_t>(size.QuadPart);
}

MappedFile::~MappedFile() {
  if (view_) UnmapViewOfFile(view_);
  if (mapping_) CloseHandle(mapping_);
  if (IsOpen()) CloseHandle(file_);
}

}  // namespace lmx
