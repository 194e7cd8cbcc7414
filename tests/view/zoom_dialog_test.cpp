// The zoom dialog driven as a user would: its starting text, the filter on the edit, the
// accepted and refused percentages, and cancel.
#include <gtest/gtest.h>

#include <string>

#include "lang/lang_ids.h"
#include "tests/support/dialog_driver.h"
#include "tests/view/view_fixture.h"

namespace lmx::test {
namespace {

std::wstring EditText(HWND dialog) {
  wchar_t text[32] = L"";
  GetDlgItemTextW(dialog, IDC_ZOOM_EDIT, text, 32);
  return text;
}

void Type(HWND dialog, const wchar_t* keys) {
  HWND edit = GetDlgItem(dialog, IDC_ZOOM_EDIT);
  SendMessageW(edit, EM_SETSEL, 0x7FFF, 0x7FFF);
  for (const wchar_t* k = keys; *k; ++k) SendMessageW(edit, WM_CHAR, *k, 1);
}

std::wstring LangText(UINT id) {
  wchar_t text[200] = L"";
  LoadStringW(ViewTest::lang_, id, text, 200);
  return text;
}

class ZoomDialogTest : public ViewTest {
 protected:
  void Run(std::function<void(HWND)> act) {
    DialogDriver driver(GetCurrentThreadId(), act);
    ImageView_ZoomDialog(main_);
  }
};

TEST_F(ZoomDialogTest, AcceptsEightHundredAndRefusesOutOfRangeWithAWarning) {
  Open(300, 200);
  MessageCapture capture;
  std::wstring start, typed;
  bool openAfterRefusals = false;
  Run([&](HWND dialog) {
    start = EditText(dialog);
    SetDlgItemTextW(dialog, IDC_ZOOM_EDIT, L"12");
    Type(dialog, L"a b5Z%");  // letters and spaces are swallowed
    typed = EditText(dialog);
    SetDlgItemTextW(dialog, IDC_ZOOM_EDIT, L"801");
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    SetDlgItemTextW(dialog, IDC_ZOOM_EDIT, L"16");
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    openAfterRefusals = IsWindow(dialog) && IsWindowVisible(dialog);
    SetDlgItemTextW(dialog, IDC_ZOOM_EDIT, L"800");
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(start, L"100%");
  EXPECT_EQ(typed, L"125%");
  EXPECT_TRUE(openAfterRefusals);
  ASSERT_EQ(capture.Messages().size(), 2u);
  for (const auto& m : capture.Messages()) {
    EXPECT_EQ(m.caption, L"Warning");
    EXPECT_EQ(m.text, LangText(IDS_ZOOM_RANGE));
    EXPECT_EQ(m.style & 0xF, static_cast<UINT>(MB_OK));
  }
  EXPECT_EQ(ImageView_Zoom(), 8.0f);
  EXPECT_EQ(ImageView_Mode(), kViewFreeZoom);
}

TEST_F(ZoomDialogTest, TheClampsOneSixthShowsSixteenAndIsRefusedAsItIs) {
  Open(300, 200);
  ImageView_SetZoom(0.167f);
  ImageView_SetMode(kViewFreeZoom);
  MessageCapture capture;
  std::wstring start;
  Run([&](HWND dialog) {
    start = EditText(dialog);
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    SetDlgItemTextW(dialog, IDC_ZOOM_EDIT, L"17%");
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(start, L"16%");
  EXPECT_EQ(capture.Messages().size(), 1u);
  EXPECT_EQ(ImageView_Zoom(), 0.17f);
}

TEST_F(ZoomDialogTest, CancelLeavesModeZoomAndOffsetsAsTheyWere) {
  Open(600, 800);
  ImageView_SetMode(kViewFitWidth);
  SendMessageW(ImageViewWindow(), WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
  const float zoom = ImageView_Zoom();
  const int offset = State().vertOffset;
  ASSERT_GT(offset, 0);
  MessageCapture capture;
  Run([&](HWND dialog) {
    SetDlgItemTextW(dialog, IDC_ZOOM_EDIT, L"300");
    SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_TRUE(capture.Messages().empty());
  EXPECT_EQ(ImageView_Mode(), kViewFitWidth);
  EXPECT_EQ(ImageView_Zoom(), zoom);
  EXPECT_EQ(State().vertOffset, offset);
}

TEST_F(ZoomDialogTest, AcceptedZoomRepaintsAtTheNewSize) {
  Settings().msState = 0;
  Open(60, 40);
  Run([&](HWND dialog) {
    SetDlgItemTextW(dialog, IDC_ZOOM_EDIT, L"300%");
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  Pump();
  EXPECT_EQ(ImageView_Zoom(), 3.0f);
  EXPECT_EQ(ViewPixel(3 * 10 + 1, 3 * 7 + 1), PictureColour(10, 7));
  EXPECT_EQ(StatusText(0), L"Zoom: 300%");
}

}  // namespace
}  // namespace lmx::test
