// The installed plug-ins in ascending display-name order, with plug-in ids from 1000 and
// the open-file filter built from their extensions.
#pragma once

#include <windows.h>

#include <cstdint>

#include "host/plugin_entry.h"
#include "ui/obj_list.h"

namespace lmx {

constexpr uint32_t kFirstPlugInId = 1000;
constexpr size_t kOpenFilterChars = 512;  // including every terminator

class PlugInList final : public ObjList {
 public:
  PlugInList();

  // Ordered by name; refused (false, entry untouched) when its non-empty name is listed.
  bool AddEntry(PlugInEntry* entry);
  PlugInEntry* FindByName(const wchar_t* name) const;
  PlugInEntry* FindByComponent(const wchar_t* component) const;
  // The first entry in list order whose Ext equals `ext` ignoring case; none for "".
  PlugInEntry* FindByExt(const wchar_t* ext) const;
  // The plug-in for a file's extension (its first three letters): the first entry by Ext,
  // else the first whose MoreExt holds it. A MoreExt never takes a file from a plug-in whose
  // own Ext it is.
  PlugInEntry* FindForFileExtension(const wchar_t* fileExt) const;
  PlugInEntry* FindByPlugInId(uint32_t pluginId) const;
  // LMX_UnRegisterDLL; the entry leaves the list (and is destroyed) only when it agreed.
  // The filter is rebuilt either way. True when the entry was removed.
  bool UnregisterAndRemove(PlugInEntry* entry);
  // Rebuilds openFilter from each entry's Ext and MoreExt; pairs that would not fit are left
  // out whole.
  void BuildOpenFilter();
  // The filter's characters up to and including its closing empty string.
  size_t OpenFilterLength() const;

  // Step-wise walk over the entries: start with *cursor = -1, call until it returns false.
  // Hands out the entry's short name (shortNames) or name, and its plug-in id. One walk
  // at a time: the position is program-wide.
  bool Walk(int32_t* cursor, bool shortNames, const wchar_t** text, uint32_t* pluginId) const;

  PlugInEntry* First() const { return static_cast<PlugInEntry*>(Head()); }
  static PlugInEntry* NextOf(const PlugInEntry* entry) {
    return static_cast<PlugInEntry*>(entry->Next());
  }

  uint32_t nextPluginId = kFirstPlugInId;
  wchar_t openFilter[kOpenFilterChars];
};

}  // namespace lmx
