// LMX_GetFileDetails of every plug-in: the file mapped, the format's facts read from it and
// handed to the caller as UTF-16 lines, quietly (no message box whatever the file holds).
#include <string>

#include "plugins/common/file_details.h"
#include "plugins/common/mapped_file.h"
#include "plugins/common/plugin_module.h"

namespace lmx {

DWORD WriteFileDetails(const wchar_t* fileName, DWORD imageIndex, wchar_t* buffer, DWORD bufferChars,
                       DescribeFileFn describe) {
  if (buffer && bufferChars) buffer[0] = L'\0';
  if (!fileName || !*fileName || !describe) return 0;
  FileDetails details;
  {
    MappedFile mapped(fileName);
    if (!mapped.View() ||
        !describe(static_cast<const uint8_t*>(mapped.View()), mapped.Size(), imageIndex, details)) {
      return 0;
    }
  }
  const std::string& text = details.Text();
  const int chars = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (chars <= 0) return 0;
  std::wstring wide(static_cast<size_t>(chars), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], chars);
  const DWORD needed = static_cast<DWORD>(chars) + 1;
  if (!buffer || !bufferChars) return needed;
  // Whole lines only, as many as the buffer holds with its terminating NUL.
  size_t take = wide.size();
  if (take >= bufferChars) {
    const size_t lastBreak = wide.rfind(L'\n', bufferChars - 2);
    take = lastBreak == std::wstring::npos ? 0 : lastBreak + 1;
  }
  wide.copy(buffer, take);
  buffer[take] = L'\0';
  return needed;
}

}  // namespace lmx
