// The explorer's grid of thumbnails on the test device, end to end: the six plug-ins, a
// broken file, a plug-in without the reduced export and a sub-folder, driven with the pen,
// the d-pad and the wheel; the cache folder rebuilt after the test damages a file in it;
// a folder change while the worker decodes; the grid and its button seen whole on screen.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "common/utils.h"
#include "explorer/directory_model.h"
#include "explorer/explorer_ids.h"
#include "explorer/explorer_view.h"
#include "explorer/folder_listing.h"
#include "explorer/thumbnail_grid.h"
#include "explorer/thumbnail_worker.h"
#include "host/plugin_thumbnails.h"
#include "host/viewer_document.h"
#include "tests/explorer/explorer_fixture.h"
#include "tests/host/host_fixture.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/screen_fit.h"
#include "tests/support/test_env.h"
#include "tests/support/window_input.h"
#include "tools/support/message_capture.h"
#include "ui/settings.h"

namespace {

using lmx::CellLook;
using lmx::test::BinDir;
using lmx::test::CorpusDir;
using lmx::test::DeviceFolder;
using lmx::test::EndWith;
using lmx::test::GridOf;
using lmx::test::ListOf;
using lmx::test::Names;
using lmx::test::ReadRows;
using lmx::test::RegisterLibrary;
using lmx::test::RowIndex;
using lmx::test::ViewOf;
using Strings = std::vector<std::wstring>;

HWND ViewButtonOf(HWND dialog) {
  return GetDlgItem(GetDlgItem(ViewOf(dialog), IDC_EXPLORER_TOOLBAR), IDC_EXPLORER_VIEW_MODE);
}

// The six formats' pictures as the grid test folder holds them, and where each comes from.
struct Picture {
  const wchar_t* name;
  std::wstring source;
};
std::vector<Picture> SixFormats() {
  const std::wstring pillow = CorpusDir() + L"pillow\\";
  return {{L"colours.bmp", CorpusDir() + L"bmpsuite\\g\\rgb24.bmp"},
          {L"hopper.gif", pillow + L"hopper.gif"},
          {L"hopper.tif", pillow + L"hopper.tif"},
          {L"stride.pcx", pillow + L"odd_stride.pcx"},
          {L"photo.jpg", std::wstring(LMX_JPEG_TESTIMAGES) + L"testorig.jpg"},
          {L"rgb.png", CorpusDir() + L"pngsuite\\basn2c08.png"}};
}

void Write(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

// Polls `done` (asked from the driver's thread) for up to `ms` milliseconds.
template <typename Done>
bool WaitFor(Done done, DWORD ms = 20000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return false;
    Sleep(20);
  }
  return true;
}

// The screen's pixels inside `rect` (screen points), top row first.
struct Shot {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;
  COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
Shot ShootScreen(const RECT& rect) {
  Shot shot;
  shot.width = rect.right - rect.left;
  shot.height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = shot.width;
  info.bmiHeader.biHeight = -shot.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  BitBlt(dc, 0, 0, shot.width, shot.height, screen, rect.left, rect.top, SRCCOPY);
  GdiFlush();
  const auto* p = static_cast<const uint32_t*>(bits);
  for (int i = 0; i < shot.width * shot.height; ++i) {
    shot.pixels.push_back(RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF));
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return shot;
}

// What the screen shows of one cell: the colours in its picture box, and whether its name
// line has ink.
struct CellSeen {
  size_t colours = 0;
  size_t inked = 0;  // pixels of the box that are not the window's white
  bool named = false;
};
CellSeen SeeCell(HWND grid, int row) {
  RECT cell{};
  CellSeen seen;
  if (!lmx::GridCellRect(grid, row, &cell)) return seen;
  MapWindowPoints(grid, nullptr, reinterpret_cast<POINT*>(&cell), 2);
  const Shot shot = ShootScreen(cell);
  const int boxBottom = 4 + (shot.width - 8) * 3 / 4;
  std::set<COLORREF> colours;
  for (int y = 4; y < boxBottom && y < shot.height; ++y) {
    for (int x = 4; x < shot.width - 4; ++x) {
      colours.insert(shot.At(x, y));
      seen.inked += shot.At(x, y) != RGB(255, 255, 255) ? 1 : 0;
    }
  }
  seen.colours = colours.size();
  for (int y = boxBottom + 2; y < shot.height; ++y) {
    for (int x = 0; x < shot.width; ++x) seen.named = seen.named || shot.At(x, y) != shot.At(0, boxBottom + 1);
  }
  return seen;
}

// Dialogs of this process other than the explorer: a box a plug-in raised would be one.
int OtherDialogs(HWND explorer) {
  struct Count {
    HWND explorer;
    int n;
  } count{explorer, 0};
  EnumWindows(
      [](HWND w, LPARAM p) -> BOOL {
        auto* c = reinterpret_cast<Count*>(p);
        DWORD process = 0;
        GetWindowThreadProcessId(w, &process);
        wchar_t name[32] = L"";
        GetClassNameW(w, name, 32);
        if (process == GetCurrentProcessId() && w != c->explorer && IsWindowVisible(w) && wcscmp(name, L"#32770") == 0) {
          ++c->n;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count.n;
}

class ThumbnailGridTest : public lmx::test::HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    std::vector<std::wstring> libraries = lmx::test::DeliveredPlugIns();
    libraries.push_back(BinDir() + L"zlx_jpg.dll");
    libraries.push_back(BinDir() + L"zlx_png.dll");
    libraries.push_back(lmx::test::FakePlugIn(L"grid_fake_qqg"));
    for (const std::wstring& path : libraries) ASSERT_TRUE(RegisterLibrary(path, PlugInsKey())) << lmx::ToUtf8(path);
    document.DiscoverPlugIns(PlugInsKey());
    main = CreateWindowExW(0, L"Static", L"Zorvan Lumivex", WS_POPUP | WS_VISIBLE, 0, 26, 240, 268, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    cache = std::wstring(L"C:\\") + L"lmx_thumbs_" + std::to_wstring(GetCurrentProcessId());
    lmx::Settings().explorerGrid = 1;
    lmx::ForgetRememberedThumbnails();
  }
  void TearDown() override {
    EXPECT_TRUE(lmx::WaitThumbnailWorkerIdle(20000));
    DestroyWindow(main);
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((cache + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
      do DeleteFileW((cache + L"\\" + found.cFileName).c_str());
      while (FindNextFileW(find, &found));
      FindClose(find);
    }
    RemoveDirectoryW(cache.c_str());
    EXPECT_TRUE(capture.Messages().empty());
    HostTest::TearDown();
  }
  void Fill(DeviceFolder& folder) {
    for (const Picture& p : SixFormats()) ASSERT_TRUE(CopyFileW(p.source.c_str(), folder.HostPath(p.name).c_str(), FALSE)) << lmx::ToUtf8(p.source);
    Write(folder.HostPath(L"broken.png"), "this is no picture at all, whatever its name says");
    Write(folder.HostPath(L"other.qqg"), "a format whose plug-in makes no thumbnails");
    folder.Folder(L"Sub");
  }
  bool Pick(const std::function<void(HWND)>& act, const DeviceFolder& folder, wchar_t* path) {
    lmx::PickOptions options;
    options.thumbnails = lmx::PlugInThumbnailSetup(document.plugIns(), nullptr);
    options.thumbnails.cacheFolder = cache;
    options.thumbnails.cacheBytes = 1u << 20;
    wchar_t start[MAX_PATH];
    lstrcpynW(start, folder.DevicePath().c_str(), MAX_PATH);
    lmx::test::DialogDriver driver(GetCurrentThreadId(), act);
    return lmx::PickFile(main, path, document.plugIns()->openFilter, start, options);
  }
  static bool Settled(HWND grid) { return lmx::GridWaitingOnScreen(grid) == 0 && lmx::WaitThumbnailWorkerIdle(0); }

  lmx::MessageCapture capture;
  lmx::ViewerDocument document;
  HWND main = nullptr;
  std::wstring cache;
};

TEST_F(ThumbnailGridTest, ShowsThumbnailsFolderAndFormatIconsAndChoosesWithThePen) {
  DeviceFolder folder;
  Fill(folder);
  struct Seen {
    int columns = 0, otherDialogs = -1;
    bool settled = false;
    Strings names, inSub;
    std::vector<CellLook> looks;
    std::vector<CellSeen> cells;
    std::vector<std::string> fit;
    int selectedAfterTap = -1, selectedAfterRight = -1;
    LONG topBeforeWheel = 0, topAfterWheel = 0;
    std::wstring buttonText;
  } seen;
  wchar_t path[MAX_PATH] = L"";
  const bool picked = Pick(
      [&seen](HWND dialog) {
        HWND grid = GridOf(dialog), list = ListOf(dialog);
        seen.settled = WaitFor([grid] { return Settled(grid); });
        Sleep(100);  // the last cells' paint
        seen.columns = lmx::GridColumns(grid);
        seen.names = Names(ReadRows(list));
        for (int row = 0; row < static_cast<int>(seen.names.size()); ++row) {
          seen.looks.push_back(lmx::GridCellLook(grid, row));
          seen.cells.push_back(SeeCell(grid, row));
        }
        seen.fit = lmx::test::ScreenFitProblems(dialog);
        seen.otherDialogs = OtherDialogs(dialog);
        wchar_t text[32] = L"";
        GetWindowTextW(ViewButtonOf(dialog), text, 32);
        seen.buttonText = text;

        // A tap on the first cell gives the grid the focus; the wheel then scrolls the last
        // row into view.
        RECT g;
        GetWindowRect(grid, &g);
        SetForegroundWindow(dialog);
        lmx::test::Tap(g.left + 10, g.top + 10);
        WaitFor([grid] { return lmx::GridSelectedRow(grid) == 0; }, 3000);
        RECT first{};
        lmx::GridCellRect(grid, 0, &first);
        seen.topBeforeWheel = first.top;
        lmx::test::TurnWheel(g.left + 40, g.top + 40, -WHEEL_DELTA);
        WaitFor([grid, &first] {
          RECT now{};
          lmx::GridCellRect(grid, 0, &now);
          return now.top != first.top;
        }, 3000);
        lmx::GridCellRect(grid, 0, &first);
        seen.topAfterWheel = first.top;

        // A tap on colours.bmp selects it; the d-pad's Right moves on.
        const int bmp = RowIndex(list, L"colours.bmp");
        RECT cell{};
        lmx::GridCellRect(grid, bmp, &cell);
        MapWindowPoints(grid, nullptr, reinterpret_cast<POINT*>(&cell), 2);
        lmx::test::Tap((cell.left + cell.right) / 2, cell.top + 20);
        WaitFor([grid, bmp] { return lmx::GridSelectedRow(grid) == bmp; }, 3000);
        seen.selectedAfterTap = lmx::GridSelectedRow(grid);
        lmx::test::PressKey(VK_RIGHT);
        WaitFor([grid, bmp] { return lmx::GridSelectedRow(grid) == bmp + 1; }, 3000);
        seen.selectedAfterRight = lmx::GridSelectedRow(grid);
        lmx::test::PressKey(VK_LEFT);
        WaitFor([grid, bmp] { return lmx::GridSelectedRow(grid) == bmp; }, 3000);

        // A double tap on Sub enters it; Enter on its parent row comes back.
        const int sub = RowIndex(list, L"Sub");
        SendMessageW(grid, WM_VSCROLL, SB_TOP, 0);
        lmx::GridCellRect(grid, sub, &cell);
        MapWindowPoints(grid, nullptr, reinterpret_cast<POINT*>(&cell), 2);
        lmx::test::Tap((cell.left + cell.right) / 2, cell.top + 20);
        lmx::test::Tap((cell.left + cell.right) / 2, cell.top + 20);
        WaitFor([list] { return Names(ReadRows(list)) == Strings{L".."}; }, 3000);
        seen.inSub = Names(ReadRows(list));
        lmx::test::PressKey(VK_HOME);
        lmx::test::PressKey(VK_RETURN);
        WaitFor([list] { return RowIndex(list, L"colours.bmp") >= 0; }, 3000);
        const int again = RowIndex(list, L"colours.bmp");
        // The grid takes the list's rows after the list has them: until then it has no such cell.
        WaitFor([grid, again, &cell] { return lmx::GridCellRect(grid, again, &cell); }, 3000);
        MapWindowPoints(grid, nullptr, reinterpret_cast<POINT*>(&cell), 2);
        lmx::test::Tap((cell.left + cell.right) / 2, cell.top + 20);
        WaitFor([grid, again] { return lmx::GridSelectedRow(grid) == again; }, 3000);
        EndWith(dialog, IDOK);
      },
      folder, path);

  ASSERT_TRUE(seen.settled);
  EXPECT_EQ(seen.columns, 3);
  EXPECT_EQ(seen.names, (Strings{L"..", L"Sub", L"broken.png", L"colours.bmp", L"hopper.gif", L"hopper.tif",
                                 L"other.qqg", L"photo.jpg", L"rgb.png", L"stride.pcx"}));
  ASSERT_EQ(seen.looks.size(), seen.names.size());
  for (size_t i = 0; i < seen.names.size(); ++i) {
    const std::wstring& name = seen.names[i];
    const bool picture = name != L".." && name != L"Sub" && name != L"broken.png" && name != L"other.qqg";
    EXPECT_EQ(seen.looks[i], picture ? CellLook::kThumbnail : CellLook::kIcon) << lmx::ToUtf8(name);
    if (i >= 9) continue;  // below the screen
    // A picture shows many colours; an icon a few, but ink in its box all the same.
    if (picture) EXPECT_GT(seen.cells[i].colours, 16u) << lmx::ToUtf8(name);
    else EXPECT_LT(seen.cells[i].colours, 40u) << lmx::ToUtf8(name);
    EXPECT_GT(seen.cells[i].inked, 40u) << lmx::ToUtf8(name);
    EXPECT_TRUE(seen.cells[i].named) << lmx::ToUtf8(name);
  }
  for (const std::string& p : seen.fit) ADD_FAILURE() << p;
  EXPECT_EQ(seen.otherDialogs, 0);
  EXPECT_EQ(seen.buttonText, L"List");
  EXPECT_LT(seen.topAfterWheel, seen.topBeforeWheel);
  EXPECT_EQ(seen.selectedAfterRight, seen.selectedAfterTap + 1);
  EXPECT_EQ(seen.inSub, (Strings{L".."}));
  ASSERT_TRUE(picked);
  EXPECT_EQ(std::wstring(path), folder.DevicePath() + L"\\colours.bmp");
}

TEST_F(ThumbnailGridTest, TheButtonSwitchesViewsKeepingTheListsOrderAndTheSettingKeepsTheView) {
  DeviceFolder folder;
  Fill(folder);
  struct Seen {
    bool gridShown = false, listShownAfter = false, gridShownAfter = true, gridAgain = false;
    std::wstring textAfter;
    std::vector<std::string> fit;
    Strings bySize;
  } seen;
  wchar_t path[MAX_PATH] = L"";
  Pick(
      [&seen](HWND dialog) {
        HWND list = ListOf(dialog), grid = GridOf(dialog);
        seen.gridShown = IsWindowVisible(grid) != FALSE;
        RECT button;
        GetWindowRect(ViewButtonOf(dialog), &button);
        SetForegroundWindow(dialog);
        lmx::test::Tap((button.left + button.right) / 2, (button.top + button.bottom) / 2);
        WaitFor([dialog] { return IsWindowVisible(ListOf(dialog)) != FALSE; }, 3000);
        seen.listShownAfter = IsWindowVisible(list) != FALSE;
        seen.gridShownAfter = IsWindowVisible(grid) != FALSE;
        wchar_t text[32] = L"";
        GetWindowTextW(ViewButtonOf(dialog), text, 32);
        seen.textAfter = text;
        seen.fit = lmx::test::ScreenFitProblems(dialog);

        // Sorted by size in the list; the grid, shown again, reads the list's rows in that order.
        HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
        RECT sizeTitle{};
        SendMessageW(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&sizeTitle));
        MapWindowPoints(header, nullptr, reinterpret_cast<POINT*>(&sizeTitle), 2);
        lmx::test::Tap((sizeTitle.left + sizeTitle.right) / 2, (sizeTitle.top + sizeTitle.bottom) / 2);
        WaitFor([list] { return lmx::StateOf(list)->sortColumn == 1; }, 3000);
        seen.bySize = Names(ReadRows(list));
        // Past the double-click time, so that this tap is not taken as the header tap's second.
        WaitFor([] { return false; }, GetDoubleClickTime() + 100);
        lmx::test::Tap((button.left + button.right) / 2, (button.top + button.bottom) / 2);
        WaitFor([grid] { return IsWindowVisible(grid) != FALSE; }, 5000);
        seen.gridAgain = IsWindowVisible(grid) != FALSE;
        EndWith(dialog, IDCANCEL);
      },
      folder, path);
  EXPECT_TRUE(seen.gridShown);
  EXPECT_TRUE(seen.listShownAfter);
  EXPECT_FALSE(seen.gridShownAfter);
  EXPECT_EQ(seen.textAfter, L"Pictures");
  for (const std::string& p : seen.fit) ADD_FAILURE() << p;
  EXPECT_TRUE(seen.gridAgain);
  EXPECT_EQ(seen.bySize.back(), L"hopper.tif");  // the largest of the folder's files
  // Next and Previous Picture step in that order too.
  const lmx::FolderOrder order = lmx::FolderOrderOf((folder.DevicePath() + L"\\").c_str());
  EXPECT_EQ(order.sortColumn, 1);
  EXPECT_TRUE(order.ascending);
  EXPECT_EQ(lmx::Settings().explorerGrid, 1u);
  lmx::Settings().explorerGrid = 0;
  ASSERT_TRUE(lmx::SaveSettings(&lmx::Settings()));
  lmx::Settings().explorerGrid = 1;
  lmx::CloseSettings(&lmx::Settings());
  ASSERT_TRUE(lmx::LoadSettings(&lmx::Settings()));
  EXPECT_EQ(lmx::Settings().explorerGrid, 0u);
}

std::vector<std::wstring> CacheFiles(const std::wstring& cache) {
  std::vector<std::wstring> files;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((cache + L"\\*.lmt").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return files;
  do files.push_back(cache + L"\\" + found.cFileName);
  while (FindNextFileW(find, &found));
  FindClose(find);
  return files;
}

TEST_F(ThumbnailGridTest, ACacheFileTheTestDamagesIsRebuiltAndTheRestAreReadBack) {
  DeviceFolder folder;
  Fill(folder);
  wchar_t path[MAX_PATH] = L"";
  auto settle = [](HWND dialog) {
    WaitFor([dialog] { return Settled(GridOf(dialog)); });
    EndWith(dialog, IDCANCEL);
  };
  const lmx::ThumbnailWorkCount before = lmx::ThumbnailWorkDone();
  Pick(settle, folder, path);
  const lmx::ThumbnailWorkCount first = lmx::ThumbnailWorkDone();
  EXPECT_EQ(first.decoded - before.decoded, 6u);
  const std::vector<std::wstring> files = CacheFiles(cache);
  ASSERT_EQ(files.size(), 6u);

  // One file's pixels damaged, another cut short, a third made foreign.
  std::vector<uint8_t> sound = lmx::test::ReadWholeFile(files[0]);
  std::string damaged(sound.begin(), sound.end());
  damaged[damaged.size() / 2] ^= 0x55;
  Write(files[0], damaged);
  std::vector<uint8_t> second = lmx::test::ReadWholeFile(files[1]);
  Write(files[1], std::string(second.begin(), second.begin() + second.size() / 3));
  Write(files[2], "GIF89a, not a thumbnail");

  lmx::ForgetRememberedThumbnails();
  Pick(settle, folder, path);
  const lmx::ThumbnailWorkCount again = lmx::ThumbnailWorkDone();
  EXPECT_EQ(again.decoded - first.decoded, 3u);
  EXPECT_EQ(again.fromDisk - first.fromDisk, 3u);
  EXPECT_EQ(lmx::test::ReadWholeFile(files[0]), sound);
  EXPECT_EQ(lmx::test::ReadWholeFile(files[1]), second);
  EXPECT_EQ(CacheFiles(cache).size(), 6u);
}

TEST_F(ThumbnailGridTest, AFolderChangeWhileDecodingDropsTheOldFoldersWork) {
  DeviceFolder folder;
  folder.Folder(L"Many");
  folder.Folder(L"Few");
  const std::wstring big = CorpusDir() + L"pillow\\no_rows_per_strip.tif";
  constexpr int kMany = 40;
  for (int i = 0; i < kMany; ++i) {
    const std::wstring link = folder.HostPath(L"Many\\big" + std::to_wstring(100 + i) + L".tif");
    if (!CreateHardLinkW(link.c_str(), big.c_str(), nullptr)) {
      ASSERT_TRUE(CopyFileW(big.c_str(), link.c_str(), FALSE));
    }
  }
  ASSERT_TRUE(CopyFileW((CorpusDir() + L"bmpsuite\\g\\rgb24.bmp").c_str(), folder.HostPath(L"Few\\colours.bmp").c_str(), FALSE));
  struct Seen {
    DWORD changeMs = 0;
    bool settled = false;
    Strings names;
    std::vector<CellLook> looks;
  } seen;
  wchar_t path[MAX_PATH] = L"";
  const lmx::ThumbnailWorkCount before = lmx::ThumbnailWorkDone();
  Pick(
      [&seen](HWND dialog) {
        HWND list = ListOf(dialog), grid = GridOf(dialog);
        lmx::test::DoubleTap(list, RowIndex(list, L"Many"));
        WaitFor([grid] { return lmx::GridCellLook(grid, 1) == CellLook::kThumbnail; }, 10000);
        const DWORD start = GetTickCount();
        lmx::test::DoubleTap(list, RowIndex(list, L".."));
        lmx::test::DoubleTap(list, RowIndex(list, L"Few"));
        seen.changeMs = GetTickCount() - start;
        seen.settled = WaitFor([grid] { return Settled(grid); });
        seen.names = Names(ReadRows(list));
        for (int row = 0; row < static_cast<int>(seen.names.size()); ++row) seen.looks.push_back(lmx::GridCellLook(grid, row));
        EndWith(dialog, IDCANCEL);
      },
      folder, path);
  const lmx::ThumbnailWorkCount after = lmx::ThumbnailWorkDone();
  EXPECT_LT(seen.changeMs, 1000u);
  EXPECT_TRUE(seen.settled);
  EXPECT_EQ(seen.names, (Strings{L"..", L"colours.bmp"}));
  EXPECT_EQ(seen.looks, (std::vector<CellLook>{CellLook::kIcon, CellLook::kThumbnail}));
  // The Many folder's work went with it: far fewer than its pictures were decoded.
  EXPECT_LT(after.decoded - before.decoded, static_cast<uint32_t>(kMany / 2));
}

}  // namespace
