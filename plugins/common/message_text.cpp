#include "plugins/common/message_text.h"

#include <cwchar>

namespace lmx {
namespace {

void Append(wchar_t* out, size_t capacity, size_t* at, wchar_t c) {
  if (*at + 1 < capacity) out[(*at)++] = c;
  out[*at] = L'\0';
}

}  // namespace

void FormatMessageText(const wchar_t* format, uint32_t value, wchar_t* out, size_t capacity) {
  if (capacity == 0) return;
  size_t at = 0;
  out[0] = L'\0';
  int byte = 0;
  for (const wchar_t* p = format; *p; ++p) {
    if (p[0] == L'%' && p[1] == L'c') {
      Append(out, capacity, &at, static_cast<wchar_t>(byte < 4 ? (value >> (8 * byte)) & 0xFF : 0));
      ++byte;
      ++p;
    } else if (p[0] == L'%' && p[1] == L'd') {
      wchar_t number[16];
      swprintf(number, 16, L"%d", static_cast<int>(value));
      for (const wchar_t* n = number; *n; ++n) Append(out, capacity, &at, *n);
      ++p;
    } else {
      Append(out, capacity, &at, *p);
    }
  }
}

}  // namespace lmx
