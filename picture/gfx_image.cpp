#include "picture/gfx_image.h"

#include "picture/gfx_shrink.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "common/utils.h"
#include "image/dib_transforms.h"
#include "image/rgb_fields.h"
#include "lang/lang_ids.h"
#include "plugins/common/local_heap.h"
#include "plugins/common/packed_dib.h"

namespace lmx {
namespace {

constexpr const wchar_t* kInternalErrorCaption = L"Internal Error...";

bool HasHeader(const GfxImage* image) {
  return image && image->dib && image->dibBytes >= kInfoHeaderSize;
}

DibHeader HeaderOf(const GfxImage* image) { return ReadDibHeader(image->dib); }

void ShowInternalError(UINT id) {
  MessageBoxW(OwnerWindow(), LoadLangString(id), kInternalErrorCaption, MB_OK | MB_ICONSTOP);
}

void DropDisplayBitmap(GfxImage* image) {
  if (image->memoryDC && image->savedBitmap) SelectObject(image->memoryDC, image->savedBitmap);
  image->savedBitmap = nullptr;
  if (image->dibSection) {
    DeleteObject(image->dibSection);
    image->dibSection = nullptr;
  }
  if (image->memoryDC) {
    DeleteDC(image->memoryDC);
    image->memoryDC = nullptr;
  }
  delete[] image->filledBands;
  image->filledBands = nullptr;
  image->sectionBits = nullptr;
  delete image->fields;
  image->fields = nullptr;
}

constexpr uint32_t kBandRows = 64;

// Copies the bands of rows that image rows [top, bottom) (counted from the top) lie in into
// the display bitmap, unless they are there already.
void FillSectionRows(const GfxImage* image, LONG top, LONG bottom) {
  DibLayout layout;
  if (!image->sectionBits || !image->filledBands || !ReadDibLayout(image->dib, image->dibBytes, &layout)) return;
  const LONG height = static_cast<LONG>(layout.height);
  top = std::max<LONG>(top, 0);
  bottom = std::min<LONG>(bottom, height);
  if (top >= bottom) return;
  // Rows are stored bottom-up: picture row y is stored row height - 1 - y.
  const uint32_t firstBand = static_cast<uint32_t>(height - bottom) / kBandRows;
  const uint32_t lastBand = static_cast<uint32_t>(height - 1 - top) / kBandRows;
  const uint8_t* rows = static_cast<const uint8_t*>(image->dib) + layout.pixelOffset;
  const size_t sectionStride = image->fields ? static_cast<size_t>(DibStride(layout.width, 24)) : layout.stride;
  for (uint32_t band = firstBand; band <= lastBand; ++band) {
    if (image->filledBands[band]) continue;
    const size_t first = size_t{band} * kBandRows;
    const size_t count = std::min<size_t>(kBandRows, layout.height - first);
    if (image->fields) {
      for (size_t row = first; row < first + count; ++row) {
        image->fields->ToBgr(rows + row * layout.stride, 0, layout.width, image->sectionBits + row * sectionStride);
      }
    } else {
      std::memcpy(image->sectionBits + first * layout.stride, rows + first * layout.stride, count * layout.stride);
    }
    image->filledBands[band] = 1;
  }
}

// The display bitmap of a picture whose colours come through its fields: 24 bits.
BITMAPINFOHEADER TwentyFourBitHeader(const DibLayout& layout) {
  BITMAPINFOHEADER h{};
  h.biSize = sizeof h;
  h.biWidth = static_cast<LONG>(layout.width);
  h.biHeight = static_cast<LONG>(layout.height);
  h.biPlanes = 1;
  h.biBitCount = 24;
  h.biCompression = BI_RGB;
  h.biSizeImage = static_cast<DWORD>(DibStride(layout.width, 24) * layout.height);
  return h;
}

// Red steps fastest through 0, 32 .. 224, green next, blue slowest through 0, 64, 128, 192.
void FillFixedPalette(LOGPALETTE* lp) {
  for (int k = 0; k < 256; ++k) {
    PALETTEENTRY& e = lp->palPalEntry[k];
    e.peRed = static_cast<BYTE>(32 * (k % 8));
    e.peGreen = static_cast<BYTE>(32 * ((k / 8) % 8));
    e.peBlue = static_cast<BYTE>(64 * (k / 64));
    e.peFlags = 0;
  }
}

}  // namespace

HPALETTE CreateDibPalette(const void* dib, size_t dibBytes) {
  if (!dib) {
    ShowArgumentError(IDS_NO_DIB_FOR_PALETTE);
    return nullptr;
  }
  if (dibBytes < kInfoHeaderSize || ReadDibHeader(dib).biSize != kInfoHeaderSize) {
    ShowImageError(static_cast<UINT>(DibStatus::kBadHeader));
    return nullptr;
  }
  const DibHeader h = ReadDibHeader(dib);
  const uint32_t colors = ColorCountOf(h);
  const uint32_t tableOffset = kInfoHeaderSize + DibMaskBytes(h);
  // A colour table that runs past its block is not read; such a picture is not drawn.
  if (tableOffset + uint64_t{colors} * 4 > dibBytes) return nullptr;
  // 16- and 32-bit pictures are shown at 24 bits, and so take the same palette.
  const bool trueColour = h.biBitCount == 16 || h.biBitCount == 24 || h.biBitCount == 32;
  if (colors == 0 && !trueColour) return nullptr;

  // palNumEntries is 16 bits wide.
  const uint32_t entries = colors ? std::min<uint32_t>(colors, 0xFFFF) : 256;
  auto* lp = static_cast<LOGPALETTE*>(LocalAlloc(LPTR, 4 + 4 * (size_t{entries} + 1)));
  if (!lp) {
    ShowImageError(static_cast<UINT>(DibStatus::kNoMemory));
    return nullptr;
  }
  lp->palVersion = 0x300;
  lp->palNumEntries = static_cast<WORD>(entries);
  if (colors) {
    const auto* table = reinterpret_cast<const RgbQuad*>(static_cast<const uint8_t*>(dib) + tableOffset);
    for (uint32_t i = 0; i < entries; ++i) {
      lp->palPalEntry[i] = PALETTEENTRY{table[i].red, table[i].green, table[i].blue, 0};
    }
  } else {
    FillFixedPalette(lp);
  }
  HPALETTE palette = CreatePalette(lp);
  LocalFree(lp);
  return palette;
}

GfxImage* GfxImage_Create(PictureSource* plugIn, const wchar_t* filePath) {
  auto* image = new GfxImage{};
  image->plugIn = plugIn;
  image->filePath = filePath;
  if (plugIn && filePath && *filePath) {
    DWORD count = 0;
    plugIn->FileInfo(filePath, &count);
    image->imageCount = count;
  }
  return image;
}

void GfxImage_Destroy(GfxImage* image) {
  if (!image) return;
  ReleaseShrinkCache();
  GfxImage_Release(image);
  delete image;
}

BOOL GfxImage_Load(GfxImage* image) {
  if (!image->plugIn || !image->filePath || !*image->filePath) return image->dib != nullptr;
  // A picture already held would otherwise be lost with its display objects.
  GfxImage_Release(image);
  void* block = image->plugIn->LoadPicture(image->filePath, image->imageIndex);
  image->framesShown = false;
  if (!block) return FALSE;  // the plug-in has said why
  const size_t bytes = LocalSize(block);
  if (bytes < kInfoHeaderSize) {
    LocalFree(block);
    ShowImageError(static_cast<UINT>(DibStatus::kBadHeader));
    return FALSE;
  }
  // The picture is shown in the colours its table defines: a DIB section honours the
  // table of a two-colour picture too, so its bits are taken as they come.
  image->dib = block;
  image->dibBytes = bytes;
  GfxImage_BuildDisplayObjects(image);
  return TRUE;
}

void GfxImage_Release(GfxImage* image) {
  if (!image) return;
  if (image->dib) {
    ReleaseShrinkCache();  // it may hold a copy of this picture
    LocalFree(image->dib);
    image->dib = nullptr;
    image->dibBytes = 0;
  }
  if (image->palette) {
    DeleteObject(image->palette);
    image->palette = nullptr;
  }
  DropDisplayBitmap(image);
}

void GfxImage_BuildDisplayObjects(GfxImage* image) {
  ReleaseShrinkCache();  // the picture has changed
  if (image->palette) {
    DeleteObject(image->palette);
    image->palette = nullptr;
  }
  image->palette = CreateDibPalette(image->dib, image->dibBytes);
  // Whatever comes next, no display bitmap of an earlier picture may stay.
  DropDisplayBitmap(image);
  if (!image->dib || !image->palette) return;

  // Only uncompressed or bit-field rows that lie wholly inside the block are drawn.
  DibLayout layout;
  if (!ReadDibLayout(image->dib, image->dibBytes, &layout)) return;
  const DibHeader header = HeaderOf(image);
  if (header.biCompression != 0 && !DibMaskBytes(header)) return;
  if (layout.bitCount == 16 || layout.bitCount == 32) {
    image->fields = new (std::nothrow) RgbFields;
    if (!image->fields || !image->fields->Init(image->dib, layout)) {
      DropDisplayBitmap(image);
      return;
    }
  }
  const BITMAPINFOHEADER converted = TwentyFourBitHeader(layout);
  const auto* sectionInfo = image->fields ? reinterpret_cast<const BITMAPINFO*>(&converted)
                                          : static_cast<const BITMAPINFO*>(image->dib);

  HDC screen = GetDC(nullptr);
  HPALETTE previous = SelectPalette(screen, image->palette, FALSE);
  RealizePalette(screen);
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(nullptr, sectionInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
  uint8_t* bands = nullptr;
  if (section && bits) bands = new (std::nothrow) uint8_t[(layout.height + kBandRows - 1) / kBandRows + 1]();
  if (section && !bands) {
    DeleteObject(section);
    section = nullptr;
  }
  SelectPalette(screen, previous, FALSE);
  if (section) {
    image->memoryDC = CreateCompatibleDC(screen);
    if (image->memoryDC) {
      image->dibSection = section;
      image->sectionBits = static_cast<uint8_t*>(bits);
      image->filledBands = bands;
      image->savedBitmap = static_cast<HBITMAP>(SelectObject(image->memoryDC, section));
    } else {
      DeleteObject(section);
      delete[] bands;
    }
  }
  if (!image->dibSection) DropDisplayBitmap(image);
  ReleaseDC(nullptr, screen);
}

BOOL GfxImage_Replace(GfxImage* image, void* block) {
  const size_t bytes = block ? LocalSize(block) : 0;
  if (bytes < kInfoHeaderSize) {
    if (block) LocalFree(block);
    return FALSE;
  }
  const DibHeader next = ReadDibHeader(block);
  if (!image->framesShown && HasHeader(image)) {
    const DibHeader loaded = HeaderOf(image);
    image->framesShown = true;
    image->fileDepth = loaded.biBitCount;
    image->fileCompression = loaded.biCompression;
    image->fileXResolution = loaded.biXPelsPerMeter;
  }
  const bool sameShape = HasHeader(image) && image->dibSection && image->filledBands && !image->fields &&
                         next.biBitCount == 24 && next.biCompression == 0 && HeaderOf(image).biBitCount == 24 &&
                         HeaderOf(image).biCompression == 0 && next.biWidth == HeaderOf(image).biWidth &&
                         next.biHeight == HeaderOf(image).biHeight && bytes >= image->dibBytes;
  if (!sameShape) {
    GfxImage_Release(image);
    image->dib = block;
    image->dibBytes = bytes;
    GfxImage_BuildDisplayObjects(image);
    return TRUE;
  }
  // The section stays: its rows are taken from the new picture as drawings need them.
  ReleaseShrinkCache();
  LocalFree(image->dib);
  image->dib = block;
  image->dibBytes = bytes;
  std::memset(image->filledBands, 0, (static_cast<size_t>(next.biHeight) + kBandRows - 1) / kBandRows + 1);
  return TRUE;
}

bool GfxImage_HasNext(const GfxImage* image) { return image->imageIndex + 1 < image->imageCount; }
bool GfxImage_HasPrevious(const GfxImage* image) { return image->imageIndex > 0; }

int GfxImage_Next(GfxImage* image) {
  if (!GfxImage_HasNext(image)) return 0;
  ++image->imageIndex;
  GfxImage_Release(image);
  GfxImage_Load(image);
  return 1;
}

int GfxImage_Previous(GfxImage* image) {
  if (!GfxImage_HasPrevious(image)) return 0;
  --image->imageIndex;
  GfxImage_Release(image);
  GfxImage_Load(image);
  return 1;
}

BOOL GfxImage_StretchToDevice(const GfxImage* image, HDC target, const RECT& dst, const RECT& src) {
  if (!image || !image->memoryDC) return FALSE;
  if (ShrinkToDevice(image, target, dst, src)) return TRUE;
  FillSectionRows(image, src.top, src.bottom);
  return StretchBlt(target, dst.left, dst.top, dst.right - dst.left, dst.bottom - dst.top, image->memoryDC, src.left,
                    src.top, src.right - src.left, src.bottom - src.top, SRCCOPY);
}

DWORD GfxImage_Size(const GfxImage* image) {
  if (!HasHeader(image)) return 0;
  const DibHeader h = HeaderOf(image);
  return MAKELONG(LOWORD(h.biWidth), LOWORD(h.biHeight));
}

int GfxImage_BitDepth(const GfxImage* image) {
  if (!HasHeader(image)) {
    ShowArgumentError(IDS_NO_PICTURE_FOR_DEPTH);
    return -1;
  }
  return HeaderOf(image).biBitCount;
}

DWORD GfxImage_Compression(const GfxImage* image) { return HasHeader(image) ? HeaderOf(image).biCompression : 0; }

LONG GfxImage_XResolution(const GfxImage* image) { return HasHeader(image) ? HeaderOf(image).biXPelsPerMeter : 0; }

bool GfxImage_FileFacts(const GfxImage* image, int* depth, DWORD* compression, LONG* xResolution) {
  if (!HasHeader(image)) return false;
  const DibHeader h = HeaderOf(image);
  *depth = image->framesShown ? image->fileDepth : h.biBitCount;
  *compression = image->framesShown ? image->fileCompression : h.biCompression;
  *xResolution = image->framesShown ? image->fileXResolution : h.biXPelsPerMeter;
  return true;
}

UINT GfxImage_ColorCount(const GfxImage* image) { return HasHeader(image) ? ColorCountOf(HeaderOf(image)) : 0; }

BYTE* GfxImage_PixelRows(const GfxImage* image) {
  if (!HasHeader(image)) return nullptr;
  const DibHeader h = HeaderOf(image);
  const uint64_t offset = kInfoHeaderSize + DibMaskBytes(h) + uint64_t{ColorCountOf(h)} * 4;
  if (offset > image->dibBytes) return nullptr;
  return static_cast<BYTE*>(image->dib) + offset;
}

int GfxImage_Transform(GfxImage* image, int code) {
  if (code < kRotateClockwise || code > kFlip) return 0;
  const int depth = GfxImage_BitDepth(image);
  if (depth != 1 && depth != 4 && depth != 8 && depth != 24) {
    ShowInternalError(IDS_DIB_UNSUPPORTED_DEPTH);
    return 0;
  }
  LocalHeap heap;
  void* result = nullptr;
  size_t resultBytes = 0;
  const DibStatus status = TransformDib(image->dib, image->dibBytes, code, heap, &result, &resultBytes);
  switch (status) {
    case DibStatus::kOk:
      // The old picture goes only now that the new one is complete.
      GfxImage_Release(image);
      image->dib = result;
      image->dibBytes = resultBytes;
      GfxImage_BuildDisplayObjects(image);
      return 1;
    case DibStatus::kUnsupportedDepth:
      ShowInternalError(IDS_DIB_UNSUPPORTED_DEPTH);
      return 0;
    case DibStatus::kBadCode:
      return 0;
    default:
      ShowImageError(static_cast<UINT>(status));
      return 0;
  }
}

int GfxImage_Invert(GfxImage* image) {
  if (!image->dib) {
    ShowArgumentError(IDS_NO_PICTURE_TO_INVERT);
    return 0;
  }
  const DibStatus status = InvertDib(image->dib, image->dibBytes);
  if (status == DibStatus::kCompressed) {
    ShowArgumentError(static_cast<UINT>(status));
    return 0;
  }
  if (status != DibStatus::kOk) {
    ShowImageError(static_cast<UINT>(status));
    return 0;
  }
  GfxImage_BuildDisplayObjects(image);
  return 1;
}

int GfxImage_Apply(GfxImage* image, int code) {
  return code == kInvert ? GfxImage_Invert(image) : GfxImage_Transform(image, code);
}

}  // namespace lmx
