#include <gtest/gtest.h>

#include <string>

#include "assoc/file_associations.h"
#include "tests/support/classes_key_guard.h"
#include "tests/support/test_env.h"
#include "tools/support/message_capture.h"

namespace {

using lmx::test::ClassesKeyExists;
using lmx::test::ClassesKeyGuard;
using lmx::test::ClassesValue;
using lmx::test::SetClassesValue;
using lmx::test::TestProgram;

constexpr wchar_t kProgramAppName[] = L"Zorvan Lumivex";
constexpr wchar_t kSetupAppName[] = L"Zorvan Lumivex (Pocket PC)";

std::wstring Name(bool (*make)(const wchar_t*, wchar_t*, size_t), const wchar_t* text) {
  wchar_t out[lmx::kClassChars] = L"x";
  return make(text, out, lmx::kClassChars) ? std::wstring(out) : L"<refused>";
}

std::wstring OldName(const wchar_t* app, const wchar_t* ext) {
  wchar_t out[lmx::kClassChars] = L"x";
  return lmx::OldClassName(app, ext, out, lmx::kClassChars) ? std::wstring(out) : L"<refused>";
}

TEST(ClassNames, LinkClassKeepsTheLinkAsItIs) {
  EXPECT_EQ(Name(lmx::LinkClassName, L"bmp"), L"bmpimage");
  EXPECT_EQ(Name(lmx::LinkClassName, L"Tif"), L"Tifimage");
  EXPECT_EQ(Name(lmx::LinkClassName, L""), L"<refused>");
  EXPECT_EQ(Name(lmx::LinkClassName, nullptr), L"<refused>");
  EXPECT_EQ(Name(lmx::LinkClassName, std::wstring(60, L'a').c_str()), L"<refused>");
}

TEST(ClassNames, StandardClassIsTheLowerCaseExtension) {
  EXPECT_EQ(Name(lmx::StandardClassName, L"BMP"), L"bmpimage");
  EXPECT_EQ(Name(lmx::StandardClassName, L"Gif"), L"gifimage");
  EXPECT_EQ(Name(lmx::StandardClassName, L""), L"<refused>");
}

TEST(ClassNames, OldClassDropsEveryBlankOfTheApplicationName) {
  EXPECT_EQ(OldName(kSetupAppName, L"tif"), L"ZorvanLumivex(PocketPC).TIFFile");
  EXPECT_EQ(OldName(kProgramAppName, L"bmp"), L"ZorvanLumivex.BMPFile");
  EXPECT_EQ(OldName(L" Zorvan  Lumivex ", L"Gif"), L"ZorvanLumivex.GIFFile");
  EXPECT_EQ(OldName(L"", L"bmp"), L"<refused>");
  EXPECT_EQ(OldName(kProgramAppName, L""), L"<refused>");
}

class AssociationTest : public testing::Test {
 protected:
  ClassesKeyGuard guard{{L".bmp", L"bmpimage", L".lmq", L"lmqimage", L"ZorvanLumivex.LMQFile",
                         L"ZorvanLumivex(PocketPC).LMQFile"}};
  lmx::MessageCapture capture;
};

TEST_F(AssociationTest, BmpPointsAtItsClassWithTheLibraryIconAndTheQuotedProgram) {
  ASSERT_TRUE(lmx::WriteExtLink(L"bmp", L"bmpimage", L"bmp"));
  ASSERT_TRUE(lmx::WriteLinkClassForProgram(nullptr, L"\\Program Files\\Lumivex.exe", L"\\Windows\\zlx_bmp.dll", L"bmp"));

  EXPECT_EQ(ClassesValue(L".bmp"), L"bmpimage");
  EXPECT_EQ(ClassesValue(L".bmp", L"Content Type"), L"image/bmp");
  EXPECT_EQ(ClassesValue(L"bmpimage\\DefaultIcon"), L"\\Windows\\zlx_bmp.dll,-100");
  EXPECT_EQ(ClassesValue(L"bmpimage\\Shell\\Open\\Command"), L"\"\\Program Files\\Lumivex.exe\" %1");
  EXPECT_TRUE(capture.Messages().empty());
}

TEST_F(AssociationTest, TheClassNamesTheRunningProgram) {
  ASSERT_TRUE(lmx::WriteLinkClass(nullptr, GetModuleHandleW(nullptr), L"C:\\zlx_lmq.dll", L"lmq"));
  EXPECT_EQ(ClassesValue(L"lmqimage\\Shell\\Open\\Command"), L"\"" + TestProgram() + L"\" %1");
  EXPECT_EQ(ClassesValue(L"lmqimage\\DefaultIcon"), L"C:\\zlx_lmq.dll,-100");
}

TEST_F(AssociationTest, LinkCaseReachesTheClassAndTheContentType) {
  ASSERT_TRUE(lmx::WriteExtLink(L"lmq", L"Lmqimage", L"Lmq"));
  ASSERT_TRUE(lmx::WriteLinkClass(nullptr, GetModuleHandleW(nullptr), L"C:\\zlx_lmq.dll", L"Lmq"));
  EXPECT_EQ(ClassesValue(L".lmq"), L"Lmqimage");
  EXPECT_EQ(ClassesValue(L".lmq", L"Content Type"), L"image/Lmq");
  EXPECT_TRUE(ClassesKeyExists(L"Lmqimage\\Shell\\Open\\Command"));
}

TEST_F(AssociationTest, NoLinkNoExtensionNoProgramWriteNothing) {
  const bool hadImageClass = ClassesKeyExists(L"image");
  EXPECT_FALSE(lmx::WriteLinkClass(nullptr, GetModuleHandleW(nullptr), L"C:\\zlx_lmq.dll", L""));
  EXPECT_FALSE(lmx::WriteLinkClass(nullptr, GetModuleHandleW(nullptr), L"C:\\zlx_lmq.dll", nullptr));
  EXPECT_FALSE(lmx::WriteLinkClassForProgram(nullptr, L"", L"C:\\zlx_lmq.dll", L"lmq"));
  EXPECT_EQ(ClassesKeyExists(L"image"), hadImageClass);
  EXPECT_FALSE(ClassesKeyExists(L"lmqimage"));
  EXPECT_FALSE(lmx::WriteExtLink(L"", L"lmqimage", L"lmq"));
  EXPECT_FALSE(lmx::WriteExtLink(nullptr, L"lmqimage", L"lmq"));
}

TEST_F(AssociationTest, ClassifyingAMissingExtensionLeavesAnEmptyKey) {
  ASSERT_FALSE(ClassesKeyExists(L".lmq"));
  EXPECT_EQ(lmx::ClassifyExtLink(L"lmq", kProgramAppName), lmx::kExtLinkOther);
  EXPECT_EQ(ClassesValue(L".lmq"), L"");
  EXPECT_EQ(ClassesValue(L".lmq", L"Content Type"), L"");
}

TEST_F(AssociationTest, ClassifiesOldStandardAndOtherClasses) {
  SetClassesValue(L".lmq", nullptr, L"ZorvanLumivex.LMQFile");
  EXPECT_EQ(lmx::ClassifyExtLink(L"lmq", kProgramAppName), lmx::kExtLinkOldClass);
  EXPECT_EQ(lmx::ClassifyExtLink(L"lmq", kSetupAppName), lmx::kExtLinkOther);
  SetClassesValue(L".lmq", nullptr, L"ZorvanLumivex(PocketPC).LMQFile");
  EXPECT_EQ(lmx::ClassifyExtLink(L"lmq", kSetupAppName), lmx::kExtLinkOldClass);
  SetClassesValue(L".lmq", nullptr, L"lmqimage");
  EXPECT_EQ(lmx::ClassifyExtLink(L"lmq", kProgramAppName), lmx::kExtLinkStandardClass);
  // The comparison is exact.
  SetClassesValue(L".lmq", nullptr, L"LMQimage");
  EXPECT_EQ(lmx::ClassifyExtLink(L"lmq", kProgramAppName), lmx::kExtLinkOther);
  SetClassesValue(L".lmq", nullptr, L"Paint.Picture");
  EXPECT_EQ(lmx::ClassifyExtLink(L"lmq", kProgramAppName), lmx::kExtLinkOther);
  EXPECT_EQ(lmx::ClassifyExtLink(L"", kProgramAppName), lmx::kExtLinkOther);
  EXPECT_EQ(ClassesValue(L".lmq", L"Content Type"), L"");  // created empty by the first look
}

TEST_F(AssociationTest, AClassNameTooLongToReadIsLeftAsItIs) {
  const std::wstring longName(lmx::kClassChars + 10, L'q');
  SetClassesValue(L".lmq", nullptr, longName);
  SetClassesValue(L".lmq", L"Content Type", L"image/" + longName);
  EXPECT_EQ(lmx::ClassifyExtLink(L"lmq", kProgramAppName), lmx::kExtLinkOther);
  EXPECT_TRUE(lmx::RestoreExtLink(nullptr, L"lmq", kProgramAppName));
  EXPECT_EQ(ClassesValue(L".lmq"), longName);
  EXPECT_EQ(ClassesValue(L".lmq", L"Content Type"), L"image/" + longName);
}

TEST_F(AssociationTest, RestoringPointsAnOldClassAtTheStandardClassWhenItExists) {
  SetClassesValue(L".lmq", nullptr, L"ZorvanLumivex.LMQFile");
  SetClassesValue(L".lmq", L"Content Type", L"image/old");
  SetClassesValue(L"lmqimage\\DefaultIcon", nullptr, L"x.dll,-100");
  EXPECT_TRUE(lmx::RestoreExtLink(nullptr, L"lmq", kProgramAppName));
  EXPECT_EQ(ClassesValue(L".lmq"), L"lmqimage");
  EXPECT_EQ(ClassesValue(L".lmq", L"Content Type"), L"image/lmq");
  EXPECT_TRUE(capture.Messages().empty());
}

TEST_F(AssociationTest, RestoringPointsAnOldClassAtNothingWithoutTheStandardClass) {
  SetClassesValue(L".lmq", nullptr, L"ZorvanLumivex(PocketPC).LMQFile");
  EXPECT_TRUE(lmx::RestoreExtLink(nullptr, L"LMQ", kSetupAppName));
  EXPECT_EQ(ClassesValue(L".lmq"), L"");
  EXPECT_EQ(ClassesValue(L".lmq", L"Content Type"), L"image/LMQ");  // the extension's case as given
}

TEST_F(AssociationTest, RestoringLeavesOtherClassesAlone) {
  SetClassesValue(L".lmq", nullptr, L"ZorvanLumivex.LMQFile");
  SetClassesValue(L".lmq", L"Content Type", L"image/old");
  // The old class of the other application name is somebody else's.
  EXPECT_TRUE(lmx::RestoreExtLink(nullptr, L"lmq", kSetupAppName));
  EXPECT_EQ(ClassesValue(L".lmq"), L"ZorvanLumivex.LMQFile");
  EXPECT_EQ(ClassesValue(L".lmq", L"Content Type"), L"image/old");

  SetClassesValue(L".lmq", nullptr, L"Paint.Picture");
  EXPECT_TRUE(lmx::RestoreExtLink(nullptr, L"lmq", kProgramAppName));
  EXPECT_EQ(ClassesValue(L".lmq"), L"Paint.Picture");
  EXPECT_EQ(ClassesValue(L".lmq", L"Content Type"), L"image/old");
  EXPECT_TRUE(capture.Messages().empty());
}

TEST_F(AssociationTest, RemovesTheOldClassWithEverythingBelowIt) {
  SetClassesValue(L"ZorvanLumivex.LMQFile\\Shell\\Open\\Command", nullptr, L"\"x.exe\" %1");
  SetClassesValue(L"ZorvanLumivex.LMQFile\\DefaultIcon", nullptr, L"x.dll,-100");
  EXPECT_FALSE(lmx::RemoveOldClass(kSetupAppName, L"lmq"));
  EXPECT_TRUE(ClassesKeyExists(L"ZorvanLumivex.LMQFile"));
  EXPECT_TRUE(lmx::RemoveOldClass(kProgramAppName, L"lmq"));
  EXPECT_FALSE(ClassesKeyExists(L"ZorvanLumivex.LMQFile"));
  EXPECT_FALSE(lmx::RemoveOldClass(kProgramAppName, L"lmq"));
}

TEST(DeleteNamedKey, DeletesANamedSubKeyOnly) {
  lmx::test::ScratchKey scratch;
  HKEY sub = nullptr;
  ASSERT_EQ(RegCreateKeyExW(scratch.Get(), L"bmp\\inner", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(sub);
  EXPECT_FALSE(lmx::DeleteNamedKey(scratch.Get(), L""));
  EXPECT_FALSE(lmx::DeleteNamedKey(scratch.Get(), nullptr));
  EXPECT_FALSE(lmx::DeleteNamedKey(nullptr, L"bmp"));
  EXPECT_FALSE(lmx::DeleteNamedKey(scratch.Get(), L"gif"));
  EXPECT_TRUE(lmx::DeleteNamedKey(scratch.Get(), L"bmp"));
  EXPECT_NE(RegOpenKeyExW(scratch.Get(), L"bmp", 0, KEY_READ, &sub), ERROR_SUCCESS);
}

}  // namespace
