// Going through a folder as a user does: the Next and Previous commands, the d-pad and the
// keys, the wheel and a swipe of the pen (real input), a picture its plug-in refuses on the
// way, a large picture that scrolls instead, and the slide show.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "explorer/folder_listing.h"
#include "host/viewer_document.h"
#include "lang/lang_ids.h"
#include "tests/host/host_fixture.h"
#include "tests/app/program_fixture.h"
#include "tests/plugins/common/tiff_builder.h"
#include "tests/support/test_env.h"
#include "tools/support/bmp_bytes.h"
#include "tools/support/message_capture.h"
#include "ui/registry.h"
#include "ui/settings.h"
#include "view/image_view.h"

namespace lmx::test {
namespace {

// A bottom-up 24-bit BMP of `width` x `height` with a pattern that differs across and down.
std::vector<uint8_t> LargeBmp(int width, int height) {
  return Bmp24Bytes(width, height, [](int x, int y, uint8_t* bgr) {
    bgr[0] = static_cast<uint8_t>(x);
    bgr[1] = static_cast<uint8_t>(y);
    bgr[2] = static_cast<uint8_t>((x / 16 + y / 16) * 40);
  });
}

// An uncompressed TIFF of three 8-bit grey pages of 16 x 16, each a shade.
std::vector<uint8_t> ThreePageTiff() {
  TiffBuilder tiff;
  for (uint16_t page = 0; page < 3; ++page) {
    tiff.AddDirectory({Short(256, 16), Short(257, 16), Short(258, 8), Short(259, 1), Short(262, 1), Short(277, 1),
                       Short(278, 16)},
                      {std::vector<uint8_t>(16 * 16, static_cast<uint8_t>(60 + 80 * page))});
    if (page) tiff.Chain(page - 1, page);
  }
  return tiff.Bytes();
}

const std::vector<uint8_t> kBrokenBmp = {'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8};

GfxImage* Current() {
  ImageFileItem* item = TheDocument() ? TheDocument()->CurrentFile() : nullptr;
  return item ? item->image : nullptr;
}

std::wstring CurrentName() {
  GfxImage* image = Current();
  if (!image) return L"";
  std::wstring path = image->filePath;
  return path.substr(path.find_last_of(L'\\') + 1);
}

bool ToolbarEnabled(UINT command) { return SendMessageW(ViewerToolbarWindow(), TB_ISBUTTONENABLED, command, 0) != 0; }

POINT ViewPoint(int fractionX, int fractionY) {
  RECT rc;
  GetWindowRect(ImageViewWindow(), &rc);
  return POINT{rc.left + (rc.right - rc.left) * fractionX / 8, rc.top + (rc.bottom - rc.top) * fractionY / 8};
}

class FolderStepsTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    HKEY app = OpenApplicationKey();
    HKEY plugIns = OpenOrCreateKey(app, kPlugInsKeyName);
    for (const wchar_t* name : {L"zlx_jpg.dll", L"zlx_png.dll"}) ASSERT_TRUE(RegisterLibrary(BinDir() + name, plugIns));
    CloseKey(plugIns);
    CloseKey(app);
    // BMP, PNG, JPEG, a three-page TIFF, a file the BMP plug-in refuses and a text file.
    folder_.Copy(Corpus(L"bmpsuite\\g\\rgb24.bmp"), L"a.bmp");
    folder_.Copy(Corpus(L"pngsuite\\basn2c08.png"), L"b.png");
    folder_.Copy(SourceFile(L"tests\\fuzz\\regressions\\jpg\\cmyk_adobe.jpg"), L"c.jpg");
    folder_.Write(ThreePageTiff(), L"d.tif");
    folder_.Write(kBrokenBmp, L"e.bmp");
    folder_.Write({'t', 'e', 'x', 't'}, L"f.txt");
  }

  bool StartOn(const wchar_t* name) {
    if (!Start((folder_ / name).c_str())) return false;
    SetForegroundWindow(MainWindow());
    SetFocus(MainWindow());
    PumpFor(50);
    return true;
  }

  // The picture on the screen is `name`'s, and the status bar tells its place.
  void ExpectShown(const wchar_t* name, const wchar_t* place) {
    EXPECT_EQ(CurrentName(), name);
    EXPECT_NE(StatusText(1).find(place), std::wstring::npos) << StatusText(1);
    EXPECT_NE(StatusText(1).find(name), std::wstring::npos) << StatusText(1);
    GfxImage* image = Current();
    ASSERT_NE(image, nullptr);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(image->dib);
    if (header->biBitCount != 24) return;
    for (POINT p : {POINT{0, 0}, POINT{header->biWidth / 2, std::abs(header->biHeight) / 2}}) {
      EXPECT_EQ(ScreenPixel(ImageViewWindow(), p.x, p.y), DibPixel(image->dib, p.x, p.y)) << p.x << "," << p.y;
    }
  }

  // The File popup's Next and Previous Picture as the menu bar would show them now.
  UINT ItemState(UINT command) {
    HMENU menu = MainMenu();
    HMENU file = nullptr;
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
      if (GetMenuItemID(GetSubMenu(menu, i), 0) == IDC_CMD_OPEN) file = GetSubMenu(menu, i);
    }
    if (!file) return ~0u;
    SendMessageW(MainWindow(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), MAKELPARAM(IDM_POPUP_FILE, 0));
    return GetMenuState(file, command, MF_BYCOMMAND) & MF_GRAYED;
  }

  static std::wstring SourceFile(const wchar_t* relative) {
    wchar_t path[MAX_PATH];
    GetFullPathNameW((std::wstring(LMX_SOURCE_DIR) + relative).c_str(), MAX_PATH, path, nullptr);
    return path;
  }

  ScratchFolder folder_{L"lmx_steps_"};
};

TEST_F(FolderStepsTest, CommandsKeysWheelAndSwipeStepThroughTheFolderAndPastARefusedFile) {
  MessageCapture boxes;
  ASSERT_TRUE(StartOn(L"a.bmp"));
  ExpectShown(L"a.bmp", L"1/5");
  EXPECT_EQ(ItemState(IDC_CMD_PREVIOUS_PICTURE), static_cast<UINT>(MF_GRAYED));
  EXPECT_EQ(ItemState(IDC_CMD_NEXT_PICTURE), 0u);

  Command(IDC_CMD_NEXT_PICTURE);
  ExpectShown(L"b.png", L"2/5");
  PressKey(VK_RIGHT);
  ExpectShown(L"c.jpg", L"3/5");
  PressKey(VK_SPACE);
  ExpectShown(L"d.tif", L"4/5");
  EXPECT_NE(StatusText(1).find(L"p. 1/3"), std::wstring::npos) << StatusText(1);
  PressKey(VK_NEXT);
  EXPECT_NE(StatusText(1).find(L"p. 2/3"), std::wstring::npos) << StatusText(1);
  ASSERT_TRUE(boxes.Messages().empty());

  // The refused file: its plug-in's one message, an empty view, and the place moves to it.
  PressKey(VK_SPACE);
  EXPECT_EQ(boxes.Messages().size(), 1u);
  EXPECT_EQ(Current(), nullptr);
  EXPECT_NE(StatusText(1).find(L"5/5"), std::wstring::npos) << StatusText(1);
  EXPECT_NE(StatusText(1).find(L"e.bmp"), std::wstring::npos) << StatusText(1);
  EXPECT_FALSE(ToolbarEnabled(IDC_CMD_ROTATE_RIGHT));
  EXPECT_EQ(ItemState(IDC_CMD_NEXT_PICTURE), static_cast<UINT>(MF_GRAYED));
  EXPECT_EQ(ItemState(IDC_CMD_PREVIOUS_PICTURE), 0u);

  PressKey(VK_BACK);
  ExpectShown(L"d.tif", L"4/5");
  EXPECT_NE(StatusText(1).find(L"p. 1/3"), std::wstring::npos) << "a file opens at its first page";
  PressKey(VK_HOME);
  ExpectShown(L"a.bmp", L"1/5");
  PressKey(VK_END);
  EXPECT_EQ(boxes.Messages().size(), 2u);
  PressKey(VK_LEFT);
  ExpectShown(L"d.tif", L"4/5");

  const POINT middle = ViewPoint(4, 4);
  TurnWheel(middle.x, middle.y, WHEEL_DELTA);
  ExpectShown(L"c.jpg", L"3/5");
  TurnWheel(middle.x, middle.y, -WHEEL_DELTA);
  ExpectShown(L"d.tif", L"4/5");
  const POINT left = ViewPoint(1, 3), right = ViewPoint(7, 3);
  Stroke(right.x, right.y, left.x, left.y);
  EXPECT_EQ(boxes.Messages().size(), 3u) << "the swipe to the left went on to the refused file";
  Stroke(left.x, left.y, right.x, right.y);
  ExpectShown(L"d.tif", L"4/5");
  // A short stroke is no swipe.
  Stroke(right.x, right.y, (right.x + left.x) / 2 + 40, right.y);
  ExpectShown(L"d.tif", L"4/5");

  // A file added meanwhile is taken into account at the next step.
  folder_.Copy(Corpus(L"bmpsuite\\g\\rgb24.bmp"), L"c2.bmp");
  PressKey(VK_BACK);
  ExpectShown(L"c2.bmp", L"4/6");

  // The keys never reach a closed document.
  Command(IDC_CMD_CLOSE);
  PressKey(VK_SPACE);
  PressKey(VK_RIGHT);
  EXPECT_EQ(Current(), nullptr);
  EXPECT_EQ(ItemState(IDC_CMD_NEXT_PICTURE), static_cast<UINT>(MF_GRAYED));
  EXPECT_EQ(boxes.Messages().size(), 3u);
}

TEST_F(FolderStepsTest, StepsFollowTheOrderTheExplorerLastShowedTheFolderIn) {
  // As the explorer tells it after showing the folder by size, largest first.
  RememberFolderOrder((folder_ / L"").c_str(), FolderOrder{1, false});
  ASSERT_TRUE(StartOn(L"a.bmp"));
  std::vector<std::pair<DWORD, std::wstring>> bySize;
  for (const wchar_t* name : {L"a.bmp", L"b.png", L"c.jpg", L"d.tif", L"e.bmp"}) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW((folder_ / name).c_str(), GetFileExInfoStandard, &data);
    bySize.emplace_back(data.nFileSizeLow, name);
  }
  std::sort(bySize.rbegin(), bySize.rend());
  ASSERT_EQ(CurrentName(), L"a.bmp");
  ASSERT_EQ(bySize[0].second, L"a.bmp") << "the largest file";
  std::vector<std::wstring> stepped{CurrentName()};
  for (int i = 0; i < 3; ++i) {
    Command(IDC_CMD_NEXT_PICTURE);
    stepped.push_back(CurrentName());
  }
  EXPECT_EQ(stepped, (std::vector<std::wstring>{bySize[0].second, bySize[1].second, bySize[2].second,
                                                bySize[3].second}));
  EXPECT_NE(StatusText(1).find(L"4/5"), std::wstring::npos) << StatusText(1);
  ForgetFolderOrders();
}

TEST_F(FolderStepsTest, ALargePictureScrollsWithKeysWheelAndPenInsteadOfStepping) {
  folder_.Write(LargeBmp(1200, 900), L"big.bmp");
  ASSERT_TRUE(StartOn(L"big.bmp"));
  ASSERT_EQ(CurrentName(), L"big.bmp");
  const ViewState& view = ImageView_State();
  const int clientWidth = view.client.right - view.client.left;
  const int clientHeight = view.client.bottom - view.client.top;

  PressKey(VK_DOWN);
  EXPECT_EQ(view.vertOffset, clientHeight / 8);
  PressKey(VK_RIGHT);
  EXPECT_EQ(view.horzOffset, clientWidth / 8);
  EXPECT_EQ(CurrentName(), L"big.bmp");
  const POINT middle = ViewPoint(4, 4);
  TurnWheel(middle.x, middle.y, -2 * WHEEL_DELTA);
  EXPECT_EQ(view.vertOffset, 3 * (clientHeight / 8));
  // What is on the screen follows the offsets.
  EXPECT_EQ(ScreenPixel(ImageViewWindow(), 0, 0), DibPixel(Current()->dib, view.horzOffset, view.vertOffset));

  // Plus and Minus zoom by the steps; Enter goes full screen, where the keys work as well, and
  // Escape comes back.
  PressKey(VK_ADD);
  EXPECT_FLOAT_EQ(ImageView_Zoom(), 2.0f);
  PressKey(VK_OEM_MINUS);
  EXPECT_FLOAT_EQ(ImageView_Zoom(), 1.0f);
  PressKey(VK_RETURN);
  ASSERT_TRUE(ImageView_IsFullScreen());
  PressKey(VK_DOWN);
  EXPECT_GT(view.vertOffset, 0);
  PressKey(VK_ESCAPE);
  EXPECT_FALSE(ImageView_IsFullScreen());

  // With the pen set to pan, a quick stroke across the wide picture pans it.
  Settings().msState = 0;
  ImageView_ScrollModeChanged();
  const POINT left = ViewPoint(1, 4), right = ViewPoint(7, 4);
  Stroke(right.x, right.y, left.x, left.y);
  EXPECT_EQ(CurrentName(), L"big.bmp");
  EXPECT_EQ(view.horzOffset, right.x - left.x);
}

TEST_F(FolderStepsTest, ASlideShowGoesOnEverySecondPassesOverTheRefusedFileQuietlyAndAKeyEndsIt) {
  MessageCapture boxes;
  ASSERT_TRUE(StartOn(L"b.png"));
  Settings().slideSeconds = 1;
  Settings().slideRepeat = 0;
  Command(IDC_CMD_SLIDE_SHOW);
  EXPECT_TRUE(ImageView_IsFullScreen());
  std::vector<std::wstring> shown{CurrentName()};
  const DWORD start = GetTickCount();
  while (shown.size() < 3 && GetTickCount() - start < 6000) {
    PumpFor(50);
    if (CurrentName() != shown.back() && !CurrentName().empty()) shown.push_back(CurrentName());
  }
  EXPECT_EQ(shown, (std::vector<std::wstring>{L"b.png", L"c.jpg", L"d.tif"}));
  // Each picture fits the screen whole.
  const ViewState& view = ImageView_State();
  EXPECT_LE(view.zoomedWidth, view.client.right - view.client.left);
  EXPECT_LE(view.zoomedHeight, view.client.bottom - view.client.top);
  EXPECT_GT(view.zoom, 1.0f);
  PressKey(VK_SPACE);  // ends the show, and only that
  EXPECT_FALSE(ImageView_IsFullScreen());
  EXPECT_EQ(ImageView_Mode(), kViewActualSize);
  EXPECT_FLOAT_EQ(ImageView_Zoom(), 1.0f);
  EXPECT_EQ(CurrentName(), L"d.tif");
  PumpFor(1300);
  EXPECT_EQ(CurrentName(), L"d.tif");

  // Run to the end: the refused e.bmp is passed over without a box, g.bmp is shown, and the
  // show ends at that last picture.
  folder_.Copy(Corpus(L"bmpsuite\\g\\rgb24.bmp"), L"g.bmp");
  Command(IDC_CMD_SLIDE_SHOW);
  const auto waitFor = [](auto done) {
    for (const DWORD begin = GetTickCount(); !done() && GetTickCount() - begin < 5000;) PumpFor(20);
  };
  waitFor([] { return CurrentName() == L"g.bmp"; });
  EXPECT_EQ(CurrentName(), L"g.bmp");
  EXPECT_TRUE(ImageView_IsFullScreen()) << "g.bmp is shown its whole second";
  waitFor([] { return !ImageView_IsFullScreen(); });
  EXPECT_FALSE(ImageView_IsFullScreen());
  EXPECT_EQ(CurrentName(), L"g.bmp");
  EXPECT_TRUE(boxes.Messages().empty()) << ToUtf8(boxes.Messages()[0].text);
}

TEST_F(FolderStepsTest, BadStoredSlideShowSecondsFallBackToTheDefault) {
  AppSettings settings{};
  for (DWORD stored : {0u, 61u, 0xFFFFFFFFu, 12u}) {
    HKEY app = OpenApplicationKey();
    WriteRegDword(app, kSlideShowIntervalValue, stored);
    CloseKey(app);
    ASSERT_TRUE(LoadSettings(&settings));
    EXPECT_EQ(settings.slideSeconds, stored == 12u ? 12u : kSlideSecondsDefault) << stored;
    CloseSettings(&settings);
  }
  HKEY app = OpenApplicationKey();
  WriteRegString(app, kSlideShowIntervalValue, L"ten");
  CloseKey(app);
  ASSERT_TRUE(LoadSettings(&settings));
  EXPECT_EQ(settings.slideSeconds, kSlideSecondsDefault);
  CloseSettings(&settings);
}

}  // namespace
}  // namespace lmx::test
