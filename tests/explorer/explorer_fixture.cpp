#include "tests/explorer/explorer_fixture.h"

#include <gtest/gtest.h>

#include "explorer/explorer_list.h"

namespace lmx::test {

namespace {

LRESULT CALLBACK HostProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NOTIFY) {
    const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
    return DispatchNotify(window, static_cast<UINT>(hdr->idFrom), hdr);
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

std::wstring ItemText(HWND list, int item, int column) {
  wchar_t text[MAX_PATH] = L"";
  LVITEMW it{};
  it.iSubItem = column;
  it.pszText = text;
  it.cchTextMax = MAX_PATH;
  SendMessageW(list, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&it));
  return text;
}

}  // namespace

std::wstring DeviceFolder::HostPath(const std::wstring& relative) const {
  return relative.empty() ? Path().substr(0, Path().size() - 1) : Path() + relative;
}

void DeviceFolder::File(const std::wstring& relative, ULONGLONG size, int day) {
  HANDLE file = CreateFileW(HostPath(relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(size);
  EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
  EXPECT_TRUE(SetEndOfFile(file));
  SYSTEMTIME st{};
  st.wYear = 2001;
  st.wMonth = 1;
  st.wDay = static_cast<WORD>(day);
  st.wHour = 12;
  FILETIME ft;
  SystemTimeToFileTime(&st, &ft);
  EXPECT_TRUE(SetFileTime(file, &ft, &ft, &ft));
  CloseHandle(file);
}

void DeviceFolder::Folder(const std::wstring& relative) {
  EXPECT_TRUE(CreateDirectoryW(HostPath(relative).c_str(), nullptr));
}

HWND CreateListHost() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LmxExplorerTestHost";
    registered = RegisterClassW(&wc) != 0;
  }
  return CreateWindowExW(0, L"LmxExplorerTestHost", L"", WS_POPUP, 0, 0, 240, 320, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

std::vector<Row> ReadRows(HWND list) {
  std::vector<Row> rows;
  const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    Row row;
    row.name = ItemText(list, i, 0);
    row.size = ItemText(list, i, 1);
    row.date = ItemText(list, i, 2);
    LVITEMW it{};
    it.mask = LVIF_IMAGE;
    it.iItem = i;
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
    row.image = it.iImage;
    rows.push_back(row);
  }
  return rows;
}

std::vector<std::wstring> Names(const std::vector<Row>& rows) {
  std::vector<std::wstring> names;
  for (const Row& r : rows) names.push_back(r.name);
  return names;
}

int RowIndex(HWND list, const std::wstring& name) {
  const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    if (ItemText(list, i, 0) == name) return i;
  }
  return -1;
}

ColumnLook ColumnOf(HWND list, int column) {
  LVCOLUMNW col{};
  col.mask = LVCF_FMT | LVCF_IMAGE;
  col.iImage = -1;
  SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&col));
  ColumnLook look;
  look.format = col.fmt;
  look.image = (col.fmt & LVCFMT_IMAGE) ? col.iImage : -1;
  return look;
}

}  // namespace lmx::test
