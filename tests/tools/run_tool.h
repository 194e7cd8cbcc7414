// Runs one of the built command-line tools and collects what it printed.
#pragma once

#include <windows.h>

#include <string>

namespace lmx::test {

struct ToolRun {
  DWORD exitCode = 0xFFFFFFFF;  // also when the tool could not be started or did not end
  std::string out;
  std::string err;
};

// `commandLine` holds the program and its arguments, quoted as needed; waits at most
// `timeoutMs` (the tool is ended after that).
ToolRun RunTool(const std::wstring& commandLine, DWORD timeoutMs = 120000);

std::string ReadText(const std::wstring& path);
std::wstring Quoted(const std::wstring& text);

}  // namespace lmx::test
