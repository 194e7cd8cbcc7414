// zlx_SetupDll.dll as the package installer sees it: three undecorated exports, and at
// removal the old associations re-pointed and the plug-in list gone.
#include <gtest/gtest.h>

#include <string>

#include "setup/setup_exports.h"
#include "tests/support/classes_key_guard.h"
#include "tests/support/registry_values.h"
#include "tests/support/test_env.h"
#include "tools/support/app_key_guard.h"
#include "tools/support/message_capture.h"

namespace {

using lmx::test::AppKeyGuard;
using lmx::test::ClassesKeyExists;
using lmx::test::ClassesKeyGuard;
using lmx::test::ClassesValue;
using lmx::test::SetClassesValue;

constexpr wchar_t kInstallDir[] = L"\\Program Files\\Zorvan Lumivex";

class SetupDllTest : public testing::Test {
 protected:
  void SetUp() override {
    setup = lmx::test::LoadBuilt(L"zlx_SetupDll.dll");
    ASSERT_NE(setup, nullptr);
    installInit = reinterpret_cast<InstallInitFn>(GetProcAddress(setup, "Install_Init"));
    installExit = reinterpret_cast<InstallExitFn>(GetProcAddress(setup, "Install_Exit"));
    uninstallInit = reinterpret_cast<UninstallInitFn>(GetProcAddress(setup, "Uninstall_Init"));
    ASSERT_NE(installInit, nullptr);
    ASSERT_NE(installExit, nullptr);
    ASSERT_NE(uninstallInit, nullptr);
  }
  void TearDown() override {
    if (setup) FreeLibrary(setup);
  }

  // Application key sub-key `path` (created) with the plug-in's usual values.
  static void MakeAppKey(const std::wstring& path) {
    HKEY app = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, (L"SOFTWARE\\Apps\\" + std::wstring(AppKeyGuard::kAppKey) + L"\\" + path).c_str(),
                              0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &app, nullptr),
              ERROR_SUCCESS);
    const std::wstring ext = path.substr(path.find_last_of(L'\\') + 1);
    RegSetValueExW(app, L"Ext", 0, REG_SZ, reinterpret_cast<const BYTE*>(ext.c_str()),
                   static_cast<DWORD>((ext.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(app);
  }
  static bool AppKeyExists(const std::wstring& path) {
    const std::wstring app = L"SOFTWARE\\Apps\\" + std::wstring(AppKeyGuard::kAppKey);
    return lmx::test::HasKey(HKEY_LOCAL_MACHINE, (path.empty() ? app : app + L"\\" + path).c_str());
  }

  HMODULE setup = nullptr;
  InstallInitFn installInit = nullptr;
  InstallExitFn installExit = nullptr;
  UninstallInitFn uninstallInit = nullptr;
};

TEST_F(SetupDllTest, InstallingAsksNothingAndTouchesNothing) {
  AppKeyGuard appKey;
  ClassesKeyGuard classes{{L".gif"}};
  lmx::MessageCapture capture;
  EXPECT_EQ(installInit(nullptr, TRUE, FALSE, kInstallDir), kInstallInitContinue);
  EXPECT_EQ(installExit(nullptr, kInstallDir, 0, 0, 0, 0, 0), kInstallExitDone);
  EXPECT_FALSE(AppKeyExists(L""));
  EXPECT_FALSE(ClassesKeyExists(L".gif"));
  EXPECT_TRUE(capture.Messages().empty());
}

TEST_F(SetupDllTest, RemovalRepointsOldClassesAndDeletesThePlugInList) {
  AppKeyGuard appKey;
  ClassesKeyGuard classes{{L".bmp", L".gif", L".pcx", L"gifimage", L"bmpimage"}};
  MakeAppKey(L"GfxPlugIns\\bmp");
  MakeAppKey(L"GfxPlugIns\\gif");
  MakeAppKey(L"GfxPlugIns\\pcx");
  MakeAppKey(L"FormatLinks\\gif");
  SetClassesValue(L".gif", nullptr, L"ZorvanLumivex(PocketPC).GIFFile");
  SetClassesValue(L".gif", L"Content Type", L"image/gifold");
  SetClassesValue(L"gifimage\\DefaultIcon", nullptr, L"\\Windows\\zlx_gif.dll,-100");
  // Tied by the association dialog: its class stays.
  SetClassesValue(L".bmp", nullptr, L"bmpimage");
  SetClassesValue(L".bmp", L"Content Type", L"image/bmp");
  SetClassesValue(L"bmpimage\\Shell\\Open\\Command", nullptr, L"\"\\Program Files\\Lumivex.exe\" %1");

  lmx::MessageCapture capture;
  EXPECT_EQ(uninstallInit(nullptr, kInstallDir), kUninstallInitContinue);

  EXPECT_EQ(ClassesValue(L".gif"), L"gifimage");
  EXPECT_EQ(ClassesValue(L".gif", L"Content Type"), L"image/gif");
  EXPECT_EQ(ClassesValue(L".bmp"), L"bmpimage");
  EXPECT_EQ(ClassesValue(L".bmp", L"Content Type"), L"image/bmp");
  EXPECT_EQ(ClassesValue(L"bmpimage\\Shell\\Open\\Command"), L"\"\\Program Files\\Lumivex.exe\" %1");
  // .pcx had no key: looking at it left an empty one.
  EXPECT_EQ(ClassesValue(L".pcx"), L"");
  EXPECT_EQ(ClassesValue(L".pcx", L"Content Type"), L"");

  EXPECT_FALSE(AppKeyExists(L"GfxPlugIns"));
  EXPECT_TRUE(AppKeyExists(L""));
  EXPECT_TRUE(AppKeyExists(L"FormatLinks\\gif"));
  EXPECT_TRUE(capture.Messages().empty());
}

TEST_F(SetupDllTest, ANameTooLongForAnExtensionDoesNotEndTheWalk) {
  AppKeyGuard appKey;
  ClassesKeyGuard classes{{L".gif", L"gifimage"}};
  // Sorted before gif, and longer than the 30 characters an extension name is read into.
  MakeAppKey(L"GfxPlugIns\\" + std::wstring(40, L'a'));
  MakeAppKey(L"GfxPlugIns\\gif");
  SetClassesValue(L".gif", nullptr, L"ZorvanLumivex(PocketPC).GIFFile");

  EXPECT_EQ(uninstallInit(nullptr, kInstallDir), kUninstallInitContinue);
  EXPECT_EQ(ClassesValue(L".gif"), L"");  // no gifimage class: pointed at nothing
  EXPECT_EQ(ClassesValue(L".gif", L"Content Type"), L"image/gif");
  EXPECT_FALSE(AppKeyExists(L"GfxPlugIns"));
}

TEST_F(SetupDllTest, WithoutTheApplicationKeyRemovalDoesNothing) {
  AppKeyGuard appKey;
  ClassesKeyGuard classes{{L".gif"}};
  SetClassesValue(L".gif", nullptr, L"ZorvanLumivex(PocketPC).GIFFile");
  EXPECT_EQ(uninstallInit(nullptr, kInstallDir), kUninstallInitContinue);
  EXPECT_FALSE(AppKeyExists(L""));
  EXPECT_EQ(ClassesValue(L".gif"), L"ZorvanLumivex(PocketPC).GIFFile");
}

TEST_F(SetupDllTest, AnEmptyPlugInListIsStillRemoved) {
  AppKeyGuard appKey;
  MakeAppKey(L"FormatLinks\\bmp");
  EXPECT_EQ(uninstallInit(nullptr, kInstallDir), kUninstallInitContinue);
  EXPECT_FALSE(AppKeyExists(L"GfxPlugIns"));
  EXPECT_TRUE(AppKeyExists(L"FormatLinks\\bmp"));
}

}  // namespace
