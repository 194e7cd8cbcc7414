// The BMP plug-in as the host loads it: its messages as it shows them, and the file it opens
// closed again. What it decodes: bmp_reader_test.cpp.
#include "tests/plugins/bmp/bmp_file.h"
#include "tests/plugins/common/plugin_fixture.h"

namespace lmx::test {
namespace {

TEST(BmpPlugin, ShowsEachMessageWithItsCaptionAndText) {
  BmpFile v4;
  v4.infoSize = 108;
  BmpFile huge;
  huge.width = huge.height = 0x7FFFFFFF, huge.bitCount = 24;
  BmpFile rle;
  rle.bitCount = 1, rle.compression = 1, rle.clrUsed = 2, rle.colors = GreyTable(2), rle.pixels = {2, 1, 0, 1};
  std::vector<uint8_t> os2 = {'B', 'M'};  // a 12-byte header, where 40 bytes are read
  os2.resize(14);
  os2.insert(os2.end(), {12, 0, 0, 0, 1, 0, 1, 0, 1, 0, 1, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF});
  ExpectShown(L"zlx_bmp.dll", L".bmp", {
      {"no name", {}, {L"Error...: ReadDIB: No filename exists!"}, kNullName},
      {"no file", {}, {L"Error...: Invalid file handle!"}, L"Z:\\nonexistent\\picture.bmp"},
      {"not a bitmap", {'B'}, {L"Error...: No valid Bitmap file!"}, nullptr},
      {"header cut", os2, {L"Error...: An error occured while reading the Bitmap file data!"}, nullptr},
      {"108-byte header", v4.Bytes(), {L"Error...: Unknown device independent format!"}, nullptr},
      {"2^31 squared", huge.Bytes(), {L"Error...: There is not enough memory to compute the graphic!"}, nullptr},
      {"run-length at 1 bit", rle.Bytes(), {L"Error...: Invalid RLE-Bitmap!", L"Error...: No valid Bitmap file!"},
       nullptr},
  });
}

TEST(BmpPlugin, TheFileIsClosedAfterEveryLoad) {
  Plugin plugin(L"zlx_bmp.dll");
  MessageCapture capture;
  BmpFile f;
  f.bitCount = 24;
  f.pixels.assign(12, 9);
  std::vector<uint8_t> bad = f.Bytes();
  bad[0] = 'X';
  for (const auto& bytes : {f.Bytes(), bad}) {
    TempFile file(bytes);
    Dib dib(plugin.load(file.Path(), 0));
    EXPECT_EQ(static_cast<bool>(dib), bytes[0] == 'B');
    HANDLE exclusive = CreateFileW(file.Path(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(exclusive, INVALID_HANDLE_VALUE);
    CloseHandle(exclusive);
  }
}

}  // namespace
}  // namespace lmx::test
