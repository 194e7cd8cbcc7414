#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "common/utils.h"
#include "explorer/explorer_ids.h"
#include "explorer/explorer_list.h"
#include "explorer/explorer_view.h"
#include "platform/aygshell.h"
#include "tests/explorer/explorer_fixture.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/test_env.h"
#include "tests/support/window_input.h"
#include "tools/support/message_capture.h"

namespace {

using lmx::test::ColumnOf;
using lmx::test::DeviceFolder;
using lmx::test::kImageFilter;
using lmx::test::ListOf;
using lmx::test::Names;
using lmx::test::ReadRows;
using lmx::test::RowIndex;
using lmx::test::ViewOf;
using Strings = std::vector<std::wstring>;


using lmx::test::DialogDriver;

HWND ToolbarOf(HWND dialog) { return GetDlgItem(ViewOf(dialog), IDC_EXPLORER_TOOLBAR); }

// A double tap on the row named `name`, where the list shows it.
void DoubleTap(HWND list, const std::wstring& name) {
  const int index = RowIndex(list, name);
  ASSERT_GE(index, 0) << lmx::ToUtf8(name);
  lmx::test::DoubleTap(list, index);
}

void PressDone(HWND dialog) {
  HWND done = lmx::test::DoneButtonOf(dialog);
  if (done) SendMessageW(done, BM_CLICK, 0, 0);
  else SendMessageW(dialog, WM_COMMAND, IDOK, 0);
}

class PickFileTest : public testing::Test {
 protected:
  void SetUp() override {
    lang = lmx::test::LoadBuilt(L"LumivexLangComp.dll");
    lmx::SetResourceModule(lang);
    lmx::SetInstanceModule(GetModuleHandleW(nullptr));
    main = CreateWindowExW(0, L"Static", L"Zorvan Lumivex", WS_POPUP | WS_VISIBLE, 0, 26, 240, 268, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  void TearDown() override {
    DestroyWindow(main);
    lmx::SetResourceModule(nullptr);
    lmx::SetInstanceModule(nullptr);
    FreeLibrary(lang);
    EXPECT_TRUE(capture.Messages().empty());
  }
  bool Pick(std::function<void(HWND)> act, wchar_t* path, wchar_t* startFolder, const wchar_t* filter = kImageFilter) {
    DialogDriver driver(GetCurrentThreadId(), act);
    return lmx::PickFile(main, path, filter, startFolder);
  }
  lmx::MessageCapture capture;
  HMODULE lang = nullptr;
  HWND main = nullptr;
};

TEST_F(PickFileTest, ListsTheFolderFullScreenAndReturnsTheDoubleTappedFileOnDone) {
  DeviceFolder folder;
  folder.File(L"b.bmp", 3000, 5);
  folder.File(L"a.gif", 100, 3);
  folder.File(L"notes.txt", 10, 4);
  folder.Folder(L"Z");

  struct Seen {
    RECT dialog{}, list{};
    Strings names, sizes, inZ, back;
    std::wstring cancelText, nameTitle, sizeTitle, dateTitle;
    int nameImage = -1;
    bool stillOpenAfterEmptyDone = false;
  } seen;
  wchar_t path[MAX_PATH] = L"stale";
  wchar_t start[MAX_PATH];
  lstrcpynW(start, folder.Name().c_str(), MAX_PATH);  // no leading backslash

  const bool picked = Pick(
      [&seen](HWND dialog) {
        HWND list = ListOf(dialog);
        GetWindowRect(dialog, &seen.dialog);
        GetWindowRect(list, &seen.list);
        const auto rows = ReadRows(list);
        for (const auto& r : rows) {
          seen.names.push_back(r.name);
          seen.sizes.push_back(r.size);
        }
        wchar_t text[64] = L"";
        GetWindowTextW(GetDlgItem(ToolbarOf(dialog), IDC_EXPLORER_CANCEL), text, 64);
        seen.cancelText = text;
        HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
        std::wstring* titles[] = {&seen.nameTitle, &seen.sizeTitle, &seen.dateTitle};
        for (int c = 0; c < 3; ++c) {
          wchar_t title[64] = L"";
          HDITEMW item{};
          item.mask = HDI_TEXT;
          item.pszText = title;
          item.cchTextMax = 64;
          SendMessageW(header, HDM_GETITEMW, c, reinterpret_cast<LPARAM>(&item));
          *titles[c] = title;
        }
        seen.nameImage = ColumnOf(list, 0).image;

        // Into Z (empty: only the parent row), Done with nothing chosen keeps the dialog.
        DoubleTap(list, L"Z");
        seen.inZ = Names(ReadRows(list));
        PressDone(dialog);
        seen.stillOpenAfterEmptyDone = IsWindowVisible(dialog) != FALSE;
        DoubleTap(list, L"..");
        seen.back = Names(ReadRows(list));
        DoubleTap(list, L"b.bmp");
        PressDone(dialog);
      },
      path, start);

  EXPECT_EQ(seen.dialog.left, 0);
  EXPECT_EQ(seen.dialog.top, AYG_TOP_BAR_HEIGHT);
  EXPECT_EQ(seen.dialog.right, AYG_SCREEN_WIDTH);
  EXPECT_EQ(seen.dialog.bottom, AYG_SCREEN_HEIGHT);
  EXPECT_GT(seen.list.top, seen.dialog.top);  // below the toolbar
  EXPECT_EQ(seen.list.bottom, seen.dialog.bottom);
  EXPECT_EQ(seen.names, (Strings{L"..", L"Z", L"a.gif", L"b.bmp"}));
  EXPECT_EQ(seen.sizes, (Strings{L"", L"", L"1 KB", L"2 KB"}));
  EXPECT_EQ(seen.cancelText, L"Cancel");
  EXPECT_EQ(seen.nameTitle, L"Name");
  EXPECT_EQ(seen.sizeTitle, L"Size");
  EXPECT_EQ(seen.dateTitle, L"Date");
  EXPECT_EQ(seen.nameImage, lmx::kImageSortUp);
  EXPECT_EQ(seen.inZ, (Strings{L".."}));
  EXPECT_TRUE(seen.stillOpenAfterEmptyDone);
  EXPECT_EQ(seen.back, seen.names);

  ASSERT_TRUE(picked);
  EXPECT_EQ(std::wstring(path), folder.DevicePath() + L"\\b.bmp");
  EXPECT_EQ(std::wstring(start), folder.DevicePath() + L"\\");  // the next pick starts here
  wchar_t host[MAX_PATH];
  ASSERT_TRUE(lmx::DevicePathOnHost(path, host, MAX_PATH));
  EXPECT_NE(GetFileAttributesW(host), INVALID_FILE_ATTRIBUTES);
}

TEST_F(PickFileTest, TheCancelButtonEndsThePickAndLeavesTheStartFolder) {
  DeviceFolder folder;
  folder.File(L"a.gif", 100, 3);
  wchar_t path[MAX_PATH] = L"stale";
  wchar_t start[MAX_PATH];
  lstrcpynW(start, folder.DevicePath().c_str(), MAX_PATH);
  bool found = false;
  RECT raised{}, raisedList{};
  const bool picked = Pick(
      [&](HWND dialog) {
        HWND list = ListOf(dialog);
        // The input panel comes up: the dialog gives it room, the list follows.
        SIPINFO up{};
        up.cbSize = sizeof(up);
        up.fdwFlags = SIPF_ON | SIPF_DOCKED;
        SHSipInfo(SPI_SETSIPINFO, 0, &up, 0);
        GetWindowRect(dialog, &raised);
        GetWindowRect(list, &raisedList);
        LVITEMW it{};
        it.stateMask = it.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list, LVM_SETITEMSTATE, RowIndex(list, L"a.gif"), reinterpret_cast<LPARAM>(&it));
        HWND cancel = GetDlgItem(ToolbarOf(dialog), IDC_EXPLORER_CANCEL);
        found = cancel != nullptr;
        if (cancel) SendMessageW(cancel, BM_CLICK, 0, 0);
        else PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      },
      path, start);
  EXPECT_TRUE(found);
  EXPECT_LT(raised.bottom, AYG_SCREEN_HEIGHT);
  EXPECT_EQ(raisedList.bottom, raised.bottom);
  SIPINFO now{};
  now.cbSize = sizeof(now);
  ASSERT_TRUE(SHSipInfo(SPI_GETSIPINFO, 0, &now, 0));
  EXPECT_EQ(now.fdwFlags & SIPF_ON, 0u);  // lowered again on the way out
  EXPECT_FALSE(picked);
  EXPECT_STREQ(path, L"");
  EXPECT_EQ(std::wstring(start), folder.DevicePath());
}

TEST_F(PickFileTest, TheRootButtonAndTheLevelMenuMoveUpInOneStep) {
  DeviceFolder folder;
  folder.Folder(L"Pics");
  folder.File(L"Pics\\p.bmp", 10, 1);
  struct Seen {
    Strings menu;
    Strings afterCurrent, afterLevel1;
    bool rootHasNoParent = false, rootMenuAlone = false;
  } seen;
  wchar_t path[MAX_PATH];
  wchar_t pics[MAX_PATH];
  lstrcpynW(pics, (folder.DevicePath() + L"\\Pics").c_str(), MAX_PATH);
  const bool picked = Pick(
      [&seen](HWND dialog) {
        HWND view = ViewOf(dialog);
        HWND list = ListOf(dialog);
        HMENU menu = lmx::BuildLevelMenu(list);
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
          wchar_t text[MAX_PATH] = L"";
          GetMenuStringW(menu, 2000 + i, text, MAX_PATH, MF_BYCOMMAND);
          seen.menu.push_back(text);
        }
        DestroyMenu(menu);
        SendMessageW(view, WM_COMMAND, 2002, 0);  // the current level: nothing
        seen.afterCurrent = Names(ReadRows(list));
        SendMessageW(view, WM_COMMAND, 2001, 0);
        seen.afterLevel1 = Names(ReadRows(list));
        SendMessageW(view, WM_COMMAND, IDM_EXPLORER_ROOT, 0);
        seen.rootHasNoParent = RowIndex(list, L"..") == -1;
        menu = lmx::BuildLevelMenu(list);
        seen.rootMenuAlone = GetMenuItemCount(menu) == 1;
        DestroyMenu(menu);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      },
      path, pics);
  EXPECT_FALSE(picked);
  EXPECT_EQ(seen.menu, (Strings{L"My Device", L"  " + folder.Name(), L"    Pics"}));
  EXPECT_EQ(seen.afterCurrent, (Strings{L"..", L"p.bmp"}));
  EXPECT_EQ(seen.afterLevel1, (Strings{L"..", L"Pics"}));
  EXPECT_TRUE(seen.rootHasNoParent);
  EXPECT_TRUE(seen.rootMenuAlone);
}

TEST_F(PickFileTest, APickWithoutStartFolderOpensAtTheRoot) {
  DeviceFolder folder;
  folder.File(L"x.dll", 10, 1);
  bool rootShown = false, folderShown = false;
  wchar_t path[MAX_PATH];
  const wchar_t dllFilter[] = L"All Plug-Ins (*.dll)\0*.dll\0\0";
  const bool picked = Pick(
      [&](HWND dialog) {
        HWND list = ListOf(dialog);
        rootShown = RowIndex(list, L"..") == -1;
        folderShown = RowIndex(list, folder.Name()) >= 0;
        DoubleTap(list, folder.Name());
        DoubleTap(list, L"x.dll");
        PressDone(dialog);
      },
      path, nullptr, dllFilter);
  EXPECT_TRUE(rootShown);
  EXPECT_TRUE(folderShown);
  ASSERT_TRUE(picked);
  EXPECT_EQ(std::wstring(path), folder.DevicePath() + L"\\x.dll");
}

}  // namespace

namespace {

// The window of the pop-up menu the UI thread is tracking, if any.
HWND TrackedMenu(DWORD uiThread) { return lmx::test::FindShownWindow(L"#32768", uiThread, 0, 3000); }

TEST_F(PickFileTest, TheLevelButtonDropsDownTheMenuOfLevels) {
  DeviceFolder folder;
  folder.Folder(L"Pics");
  wchar_t start[MAX_PATH];
  lstrcpynW(start, (folder.DevicePath() + L"\\Pics").c_str(), MAX_PATH);
  const DWORD uiThread = GetCurrentThreadId();
  Strings items;
  int levelAfter = -1;
  static NMTOOLBARW drop;
  wchar_t path[MAX_PATH];
  Pick(
      [&](HWND dialog) {
        HWND toolbar = ToolbarOf(dialog);
        ZeroMemory(&drop, sizeof(drop));
        drop.hdr.hwndFrom = toolbar;
        drop.hdr.idFrom = IDC_EXPLORER_TOOLBAR;
        drop.hdr.code = TBN_DROPDOWN;
        drop.iItem = IDM_EXPLORER_LEVELS;
        // The notice is sent as the toolbar sends it; it returns once the menu is done.
        HWND view = ViewOf(dialog);
        std::thread sender([view] {
          SendMessageW(view, WM_NOTIFY, IDC_EXPLORER_TOOLBAR, reinterpret_cast<LPARAM>(&drop));
        });
        HWND menuWindow = TrackedMenu(uiThread);
        if (menuWindow) {
          HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
          for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
            wchar_t text[MAX_PATH] = L"";
            GetMenuStringW(menu, i, text, MAX_PATH, MF_BYPOSITION);
            items.push_back(text);
          }
          // Down to the first item (the root) and take it.
          PostMessageW(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
          PostMessageW(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
          for (int i = 0; i < 100 && lmx::CurrentLevel(ListOf(dialog)) != 0; ++i) Sleep(10);
        }
        else SendMessageW(view, WM_CANCELMODE, 0, 0);
        sender.join();
        levelAfter = lmx::CurrentLevel(ListOf(dialog));
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      },
      path, start);
  EXPECT_EQ(items, (Strings{L"My Device", L"  " + folder.Name(), L"    Pics"}));
  EXPECT_EQ(levelAfter, 0);
}

}  // namespace
