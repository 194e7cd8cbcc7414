#include "plugins/png/png_reader.h"

#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include <png.h>

#include "plugins/common/dib_block.h"
#include "plugins/common/dib_reduce.h"
#include "plugins/png/chunk_check.h"
#include "plugins/png/png_rows.h"
#include "plugins/png/whole_idat.h"

namespace lmx::png {
namespace {

constexpr size_t kSignatureBytes = 8;
constexpr size_t kFeedBytes = 1 << 16;

// Ancillary chunks the picture does not use (text, profiles, gamma, times ...): skipped unread
// like unknown ones, so that none of them costs memory or time. tRNS and pHYs are kept.
constexpr png_byte kSkippedChunks[] =
    "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0sBIT\0sCAL\0sPLT\0sRGB\0sTER\0tEXt\0tIME\0zTXt";
constexpr int kSkippedChunkCount = sizeof kSkippedChunks / 5;

enum class Stage { kHeader, kPicture, kRows };

// What the decode holds, in one place outside the function that libpng jumps back to, so
// that whatever it got so far is released (or handed over) however the decode ends.
struct Job {
  Job(ByteSource& source, BlockHeap& blockHeap)
      : file(source), heap(blockHeap), block(blockHeap), chunks(source.Position()) {}
  ~Job() {
    if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    std::free(rows);
  }
  Job(const Job&) = delete;
  Job& operator=(const Job&) = delete;
  uint8_t* DibRow(uint32_t y) const { return pixels + (height - 1 - y) * stride; }

  ByteSource& file;
  BlockHeap& heap;
  png_structp png = nullptr;
  png_infop info = nullptr;
  HeldBlock block;
  uint8_t* pixels = nullptr;
  uint64_t stride = 0;
  uint32_t width = 0, height = 0;
  RowForm form = RowForm::kAsIs;
  uint8_t* rows = nullptr;  // one row as libpng gives it, or all of them for an interlaced file
  uint64_t rowBytes = 0;
  bool interlaced = false;
  uint64_t rowsRead = 0;    // rows decoded, over all passes
  bool allRows = false;     // the last row of the last pass has come
  Stage stage = Stage::kHeader;
  uint16_t refusal = 0;     // the decoder's own reason to stop, beside libpng's errors
  const DecodeInput* box = nullptr;       // with a box: rows averaged as they come
  std::unique_ptr<BandReducer> reducer;  // then the reduced picture
  std::unique_ptr<uint8_t[]> pixelRow;   // one row as the reducer takes it
  ChunkWalker chunks;        // where the chunks fed so far lie
  const uint8_t* data = nullptr;  // the whole file, when it is mapped and the picture is wanted whole
  size_t size = 0;
  WholeIdat whole;           // then its image data, when libdeflate may inflate it at once
  bool crcFailed = false;
  bool outOfMemory = false;
};

[[noreturn]] void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// libpng's and zlib's memory: a failure is remembered, so that it is told as a lack of memory
// whatever libpng then says.
png_voidp Allocate(png_structp png, png_alloc_size_t size) {
  void* p = std::malloc(size);
  if (!p) static_cast<Job*>(png_get_mem_ptr(png))->outOfMemory = true;
  return p;
}

void Release(png_structp, png_voidp p) { std::free(p); }

void OnWarning(png_structp, png_const_charp) {}  // libpng's own texts never reach the user

bool PaletteHasAlpha(png_structp png, png_infop info) {
  png_bytep alpha = nullptr;
  int count = 0;
  if (!png_get_tRNS(png, info, &alpha, &count, nullptr) || !alpha) return false;
  for (int i = 0; i < count; ++i) {
    if (alpha[i] != 255) return true;
  }
  return false;
}

int32_t PelsPerMeter(png_uint_32 value) {
  return value > 0 && value <= INT32_MAX ? static_cast<int32_t>(value) : kDefaultPelsPerMeter;
}

// The reduced picture of a file that is not interlaced: every row becomes blue, green, red (or
// grey) bytes, over white where it has transparency, and is averaged into the reduced block as
// it comes. False with job.refusal set.
bool PrepareReduced(Job& job, png_uint_32 width, png_uint_32 height, int depth, int colorType, uint32_t factor) {
  png_structp png = job.png;
  png_infop info = job.info;
  const bool grey = colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA;
  const bool tRNS = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  bool alpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0;
  if (colorType == PNG_COLOR_TYPE_PALETTE) {
    png_set_palette_to_rgb(png);
    alpha = PaletteHasAlpha(png, info);
  } else {
    alpha = alpha || tRNS;
  }
  if (grey && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (alpha && tRNS) png_set_tRNS_to_alpha(png);
  if (!grey) png_set_bgr(png);
  if (depth == 16) png_set_strip_16(png);
  job.form = alpha ? (grey ? RowForm::kGreyAlpha : RowForm::kColourAlpha) : RowForm::kAsIs;
  job.width = width;
  job.height = height;
  const uint32_t channels = grey ? 1 : 3;
  job.rowBytes = uint64_t{width} * (channels + (alpha ? 1 : 0));
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != job.rowBytes) {
    job.refusal = kMsgBadHeader;
    return false;
  }
  if (!DibFits({width, height, 24, 0})) {
    job.refusal = kMsgNoMemory;
    return false;
  }
  job.reducer.reset(new (std::nothrow) BandReducer(width, height, factor, grey));
  if (alpha) job.pixelRow.reset(new (std::nothrow) uint8_t[size_t{width} * channels]);
  const DibBlock dib = job.reducer ? job.reducer->Start(job.heap) : DibBlock{};
  job.block.Hold(dib.block);
  if (!dib.Made() || (alpha && !job.pixelRow)) {
    job.refusal = kMsgNoMemory;
    return false;
  }
  return true;
}

// The output form, libpng's transforms for it and the block, laid out from the header: false
// with job.refusal set.
bool PreparePicture(Job& job) {
  png_structp png = job.png;
  png_infop info = job.info;
  png_uint_32 width = 0, height = 0;
  int depth = 0, colorType = 0, interlace = 0;
  png_get_IHDR(png, info, &width, &height, &depth, &colorType, &interlace, nullptr, nullptr);
  const bool transparentColour = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  if (job.box && job.box->fullSize) *job.box->fullSize = {width, height};
  // Rows come one by one only from a file that is not interlaced.
  if (job.box && interlace == PNG_INTERLACE_NONE && width <= INT32_MAX && height <= INT32_MAX) {
    const uint32_t factor = ReductionFactor(width, height, job.box->boxWidth, job.box->boxHeight);
    if (factor > 1) return PrepareReduced(job, width, height, depth, colorType, factor);
  }

  uint32_t bitCount = 24;
  uint32_t colors = 0;
  bool greyTable = false;
  switch (colorType) {
    case PNG_COLOR_TYPE_PALETTE:
      if (PaletteHasAlpha(png, info)) {
        png_set_palette_to_rgb(png);
        png_set_tRNS_to_alpha(png);
        png_set_bgr(png);
        job.form = RowForm::kColourAlpha;
      } else {
        bitCount = depth == 2 ? 4 : depth;
        colors = 1u << bitCount;
        job.form = depth == 2 ? RowForm::kTwoBit : RowForm::kAsIs;
      }
      break;
    case PNG_COLOR_TYPE_GRAY:
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      if (depth < 8) png_set_expand_gray_1_2_4_to_8(png);
      if (transparentColour) png_set_tRNS_to_alpha(png);
      bitCount = 8;
      colors = 256;
      greyTable = true;
      job.form = colorType == PNG_COLOR_TYPE_GRAY_ALPHA || transparentColour ? RowForm::kGreyAlpha : RowForm::kAsIs;
      break;
    default:  // RGB, RGB with alpha
      if (transparentColour) png_set_tRNS_to_alpha(png);
      png_set_bgr(png);
      job.form = colorType == PNG_COLOR_TYPE_RGB_ALPHA || transparentColour ? RowForm::kColourAlpha : RowForm::kAsIs;
      break;
  }
  if (depth == 16) png_set_strip_16(png);
  job.interlaced = interlace != PNG_INTERLACE_NONE;
  if (job.interlaced) png_set_interlace_handling(png);

  job.width = width;
  job.height = height;
  job.stride = DibStride(width, bitCount);
  job.rowBytes = SourceRowBytes(job.form, width, bitCount);
  // An interlaced file in a form the DIB does not take keeps all its rows until the end.
  const uint64_t rowsBytes = job.form == RowForm::kAsIs ? 0 : job.rowBytes * (job.interlaced ? height : 1);
  const DibLayout layout{width, height, bitCount, colors};
  if (width == 0 || height == 0 || !DibFits(layout) || rowsBytes > kMaxBlockBytes) {
    job.refusal = kMsgNoMemory;
    return false;
  }
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != job.rowBytes) {
    job.refusal = kMsgBadHeader;
    return false;
  }
  const DibBlock dib = AllocDib(job.heap, layout);
  job.block.Hold(dib.block);
  // Rows kept until the end are zero-filled: an interlaced pass leaves the bits it does not
  // cover as they were.
  if (dib.block && rowsBytes) job.rows = static_cast<uint8_t*>(std::calloc(1, static_cast<size_t>(rowsBytes)));
  if (!dib.block || (rowsBytes && !job.rows)) {
    job.refusal = kMsgNoMemory;
    return false;
  }
  if (job.interlaced) MakeOpaque(job.form, job.rows, job.rowBytes, height);

  DibHeader h = ReadDibHeader(dib.block);
  png_uint_32 xPels = 0, yPels = 0;
  int unit = PNG_RESOLUTION_UNKNOWN;
  if (png_get_pHYs(png, info, &xPels, &yPels, &unit) && unit == PNG_RESOLUTION_METER) {
    h.biXPelsPerMeter = PelsPerMeter(xPels);
    h.biYPelsPerMeter = PelsPerMeter(yPels);
  }
  WriteDibHeader(dib.block, h);
  if (greyTable) {
    WriteGreyTable(dib.table);
  } else if (colors) {
    png_colorp palette = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &palette, &count) && palette) {
      for (uint32_t i = 0; i < colors && i < static_cast<uint32_t>(count); ++i) {
        dib.table[i] = RgbQuad{palette[i].blue, palette[i].green, palette[i].red, 0};
      }
    }
  }
  job.pixels = dib.pixels;
  return true;
}

// libpng's callbacks as it reads: the header, then each row as it is decoded, then the end.
// An interlaced file comes pass by pass, every pass calling for each row of the picture:
// with the pass's row for its own rows and the rows below them that later passes fill (whose
// pixels it spreads over those still to come), with none for the others.
void OnInfo(png_structp png, png_infop) {
  Job& job = *static_cast<Job*>(png_get_progressive_ptr(png));
  job.stage = Stage::kPicture;
  if (!PreparePicture(job)) png_error(png, "refused");
  job.stage = Stage::kRows;
}

void OnRow(png_structp png, png_bytep row, png_uint_32 y, int pass) {
  Job& job = *static_cast<Job*>(png_get_progressive_ptr(png));
  if (y + 1 == job.height && pass == (job.interlaced ? PNG_INTERLACE_ADAM7_PASSES - 1 : 0)) job.allRows = true;
  if (!row || y >= job.height) return;
  if (job.reducer) {
    if (job.pixelRow) ConvertRow(job.form, row, job.pixelRow.get(), job.width);
    job.reducer->AddRow(y, job.pixelRow ? job.pixelRow.get() : row);
  } else if (job.form == RowForm::kAsIs) {
    png_progressive_combine_row(png, job.DibRow(y), row);
  } else if (job.interlaced) {
    png_progressive_combine_row(png, job.rows + y * job.rowBytes, row);
  } else {
    ConvertRow(job.form, row, job.DibRow(y), job.width);
  }
  ++job.rowsRead;
}

void OnEnd(png_structp png, png_infop) { static_cast<Job*>(png_get_progressive_ptr(png))->allRows = true; }

// Feeds the file to libpng, which calls back as it goes, until the file ends. Each libpng
// error comes back here through longjmp and ends the decode; nothing between here and libpng
// has a destructor to skip, and all that the decode holds is in `job`.
void Feed(Job& job, const uint8_t* data, size_t size) {
  for (size_t at = 0; at < size;) {
    const size_t piece = job.chunks.Piece(data + at, size - at);
    png_process_data(job.png, job.info, const_cast<uint8_t*>(data) + at, piece);
    at += piece;
  }
}

void Run(Job& job, const uint8_t* signature) {
  if (setjmp(png_jmpbuf(job.png))) {
    // A critical chunk's CRC is checked in a piece of its own: an error in that piece may be
    // the CRC's.
    job.crcFailed = job.chunks.PieceEndedBadChunk(job.file);
    return;
  }
  png_set_keep_unknown_chunks(job.png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
  png_set_keep_unknown_chunks(job.png, PNG_HANDLE_CHUNK_NEVER, kSkippedChunks, kSkippedChunkCount);
  // The chunks' CRCs already vouch for the image data: zlib's own sum over it is not
  // computed (libpng would only warn when it fails).
  png_set_option(job.png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
  png_set_progressive_read_fn(job.png, &job, OnInfo, OnRow, OnEnd);
  png_process_data(job.png, job.info, const_cast<uint8_t*>(signature), kSignatureBytes);
  if (job.whole.Find(job.data, job.size)) {
    const auto start = static_cast<size_t>(job.whole.Start()), end = static_cast<size_t>(job.whole.End());
    Feed(job, job.data + kSignatureBytes, start - kSignatureBytes);
    job.chunks = ChunkWalker(end);
    job.whole.Feed(job.png, job.info);
    Feed(job, job.data + end, job.size - end);
    return;
  }
  uint8_t buffer[kFeedBytes];
  size_t got = 0;
  while (job.file.Read(buffer, sizeof buffer, &got) && got > 0) Feed(job, buffer, got);
}

void* Decode(ByteSource& file, BlockHeap& heap, DecodeMessages& messages, const DecodeInput* box,
             const uint8_t* data = nullptr, size_t size = 0) {
  uint8_t signature[kSignatureBytes];
  size_t got = 0;
  if (!file.Read(signature, sizeof signature, &got) || got != sizeof signature ||
      png_sig_cmp(signature, 0, sizeof signature) != 0) {
    messages.Add(kMsgNotPng);
    return nullptr;
  }
  Job job(file, heap);
  job.box = box;
  job.data = data;
  job.size = size;
  job.png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, &job, OnError, OnWarning, &job, Allocate, Release);
  if (job.png) job.info = png_create_info_struct(job.png);
  if (!job.png || !job.info) {
    messages.Add(kMsgNoMemory);
    return nullptr;
  }
  Run(job, signature);
  if (job.refusal) {
    messages.Add(job.refusal);
    return nullptr;
  }
  // An interlaced file's rows are converted at the end, whatever passes arrived.
  if (job.reducer) job.reducer->Finish();
  if (job.stage == Stage::kRows && job.interlaced && job.rows) {
    for (uint32_t y = 0; y < job.height; ++y) {
      ConvertRow(job.form, job.rows + y * job.rowBytes, job.DibRow(y), job.width);
    }
  }
  if (job.stage != Stage::kRows) {
    messages.Add(job.outOfMemory ? kMsgNoMemory : kMsgBadHeader);
    return nullptr;
  }
  // Image data that fails its check is not shown; data that ends or breaks is, as far as it
  // came.
  if (job.crcFailed || job.rowsRead == 0) {
    messages.Add(job.outOfMemory ? kMsgNoMemory : kMsgBadData);
    return nullptr;
  }
  if (!job.allRows) messages.Warn(kMsgDamaged);
  return job.block.Take();
}

}  // namespace

void* ReadPng(ByteSource& file, BlockHeap& heap, DecodeMessages& messages) {
  return Decode(file, heap, messages, nullptr);
}

void* ReadPngFile(const DecodeInput& in, BlockHeap& heap, DecodeMessages& messages, DecodeProgress*) {
  // A mapped file wanted whole may have its image data inflated at once.
  const bool whole = in.data && in.boxWidth == 0;
  return Decode(in.file, heap, messages, &in, whole ? static_cast<const uint8_t*>(in.data) : nullptr, in.size);
}

}  // namespace lmx::png
