// lmx_decode: decodes pictures through the built format plug-ins into the viewer's image
// record, applies the transforms asked for in order, and writes each picture as a .bmp file,
// printing every message box the plug-in or the image core raises instead of showing it.
//
//   lmx_decode [--index N] [--transform CODE]... [--time RUNS] IMAGE OUT.bmp
//   lmx_decode [--index N] [--transform CODE]... --out DIR IMAGE...
//   lmx_decode [--index N] --info IMAGE...
//
// --time RUNS: after the picture is written, the plug-in's LMX_LoadGfxFile alone is called
// RUNS more times on IMAGE and its time printed as "LMX_LoadGfxFile: median M ms, least L ms
// of RUNS" (each block is freed at once, as the viewer frees the picture it replaces).
//
// CODE: 1 rotate clockwise, 2 counter-clockwise, 3 half turn, 4 mirror, 5 flip, 6 invert.
// One picture: prints "WIDTHxHEIGHT bpp=B colors=C images=K" of the picture written and each
// message box as "message: CAPTION: TEXT" on stderr. Exit code: 0 a picture came back, 1 the
// plug-in returned none, 2 usage error, no plug-in for the extension or the file could not be
// written, 3 a transform was refused (the picture is written as it stood).
//
// Several pictures (--out): each is written as DIR\STEM.bmp (STEM-2.bmp and so on when two
// pictures of the run share a stem); one line per picture on stdout, "IMAGE: " followed by
// the one-picture line, or by "refused", "no plug-in" or "cannot write OUT"; message boxes on
// stderr as "IMAGE: message: CAPTION: TEXT". The exit code is the worst of the pictures',
// worst first: 2, 1, 3, 0.
//
// --size WxH: the picture through the plug-in's LMX_LoadGfxFileReduced into a box of W x H,
// quietly (no message box), written as OUT.bmp; prints "WIDTHxHEIGHT bpp=B colors=C
// full=FWxFH". Exit code: 0 a picture came back, 1 none came ("refused: STATUS" is printed),
// 2 usage error, no plug-in, or a plug-in without the export. With --out DIR, every IMAGE so,
// one line a picture as for --out.
//
// --frame N: frame N (from 0) of an animation, composed, through the plug-in's LMX_OpenFrames
// and LMX_NextFrame, written as OUT.bmp; prints "WIDTHxHEIGHT bpp=24 frames=F plays=P
// delay=D". --frame all writes every frame K as OUT-K.bmp, one such line each. With --time
// RUNS the whole animation is composed RUNS more times and the time per frame printed as
// "frames: median M ms, least L ms a frame of F frames, RUNS runs". Exit code: 0 the frame came, 1
// it did not ("ended: STATUS" is printed), 2 usage error, no plug-in or no frames to read.
//
// --info: no picture is decoded; each file's details as its plug-in's LMX_GetFileDetails
// tells them, "file: IMAGE" and then one "key: value" a line, a blank line after each file.
// Exit code: 0 every file had details, 1 one had none, 2 one had no plug-in.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <cstdio>
#include <cwchar>
#include <string>

#include <vector>

#include "picture/gfx_image.h"
#include "tools/support/message_capture.h"
#include "plugins/common/animation_frames.h"
#include "plugins/common/packed_dib.h"
#include "plugins/common/plugin_api.h"
#include "common/utils.h"

namespace {

// Extensions as the viewer cuts them, and the plug-in each goes to: every format of the build
// (LUMIVEX_FORMATS) to zlx_FORMAT.dll, with its more extensions (.jpeg and .jpe are cut to
// "jpe"), written out by tools/decode/CMakeLists.txt.
struct Format {
  const wchar_t* ext;
  const wchar_t* plugIn;
};
constexpr Format kFormats[] = {LMX_DECODE_PLUGINS};

enum DecodeStatus { kDecoded = 0, kRefused = 1, kUnusable = 2, kTransformRefused = 3 };

// Worst first: nothing usable, no picture, a picture left untransformed, a picture.
int Severity(int status) {
  switch (status) {
    case kUnusable: return 3;
    case kRefused: return 2;
    case kTransformRefused: return 1;
    default: return 0;
  }
}

std::wstring gMessagePrefix;

void PrintMessage(const lmx::CapturedMessage& m) {
  std::string text = lmx::ToUtf8(m.text), escaped;
  for (char c : text) {
    if (c == '\n') escaped += "\\n";
    else if (c != '\r') escaped += c;
  }
  std::fprintf(stderr, "%smessage: %s: %s\n", lmx::ToUtf8(gMessagePrefix).c_str(),
               lmx::ToUtf8(m.caption).c_str(), escaped.c_str());
}

int Usage() {
  std::fprintf(stderr,
               "usage: lmx_decode [--index N] [--transform CODE]... [--time RUNS] IMAGE OUT.bmp\n"
               "       lmx_decode [--index N] [--transform CODE]... --out DIR IMAGE...\n"
               "       lmx_decode [--index N] --info IMAGE...\n"
               "       lmx_decode [--index N] --size WxH IMAGE OUT.bmp\n"
               "       lmx_decode [--index N] --size WxH --out DIR IMAGE...\n"
               "       lmx_decode --frame N|all [--time RUNS] IMAGE OUT.bmp\n");
  return kUnusable;
}

// The plug-in for a path: the text after the last ".", cut to 3 characters, without case.
std::wstring PluginFor(const wchar_t* path) {
  const wchar_t* dot = wcsrchr(path, L'.');
  if (!dot) return {};
  std::wstring ext(dot + 1, wcsnlen(dot + 1, 3));
  for (const Format& f : kFormats) {
    if (_wcsicmp(ext.c_str(), f.ext) == 0) return f.plugIn;
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
  const uint64_t pixelOffset = lmx::kInfoHeaderSize + lmx::DibMaskBytes(h) + uint64_t{h.biClrUsed} * 4;
  const uint64_t dibBytes = std::min<uint64_t>(pixelOffset + h.biSizeImage, blockBytes);
  const uint32_t offBits = static_cast<uint32_t>(14 + pixelOffset);
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

struct Frames {
  LmxOpenFramesFn open = nullptr;
  LmxNextFrameFn next = nullptr;
  LmxCloseFramesFn close = nullptr;
  bool Bound() const { return open && next && close; }
};

// The plug-ins a run has loaded, each once, unloaded when the run ends.
class PlugIns {
 public:
  PlugIns() = default;
  PlugIns(const PlugIns&) = delete;
  PlugIns& operator=(const PlugIns&) = delete;
  ~PlugIns() {
    for (auto& p : loaded_) FreeLibrary(p.module);
  }

  // The bound plug-in for IMAGE's extension, or null after printing why there is none.
  lmx::BoundPlugIn* For(const wchar_t* image) {
    const std::wstring name = PluginFor(image);
    for (auto& p : loaded_) {
      if (p.name == name) return p.bound.get();
    }
    HMODULE module = name.empty() ? nullptr : LoadLibraryW(BesideThisProgram(name).c_str());
    if (!module) return nullptr;
    auto getInfo = reinterpret_cast<LmxGetFileInfoFn>(GetProcAddress(module, "LMX_GetFileInfo"));
    auto load = reinterpret_cast<LmxLoadGfxFileFn>(GetProcAddress(module, "LMX_LoadGfxFile"));
    auto details = reinterpret_cast<LmxGetFileDetailsFn>(GetProcAddress(module, "LMX_GetFileDetails"));
    auto reduced = reinterpret_cast<LmxLoadGfxFileReducedFn>(GetProcAddress(module, "LMX_LoadGfxFileReduced"));
    const Frames frames{reinterpret_cast<LmxOpenFramesFn>(GetProcAddress(module, "LMX_OpenFrames")),
                        reinterpret_cast<LmxNextFrameFn>(GetProcAddress(module, "LMX_NextFrame")),
                        reinterpret_cast<LmxCloseFramesFn>(GetProcAddress(module, "LMX_CloseFrames"))};
    if (!getInfo || !load) {
      std::fprintf(stderr, "%ls lacks its exports\n", name.c_str());
      FreeLibrary(module);
      return nullptr;
    }
    loaded_.push_back({name, module, std::make_unique<lmx::BoundPlugIn>(getInfo, load), details, reduced, frames});
    return loaded_.back().bound.get();
  }

  // The details export of IMAGE's plug-in, or null without one.
  LmxGetFileDetailsFn DetailsFor(const wchar_t* image) {
    if (!For(image)) return nullptr;
    const std::wstring name = PluginFor(image);
    for (auto& p : loaded_) {
      if (p.name == name) return p.details;
    }
    return nullptr;
  }

  // The frame exports of IMAGE's plug-in; null ones without them.
  Frames FramesFor(const wchar_t* image) {
    if (!For(image)) return {};
    const std::wstring name = PluginFor(image);
    for (auto& p : loaded_) {
      if (p.name == name) return p.frames;
    }
    return {};
  }

  // The reduced decoding export of IMAGE's plug-in, or null without one.
  LmxLoadGfxFileReducedFn ReducedFor(const wchar_t* image) {
    if (!For(image)) return nullptr;
    const std::wstring name = PluginFor(image);
    for (auto& p : loaded_) {
      if (p.name == name) return p.reduced;
    }
    return nullptr;
  }

 private:
  struct Loaded {
    std::wstring name;
    HMODULE module;
    std::unique_ptr<lmx::BoundPlugIn> bound;
    LmxGetFileDetailsFn details;      // optional
    LmxLoadGfxFileReducedFn reduced;  // optional
    Frames frames;                    // optional
  };
  std::vector<Loaded> loaded_;
};

struct Request {
  DWORD index = 0;
  std::vector<int> transforms;
  int timedRuns = 0;
};

// Decodes IMAGE into OUT; SUMMARY gets the picture's line or why there is none.
int DecodeOne(PlugIns& plugIns, const Request& request, const wchar_t* image, const wchar_t* out,
              std::string& summary) {
  lmx::BoundPlugIn* source = plugIns.For(image);
  if (!source) {
    summary = "no plug-in";
    return kUnusable;
  }
  lmx::GfxImage* picture = lmx::GfxImage_Create(source, image);
  picture->imageIndex = request.index;
  int rc = kRefused;
  summary = "refused";
  if (lmx::GfxImage_Load(picture)) {
    rc = kDecoded;
    for (int code : request.transforms) {
      if (!lmx::GfxImage_Apply(picture, code)) rc = kTransformRefused;
    }
    const lmx::DibHeader h = lmx::ReadDibHeader(picture->dib);
    char line[96];
    std::snprintf(line, sizeof line, "%dx%d bpp=%u colors=%u images=%lu", static_cast<int>(h.biWidth),
                  static_cast<int>(h.biHeight), h.biBitCount, h.biClrUsed,
                  static_cast<unsigned long>(picture->imageCount));
    summary = line;
    if (!WriteBmp(out, picture->dib, picture->dibBytes)) {
      summary = "cannot write " + lmx::ToUtf8(out);
      rc = kUnusable;
    }
  }
  lmx::GfxImage_Destroy(picture);
  return rc;
}

// Times the plug-in's decoding of IMAGE alone, as the viewer's load calls it.
void TimeLoads(PlugIns& plugIns, const Request& request, const wchar_t* image) {
  lmx::BoundPlugIn* source = plugIns.For(image);
  if (!source || request.timedRuns <= 0) return;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  std::vector<double> ms;
  for (int i = 0; i < request.timedRuns; ++i) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    void* block = source->LoadPicture(image, request.index);
    QueryPerformanceCounter(&end);
    if (block) LocalFree(block);
    ms.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                 static_cast<double>(frequency.QuadPart));
  }
  std::sort(ms.begin(), ms.end());
  std::printf("LMX_LoadGfxFile: median %.1f ms, least %.1f ms of %d\n", ms[ms.size() / 2], ms.front(),
              request.timedRuns);
}

// Prints IMAGE's details as its plug-in tells them, without decoding the picture.
int PrintDetails(PlugIns& plugIns, DWORD index, const wchar_t* image) {
  std::printf("file: %s\n", lmx::ToUtf8(image).c_str());
  LmxGetFileDetailsFn details = plugIns.DetailsFor(image);
  if (!details) {
    std::printf("%s\n\n", PluginFor(image).empty() ? "no plug-in" : "no details");
    return PluginFor(image).empty() ? kUnusable : kRefused;
  }
  std::wstring text(1 << 16, L'\0');
  const DWORD needed = details(image, index, &text[0], static_cast<DWORD>(text.size()));
  text.resize(wcslen(text.c_str()));
  std::string out = lmx::ToUtf8(text.c_str());
  for (size_t tab; (tab = out.find('\t')) != std::string::npos;) out.replace(tab, 1, ": ");
  std::printf("%s\n", out.c_str());
  return needed ? kDecoded : kRefused;
}

const char* StatusName(DWORD status) {
  static const char* const kNames[] = {"shown",  "damaged",   "cannot open", "not this format",
                                       "broken", "too large", "out of memory", "unsupported"};
  return status < sizeof kNames / sizeof kNames[0] ? kNames[status] : "unknown";
}

// Decodes IMAGE through its plug-in's reduced export into a box of width x height, quietly,
// into OUT; SUMMARY gets the picture's line or why there is none.
int DecodeReduced(PlugIns& plugIns, DWORD index, DWORD width, DWORD height, const wchar_t* image,
                  const wchar_t* out, std::string& summary) {
  LmxLoadGfxFileReducedFn reduced = plugIns.ReducedFor(image);
  if (!reduced) {
    summary = PluginFor(image).empty() ? "no plug-in" : "the plug-in has no reduced decode";
    return kUnusable;
  }
  DWORD fullWidth = 0, fullHeight = 0, status = 0;
  void* block = reduced(image, index, width, height, lmx::kReducedQuiet, &fullWidth, &fullHeight, &status);
  if (!block) {
    summary = std::string("refused: ") + StatusName(status);
    return kRefused;
  }
  const lmx::DibHeader h = lmx::ReadDibHeader(block);
  char line[128];
  std::snprintf(line, sizeof line, "%dx%d bpp=%u colors=%u full=%lux%lu%s", static_cast<int>(h.biWidth),
                static_cast<int>(h.biHeight), h.biBitCount, h.biClrUsed, static_cast<unsigned long>(fullWidth),
                static_cast<unsigned long>(fullHeight), status == lmx::kReducedDamaged ? " damaged" : "");
  summary = line;
  const bool written = WriteBmp(out, block, LocalSize(block));
  LocalFree(block);
  if (!written) summary = "cannot write " + lmx::ToUtf8(out);
  return written ? kDecoded : kUnusable;
}

const char* FrameStatusName(DWORD status) {
  static const char* const kNames[] = {"shown", "end", "damaged", "out of memory"};
  return status < sizeof kNames / sizeof kNames[0] ? kNames[status] : "unknown";
}

double Milliseconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Composes the frames of IMAGE up to frame `wanted` (all of them when negative) and writes the
// wanted one to OUT, or each to OUT-K.bmp; then, with `timedRuns`, times the whole animation.
int DecodeFrames(PlugIns& plugIns, long wanted, int timedRuns, const wchar_t* image, const wchar_t* out) {
  const Frames frames = plugIns.FramesFor(image);
  if (!frames.Bound()) {
    std::fprintf(stderr, "%s\n", PluginFor(image).empty() ? "no plug-in" : "the plug-in has no frames");
    return kUnusable;
  }
  DWORD width = 0, height = 0, count = 0, plays = 0;
  void* handle = frames.open(image, &width, &height, &count, &plays);
  if (!handle) {
    std::fprintf(stderr, "no frames to read\n");
    return kUnusable;
  }
  int rc = kDecoded;
  std::wstring stem(out);
  if (stem.size() > 4 && _wcsicmp(stem.c_str() + stem.size() - 4, L".bmp") == 0) stem.resize(stem.size() - 4);
  for (long k = 0; wanted < 0 || k <= wanted; ++k) {
    DWORD delay = 0, status = 0;
    void* block = frames.next(handle, &delay, &status);
    if (!block) {
      if (wanted >= 0 || k == 0 || status != lmx::kFrameEnd) {
        std::printf("ended: %s\n", FrameStatusName(status));
        rc = kRefused;
      }
      break;
    }
    if (wanted < 0 || k == wanted) {
      const std::wstring path = wanted < 0 ? stem + L"-" + std::to_wstring(k) + L".bmp" : std::wstring(out);
      const lmx::DibHeader h = lmx::ReadDibHeader(block);
      std::printf("%dx%d bpp=%u frames=%lu plays=%lu delay=%lu\n", static_cast<int>(h.biWidth),
                  static_cast<int>(h.biHeight), h.biBitCount, static_cast<unsigned long>(count),
                  static_cast<unsigned long>(plays), static_cast<unsigned long>(delay));
      if (!WriteBmp(path.c_str(), block, LocalSize(block))) {
        std::fprintf(stderr, "cannot write %s\n", lmx::ToUtf8(path.c_str()).c_str());
        rc = kUnusable;
      }
    }
    LocalFree(block);
  }
  frames.close(handle);
  if (rc != kDecoded || timedRuns <= 0) return rc;

  std::vector<double> ms;
  unsigned long composed = 0;
  for (int run = 0; run < timedRuns; ++run) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    handle = frames.open(image, nullptr, nullptr, nullptr, nullptr);
    composed = 0;
    for (DWORD delay = 0, status = 0; void* block = handle ? frames.next(handle, &delay, &status) : nullptr;) {
      LocalFree(block);
      ++composed;
    }
    if (handle) frames.close(handle);
    QueryPerformanceCounter(&end);
    ms.push_back(composed ? Milliseconds(start, end) / composed : 0.0);
  }
  std::sort(ms.begin(), ms.end());
  std::printf("frames: median %.3f ms, least %.3f ms a frame of %lu frames, %d runs\n", ms[ms.size() / 2], ms.front(),
              composed, timedRuns);
  return rc;
}

// DIR\STEM.bmp, with -2, -3 ... after a stem this run has already written.
std::wstring OutputFor(const std::wstring& dir, const wchar_t* image, std::vector<std::wstring>& taken) {
  std::wstring name(image);
  name = name.substr(name.find_last_of(L"\\/") + 1);
  const size_t dot = name.find_last_of(L'.');
  if (dot != std::wstring::npos && dot > 0) name.resize(dot);
  std::wstring candidate = name;
  for (int n = 2; std::any_of(taken.begin(), taken.end(),
                              [&](const std::wstring& t) { return _wcsicmp(t.c_str(), candidate.c_str()) == 0; });
       ++n) {
    candidate = name + L"-" + std::to_wstring(n);
  }
  taken.push_back(candidate);
  std::wstring path = dir;
  if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
  return path + candidate + L".bmp";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Request request;
  const wchar_t* outDir = nullptr;
  bool info = false;
  DWORD boxWidth = 0, boxHeight = 0;
  long frame = -2;  // -1: every frame
  std::vector<const wchar_t*> files;
  for (int i = 1; i < argc; ++i) {
    if (wcscmp(argv[i], L"--index") == 0 && i + 1 < argc) {
      request.index = wcstoul(argv[++i], nullptr, 10);
    } else if (wcscmp(argv[i], L"--transform") == 0 && i + 1 < argc) {
      wchar_t* end = nullptr;
      const unsigned long code = wcstoul(argv[++i], &end, 10);
      if (*end || code < 1 || code > 6) return Usage();
      request.transforms.push_back(static_cast<int>(code));
    } else if (wcscmp(argv[i], L"--time") == 0 && i + 1 < argc) {
      wchar_t* end = nullptr;
      const unsigned long runs = wcstoul(argv[++i], &end, 10);
      if (*end || runs < 1 || runs > 1000) return Usage();
      request.timedRuns = static_cast<int>(runs);
    } else if (wcscmp(argv[i], L"--size") == 0 && i + 1 < argc) {
      if (swscanf(argv[++i], L"%lux%lu", &boxWidth, &boxHeight) != 2 || !boxWidth || !boxHeight) return Usage();
    } else if (wcscmp(argv[i], L"--frame") == 0 && i + 1 < argc) {
      wchar_t* end = nullptr;
      ++i;
      frame = wcscmp(argv[i], L"all") == 0 ? -1 : static_cast<long>(wcstoul(argv[i], &end, 10));
      if (frame != -1 && (*end || !*argv[i] || frame < 0)) return Usage();
    } else if (wcscmp(argv[i], L"--info") == 0) {
      info = true;
    } else if (wcscmp(argv[i], L"--out") == 0 && i + 1 < argc) {
      outDir = argv[++i];
    } else {
      files.push_back(argv[i]);
    }
  }
  const bool sized = boxWidth != 0;
  const bool framed = frame != -2;
  const bool misused = framed ? sized || info || outDir || !request.transforms.empty() || files.size() != 2
                       : sized  ? info || request.timedRuns || !request.transforms.empty() ||
                                  (outDir ? files.empty() : files.size() != 2)
                       : info ? files.empty() || outDir || request.timedRuns || !request.transforms.empty()
                       : outDir ? files.empty() || request.timedRuns
                                : files.size() != 2;
  if (misused) return Usage();

  // The image core's messages come from the language component, as in the viewer.
  HMODULE lang = LoadLibraryW(BesideThisProgram(L"LumivexLangComp.dll").c_str());
  lmx::SetResourceModule(lang);
  lmx::SetInstanceModule(GetModuleHandleW(nullptr));

  int worst = kDecoded;
  {
    PlugIns plugIns;
    lmx::MessageCapture capture;
    capture.onMessage = PrintMessage;
    std::string summary;
    if (framed) {
      worst = DecodeFrames(plugIns, frame, request.timedRuns, files[0], files[1]);
    } else if (sized && !outDir) {
      worst = DecodeReduced(plugIns, request.index, boxWidth, boxHeight, files[0], files[1], summary);
      if (worst == kUnusable) std::fprintf(stderr, "%s\n", summary.c_str());
      else std::printf("%s\n", summary.c_str());
    } else if (info) {
      for (const wchar_t* image : files) {
        const int rc = PrintDetails(plugIns, request.index, image);
        if (Severity(rc) > Severity(worst)) worst = rc;
      }
    } else if (!outDir) {
      worst = DecodeOne(plugIns, request, files[0], files[1], summary);
      if (worst == kDecoded || worst == kTransformRefused) std::printf("%s\n", summary.c_str());
      if (worst == kDecoded) TimeLoads(plugIns, request, files[0]);
      else if (summary == "no plug-in") std::fprintf(stderr, "no plug-in for %ls\n", files[0]);
      else if (summary.rfind("cannot write ", 0) == 0) std::fprintf(stderr, "%s\n", summary.c_str());
    } else {
      std::vector<std::wstring> taken;
      for (const wchar_t* image : files) {
        gMessagePrefix = std::wstring(image) + L": ";
        const std::wstring out = OutputFor(outDir, image, taken);
        const int rc = sized ? DecodeReduced(plugIns, request.index, boxWidth, boxHeight, image, out.c_str(), summary)
                             : DecodeOne(plugIns, request, image, out.c_str(), summary);
        std::printf("%s: %s\n", lmx::ToUtf8(image).c_str(), summary.c_str());
        std::fflush(stdout);
        if (Severity(rc) > Severity(worst)) worst = rc;
      }
    }
    std::fflush(stdout);
  }
  if (lang) FreeLibrary(lang);
  return worst;
}
