#include "tests/tools/run_tool.h"

#include <shellapi.h>

#include <vector>

#include "tests/support/test_env.h"

namespace lmx::test {

namespace {

HANDLE InheritableFile(const std::wstring& path) {
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

std::string ReadText(const std::wstring& path) {
  const std::vector<uint8_t> bytes = ReadWholeFile(path);
  return std::string(bytes.begin(), bytes.end());
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring TestDir() {
  wchar_t self[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring dir(self, n);
  return dir.substr(0, dir.find_last_of(L"\\/") + 1);
}

ToolRun RunTool(const std::wstring& commandLine, DWORD timeoutMs) {
  ToolRun run;
  ScratchFolder scratch;
  const std::wstring outPath = scratch.Path() + L"out.txt", errPath = scratch.Path() + L"err.txt";
  HANDLE out = InheritableFile(outPath), err = InheritableFile(errPath);
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = out;
  si.hStdError = err;
  PROCESS_INFORMATION pi = {};
  std::wstring line = commandLine;
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
    if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_TIMEOUT) {
      TerminateProcess(pi.hProcess, 0xFFFFFFFF);
      WaitForSingleObject(pi.hProcess, 5000);
    } else {
      GetExitCodeProcess(pi.hProcess, &run.exitCode);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  CloseHandle(out);
  CloseHandle(err);
  run.out = ReadText(outPath);
  run.err = ReadText(errPath);
  return run;
}

ScratchFolder::ScratchFolder() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  static LONG counter = 0;
  path_ = std::wstring(temp) + L"lmx install " + std::to_wstring(GetCurrentProcessId()) + L"-" +
          std::to_wstring(InterlockedIncrement(&counter)) + L"\\";
  CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
  // SHFileOperation wants a double-terminated list.
  std::wstring from = path_.substr(0, path_.size() - 1);
  from.push_back(L'\0');
  SHFILEOPSTRUCTW op = {};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
  SHFileOperationW(&op);
}

}  // namespace lmx::test
