// The WebP plug-in as the host loads it: its messages as it shows them. What it decodes:
// webp_reader_test.cpp and the webp corpus check.
#include <algorithm>

#include "tests/plugins/common/plugin_fixture.h"

namespace lmx::test {
namespace {

std::vector<uint8_t> Seed(const wchar_t* name) { return ReadWholeFile(std::wstring(LMX_WEBP_SEEDS) + name); }

TEST(WebpPlugin, ShowsEachMessageWithItsCaptionAndText) {
  const std::vector<uint8_t> lossy = Seed(L"lossy.webp"), lossless = Seed(L"lossless.webp");
  std::vector<uint8_t> huge = Seed(L"animated.webp");
  const uint8_t canvas[] = {0x1F, 0x4E, 0, 0x1F, 0x4E, 0};  // 20000 x 20000, less one each
  std::copy(canvas, canvas + 6, huge.begin() + 24);
  const std::wstring error = L"Error...: ";
  ExpectShown(L"zlx_webp.dll", L".webp", {
      {"no name", {}, {error + L"Can't open WebP-File!"}, kNullName},
      {"no file", {}, {error + L"Can't open WebP-File!"}, L"Z:\\nonexistent\\picture.webp"},
      {"not a WebP", std::vector<uint8_t>(300, 'x'), {error + L"No valid WebP-File!"}, nullptr},
      {"cut in its header", {lossy.begin(), lossy.begin() + 24}, {error + L"Error in the header of the WebP-File!"}, nullptr},
      {"cut before a row", {lossless.begin(), lossless.begin() + 40},
       {error + L"The image data of the WebP-File are damaged!"}, nullptr},
      {"20000 squared", huge, {error + L"There is not enough memory for this WebP picture!"}, nullptr},
      {"cut", {lossless.begin(), lossless.begin() + lossless.size() * 9 / 10},
       {L"Warning...: The WebP-File is damaged or incomplete. The picture is shown as far as it could be read."}, nullptr},
  });
}

}  // namespace
}  // namespace lmx::test
