// Finding a picture in the explorer: Open again at the picture on screen, the Linux file
// system beside Home, no dot names in Linux folders, and columns that show the whole date.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "common/utils.h"
#include "explorer/directory_model.h"
#include "explorer/explorer_ids.h"
#include "explorer/explorer_list.h"
#include "explorer/explorer_view.h"
#include "explorer/thumbnail_grid.h"
#include "explorer/thumbnail_worker.h"
#include "host/viewer_document.h"
#include "tests/explorer/explorer_fixture.h"
#include "tests/host/host_fixture.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/test_env.h"
#include "tests/support/window_input.h"
#include "tools/support/message_capture.h"
#include "ui/settings.h"

namespace {

using lmx::test::DeviceFolder;
using lmx::test::EndWith;
using lmx::test::GridOf;
using lmx::test::ListOf;
using lmx::test::Names;
using lmx::test::ReadRows;
using lmx::test::RowIndex;
using lmx::test::ViewOf;
using Strings = std::vector<std::wstring>;


class ExplorerPlacesTest : public lmx::test::HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    for (const std::wstring& path : lmx::test::DeliveredPlugIns()) ASSERT_TRUE(lmx::test::RegisterLibrary(path, PlugInsKey()));
    document.DiscoverPlugIns(PlugInsKey());
    main = CreateWindowExW(0, L"Static", L"Zorvan Lumivex", WS_POPUP | WS_VISIBLE, 0, 26, 240, 268, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    lmx::Settings().explorerGrid = 0;
  }
  void TearDown() override {
    DestroyWindow(main);
    EXPECT_TRUE(capture.Messages().empty());
    HostTest::TearDown();
  }
  bool Pick(const std::function<void(HWND)>& act, wchar_t* start, wchar_t* path) {
    lmx::test::DialogDriver driver(GetCurrentThreadId(), act);
    return lmx::PickFile(main, path, document.plugIns()->openFilter, start);
  }
  lmx::MessageCapture capture;
  lmx::ViewerDocument document;
  HWND main = nullptr;
};

// Whether list row `row` is selected, focused and on screen.
bool SelectedInView(HWND list, int row) {
  const UINT state = static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_SELECTED | LVIS_FOCUSED));
  const int top = static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
  const int page = static_cast<int>(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0));
  return state == (LVIS_SELECTED | LVIS_FOCUSED) && row >= top && row < top + page;
}

TEST_F(ExplorerPlacesTest, OpenAgainShowsThePictureOnScreenSelectedInTheListAndTheGrid) {
  DeviceFolder folder;
  const std::wstring bmp = lmx::test::CorpusDir() + L"bmpsuite\\g\\rgb24.bmp";
  for (int i = 10; i < 70; ++i) {
    ASSERT_TRUE(CopyFileW(bmp.c_str(), folder.HostPath(L"p" + std::to_wstring(i) + L".bmp").c_str(), FALSE));
  }
  // As a path with the device's drive, the way a picture given to the program may come.
  const std::wstring picture = folder.HostPath(L"p55.bmp");
  // Device paths (\\...) are on the device's drive, as the viewer's own current drive is.
  wchar_t before[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, before);
  SetCurrentDirectoryW(L"C:\\");
  ASSERT_EQ(document.OpenFile(main, picture.c_str()), 1)
      << (capture.Messages().empty() ? "" : lmx::ToUtf8(capture.Messages()[0].text));
  // The thumbnails' cache folder goes with the test's folder.
  lstrcpynW(lmx::Settings().installDir, folder.HostPath().c_str(), lmx::kSettingsPathChars);
  lmx::SetFileOpenDir(&lmx::Settings(), L"\\");  // elsewhere: Open again goes by the picture
  for (DWORD grid : {0u, 1u}) {
    lmx::Settings().explorerGrid = grid;
    bool inView = false;
    int gridRow = -2, row = -1;
    RECT cell{}, client{};
    lmx::test::DialogDriver driver(GetCurrentThreadId(), [&](HWND dialog) {
      HWND list = ListOf(dialog);
      row = RowIndex(list, L"p55.bmp");
      inView = SelectedInView(list, row);
      gridRow = lmx::GridSelectedRow(GridOf(dialog));
      lmx::GridCellRect(GridOf(dialog), row, &cell);
      GetClientRect(GridOf(dialog), &client);
      EndWith(dialog, IDOK);  // Done picks it again
    });
    EXPECT_EQ(document.OpenFile(main, nullptr), 1) << grid;
    EXPECT_GT(row, 40) << grid;
    if (grid) {
      EXPECT_EQ(gridRow, row);
      EXPECT_GE(cell.top, 0);
      EXPECT_LE(cell.bottom, client.bottom);
    } else {
      EXPECT_TRUE(inView);
    }
    EXPECT_EQ(document.Place().Path(), folder.DevicePath() + L"\\p55.bmp") << grid;
  }
  SetCurrentDirectoryW(before);
  EXPECT_TRUE(lmx::WaitThumbnailWorkerIdle(20000));
}

// A folder of the Linux file system, through Wine's drive Z:, removed with what it holds.
class LinuxFolder {
 public:
  LinuxFolder() {
    path_ = L"Z:\\tmp\\lmx_linux_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~LinuxFolder() {
    for (const wchar_t* name : {L"a.bmp", L".b.bmp"}) DeleteFileW((path_ + L"\\" + name).c_str());
    for (const wchar_t* name : {L"Shown", L".cache"}) RemoveDirectoryW((path_ + L"\\" + name).c_str());
    RemoveDirectoryW(path_.c_str());
  }
  const std::wstring& Path() const { return path_; }

 private:
  std::wstring path_;
};

TEST_F(ExplorerPlacesTest, TheLinuxFileSystemIsAFolderOfTheRootAndItsDotNamesAreLeftOut) {
  LinuxFolder linux;
  const std::wstring bmp = lmx::test::CorpusDir() + L"pillow\\hopper.bmp";
  ASSERT_TRUE(CopyFileW(bmp.c_str(), (linux.Path() + L"\\a.bmp").c_str(), FALSE));
  ASSERT_TRUE(CopyFileW(bmp.c_str(), (linux.Path() + L"\\.b.bmp").c_str(), FALSE));
  ASSERT_TRUE(CreateDirectoryW((linux.Path() + L"\\Shown").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW((linux.Path() + L"\\.cache").c_str(), nullptr));

  // From the root: the Linux folder beside the device's own, and in it the Linux root.
  Strings atRoot, inLinux;
  wchar_t path[MAX_PATH] = L"";
  wchar_t start[MAX_PATH] = L"\\";
  Pick(
      [&](HWND dialog) {
        HWND list = ListOf(dialog);
        atRoot = Names(ReadRows(list));
        lmx::test::DoubleTap(list, RowIndex(list, L"Linux"));
        inLinux = Names(ReadRows(list));
        EndWith(dialog, IDCANCEL);
      },
      start, path);
  EXPECT_NE(std::find(atRoot.begin(), atRoot.end(), L"Linux"), atRoot.end());
  EXPECT_NE(std::find(inLinux.begin(), inLinux.end(), L"tmp"), inLinux.end());
  EXPECT_EQ(inLinux.front(), L"..");

  // A picture opened from there: its folder opens, without the dot names, and the pick
  // comes back as a Linux path.
  Strings rows, levels;
  lstrcpynW(start, (linux.Path() + L"\\").c_str(), MAX_PATH);
  const bool picked = Pick(
      [&](HWND dialog) {
        HWND list = ListOf(dialog);
        rows = Names(ReadRows(list));
        HMENU menu = lmx::BuildLevelMenu(list);
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
          wchar_t text[MAX_PATH] = L"";
          GetMenuStringW(menu, i, text, MAX_PATH, MF_BYPOSITION);
          levels.push_back(text);
        }
        DestroyMenu(menu);
        lmx::test::DoubleTap(list, RowIndex(list, L"a.bmp"));
        EndWith(dialog, IDOK);
      },
      start, path);
  EXPECT_EQ(rows, (Strings{L"..", L"Shown", L"a.bmp"}));
  ASSERT_EQ(levels.size(), 4u);
  EXPECT_EQ(levels[0], L"My Device");
  EXPECT_EQ(levels[1], L"  Linux");
  ASSERT_TRUE(picked);
  EXPECT_EQ(std::wstring(path), linux.Path() + L"\\a.bmp");
  EXPECT_EQ(std::wstring(start), linux.Path() + L"\\");
}

TEST(ExplorerDotNames, LinuxFoldersLeaveDotNamesOut) {
  struct Case { const wchar_t* folder; bool hides; };
  const Case cases[] = {
      {L"\\Home\\", true},      {L"\\Home\\Pictures\\", true}, {L"\\HOME\\a\\", true},
      {L"\\Homework\\", false}, {L"\\My Documents\\", false},  {L"\\", false},
      {L"Z:\\", true},          {L"z:\\tmp\\", true},          {L"C:\\Home2\\", false},
  };
  for (const Case& c : cases) EXPECT_EQ(lmx::HidesDotNames(c.folder), c.hides) << lmx::ToUtf8(c.folder);
}

TEST_F(ExplorerPlacesTest, TheColumnsFitTheScreenAndShowTheWholeDate) {
  DeviceFolder folder;
  folder.File(L"a rather long file name for the name column.bmp", 123456789, 28);
  folder.File(L"b.bmp", 3000, 12);
  folder.Folder(L"Sub");
  struct Seen {
    int widths[3] = {};
    int clientWidth = 0;
    std::vector<int> dateNeeds, sizeNeeds;
  } seen;
  wchar_t path[MAX_PATH] = L"";
  wchar_t start[MAX_PATH];
  lstrcpynW(start, folder.DevicePath().c_str(), MAX_PATH);
  Pick(
      [&](HWND dialog) {
        HWND list = ListOf(dialog);
        RECT client;
        GetClientRect(list, &client);
        seen.clientWidth = client.right;
        for (int c = 0; c < 3; ++c) seen.widths[c] = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, c, 0));
        for (const auto& row : ReadRows(list)) {
          seen.dateNeeds.push_back(static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(row.date.c_str()))));
          seen.sizeNeeds.push_back(static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(row.size.c_str()))));
        }
        EndWith(dialog, IDCANCEL);
      },
      start, path);
  EXPECT_LE(seen.widths[0] + seen.widths[1] + seen.widths[2], seen.clientWidth)
      << seen.widths[0] << " " << seen.widths[1] << " " << seen.widths[2];
  EXPECT_GE(seen.widths[0], 40);
  // A cell's text starts six pixels in and keeps as many clear at its end.
  for (int need : seen.dateNeeds) EXPECT_LE(need + 12, seen.widths[2]);
  for (int need : seen.sizeNeeds) EXPECT_LE(need + 12, seen.widths[1]);
  EXPECT_EQ(seen.dateNeeds.size(), 4u);
}

}  // namespace
