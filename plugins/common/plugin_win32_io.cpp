#include "plugins/common/plugin_module.h"

namespace lmx {

FileSource::FileSource(const wchar_t* fileName)
    : handle_(CreateFileW(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr)) {
  LARGE_INTEGER size{};
  if (IsOpen() && GetFileSizeEx(handle_, &size)) size_ = static_cast<uint64_t>(size.QuadPart);
}

FileSource::~FileSource() {
  if (IsOpen()) CloseHandle(handle_);
}

bool FileSource::Read(void* dst, size_t size, size_t* got) {
  *got = 0;
  auto* out = static_cast<char*>(dst);
  // ReadFile takes 32-bit counts; a caller may ask for more.
  while (size > 0) {
    DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    DWORD n = 0;
    if (!ReadFile(handle_, out, chunk, &n, nullptr)) return false;
    *got += n;
    if (n < chunk) break;
    out += n;
    size -= n;
  }
  return true;
}

bool FileSource::Seek(uint64_t position) {
  LARGE_INTEGER to;
  to.QuadPart = static_cast<LONGLONG>(position);
  return SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN);
}

bool FileSource::Skip(int64_t delta) {
  LARGE_INTEGER by;
  by.QuadPart = delta;
  return SetFilePointerEx(handle_, by, nullptr, FILE_CURRENT);
}

uint64_t FileSource::Position() const {
  LARGE_INTEGER zero{}, at{};
  SetFilePointerEx(handle_, zero, &at, FILE_CURRENT);
  return static_cast<uint64_t>(at.QuadPart);
}

}  // namespace lmx
