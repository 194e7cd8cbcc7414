// The picture properties sheet over pictures decoded by the delivered plug-ins: the three
// pages read back through their controls while a test thread walks the sheet.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    return std::to_wstring(static_cast<int64_t>(ppm) * 254 / 10000);
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
  EXPECT_EQ(look.sheet.left, 0);
  EXPECT_EQ(look.sheet.top, AYG_TOP_BAR_HEIGHT);
  EXPECT_EQ(look.sheet.right, AYG_SCREEN_WIDTH);
  EXPECT_EQ(look.sheet.bottom, AYG_SCREEN_HEIGHT);
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

}  // namespace
}  // namespace lmx::test
