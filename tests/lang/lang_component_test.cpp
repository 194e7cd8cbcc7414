#include <gtest/gtest.h>

#include "tests/support/test_env.h"

namespace {

// Every string number the viewer asks the component for.
std::vector<UINT> RequiredStrings() {
  std::vector<UINT> ids = {100, 200, 201, 204, 205, 206, 207, 220, 221, 240, 241, 242, 300, 301, 305,
                           320, 400, 401, 608, 609, 611, 612, 650, 651, 700, 701, 702, 855,
                           850, 851, 852, 853, 854,
                           32772, 40004, 40005, 40007, 40008, 40009, 40024, 40025};
  for (UINT id = 254; id <= 299; ++id) ids.push_back(id);
  return ids;
}

TEST(LanguageComponent, HoldsEveryRequiredStringWithinTheLoadersBuffer) {
  HMODULE lang = LoadLibraryExW((lmx::test::BinDir() + L"LumivexLangComp.dll").c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(lang, nullptr);
  for (UINT id : RequiredStrings()) {
    wchar_t text[512];
    int n = LoadStringW(lang, id, text, 512);
    EXPECT_GT(n, 0) << "string " << id;
    EXPECT_LT(n, 198) << "string " << id << " would be cut";
  }
  wchar_t format[512];
  ASSERT_GT(LoadStringW(lang, 200, format, 512), 0);
  wchar_t about[52];
  EXPECT_LT(_snwprintf(about, 52, format, L"Windows CE"), 52) << "string 200 must fit 52 characters";
  FreeLibrary(lang);
}

TEST(LanguageComponent, LoadsAsAnOrdinaryLibrary) {
  HMODULE lang = lmx::test::LoadBuilt(L"LumivexLangComp.dll");
  ASSERT_NE(lang, nullptr);
  EXPECT_TRUE(FreeLibrary(lang));
}

}  // namespace
