#include "plugins/jpg/dc_rows.h"

#include <algorithm>
#include <new>

namespace lmx::jpg {
namespace {

// libjpeg's YCbCr to RGB tables (16-bit fractions), so that colours come out as its own do.
struct YccTables {
  int crRed[256], cbBlue[256];
  int32_t crGreen[256], cbGreen[256];

  YccTables() {
    constexpr int kHalf = 1 << 15;
    auto fix = [](double x) { return static_cast<int32_t>(x * 65536 + 0.5); };
    for (int i = 0; i < 256; ++i) {
      const int x = i - 128;
      crRed[i] = (fix(1.40200) * x + kHalf) >> 16;
      cbBlue[i] = (fix(1.77200) * x + kHalf) >> 16;
      crGreen[i] = -fix(0.71414) * x;
      cbGreen[i] = -fix(0.34414) * x + kHalf;
    }
  }
};

inline uint8_t Clamp(int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

}  // namespace

bool DescribeDcScan(j_decompress_ptr cinfo, DcScan* scan) {
  const int n = cinfo->num_components;
  if (cinfo->scale_num != 1 || cinfo->scale_denom != 8 || cinfo->progressive_mode || cinfo->arith_code ||
      cinfo->data_precision != 8 || cinfo->Ss != 0 || cinfo->Se != 63 ||
      cinfo->Ah != 0 || cinfo->Al != 0 || cinfo->comps_in_scan != n || (n != 1 && n != 3) ||
      (n == 3 && cinfo->jpeg_color_space != JCS_YCbCr && cinfo->jpeg_color_space != JCS_RGB) ||
      !cinfo->src || !cinfo->max_h_samp_factor || !cinfo->max_v_samp_factor) {
    return false;
  }
  const int maxAcross = cinfo->max_h_samp_factor, maxDown = cinfo->max_v_samp_factor;
  scan->components = static_cast<unsigned>(n);
  for (int c = 0; c < n; ++c) {
    const jpeg_component_info* info = cinfo->cur_comp_info[c];
    if (info != &cinfo->comp_info[c] || info->dc_tbl_no < 0 || info->dc_tbl_no >= NUM_HUFF_TBLS ||
        info->ac_tbl_no < 0 || info->ac_tbl_no >= NUM_HUFF_TBLS || info->quant_tbl_no < 0 ||
        info->quant_tbl_no >= NUM_QUANT_TBLS) {
      return false;
    }
    const JHUFF_TBL* dc = cinfo->dc_huff_tbl_ptrs[info->dc_tbl_no];
    const JHUFF_TBL* ac = cinfo->ac_huff_tbl_ptrs[info->ac_tbl_no];
    const JQUANT_TBL* quant = cinfo->quant_tbl_ptrs[info->quant_tbl_no];
    if (!dc || !ac || !quant || info->h_samp_factor <= 0 || info->v_samp_factor <= 0 ||
        maxAcross % info->h_samp_factor || maxDown % info->v_samp_factor) {
      return false;
    }
    DcComponent& k = scan->component[c];
    k.across = n == 1 ? 1 : static_cast<unsigned>(info->h_samp_factor);
    k.down = n == 1 ? 1 : static_cast<unsigned>(info->v_samp_factor);
    k.dc = {dc->bits, dc->huffval};
    k.ac = {ac->bits, ac->huffval};
    k.quant = quant->quantval[0];
  }
  if (n == 1) {
    scan->mcusAcross = cinfo->comp_info[0].width_in_blocks;
    scan->mcusDown = cinfo->comp_info[0].height_in_blocks;
  } else {
    scan->mcusAcross = (cinfo->image_width + 8 * maxAcross - 1) / (8 * maxAcross);
    scan->mcusDown = (cinfo->image_height + 8 * maxDown - 1) / (8 * maxDown);
  }
  scan->restartInterval = cinfo->restart_interval;
  scan->data = cinfo->src->next_input_byte;
  scan->size = cinfo->src->bytes_in_buffer;
  return scan->data && scan->mcusAcross && scan->mcusDown;
}

DcRows::DcRows(j_decompress_ptr cinfo, const DcPlanes& planes)
    : planes_(planes),
      width_(cinfo->output_width),
      height_(cinfo->output_height),
      components_(static_cast<unsigned>(cinfo->num_components)),
      ycc_(cinfo->jpeg_color_space == JCS_YCbCr) {
  columns_.reset(new (std::nothrow) uint32_t[size_t{width_} * components_]);
  for (unsigned c = 0; c < components_; ++c) {
    const jpeg_component_info& info = cinfo->comp_info[c];
    const unsigned across = components_ == 1 ? 1 : cinfo->max_h_samp_factor / info.h_samp_factor;
    rowShare_[c] = components_ == 1 ? 1 : cinfo->max_v_samp_factor / info.v_samp_factor;
    for (uint32_t x = 0; columns_ && x < width_; ++x) columns_[c * width_ + x] = x / across;
  }
}

JDIMENSION DcRows::operator()(JSAMPARRAY rows, JDIMENSION count) {
  static const YccTables ycc;
  JDIMENSION given = 0;
  for (; given < count && next_ < height_; ++given, ++next_) {
    uint8_t* out = rows[given];
    if (components_ == 1) {
      std::copy_n(planes_.Row(0, next_), width_, out);
      continue;
    }
    const uint8_t* a = planes_.Row(0, next_ / rowShare_[0]);
    const uint8_t* b = planes_.Row(1, next_ / rowShare_[1]);
    const uint8_t* c = planes_.Row(2, next_ / rowShare_[2]);
    const uint32_t* ca = columns_.get();
    const uint32_t* cb = ca + width_;
    const uint32_t* cc = cb + width_;
    for (uint32_t x = 0; x < width_; ++x, out += 3) {
      const int first = a[ca[x]], second = b[cb[x]], third = c[cc[x]];
      if (ycc_) {
        out[0] = Clamp(first + ycc.cbBlue[second]);
        out[1] = Clamp(first + ((ycc.cbGreen[second] + ycc.crGreen[third]) >> 16));
        out[2] = Clamp(first + ycc.crRed[third]);
      } else {
        out[0] = static_cast<uint8_t>(third);
        out[1] = static_cast<uint8_t>(second);
        out[2] = static_cast<uint8_t>(first);
      }
    }
  }
  return given;
}

}  // namespace lmx::jpg
