// The explorer's data side: one record per list row, the per-list state, the current folder
// as a list of levels from the root, the folder scan against the open-file filter, the sort
// order and the text of each cell.
//
// Paths here are device paths: rooted at "\" with no drive letter (\My Documents\a.bmp).
// The emulated device's root is the root of drive C:, so the file system is asked with
// "C:" in front (DevicePathOnHost); what the explorer shows and returns stays a device path.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

#include "ui/obj_list.h"

namespace lmx {

// --- Device paths ---
constexpr wchar_t kDeviceRoot[] = L"C:";
// A device path ("\..." but not "\\...") with the device's root drive in front; any other
// path (with a drive, UNC) unchanged. False when the result does not fit.
bool DevicePathOnHost(const wchar_t* devicePath, wchar_t* out, size_t outChars);

// --- Rows ---
constexpr DWORD kStorageCardAttribute = 0x100;  // the platform's mark of a storage card folder
// A file with one of these bits is listed and can be chosen; a file that is only hidden is not.
constexpr DWORD kListableAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL;

struct ExplorerEntry {
  DWORD attributes;
  SYSTEMTIME creationTime;
  SYSTEMTIME lastAccessTime;  // kept, never shown
  SYSTEMTIME lastWriteTime;   // kept, never shown
  DWORD size;                 // low 32 bits of the size
  wchar_t name[MAX_PATH];
  DWORD isParent;             // 1 for the synthetic ".." row
  DWORD sizeHigh;             // high 32 bits: files of 4 GB and more show their real size
};

// The row's image index in the explorer's image list.
enum EntryKind { KindFolder = 0, KindParent = 1, KindFile = 2, KindStorageCard = 3 };

// Images 6 and 7 of bitmap 140 are the sort arrows of the column headers.
constexpr int kImageSortDown = 6;
constexpr int kImageSortUp = 7;

// The platform's folder enumeration on the host has "." and ".." in every folder but the
// root; the device has neither, and the explorer makes its own parent row.
bool IsDotEntry(const wchar_t* name);

// The Linux file system underneath the device is Wine's drive Z:. The explorer shows it as
// one more folder of the root, named "Z:" inside (a name no folder can have) and shown as
// string IDS_EXPLORER_LINUX; below it paths are host paths (Z:\home\a.jpg).
constexpr wchar_t kLinuxDrive[] = L"Z:";
// "X:" for any drive letter: a level that roots its path at that drive.
bool IsDriveName(const wchar_t* name);
// The name of a row or level as the user sees it.
const wchar_t* ShownName(const wchar_t* name);
// Linux folders (below \Home and on the Linux drive) leave names that start with a dot out,
// as a Linux file manager does. `folder` is the explorer's folder path.
bool HidesDotNames(const wchar_t* folder);
// A file (no folder) with one of kListableAttributes: the explorer lists it.
bool IsListableFile(DWORD attributes);
void EntryFromFind(const WIN32_FIND_DATAW& found, ExplorerEntry* entry);

bool IsFolderEntry(const ExplorerEntry& entry);  // directory bit
bool IsFileEntry(const ExplorerEntry& entry);    // neither folder nor the parent row

// --- Levels ---
class PathElement : public ObjListNode {
 public:
  explicit PathElement(const wchar_t* name);
  const wchar_t* Name() const { return name_; }

 private:
  wchar_t name_[MAX_PATH];
};

// Element 0 is the root (named rootName), the tail is the current folder.
class PathList : public ObjList {
 public:
  PathList() : ObjList(true) {}
  bool Append(const wchar_t* name);  // a new level at the tail
  void RemoveLast();                 // never the root
  const PathElement* At(int32_t level) const { return static_cast<const PathElement*>(NodeAt(level)); }
};

// --- Per-list state ---
constexpr int kRootNameChars = 30;
constexpr int kPatternChars = 11;  // "*." and an extension; longer patterns are skipped

// Called after every scan and sort, so another view of the rows (the thumbnail grid) follows.
using RowsChangedFn = void (*)(void* context);

struct ExplorerState {
  PathList* pathList;
  HIMAGELIST imageList;
  HWND listWindow;
  wchar_t searchPath[MAX_PATH];   // current folder followed by "*.*"
  wchar_t startFolder[MAX_PATH];
  int32_t sortColumn;             // 0 name, 1 size, 2 date
  DWORD ascending;
  wchar_t rootName[kRootNameChars];
  wchar_t chosenName[MAX_PATH];   // the file chosen in the current folder, or empty
  const wchar_t* filter;          // the caller's open-file filter, borrowed
  RowsChangedFn rowsChanged;      // optional
  void* rowsChangedContext;
};

ExplorerState* StateOf(HWND list);

// --- Operations ---
// Copies the caller's start folder (none: empty) into the state.
void SetStartFolderText(ExplorerState* state, const wchar_t* folder);
// The first search path and levels from startFolder; an unreachable folder gives the root.
void SetStartFolder(ExplorerState* state);
// The current folder with a leading and a trailing backslash; false when it does not fit
// in `outChars` (the buffer then holds "").
bool BuildFolderPath(const ExplorerState* state, wchar_t* out, size_t outChars);
void ScanFolder(HWND list);
// Tells the folder listing the order in which the list shows its current folder.
void RememberShownOrder(const ExplorerState* state);
// Enters a sub-folder of the current one; a name that would make the path too long for the
// platform is refused (nothing changes).
bool EnterFolder(HWND list, const wchar_t* name);
void LeaveFolder(HWND list);
void GoToLevel(HWND list, int level);
int32_t CurrentLevel(HWND list);  // index of the last level, or -1 without a state
int CALLBACK CompareEntries(LPARAM a, LPARAM b, LPARAM state);
// The text of a cell; column 0 name, 1 size in KB (files only), 2 creation date and time.
const wchar_t* EntryText(const ExplorerEntry* entry, int column);
// Folder path and chosen name into `out`; false (out untouched) when nothing is chosen or
// the path does not fit.
bool ChosenPath(HWND list, wchar_t* out, size_t outChars);

// What a tap on a row does: selection chooses a file; activation chooses a file, leaves
// through the parent row or enters a folder.
void SelectEntry(HWND list, const ExplorerEntry* entry);
void ActivateEntry(HWND list, const ExplorerEntry* entry);

// The patterns of the filter's first pair, one at a time: `cursor` starts null. Patterns
// longer than kPatternChars are passed over. False at the end.
bool NextFilterPattern(const wchar_t* filter, const wchar_t** cursor, wchar_t (&pattern)[kPatternChars + 1]);

}  // namespace lmx
