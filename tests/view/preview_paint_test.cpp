// A large picture's first paint: the reduced picture drawn where the whole one goes at the
// mode's fit, and nothing when the fit would show the picture at more than half its size.
#include <vector>

#include "plugins/common/packed_dib.h"
#include "tests/view/view_fixture.h"

namespace lmx::test {
namespace {

// A 60 x 45 24-bit packed DIB, all red.
std::vector<uint8_t> RedPreview() {
  std::vector<uint8_t> dib(40 + DibStride(60, 24) * 45);
  WriteDibHeader(dib.data(), MakeDibHeader(60, 45, 24, 0));
  for (uint32_t y = 0; y < 45; ++y) {
    uint8_t* row = dib.data() + 40 + y * DibStride(60, 24);
    for (int x = 0; x < 60; ++x) row[3 * x] = 0, row[3 * x + 1] = 0, row[3 * x + 2] = 255;
  }
  return dib;
}

TEST_F(ViewTest, APreviewIsPaintedAtTheFitOfTheWholePictureWhenItHalvesOrLess) {
  Settings().msState = 0;
  ImageView_SetMode(kViewFitWhole);
  int width = 0, height = 0;
  ASSERT_TRUE(ImageView_PreviewBox(&width, &height));
  EXPECT_EQ(width, ViewClient().right);
  const std::vector<uint8_t> preview = RedPreview();
  // 4000 x 3000 at fit whole: the view's width, three quarters of it high.
  ASSERT_TRUE(ImageView_ShowPreview(preview.data(), 4000, 3000));
  EXPECT_EQ(ViewPixel(5, 5), RGB(255, 0, 0));
  EXPECT_EQ(ViewPixel(width - 2, width * 3 / 4 - 2), RGB(255, 0, 0));
  EXPECT_NE(ViewPixel(5, width * 3 / 4 + 3), RGB(255, 0, 0));
  // A picture the fit shows at more than half its size: nothing painted.
  EXPECT_FALSE(ImageView_ShowPreview(preview.data(), 300, 200));
  ImageView_SetMode(kViewActualSize);
  EXPECT_FALSE(ImageView_PreviewBox(&width, &height));
}

}  // namespace
}  // namespace lmx::test
