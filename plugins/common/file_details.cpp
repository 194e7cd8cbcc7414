#include "plugins/common/file_details.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace lmx {
namespace {

void AppendUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | c >> 18);
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The code point of a valid UTF-8 sequence at `p` (at most `left` bytes) and its length;
// length 0 when the bytes are no valid sequence.
uint32_t DecodeUtf8(const uint8_t* p, size_t left, size_t* length) {
  *length = 0;
  const uint8_t b = p[0];
  size_t n;
  uint32_t c, least;
  if (b >= 0xC2 && b <= 0xDF) {
    n = 2, c = b & 0x1F, least = 0x80;
  } else if (b >= 0xE0 && b <= 0xEF) {
    n = 3, c = b & 0x0F, least = 0x800;
  } else if (b >= 0xF0 && b <= 0xF4) {
    n = 4, c = b & 0x07, least = 0x10000;
  } else {
    return 0;
  }
  if (n > left) return 0;
  for (size_t i = 1; i < n; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    c = c << 6 | (p[i] & 0x3F);
  }
  if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  *length = n;
  return c;
}

bool IsBlank(uint32_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

bool IsUnprintable(uint32_t c) {
  return c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x2028 || c == 0x2029 || c == 0xFEFF ||
         (c & 0xFFFE) == 0xFFFE;
}

}  // namespace

std::string CleanText(const uint8_t* bytes, size_t size, TextEncoding encoding) {
  std::string out;
  if (!bytes) return out;
  size_t chars = 0;
  bool pendingBlank = false;
  for (size_t i = 0; i < size && bytes[i] != 0;) {
    uint32_t c = bytes[i];
    size_t length = 1;
    if (c >= 0x80 && encoding == TextEncoding::kUtf8) {
      size_t n;
      const uint32_t decoded = DecodeUtf8(bytes + i, size - i, &n);
      if (n) c = decoded, length = n;
    }
    i += length;
    if (IsBlank(c)) {
      pendingBlank = chars > 0;
      continue;
    }
    if (chars + (pendingBlank ? 1 : 0) >= kMaxDetailChars) {
      out += "...";
      break;
    }
    if (pendingBlank) out += ' ', ++chars, pendingBlank = false;
    AppendUtf8(out, IsUnprintable(c) ? uint32_t{'?'} : c);
    ++chars;
  }
  return out;
}

void FileDetails::Add(const char* key, const std::string& value) {
  if (value.empty() || count_ >= kMaxDetailRecords || Has(key)) return;
  text_ += key;
  text_ += '\t';
  text_ += value;
  text_ += '\n';
  ++count_;
}

void FileDetails::AddText(const char* key, const uint8_t* bytes, size_t size, TextEncoding encoding) {
  Add(key, CleanText(bytes, size, encoding));
}

bool FileDetails::Has(const char* key) const {
  const std::string line = std::string(key) + '\t';
  for (size_t at = 0; at < text_.size();) {
    if (text_.compare(at, line.size(), line) == 0) return true;
    const size_t end = text_.find('\n', at);
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return false;
}

std::string FileDetails::Value(const char* key) const {
  const std::string line = std::string(key) + '\t';
  for (size_t at = 0; at < text_.size();) {
    const size_t end = text_.find('\n', at);
    if (text_.compare(at, line.size(), line) == 0) return text_.substr(at + line.size(), end - at - line.size());
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return {};
}

std::string Printf(const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return n < 0 ? std::string() : std::string(text, std::strlen(text));
}

std::string Decimal(double value, int decimals) {
  if (!std::isfinite(value) || std::fabs(value) >= 1e12) return {};
  std::string text = Printf("%.*f", decimals, value);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  if (text == "-0") text = "0";
  return text;
}

std::string PixelsPerMetreText(int64_t x, int64_t y) {
  if (x <= 0 || y <= 0) return {};
  return Printf("%lld x %lld pixels per metre (%s dpi)", static_cast<long long>(x), static_cast<long long>(y),
                Decimal(static_cast<double>(x) * 0.0254, 0).c_str());
}

}  // namespace lmx
