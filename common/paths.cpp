#include <cwchar>
#include <cwctype>

#include "common/utils.h"

namespace lmx {
namespace {

void CopyPart(wchar_t* dst, const wchar_t* from, const wchar_t* to) {
  size_t n = static_cast<size_t>(to - from);
  if (n > kPathPartChars - 1) n = kPathPartChars - 1;
  wmemcpy(dst, from, n);
  dst[n] = L'\0';
}

}  // namespace

void SplitPath(const wchar_t* path, PathParts* parts) {
  parts->drive[0] = parts->dir[0] = parts->name[0] = parts->ext[0] = L'\0';
  if (!path) return;
  const wchar_t* end = path + wcslen(path);
  const wchar_t* p = path;
  if (path[0] && path[1] == L':') {
    CopyPart(parts->drive, path, path + 2);
    p = path + 2;
  }
  const wchar_t* lastSlash = nullptr;
  for (const wchar_t* q = p; q < end; ++q) {
    if (*q == L'\\' || *q == L'/') lastSlash = q;
  }
  const wchar_t* nameStart = lastSlash ? lastSlash + 1 : p;
  CopyPart(parts->dir, p, nameStart);
  const wchar_t* dot = nullptr;
  for (const wchar_t* q = nameStart; q < end; ++q) {
    if (*q == L'.') dot = q;
  }
  const wchar_t* nameEnd = dot ? dot : end;
  CopyPart(parts->name, nameStart, nameEnd);
  CopyPart(parts->ext, nameEnd, end);
}

const wchar_t* DirectoryOf(const wchar_t* path, wchar_t* out, size_t outChars) {
  if (!out || outChars == 0) return path;
  static PathParts parts;
  SplitPath(path, &parts);
  swprintf(out, outChars, L"%ls%ls", parts.drive, parts.dir);
  return out;
}

bool ExtensionText(const wchar_t* path, wchar_t* out, size_t outChars) {
  if (!out || outChars == 0) return false;
  out[0] = L'\0';
  const wchar_t* dot = path ? wcsrchr(path, L'.') : nullptr;
  if (!dot) return false;
  size_t chars = wcslen(dot + 1);
  if (chars > 3) chars = 3;
  if (chars > outChars - 1) chars = outChars - 1;
  wmemcpy(out, dot + 1, chars);
  out[chars] = L'\0';
  return true;
}

const wchar_t* ExtensionOf(const wchar_t* path, bool upperCase) {
  static wchar_t buffer[4];
  if (!ExtensionText(path, buffer, 4)) {
    MessageBoxW(OwnerWindow(), L"You have to choose a file first", L"Error", MB_OK);
    return buffer;
  }
  if (upperCase) {
    for (wchar_t* c = buffer; *c; ++c) *c = static_cast<wchar_t>(towupper(*c));
  }
  return buffer;
}

}  // namespace lmx
