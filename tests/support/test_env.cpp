#include "tests/support/test_env.h"

#include <gtest/gtest.h>

namespace lmx::test {

std::wstring BinDir() { return std::wstring(LMX_BIN_DIR) + L"\\"; }
std::wstring CorpusDir() { return std::wstring(LMX_CORPUS_DIR) + L"\\"; }

HMODULE LoadBuilt(const wchar_t* fileName) {
  HMODULE module = LoadLibraryW((BinDir() + fileName).c_str());
  EXPECT_NE(module, nullptr) << "cannot load " << testing::PrintToString(std::wstring(fileName));
  return module;
}

std::wstring TestProgram() {
  wchar_t self[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  return std::wstring(self, n);
}

std::wstring TestDir() {
  const std::wstring path = TestProgram();
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::vector<uint8_t> ReadWholeFile(const std::wstring& path) {
  std::vector<uint8_t> bytes;
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return bytes;
  LARGE_INTEGER size{};
  GetFileSizeEx(f, &size);
  bytes.resize(static_cast<size_t>(size.QuadPart));
  DWORD got = 0;
  if (!bytes.empty()) ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
  bytes.resize(got);
  CloseHandle(f);
  return bytes;
}

}  // namespace lmx::test
