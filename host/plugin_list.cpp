#include "host/plugin_list.h"

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "common/utils.h"

namespace lmx {

namespace {
constexpr wchar_t kAllFormats[] = L"All Formats (*.*)";

int32_t g_walkPosition = -1;  // the program-wide position of the list walk
}  // namespace

PlugInList::PlugInList() { BuildOpenFilter(); }

bool PlugInList::AddEntry(PlugInEntry* entry) {
  if (!entry) return false;
  if (entry->name && *entry->name && FindByName(entry->name)) return false;
  return AddInOrder(entry);
}

PlugInEntry* PlugInList::FindByName(const wchar_t* name) const {
  for (PlugInEntry* e = First(); e; e = NextOf(e)) {
    if (lstrcmpW(OrEmpty(e->name), OrEmpty(name)) == 0) return e;
  }
  return nullptr;
}

PlugInEntry* PlugInList::FindByComponent(const wchar_t* component) const {
  for (PlugInEntry* e = First(); e; e = NextOf(e)) {
    if (lstrcmpW(OrEmpty(e->component), OrEmpty(component)) == 0) return e;
  }
  return nullptr;
}

PlugInEntry* PlugInList::FindByExt(const wchar_t* ext) const {
  if (!ext || !*ext) return nullptr;
  for (PlugInEntry* e = First(); e; e = NextOf(e)) {
    if (e->ext && CompareNoCase(e->ext, ext) == CSTR_EQUAL) return e;
  }
  return nullptr;
}

PlugInEntry* PlugInList::FindForFileExtension(const wchar_t* fileExt) const {
  if (PlugInEntry* byExt = FindByExt(fileExt)) return byExt;
  for (PlugInEntry* e = First(); e; e = NextOf(e)) {
    if (e->MoreExtMatches(fileExt)) return e;
  }
  return nullptr;
}

PlugInEntry* PlugInList::FindByPlugInId(uint32_t pluginId) const {
  for (PlugInEntry* e = First(); e; e = NextOf(e)) {
    if (e->pluginId == pluginId) return e;
  }
  return nullptr;
}

bool PlugInList::UnregisterAndRemove(PlugInEntry* entry) {
  bool removed = false;
  if (entry && Contains(entry, ListDirection::kFromHead) && entry->Unregister()) {
    removed = Remove(entry);
  }
  BuildOpenFilter();
  return removed;
}

void PlugInList::BuildOpenFilter() {
  // The filter as a sequence of zero-ended strings, then one more zero.
  std::wstring filter;
  auto fits = [&](size_t extra) { return filter.size() + extra + 1 <= kOpenFilterChars; };
  auto append = [&](const std::wstring& text) { filter.append(text).push_back(L'\0'); };

  if (!First()) {
    append(kAllFormats);
    append(L"*.*");
  } else {
    // The pattern list of "All Formats": every plug-in's Ext, and those of its MoreExt that
    // are no plug-in's Ext nor listed before (the explorer lists a file once per pattern
    // that matches it); a plug-in's patterns go in whole or not at all.
    std::vector<std::wstring> listed;
    for (PlugInEntry* e = First(); e; e = NextOf(e)) listed.emplace_back(OrEmpty(e->ext));
    std::wstring all;
    const size_t room = kOpenFilterChars - 1 - (wcslen(kAllFormats) + 1) - 1;
    for (PlugInEntry* e = First(); e; e = NextOf(e)) {
      std::wstring patterns = std::wstring(L"*.") + OrEmpty(e->ext);
      std::vector<std::wstring> added;
      for (const std::wstring& extension : e->MoreExtensions()) {
        auto same = [&](const std::wstring& other) { return CompareNoCase(other.c_str(), extension.c_str()) == CSTR_EQUAL; };
        if (std::any_of(listed.begin(), listed.end(), same)) continue;
        patterns += L";*." + extension;
        added.push_back(extension);
      }
      if (!all.empty()) patterns.insert(0, L";");
      if (all.size() + patterns.size() <= room) {
        all += patterns;
        listed.insert(listed.end(), added.begin(), added.end());
      }
    }
    append(kAllFormats);
    append(all);
    for (PlugInEntry* e = First(); e; e = NextOf(e)) {
      const std::wstring pattern = e->Patterns();
      std::wstring description = std::wstring(OrEmpty(e->shortName)) + L" (" + pattern + L")";
      if (!fits(description.size() + 1 + pattern.size() + 1)) continue;
      append(description);
      append(pattern);
    }
  }
  filter.push_back(L'\0');
  wmemcpy(openFilter, filter.data(), filter.size());
  wmemset(openFilter + filter.size(), L'\0', kOpenFilterChars - filter.size());
}

size_t PlugInList::OpenFilterLength() const {
  size_t i = 0;
  while (i + 1 < kOpenFilterChars && !(openFilter[i] == L'\0' && openFilter[i + 1] == L'\0')) ++i;
  return i + 2;
}

bool PlugInList::Walk(int32_t* cursor, bool shortNames, const wchar_t** text, uint32_t* pluginId) const {
  if (!cursor) return false;
  if (*cursor == -1) g_walkPosition = 0;
  const auto* entry = static_cast<const PlugInEntry*>(NodeAt(g_walkPosition));
  if (!entry) {
    *cursor = -1;
    return false;
  }
  *cursor = g_walkPosition++;
  if (text) *text = OrEmpty(shortNames ? entry->shortName : entry->name);
  if (pluginId) *pluginId = entry->pluginId;
  return true;
}

}  // namespace lmx
