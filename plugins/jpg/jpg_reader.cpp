#include "plugins/jpg/jpg_reader.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

#include "plugins/common/dib_block.h"
#include "plugins/common/dib_reduce.h"
#include "plugins/common/whole_bytes.h"
#include "plugins/jpg/dc_rows.h"
#include "plugins/jpg/exif_orientation.h"
#include "plugins/jpg/find_ff.h"
#include "plugins/jpg/upright_rows.h"

namespace lmx::jpg {
namespace {

constexpr int kMaxScans = 500;              // a progressive file has about ten
constexpr long kMaxLibraryBytes = 1L << 30;  // libjpeg's own buffers (coefficients of a progressive file)
constexpr uint32_t kBandRows = 32;          // rows decoded at a time when they cannot go straight in
constexpr uint8_t kStartOfImage = 0xD8;  // the marker code jpeglib.h does not name

// --- libjpeg's error handling: errors jump back to the decode, warnings are counted ---

struct ErrorManager {
  jpeg_error_mgr pub;  // first, so that libjpeg's pointer is ours
  std::jmp_buf jump;
  bool damaged;        // a warning that means lost image data
  bool tooManyScans;
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

void EmitMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;  // trace messages
  switch (cinfo->err->msg_code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
      reinterpret_cast<ErrorManager*>(cinfo->err)->damaged = true;
      break;
    default:
      break;  // extra bytes, odd markers and the like: the picture is whole
  }
  cinfo->err->num_warnings++;
}

void OutputMessage(j_common_ptr) {}  // libjpeg's own texts never reach the user

// A progressive file may hold any number of scans; past a few hundred it only costs time.
void CountScans(j_common_ptr cinfo) {
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number > kMaxScans) {
    reinterpret_cast<ErrorManager*>(cinfo->err)->tooManyScans = true;
    cinfo->err->error_exit(cinfo);
  }
}

// --- one decode ---

enum class Stage { kHeader, kPicture, kRows };

// What the decode holds, in one place outside the function that libjpeg jumps back to, so
// that whatever it got so far is released (or handed over) however the decode ends.
struct Job {
  explicit Job(BlockHeap& blockHeap) : heap(blockHeap), block(blockHeap) {
    std::memset(&cinfo, 0, sizeof cinfo);
    std::memset(&err, 0, sizeof err);
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.emit_message = EmitMessage;
    err.pub.output_message = OutputMessage;
    std::memset(&progress, 0, sizeof progress);
    progress.progress_monitor = CountScans;
  }
  ~Job() {
    jpeg_destroy_decompress(&cinfo);  // also after a failed create: the struct is zeroed
    std::free(band);
    std::free(bgrBand);
  }
  Job(const Job&) = delete;
  Job& operator=(const Job&) = delete;

  BlockHeap& heap;
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  jpeg_progress_mgr progress;
  HeldBlock block;
  uint8_t* pixels = nullptr;
  uint64_t stride = 0;
  int orientation = kUpright;
  bool cmyk = false;
  bool direct = false;      // rows go straight into the DIB
  uint8_t* band = nullptr;  // rows as libjpeg gives them, when they do not
  uint8_t* bgrBand = nullptr;
  size_t bandStride = 0;
  uint32_t bandTop = 0;     // the stored row the band starts at
  uint32_t bandFilled = 0;  // rows of the band decoded and not yet placed
  uint32_t rowsDone = 0;
  Stage stage = Stage::kHeader;
  uint16_t refusal = 0;     // the decoder's own reason to stop, beside libjpeg's errors
  uint32_t boxWidth = 0;    // with a box: scaled inside libjpeg down to what still fills it
  uint32_t boxHeight = 0;
  PictureSize* fullSize = nullptr;
  bool oneThread = false;
  std::unique_ptr<BandReducer> reducer;  // the rest of the reduction, row by row
  std::unique_ptr<uint8_t[]> row;        // one row as libjpeg gives it, for the reducer
  std::unique_ptr<DcPlanes> dc;          // an eighth's samples, when they come from DC coefficients
};

// The eighths libjpeg scales by so that the picture, upright `width` x `height`, still fills a
// box of boxWidth x boxHeight when fitted whole: ceil(8 x the fitting scale), 1 to 8.
unsigned ScaleEighths(uint32_t width, uint32_t height, uint32_t boxWidth, uint32_t boxHeight) {
  if (!boxWidth || !boxHeight || !width || !height) return 8;
  const double scale = std::min(static_cast<double>(boxWidth) / width, static_cast<double>(boxHeight) / height);
  const double eighths = std::ceil(scale * 8);
  return eighths >= 8 ? 8 : eighths < 1 ? 1 : static_cast<unsigned>(eighths);
}

bool IsMemoryError(int code) { return code == JERR_OUT_OF_MEMORY || code == JERR_NO_BACKING_STORE; }

// x * y / 255, rounded, for 8-bit x and y.
inline uint8_t Mul255(unsigned x, unsigned y) {
  const unsigned t = x * y + 128;
  return static_cast<uint8_t>((t + (t >> 8)) >> 8);
}

// Ink values as stored into blue, green and red. Adobe's files store them inverted (255 is
// no ink); others as printed (0 is no ink).
void CmykToBgr(const uint8_t* src, uint8_t* dst, size_t pixels, bool inverted) {
  const unsigned flip = inverted ? 0 : 255;
  for (size_t i = 0; i < pixels; ++i, src += 4, dst += 3) {
    const unsigned k = src[3] ^ flip;
    dst[0] = Mul255(src[2] ^ flip, k);
    dst[1] = Mul255(src[1] ^ flip, k);
    dst[2] = Mul255(src[0] ^ flip, k);
  }
}

int OrientationOf(j_decompress_ptr cinfo) {
  for (jpeg_saved_marker_ptr m = cinfo->marker_list; m; m = m->next) {
    if (m->marker == JPEG_APP0 + 1 && m->data_length >= 6 && std::memcmp(m->data, "Exif\0\0", 6) == 0) {
      return ExifOrientation(m->data, m->data_length);
    }
  }
  return kUpright;
}

int32_t PelsPerMeter(j_decompress_ptr cinfo, UINT16 density) {
  if (!cinfo->saw_JFIF_marker || density == 0) return kDefaultPelsPerMeter;
  switch (cinfo->density_unit) {
    case 1: return static_cast<int32_t>(density * kInchesPerMetre);
    case 2: return static_cast<int32_t>(density * 100);
    default: return kDefaultPelsPerMeter;  // an aspect ratio only
  }
}

UprightRows Placement(const Job& job) {
  return UprightRows(job.pixels, job.stride, job.cinfo.output_width, job.cinfo.output_height,
                     job.cinfo.out_color_components == 1 ? 1 : 3, job.orientation);
}

// Puts the band's decoded rows into the DIB.
void PlaceBand(Job& job) {
  if (!job.bandFilled) return;
  const UprightRows rows = Placement(job);
  if (job.cmyk) {
    const size_t width = job.cinfo.output_width;
    for (uint32_t i = 0; i < job.bandFilled; ++i) {
      CmykToBgr(job.band + i * job.bandStride, job.bgrBand + i * width * 3, width, job.cinfo.saw_Adobe_marker);
    }
    rows.Place(job.bgrBand, width * 3, job.bandTop, job.bandFilled);
  } else {
    rows.Place(job.band, job.bandStride, job.bandTop, job.bandFilled);
  }
  job.rowsDone += job.bandFilled;
  job.bandTop += job.bandFilled;
  job.bandFilled = 0;
}

// The output form and the block, laid out from the header: false with job.refusal set.
bool PreparePicture(Job& job) {
  j_decompress_ptr cinfo = &job.cinfo;
  const int components = cinfo->num_components;
  const J_COLOR_SPACE space = cinfo->jpeg_color_space;
  if (components == 1) {
    cinfo->out_color_space = JCS_GRAYSCALE;
  } else if (components == 3 && (space == JCS_YCbCr || space == JCS_RGB)) {
    cinfo->out_color_space = JCS_EXT_BGR;
  } else if (components == 4 && (space == JCS_CMYK || space == JCS_YCCK)) {
    cinfo->out_color_space = JCS_CMYK;
    job.cmyk = true;
  } else {
    job.refusal = kMsgUnsupported;
    return false;
  }
  job.orientation = OrientationOf(cinfo);
  uint32_t fullWidth, fullHeight;
  UprightRows::UprightSize(job.orientation, cinfo->image_width, cinfo->image_height, &fullWidth, &fullHeight);
  if (job.fullSize) *job.fullSize = {fullWidth, fullHeight};
  cinfo->scale_num = ScaleEighths(fullWidth, fullHeight, job.boxWidth, job.boxHeight);
  cinfo->scale_denom = 8;
  if (cinfo->scale_num < 8) {
    // A picture made smaller is for a glance: the fast transform and plain upsampling.
    cinfo->dct_method = JDCT_IFAST;
    cinfo->do_fancy_upsampling = FALSE;
  }
  jpeg_calc_output_dimensions(cinfo);

  const uint32_t bitCount = components == 1 ? 8 : 24;
  const uint32_t colors = components == 1 ? 256 : 0;
  uint32_t width, height;
  UprightRows::UprightSize(job.orientation, cinfo->output_width, cinfo->output_height, &width, &height);
  if (width == 0 || height == 0) {
    job.refusal = kMsgNoMemory;
    return false;
  }
  // Rows that stay upright and as they are go straight into an averaging of them when libjpeg's
  // eighths leave the picture larger than the box needs.
  const uint32_t factor = ReductionFactor(width, height, job.boxWidth, job.boxHeight);
  if (factor > 1 && job.orientation == kUpright && !job.cmyk) {
    job.reducer.reset(new (std::nothrow) BandReducer(width, height, factor, components == 1));
    const DibBlock reduced = job.reducer ? job.reducer->Start(job.heap) : DibBlock{};
    job.block.Hold(reduced.block);
    job.row.reset(new (std::nothrow) uint8_t[size_t{width} * (components == 1 ? 1 : 3)]);
    if (!reduced.Made() || !job.row) job.refusal = kMsgNoMemory;
    return !job.refusal;
  }
  const DibBlock dib = AllocDib(job.heap, {width, height, bitCount, colors});
  if (!dib.Made()) {
    job.refusal = kMsgNoMemory;
    return false;
  }
  job.block.Hold(dib.block);
  job.stride = dib.stride;
  DibHeader h = ReadDibHeader(dib.block);
  const bool across = width != cinfo->output_width;
  h.biXPelsPerMeter = PelsPerMeter(cinfo, across ? cinfo->Y_density : cinfo->X_density);
  h.biYPelsPerMeter = PelsPerMeter(cinfo, across ? cinfo->X_density : cinfo->Y_density);
  WriteDibHeader(dib.block, h);
  if (colors) WriteGreyTable(dib.table);
  job.pixels = dib.pixels;

  job.direct = !job.cmyk && job.orientation <= 4;
  if (!job.direct) {
    job.bandStride = size_t{cinfo->output_width} * (job.cmyk ? 4 : components == 1 ? 1 : 3);
    job.band = static_cast<uint8_t*>(std::malloc(job.bandStride * kBandRows));
    if (job.cmyk) job.bgrBand = static_cast<uint8_t*>(std::malloc(size_t{cinfo->output_width} * 3 * kBandRows));
    if (!job.band || (job.cmyk && !job.bgrBand)) {
      job.refusal = kMsgNoMemory;
      return false;
    }
  }
  return true;
}

// Takes the picture's rows from `read`, which gives up to n more into the rows it is handed
// and says how many it gave (none: no more).
template <typename Read>
void ReadRows(Job& job, Read&& read) {
  const uint32_t height = job.cinfo.output_height;
  uint32_t y = 0;
  if (job.reducer) {
    for (JSAMPROW row = job.row.get(); y < height; ++y, ++job.rowsDone) {
      if (read(&row, 1) != 1) return;
      job.reducer->AddRow(y, row);
    }
    return;
  }
  const UprightRows rows = Placement(job);
  if (job.direct) {
    for (; y < height; ++y, ++job.rowsDone) {
      JSAMPROW row = rows.RowFor(y);
      if (read(&row, 1) != 1) return;
      rows.FinishRow(row);
    }
    return;
  }
  while (job.bandTop < height) {
    const uint32_t wanted = height - job.bandTop < kBandRows ? height - job.bandTop : kBandRows;
    while (job.bandFilled < wanted) {
      JSAMPROW pointers[kBandRows];
      for (uint32_t i = job.bandFilled; i < wanted; ++i) pointers[i - job.bandFilled] = job.band + i * job.bandStride;
      const JDIMENSION got = read(pointers, wanted - job.bandFilled);
      if (got == 0) break;
      job.bandFilled += got;
    }
    const bool complete = job.bandFilled == wanted;
    PlaceBand(job);
    if (!complete) return;
  }
}

// The length of the data up to the end of the last marker segment it holds whole. A file cut
// inside a segment (between two scans of a progressive file, often) is taken as ending before
// that marker, so that libjpeg meets the end of the data, which it mends with a warning,
// rather than a segment it cannot parse, which stops it with an error.
size_t WholeSegmentsLength(const uint8_t* data, size_t size) {
  if (size < 2 || data[0] != 0xFF || data[1] != kStartOfImage) return size;
  size_t at = 2;
  while (at + 1 < size) {
    if (data[at] != 0xFF) {
      // Entropy-coded data runs to the next 0xFF.
      const uint8_t* next = FindFF(data + at, size - at);
      if (!next) return size;
      at = static_cast<size_t>(next - data);
      continue;
    }
    const uint8_t code = data[at + 1];
    if (code == 0xFF) {
      ++at;  // fill byte
    } else if (code == 0x00 || code == 0x01 || (code >= JPEG_RST0 && code <= JPEG_RST0 + 7)) {
      at += 2;  // a stuffed byte, TEM or a restart marker: no length
    } else if (code == JPEG_EOI) {
      return size;
    } else {
      if (at + 4 > size) return at;
      const size_t length = size_t{data[at + 2]} << 8 | data[at + 3];
      if (length > size - at - 2) return at;
      at += 2 + length;
    }
  }
  return size;
}

// Runs libjpeg up to the last row. Each libjpeg error comes back here through longjmp and
// makes the result false; nothing between here and libjpeg has a destructor to skip, and all
// that the decode holds is in `job`.
bool Run(Job& job, const uint8_t* data, size_t size) {
  if (setjmp(job.err.jump)) return false;
  j_decompress_ptr cinfo = &job.cinfo;
  jpeg_create_decompress(cinfo);
  cinfo->mem->max_memory_to_use = kMaxLibraryBytes;
  cinfo->progress = &job.progress;
  jpeg_mem_src(cinfo, data, size > ULONG_MAX ? ULONG_MAX : static_cast<unsigned long>(size));
  jpeg_save_markers(cinfo, JPEG_APP0 + 1, 0xFFFF);
  jpeg_read_header(cinfo, TRUE);

  job.stage = Stage::kPicture;
  if (!PreparePicture(job)) return false;

  job.stage = Stage::kRows;
  // An eighth of a baseline picture comes from its DC coefficients alone when its data is clean.
  DcScan scan;
  job.dc.reset(DescribeDcScan(cinfo, &scan) ? new (std::nothrow) DcPlanes : nullptr);
  if (job.dc && job.dc->Decode(scan, job.oneThread ? 1 : DcThreads(scan.size))) {
    DcRows rows(cinfo, *job.dc);
    if (rows.Ready()) {
      ReadRows(job, rows);
      return true;
    }
  }
  job.dc.reset();
  jpeg_start_decompress(cinfo);
  ReadRows(job, [cinfo](JSAMPARRAY rows, JDIMENSION n) { return jpeg_read_scanlines(cinfo, rows, n); });
  return true;
}

uint16_t MessageForHeader(int code) {
  switch (code) {
    case JERR_NO_SOI:
    case JERR_INPUT_EMPTY:
      return kMsgNotJpeg;
    case JERR_BAD_PRECISION:
    case JERR_SOF_UNSUPPORTED:
    case JERR_CONVERSION_NOTIMPL:
      return kMsgUnsupported;
    case JERR_IMAGE_TOO_BIG:
      return kMsgNoMemory;
    default:
      return IsMemoryError(code) ? kMsgNoMemory : kMsgBadHeader;
  }
}

void* Decode(const uint8_t* data, size_t size, BlockHeap& heap, DecodeMessages& messages,
             const DecodeInput* box = nullptr) {
  Job job(heap);
  if (box) {
    job.boxWidth = box->boxWidth;
    job.boxHeight = box->boxHeight;
    job.fullSize = box->fullSize;
    job.oneThread = box->oneThread;
  }
  const bool finished = Run(job, data, WholeSegmentsLength(data, size));
  if (job.refusal) {
    messages.Add(job.refusal);
    return nullptr;
  }
  const int code = job.err.pub.msg_code;
  if (!finished && job.stage != Stage::kRows) {
    messages.Add(MessageForHeader(code));
    return nullptr;
  }
  if (!finished) {
    // What the band held when libjpeg stopped is shown too.
    PlaceBand(job);
    if (job.rowsDone == 0) {
      const bool memory = !job.err.tooManyScans && IsMemoryError(code);
      messages.Add(memory ? kMsgNoMemory : code == JERR_CONVERSION_NOTIMPL ? kMsgUnsupported : kMsgBadData);
      return nullptr;
    }
    messages.Warn(kMsgDamaged);
  } else if (job.err.damaged || job.rowsDone < job.cinfo.output_height) {
    messages.Warn(kMsgDamaged);
  }
  if (job.reducer) job.reducer->Finish();
  return job.block.Take();
}

}  // namespace

void* ReadJpeg(ByteSource& file, BlockHeap& heap, DecodeMessages& messages) {
  return DecodeFileBytes(file, heap, messages, nullptr, Decode, kMsgNoMemory);
}

void* ReadJpeg(const void* data, size_t size, BlockHeap& heap, DecodeMessages& messages) {
  return Decode(static_cast<const uint8_t*>(data), size, heap, messages);
}

void* ReadJpegFile(const DecodeInput& in, BlockHeap& heap, DecodeMessages& messages, DecodeProgress*) {
  // libjpeg takes the bytes whole: the mapped file's, or the file read into memory.
  return DecodeInputBytes(in, heap, messages, Decode, kMsgNoMemory);
}

}  // namespace lmx::jpg
