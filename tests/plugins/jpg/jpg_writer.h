// JPEG files written by libjpeg for the tests, and a file's header read by libjpeg as the reader
// reads it for an eighth-size picture.
#pragma once

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <jpeglib.h>

#include "plugins/jpg/dc_rows.h"

namespace lmx::test {

struct JpegForm {
  int components = 3;            // 1: grey
  int across = 2, down = 2;      // the first component's sampling; the others' are 1
  bool rgb = false;              // stored as RGB, not YCbCr
  unsigned restartRows = 0;      // a restart marker every so many MCU rows
  bool texture = false;          // a fine pattern over the gradients, for many AC codes
};

// A width x height picture of smooth gradients (with `texture`, a fine pattern over them) at
// quality 90.
inline std::vector<uint8_t> WriteJpeg(uint32_t width, uint32_t height, const JpegForm& form = {}) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* data = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &data, &size);
  cinfo.image_width = width;
  cinfo.image_height = height;
  cinfo.input_components = form.components;
  cinfo.in_color_space = form.components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  if (form.rgb) jpeg_set_colorspace(&cinfo, JCS_RGB);
  cinfo.comp_info[0].h_samp_factor = form.across;
  cinfo.comp_info[0].v_samp_factor = form.down;
  cinfo.restart_in_rows = static_cast<int>(form.restartRows);
  jpeg_set_quality(&cinfo, 90, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<uint8_t> row(size_t{width} * form.components);
  while (cinfo.next_scanline < height) {
    const uint32_t y = cinfo.next_scanline;
    for (uint32_t x = 0; x < width; ++x) {
      const uint32_t fine = form.texture ? (x * 7919 + y * 104729) % 61 : 0;
      uint8_t* p = &row[size_t{x} * form.components];
      p[0] = static_cast<uint8_t>(x * 255 / width ^ fine);
      if (form.components == 3) {
        p[1] = static_cast<uint8_t>(y * 255 / height + fine);
        p[2] = static_cast<uint8_t>((x + y) & 0xFF);
      }
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::vector<uint8_t> out(data, data + size);
  std::free(data);
  return out;
}

// libjpeg over a file's bytes up to its first scan, the output set to an eighth; whether it read
// them (its errors are caught).
class EighthHeader {
 public:
  EighthHeader(const uint8_t* data, size_t size) {
    std::memset(&cinfo_, 0, sizeof cinfo_);
    cinfo_.err = jpeg_std_error(&err_.pub);
    err_.pub.error_exit = [](j_common_ptr c) { std::longjmp(reinterpret_cast<Error*>(c->err)->jump, 1); };
    err_.pub.output_message = [](j_common_ptr) {};
    if (setjmp(err_.jump)) return;
    jpeg_create_decompress(&cinfo_);
    jpeg_mem_src(&cinfo_, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo_, TRUE);
    cinfo_.scale_num = 1;
    cinfo_.scale_denom = 8;
    jpeg_calc_output_dimensions(&cinfo_);
    read_ = true;
  }
  ~EighthHeader() { jpeg_destroy_decompress(&cinfo_); }
  EighthHeader(const EighthHeader&) = delete;
  EighthHeader& operator=(const EighthHeader&) = delete;

  bool Describe(jpg::DcScan* scan) { return read_ && jpg::DescribeDcScan(&cinfo_, scan); }
  j_decompress_ptr cinfo() { return &cinfo_; }

  // The rest of the picture as libjpeg decodes it at an eighth, its components unconverted, or
  // nothing after an error.
  std::vector<uint8_t> Decode() {
    if (!read_ || setjmp(err_.jump)) return {};
    cinfo_.out_color_space = cinfo_.jpeg_color_space;
    jpeg_start_decompress(&cinfo_);
    const size_t stride = size_t{cinfo_.output_width} * cinfo_.output_components;
    std::vector<uint8_t> pixels(stride * cinfo_.output_height);
    while (cinfo_.output_scanline < cinfo_.output_height) {
      JSAMPROW row = &pixels[cinfo_.output_scanline * stride];
      jpeg_read_scanlines(&cinfo_, &row, 1);
    }
    return pixels;
  }

 private:
  struct Error {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
  };
  jpeg_decompress_struct cinfo_;
  Error err_;
  bool read_ = false;
};

}  // namespace lmx::test
