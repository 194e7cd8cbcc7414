// The JPEG plug-in as the host loads it: its messages as it shows them. What it decodes:
// jpg_reader_test.cpp.
#include "tests/plugins/common/plugin_fixture.h"
#include "tests/plugins/jpg/jpg_file.h"

namespace lmx::test {
namespace {

TEST(JpgPlugin, ShowsEachMessageWithItsCaptionAndText) {
  const std::vector<uint8_t> good = ReadWholeFile(std::wstring(LMX_JPEG_TESTIMAGES) + L"testorig.jpg");
  const std::wstring error = L"Error...: ";
  ExpectShown(L"zlx_jpg.dll", L".jpg", {
      {"no name", {}, {error + L"Can't open JPEG-File!"}, kNullName},
      {"no file", {}, {error + L"Can't open JPEG-File!"}, L"Z:\\nonexistent\\picture.jpg"},
      {"empty", {}, {error + L"No valid JPEG-File!"}, nullptr},
      {"cut inside the tables", Cut(good, FrameHeader(good) - 40), {error + L"Error in the header of the JPEG-File!"},
       nullptr},
      {"12-bit samples", ReadWholeFile(std::wstring(LMX_JPEG_TESTIMAGES) + L"testorig12.jpg"),
       {error + L"This kind of JPEG-File is not supported!"}, nullptr},
      {"65000 squared", WithSize(good, 65000, 65000), {error + L"There is not enough memory for this JPEG picture!"}, nullptr},
      {"cut", Cut(good, good.size() * 3 / 5),
       {L"Warning...: The JPEG-File is damaged or incomplete. The picture is shown as far as it could be read."},
       nullptr},
  });
}

}  // namespace
}  // namespace lmx::test
