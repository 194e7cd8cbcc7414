// Real folders for the explorer's tests, a host window that routes the list's notifications
// as the explorer view does, and a reader of the list's rows through its window messages.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "explorer/explorer_ids.h"
#include "tests/support/test_env.h"

namespace lmx::test {

// The open-file filter of a viewer with the BMP and GIF plug-ins.
inline constexpr wchar_t kImageFilter[] = L"All Formats (*.*)\0*.bmp;*.gif\0Bitmap (*.bmp)\0*.bmp\0\0";

// A folder at the device's root (C:\ on the host), removed with all it holds.
class DeviceFolder : public ScratchFolder {
 public:
  DeviceFolder() : ScratchFolder(L"lmx_explorer_", L"C:\\") {}
  std::wstring Name() const { return Path().substr(3, Path().size() - 4); }  // lmx_explorer_...
  std::wstring DevicePath() const { return L"\\" + Name(); }                // \lmx_explorer_...
  std::wstring HostPath(const std::wstring& relative = L"") const;
  // A file of `size` bytes; `day` (1..28) of January 2001 at noon as creation and write time.
  void File(const std::wstring& relative, ULONGLONG size, int day);
  void Folder(const std::wstring& relative);
};

// A hidden top-level window whose WM_NOTIFY goes to DispatchNotify.
HWND CreateListHost();

struct Row {
  std::wstring name, size, date;
  int image = -1;
};
std::vector<Row> ReadRows(HWND list);
std::vector<std::wstring> Names(const std::vector<Row>& rows);
int RowIndex(HWND list, const std::wstring& name);  // -1 when not listed

// Format and image of list column `column`.
struct ColumnLook {
  int format = 0;
  int image = -1;
};
ColumnLook ColumnOf(HWND list, int column);

// The explorer dialog's parts: its view, the list and the grid in it.
inline HWND ViewOf(HWND dialog) { return GetDlgItem(dialog, IDC_EXPLORER_VIEW); }

// Ends the dialog with `command`; when that leaves it open (nothing chosen), with Cancel, so a
// failed step never leaves the test waiting for a dialog nobody closes.
inline void EndWith(HWND dialog, WPARAM command) {
  SendMessageW(dialog, WM_COMMAND, command, 0);
  if (IsWindowVisible(dialog)) {
    ADD_FAILURE() << "the dialog stayed open after command " << command;
    SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  }
}
inline HWND ListOf(HWND dialog) { return GetDlgItem(ViewOf(dialog), IDC_EXPLORER_LIST); }
inline HWND GridOf(HWND dialog) { return GetDlgItem(ViewOf(dialog), IDC_EXPLORER_GRID); }

}  // namespace lmx::test
