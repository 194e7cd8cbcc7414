// A file opened for shared reading and mapped read-only, so that a decoder takes its bytes
// straight from memory. No view when the platform will not map the file (an empty one).
#pragma once

#include <windows.h>

#include <cstddef>

namespace lmx {

class MappedFile {
 public:
  explicit MappedFile(const wchar_t* fileName);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }
  const void* View() const { return view_; }
  size_t Size() const { return size_; }

 private:
  HANDLE file_;
  HANDLE mapping_ = nullptr;
  const void* view_ = nullptr;
  size_t size_ = 0;
};

}  // namespace lmx
