#include "host/format_links.h"

#include <windows.h>

#include <cwchar>

#include "common/utils.h"

namespace lmx {

namespace {
template <size_t N>
void CopyCut(wchar_t (&field)[N], const wchar_t* text) {
  if (!text) text = L"";
  wcsncpy(field, text, N - 1);
  field[N - 1] = L'\0';
}
}  // namespace

FormatLinkEntry::FormatLinkEntry(const wchar_t* extText, const wchar_t* shortNameText,
                                 const wchar_t* regFileLinkText, uint32_t linkedFlag)
    : linked(linkedFlag) {
  CopyCut(ext, extText);
  CopyCut(shortName, shortNameText);
  CopyCut(regFileLink, regFileLinkText);
}

int32_t FormatLinkEntry::Compare(const void* other, intptr_t) const {
  if (!other) return kRefuse;
  int result = lstrcmpW(static_cast<const FormatLinkEntry*>(other)->shortName, shortName);
  return result < 0 ? -1 : result;
}

bool FormatLinkList::AddLink(FormatLinkEntry* entry) {
  if (!entry) return false;
  if (FindByExt(entry->ext)) {
    delete entry;
    return false;
  }
  return AddInOrder(entry);
}

FormatLinkEntry* FormatLinkList::FindByExt(const wchar_t* ext) const {
  if (!ext) return nullptr;
  for (ObjListNode* node = Head(); node; node = node->Next()) {
    auto* entry = static_cast<FormatLinkEntry*>(node);
    if (CompareNoCase(entry->ext, ext) == CSTR_EQUAL) {
      return entry;
    }
  }
  return nullptr;
}

}  // namespace lmx
