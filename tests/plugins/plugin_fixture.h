// A built format plug-in loaded with its six exports, and the boxes it raises captured.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "plugins/common/packed_dib.h"
#include "plugins/common/plugin_api.h"
#include "tests/support/test_bytes.h"
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

// A test of one plug-in that loads files of its extension and reads back the boxes it
// raised, each as "CAPTION: TEXT" and all with the exclamation icon.
class PluginTest : public testing::Test {
 protected:
  PluginTest(const wchar_t* dll, const wchar_t* extension) : plugin(dll), extension_(extension) {}

  void* Load(const std::vector<uint8_t>& bytes) {
    TempFile file(bytes, extension_);
    return plugin.load(file.Path(), 0);
  }
  std::vector<std::wstring> Boxes() {
    std::vector<std::wstring> got;
    for (const auto& m : capture.Messages()) {
      got.push_back(m.caption + L": " + m.text);
      EXPECT_EQ(m.style, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    }
    capture.Clear();
    return got;
  }

  Plugin plugin;
  MessageCapture capture;

 private:
  const wchar_t* extension_;
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
  const uint8_t* Bytes() const { return static_cast<const uint8_t*>(block); }
  const RgbQuad* Colors() const { return reinterpret_cast<const RgbQuad*>(Bytes() + kInfoHeaderSize); }
  const uint8_t* Pixels() const { return Bytes() + kInfoHeaderSize + DibMaskBytes(Header()) + Header().biClrUsed * 4; }
  const uint8_t* Row(int y) const {
    DibHeader h = Header();
    return Pixels() + y * DibStride(h.biWidth, h.biBitCount);
  }
};

// The boxes a plug-in raised, in order: each with `caption` and the exclamation icon.
inline void ExpectPluginMessages(const MessageCapture& capture, const wchar_t* caption,
                                 std::initializer_list<const wchar_t*> texts) {
  std::vector<std::wstring> got;
  for (const auto& m : capture.Messages()) {
    got.push_back(m.text);
    EXPECT_EQ(m.caption, caption);
    EXPECT_EQ(m.style, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  }
  EXPECT_EQ(got, std::vector<std::wstring>(texts.begin(), texts.end()));
}

inline void Append(std::vector<uint8_t>& b, std::initializer_list<uint8_t> bytes) {
  b.insert(b.end(), bytes.begin(), bytes.end());
}

}  // namespace lmx::test
