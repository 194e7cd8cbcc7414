#include <gtest/gtest.h>

#include <string>

#include "common/utils.h"
#include "tests/support/registry_values.h"
#include "tests/support/test_env.h"
#include "tools/support/app_key_guard.h"
#include "ui/registry.h"
#include "ui/settings.h"

namespace {

using lmx::AppSettings;
using lmx::test::AppKeyGuard;
using lmx::test::RegNumber;
using lmx::test::RegText;


class SettingsTest : public testing::Test {
 protected:
  void TearDown() override { lmx::CloseSettings(&settings); }
  AppKeyGuard guard;
  AppSettings settings;
};

TEST_F(SettingsTest, FirstRunOnACleanDeviceWritesEveryDefault) {
  ASSERT_TRUE(lmx::LoadSettings(&settings));
  EXPECT_EQ(std::wstring(settings.installDir), lmx::test::TestDir());
  EXPECT_STREQ(settings.installPlugInDir, L"");
  EXPECT_STREQ(settings.fileOpenDir, L"\\");
  EXPECT_EQ(settings.msState, 1u);
  EXPECT_EQ(settings.slState, 1u);
  EXPECT_EQ(settings.showAddToolbar, 1u);
  EXPECT_EQ(settings.showStatusbar, 1u);
  EXPECT_EQ(settings.startup, 1u);
  EXPECT_EQ(settings.toolbarAlign, 0u);
  ASSERT_NE(settings.plugInKey, nullptr);

  HKEY app = AppKeyGuard::Open();
  ASSERT_NE(app, nullptr);
  EXPECT_EQ(RegText(app, nullptr, L"InstallDir"), L"") << "the folder reaches the registry at the next save";
  EXPECT_EQ(RegText(app, nullptr, L"InstallPlugInDir"), L"");
  EXPECT_EQ(RegText(app, nullptr, L"FileOpenDir"), L"\\");
  EXPECT_EQ(RegNumber(app, nullptr, L"MSState", 0xDEAD), 1u);
  EXPECT_EQ(RegNumber(app, nullptr, L"SLState", 0xDEAD), 1u);
  EXPECT_EQ(RegNumber(app, nullptr, L"ShowAddToolbar", 0xDEAD), 1u);
  EXPECT_EQ(RegNumber(app, nullptr, L"ShowStatusbar", 0xDEAD), 1u);
  EXPECT_EQ(RegNumber(app, nullptr, L"Startup", 0xDEAD), 1u);
  EXPECT_EQ(RegNumber(app, nullptr, L"ToolbarAlign", 0xDEAD), 0u);
  HKEY plugIns = lmx::OpenPlugInsKey();
  EXPECT_NE(plugIns, nullptr) << "GfxPlugIns is created by the load";
  lmx::CloseKey(plugIns);
  EXPECT_EQ(lmx::OpenFormatLinksKey(), nullptr) << "FormatLinks is only opened, never created";

  EXPECT_TRUE(lmx::SaveSettings(&settings));
  EXPECT_EQ(RegText(app, nullptr, L"InstallDir"), lmx::test::TestDir());
  RegCloseKey(app);
}

TEST_F(SettingsTest, RepairedOnFirstRunWithInstallDirSet) {
  // The installer left only the install folder; everything else is missing or broken.
  HKEY app = lmx::OpenApplicationKey();
  ASSERT_NE(app, nullptr);
  ASSERT_TRUE(lmx::WriteRegString(app, L"InstallDir", L"\\Program Files\\Zorvan Lumivex"));
  const std::wstring tooLong(300, L'x');
  ASSERT_TRUE(lmx::WriteRegString(app, L"FileOpenDir", tooLong.c_str()));
  const BYTE binary[4] = {0, 0, 0, 0};
  ASSERT_EQ(RegSetValueExW(app, L"Startup", 0, REG_BINARY, binary, 4), ERROR_SUCCESS);

  ASSERT_TRUE(lmx::LoadSettings(&settings));
  EXPECT_STREQ(settings.installDir, L"\\Program Files\\Zorvan Lumivex");
  EXPECT_STREQ(settings.fileOpenDir, L"\\") << "an unreadable folder takes the default";
  EXPECT_EQ(settings.startup, 0u) << "another type is used as its first four bytes";
  EXPECT_EQ(RegText(app, nullptr, L"InstallDir"), L"\\Program Files\\Zorvan Lumivex");
  EXPECT_EQ(RegText(app, nullptr, L"FileOpenDir"), L"\\");
  EXPECT_EQ(RegText(app, nullptr, L"InstallPlugInDir"), L"");
  EXPECT_EQ(RegNumber(app, nullptr, L"MSState", 0xDEAD), 1u);
  EXPECT_EQ(RegNumber(app, nullptr, L"ToolbarAlign", 0xDEAD), 0u);
  RegCloseKey(app);
}

TEST_F(SettingsTest, SaveWritesTheRecordAndALaterLoadReadsItBack) {
  ASSERT_TRUE(lmx::LoadSettings(&settings));
  lmx::ToggleFlag(&settings.showStatusbar);
  lmx::SetFlag(&settings.toolbarAlign, true);
  settings.msState = 0;
  const std::wstring longest(259, L'f');
  lmx::SetFileOpenDir(&settings, longest.c_str());
  EXPECT_TRUE(lmx::SaveSettings(&settings));
  lmx::CloseSettings(&settings);

  AppSettings again;
  ASSERT_TRUE(lmx::LoadSettings(&again));
  EXPECT_EQ(again.showStatusbar, 0u);
  EXPECT_EQ(again.toolbarAlign, 1u);
  EXPECT_EQ(again.msState, 0u);
  EXPECT_EQ(std::wstring(again.fileOpenDir), longest) << "259 characters come back whole";
  lmx::CloseSettings(&again);

  const std::wstring tooLong(400, L'g');
  lmx::SetFileOpenDir(&settings, tooLong.c_str());
  EXPECT_EQ(wcslen(settings.fileOpenDir), 259u) << "cut to the field";
  lmx::SetFileOpenDir(&settings, nullptr);
  EXPECT_STREQ(settings.fileOpenDir, L"");
}

}  // namespace
