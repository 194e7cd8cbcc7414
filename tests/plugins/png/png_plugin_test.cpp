// The PNG plug-in as the host loads it: its messages as it shows them. What it decodes:
// png_reader_test.cpp.
#include "tests/plugins/common/plugin_fixture.h"
#include "tests/plugins/png/png_file.h"

namespace lmx::test {
namespace {

std::vector<uint8_t> Suite(const wchar_t* name) { return ReadWholeFile(CorpusDir() + L"pngsuite\\" + name); }

TEST(PngPlugin, ShowsEachMessageWithItsCaptionAndText) {
  const std::vector<uint8_t> good = Suite(L"basn2c08.png");
  const std::wstring error = L"Error...: ";
  ExpectShown(L"zlx_png.dll", L".png", {
      {"no name", {}, {error + L"Can't open PNG-File!"}, kNullName},
      {"no file", {}, {error + L"Can't open PNG-File!"}, L"Z:\\nonexistent\\picture.png"},
      {"not a PNG", Suite(L"xs1n0g01.png"), {error + L"No valid PNG-File!"}, nullptr},
      {"IHDR CRC", Suite(L"xhdn0g08.png"), {error + L"Error in the header of the PNG-File!"}, nullptr},
      {"IDAT CRC", Suite(L"xcsn0g01.png"), {error + L"The image data of the PNG-File are damaged!"}, nullptr},
      {"60000 squared", WithSize(Suite(L"basn6a16.png"), 60000, 60000), {error + L"There is not enough memory for this PNG picture!"}, nullptr},
      {"cut", {good.begin(), good.begin() + 120},
       {L"Warning...: The PNG-File is damaged or incomplete. The picture is shown as far as it could be read."}, nullptr},
  });
}

}  // namespace
}  // namespace lmx::test
