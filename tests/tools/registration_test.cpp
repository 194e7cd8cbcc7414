// lmx_install on the test prefix's real application key: every plug-in given writes its own
// subkey through LMX_RegisterDLL, the install folders are recorded, a second run changes
// nothing, and libraries that are missing or are not plug-ins are reported.
#include <gtest/gtest.h>

#include <windows.h>

#include <iterator>
#include <string>

#include "tests/tools/run_tool.h"
#include "tests/support/registry_values.h"
#include "tests/support/test_env.h"
#include "tools/support/app_key_guard.h"

namespace lmx::test {
namespace {

constexpr const wchar_t* kPlugIns[] = {L"zlx_bmp.dll", L"zlx_pcx.dll", L"zlx_gif.dll", L"zlx_tif.dll",
                                       L"zlx_jpg.dll", L"zlx_png.dll", L"zlx_webp.dll"};
constexpr const wchar_t* kExtensions[] = {L"bmp", L"pcx", L"gif", L"tif", L"jpg", L"png", L"webp"};
constexpr wchar_t kFolder[] = L"C:\\Program Files\\Zorvan Lumivex";

// Every key, value name, type and data under `key`, in enumeration order.
std::wstring Dump(HKEY key, const std::wstring& indent = L"") {
  std::wstring out;
  for (DWORD i = 0;; ++i) {
    wchar_t name[300];
    DWORD chars = 300, type = 0, bytes = 0;
    BYTE data[2048];
    bytes = sizeof data;
    if (RegEnumValueW(key, i, name, &chars, nullptr, &type, data, &bytes) != ERROR_SUCCESS) break;
    out += indent + name + L" " + std::to_wstring(type) + L" ";
    for (DWORD b = 0; b < bytes; ++b) out += std::to_wstring(data[b]) + L",";
    out += L"\n";
  }
  for (DWORD i = 0;; ++i) {
    wchar_t name[300];
    DWORD chars = 300;
    if (RegEnumKeyExW(key, i, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    HKEY sub = nullptr;
    out += indent + L"[" + name + L"]\n";
    if (RegOpenKeyExW(key, name, 0, KEY_READ, &sub) == ERROR_SUCCESS) {
      out += Dump(sub, indent + L"  ");
      RegCloseKey(sub);
    }
  }
  return out;
}

std::wstring DumpAppKey() {
  HKEY app = AppKeyGuard::Open();
  if (!app) return L"<no application key>";
  std::wstring d = Dump(app);
  RegCloseKey(app);
  return d;
}

class RegistrationTest : public ::testing::Test {
 protected:
  ToolRun Install(const std::wstring& arguments) {
    return RunTool(Quoted(BinDir() + L"lmx_install.exe") + L" " + arguments);
  }

  std::wstring AllPlugIns() const {
    std::wstring args;
    for (const wchar_t* p : kPlugIns) args += L" " + Quoted(BinDir() + p);
    return args;
  }

  AppKeyGuard guard_;
};

TEST_F(RegistrationTest, RegistersEveryPlugInAndTheFolders) {
  const ToolRun run = Install(L"--dir " + Quoted(kFolder) + AllPlugIns());
  ASSERT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_NE(run.out.find("registered bmp: BMP - Bitmap File Format ("), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("registered tif: TIFF - Tag Image File Format ("), std::string::npos) << run.out;

  HKEY app = AppKeyGuard::Open();
  ASSERT_NE(app, nullptr);
  EXPECT_EQ(RegText(app, nullptr, L"InstallDir"), std::wstring(kFolder) + L"\\");
  EXPECT_EQ(RegText(app, nullptr, L"InstallPlugInDir"), std::wstring(kFolder) + L"\\");
  for (size_t i = 0; i < std::size(kPlugIns); ++i) {
    const std::wstring subkey = std::wstring(L"GfxPlugIns\\") + kExtensions[i];
    EXPECT_EQ(RegText(app, subkey.c_str(), L"Ext"), kExtensions[i]);
    // The plug-in names the library it was loaded from.
    EXPECT_EQ(lstrcmpiW(RegText(app, subkey.c_str(), L"Component").c_str(), (BinDir() + kPlugIns[i]).c_str()), 0)
        << subkey;
  }
  RegCloseKey(app);
}

TEST_F(RegistrationTest, InstallingTwiceChangesNothing) {
  ASSERT_EQ(Install(L"--dir " + Quoted(kFolder) + AllPlugIns()).exitCode, 0u);
  const std::wstring first = DumpAppKey();
  ASSERT_EQ(Install(L"--dir " + Quoted(kFolder) + AllPlugIns()).exitCode, 0u);
  EXPECT_EQ(DumpAppKey(), first);
  EXPECT_NE(first.find(L"[GfxPlugIns]"), std::wstring::npos);
}

TEST_F(RegistrationTest, KeepsTheSettingsAlreadyThere) {
  HKEY app = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Apps\\Zorvan Lumivex (Pocket PC)", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &app, nullptr),
            ERROR_SUCCESS);
  const DWORD zero = 0;
  RegSetValueExW(app, L"Startup", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), sizeof zero);
  RegCloseKey(app);

  ASSERT_EQ(Install(L"--dir " + Quoted(std::wstring(kFolder) + L"\\\\")).exitCode, 0u);
  app = AppKeyGuard::Open();
  ASSERT_NE(app, nullptr);
  EXPECT_EQ(RegNumber(app, nullptr, L"Startup", 7), 0u);
  // Trailing backslashes fold into one.
  EXPECT_EQ(RegText(app, nullptr, L"InstallDir"), std::wstring(kFolder) + L"\\");
  // The plug-in key exists even with no plug-in given.
  EXPECT_TRUE(HasKey(app, L"GfxPlugIns"));
  RegCloseKey(app);
}

TEST_F(RegistrationTest, ReportsLibrariesThatAreMissingOrNoPlugIns) {
  const ToolRun run = Install(L"--dir " + Quoted(kFolder) + L" " + Quoted(BinDir() + L"zlx_none.dll") + L" " +
                              Quoted(BinDir() + L"aygshell.dll") + L" " + Quoted(BinDir() + L"zlx_gif.dll"));
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_NE(run.err.find("cannot load"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("aygshell.dll is not a format plug-in"), std::string::npos) << run.err;
  // The good one after the bad ones is registered all the same.
  EXPECT_NE(run.out.find("registered gif: "), std::string::npos) << run.out;
  HKEY app = AppKeyGuard::Open();
  ASSERT_NE(app, nullptr);
  EXPECT_EQ(RegText(app, L"GfxPlugIns\\gif", L"Ext"), L"gif");
  RegCloseKey(app);
}

TEST_F(RegistrationTest, NeedsTheFolder) {
  EXPECT_EQ(Install(AllPlugIns()).exitCode, 2u);
  EXPECT_EQ(Install(L"--dir").exitCode, 2u);
  EXPECT_EQ(DumpAppKey(), L"<no application key>");
}

TEST_F(RegistrationTest, UninstallRemovesThePlugInListAndKeepsTheSettings) {
  // Only the BMP plug-in: the removal re-points the links of every listed extension, and
  // every prefix already links .bmp to something of its own.
  ASSERT_EQ(Install(L"--dir " + Quoted(kFolder) + L" " + Quoted(BinDir() + L"zlx_bmp.dll")).exitCode, 0u);
  const ToolRun run = Install(L"--dir " + Quoted(kFolder) + L" --uninstall " + Quoted(BinDir() + L"zlx_SetupDll.dll"));
  ASSERT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(run.out, "Uninstall_Init returned 0\n");
  EXPECT_EQ(run.err, "");
  HKEY app = AppKeyGuard::Open();
  ASSERT_NE(app, nullptr);
  EXPECT_FALSE(HasKey(app, L"GfxPlugIns"));
  EXPECT_EQ(RegText(app, nullptr, L"InstallDir"), std::wstring(kFolder) + L"\\");
  RegCloseKey(app);
}

TEST_F(RegistrationTest, UninstallReportsALibraryWithoutTheEntry) {
  const ToolRun run = Install(L"--dir " + Quoted(kFolder) + L" --uninstall " + Quoted(BinDir() + L"zlx_gif.dll"));
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_NE(run.err.find("has no Uninstall_Init"), std::string::npos) << run.err;
  // Registering and removing are not mixed in one run.
  EXPECT_EQ(Install(L"--dir " + Quoted(kFolder) + L" --uninstall " + Quoted(BinDir() + L"zlx_gif.dll") + L" " +
                    Quoted(BinDir() + L"zlx_bmp.dll"))
                .exitCode,
            2u);
}

}  // namespace
}  // namespace lmx::test
