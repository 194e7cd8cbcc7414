// A built format plug-in loaded with its exports, and the boxes it shows, as the host sees
// them under Wine. What the readers decode is tested natively (tests/plugins/FORMAT).
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "plugins/common/packed_dib.h"
#include "plugins/common/plugin_api.h"
#include "tests/support/test_env.h"
#include "tools/support/message_capture.h"

namespace lmx::test {

struct Plugin {
  HMODULE module = nullptr;
  LmxLoadGfxFileFn load = nullptr;
  LmxGetFileInfoFn getInfo = nullptr;
  LmxGetVersionFn getVersion = nullptr;
  LmxRegisterDllFn registerDll = nullptr;
  LmxUnRegisterDllFn unregisterDll = nullptr;
  LmxOpenAboutDlgFn openAbout = nullptr;
  LmxGetFileDetailsFn details = nullptr;  // optional

  explicit Plugin(const wchar_t* dll) : module(LoadBuilt(dll)) {
    if (!module) return;
    load = reinterpret_cast<LmxLoadGfxFileFn>(GetProcAddress(module, "LMX_LoadGfxFile"));
    getInfo = reinterpret_cast<LmxGetFileInfoFn>(GetProcAddress(module, "LMX_GetFileInfo"));
    getVersion = reinterpret_cast<LmxGetVersionFn>(GetProcAddress(module, "LMX_GetVersion"));
    registerDll = reinterpret_cast<LmxRegisterDllFn>(GetProcAddress(module, "LMX_RegisterDLL"));
    unregisterDll = reinterpret_cast<LmxUnRegisterDllFn>(GetProcAddress(module, "LMX_UnRegisterDLL"));
    openAbout = reinterpret_cast<LmxOpenAboutDlgFn>(GetProcAddress(module, "LMX_OpenAboutDlg"));
    details = reinterpret_cast<LmxGetFileDetailsFn>(GetProcAddress(module, "LMX_GetFileDetails"));
  }
  ~Plugin() {
    if (module) FreeLibrary(module);
  }
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;
};

// A decoded block, released with LocalFree alone as the host does.
struct Dib {
  void* block = nullptr;
  explicit Dib(void* b) : block(b) {}
  ~Dib() {
    if (block) {
      EXPECT_EQ(LocalFree(block), nullptr);
    }
  }
  Dib(const Dib&) = delete;
  Dib& operator=(const Dib&) = delete;
  explicit operator bool() const { return block != nullptr; }
  DibHeader Header() const { return ReadDibHeader(block); }
};

// The boxes shown since the last call, each as "CAPTION: TEXT"; every one has the
// exclamation icon.
inline std::vector<std::wstring> Boxes(MessageCapture& capture) {
  std::vector<std::wstring> got;
  for (const auto& m : capture.Messages()) {
    got.push_back(m.caption + L": " + m.text);
    EXPECT_EQ(m.style, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  }
  capture.Clear();
  return got;
}

constexpr const wchar_t* kNullName = L"<null>";

// A file and the boxes the plug-in shows when it loads it.
struct Shown {
  const char* what;
  std::vector<uint8_t> file;        // written to a scratch file of the plug-in's extension
  std::vector<std::wstring> boxes;  // "CAPTION: TEXT" each
  const wchar_t* path;              // instead of `file`: this path, or kNullName for none
};

// Loads each file through the plug-in and checks what it shows: the table of its messages,
// each with its caption and text.
inline void ExpectShown(const wchar_t* dll, const wchar_t* extension, const std::vector<Shown>& table) {
  Plugin plugin(dll);
  ASSERT_NE(plugin.load, nullptr);
  MessageCapture capture;
  for (const Shown& s : table) {
    SCOPED_TRACE(s.what);
    std::optional<TempFile> file;
    if (!s.path) file.emplace(s.file, extension);
    Dib dib(plugin.load(file ? file->Path() : s.path == kNullName ? nullptr : s.path, 0));
    EXPECT_EQ(Boxes(capture), s.boxes);
  }
}

}  // namespace lmx::test
