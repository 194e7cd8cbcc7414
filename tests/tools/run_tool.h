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

// A fresh folder under the temporary folder, removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  // The folder, ending in "\".
  const std::wstring& Path() const { return path_; }

 private:
  std::wstring path_;
};

std::string ReadText(const std::wstring& path);
std::wstring Quoted(const std::wstring& text);
// The folder of this test program, ending in "\".
std::wstring TestDir();

}  // namespace lmx::test
