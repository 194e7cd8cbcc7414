// A clean application key with the settings loaded (GfxPlugIns open), the language
// component as the text module, and plug-ins registered as the installer registers them.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/registry_values.h"
#include "tools/support/app_key_guard.h"

namespace lmx::test {

// The four delivered plug-ins, in the build's bin folder.
std::vector<std::wstring> DeliveredPlugIns();
// A stand-in plug-in of the tests (fake_noinfo, fake_twin_a, ...).
std::wstring FakePlugIn(const wchar_t* name);
// Calls the library's LMX_RegisterDLL with `plugInsKey`; false when it cannot.
bool RegisterLibrary(const std::wstring& path, HKEY plugInsKey);

class HostTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  HKEY PlugInsKey() const;
  // FormatLinks under the application key, created for the test; closed by the fixture.
  HKEY FormatLinksKey();

 private:
  AppKeyGuard guard_;
  HMODULE lang_ = nullptr;
  HKEY formatLinks_ = nullptr;
};

}  // namespace lmx::test
