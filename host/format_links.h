// Format links: per plug-in extension, the short name and link extension the file-type
// association code works with. Ordered by short name.
#pragma once

#include <cstdint>

#include "ui/obj_list.h"

namespace lmx {

class FormatLinkEntry final : public ObjListNode {
 public:
  static constexpr int kExtChars = 5;
  static constexpr int kShortNameChars = 30;
  static constexpr int kRegFileLinkChars = 11;

  FormatLinkEntry() = default;
  // Copies cut to the fields; null counts as empty.
  FormatLinkEntry(const wchar_t* ext, const wchar_t* shortName, const wchar_t* regFileLink, uint32_t linked);

  // Orders by short name (case-sensitive, lstrcmpW).
  int32_t Compare(const void* other, intptr_t extra) const override;

  wchar_t ext[kExtChars] = {};
  wchar_t shortName[kShortNameChars] = {};
  wchar_t regFileLink[kRegFileLinkChars] = {};
  uint32_t linked = 0;  // 1 when made at start-up, 0 when added by the plug-in manager
};

class FormatLinkList final : public ObjList {
 public:
  // Ordered insert; refused (entry destroyed, false) when the extension is listed.
  bool AddLink(FormatLinkEntry* entry);
  // The entry whose ext equals `ext` ignoring case, or null.
  FormatLinkEntry* FindByExt(const wchar_t* ext) const;
};

}  // namespace lmx
