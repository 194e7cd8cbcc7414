// Where the viewer stands among the pictures of a folder: the file last opened or stepped
// to (shown, or refused by its plug-in), and the steps from it to the next, the previous,
// the first and the last picture. The folder is read again for every step, so files added
// or deleted meanwhile count.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace lmx {

class PlugInList;

enum class FolderStep { kNext, kPrevious, kFirst, kLast };

class FolderPlace {
 public:
  // Stands on `path` (device or host path); an empty path stands nowhere.
  void StandOn(const wchar_t* path);
  void Clear() { StandOn(L""); }
  bool Standing() const { return !path_.empty(); }
  const std::wstring& Path() const { return path_; }

  // Reads the folder again: the files that a plug-in of `plugIns` reads, in the explorer's
  // order, and this file's place among them.
  void Read(const PlugInList* plugIns);
  // As of the last read: the 0-based place (-1 when the file is not among them) and count.
  int Index() const { return index_; }
  int Count() const { return static_cast<int>(names_.size()); }
  // Whether `step` leads anywhere from here, as of the last read.
  bool CanStep(FolderStep step) const;
  // Reads the folder and gives the path `step` leads to; false when it leads nowhere.
  bool Target(const PlugInList* plugIns, FolderStep step, std::wstring* target);

 private:
  int TargetIndex(FolderStep step) const;

  std::wstring path_;
  std::wstring folder_;  // with its trailing backslash
  std::wstring name_;
  std::vector<std::wstring> names_;
  int index_ = -1;
  int lastIndex_ = -1;  // where the file stood before it went from the folder
};

}  // namespace lmx
