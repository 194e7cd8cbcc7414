// Any bytes through every format's details reader (a TIFF's directory picked by the input's
// last byte): each must end, stay inside the input and give only clean records: "key\tvalue"
// lines of valid UTF-8 with no control character, bounded in number and length.
#include <cstddef>
#include <cstdint>
#include <string>

#include "plugins/bmp/bmp_details.h"
#include "plugins/gif/gif_details.h"
#include "plugins/jpg/jpg_details.h"
#include "plugins/pcx/pcx_details.h"
#include "plugins/png/png_details.h"
#include "plugins/tif/tif_details.h"
#include "plugins/webp/webp_details.h"

namespace {

void CheckRecords(const lmx::FileDetails& details) {
  const std::string& text = details.Text();
  if (details.Count() > lmx::kMaxDetailRecords || text.size() > lmx::kMaxDetailsBytes) __builtin_trap();
  size_t lines = 0, tabs = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\n') {
      if (tabs != 1) __builtin_trap();
      ++lines, tabs = 0;
    } else if (c == '\t') {
      ++tabs;
    } else if (c < 0x20 || c == 0x7F) {
      __builtin_trap();
    } else if (c >= 0x80) {  // a whole UTF-8 sequence
      const size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
      if (!n || i + n > text.size()) __builtin_trap();
      for (size_t k = 1; k < n; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) __builtin_trap();
      }
      i += n - 1;
    }
  }
  if (lines != details.Count() || (!text.empty() && text.back() != '\n')) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint32_t index = size ? data[size - 1] & 3 : 0;
  for (lmx::DescribeFileFn describe : {lmx::bmp::DescribeBmp, lmx::pcx::DescribePcx, lmx::gif::DescribeGif,
                                       lmx::tif::DescribeTiff, lmx::jpg::DescribeJpeg, lmx::png::DescribePng,
                                       lmx::webp::DescribeWebp}) {
    lmx::FileDetails details;
    describe(data, size, index, details);
    CheckRecords(details);
  }
  return 0;
}
