// Rows of an eighth-size picture made from the DC samples of its scan (dc_scan.h), given as
// libjpeg gives its rows in grey or blue, green and red.
#pragma once

#include <cstdio>
#include <memory>

#include <jpeglib.h>

#include "plugins/jpg/dc_scan.h"

namespace lmx::jpg {

// The scan after jpeg_read_header and jpeg_calc_output_dimensions, as the DC decoder reads it:
// false unless the picture is scaled to an eighth and its one scan is baseline Huffman data of
// all its components, one in grey or three in YCbCr or RGB, in the frame's order, each table
// present.
bool DescribeDcScan(j_decompress_ptr cinfo, DcScan* scan);

// Gives the rows as jpeg_read_scanlines does, each component's sample spread over the pixels
// it covers; colours converted with libjpeg's own tables.
class DcRows {
 public:
  DcRows(j_decompress_ptr cinfo, const DcPlanes& planes);
  bool Ready() const { return columns_ != nullptr; }  // false without memory
  JDIMENSION operator()(JSAMPARRAY rows, JDIMENSION count);

 private:
  const DcPlanes& planes_;
  uint32_t width_, height_, next_ = 0;
  unsigned components_;
  bool ycc_;
  unsigned rowShare_[3];                      // output rows each sample of a component covers
  std::unique_ptr<uint32_t[]> columns_;  // each component's sample for each pixel, by component
};

}  // namespace lmx::jpg
