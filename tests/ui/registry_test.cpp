#include <gtest/gtest.h>

#include <string>

#include "tests/support/registry_values.h"
#include "tests/support/test_env.h"
#include "ui/registry.h"

namespace {

using lmx::test::RegType;
using lmx::test::ScratchKey;

void PutRaw(HKEY key, const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
  ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), bytes), ERROR_SUCCESS);
}

TEST(Registry, OpensOrCreatesSubkeysAndRefusesEmptyNames) {
  ScratchKey scratch;
  EXPECT_EQ(lmx::OpenOrCreateKey(scratch.Get(), L""), nullptr);
  EXPECT_EQ(lmx::OpenOrCreateKey(scratch.Get(), nullptr), nullptr);
  EXPECT_EQ(lmx::OpenOrCreateKey(nullptr, L"x"), nullptr);
  EXPECT_EQ(lmx::OpenKey(scratch.Get(), L"Sub"), nullptr) << "open never creates";
  HKEY made = lmx::OpenOrCreateKey(scratch.Get(), L"Sub");
  ASSERT_NE(made, nullptr);
  EXPECT_TRUE(lmx::WriteRegDword(made, L"v", 7));
  lmx::CloseKey(made);
  HKEY opened = lmx::OpenKey(scratch.Get(), L"Sub");
  ASSERT_NE(opened, nullptr);
  DWORD v = 0;
  EXPECT_TRUE(lmx::ReadRegDword(opened, L"v", &v, 1));
  EXPECT_EQ(v, 7u);
  HKEY deeper = lmx::OpenOrCreateKey(opened, L"Deeper");
  lmx::CloseKey(deeper);
  lmx::CloseKey(opened);
  EXPECT_TRUE(lmx::DeleteKeyTree(scratch.Get(), L"Sub"));
  EXPECT_EQ(lmx::OpenKey(scratch.Get(), L"Sub"), nullptr);
  EXPECT_FALSE(lmx::DeleteKeyTree(scratch.Get(), L"Sub"));
  lmx::CloseKey(nullptr);
}

TEST(Registry, DwordReadRepairsMissingValuesAndTakesFirstFourBytesOfOthers) {
  ScratchKey scratch;
  DWORD v = 99;
  EXPECT_TRUE(lmx::ReadRegDword(scratch.Get(), L"Missing", &v, 5));
  EXPECT_EQ(v, 5u);
  EXPECT_EQ(RegType(scratch.Get(), L"Missing"), static_cast<DWORD>(REG_DWORD)) << "the default is written back";

  const BYTE binary[4] = {0x01, 0x02, 0x03, 0x04};
  PutRaw(scratch.Get(), L"Binary", REG_BINARY, binary, 4);
  EXPECT_TRUE(lmx::ReadRegDword(scratch.Get(), L"Binary", &v, 5));
  EXPECT_EQ(v, 0x04030201u);
  EXPECT_EQ(RegType(scratch.Get(), L"Binary"), static_cast<DWORD>(REG_BINARY)) << "a readable value stays";

  const wchar_t text[] = L"AB-longer";
  PutRaw(scratch.Get(), L"Text", REG_SZ, text, sizeof(text));
  EXPECT_TRUE(lmx::ReadRegDword(scratch.Get(), L"Text", &v, 5));
  EXPECT_EQ(v, 0x00420041u);

  const BYTE two[2] = {0x34, 0x12};
  PutRaw(scratch.Get(), L"Short", REG_BINARY, two, 2);
  EXPECT_TRUE(lmx::ReadRegDword(scratch.Get(), L"Short", &v, 5));
  EXPECT_EQ(v, 0x1234u);

  EXPECT_FALSE(lmx::ReadRegDword(nullptr, L"x", &v, 8)) << "the write of the default fails";
  EXPECT_EQ(v, 8u);
}

TEST(Registry, StringReadTakesUpTo259CharactersAndRepairsLongerOnes) {
  ScratchKey scratch;
  wchar_t buffer[260];
  const std::wstring fits(259, L'a');
  ASSERT_TRUE(lmx::WriteRegString(scratch.Get(), L"Fits", fits.c_str()));
  DWORD bytes = 0;
  EXPECT_EQ(RegType(scratch.Get(), L"Fits", &bytes), static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(bytes, 520u) << "the terminator is stored too";
  EXPECT_TRUE(lmx::ReadRegString(scratch.Get(), L"Fits", buffer, 260, L"\\"));
  EXPECT_EQ(std::wstring(buffer), fits);

  const std::wstring tooLong(260, L'b');
  ASSERT_TRUE(lmx::WriteRegString(scratch.Get(), L"TooLong", tooLong.c_str()));
  EXPECT_TRUE(lmx::ReadRegString(scratch.Get(), L"TooLong", buffer, 260, L"\\"));
  EXPECT_STREQ(buffer, L"\\");
  EXPECT_TRUE(lmx::ReadRegString(scratch.Get(), L"TooLong", buffer, 260, L"other"));
  EXPECT_STREQ(buffer, L"\\") << "the default replaced the long value";

  // 260 characters without a terminator fill the buffer exactly: still too long.
  PutRaw(scratch.Get(), L"Unterminated", REG_SZ, tooLong.c_str(), 520);
  EXPECT_TRUE(lmx::ReadRegString(scratch.Get(), L"Unterminated", buffer, 260, L"d"));
  EXPECT_STREQ(buffer, L"d");
  // A shorter one without a terminator is read and terminated.
  PutRaw(scratch.Get(), L"Short", REG_SZ, L"xyz", 6);
  buffer[3] = L'#';
  EXPECT_TRUE(lmx::ReadRegString(scratch.Get(), L"Short", buffer, 260, L"d"));
  EXPECT_STREQ(buffer, L"xyz");

  EXPECT_TRUE(lmx::ReadRegString(scratch.Get(), L"Missing", buffer, 260, L"\\"));
  EXPECT_STREQ(buffer, L"\\");
  EXPECT_EQ(RegType(scratch.Get(), L"Missing"), static_cast<DWORD>(REG_SZ));

  wchar_t small[4];
  EXPECT_TRUE(lmx::ReadRegString(scratch.Get(), L"Missing2", small, 4, L"abcdef"));
  EXPECT_STREQ(small, L"abc") << "the default is cut to the buffer";
}

}  // namespace
