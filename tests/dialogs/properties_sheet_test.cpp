// The picture properties sheet over pictures decoded by the delivered plug-ins: the four
// pages read back through their controls while a test thread walks the sheet.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/details_rows.h"
#include "dialogs/properties_sheet.h"
#include "lang/lang_ids.h"
#include "picture/gfx_image.h"
#include "platform/aygshell.h"
#include "tests/dialogs/dialogs_fixture.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/test_env.h"
#include "tools/support/message_capture.h"

namespace lmx::test {
namespace {

using Strings = std::vector<std::wstring>;

constexpr int kTabControl = 12320;

struct SheetLook {
  std::wstring caption;
  RECT sheet{}, tab{}, page{};
  LONG_PTR tabStyle = 0;
  bool sheetButtonsVisible = true;
  bool hasDone = false;
  std::vector<bool> depthChecked, depthEnabled;
  Strings compressions;
  std::wstring compression;
  bool compressionEnabled = true;
  std::wstring width, height, dpi;
  std::wstring widthAfterTyping, dpiAfterTyping;
  std::vector<std::pair<std::wstring, std::wstring>> details;  // label, value
  RECT detailsList{};
};

std::wstring ComboItem(HWND combo, LRESULT index) {
  wchar_t text[64] = L"";
  if (index >= 0) SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
  return text;
}

HWND PageAt(HWND sheet, int index) {
  SendMessageW(sheet, PSM_SETCURSEL, index, 0);
  return reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

// Keys, characters and the clipboard's edits, as the user would give them.
void TypeInto(HWND field) {
  SendMessageW(field, WM_SETFOCUS, 0, 0);
  SendMessageW(field, WM_KEYDOWN, VK_END, 0);
  SendMessageW(field, WM_KEYDOWN, VK_BACK, 0);
  SendMessageW(field, WM_CHAR, VK_BACK, 0);
  SendMessageW(field, WM_KEYDOWN, '9', 0);
  SendMessageW(field, WM_CHAR, '9', 0);
  SendMessageW(field, WM_KEYUP, '9', 0);
  SendMessageW(field, WM_KEYDOWN, VK_DELETE, 0);
  SendMessageW(field, WM_CUT, 0, 0);
  SendMessageW(field, WM_CLEAR, 0, 0);
  SendMessageW(field, WM_PASTE, 0, 0);
}

SheetLook LookAtSheet(HWND sheet) {
  SheetLook look;
  look.caption = TextOf(sheet);
  GetWindowRect(sheet, &look.sheet);
  HWND tab = GetDlgItem(sheet, kTabControl);
  GetWindowRect(tab, &look.tab);
  look.tabStyle = GetWindowLongPtrW(tab, GWL_STYLE);
  look.sheetButtonsVisible = IsWindowVisible(GetDlgItem(sheet, IDOK)) || IsWindowVisible(GetDlgItem(sheet, IDCANCEL));
  look.hasDone = DoneButtonOf(sheet) != nullptr;

  HWND depth = PageAt(sheet, 0);
  GetWindowRect(depth, &look.page);
  for (int id = IDC_DEPTH_1BIT; id <= IDC_DEPTH_24BIT; ++id) {
    look.depthChecked.push_back(SendDlgItemMessageW(depth, id, BM_GETCHECK, 0, 0) == BST_CHECKED);
    look.depthEnabled.push_back(IsWindowEnabled(GetDlgItem(depth, id)) != FALSE);
  }

  HWND compression = PageAt(sheet, 1);
  HWND combo = GetDlgItem(compression, IDC_COMPRESSION);
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) look.compressions.push_back(ComboItem(combo, i));
  look.compression = ComboItem(combo, SendMessageW(combo, CB_GETCURSEL, 0, 0));
  look.compressionEnabled = IsWindowEnabled(combo) != FALSE;

  HWND size = PageAt(sheet, 2);
  look.width = TextOf(GetDlgItem(size, IDC_SIZE_WIDTH));
  look.height = TextOf(GetDlgItem(size, IDC_SIZE_HEIGHT));
  look.dpi = TextOf(GetDlgItem(size, IDC_SIZE_DPI));
  TypeInto(GetDlgItem(size, IDC_SIZE_WIDTH));
  TypeInto(GetDlgItem(size, IDC_SIZE_DPI));
  look.widthAfterTyping = TextOf(GetDlgItem(size, IDC_SIZE_WIDTH));
  look.dpiAfterTyping = TextOf(GetDlgItem(size, IDC_SIZE_DPI));

  HWND list = GetDlgItem(PageAt(sheet, 3), IDC_DETAILS_LIST);
  GetWindowRect(list, &look.detailsList);
  const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < rows; ++row) {
    wchar_t label[128] = L"", value[256] = L"";
    ListView_GetItemText(list, row, 0, label, 128);
    ListView_GetItemText(list, row, 1, value, 256);
    look.details.push_back({label, value});
  }
  return look;
}

class PropertiesSheetTest : public DialogsTest {
 protected:
  void SetUp() override {
    DialogsTest::SetUp();
    InstallDeliveredPlugIns();
  }
  // Opens the sheet, reads it through its controls and ends it with Done.
  SheetLook Show() {
    SheetLook look;
    {
      DialogDriver driver(uiThread, [&look](HWND sheet) {
        look = LookAtSheet(sheet);
        PressDone(sheet);
      });
      ShowPictureProperties(owner);
    }
    return look;
  }
  void Open(const wchar_t* relative) {
    ASSERT_EQ(document->OpenFile(nullptr, (CorpusDir() + relative).c_str()), 1);
  }
  // The file's own horizontal resolution, as the sheet should tell it.
  static std::wstring DpiOfFile(const wchar_t* relative) {
    const auto bytes = ReadWholeFile(CorpusDir() + relative);
    if (bytes.size() < 42) return L"?";
    const int32_t ppm = bytes[38] | bytes[39] << 8 | bytes[40] << 16 | bytes[41] << 24;
    return std::to_wstring((static_cast<int64_t>(ppm) * 254 + 5000) / 10000);
  }
  MessageCapture boxes;
};

std::vector<bool> Only(int id) {
  std::vector<bool> checked(5, false);
  if (id) checked[id - IDC_DEPTH_1BIT] = true;
  return checked;
}

TEST_F(PropertiesSheetTest, AnEightBitPictureFullScreenWithTheTabsAtTheBottom) {
  Open(L"bmpsuite\\g\\pal8.bmp");
  const SheetLook look = Show();
  EXPECT_EQ(look.caption, L"Picture Properties");
  EXPECT_EQ(RectText(look.sheet), RectText(0, AYG_TOP_BAR_HEIGHT, AYG_SCREEN_WIDTH, AYG_SCREEN_HEIGHT));
  EXPECT_TRUE(look.hasDone);
  EXPECT_FALSE(look.sheetButtonsVisible);
  EXPECT_TRUE(look.tabStyle & TCS_BOTTOM);
  EXPECT_EQ(look.tab.bottom, AYG_SCREEN_HEIGHT);
  // The page lies inside the tab control, above its tabs.
  EXPECT_GE(look.page.top, look.tab.top);
  EXPECT_LT(look.page.bottom, look.tab.bottom);
  EXPECT_GT(look.page.bottom - look.page.top, 200);

  EXPECT_EQ(look.depthChecked, Only(IDC_DEPTH_8BIT));
  EXPECT_EQ(look.depthEnabled, std::vector<bool>(5, false));
  EXPECT_EQ(look.compressions, (Strings{L"None", L"RLE 4-bit", L"RLE 8-bit"}));
  EXPECT_EQ(look.compression, L"None");
  EXPECT_FALSE(look.compressionEnabled);
  EXPECT_EQ(look.width, L"127");
  EXPECT_EQ(look.height, L"64");
  EXPECT_EQ(look.dpi, DpiOfFile(L"bmpsuite\\g\\pal8.bmp"));
  EXPECT_TRUE(boxes.Messages().empty());
}

TEST_F(PropertiesSheetTest, TypingIntoTheSizeFieldsChangesNothing) {
  Open(L"bmpsuite\\g\\pal8.bmp");
  const SheetLook look = Show();
  EXPECT_EQ(look.widthAfterTyping, L"127");
  EXPECT_EQ(look.dpiAfterTyping, look.dpi);
}

TEST_F(PropertiesSheetTest, ARotatedPictureShowsItsNewSizeAndSeventyFiveDpi) {
  Open(L"bmpsuite\\g\\pal8.bmp");
  ASSERT_EQ(GfxImage_Transform(document->CurrentFile()->image, 1), 1);
  const SheetLook look = Show();
  EXPECT_EQ(look.width, L"64");
  EXPECT_EQ(look.height, L"127");
  EXPECT_EQ(look.dpi, L"75");
  EXPECT_EQ(look.depthChecked, Only(IDC_DEPTH_8BIT));
}

TEST_F(PropertiesSheetTest, SixteenAndThirtyTwoBitPicturesCheckNoDepth) {
  struct {
    const wchar_t* file;
    int depth;
    const wchar_t* compression;  // bit fields have no name among the three
  } const cases[] = {{L"bmpsuite\\g\\rgb16.bmp", 16, L"None"}, {L"bmpsuite\\g\\rgb32bf.bmp", 32, L""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.file);
    Open(c.file);
    ASSERT_EQ(GfxImage_BitDepth(document->CurrentFile()->image), c.depth);
    const SheetLook look = Show();
    EXPECT_EQ(look.depthChecked, Only(0));
    EXPECT_EQ(look.depthEnabled, std::vector<bool>(5, false));
    EXPECT_EQ(look.compression, c.compression);
    EXPECT_EQ(look.width, L"127");
    EXPECT_EQ(look.height, L"64");
  }
  EXPECT_TRUE(boxes.Messages().empty());
}

TEST_F(PropertiesSheetTest, OtherDepthsAndRunLengthCompression) {
  Open(L"bmpsuite\\g\\pal1.bmp");
  EXPECT_EQ(Show().depthChecked, Only(IDC_DEPTH_1BIT));
  Open(L"bmpsuite\\g\\pal4.bmp");
  EXPECT_EQ(Show().depthChecked, Only(IDC_DEPTH_4BIT));
  Open(L"bmpsuite\\g\\rgb24.bmp");
  EXPECT_EQ(Show().depthChecked, Only(IDC_DEPTH_24BIT));
  Open(L"bmpsuite\\g\\pal8rle.bmp");
  const DWORD compression = GfxImage_Compression(document->CurrentFile()->image);
  const SheetLook rle = Show();
  EXPECT_EQ(rle.compression, compression == BI_RLE8 ? L"RLE 8-bit" : L"None");
  EXPECT_TRUE(boxes.Messages().empty());
}

TEST_F(PropertiesSheetTest, WithoutAnOpenFileEverythingIsEmpty) {
  const SheetLook look = Show();
  EXPECT_EQ(look.depthChecked, Only(0));
  EXPECT_EQ(look.compression, L"");
  EXPECT_EQ(look.width, L"0");
  EXPECT_EQ(look.height, L"0");
  EXPECT_EQ(look.dpi, L"0");
  const PictureInfo& info = FillPictureInfo();
  EXPECT_EQ(info.depth, 0);
  EXPECT_EQ(info.compressionName[0], L'\0');
}

TEST_F(PropertiesSheetTest, TheRecordIsClearedAndFilledEachTime) {
  Open(L"bmpsuite\\g\\pal8.bmp");
  PictureInfo info = FillPictureInfo();
  EXPECT_EQ(info.depth, 8);
  EXPECT_STREQ(info.compressionName, L"None");
  ASSERT_EQ(document->CloseFile(nullptr), 1);
  info = FillPictureInfo();
  EXPECT_EQ(info.depth, 0);
  EXPECT_EQ(info.width, 0);
  EXPECT_EQ(info.dpi, 0);
  EXPECT_STREQ(info.compressionName, L"");
}

TEST(DotsPerInch, RoundsToTheNearest) {
  const struct {
    LONG pixelsPerMetre;
    int32_t dpi;
  } cases[] = {{11811, 300}, {2953, 75}, {2835, 72}, {3779, 96}, {0, 0}, {-11811, -300}, {0x7FFFFFFF, 54546085}};
  for (const auto& c : cases) EXPECT_EQ(DotsPerInch(c.pixelsPerMetre), c.dpi) << c.pixelsPerMetre;
}

uint32_t Crc32(const uint8_t* p, size_t n) {
  uint32_t crc = 0xFFFFFFFF;
  for (size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = crc >> 1 ^ (0xEDB88320 & (0 - (crc & 1)));
  }
  return ~crc;
}

// A PNG of the corpus with a pHYs chunk of 11,811 pixels per metre (300 dpi) after its header.
std::vector<uint8_t> PngAt300Dpi() {
  std::vector<uint8_t> png = ReadWholeFile(CorpusDir() + L"pngsuite\\basn2c08.png");
  std::vector<uint8_t> chunk = {0, 0, 0, 9, 'p', 'H', 'Y', 's', 0, 0, 0x2E, 0x23, 0, 0, 0x2E, 0x23, 1};
  const uint32_t crc = Crc32(chunk.data() + 4, chunk.size() - 4);
  for (int i = 3; i >= 0; --i) chunk.push_back(static_cast<uint8_t>(crc >> (8 * i)));
  if (png.size() > 33) png.insert(png.begin() + 33, chunk.begin(), chunk.end());
  return png;
}

// libjpeg-turbo's test picture with its JFIF density made 300 dots per inch.
std::vector<uint8_t> JpegAt300Dpi() {
  std::vector<uint8_t> jpeg = ReadWholeFile(std::wstring(LMX_JPEG_TESTIMAGES) + L"testorig.jpg");
  const uint8_t density[] = {1, 0x01, 0x2C, 0x01, 0x2C};
  if (jpeg.size() > 18) std::copy(density, density + 5, jpeg.begin() + 13);
  return jpeg;
}

// All six plug-ins, so that photographs in JPEG and PNG open too.
class DetailsPageTest : public PropertiesSheetTest {
 protected:
  void SetUp() override {
    DialogsTest::SetUp();
    for (std::wstring path : DeliveredPlugIns()) ASSERT_TRUE(RegisterLibrary(path, PlugInsKey()));
    for (const wchar_t* name : {L"zlx_jpg.dll", L"zlx_png.dll"}) ASSERT_TRUE(RegisterLibrary(BinDir() + name, PlugInsKey()));
    document->DiscoverPlugIns(PlugInsKey());
  }
  static std::wstring Row(const SheetLook& look, const std::wstring& label) {
    for (const auto& [l, v] : look.details) {
      if (l == label) return v;
    }
    return L"(none)";
  }
};

TEST_F(DetailsPageTest, ThreeHundredDpiFilesShowThreeHundred) {
  TempFile png(PngAt300Dpi(), L".png");
  TempFile jpeg(JpegAt300Dpi(), L".jpg");
  const std::wstring tiff = CorpusDir() + L"pillow\\g4-fillorder-test.tif";
  for (const std::wstring& path : {std::wstring(png.Path()), std::wstring(jpeg.Path()), tiff}) {
    ASSERT_EQ(document->OpenFile(nullptr, path.c_str()), 1) << ToUtf8(path);
    const SheetLook look = Show();
    EXPECT_EQ(look.dpi, L"300") << ToUtf8(path);
  }
  EXPECT_TRUE(boxes.Messages().empty());
}

TEST_F(DetailsPageTest, TellsTheFilesOwnFactsAfterTheThreePages) {
  const struct {
    const wchar_t* file;
    const wchar_t* label;
    const wchar_t* value;
  } cases[] = {
      {L"pngsuite\\ctzn0g04.png", L"Name", L"ctzn0g04.png"},
      {L"pngsuite\\ctzn0g04.png", L"Size", L"753 bytes"},
      {L"pngsuite\\ctzn0g04.png", L"Format", L"PNG"},
      {L"pngsuite\\ctzn0g04.png", L"Title", L"PngSuite"},
      {L"pillow\\g4-fillorder-test.tif", L"Taken", L"2005:12:07 07:38:25"},
      {L"pillow\\hopper_lzw.tif", L"Format", L"TIFF, LZW, predictor"},
      {L"bmpsuite\\g\\pal8rle.bmp", L"Format", L"BMP, Windows 3.x, RLE8"},
      {L"pillow\\dispose_bgnd.gif", L"Format", L"GIF 89a, 5 frames, looping"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.file);
    Open(c.file);
    const SheetLook look = Show();
    EXPECT_EQ(Row(look, c.label), c.value);
    const std::wstring path = CorpusDir() + c.file;
    EXPECT_EQ(Row(look, L"Folder"), path.substr(0, path.rfind(L'\\')));
    for (const auto& [label, value] : look.details) EXPECT_FALSE(value.empty()) << ToUtf8(label);
    // The list lies inside the screen, above the tabs.
    EXPECT_GE(look.detailsList.left, 0);
    EXPECT_LE(look.detailsList.right, AYG_SCREEN_WIDTH);
    EXPECT_LT(look.detailsList.bottom, AYG_SCREEN_HEIGHT);
  }
  EXPECT_TRUE(boxes.Messages().empty());
}

TEST_F(DetailsPageTest, APlugInWithoutTheExportGivesTheFilesRowsOnly) {
  const std::wstring path = CorpusDir() + L"bmpsuite\\g\\pal8.bmp";
  const std::vector<DetailRow> rows = FileDetailRows(path.c_str(), 0, nullptr);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].value, L"pal8.bmp");
  std::vector<DetailRow> told;
  AppendPluginRows(L"format\tBMP\nno tab\nempty\t\nunknown_key\tkept\n\tno key\n", told);
  ASSERT_EQ(told.size(), 2u);
  EXPECT_EQ(told[0].label, L"Format");
  EXPECT_EQ(told[1].label, L"unknown_key");
}

}  // namespace
}  // namespace lmx::test
