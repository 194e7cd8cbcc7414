#include <gtest/gtest.h>

#include "lang/lang_ids.h"
#include "tests/support/test_env.h"

namespace {

// Every string number the viewer asks the component for.
std::vector<UINT> RequiredStrings() {
  std::vector<UINT> ids = {
      IDS_PLUGIN_MENU_TITLE, IDS_ABOUT_PLATFORM, IDS_ABOUT_VERSION, IDS_ABOUT_COPYRIGHT, IDS_ABOUT_RIGHTS,
      IDS_ABOUT_INTERNET, IDS_SPLASH_CONTACT, IDS_SPLASH_TITLE, IDS_SPLASH_SUBTITLE, IDS_ARGUMENT_ERROR_CAPTION,
      IDS_IMAGE_ERROR_CAPTION, IDS_PLUGIN_IN_USE_CAPTION, IDS_NO_PLUGIN_FOR_FILE, IDS_PLUGIN_ALREADY_ADDED,
      IDS_PLUGIN_IN_USE, IDS_ZOOM_RANGE, IDS_REMOVE_PLUGIN_QUESTION, IDS_ASSOCIATE_QUESTION,
      IDS_TIP_PREVIOUS_PAGE, IDS_TIP_NEXT_PAGE, IDS_TIP_STATUSBAR, IDS_TIP_TOOLBAR, IDS_TOOLBAR_TOP,
      IDS_TOOLBAR_BOTTOM, IDS_COMPRESSION_NONE, IDS_COMPRESSION_RLE4, IDS_COMPRESSION_RLE8,
      IDS_PROPERTIES_CAPTION, IDS_EXPLORER_NAME, IDS_EXPLORER_SIZE, IDS_EXPLORER_DATE, IDS_EXPLORER_ROOT,
      IDS_EXPLORER_CANCEL,
      // the viewer toolbar's tooltips
      IDC_CMD_OPEN, IDC_CMD_ROTATE_LEFT, IDC_CMD_ROTATE_RIGHT, IDC_CMD_INVERT, IDC_CMD_FLIP, IDC_CMD_MIRROR,
      IDC_CMD_ZOOM_IN, IDC_CMD_ZOOM_OUT};
  for (UINT id = IDS_IMAGE_ERROR_FIRST; id <= IDS_IMAGE_ERROR_LAST; ++id) ids.push_back(id);
  // the details page's labels and the size's form
  for (UINT id = IDS_DETAIL_FIRST; id <= IDS_DETAIL_LAST; ++id) ids.push_back(id);
  ids.push_back(IDS_DETAIL_BYTES);
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
  ASSERT_GT(LoadStringW(lang, IDS_ABOUT_PLATFORM, format, 512), 0);
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
