// lmx_decode: decodes one picture through the built format plug-ins into the viewer's image
// record, applies the transforms asked for in order, and writes the picture as a .bmp file,
// printing every message box the plug-in or the image core raises instead of showing it.
//
//   lmx_decode [--index N] [--transform CODE]... IMAGE OUT.bmp
//
// CODE: 1 rotate clockwise, 2 counter-clockwise, 3 half turn, 4 mirror, 5 flip, 6 invert.
// Prints "WIDTHxHEIGHT bpp=B colors=C images=K" of the picture written. Exit code: 0 a
// picture came back, 1 the plug-in returned none, 2 usage error or no plug-in for the
// extension, 3 a transform was refused (the picture is written as it stood).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>

#include <vector>

#include "picture/gfx_image.h"
#include "tools/support/message_capture.h"
#include "plugins/common/packed_dib.h"
#include "plugins/common/plugin_api.h"
#include "common/utils.h"

namespace {

constexpr const wchar_t* kFormats[] = {L"bmp", L"pcx", L"gif", L"tif"};

void PrintMessage(const lmx::CapturedMessage& m) {
  std::string text = lmx::ToUtf8(m.text), escaped;
  for (char c : text) {
    if (c == '\n') escaped += "\\n";
    else if (c != '\r') escaped += c;
  }
  std::fprintf(stderr, "message: %s: %s\n", lmx::ToUtf8(m.caption).c_str(), escaped.c_str());
}

int Usage() {
  std::fprintf(stderr, "usage: lmx_decode [--index N] [--transform CODE]... IMAGE OUT.bmp\n");
  return 2;
}

// The plug-in for a path: the text after the last ".", cut to 3 characters, without case.
std::wstring PluginFor(const wchar_t* path) {
  const wchar_t* dot = wcsrchr(path, L'.');
  if (!dot) return {};
  std::wstring ext(dot + 1, wcsnlen(dot + 1, 3));
  for (const wchar_t* f : kFormats) {
    if (_wcsicmp(ext.c_str(), f) == 0) return std::wstring(L"zlx_") + f + L".dll";
  }
  return {};
}

std::wstring BesideThisProgram(const std::wstring& file) {
  wchar_t self[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring dir(self, n);
  return dir.substr(0, dir.find_last_of(L"\\/") + 1) + file;
}

// Writes what the header describes, but never more than the block holds.
bool WriteBmp(const wchar_t* path, const void* dib, size_t blockBytes) {
  const lmx::DibHeader h = lmx::ReadDibHeader(dib);
  const uint64_t dibBytes =
      std::min<uint64_t>(lmx::kInfoHeaderSize + uint64_t{h.biClrUsed} * 4 + h.biSizeImage, blockBytes);
  const uint32_t offBits = 14 + lmx::kInfoHeaderSize + 4 * h.biClrUsed;
  unsigned char header[14] = {'B', 'M'};
  const uint64_t total = 14 + dibBytes;
  for (int i = 0; i < 4; ++i) {
    header[2 + i] = static_cast<unsigned char>(total >> (8 * i));
    header[10 + i] = static_cast<unsigned char>(offBits >> (8 * i));
  }
  HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(f, header, sizeof header, &written, nullptr) && written == sizeof header &&
            WriteFile(f, dib, static_cast<DWORD>(dibBytes), &written, nullptr) && written == dibBytes;
  CloseHandle(f);
  return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  DWORD index = 0;
  std::vector<int> transforms;
  const wchar_t* files[2] = {};
  int fileCount = 0;
  for (int i = 1; i < argc; ++i) {
    if (wcscmp(argv[i], L"--index") == 0 && i + 1 < argc) {
      index = wcstoul(argv[++i], nullptr, 10);
    } else if (wcscmp(argv[i], L"--transform") == 0 && i + 1 < argc) {
      wchar_t* end = nullptr;
      const unsigned long code = wcstoul(argv[++i], &end, 10);
      if (*end || code < 1 || code > 6) return Usage();
      transforms.push_back(static_cast<int>(code));
    } else if (fileCount < 2) {
      files[fileCount++] = argv[i];
    } else {
      return Usage();
    }
  }
  if (fileCount != 2) return Usage();

  const std::wstring plugin = PluginFor(files[0]);
  HMODULE module = plugin.empty() ? nullptr : LoadLibraryW(BesideThisProgram(plugin).c_str());
  if (!module) {
    std::fprintf(stderr, "no plug-in for %ls\n", files[0]);
    return 2;
  }
  auto getInfo = reinterpret_cast<LmxGetFileInfoFn>(GetProcAddress(module, "LMX_GetFileInfo"));
  auto load = reinterpret_cast<LmxLoadGfxFileFn>(GetProcAddress(module, "LMX_LoadGfxFile"));
  if (!getInfo || !load) {
    std::fprintf(stderr, "%ls lacks its exports\n", plugin.c_str());
    return 2;
  }

  // The image core's messages come from the language component, as in the viewer.
  HMODULE lang = LoadLibraryW(BesideThisProgram(L"LumivexLangComp.dll").c_str());
  lmx::SetResourceModule(lang);
  lmx::SetInstanceModule(GetModuleHandleW(nullptr));

  lmx::MessageCapture capture;
  capture.onMessage = PrintMessage;
  lmx::BoundPlugIn source(getInfo, load);
  lmx::GfxImage* image = lmx::GfxImage_Create(&source, files[0]);
  image->imageIndex = index;
  int rc = 1;
  if (lmx::GfxImage_Load(image)) {
    rc = 0;
    for (int code : transforms) {
      if (!lmx::GfxImage_Apply(image, code)) rc = 3;
    }
    const lmx::DibHeader h = lmx::ReadDibHeader(image->dib);
    std::printf("%dx%d bpp=%u colors=%u images=%lu\n", static_cast<int>(h.biWidth), static_cast<int>(h.biHeight),
                h.biBitCount, h.biClrUsed, static_cast<unsigned long>(image->imageCount));
    if (!WriteBmp(files[1], image->dib, image->dibBytes)) {
      std::fprintf(stderr, "cannot write %ls\n", files[1]);
      rc = 2;
    }
  }
  lmx::GfxImage_Destroy(image);
  std::fflush(stdout);
  FreeLibrary(module);
  if (lang) FreeLibrary(lang);
  return rc;
}
