// The PCX plug-in as the host loads it: its messages as it shows them. What it decodes:
// pcx_reader_test.cpp.
#include "tests/plugins/common/plugin_fixture.h"
#include "tests/plugins/pcx/pcx_file.h"

namespace lmx::test {
namespace {

TEST(PcxPlugin, ShowsEachMessageWithItsCaptionAndText) {
  PcxFile maker;
  maker.manufacturer = 0x0B;
  PcxFile marker;
  marker.marker = 11;
  PcxFile noPalette;
  noPalette.trailer = false, noPalette.data = {1, 2, 3, 4};
  PcxFile twoPlanes;
  twoPlanes.bits = 1, twoPlanes.planes = 2, twoPlanes.data = {0};
  PcxFile fourBits;
  fourBits.bits = 4, fourBits.data = {0x12, 0x34};
  PcxFile huge = PlainPcx(2, 2, 8, 3, 16);
  huge.xmax = huge.ymax = 65535;
  ExpectShown(L"zlx_pcx.dll", L".pcx", {
      {"no name", {}, {L"Error...: No file name found."}, kNullName},
      {"no file", {}, {L"Error...: Can't open PCX-File"}, L"Z:\\nonexistent\\file.pcx"},
      {"short", std::vector<uint8_t>(100), {L"Error...: Can't read PCX-File"}, nullptr},
      {"maker", maker.Bytes(), {L"Error...: No valid PCX-File"}, nullptr},
      {"palette marker", marker.Bytes(), {L"Error...: Error in color table id"}, nullptr},
      {"no palette", noPalette.Bytes(), {L"Warning...: Fehler beim Lesen der PCX-Datei!"}, nullptr},
      {"2 planes of 1 bit", twoPlanes.Bytes(), {L"Warning...: Falsches Farbformat in der PCX-Datei!"}, nullptr},
      {"4 bits in one plane", fourBits.Bytes(),
       {L"Warning...: Unknown PCX-File format", L"Error...: Error while decoding PCX-File"}, nullptr},
      {"65536 squared", huge.Bytes(), {L"Error...: There is not enough memory!"}, nullptr},
  });
}

}  // namespace
}  // namespace lmx::test
