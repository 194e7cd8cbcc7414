// The shared part of the plug-in contract: the Win32 pieces the exports of every plug-in use.
#pragma once

#include <windows.h>

#include "plugins/common/byte_source.h"
#include "plugins/common/file_details.h"
#include "plugins/common/local_heap.h"
#include "plugins/common/plugin_api.h"
#include "plugins/common/plugin_format.h"

namespace lmx {

// LMX_GetFileDetails over `describe`: the file's facts as UTF-16 lines "key\tvalue\n" in
// `buffer` (whole lines, as many as fit, then a NUL), never a message box. Returns the
// characters the whole text needs with its NUL, or 0 when the file cannot be read or is not
// of the format (the buffer then holds an empty text).
DWORD WriteFileDetails(const wchar_t* fileName, DWORD imageIndex, wchar_t* buffer, DWORD bufferChars,
                       DescribeFileFn describe);

// A file opened for shared reading; closed when the object goes.
class FileSource final : public ByteSource {
 public:
  explicit FileSource(const wchar_t* fileName);
  ~FileSource() override;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool Read(void* dst, size_t size, size_t* got) override;
  bool Seek(uint64_t position) override;
  bool Skip(int64_t delta) override;
  uint64_t Position() const override;
  uint64_t Size() const override { return size_; }

 private:
  HANDLE handle_;
  uint64_t size_ = 0;
};

// The system wait cursor for the lifetime of the object.
class WaitCursor {
 public:
  WaitCursor() : previous_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
  ~WaitCursor() { SetCursor(previous_); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR previous_;
};

}  // namespace lmx
