#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

#include "common/utils.h"
#include "explorer/directory_model.h"
#include "explorer/folder_listing.h"
#include "explorer/explorer_list.h"
#include "tests/explorer/explorer_fixture.h"
#include "tests/support/test_env.h"
#include "tools/support/message_capture.h"

namespace {

using lmx::test::ColumnOf;
using lmx::test::DeviceFolder;
using lmx::test::kImageFilter;
using lmx::test::Names;
using lmx::test::ReadRows;
using lmx::test::RowIndex;
using Strings = std::vector<std::wstring>;

constexpr wchar_t kAllFilter[] = L"All Formats (*.*)\0*.*\0\0";

std::wstring KbText(unsigned long long kb) {
  wchar_t digits[40];
  swprintf(digits, 40, L"%llu", kb);
  lmx::NumberText(digits, 40);
  return std::wstring(digits) + L" KB";
}

class DirectoryModelTest : public testing::Test {
 protected:
  void SetUp() override {
    lang = lmx::test::LoadBuilt(L"LumivexLangComp.dll");
    lmx::SetResourceModule(lang);
    host = lmx::test::CreateListHost();
    ASSERT_NE(host, nullptr);
  }
  void TearDown() override {
    if (list) lmx::DestroyExplorerList(list);
    DestroyWindow(host);
    lmx::SetResourceModule(nullptr);
    FreeLibrary(lang);
    EXPECT_TRUE(capture.Messages().empty());
  }
  // An explorer list opened in `start` (null: the root) and scanned with `filter`.
  void Open(const wchar_t* start, const wchar_t* filter) {
    list = lmx::CreateExplorerList(host, lang, GetModuleHandleW(nullptr), 300);
    ASSERT_NE(list, nullptr);
    lmx::SetExplorerFilter(list, filter);
    lmx::PrepareStartFolder(list, start);
    lmx::ScanFolder(list);
  }
  std::wstring FolderPath() {
    wchar_t path[MAX_PATH];
    lmx::BuildFolderPath(lmx::StateOf(list), path, MAX_PATH);
    return path;
  }
  void Select(const std::wstring& name) {
    LVITEMW it{};
    it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    it.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, RowIndex(list, name), reinterpret_cast<LPARAM>(&it));
  }
  void ClickColumn(int column) {
    NMLISTVIEW click{};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = 300;
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = column;
    SendMessageW(host, WM_NOTIFY, 300, reinterpret_cast<LPARAM>(&click));
  }
  void Activate(const std::wstring& name) {
    NMITEMACTIVATE act{};
    act.hdr.hwndFrom = list;
    act.hdr.idFrom = 300;
    act.hdr.code = LVN_ITEMACTIVATE;
    act.iItem = RowIndex(list, name);
    SendMessageW(host, WM_NOTIFY, 300, reinterpret_cast<LPARAM>(&act));
  }
  // The rows in the order they are listed, without the parent row, files only or folders only.
  Strings Files() {
    Strings names;
    for (const auto& r : ReadRows(list)) if (r.image == lmx::KindFile) names.push_back(r.name);
    return names;
  }

  lmx::MessageCapture capture;
  HMODULE lang = nullptr;
  HWND host = nullptr;
  HWND list = nullptr;
};

// b.bmp, a.gif and a later c.gif, the folders Z and x.bmp, a hidden folder and file, a folder
// of the system (hidden and system), and a file no pattern names.
void FillPictures(DeviceFolder& folder) {
  folder.File(L"b.bmp", 3000, 5);
  folder.File(L"a.gif", 100, 3);
  folder.File(L"c.gif", 2048, 9);
  folder.File(L"notes.txt", 10, 4);
  folder.Folder(L"Z");
  folder.Folder(L"x.bmp");
  folder.Folder(L"Hidden");
  SetFileAttributesW(folder.HostPath(L"Hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
  folder.Folder(L"System");
  SetFileAttributesW(folder.HostPath(L"System").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  folder.File(L"secret.bmp", 10, 2);
  SetFileAttributesW(folder.HostPath(L"secret.bmp").c_str(), FILE_ATTRIBUTE_HIDDEN);
}

TEST_F(DirectoryModelTest, ListsFoldersFirstByNameWithTheParentRowSizesAndDates) {
  DeviceFolder folder;
  FillPictures(folder);
  Open(folder.DevicePath().c_str(), kImageFilter);

  // A file is listed when one of its attributes is read-only, system, archive or normal;
  // the host's file system marks every file archive, so a hidden one still shows.
  const DWORD secret = GetFileAttributesW(folder.HostPath(L"secret.bmp").c_str());
  ASSERT_TRUE(secret & FILE_ATTRIBUTE_HIDDEN);
  const bool secretListed = (secret & lmx::kListableAttributes) != 0;

  // The eight images of bitmap 140 are the list's small images, kept by the explorer.
  const HIMAGELIST images = lmx::StateOf(list)->imageList;
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(images), 8);
  EXPECT_EQ(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0), reinterpret_cast<LRESULT>(images));

  Strings expected = {L"..", L"Hidden", L"x.bmp", L"Z", L"a.gif", L"b.bmp", L"c.gif"};
  if (secretListed) expected.push_back(L"secret.bmp");
  const auto rows = ReadRows(list);
  EXPECT_EQ(Names(rows), expected);
  ASSERT_GE(rows.size(), 7u);
  EXPECT_EQ(rows[0].image, lmx::KindParent);
  EXPECT_EQ(rows[0].size, L"");
  EXPECT_EQ(rows[1].image, lmx::KindFolder);
  EXPECT_EQ(rows[2].image, lmx::KindFolder);  // x.bmp is a folder, listed once
  EXPECT_EQ(rows[2].size, L"");
  EXPECT_EQ(rows[4].image, lmx::KindFile);
  EXPECT_EQ(rows[4].size, L"1 KB");  // 100 bytes
  EXPECT_EQ(rows[5].size, L"2 KB");  // 3000 bytes
  EXPECT_EQ(rows[6].size, L"2 KB");  // 2048 bytes

  // Every row has a date: the creation time the folder enumeration reports.
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(folder.HostPath(L"b.bmp").c_str(), &found);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  FindClose(find);
  SYSTEMTIME created;
  FileTimeToSystemTime(&found.ftCreationTime, &created);
  EXPECT_EQ(rows[5].date, lmx::DateTimeText(created, lmx::kDtDate | lmx::kDtTime));
  EXPECT_FALSE(rows[1].date.empty());
  EXPECT_EQ(rows[0].date, L"") << "the parent row has no date";

  // The name column carries the up-pointing triangle; one click turns the order round:
  // the parent first, then the files Z to A, then the folders Z to A.
  EXPECT_EQ(ColumnOf(list, 0).image, lmx::kImageSortUp);
  EXPECT_TRUE(ColumnOf(list, 0).format & LVCFMT_BITMAP_ON_RIGHT);
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  HDITEMW head{};
  head.mask = HDI_FORMAT | HDI_IMAGE;
  SendMessageW(header, HDM_GETITEMW, 0, reinterpret_cast<LPARAM>(&head));
  EXPECT_EQ(SendMessageW(header, HDM_GETIMAGELIST, 0, 0), reinterpret_cast<LRESULT>(images));
  EXPECT_TRUE(head.fmt & HDF_IMAGE) << "the header draws the triangle";
  EXPECT_EQ(head.iImage, lmx::kImageSortUp);
  ClickColumn(0);
  EXPECT_EQ(ColumnOf(list, 0).image, lmx::kImageSortDown);
  Strings descending = {L".."};
  if (secretListed) descending.push_back(L"secret.bmp");
  for (const wchar_t* n : {L"c.gif", L"b.bmp", L"a.gif", L"Z", L"x.bmp", L"Hidden"}) descending.push_back(n);
  EXPECT_EQ(Names(ReadRows(list)), descending);
}

TEST_F(DirectoryModelTest, SortsBySizeAndByDateInBothDirections) {
  DeviceFolder folder;
  folder.File(L"b.bmp", 3000, 5);
  folder.File(L"a.gif", 100, 3);
  folder.File(L"c.gif", 2048, 9);
  folder.Folder(L"Z");
  Open(folder.DevicePath().c_str(), kImageFilter);

  // Size: the folder first, then the smaller file first; a click on another column marks
  // that one and takes the arrow off the name column.
  ClickColumn(1);
  EXPECT_EQ(ColumnOf(list, 1).image, lmx::kImageSortUp);
  EXPECT_EQ(ColumnOf(list, 0).image, -1);
  EXPECT_EQ(ColumnOf(list, 0).format & (LVCFMT_IMAGE | LVCFMT_BITMAP_ON_RIGHT), 0);
  EXPECT_EQ(Names(ReadRows(list)), (Strings{L"..", L"Z", L"a.gif", L"c.gif", L"b.bmp"}));
  ClickColumn(1);
  EXPECT_EQ(ColumnOf(list, 1).image, lmx::kImageSortDown);
  EXPECT_EQ(Names(ReadRows(list)), (Strings{L"..", L"b.bmp", L"c.gif", L"a.gif", L"Z"}));

  // Date: by creation time (a.gif the 3rd, b.bmp the 5th, c.gif the 9th), files before
  // folders ascending, folders first descending.
  ClickColumn(2);
  EXPECT_EQ(ColumnOf(list, 2).image, lmx::kImageSortUp);
  EXPECT_EQ(ColumnOf(list, 1).image, -1);
  EXPECT_EQ(Names(ReadRows(list)), (Strings{L"..", L"a.gif", L"b.bmp", L"c.gif", L"Z"}));
  ClickColumn(2);
  EXPECT_EQ(ColumnOf(list, 2).image, lmx::kImageSortDown);
  EXPECT_EQ(Names(ReadRows(list)), (Strings{L"..", L"Z", L"c.gif", L"b.bmp", L"a.gif"}));
}

bool BmpOrGif(const wchar_t* name, const void*) {
  const std::wstring n = name;
  return n.size() > 4 && (n.substr(n.size() - 4) == L".bmp" || n.substr(n.size() - 4) == L".gif");
}

// The viewer steps through a folder's files in the order the explorer last showed them, and
// by name in a folder it never showed; files both hidden and system are passed over.
TEST_F(DirectoryModelTest, TheFolderListingFollowsTheOrderTheListLastShowed) {
  DeviceFolder folder;
  FillPictures(folder);
  folder.File(L"d.bmp", 500, 7);
  SetFileAttributesW(folder.HostPath(L"d.bmp").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  lmx::ForgetFolderOrders();
  const std::wstring path = folder.DevicePath() + L"\\";
  const auto listed = [&] { return lmx::ListFolderFiles(path.c_str(), BmpOrGif, nullptr, lmx::FolderOrderOf(path.c_str())); };
  Strings byName = {L"a.gif", L"b.bmp", L"c.gif"};
  // The host marks every file archive, so a file that is only hidden is listed (see above).
  if (GetFileAttributesW(folder.HostPath(L"secret.bmp").c_str()) & lmx::kListableAttributes) {
    byName.push_back(L"secret.bmp");
  }
  EXPECT_EQ(listed(), byName);

  Open(folder.DevicePath().c_str(), kImageFilter);
  ASSERT_EQ(FolderPath(), path);
  for (int column : {1, 1, 2, 2, 0}) {
    ClickColumn(column);
    Strings shown = Files();
    shown.erase(std::remove(shown.begin(), shown.end(), L"d.bmp"), shown.end());
    EXPECT_EQ(listed(), shown) << "column " << column;
  }
  lmx::ForgetFolderOrders();
}

TEST_F(DirectoryModelTest, CompareEntriesOrdersByCreationTimeAndKeepsTheParentFirst) {
  lmx::ExplorerState state{};
  state.sortColumn = 2;
  state.ascending = 1;
  lmx::ExplorerEntry older{}, newer{}, folder{}, parent{};
  older.attributes = newer.attributes = FILE_ATTRIBUTE_ARCHIVE;
  older.creationTime = {2001, 1, 1, 3, 12, 0, 0, 0};
  newer.creationTime = {2003, 6, 1, 1, 12, 0, 0, 0};
  folder.attributes = FILE_ATTRIBUTE_DIRECTORY;
  folder.creationTime = {1999, 1, 1, 5, 12, 0, 0, 0};
  parent.isParent = 1;
  auto cmp = [&state](const lmx::ExplorerEntry& a, const lmx::ExplorerEntry& b) {
    return lmx::CompareEntries(reinterpret_cast<LPARAM>(&a), reinterpret_cast<LPARAM>(&b),
                               reinterpret_cast<LPARAM>(&state));
  };
  EXPECT_LT(cmp(older, newer), 0);
  EXPECT_LT(cmp(newer, folder), 0);  // files before folders, whatever their dates
  EXPECT_LT(cmp(parent, older), 0);
  EXPECT_GT(cmp(folder, parent), 0);
  state.ascending = 0;
  EXPECT_GT(cmp(older, newer), 0);
  EXPECT_LT(cmp(folder, newer), 0);
  EXPECT_LT(cmp(parent, folder), 0);  // the parent stays first
  EXPECT_GT(cmp(older, parent), 0);
  // A time the platform cannot convert makes the two equal.
  lmx::ExplorerEntry broken = older;
  broken.creationTime.wMonth = 13;
  EXPECT_EQ(cmp(broken, newer), 0);
}

TEST_F(DirectoryModelTest, ShowsTheRealSizeOfFilesOfFourGigabytesAndMore) {
  DeviceFolder folder;
  const ULONGLONG big = (4ull << 30) + 2048;  // low 32 bits alone would say 2 KB
  folder.File(L"huge.bmp", big, 1);
  folder.File(L"b.bmp", 3000, 2);
  Open(folder.DevicePath().c_str(), kImageFilter);
  ClickColumn(1);
  const auto rows = ReadRows(list);
  ASSERT_EQ(Names(rows), (Strings{L"..", L"b.bmp", L"huge.bmp"}));
  EXPECT_EQ(rows[2].size, KbText(big / 1024));
}

TEST_F(DirectoryModelTest, TheRootHasNoParentRowAndStartFoldersNeedNoLeadingBackslash) {
  DeviceFolder folder;
  folder.File(L"a.gif", 100, 1);
  Open(nullptr, kImageFilter);
  EXPECT_EQ(FolderPath(), L"\\");
  EXPECT_EQ(lmx::CurrentLevel(list), 0);
  EXPECT_EQ(RowIndex(list, L".."), -1);
  EXPECT_GE(RowIndex(list, folder.Name()), 0);
  EXPECT_GE(RowIndex(list, L"windows"), 0);  // the device's own folders
  lmx::DestroyExplorerList(list);

  Open(folder.Name().c_str(), kImageFilter);  // "lmx_explorer_..." without "\"
  EXPECT_EQ(FolderPath(), L"\\" + folder.Name() + L"\\");
  EXPECT_EQ(lmx::CurrentLevel(list), 1);
  EXPECT_EQ(Names(ReadRows(list)), (Strings{L"..", L"a.gif"}));
  lmx::DestroyExplorerList(list);

  Open((folder.DevicePath() + L"\\").c_str(), kImageFilter);  // with the trailing backslash
  EXPECT_EQ(FolderPath(), L"\\" + folder.Name() + L"\\");
  lmx::DestroyExplorerList(list);

  Open((folder.DevicePath() + L"\\missing").c_str(), kImageFilter);
  EXPECT_EQ(FolderPath(), L"\\");
  EXPECT_EQ(lmx::StateOf(list)->startFolder, std::wstring(L"\\"));
  lmx::DestroyExplorerList(list);

  // A start folder too long for the search path opens the root rather than overrunning.
  const std::wstring tooLong(300, L'd');
  Open(tooLong.c_str(), kImageFilter);
  EXPECT_EQ(FolderPath(), L"\\");
}

TEST_F(DirectoryModelTest, WalksDownAndUpAndForgetsTheChosenFileOnEveryChange) {
  DeviceFolder folder;
  folder.File(L"a.gif", 100, 1);
  folder.Folder(L"Empty");
  Open(folder.DevicePath().c_str(), kImageFilter);

  wchar_t path[MAX_PATH] = L"untouched";
  EXPECT_FALSE(lmx::ChosenPath(list, path, MAX_PATH));
  EXPECT_STREQ(path, L"untouched");
  Select(L"Empty");  // a folder is no file to pick
  EXPECT_FALSE(lmx::ChosenPath(list, path, MAX_PATH));
  Select(L"a.gif");
  ASSERT_TRUE(lmx::ChosenPath(list, path, MAX_PATH));
  EXPECT_EQ(std::wstring(path), folder.DevicePath() + L"\\a.gif");
  wchar_t tiny[8];
  EXPECT_FALSE(lmx::ChosenPath(list, tiny, 8));  // does not fit: refused

  Activate(L"Empty");
  EXPECT_EQ(FolderPath(), folder.DevicePath() + L"\\Empty\\");
  EXPECT_EQ(Names(ReadRows(list)), (Strings{L".."}));
  EXPECT_FALSE(lmx::ChosenPath(list, path, MAX_PATH));

  // The level menu: the root's name, then each level indented two blanks more.
  HMENU menu = lmx::BuildLevelMenu(list);
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(GetMenuItemCount(menu), 3);
  wchar_t text[MAX_PATH];
  GetMenuStringW(menu, 2000, text, MAX_PATH, MF_BYCOMMAND);
  EXPECT_STREQ(text, lmx::LoadLangString(853));
  GetMenuStringW(menu, 2001, text, MAX_PATH, MF_BYCOMMAND);
  EXPECT_EQ(std::wstring(text), L"  " + folder.Name());
  GetMenuStringW(menu, 2002, text, MAX_PATH, MF_BYCOMMAND);
  EXPECT_STREQ(text, L"    Empty");
  DestroyMenu(menu);

  Activate(L"..");
  EXPECT_EQ(FolderPath(), folder.DevicePath() + L"\\");
  Activate(L"a.gif");  // a double tap on a file chooses it, nothing else
  EXPECT_EQ(FolderPath(), folder.DevicePath() + L"\\");
  EXPECT_TRUE(lmx::ChosenPath(list, path, MAX_PATH));
  lmx::GoToLevel(list, 1);  // the current level: nothing happens
  EXPECT_TRUE(lmx::ChosenPath(list, path, MAX_PATH));
  lmx::GoToLevel(list, 0);
  EXPECT_EQ(FolderPath(), L"\\");
  EXPECT_EQ(RowIndex(list, L".."), -1);
  EXPECT_FALSE(lmx::ChosenPath(list, path, MAX_PATH));
  lmx::LeaveFolder(list);  // the root is never left
  EXPECT_EQ(lmx::CurrentLevel(list), 0);
}

TEST_F(DirectoryModelTest, PatternsLongerThanTheBufferAreSkippedAndStarDotStarListsEveryFile) {
  DeviceFolder folder;
  folder.File(L"q.abcdefghi", 1, 1);   // "*.abcdefghi" is 11 characters: it fits
  folder.File(L"r.abcdefghij", 1, 1);  // "*.abcdefghij" is 12: skipped
  folder.File(L"a.gif", 1, 1);
  folder.File(L"notes.txt", 1, 1);
  const wchar_t longFilter[] =
      L"Odd\0*.abcdefghij;*.abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz;*.abcdefghi;*.gif\0\0";
  Open(folder.DevicePath().c_str(), longFilter);
  EXPECT_EQ(Files(), (Strings{L"a.gif", L"q.abcdefghi"}));
  lmx::DestroyExplorerList(list);

  Open(folder.DevicePath().c_str(), kAllFilter);
  EXPECT_EQ(Files(), (Strings{L"a.gif", L"notes.txt", L"q.abcdefghi", L"r.abcdefghij"}));
  lmx::DestroyExplorerList(list);

  // No filter or an empty one: the folders alone.
  Open(folder.DevicePath().c_str(), L"\0");
  EXPECT_EQ(Names(ReadRows(list)), (Strings{L".."}));
}

TEST_F(DirectoryModelTest, AFileThatSeveralPatternsMatchIsListedOnce) {
  DeviceFolder folder;
  for (const wchar_t* name : {L"a.jpg", L"b.jpeg", L"c.jpe", L"scan.tiff", L"d.tif"}) folder.File(name, 1, 1);
  // The host matches "*.jpe" and "*.tif" against short names too: b.jpeg and scan.tiff.
  Open(folder.DevicePath().c_str(), L"All\0*.jpg;*.jpeg;*.jpe;*.tif;*.tiff\0\0");
  EXPECT_EQ(Files(), (Strings{L"a.jpg", L"b.jpeg", L"c.jpe", L"d.tif", L"scan.tiff"}));
}

TEST_F(DirectoryModelTest, FilterPatternsAreReadFromTheFirstPairOnly) {
  const wchar_t* cursor = nullptr;
  wchar_t pattern[lmx::kPatternChars + 1];
  Strings seen;
  while (lmx::NextFilterPattern(kImageFilter, &cursor, pattern)) seen.push_back(pattern);
  EXPECT_EQ(seen, (Strings{L"*.bmp", L"*.gif"}));
  cursor = nullptr;
  seen.clear();
  const wchar_t trailing[] = L"x\0*.bmp;\0\0";
  while (lmx::NextFilterPattern(trailing, &cursor, pattern)) seen.push_back(pattern);
  EXPECT_EQ(seen, (Strings{L"*.bmp"}));
}

TEST_F(DirectoryModelTest, TheNotifyHandlerTableHoldsTenRows) {
  std::vector<HWND> fake;
  int registered = 0;
  for (int i = 0; i < 12; ++i) {
    HWND w = reinterpret_cast<HWND>(static_cast<intptr_t>(0x7000 + i));
    if (lmx::RegisterNotifyHandler(w, 300, 0, lmx::ExplorerNotify)) {
      fake.push_back(w);
      ++registered;
    }
  }
  EXPECT_EQ(registered, lmx::kNotifyHandlerRows);
  EXPECT_FALSE(lmx::UnregisterNotifyHandler(reinterpret_cast<HWND>(0x6000)));
  for (HWND w : fake) EXPECT_TRUE(lmx::UnregisterNotifyHandler(w));
  EXPECT_FALSE(lmx::UnregisterNotifyHandler(fake[0]));
}

TEST_F(DirectoryModelTest, ListsWithoutANotifyHandlerShowNoTextAndLeakNoRows) {
  DeviceFolder folder;
  folder.File(L"a.gif", 100, 1);
  std::vector<HWND> fake;
  for (int i = 0; i < lmx::kNotifyHandlerRows; ++i) {
    HWND w = reinterpret_cast<HWND>(static_cast<intptr_t>(0x7100 + i));
    if (lmx::RegisterNotifyHandler(w, 300, 0, lmx::ExplorerNotify)) fake.push_back(w);
  }
  Open(folder.DevicePath().c_str(), kImageFilter);
  EXPECT_FALSE(lmx::HasNotifyHandler(list));
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(RowIndex(list, L"a.gif"), -1);  // no text without the handler
  lmx::ScanFolder(list);                    // the old rows' entries are freed all the same
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);
  // Without a row in the table the list window is not destroyed by the explorer.
  EXPECT_FALSE(lmx::DestroyExplorerList(list));
  EXPECT_TRUE(IsWindow(list));
  DestroyWindow(list);
  list = nullptr;
  for (HWND w : fake) lmx::UnregisterNotifyHandler(w);
}

TEST(DevicePaths, DevicePathsAreRootedAtDriveC) {
  wchar_t out[MAX_PATH];
  ASSERT_TRUE(lmx::DevicePathOnHost(L"\\My Documents\\a.bmp", out, MAX_PATH));
  EXPECT_STREQ(out, L"C:\\My Documents\\a.bmp");
  ASSERT_TRUE(lmx::DevicePathOnHost(L"Z:\\home\\a.bmp", out, MAX_PATH));
  EXPECT_STREQ(out, L"Z:\\home\\a.bmp");
  ASSERT_TRUE(lmx::DevicePathOnHost(L"\\\\server\\share", out, MAX_PATH));
  EXPECT_STREQ(out, L"\\\\server\\share");
  EXPECT_FALSE(lmx::DevicePathOnHost(L"\\abc", out, 5));
}

}  // namespace
