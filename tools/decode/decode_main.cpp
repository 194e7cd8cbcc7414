// lmx_decode: decodes one picture through the built format plug-ins and writes it as a
// .bmp file, printing every message box the plug-in raises instead of showing it.
//
//   lmx_decode [--index N] IMAGE OUT.bmp
//
// Prints "WIDTHxHEIGHT bpp=B colors=C images=K". Exit code: 0 a picture came back, 1 the
// plug-in returned none, 2 usage error or no plug-in for the extension.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "message_capture.h"
#include "packed_dib.h"
#include "plugin_api.h"

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
  std::fprintf(stderr, "usage: lmx_decode [--index N] IMAGE OUT.bmp\n");
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

bool WriteBmp(const wchar_t* path, const void* dib) {
  const lmx::DibHeader h = lmx::ReadDibHeader(dib);
  const uint64_t dibBytes = lmx::kInfoHeaderSize + uint64_t{h.biClrUsed} * 4 + h.biSizeImage;
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
  const wchar_t* files[2] = {};
  int fileCount = 0;
  for (int i = 1; i < argc; ++i) {
    if (wcscmp(argv[i], L"--index") == 0 && i + 1 < argc) {
      index = wcstoul(argv[++i], nullptr, 10);
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

  lmx::MessageCapture capture;
  capture.onMessage = PrintMessage;
  DWORD images = 0;
  if (!getInfo(files[0], &images)) images = 0;
  void* dib = load(files[0], index);
  int rc = 1;
  if (dib) {
    const lmx::DibHeader h = lmx::ReadDibHeader(dib);
    std::printf("%dx%d bpp=%u colors=%u images=%lu\n", static_cast<int>(h.biWidth), static_cast<int>(h.biHeight),
                h.biBitCount, h.biClrUsed, static_cast<unsigned long>(images));
    rc = WriteBmp(files[1], dib) ? 0 : 2;
    if (rc) std::fprintf(stderr, "cannot write %ls\n", files[1]);
    LocalFree(dib);
  }
  std::fflush(stdout);
  FreeLibrary(module);
  return rc;
}
