// The GIF plug-in as the host loads it: its messages as it shows them, the values in their
// texts filled in. What it decodes: gif_reader_test.cpp.
#include "tests/plugins/common/plugin_fixture.h"
#include "tests/plugins/gif/gif_file.h"

namespace lmx::test {
namespace {

TEST(GifPlugin, ShowsEachMessageWithItsCaptionAndText) {
  std::vector<uint8_t> notGif = GifFile(1, 1, 0, true).End();
  notGif[0] = 'J';
  GifFile extensionsOnly(2, 2, 0, true);
  extensionsOnly.Raw({0x21, 0xFE, 3, 'a', 'b', 'c', 0, 0x21, 0xFE, 5, 'x'});
  CodeWriter invalid;  // code 300 while the next free code is 259
  for (uint32_t code : {256u, 1u, 2u, 300u, 3u}) invalid.Put(code, 9);
  std::vector<uint8_t> cut = GifFile(2, 2, 7, true).Image(0, 0, 2, 2, {1, 2, 3, 4}).b;
  cut.resize(cut.size() - 3);
  const std::wstring lzw = L"Error...: Error in LZW-part of the GIF-File!";
  ExpectShown(L"zlx_gif.dll", L".gif", {
      {"no name", {}, {L"Error...: GIF-File can't open."}, kNullName},
      {"no file", {}, {L"Error...: GIF-File can't open."}, L"Z:\\nonexistent\\picture.gif"},
      {"not a GIF", notGif, {L"Error...: Invalid GIF-File!"}, nullptr},
      {"version 88a", GifFile(1, 1, 0, true, "88a").End(), {L"Error...: Unknown GIF-Version: 88a"}, nullptr},
      {"version cut short", {'G', 'I', 'F', '8'}, {L"Error...: Unknown GIF-Version: 8"}, nullptr},
      {"65535 squared", GifFile(65535, 65535, 7, true).End(), {L"Error...: Not enough memory to work with graphic!"},
       nullptr},
      {"no image", extensionsOnly.b, {L"Error...: Premature end of  GIF-File!"}, nullptr},
      {"unknown block", GifFile(2, 2, 0, true).Raw({0x99}).End(), {L"Error...: Invalid GIF-Part!"}, nullptr},
      {"no table", GifFile(2, 1, 7, false).Image(0, 0, 2, 1, {1, 2}).End(),
       {L"Error...: This GIF-File hasn't got a colortable!"}, nullptr},
      {"too many local colours", GifFile(2, 1, 2, true).Image(0, 0, 2, 1, {1, 2}, 0x80 | 4, Table(32)).End(),
       {L"Error...: Wrong color information in image descriptor!"}, nullptr},
      {"code 300", GifFile(2, 2, 7, true).ImageData(0, 0, 2, 2, SubBlocks(invalid.Finish())).End(),
       {L"Error...: Invalid LZW-Code 300!", lzw}, nullptr},
      {"sub-block cut", cut, {L"Error...: Error in read loop!", lzw}, nullptr},
  });
}

}  // namespace
}  // namespace lmx::test
