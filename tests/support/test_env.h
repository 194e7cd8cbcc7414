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
// This test program's path, and its folder ending in "\".
std::wstring TestProgram();
std::wstring TestDir();

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

// A fresh folder, `stem` and a number its name, in `parent` (the temporary folder when
// empty); removed with all it holds, as is what a run that did not end left in its place.
class ScratchFolder {
 public:
  explicit ScratchFolder(const wchar_t* stem = L"lmx_", const std::wstring& parent = L"");
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::wstring& Path() const { return path_; }  // ending in "\"
  std::wstring operator/(const std::wstring& name) const { return path_ + name; }
  void Write(const std::vector<uint8_t>& bytes, const std::wstring& name) const;
  void Copy(const std::wstring& from, const std::wstring& name) const;  // writable, whatever `from` was

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
