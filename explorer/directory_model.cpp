#include "explorer/directory_model.h"

#include <cstring>
#include <cwchar>
#include <new>
#include <set>
#include <string>

#include "common/utils.h"
#include "explorer/explorer_list.h"
#include "explorer/folder_listing.h"
#include "lang/lang_ids.h"

namespace lmx {

namespace {

constexpr wchar_t kAllFiles[] = L"*.*";
constexpr size_t kHostPathChars = MAX_PATH + 8;

bool Append(wchar_t* out, size_t outChars, const wchar_t* text) {
  const size_t used = wcslen(out);
  const size_t add = wcslen(text);
  if (used + add >= outChars) return false;
  wmemcpy(out + used, text, add + 1);
  return true;
}

bool IsDriveLetterPath(const wchar_t* path) {
  return ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) && path[1] == L':';
}

bool SearchPathFor(ExplorerState* state) {
  wchar_t folder[MAX_PATH];
  if (!BuildFolderPath(state, folder, MAX_PATH)) return false;
  if (!Append(folder, MAX_PATH, kAllFiles)) return false;
  wcscpy(state->searchPath, folder);
  return true;
}

void RootSearchPath(ExplorerState* state) {
  wcscpy(state->searchPath, L"\\");
  wcscat(state->searchPath, kAllFiles);
}

void InsertRow(HWND list, const ExplorerEntry& scratch, EntryKind kind) {
  auto* entry = static_cast<ExplorerEntry*>(LocalAlloc(LPTR, sizeof(ExplorerEntry)));
  if (!entry) return;
  *entry = scratch;
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  item.iItem = 0;
  item.pszText = LPSTR_TEXTCALLBACKW;
  item.iImage = kind;
  item.lParam = reinterpret_cast<LPARAM>(entry);
  if (SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) < 0) LocalFree(entry);
}

// Every match of `search` (a device path with a pattern) that `wanted` accepts becomes a row,
// once: a file that an earlier pattern of the scan matched (`listed`) is not listed again.
// The host's file system matches patterns against short names too, so "*.jpe" finds
// "photo.jpeg" beside "*.jpeg".
template <typename Wanted>
void AddMatches(HWND list, const wchar_t* search, Wanted wanted, bool hideDotNames,
                std::set<std::wstring>* listed = nullptr) {
  wchar_t hostSearch[kHostPathChars];
  if (!DevicePathOnHost(search, hostSearch, kHostPathChars)) return;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(hostSearch, &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (IsDotEntry(found.cFileName)) continue;
    if (hideDotNames && found.cFileName[0] == L'.') continue;
    EntryKind kind;
    if (!wanted(found.dwFileAttributes, &kind)) continue;
    if (listed && !listed->insert(found.cFileName).second) continue;
    ExplorerEntry scratch;
    EntryFromFind(found, &scratch);
    InsertRow(list, scratch, kind);
  } while (FindNextFileW(find, &found));
  FindClose(find);
}

bool WantFile(DWORD attributes, EntryKind* kind) {
  if (!IsListableFile(attributes)) return false;
  *kind = (attributes & kStorageCardAttribute) ? KindStorageCard : KindFile;
  return true;
}

// Folders that are hidden and system at once belong to the system underneath the device
// (the host's own program and user folders), never to the device's user.
constexpr DWORD kSystemFolderAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

bool WantFolder(DWORD attributes, EntryKind* kind) {
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  if ((attributes & kSystemFolderAttributes) == kSystemFolderAttributes) return false;
  *kind = (attributes & kStorageCardAttribute) ? KindStorageCard : KindFolder;
  return true;
}

uint64_t FullSize(const ExplorerEntry& e) { return (static_cast<uint64_t>(e.sizeHigh) << 32) | e.size; }

// Exactly one of the two is a folder: -1 when it is a, +1 when it is b; else 0.
int FolderFirst(const ExplorerEntry& a, const ExplorerEntry& b) {
  const bool fa = IsFolderEntry(a), fb = IsFolderEntry(b);
  if (fa == fb) return 0;
  return fa ? -1 : 1;
}

// The root's row for the Linux file system, when the drive is there.
void AddLinuxRow(HWND list) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  wchar_t root[4];
  wcscpy(root, kLinuxDrive);
  wcscat(root, L"\\");
  if (!GetFileAttributesExW(root, GetFileExInfoStandard, &data)) return;
  if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return;
  ExplorerEntry row{};
  row.attributes = FILE_ATTRIBUTE_DIRECTORY;
  FileTimeToSystemTime(&data.ftCreationTime, &row.creationTime);
  FileTimeToSystemTime(&data.ftLastAccessTime, &row.lastAccessTime);
  FileTimeToSystemTime(&data.ftLastWriteTime, &row.lastWriteTime);
  wcscpy(row.name, kLinuxDrive);
  InsertRow(list, row, KindFolder);
}

void Rescan(HWND list, ExplorerState* state) {
  if (!SearchPathFor(state)) RootSearchPath(state);
  ScanFolder(list);
}

}  // namespace

bool DevicePathOnHost(const wchar_t* devicePath, wchar_t* out, size_t outChars) {
  if (!devicePath || !out || outChars == 0) return false;
  const bool device = devicePath[0] == L'\\' && devicePath[1] != L'\\';
  const wchar_t* prefix = device ? kDeviceRoot : L"";
  const size_t need = wcslen(prefix) + wcslen(devicePath);
  if (need >= outChars) {
    out[0] = L'\0';
    return false;
  }
  wcscpy(out, prefix);
  wcscat(out, devicePath);
  return true;
}

bool IsDotEntry(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

bool IsDriveName(const wchar_t* name) {
  return name && ((name[0] >= L'A' && name[0] <= L'Z') || (name[0] >= L'a' && name[0] <= L'z')) &&
         name[1] == L':' && name[2] == L'\0';
}

const wchar_t* ShownName(const wchar_t* name) {
  if (name && CompareNoCase(name, kLinuxDrive) == CSTR_EQUAL) return LoadLangString(IDS_EXPLORER_LINUX);
  return name ? name : L"";
}

bool HidesDotNames(const wchar_t* folder) {
  if (!folder) return false;
  static const wchar_t kHome[] = L"\\Home\\";
  const size_t homeChars = wcslen(kHome);
  if (wcslen(folder) >= homeChars && CompareStringOrdinal(folder, static_cast<int>(homeChars), kHome,
                                                          static_cast<int>(homeChars), TRUE) == CSTR_EQUAL) {
    return true;
  }
  return folder[0] != L'\0' && folder[1] == L':' && CompareStringOrdinal(folder, 2, kLinuxDrive, 2, TRUE) == CSTR_EQUAL;
}

bool IsListableFile(DWORD attributes) {
  return !(attributes & FILE_ATTRIBUTE_DIRECTORY) && (attributes & kListableAttributes);
}

void EntryFromFind(const WIN32_FIND_DATAW& found, ExplorerEntry* entry) {
  ZeroMemory(entry, sizeof(*entry));
  entry->attributes = found.dwFileAttributes;
  FileTimeToSystemTime(&found.ftCreationTime, &entry->creationTime);
  FileTimeToSystemTime(&found.ftLastAccessTime, &entry->lastAccessTime);
  FileTimeToSystemTime(&found.ftLastWriteTime, &entry->lastWriteTime);
  entry->size = found.nFileSizeLow;
  entry->sizeHigh = found.nFileSizeHigh;
  lstrcpynW(entry->name, found.cFileName, MAX_PATH);
}

bool IsFolderEntry(const ExplorerEntry& entry) { return (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

bool IsFileEntry(const ExplorerEntry& entry) { return !IsFolderEntry(entry) && !entry.isParent; }

PathElement::PathElement(const wchar_t* name) { lstrcpynW(name_, name ? name : L"", MAX_PATH); }

bool PathList::Append(const wchar_t* name) {
  auto* element = new (std::nothrow) PathElement(name);
  if (!element) return false;
  Add(element);
  MoveToTail(element->Id());
  return true;
}

void PathList::RemoveLast() {
  if (Count() >= 2) Remove(Tail());
}

ExplorerState* StateOf(HWND list) {
  return list ? reinterpret_cast<ExplorerState*>(GetWindowLongPtrW(list, GWLP_USERDATA)) : nullptr;
}

void SetStartFolderText(ExplorerState* state, const wchar_t* folder) {
  if (!state) return;
  lstrcpynW(state->startFolder, folder ? folder : L"", MAX_PATH);
}

void SetStartFolder(ExplorerState* state) {
  if (!state) return;
  // The device's own drive is its root; another drive (the Linux file system) is a level.
  if (IsDriveLetterPath(state->startFolder) && CompareStringOrdinal(state->startFolder, 2, kDeviceRoot, 2, TRUE) == CSTR_EQUAL) {
    memmove(state->startFolder, state->startFolder + 2, (wcslen(state->startFolder + 2) + 1) * sizeof(wchar_t));
  }
  const wchar_t* start = state->startFolder;
  const bool onDrive = IsDriveLetterPath(start);
  bool fits = true;
  state->searchPath[0] = L'\0';
  if (start[0] != L'\\' && !onDrive) fits = Append(state->searchPath, MAX_PATH, L"\\");
  fits = fits && Append(state->searchPath, MAX_PATH, start);
  const size_t len = wcslen(state->searchPath);
  if (fits && len > 0 && state->searchPath[len - 1] != L'\\') fits = Append(state->searchPath, MAX_PATH, L"\\");
  fits = fits && Append(state->searchPath, MAX_PATH, kAllFiles);

  bool valid = false;
  wchar_t hostSearch[kHostPathChars];
  if (fits && DevicePathOnHost(state->searchPath, hostSearch, kHostPathChars)) {
    WIN32_FIND_DATAW found;
    HANDLE probe = FindFirstFileW(hostSearch, &found);
    if (probe != INVALID_HANDLE_VALUE) {
      FindClose(probe);
      valid = true;
    } else {
      valid = GetLastError() == ERROR_NO_MORE_FILES;
    }
  }
  if (!valid) {
    RootSearchPath(state);
    wcscpy(state->startFolder, L"\\");
  }
  lstrcpynW(state->rootName, LoadLangString(IDS_EXPLORER_ROOT), kRootNameChars);

  if (!state->pathList) return;
  wchar_t piece[MAX_PATH];
  size_t n = 0;
  for (const wchar_t* c = state->startFolder;; ++c) {
    if (*c == L'\\' || *c == L'\0') {
      piece[n] = L'\0';
      if (n > 0) state->pathList->Append(piece);
      n = 0;
      if (*c == L'\0') break;
    } else if (n < MAX_PATH - 1) {
      piece[n++] = *c;
    }
  }
}

bool BuildFolderPath(const ExplorerState* state, wchar_t* out, size_t outChars) {
  if (!out || outChars == 0) return false;
  out[0] = L'\0';
  bool fits = true;
  if (state && state->pathList) {
    ObjListIter it(state->pathList);
    it.StartAtHead();
    it.Next();  // the root element has no path piece
    bool first = true;
    while (const ObjListNode* node = it.Next()) {
      const wchar_t* name = static_cast<const PathElement*>(node)->Name();
      // A drive's level starts a host path (Z:\...) instead of a device path.
      if (!(first && IsDriveName(name))) fits = fits && Append(out, outChars, L"\\");
      fits = fits && Append(out, outChars, name);
      first = false;
    }
  }
  fits = fits && Append(out, outChars, L"\\");
  if (!fits) out[0] = L'\0';
  return fits;
}

bool NextFilterPattern(const wchar_t* filter, const wchar_t** cursor, wchar_t (&pattern)[kPatternChars + 1]) {
  if (!filter || !cursor) return false;
  if (!*cursor) {
    if (filter[0] == L'\0') return false;  // an empty description ends the filter: no patterns
    *cursor = filter + wcslen(filter) + 1;
  }
  while ((*cursor)[0] == L'*' && (*cursor)[1] == L'.') {
    const wchar_t* start = *cursor;
    const wchar_t* end = start;
    while (*end && *end != L';') ++end;
    *cursor = end + 1;  // past the ";", or past the list's end onto the next description
    const size_t length = static_cast<size_t>(end - start);
    if (length > kPatternChars) continue;
    wmemcpy(pattern, start, length);
    pattern[length] = L'\0';
    return true;
  }
  return false;
}

void ScanFolder(HWND list) {
  ExplorerState* state = StateOf(list);
  if (!state) return;
  state->chosenName[0] = L'\0';
  DeleteExplorerRows(list);
  EnableWindow(list, FALSE);

  PathParts parts;
  SplitPath(state->searchPath, &parts);
  wchar_t folder[MAX_PATH] = L"";
  const bool folderFits = Append(folder, MAX_PATH, parts.drive) && Append(folder, MAX_PATH, parts.dir);

  const bool hideDots = HidesDotNames(folder);
  if (folderFits) {
    const wchar_t* cursor = nullptr;
    wchar_t pattern[kPatternChars + 1];
    std::set<std::wstring> files;
    while (NextFilterPattern(state->filter, &cursor, pattern)) {
      wchar_t search[MAX_PATH];
      wcscpy(search, folder);
      if (Append(search, MAX_PATH, pattern)) AddMatches(list, search, WantFile, hideDots, &files);
    }
    wchar_t search[MAX_PATH];
    wcscpy(search, folder);
    if (Append(search, MAX_PATH, kAllFiles)) AddMatches(list, search, WantFolder, hideDots);
  }
  if (state->pathList && state->pathList->Count() == 1) AddLinuxRow(list);

  if (state->pathList && state->pathList->Count() > 1) {
    // The parent row's times are the zero FILETIME, the platform's epoch: an all-zero
    // SYSTEMTIME would not format and the row would show another row's date.
    ExplorerEntry parent{};
    const FILETIME epoch{};
    FileTimeToSystemTime(&epoch, &parent.creationTime);
    parent.lastAccessTime = parent.lastWriteTime = parent.creationTime;
    wcscpy(parent.name, L"..");
    parent.isParent = 1;
    InsertRow(list, parent, KindParent);
  }
  EnableWindow(list, TRUE);
  SendMessageW(list, LVM_SORTITEMS, reinterpret_cast<WPARAM>(state), reinterpret_cast<LPARAM>(CompareEntries));
  RememberShownOrder(state);
  if (state->rowsChanged) state->rowsChanged(state->rowsChangedContext);
}

void RememberShownOrder(const ExplorerState* state) {
  wchar_t folder[MAX_PATH];
  if (state && BuildFolderPath(state, folder, MAX_PATH)) {
    RememberFolderOrder(folder, FolderOrder{state->sortColumn, state->ascending != 0});
  }
}

bool EnterFolder(HWND list, const wchar_t* name) {
  ExplorerState* state = StateOf(list);
  if (!state || !state->pathList || !name || !*name) return false;
  wchar_t folder[MAX_PATH];
  if (!BuildFolderPath(state, folder, MAX_PATH) || !Append(folder, MAX_PATH, name) ||
      !Append(folder, MAX_PATH, L"\\") || !Append(folder, MAX_PATH, kAllFiles)) {
    return false;
  }
  if (!state->pathList->Append(name)) return false;
  Rescan(list, state);
  return true;
}

void LeaveFolder(HWND list) {
  ExplorerState* state = StateOf(list);
  if (!state || !state->pathList) return;
  state->pathList->RemoveLast();
  Rescan(list, state);
}

int32_t CurrentLevel(HWND list) {
  ExplorerState* state = StateOf(list);
  if (!state || !state->pathList) return -1;
  return static_cast<int32_t>(state->pathList->Count()) - 1;
}

void GoToLevel(HWND list, int level) {
  ExplorerState* state = StateOf(list);
  if (!state || !state->pathList) return;
  const int last = static_cast<int>(state->pathList->Count()) - 1;
  if (level == last) return;
  if (level >= 0 && level < last) {
    for (int i = 0; i < last - level; ++i) state->pathList->RemoveLast();
  }
  Rescan(list, state);
}

int CALLBACK CompareEntries(LPARAM a, LPARAM b, LPARAM stateParam) {
  const auto* ea = reinterpret_cast<const ExplorerEntry*>(a);
  const auto* eb = reinterpret_cast<const ExplorerEntry*>(b);
  const auto* state = reinterpret_cast<const ExplorerState*>(stateParam);
  if (!ea || !eb || !state) return 0;
  int result = 0;
  switch (state->sortColumn) {
    case 0:
      result = FolderFirst(*ea, *eb);
      if (result == 0) result = lstrcmpW(ea->name, eb->name);
      break;
    case 1:
      result = FolderFirst(*ea, *eb);
      if (result == 0) {
        const uint64_t sa = FullSize(*ea), sb = FullSize(*eb);
        result = sa < sb ? -1 : (sa > sb ? 1 : 0);
      }
      break;
    case 2:
      result = -FolderFirst(*ea, *eb);  // by date the files come first
      if (result == 0) {
        FILETIME fa, fb;
        if (SystemTimeToFileTime(&ea->creationTime, &fa) && SystemTimeToFileTime(&eb->creationTime, &fb)) {
          result = CompareFileTime(&fa, &fb);
        }
      }
      break;
    default:
      break;
  }
  if (ea->isParent) result = state->ascending ? -1 : 1;
  if (eb->isParent) result = state->ascending ? 1 : -1;
  if (!state->ascending) result = -result;
  return result;
}

const wchar_t* EntryText(const ExplorerEntry* entry, int column) {
  static wchar_t text[MAX_PATH];
  text[0] = L'\0';
  if (!entry) return text;
  switch (column) {
    case 0:
      lstrcpynW(text, ShownName(entry->name), MAX_PATH);
      break;
    case 1:
      if (IsFileEntry(*entry)) {
        const uint64_t size = FullSize(*entry);
        const unsigned long long kb = size < 1024 ? 1 : size / 1024;
        wchar_t digits[40];
        swprintf(digits, 40, L"%llu", kb);
        NumberText(digits, 40);
        swprintf(text, MAX_PATH, L"%ls KB", digits);
      }
      break;
    case 2:
      // The parent row stands for no file and has no date to show.
      if (!entry->isParent) lstrcpynW(text, DateTimeText(entry->creationTime, kDtTime | kDtDate), MAX_PATH);
      break;
    default:
      break;
  }
  return text;
}

bool ChosenPath(HWND list, wchar_t* out, size_t outChars) {
  ExplorerState* state = StateOf(list);
  if (!state || !out || state->chosenName[0] == L'\0') return false;
  wchar_t path[MAX_PATH];
  if (!BuildFolderPath(state, path, MAX_PATH) || !Append(path, MAX_PATH, state->chosenName)) return false;
  if (wcslen(path) >= outChars) return false;
  wcscpy(out, path);
  return true;
}

void SelectEntry(HWND list, const ExplorerEntry* entry) {
  ExplorerState* state = StateOf(list);
  if (!state || !entry) return;
  // Only files are picked: a folder that happens to be read-only is no file to open.
  if (IsFileEntry(*entry) && (entry->attributes & kListableAttributes)) {
    lstrcpynW(state->chosenName, entry->name, MAX_PATH);
  }
}

void ActivateEntry(HWND list, const ExplorerEntry* entry) {
  ExplorerState* state = StateOf(list);
  if (!state || !entry) return;
  if (IsFileEntry(*entry)) {
    lstrcpynW(state->chosenName, entry->name, MAX_PATH);
  } else if (entry->isParent) {
    LeaveFolder(list);
  } else {
    wchar_t name[MAX_PATH];
    lstrcpynW(name, entry->name, MAX_PATH);  // the rescan frees the entry
    EnterFolder(list, name);
  }
}

}  // namespace lmx
