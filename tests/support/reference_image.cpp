#include "tests/support/reference_image.h"

#include <algorithm>

#include <wincodec.h>

#include <cstdlib>

namespace lmx::test {

namespace {

template <typename T>
void Release(T*& object) {
  if (object) object->Release();
  object = nullptr;
}

}  // namespace

COLORREF ReferenceImage::At(int x, int y) const {
  const uint8_t* p = &bgra[(static_cast<size_t>(y) * width + x) * 4];
  return RGB(p[2], p[1], p[0]);
}

bool ReferenceImage::Opaque(int x, int y) const { return bgra[(static_cast<size_t>(y) * width + x) * 4 + 3] == 255; }

bool ReadReferenceImage(const std::wstring& path, ReferenceImage* image) {
  *image = ReferenceImage{};
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IWICImagingFactory* factory = nullptr;
  IWICBitmapDecoder* decoder = nullptr;
  IWICBitmapFrameDecode* frame = nullptr;
  IWICFormatConverter* converter = nullptr;
  UINT width = 0, height = 0;
  bool read = SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
              SUCCEEDED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                           WICDecodeMetadataCacheOnDemand, &decoder)) &&
              SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
              SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr,
                                              0, WICBitmapPaletteTypeCustom)) &&
              SUCCEEDED(converter->GetSize(&width, &height)) && width > 0 && height > 0;
  if (read) {
    image->bgra.resize(size_t{width} * height * 4);
    read = SUCCEEDED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(image->bgra.size()),
                                           image->bgra.data()));
  }
  Release(converter);
  Release(frame);
  Release(decoder);
  Release(factory);
  if (SUCCEEDED(com)) CoUninitialize();
  if (!read) {
    *image = ReferenceImage{};
    return false;
  }
  image->width = static_cast<int>(width);
  image->height = static_cast<int>(height);
  return true;
}

bool ColoursNear(COLORREF a, COLORREF b, int tolerance) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

bool WithinColoursOf(const ReferenceImage& ref, COLORREF c, int x0, int x1, int y0, int y1, int tolerance) {
  int low[3] = {255, 255, 255}, high[3] = {0, 0, 0};
  for (int y = std::max(0, y0); y <= std::min(ref.height - 1, y1); ++y) {
    for (int x = std::max(0, x0); x <= std::min(ref.width - 1, x1); ++x) {
      const COLORREF r = ref.At(x, y);
      const int v[3] = {GetRValue(r), GetGValue(r), GetBValue(r)};
      for (int i = 0; i < 3; ++i) low[i] = std::min(low[i], v[i]), high[i] = std::max(high[i], v[i]);
    }
  }
  const int got[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
  for (int i = 0; i < 3; ++i) {
    if (got[i] < low[i] - tolerance || got[i] > high[i] + tolerance) return false;
  }
  return true;
}

}  // namespace lmx::test
