// A large picture's first paint: the document asks the view for a box, and a plug-in that
// reduces while it reads gives the reduced picture to paint before the whole one is decoded.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/viewer_document.h"
#include "plugins/common/packed_dib.h"
#include "tests/host/host_fixture.h"
#include "tests/support/test_env.h"
#include "tools/support/message_capture.h"

namespace lmx::test {
namespace {

struct PreviewView final : DocumentView {
  void CurrentFileChanged(ImageFileItem* item) override { wholeAfterPreview = !previews.empty(); }
  void UpdatePageButtons(bool, bool, bool) override {}
  bool PreviewBox(int* width, int* height) override {
    *width = 40, *height = 40;
    return wantPreview;
  }
  void ShowPreview(const void* dib, int fullWidth, int fullHeight) override {
    const DibHeader h = ReadDibHeader(dib);
    previews.push_back({h.biWidth, h.biHeight, fullWidth, fullHeight});
  }
  bool wantPreview = true;
  bool wholeAfterPreview = false;
  std::vector<std::vector<int>> previews;
};

TEST_F(HostTest, AJpegIsPaintedReducedFirstOtherFormatsAndNonFitModesAreNot) {
  for (const wchar_t* dll : {L"zlx_jpg.dll", L"zlx_png.dll"}) ASSERT_TRUE(RegisterLibrary(BinDir() + dll, PlugInsKey()));
  ViewerDocument document;
  document.DiscoverPlugIns(PlugInsKey());
  PreviewView view;
  document.SetView(&view);
  MessageCapture boxes;

  const std::wstring jpeg = std::wstring(LMX_JPEG_TESTIMAGES) + L"testorig.jpg";
  ASSERT_EQ(document.OpenFile(nullptr, jpeg.c_str()), 1);
  // 227 x 149 into 40 x 40: scaled to a quarter inside libjpeg.
  EXPECT_EQ(view.previews, (std::vector<std::vector<int>>{{57, 38, 227, 149}}));
  EXPECT_TRUE(view.wholeAfterPreview);
  EXPECT_EQ(GfxImage_Size(document.CurrentFile()->image), static_cast<DWORD>(MAKELONG(227, 149)));

  // PNG reduces only by decoding whole: no first paint of its own.
  ASSERT_EQ(document.OpenFile(nullptr, (CorpusDir() + L"pngsuite\\basn2c08.png").c_str()), 1);
  EXPECT_EQ(view.previews.size(), 1u);
  // A view that shows the picture at its size wants none.
  view.wantPreview = false;
  ASSERT_EQ(document.OpenFile(nullptr, jpeg.c_str()), 1);
  EXPECT_EQ(view.previews.size(), 1u);
  EXPECT_TRUE(boxes.Messages().empty());
}

}  // namespace
}  // namespace lmx::test
