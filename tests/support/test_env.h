// Where tests find the built deliverables, the shared corpus and scratch files.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lmx::test {

std::wstring BinDir();     // the built DLLs and tools, ending in "\"
std::wstring CorpusDir();  // the shared corpus of real files, ending in "\"

// Loads a built deliverable by file name; fails the test when it cannot.
HMODULE LoadBuilt(const wchar_t* fileName);

std::vector<uint8_t> ReadWholeFile(const std::wstring& path);

// A file in a fresh scratch folder, removed with the object.
class TempFile {
 public:
  explicit TempFile(const std::vector<uint8_t>& bytes, const wchar_t* extension = L".bmp");
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const wchar_t* Path() const { return path_.c_str(); }

 private:
  std::wstring path_;
};

// A registry key made for one test under HKEY_CURRENT_USER, deleted with all it holds.
class ScratchKey {
 public:
  ScratchKey();
  ~ScratchKey();
  ScratchKey(const ScratchKey&) = delete;
  ScratchKey& operator=(const ScratchKey&) = delete;
  HKEY Get() const { return key_; }

 private:
  std::wstring name_;
  HKEY key_ = nullptr;
};

}  // namespace lmx::test
