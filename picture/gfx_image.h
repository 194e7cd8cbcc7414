// GfxImage: the one decoded picture of the open file, kept as the packed DIB its plug-in
// returned, with the palette, DIB section and memory device context it is drawn from.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace lmx {

class RgbFields;

// What the record asks of the plug-in that decodes its file: the picture count and one
// picture. The host's plug-in entry answers through the plug-in's bound exports.
class PictureSource {
 public:
  virtual ~PictureSource() = default;
  virtual BOOL FileInfo(const wchar_t* path, DWORD* imageCount) = 0;
  // A packed DIB from LocalAlloc, now the caller's; null after the plug-in's own message.
  virtual void* LoadPicture(const wchar_t* path, DWORD imageIndex) = 0;
};

// A source over the two exports of a loaded plug-in library.
class BoundPlugIn final : public PictureSource {
 public:
  BoundPlugIn(BOOL (*getFileInfo)(const wchar_t*, DWORD*), void* (*loadGfxFile)(const wchar_t*, DWORD))
      : getFileInfo_(getFileInfo), loadGfxFile_(loadGfxFile) {}
  BOOL FileInfo(const wchar_t* path, DWORD* imageCount) override {
    return getFileInfo_ ? getFileInfo_(path, imageCount) : FALSE;
  }
  void* LoadPicture(const wchar_t* path, DWORD imageIndex) override {
    return loadGfxFile_ && path && *path ? loadGfxFile_(path, imageIndex) : nullptr;
  }

 private:
  BOOL (*getFileInfo_)(const wchar_t*, DWORD*);
  void* (*loadGfxFile_)(const wchar_t*, DWORD);
};

struct GfxImage {
  void* dib;              // owned local-heap block: header, colour masks and table, pixel rows
  HPALETTE palette;       // owned
  // Owned; a copy of the pixel rows, or for 16 and 32 bits their colours at 24 bits, which
  // every display draws alike whatever the picture's masks.
  HBITMAP dibSection;
  HBITMAP savedBitmap;    // what memoryDC held before dibSection; selected back before deletion
  HDC memoryDC;           // owned; dibSection selected
  // The pixel rows reach dibSection band by band, when a drawing first needs them: a new
  // picture is shown without copying all of it first.
  uint8_t* sectionBits;   // dibSection's rows
  uint8_t* filledBands;   // owned; one flag per band of rows already copied
  RgbFields* fields;      // owned; the colours of 16- and 32-bit pixels, else null
  const wchar_t* filePath;  // borrowed from the file item
  PictureSource* plugIn;    // borrowed
  DWORD imageIndex;
  DWORD imageCount;
  size_t dibBytes;  // size of the block `dib`, which its header must fit
  // While an animation's frames stand in for the picture the plug-in loaded: that picture's
  // depth, compression and resolution, which the file has (the frames are 24-bit).
  bool framesShown;
  int32_t fileDepth;
  DWORD fileCompression;
  LONG fileXResolution;
};

// A record without a picture; asks the plug-in for the file's picture count.
GfxImage* GfxImage_Create(PictureSource* plugIn, const wchar_t* filePath);
// Releases everything and frees the record.
void GfxImage_Destroy(GfxImage* image);

// Fetches picture imageIndex through the plug-in; nonzero when a picture is held.
BOOL GfxImage_Load(GfxImage* image);
// Frees the picture and its display objects; path, plug-in, index and count stay.
void GfxImage_Release(GfxImage* image);
void GfxImage_BuildDisplayObjects(GfxImage* image);

// Takes `block` (a packed DIB from LocalAlloc, now the record's) as the picture in place of
// the one held, index and count kept: an animation's next frame. A 24-bit picture of the same
// size keeps the display objects. FALSE (the block freed) when the block holds no header.
BOOL GfxImage_Replace(GfxImage* image, void* block);

bool GfxImage_HasNext(const GfxImage* image);
bool GfxImage_HasPrevious(const GfxImage* image);
// 0 when there is no such picture; else 1, even when its load then fails.
int GfxImage_Next(GfxImage* image);
int GfxImage_Previous(GfxImage* image);

// One stretching blit of the picture (SRCCOPY); FALSE when nothing can be drawn.
BOOL GfxImage_StretchToDevice(const GfxImage* image, HDC target, const RECT& dst, const RECT& src);

DWORD GfxImage_Size(const GfxImage* image);  // height << 16 | width
int GfxImage_BitDepth(const GfxImage* image);  // -1 (after message 256) without a picture
DWORD GfxImage_Compression(const GfxImage* image);
LONG GfxImage_XResolution(const GfxImage* image);
// The file's own depth, compression and resolution: the loaded picture's, also while an
// animation's frames stand in for it. False without a picture.
bool GfxImage_FileFacts(const GfxImage* image, int* depth, DWORD* compression, LONG* xResolution);
UINT GfxImage_ColorCount(const GfxImage* image);
BYTE* GfxImage_PixelRows(const GfxImage* image);

// Codes 1 to 5: replaces the picture with its turned, mirrored or flipped copy. 1 when the
// picture was replaced; else 0 after the message that says why.
int GfxImage_Transform(GfxImage* image, int code);
// Code 6, where the picture lies. 1 when done; else 0 after the message that says why.
int GfxImage_Invert(GfxImage* image);
// Codes 1 to 5 through transform, 6 through invert.
int GfxImage_Apply(GfxImage* image, int code);

// A logical palette for a packed DIB of `dibBytes`: its colour table, or the fixed
// 256-colour palette for a 16-, 24- or 32-bit picture without one. Null when there is none.
HPALETTE CreateDibPalette(const void* dib, size_t dibBytes);

}  // namespace lmx
