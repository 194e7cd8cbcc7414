#include "platform/peghelp/help_text.h"

#include <windows.h>

#include <cwctype>

namespace peghelp {

namespace {

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\f'; }

std::wstring Lower(std::wstring s) {
  for (wchar_t& c : s) c = static_cast<wchar_t>(std::towlower(c));
  return s;
}

// The growing text: white space collapses, line breaks do not pile up beyond one blank line.
class TextBuilder {
 public:
  void Text(wchar_t c) {
    if (IsSpace(c)) {
      pendingSpace_ = true;
      return;
    }
    if (pendingSpace_ && !AtLineStart()) out_ += L' ';
    pendingSpace_ = false;
    out_ += c;
  }
  void Break(int lines) {
    pendingSpace_ = false;
    if (out_.empty()) return;
    int have = 0;
    for (size_t i = out_.size(); i >= 2 && out_.compare(i - 2, 2, L"\r\n") == 0 && have < 2; i -= 2) ++have;
    for (; have < lines; ++have) out_ += L"\r\n";
  }
  void Literal(const wchar_t* s) {
    pendingSpace_ = false;
    out_ += s;
  }
  size_t Offset() const { return out_.size(); }
  std::wstring Finish() {
    while (out_.size() >= 2 && out_.compare(out_.size() - 2, 2, L"\r\n") == 0) out_.resize(out_.size() - 2);
    return out_;
  }

 private:
  bool AtLineStart() const { return out_.empty() || out_.back() == L'\n'; }
  std::wstring out_;
  bool pendingSpace_ = false;
};

struct Tag {
  std::wstring name;  // lower case, without "/"
  bool closing = false;
  std::wstring attributes;
};

Tag ParseTag(const std::wstring& inner) {
  Tag tag;
  size_t i = 0;
  while (i < inner.size() && IsSpace(inner[i])) ++i;
  if (i < inner.size() && inner[i] == L'/') {
    tag.closing = true;
    ++i;
  }
  const size_t start = i;
  while (i < inner.size() && !IsSpace(inner[i]) && inner[i] != L'/') ++i;
  tag.name = Lower(inner.substr(start, i - start));
  tag.attributes = inner.substr(i);
  return tag;
}

// The value of attribute `name` (quoted or not), or empty.
std::wstring Attribute(const std::wstring& attributes, const wchar_t* name) {
  const std::wstring lower = Lower(attributes);
  const std::wstring key = name;
  for (size_t at = lower.find(key); at != std::wstring::npos; at = lower.find(key, at + 1)) {
    if (at > 0 && !IsSpace(lower[at - 1])) continue;
    size_t i = at + key.size();
    while (i < lower.size() && IsSpace(lower[i])) ++i;
    if (i >= lower.size() || lower[i] != L'=') continue;
    ++i;
    while (i < lower.size() && IsSpace(lower[i])) ++i;
    if (i >= lower.size()) return L"";
    const wchar_t quote = attributes[i];
    if (quote == L'"' || quote == L'\'') {
      const size_t end = attributes.find(quote, i + 1);
      return attributes.substr(i + 1, end == std::wstring::npos ? std::wstring::npos : end - i - 1);
    }
    size_t end = i;
    while (end < attributes.size() && !IsSpace(attributes[end])) ++end;
    return attributes.substr(i, end - i);
  }
  return L"";
}

// An entity at html[i] (which is '&'): its character and length, or 0 when it is none.
size_t ReadEntity(const std::wstring& html, size_t i, wchar_t* out) {
  const size_t semi = html.find(L';', i);
  if (semi == std::wstring::npos || semi - i > 10) return 0;
  const std::wstring name = html.substr(i + 1, semi - i - 1);
  static const struct {
    const wchar_t* name;
    wchar_t c;
  } kNamed[] = {{L"amp", L'&'}, {L"lt", L'<'}, {L"gt", L'>'}, {L"quot", L'"'}, {L"apos", L'\''}, {L"nbsp", 0xA0}};
  for (const auto& e : kNamed) {
    if (name == e.name) {
      *out = e.c;
      return semi - i + 1;
    }
  }
  if (name.size() >= 2 && name[0] == L'#') {
    const bool hex = name[1] == L'x' || name[1] == L'X';
    const std::wstring digits = name.substr(hex ? 2 : 1);
    if (digits.empty()) return 0;
    unsigned long value = 0;
    for (wchar_t d : digits) {
      int v;
      if (d >= L'0' && d <= L'9') v = d - L'0';
      else if (hex && d >= L'a' && d <= L'f') v = d - L'a' + 10;
      else if (hex && d >= L'A' && d <= L'F') v = d - L'A' + 10;
      else return 0;
      value = value * (hex ? 16 : 10) + v;
      if (value > 0xFFFF) return 0;
    }
    if (value == 0) return 0;
    *out = static_cast<wchar_t>(value);
    return semi - i + 1;
  }
  return 0;
}

int BreakLinesFor(const std::wstring& name) {
  if (name == L"br") return 1;
  if (name == L"li" || name == L"tr" || name == L"div" || name == L"dt" || name == L"dd") return 1;
  if (name == L"p" || name == L"ul" || name == L"ol" || name == L"table" || name == L"hr" || name == L"pre") return 2;
  if (name.size() == 2 && name[0] == L'h' && name[1] >= L'1' && name[1] <= L'6') return 2;
  return 0;
}

bool HidesContent(const std::wstring& name) { return name == L"title" || name == L"script" || name == L"style"; }

}  // namespace

std::wstring DecodeHelpBytes(const std::vector<char>& bytes) {
  size_t start = 0;
  if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
      static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF) {
    start = 3;
  }
  const int length = static_cast<int>(bytes.size() - start);
  if (length <= 0) return L"";
  const char* data = bytes.data() + start;
  UINT codePage = CP_UTF8;
  int chars = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, data, length, nullptr, 0);
  if (chars <= 0) {
    codePage = CP_ACP;
    chars = MultiByteToWideChar(codePage, 0, data, length, nullptr, 0);
    if (chars <= 0) return L"";
  }
  std::wstring text(static_cast<size_t>(chars), L'\0');
  MultiByteToWideChar(codePage, codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0, data, length, &text[0], chars);
  return text;
}

HelpText RenderHelp(const std::wstring& html) {
  HelpText result;
  TextBuilder text;
  std::wstring hiddenUntil;  // the closing tag that ends hidden content
  std::wstring title;
  size_t i = 0;
  while (i < html.size()) {
    const wchar_t c = html[i];
    if (c == L'<' && html.compare(i, 4, L"<!--") == 0) {
      const size_t end = html.find(L"-->", i + 4);
      i = end == std::wstring::npos ? html.size() : end + 3;
      continue;
    }
    if (c == L'<') {
      const size_t end = html.find(L'>', i + 1);
      if (end == std::wstring::npos) break;  // an unfinished tag ends the text
      const Tag tag = ParseTag(html.substr(i + 1, end - i - 1));
      i = end + 1;
      if (!hiddenUntil.empty()) {
        if (tag.closing && tag.name == hiddenUntil) hiddenUntil.clear();
        continue;
      }
      if (!tag.closing && HidesContent(tag.name)) {
        hiddenUntil = tag.name;
        if (tag.name == L"title") {
          const size_t close = Lower(html).find(L"</title", i);
          title = html.substr(i, close == std::wstring::npos ? std::wstring::npos : close - i);
        }
        continue;
      }
      if (!tag.closing && tag.name == L"a") {
        const std::wstring name = Attribute(tag.attributes, L"name");
        if (!name.empty()) result.anchors.push_back({name, text.Offset()});
      }
      const int lines = BreakLinesFor(tag.name);
      if (lines) text.Break(lines);
      if (!tag.closing && tag.name == L"li") text.Literal(L"- ");
      continue;
    }
    if (!hiddenUntil.empty()) {
      ++i;
      continue;
    }
    if (c == L'&') {
      wchar_t decoded = 0;
      const size_t used = ReadEntity(html, i, &decoded);
      if (used) {
        // A no-break space stays a space but is not collapsed away.
        if (decoded == 0xA0) text.Literal(L" ");
        else text.Text(decoded);
        i += used;
        continue;
      }
    }
    text.Text(c);
    ++i;
  }
  result.body = text.Finish();
  // Anchors that fell into trailing breaks point at the end of the text.
  for (HelpAnchor& anchor : result.anchors) {
    if (anchor.offset > result.body.size()) anchor.offset = result.body.size();
  }
  TextBuilder titleText;
  for (wchar_t t : title) titleText.Text(t);
  result.title = titleText.Finish();
  return result;
}

size_t FindTopic(const HelpText& text, const std::wstring& topic) {
  const std::wstring wanted = Lower(topic);
  for (const HelpAnchor& anchor : text.anchors) {
    if (Lower(anchor.name) == wanted) return anchor.offset;
  }
  return std::wstring::npos;
}

}  // namespace peghelp
