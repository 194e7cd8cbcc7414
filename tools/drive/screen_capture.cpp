#include "tools/drive/screen_capture.h"

#include <cstring>

namespace lmx {

bool CaptureScreen(ScreenPicture* picture) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  if (width <= 0 || height <= 0) return false;

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;

  HDC screen = GetDC(nullptr);
  HDC memory = screen ? CreateCompatibleDC(screen) : nullptr;
  void* bits = nullptr;
  HBITMAP section = memory ? CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
  bool ok = false;
  if (section && bits) {
    HGDIOBJ old = SelectObject(memory, section);
    ok = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY) != 0;
    GdiFlush();
    SelectObject(memory, old);
    if (ok) {
      picture->width = width;
      picture->height = height;
      const size_t bytes = static_cast<size_t>(picture->Stride()) * height;
      picture->rows.assign(static_cast<const uint8_t*>(bits), static_cast<const uint8_t*>(bits) + bytes);
    }
  }
  if (section) DeleteObject(section);
  if (memory) DeleteDC(memory);
  if (screen) ReleaseDC(nullptr, screen);
  return ok;
}

bool WriteBmpFile(const wchar_t* path, const ScreenPicture& picture) {
  const uint32_t imageBytes = static_cast<uint32_t>(picture.rows.size());
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + imageBytes;
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = picture.width;
  header.biHeight = picture.height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  header.biSizeImage = imageBytes;

  HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(f, &file, sizeof file, &written, nullptr) && written == sizeof file &&
            WriteFile(f, &header, sizeof header, &written, nullptr) && written == sizeof header &&
            WriteFile(f, picture.rows.data(), imageBytes, &written, nullptr) && written == imageBytes;
  CloseHandle(f);
  if (!ok) DeleteFileW(path);
  return ok;
}

}  // namespace lmx
