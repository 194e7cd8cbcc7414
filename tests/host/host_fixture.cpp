#include "tests/host/host_fixture.h"

#include "common/utils.h"
#include "plugins/common/plugin_api.h"
#include "tests/support/test_env.h"
#include "ui/registry.h"
#include "ui/settings.h"

namespace lmx::test {

std::vector<std::wstring> DeliveredPlugIns() {
  std::vector<std::wstring> paths;
  for (const wchar_t* name : {L"zlx_bmp.dll", L"zlx_gif.dll", L"zlx_pcx.dll", L"zlx_tif.dll"}) {
    paths.push_back(BinDir() + name);
  }
  return paths;
}

std::wstring FakePlugIn(const wchar_t* name) {
  // The fakes sit in tests\fakes beside bin\ of the build.
  std::wstring bin = BinDir();
  std::wstring build = bin.substr(0, bin.size() - 4);  // without "bin\"
  return build + L"tests\\fakes\\" + name + L".dll";
}

bool RegisterLibrary(const std::wstring& path, HKEY plugInsKey) {
  HMODULE module = LoadLibraryW(path.c_str());
  if (!module) return false;
  auto registerDll = reinterpret_cast<LmxRegisterDllFn>(
      reinterpret_cast<void*>(GetProcAddress(module, "LMX_RegisterDLL")));
  bool ok = registerDll && registerDll(plugInsKey);
  FreeLibrary(module);
  return ok;
}

void HostTest::SetUp() {
  lang_ = LoadBuilt(L"LumivexLangComp.dll");
  SetResourceModule(lang_);
  SetInstanceModule(GetModuleHandleW(nullptr));
  SetOwnerWindow(nullptr);
  ASSERT_TRUE(LoadSettings(&Settings()));
  ASSERT_NE(Settings().plugInKey, nullptr);
}

void HostTest::TearDown() {
  CloseKey(formatLinks_);
  CloseSettings(&Settings());
  SetResourceModule(nullptr);
  if (lang_) FreeLibrary(lang_);
}

HKEY HostTest::PlugInsKey() const { return Settings().plugInKey; }

HKEY HostTest::FormatLinksKey() {
  if (!formatLinks_) {
    HKEY app = OpenApplicationKey();
    formatLinks_ = OpenOrCreateKey(app, kFormatLinksKeyName);
    CloseKey(app);
  }
  return formatLinks_;
}

}  // namespace lmx::test
