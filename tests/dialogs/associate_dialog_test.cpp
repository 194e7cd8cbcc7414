#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/utils.h"
#include "dialogs/associate_dialog.h"
#include "host/viewer_document.h"
#include "lang/lang_ids.h"
#include "resources/program_ids.h"
#include "tests/support/classes_key_guard.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/test_env.h"
#include "tools/support/message_capture.h"

namespace {

using lmx::test::ClassesKeyExists;
using lmx::test::ClassesKeyGuard;
using lmx::test::ClassesValue;
using lmx::test::DialogDriver;
using lmx::test::TestProgram;

struct Seen {
  std::vector<std::wstring> lines;
  std::vector<LRESULT> itemData;
  LRESULT selection = -2;
  HANDLE iconAtStart = nullptr;
  HANDLE iconAfterSelChange = nullptr;
  bool found = false;
  RECT dialogRect{}, listRect{}, buttonRect{}, iconRect{};
};

void ReadList(HWND dialog, Seen* seen) {
  seen->found = true;
  HWND list = GetDlgItem(dialog, IDC_ASSOC_FORMATS);
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t line[128] = L"";
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
    seen->lines.push_back(line);
    seen->itemData.push_back(SendMessageW(list, LB_GETITEMDATA, i, 0));
  }
  seen->selection = SendMessageW(list, LB_GETCURSEL, 0, 0);
  seen->iconAtStart = reinterpret_cast<HANDLE>(SendDlgItemMessageW(dialog, IDC_ASSOC_ICON, STM_GETIMAGE, IMAGE_ICON, 0));
  GetWindowRect(dialog, &seen->dialogRect);
  GetWindowRect(list, &seen->listRect);
  GetWindowRect(GetDlgItem(dialog, IDC_ASSOC_LINK), &seen->buttonRect);
  GetWindowRect(GetDlgItem(dialog, IDC_ASSOC_ICON), &seen->iconRect);
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom && inner.right > inner.left && inner.bottom > inner.top;
}

bool Overlap(const RECT& a, const RECT& b) {
  RECT both;
  return IntersectRect(&both, &a, &b) != FALSE;
}

void Select(HWND dialog, int index) {
  SendDlgItemMessageW(dialog, IDC_ASSOC_FORMATS, LB_SETCURSEL, index, 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_ASSOC_FORMATS, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_ASSOC_FORMATS)));
}

void ClickAssociate(HWND dialog) { SendDlgItemMessageW(dialog, IDC_ASSOC_LINK, BM_CLICK, 0, 0); }

void Close(HWND dialog, int id) { PostMessageW(dialog, WM_COMMAND, id, 0); }

class AssociateDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    lang = lmx::test::LoadBuilt(L"LumivexLangComp.dll");
    lmx::SetResourceModule(lang);
    owner = CreateWindowExW(0, L"Static", L"Zorvan Lumivex", WS_POPUP | WS_VISIBLE, 0, 26, 240, 268, nullptr,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
    lmx::ViewerDocument* document = lmx::CreateTheDocument();
    // Two formats with a plug-in (one with an icon of its own and more extensions), one without.
    document->AddFormatLink(new lmx::FormatLinkEntry(L"lmq", L"Lmq Pictures", L"lmq", 0));
    document->AddFormatLink(new lmx::FormatLinkEntry(L"lmr", L"Another Kind", L"lmr", 1));
    document->AddFormatLink(new lmx::FormatLinkEntry(L"lms", L"Strays", L"lms", 0));
    lmqPlugIn = AddPlugIn(L"lmq", L"Lmq", L"C:\\Plug-Ins\\zlx_lmq.dll", true);
    lmx::AssignString(&lmqPlugIn->moreExt, L"lmqx;lmz");
    AddPlugIn(L"lmr", L"Lmr", L"C:\\Plug-Ins\\zlx_lmr.dll", false);
    defaultIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_FILE_LINK));
  }
  void TearDown() override {
    lmx::DestroyTheDocument();
    DestroyWindow(owner);
    lmx::SetResourceModule(nullptr);
    FreeLibrary(lang);
  }
  lmx::PlugInEntry* AddPlugIn(const wchar_t* ext, const wchar_t* name, const wchar_t* library, bool withIcon) {
    auto* entry = new lmx::PlugInEntry(nullptr);
    lmx::AssignString(&entry->ext, ext);
    lmx::AssignString(&entry->name, name);
    lmx::AssignString(&entry->component, library);
    if (withIcon) entry->icon = CopyIcon(LoadIconW(nullptr, IDI_WARNING));
    if (!lmx::TheDocument()->plugIns()->AddEntry(entry)) {
      delete entry;
      return nullptr;
    }
    return entry;
  }
  INT_PTR Run(std::function<void(HWND)> act) {
    DialogDriver driver(GetCurrentThreadId(), act);
    return lmx::AssociateDialog(GetModuleHandleW(nullptr), owner);
  }

  ClassesKeyGuard guard{{L".lmq", L".lmqx", L".lmz", L"lmqimage", L".lmr", L"lmrimage", L".lms", L"lmsimage"}};
  lmx::MessageCapture capture{IDNO};
  HMODULE lang = nullptr;
  HWND owner = nullptr;
  HICON defaultIcon = nullptr;
  lmx::PlugInEntry* lmqPlugIn = nullptr;
};

TEST_F(AssociateDialogTest, ListsTheFormatLinksAndShowsTheSelectedOnesIcon) {
  Seen seen;
  const INT_PTR result = Run([&seen](HWND dialog) {
    ReadList(dialog, &seen);
    Select(dialog, 1);
    seen.iconAfterSelChange =
        reinterpret_cast<HANDLE>(SendDlgItemMessageW(dialog, IDC_ASSOC_ICON, STM_GETIMAGE, IMAGE_ICON, 0));
    Close(dialog, IDOK);
  });
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(result, 0);
  // The list's order: ascending short names.
  ASSERT_EQ(seen.lines, (std::vector<std::wstring>{L"Another Kind (*.lmr)", L"Lmq Pictures (*.lmq;*.lmqx;*.lmz)",
                                                    L"Strays (*.lms)"}));
  EXPECT_EQ(seen.itemData[1], reinterpret_cast<LRESULT>(lmx::TheDocument()->FindFormatLink(L"lmq")));
  EXPECT_EQ(seen.selection, 0);
  ASSERT_NE(defaultIcon, nullptr);
  EXPECT_EQ(seen.iconAtStart, defaultIcon);  // the lmr plug-in has no icon
  EXPECT_EQ(seen.iconAfterSelChange, lmqPlugIn->icon);
  EXPECT_TRUE(capture.Messages().empty());
  // Full screen below the top bar, every control on it and none over another.
  EXPECT_EQ(seen.dialogRect.left, 0);
  EXPECT_EQ(seen.dialogRect.right, 240);
  EXPECT_TRUE(Inside(seen.listRect, seen.dialogRect));
  EXPECT_TRUE(Inside(seen.buttonRect, seen.dialogRect));
  EXPECT_TRUE(Inside(seen.iconRect, seen.dialogRect));
  EXPECT_FALSE(Overlap(seen.listRect, seen.buttonRect));
  EXPECT_FALSE(Overlap(seen.listRect, seen.iconRect));
  EXPECT_FALSE(Overlap(seen.iconRect, seen.buttonRect));
}

TEST_F(AssociateDialogTest, AnsweringNoWritesNothing) {
  Seen seen;
  Run([&seen](HWND dialog) {
    seen.found = true;
    Select(dialog, 1);
    ClickAssociate(dialog);
    Close(dialog, IDCANCEL);
  });
  ASSERT_TRUE(seen.found);
  ASSERT_EQ(capture.Messages().size(), 1u);
  EXPECT_EQ(capture.Messages()[0].caption, L"Plug-In");
  EXPECT_EQ(capture.Messages()[0].text, L"Open files of this type with Zorvan Lumivex from now on?");
  // The capture reads the buttons off the box before Wine shows them: only the icon is sure.
  EXPECT_EQ(capture.Messages()[0].style & MB_ICONMASK, static_cast<UINT>(MB_ICONQUESTION));
  for (const wchar_t* key : {L".lmq", L".lmqx", L"lmqimage"}) EXPECT_FALSE(ClassesKeyExists(key)) << key;
}

TEST_F(AssociateDialogTest, AnsweringYesTiesTheExtensionToTheProgram) {
  capture.SetAnswer(IDYES);
  Seen seen;
  Run([&seen](HWND dialog) {
    seen.found = true;
    Select(dialog, 1);
    ClickAssociate(dialog);
    Close(dialog, IDOK);
  });
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(capture.Messages().size(), 1u);
  // The format's more extensions are tied to the same class.
  for (const wchar_t* ext : {L".lmq", L".lmqx", L".lmz"}) {
    EXPECT_EQ(ClassesValue(ext), L"lmqimage") << ext;
    EXPECT_EQ(ClassesValue(ext, L"Content Type"), L"image/lmq") << ext;
  }
  EXPECT_EQ(ClassesValue(L"lmqimage\\DefaultIcon"), L"C:\\Plug-Ins\\zlx_lmq.dll,-100");
  EXPECT_EQ(ClassesValue(L"lmqimage\\Shell\\Open\\Command"), L"\"" + TestProgram() + L"\" %1");
  EXPECT_FALSE(ClassesKeyExists(L".lmr"));
  EXPECT_EQ(lmx::TheDocument()->FindFormatLink(L"lmq")->linked, 0u);  // the flag is not the dialog's
}

TEST_F(AssociateDialogTest, AFormatWithoutAPlugInLibraryIsNotTied) {
  capture.SetAnswer(IDYES);
  lmx::AssignString(&lmx::TheDocument()->plugIns()->FindByExt(L"lmr")->component, L"");
  Seen seen;
  Run([&seen](HWND dialog) {
    seen.found = true;
    ClickAssociate(dialog);  // lmr: a plug-in without a library
    Select(dialog, 2);
    ClickAssociate(dialog);  // lms: no plug-in at all
    Close(dialog, IDOK);
  });
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(capture.Messages().size(), 2u);
  for (const wchar_t* key : {L".lmr", L"lmrimage", L".lms", L"lmsimage"}) EXPECT_FALSE(ClassesKeyExists(key)) << key;
}

TEST_F(AssociateDialogTest, WithoutADocumentTheListStaysEmpty) {
  lmx::DestroyTheDocument();
  capture.SetAnswer(IDYES);
  Seen seen;
  const INT_PTR result = Run([&seen](HWND dialog) {
    ReadList(dialog, &seen);
    ClickAssociate(dialog);
    Close(dialog, IDCANCEL);
  });
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(seen.lines.empty());
  EXPECT_EQ(seen.iconAtStart, defaultIcon);
  EXPECT_TRUE(capture.Messages().empty());  // nothing selected, nothing asked
}

}  // namespace
