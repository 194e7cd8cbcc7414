#include "host/folder_place.h"

#include "common/utils.h"
#include "explorer/folder_listing.h"
#include "host/plugin_list.h"

namespace lmx {

namespace {

struct Wanted {
  const PlugInList* plugIns;
  const wchar_t* standing;  // the file stood on is kept even when no plug-in reads it
};

bool HasPlugIn(const wchar_t* name, const void* context) {
  const auto* wanted = static_cast<const Wanted*>(context);
  if (CompareNoCase(name, wanted->standing) == CSTR_EQUAL) return true;
  wchar_t extension[MAX_PATH];
  if (!ExtensionText(name, extension, MAX_PATH) || !extension[0]) return false;
  return wanted->plugIns->FindForFileExtension(extension) != nullptr;
}

}  // namespace

void FolderPlace::StandOn(const wchar_t* path) {
  path_ = path ? path : L"";
  const size_t slash = path_.find_last_of(L'\\');
  folder_ = slash == std::wstring::npos ? std::wstring() : path_.substr(0, slash + 1);
  name_ = slash == std::wstring::npos ? path_ : path_.substr(slash + 1);
  names_.clear();
  index_ = lastIndex_ = -1;
}

void FolderPlace::Read(const PlugInList* plugIns) {
  names_.clear();
  if (!Standing() || folder_.empty() || !plugIns) {
    index_ = -1;
    return;
  }
  const Wanted wanted{plugIns, name_.c_str()};
  names_ = ListFolderFiles(folder_.c_str(), HasPlugIn, &wanted, FolderOrderOf(folder_.c_str()));
  if (index_ >= 0) lastIndex_ = index_;
  index_ = -1;
  for (size_t i = 0; i < names_.size(); ++i) {
    if (CompareNoCase(names_[i].c_str(), name_.c_str()) == CSTR_EQUAL) {
      index_ = static_cast<int>(i);
      lastIndex_ = index_;
      break;
    }
  }
}

int FolderPlace::TargetIndex(FolderStep step) const {
  const int count = Count();
  if (!Standing() || count == 0) return -1;
  switch (step) {
    case FolderStep::kFirst: return index_ == 0 ? -1 : 0;
    case FolderStep::kLast: return index_ == count - 1 ? -1 : count - 1;
    case FolderStep::kNext:
      // A file gone from the folder left its place to the one after it.
      if (index_ < 0) return lastIndex_ >= 0 && lastIndex_ < count ? lastIndex_ : -1;
      return index_ + 1 < count ? index_ + 1 : -1;
    case FolderStep::kPrevious:
      if (index_ < 0) return lastIndex_ > 0 ? (lastIndex_ - 1 < count ? lastIndex_ - 1 : count - 1) : -1;
      return index_ > 0 ? index_ - 1 : -1;
  }
  return -1;
}

bool FolderPlace::CanStep(FolderStep step) const { return TargetIndex(step) >= 0; }

bool FolderPlace::Target(const PlugInList* plugIns, FolderStep step, std::wstring* target) {
  Read(plugIns);
  const int index = TargetIndex(step);
  if (index < 0) return false;
  *target = folder_ + names_[static_cast<size_t>(index)];
  return true;
}

}  // namespace lmx
