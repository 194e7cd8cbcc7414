// The shell of the machine opens a file through the entries the association routines write.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "assoc/file_associations.h"
#include "tests/support/classes_key_guard.h"
#include "tests/support/test_env.h"
#include "tools/support/message_capture.h"

namespace {

using lmx::test::ClassesKeyGuard;

std::wstring TestsDir() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir = path;
  return dir.substr(0, dir.find_last_of(L'\\') + 1);
}

std::wstring ReadUtf16File(const std::wstring& path) {
  const std::vector<uint8_t> bytes = lmx::test::ReadWholeFile(path);
  return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

TEST(ShellOpen, OpensAFileOfTheAssociatedTypeWithTheProgram) {
  ClassesKeyGuard guard{{L".lmq", L"lmqimage"}};
  const std::wstring standIn = TestsDir() + L"assoc_standin.exe";
  ASSERT_NE(GetFileAttributesW(standIn.c_str()), INVALID_FILE_ATTRIBUTES);
  ASSERT_TRUE(lmx::WriteExtLink(L"lmq", L"lmqimage", L"lmq"));
  ASSERT_TRUE(lmx::WriteLinkClassForProgram(nullptr, standIn.c_str(), L"C:\\zlx_lmq.dll", L"lmq"));

  lmx::test::TempFile picture({'L', 'M', 'Q'}, L".lmq");
  lmx::test::TempFile seen({}, L".txt");
  DeleteFileW(seen.Path());
  SetEnvironmentVariableW(L"LMX_STANDIN_OUT", seen.Path());

  SHELLEXECUTEINFOW run{};
  run.cbSize = sizeof(run);
  run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  run.lpVerb = L"open";
  run.lpFile = picture.Path();
  run.nShow = SW_SHOWNORMAL;
  ASSERT_TRUE(ShellExecuteExW(&run)) << GetLastError();
  ASSERT_NE(run.hProcess, nullptr);
  EXPECT_EQ(WaitForSingleObject(run.hProcess, 30000), WAIT_OBJECT_0);
  DWORD code = 99;
  GetExitCodeProcess(run.hProcess, &code);
  CloseHandle(run.hProcess);
  EXPECT_EQ(code, 0u);

  const std::wstring commandLine = ReadUtf16File(seen.Path());
  EXPECT_NE(commandLine.find(L"assoc_standin.exe"), std::wstring::npos) << lmx::ToUtf8(commandLine);
  EXPECT_NE(commandLine.find(picture.Path()), std::wstring::npos) << lmx::ToUtf8(commandLine);
}

}  // namespace
