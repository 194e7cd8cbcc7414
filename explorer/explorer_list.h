// The explorer's list control: a report-style list of the rows of the directory model, with
// its columns, sort arrows, icons and notification handling, and the menu of path levels.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "explorer/directory_model.h"

namespace lmx {

struct ColumnDesc {
  int format;  // LVCFMT_LEFT or LVCFMT_RIGHT
  UINT titleId;  // string of the language component
  int width;
};
extern const ColumnDesc kColumnTable[3];

// The list with its state, columns and image list (bitmap 140 of `programModule`); the
// control itself is created with `module` (the language component). Null on failure.
HWND CreateExplorerList(HWND parent, HMODULE module, HMODULE programModule, UINT controlId);
// Deletes the rows, frees the state and its levels and image list, and destroys the list.
bool DestroyExplorerList(HWND list);

// Deletes every row and frees its entry.
void DeleteExplorerRows(HWND list);
// The entry row `index` of the list shows; null for a row without one.
const ExplorerEntry* ExplorerRowEntry(HWND list, int index);

void SetExplorerFilter(HWND list, const wchar_t* filter);  // borrowed
// The caller's start folder into the state, then SetStartFolder.
void PrepareStartFolder(HWND list, const wchar_t* folder);

// Shows the state's sort direction on its sort column; Unmark takes the arrow off column c.
void MarkSortColumn(HWND list);
void UnmarkColumn(HWND list, int column);
// A click on column c: a new column sorts ascending, the same column turns round.
void SortByColumn(HWND list, int column);

// Column widths that fit the list's width with its own font: the size and date columns as
// wide as their widest text in the rows or their title with its sort arrow (measured), the
// name column the rest.
void FitExplorerColumns(HWND list);

// One item per level from the root: command 2000 + i, text indented by 2 x i blanks.
HMENU BuildLevelMenu(HWND list);

// --- Notification routing ---
// The callback gets (list, control id, mode, data): mode 1 for a double tap with data = the
// single selected row or -1; mode 0 for any other notification with data = the NMHDR.
using NotifyCallback = LRESULT (*)(HWND list, UINT controlId, int mode, LPARAM data);
constexpr int kNotifyHandlerRows = 10;

bool RegisterNotifyHandler(HWND list, UINT controlId, DWORD flags, NotifyCallback callback);
bool UnregisterNotifyHandler(HWND list);
bool HasNotifyHandler(HWND list);
LRESULT DispatchNotify(HWND frame, UINT controlId, const NMHDR* notification);

// The explorer's own callback: text on demand, activation, sorting, freeing and selection.
LRESULT ExplorerNotify(HWND list, UINT controlId, int mode, LPARAM data);

}  // namespace lmx
