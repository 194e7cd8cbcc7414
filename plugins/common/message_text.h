// A plug-in message's text with its value filled in.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lmx {

// Fills the placeholders of `format` from `value` into `out` (at most `capacity` characters
// with the NUL): each "%c" takes one byte of the value, lowest first, as Latin-1; "%d" takes
// all of it as a signed number. Other characters are copied; the text is cut to fit.
void FormatMessageText(const wchar_t* format, uint32_t value, wchar_t* out, size_t capacity);

}  // namespace lmx
