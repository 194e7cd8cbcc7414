#include "tests/tools/run_tool.h"

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

ToolRun RunTool(const std::wstring& commandLine, DWORD timeoutMs) {
  ToolRun run;
  ScratchFolder scratch(L"lmx install ");
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

}  // namespace lmx::test
