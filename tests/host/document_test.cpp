// The document: opening files by path and through the explorer, closing them, paging
// through a three-picture file, and what the view is told.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/viewer_document.h"
#include "tests/host/host_fixture.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/test_env.h"
#include "tools/support/message_capture.h"
#include "ui/settings.h"

namespace lmx::test {
namespace {

struct RecordingView final : DocumentView {
  void CurrentFileChanged(ImageFileItem* item) override {
    changes.push_back(item);
    size = item && item->image ? GfxImage_Size(item->image) : 0;
  }
  void UpdatePageButtons(bool visible, bool previous, bool next) override {
    buttons = {visible, previous, next};
  }
  std::vector<ImageFileItem*> changes;
  DWORD size = 0;
  std::vector<bool> buttons;
};

class DocumentTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    for (const auto& path : DeliveredPlugIns()) ASSERT_TRUE(RegisterLibrary(path, PlugInsKey()));
    document_.DiscoverPlugIns(PlugInsKey());
    ASSERT_EQ(document_.plugIns()->Count(), 4u);
    document_.SetView(&view_);
  }
  std::wstring Corpus(const wchar_t* relative) { return CorpusDir() + relative; }

  ViewerDocument document_;
  RecordingView view_;
};

TEST_F(DocumentTest, OpeningAFileShowsItsPictureAndClosingClearsTheView) {
  MessageCapture boxes;
  const std::wstring path = Corpus(L"bmpsuite\\g\\rgb24.bmp");
  ASSERT_EQ(document_.OpenFile(nullptr, path.c_str()), 1);
  ImageFileItem* item = document_.CurrentFile();
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(std::wstring(item->path), path);
  EXPECT_EQ(std::wstring(item->extension), L"bmp");
  EXPECT_EQ(std::wstring(item->plugIn->shortName), L"Bitmap");
  EXPECT_EQ(view_.size, (64u << 16) | 127u);
  EXPECT_EQ(view_.buttons, (std::vector<bool>{false, false, false}));
  EXPECT_EQ(document_.FindOpenFileByExtension(L"BMP"), item);

  // Opening another closes the first: one open file at a time.
  ASSERT_EQ(document_.OpenFile(nullptr, Corpus(L"pillow\\hopper.gif").c_str()), 1);
  EXPECT_EQ(document_.OpenFileCount(), 1u);
  EXPECT_EQ(std::wstring(document_.CurrentFile()->plugIn->shortName), L"Gif");

  EXPECT_EQ(document_.CloseFile(nullptr), 1);
  EXPECT_EQ(document_.CurrentFile(), nullptr);
  EXPECT_EQ(view_.changes.back(), nullptr);
  EXPECT_EQ(document_.CloseFile(nullptr), 0);
  EXPECT_TRUE(boxes.Messages().empty());
}

TEST_F(DocumentTest, FilesWithoutAPlugInOrThatFailToDecodeLeaveNothingOpen) {
  ASSERT_EQ(document_.OpenFile(nullptr, Corpus(L"bmpsuite\\g\\rgb24.bmp").c_str()), 1);
  MessageCapture boxes;
  // No dot: the extension routine asks for a file, then no plug-in takes it.
  EXPECT_EQ(document_.OpenFile(nullptr, L"C:\\README"), 0);
  ASSERT_EQ(boxes.Messages().size(), 2u);
  EXPECT_EQ(boxes.Messages()[0].caption, L"Error");
  EXPECT_EQ(boxes.Messages()[0].text, L"You have to choose a file first");
  EXPECT_EQ(boxes.Messages()[1].caption, L"ERROR!");
  EXPECT_FALSE(boxes.Messages()[1].text.empty());
  EXPECT_EQ(document_.CurrentFile(), nullptr);  // the previous file was closed first

  boxes.Clear();
  EXPECT_EQ(document_.OpenFile(nullptr, L"C:\\photo.jpeg"), 0);
  ASSERT_EQ(boxes.Messages().size(), 1u);
  EXPECT_EQ(boxes.Messages()[0].caption, L"ERROR!");

  // A file the plug-in refuses: its own message, nothing open.
  boxes.Clear();
  TempFile broken(std::vector<uint8_t>{'B', 'M', 1, 2, 3}, L".bmp");
  EXPECT_EQ(document_.OpenFile(nullptr, broken.Path()), 0);
  EXPECT_FALSE(boxes.Messages().empty());
  EXPECT_EQ(document_.OpenFileCount(), 0u);
}

TEST_F(DocumentTest, PagingThroughAThreePictureFileUpdatesTheButtons) {
  ASSERT_EQ(document_.OpenFile(nullptr, Corpus(L"pillow\\g4-multi.tiff").c_str()), 1);
  EXPECT_EQ(document_.PageCount(), 3u);
  EXPECT_EQ(view_.buttons, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(document_.PreviousPage(), 0);
  EXPECT_EQ(document_.NextPage(), 1);
  EXPECT_EQ(view_.buttons, (std::vector<bool>{true, true, true}));
  EXPECT_EQ(document_.NextPage(), 1);
  EXPECT_EQ(document_.CurrentPage(), 2u);
  EXPECT_EQ(view_.buttons, (std::vector<bool>{true, true, false}));
  EXPECT_EQ(document_.NextPage(), 0);  // past the end: stays on the last picture
  EXPECT_EQ(document_.CurrentPage(), 2u);
  EXPECT_NE(document_.CurrentFile()->image->dib, nullptr);
}

TEST_F(DocumentTest, ACancelledPickKeepsTheOpenFileAndTheStartFolder) {
  ASSERT_EQ(document_.OpenFile(nullptr, Corpus(L"bmpsuite\\g\\rgb24.bmp").c_str()), 1);
  SetFileOpenDir(&Settings(), L"\\Windows\\");
  int result = -1;
  {
    DialogDriver driver(GetCurrentThreadId(), [](HWND dialog) {
      PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    result = document_.OpenFile(nullptr, L"");
  }
  EXPECT_EQ(result, 0);
  EXPECT_NE(document_.CurrentFile(), nullptr);
  EXPECT_EQ(std::wstring(Settings().fileOpenDir), L"\\Windows\\");
}

}  // namespace
}  // namespace lmx::test
