#include <gtest/gtest.h>

#include <cwchar>

#include "common/utils.h"
#include "tools/support/message_capture.h"

using lmx::MessageCapture;

namespace {

class UtilsTest : public testing::Test {
 protected:
  void SetUp() override {
    lmx::SetResourceModule(GetModuleHandleW(nullptr));
    lmx::SetInstanceModule(GetModuleHandleW(nullptr));
    lmx::SetOwnerWindow(nullptr);
  }
  MessageCapture capture;
};

TEST_F(UtilsTest, LoadsStringsAndReportsMissingOnesOnceWithAnEmptyResult) {
  EXPECT_STREQ(lmx::LoadLangString(1004), L"A string of the test program.");
  EXPECT_TRUE(capture.Messages().empty());

  const wchar_t* missing = lmx::LoadOwnString(1005);
  EXPECT_STREQ(missing, L"");
  ASSERT_EQ(capture.Messages().size(), 1u);
  EXPECT_EQ(capture.Messages()[0].caption, L"Error!");
  EXPECT_EQ(capture.Messages()[0].text, L"Can't load resource string with ID=1005");
  EXPECT_EQ(capture.Messages()[0].style, static_cast<UINT>(MB_OK));
}

TEST_F(UtilsTest, ErrorFormsUseTheirCaptionStringsAndTheStopIcon) {
  lmx::ShowArgumentError(256);
  lmx::ShowImageError(256);
  ASSERT_EQ(capture.Messages().size(), 2u);
  EXPECT_EQ(capture.Messages()[0].caption, L"Argument caption");
  EXPECT_EQ(capture.Messages()[1].caption, L"Image caption");
  EXPECT_EQ(capture.Messages()[1].text, L"No picture to measure.");
  EXPECT_EQ(capture.Messages()[1].style, static_cast<UINT>(MB_OK | MB_ICONSTOP));
}

TEST_F(UtilsTest, VersionTextSplitsHighAndLowWords) {
  EXPECT_STREQ(lmx::VersionText(2 * 65536 + 3), L"Version 2.3");
  EXPECT_STREQ(lmx::VersionText(0x10000), L"Version 1.0");
}

TEST_F(UtilsTest, SplitPathFindsDriveDirectoryNameAndExtension) {
  lmx::PathParts p;
  lmx::SplitPath(L"\\My Documents\\pic.old.bmp", &p);
  EXPECT_STREQ(p.drive, L"");
  EXPECT_STREQ(p.dir, L"\\My Documents\\");
  EXPECT_STREQ(p.name, L"pic.old");
  EXPECT_STREQ(p.ext, L".bmp");

  lmx::SplitPath(L"A:readme", &p);
  EXPECT_STREQ(p.drive, L"A:");
  EXPECT_STREQ(p.dir, L"");
  EXPECT_STREQ(p.name, L"readme");
  EXPECT_STREQ(p.ext, L"");

  std::wstring longName(400, L'x');
  lmx::SplitPath(longName.c_str(), &p);
  EXPECT_EQ(wcslen(p.name), 255u);

  wchar_t dir[MAX_PATH];
  EXPECT_STREQ(lmx::DirectoryOf(L"C:\\a\\b.txt", dir, MAX_PATH), L"C:\\a\\");
  const wchar_t* same = L"\\x\\y";
  EXPECT_EQ(lmx::DirectoryOf(same, nullptr, 0), same);
}

TEST_F(UtilsTest, ExtensionIsCutToThreeCharactersAndAMissingOneIsReported) {
  EXPECT_STREQ(lmx::ExtensionOf(L"photo.jpeg", true), L"JPE");
  EXPECT_STREQ(lmx::ExtensionOf(L"\\dir.d\\scan.Tiff", false), L"Tif");
  EXPECT_TRUE(capture.Messages().empty());
  EXPECT_STREQ(lmx::ExtensionOf(L"README", false), L"");
  ASSERT_EQ(capture.Messages().size(), 1u);
  EXPECT_EQ(capture.Messages()[0].text, L"You have to choose a file first");
  EXPECT_EQ(capture.Messages()[0].caption, L"Error");
}

TEST_F(UtilsTest, RemoveCharClosesGaps) {
  wchar_t text[] = L"&Open && Save";
  EXPECT_TRUE(lmx::RemoveChar(L'&', text));
  EXPECT_STREQ(text, L"Open  Save");
  EXPECT_TRUE(lmx::RemoveSpaces(text));
  EXPECT_STREQ(text, L"OpenSave");
  wchar_t empty[] = L"";
  EXPECT_FALSE(lmx::RemoveSpaces(empty));
  EXPECT_EQ(lmx::CompareNoCase(L"ABC", L"abc"), CSTR_EQUAL);
  EXPECT_EQ(lmx::CompareNoCase(L"abc", L"abd"), CSTR_LESS_THAN);
}

TEST_F(UtilsTest, DateAndTimeFollowTheOptionBits) {
  const SYSTEMTIME t{2026, 12, 0, 7, 13, 45, 30, 0};  // 7 December 2026, 13:45:30
  wchar_t date[100], clock[100];
  GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &t, nullptr, date, 100);
  GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &t, nullptr, clock, 100);
  EXPECT_EQ(std::wstring(lmx::DateTimeText(t, lmx::kDtDate | lmx::kDtTime)),
            std::wstring(date) + L" " + clock);
  EXPECT_STREQ(lmx::DateTimeText(t, lmx::kDtDate), date);
  EXPECT_EQ(std::wstring(lmx::DateTimeText(t, lmx::kDtTime | lmx::kDtSeconds)).find(L"30") != std::wstring::npos,
            true);
}

TEST_F(UtilsTest, NumbersAreGroupedByThreeWithDots) {
  wchar_t digits[32] = L"1234567";
  EXPECT_TRUE(lmx::NumberText(digits, 32));
  EXPECT_STREQ(digits, L"1.234.567");
  wchar_t tight[8] = L"1234567";
  EXPECT_FALSE(lmx::NumberText(tight, 8));
  EXPECT_STREQ(tight, L"1234567");
}

TEST_F(UtilsTest, DrawBitmapCopiesAndReportsAMissingBitmap) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP target = CreateCompatibleBitmap(screen, 8, 8);
  HBITMAP source = CreateCompatibleBitmap(screen, 4, 3);
  SelectObject(dc, target);
  EXPECT_EQ(lmx::BitmapSize(source), static_cast<DWORD>(MAKELONG(4, 3)));
  lmx::DrawBitmap(dc, 1, 1, source);
  EXPECT_TRUE(capture.Messages().empty());
  lmx::DrawBitmap(dc, 0, 0, nullptr);
  ASSERT_EQ(capture.Messages().size(), 1u);
  EXPECT_EQ(capture.Messages()[0].caption, L"ERROR...");
  DeleteDC(dc);
  DeleteObject(target);
  DeleteObject(source);
  ReleaseDC(nullptr, screen);
}

TEST_F(UtilsTest, MenuItemTextNeedsAFirstItem) {
  HMENU menu = CreatePopupMenu();
  wchar_t text[32];
  EXPECT_EQ(lmx::MenuItemText(menu, 0, text, 32, MF_BYPOSITION), 0);
  AppendMenuW(menu, MF_STRING, 40001, L"&Open");
  AppendMenuW(menu, MF_STRING, 40002, L"&Close");
  EXPECT_EQ(lmx::MenuItemText(menu, 40002, text, 32, 0), 6);
  EXPECT_STREQ(text, L"&Close");
  EXPECT_EQ(lmx::MenuItemText(menu, 0, text, 32, MF_BYPOSITION), 5);
  DestroyMenu(menu);
}

}  // namespace
