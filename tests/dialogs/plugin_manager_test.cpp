// The plug-in manager over the real registry of the test prefix and real plug-in libraries:
// the list with version and notice, removing with the question and the selection that
// follows, the refusal while the plug-in's format is open, and adding a library picked in
// the explorer.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/utils.h"
#include "dialogs/plugin_manager.h"
#include "lang/lang_ids.h"
#include "platform/aygshell.h"
#include "tests/dialogs/dialogs_fixture.h"
#include "tests/support/dialog_driver.h"
#include "tests/explorer/explorer_fixture.h"
#include "tests/support/test_env.h"
#include "tools/support/message_capture.h"
#include "ui/registry.h"
#include "ui/settings.h"

namespace lmx::test {
namespace {

using Strings = std::vector<std::wstring>;

constexpr wchar_t kBmp[] = L"BMP - Bitmap File Format";
constexpr wchar_t kGif[] = L"GIF - Graphics Interchange File Format";
constexpr wchar_t kPcx[] = L"PCX - ZSoft Paintbrush Format";
constexpr wchar_t kTiff[] = L"TIFF - Tag Image File Format";
constexpr wchar_t kDeliveredDetails[] = L"Version 1.0\n\nCopyright (c) 2026 Zorvan Software";

// What the manager showed at one moment.
struct Look {
  Strings lines;
  int selection = -1;
  std::wstring details;
  bool removeEnabled = false;
};

Look LookAt(HWND dialog) {
  Look look;
  HWND list = GetDlgItem(dialog, IDC_PLUGIN_LIST);
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t text[256] = L"";
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    look.lines.emplace_back(text);
  }
  look.selection = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
  look.details = TextOf(GetDlgItem(dialog, IDC_PLUGIN_DETAILS));
  look.removeEnabled = IsWindowEnabled(GetDlgItem(dialog, IDC_PLUGIN_REMOVE)) != FALSE;
  return look;
}

void Select(HWND dialog, int line) {
  HWND list = GetDlgItem(dialog, IDC_PLUGIN_LIST);
  SendMessageW(list, LB_SETCURSEL, line, 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_PLUGIN_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

int gChanges = 0;
void CountChange() { ++gChanges; }

class PlugInManagerTest : public DialogsTest {
 protected:
  void SetUp() override {
    DialogsTest::SetUp();
    gChanges = 0;
  }
  // Runs the manager while `act` works on it from a second thread, then presses Done.
  INT_PTR Run(std::function<void(HWND)> act) {
    DialogDriver driver(uiThread, [act](HWND dialog) {
      act(dialog);
      if (IsWindow(dialog)) PressDone(dialog);
    });
    return RunPlugInManager(owner, CountChange);
  }

  // The test's own format link for `ext`, as the association dialog leaves it: the link in
  // the document, the FormatLinks key and the shell class of the older naming scheme.
  void LinkFormat(const wchar_t* ext, const wchar_t* oldClass) {
    HKEY links = FormatLinksKey();
    ASSERT_NE(links, nullptr);
    HKEY sub = OpenOrCreateKey(links, ext);
    ASSERT_NE(sub, nullptr);
    CloseKey(sub);
    HKEY shellClass = OpenOrCreateKey(HKEY_CLASSES_ROOT, oldClass);
    ASSERT_NE(shellClass, nullptr);
    CloseKey(shellClass);
  }
};

TEST_F(PlugInManagerTest, ListsThePlugInsByNameWithVersionAndNoticeFullScreen) {
  InstallDeliveredPlugIns();
  MessageCapture boxes;
  Look first, gif, none;
  RECT rc{};
  HWND done = nullptr;
  const INT_PTR result = Run([&](HWND dialog) {
    GetWindowRect(dialog, &rc);
    done = DoneButtonOf(dialog);
    first = LookAt(dialog);
    Select(dialog, 1);
    gif = LookAt(dialog);
    Select(dialog, -1);
    none = LookAt(dialog);
  });
  EXPECT_EQ(result, 0);
  EXPECT_NE(done, nullptr);
  EXPECT_EQ(RectText(rc), RectText(0, AYG_TOP_BAR_HEIGHT, AYG_SCREEN_WIDTH, AYG_SCREEN_HEIGHT));
  EXPECT_EQ(first.lines, (Strings{kBmp, kGif, kPcx, kTiff}));
  EXPECT_EQ(first.selection, 0);
  EXPECT_EQ(first.details, kDeliveredDetails);
  EXPECT_TRUE(first.removeEnabled);
  EXPECT_EQ(gif.selection, 1);
  EXPECT_EQ(gif.details, kDeliveredDetails);
  EXPECT_EQ(none.details, L"");
  EXPECT_TRUE(boxes.Messages().empty());
  EXPECT_EQ(gChanges, 0);
}

TEST_F(PlugInManagerTest, APlugInWithMoreExtensionsShowsThemAfterItsNotice) {
  for (const auto& path : DeliveredPlugIns()) ASSERT_TRUE(RegisterLibrary(path, PlugInsKey()));
  HKEY tif = OpenOrCreateKey(PlugInsKey(), L"tif");
  ASSERT_TRUE(WriteRegString(tif, L"MoreExt", L"tiff"));
  CloseKey(tif);
  document->DiscoverPlugIns(PlugInsKey());
  Look bmp, tiff;
  Run([&](HWND dialog) {
    bmp = LookAt(dialog);
    Select(dialog, 3);
    tiff = LookAt(dialog);
  });
  EXPECT_EQ(bmp.details, kDeliveredDetails);
  EXPECT_EQ(tiff.details, std::wstring(kDeliveredDetails) + L"\n\nFiles: *.tif;*.tiff");
}

TEST_F(PlugInManagerTest, WithoutPlugInsRemoveIsDisabledAndAddHasTheFocus) {
  Look look;
  HWND focus = nullptr, add = nullptr;
  Run([&](HWND dialog) {
    look = LookAt(dialog);
    add = GetDlgItem(dialog, IDC_PLUGIN_ADD);
    // The focus goes to the dialog's control once the dialog is active; other test programs
    // running beside this one may hold the foreground, so the dialog is brought to it.
    SetForegroundWindow(dialog);
    for (int i = 0; i < 200 && !focus; ++i) {
      GUITHREADINFO info{};
      info.cbSize = sizeof(info);
      if (GetGUIThreadInfo(uiThread, &info)) focus = info.hwndFocus;
      if (!focus) Sleep(10);
    }
    Click(dialog, IDC_PLUGIN_REMOVE);  // nothing to remove: nothing happens
  });
  EXPECT_TRUE(look.lines.empty());
  EXPECT_FALSE(look.removeEnabled);
  EXPECT_EQ(look.details, L"");
  EXPECT_EQ(focus, add);
  EXPECT_EQ(gChanges, 0);
}

TEST_F(PlugInManagerTest, RemovingTheLastLineSelectsTheNewLastAndTheFirstTheNewFirst) {
  InstallDeliveredPlugIns();
  LinkFormat(L"tif", L"ZorvanLumivex.TIFFile");
  MessageCapture boxes(IDYES);
  Look afterLast, afterFirst;
  Run([&](HWND dialog) {
    Select(dialog, 3);
    Click(dialog, IDC_PLUGIN_REMOVE);
    afterLast = LookAt(dialog);
    Select(dialog, 0);
    Click(dialog, IDC_PLUGIN_REMOVE);
    afterFirst = LookAt(dialog);
  });
  EXPECT_EQ(afterLast.lines, (Strings{kBmp, kGif, kPcx}));
  EXPECT_EQ(afterLast.selection, 2);
  EXPECT_EQ(afterLast.details, kDeliveredDetails);
  EXPECT_EQ(afterFirst.lines, (Strings{kGif, kPcx}));
  EXPECT_EQ(afterFirst.selection, 0);
  EXPECT_EQ(gChanges, 2);

  // Each removal asked first, captioned with the plug-in's name. (The capture reads the
  // icon reliably; the buttons are not all shown yet when it looks.)
  ASSERT_EQ(boxes.Messages().size(), 2u);
  EXPECT_EQ(boxes.Messages()[0].caption, kTiff);
  EXPECT_EQ(boxes.Messages()[0].text, L"Do you really want to remove this plug-in?");
  EXPECT_EQ(boxes.Messages()[0].style & MB_ICONMASK, UINT(MB_ICONQUESTION));
  EXPECT_EQ(boxes.Messages()[1].caption, kBmp);

  // Gone from the document, the registry and the shell; the filter without them.
  EXPECT_EQ(document->plugIns()->Count(), 2u);
  EXPECT_EQ(document->FindFormatLink(L"tif"), nullptr);
  EXPECT_EQ(document->FindFormatLink(L"bmp"), nullptr);
  EXPECT_NE(document->FindFormatLink(L"gif"), nullptr);
  EXPECT_FALSE(HasKey(PlugInsKey(), L"tif"));
  EXPECT_FALSE(HasKey(PlugInsKey(), L"bmp"));
  EXPECT_TRUE(HasKey(PlugInsKey(), L"gif"));
  EXPECT_FALSE(HasKey(FormatLinksKey(), L"tif"));
  EXPECT_FALSE(HasKey(HKEY_CLASSES_ROOT, L"ZorvanLumivex.TIFFile"));
  EXPECT_EQ(std::wstring(document->plugIns()->openFilter), L"All Formats (*.*)");
  EXPECT_EQ(std::wstring(document->plugIns()->openFilter + 18), L"*.gif;*.pcx");
}

TEST_F(PlugInManagerTest, AnsweringNoChangesNothing) {
  InstallDeliveredPlugIns();
  MessageCapture boxes(IDNO);
  Look after;
  Run([&](HWND dialog) {
    Select(dialog, 2);
    Click(dialog, IDC_PLUGIN_REMOVE);
    after = LookAt(dialog);
  });
  ASSERT_EQ(boxes.Messages().size(), 1u);
  EXPECT_EQ(boxes.Messages()[0].caption, kPcx);
  EXPECT_EQ(after.lines.size(), 4u);
  EXPECT_EQ(after.selection, 2);
  EXPECT_EQ(document->plugIns()->Count(), 4u);
  EXPECT_TRUE(HasKey(PlugInsKey(), L"pcx"));
  EXPECT_NE(document->FindFormatLink(L"pcx"), nullptr);
  EXPECT_EQ(gChanges, 0);
}

TEST_F(PlugInManagerTest, ThePlugInOfTheOpenFileIsNotRemovedUntilTheFileIsClosed) {
  InstallDeliveredPlugIns();
  const std::wstring picture = CorpusDir() + L"bmpsuite\\g\\pal8.bmp";
  ASSERT_EQ(document->OpenFile(nullptr, picture.c_str()), 1);
  MessageCapture boxes(IDYES);
  Look refused;
  Run([&](HWND dialog) {
    Select(dialog, 0);
    Click(dialog, IDC_PLUGIN_REMOVE);
    refused = LookAt(dialog);
  });
  ASSERT_EQ(boxes.Messages().size(), 2u);
  EXPECT_EQ(boxes.Messages()[1].caption, L"Plug-In in Use");
  EXPECT_EQ(boxes.Messages()[1].text,
            L"The open picture uses this plug-in. Close the picture before removing the plug-in.");
  EXPECT_EQ(refused.lines.size(), 4u);
  EXPECT_EQ(refused.selection, 0);
  EXPECT_EQ(document->plugIns()->Count(), 4u);
  EXPECT_TRUE(HasKey(PlugInsKey(), L"bmp"));
  EXPECT_NE(document->FindFormatLink(L"bmp"), nullptr);
  EXPECT_EQ(gChanges, 0);

  ASSERT_EQ(document->CloseFile(nullptr), 1);
  boxes.Clear();
  Look removed;
  Run([&](HWND dialog) {
    Click(dialog, IDC_PLUGIN_REMOVE);
    removed = LookAt(dialog);
  });
  EXPECT_EQ(boxes.Messages().size(), 1u);
  EXPECT_EQ(removed.lines, (Strings{kGif, kPcx, kTiff}));
  EXPECT_FALSE(HasKey(PlugInsKey(), L"bmp"));
  EXPECT_EQ(gChanges, 1);
}

TEST_F(PlugInManagerTest, APlugInThatRefusesToUnregisterStaysWithItsFormatLink) {
  ASSERT_TRUE(RegisterLibrary(FakePlugIn(L"dlg_fake_added"), PlugInsKey()));
  document->DiscoverPlugIns(PlugInsKey());
  ASSERT_EQ(document->plugIns()->Count(), 1u);
  // Its LMX_UnRegisterDLL fails when its key is already gone.
  ASSERT_EQ(RegDeleteKeyW(PlugInsKey(), L"aad"), ERROR_SUCCESS);
  MessageCapture boxes(IDYES);
  Look after;
  Run([&](HWND dialog) {
    Click(dialog, IDC_PLUGIN_REMOVE);
    after = LookAt(dialog);
  });
  EXPECT_EQ(boxes.Messages().size(), 1u);  // the question only
  EXPECT_EQ(after.lines, (Strings{L"Added Pictures"}));
  EXPECT_EQ(after.selection, 0);
  EXPECT_EQ(document->plugIns()->Count(), 1u);
  EXPECT_NE(document->FindFormatLink(L"aad"), nullptr);
  EXPECT_EQ(gChanges, 0);
}

// Add: the explorer opens at the root; the library is picked from a folder there.
class PlugInAddTest : public PlugInManagerTest {
 protected:
  void SetUp() override {
    PlugInManagerTest::SetUp();
    InstallDeliveredPlugIns();
    folder = std::make_unique<DeviceFolder>();
  }
  void TearDown() override {
    // The libraries go before their folder does.
    PlugInManagerTest::TearDown();
    folder.reset();
  }
  void CopyLibrary(const wchar_t* name) {
    const std::wstring file = std::wstring(name) + L".dll";
    ASSERT_TRUE(CopyFileW(FakePlugIn(name).c_str(), folder->HostPath(file).c_str(), FALSE));
  }
  // Presses Add and picks folder\file in the explorer; returns when the add is handled.
  void AddThroughExplorer(HWND manager, const std::wstring& file) {
    std::thread picker([this, manager, file] {
      HWND explorer = WaitForDialog(uiThread, manager);
      ASSERT_NE(explorer, nullptr);
      DoubleTapRow(explorer, folder->Name());
      DoubleTapRow(explorer, file);
      PressDone(explorer);
      WaitUntilGone(explorer);
    });
    Click(manager, IDC_PLUGIN_ADD);
    picker.join();
  }
  std::unique_ptr<DeviceFolder> folder;
};

TEST_F(PlugInAddTest, ALibraryPickedInTheExplorerIsRegisteredListedAndLinked) {
  CopyLibrary(L"dlg_fake_added");
  MessageCapture boxes;
  Look after;
  Run([&](HWND dialog) {
    AddThroughExplorer(dialog, L"dlg_fake_added.dll");
    after = LookAt(dialog);
  });
  EXPECT_TRUE(boxes.Messages().empty());
  EXPECT_EQ(after.lines, (Strings{L"Added Pictures", kBmp, kGif, kPcx, kTiff}));
  EXPECT_EQ(after.selection, 0);
  EXPECT_EQ(after.details, L"Version 2.3\n\nTest plug-in");
  EXPECT_EQ(gChanges, 1);

  PlugInEntry* entry = document->plugIns()->FindByName(L"Added Pictures");
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->pluginId, 1004u);
  EXPECT_TRUE(entry->FullyBound());
  EXPECT_TRUE(HasKey(PlugInsKey(), L"aad"));
  const FormatLinkEntry* link = document->FindFormatLink(L"aad");
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(std::wstring(link->shortName), L"Added");
  EXPECT_EQ(std::wstring(link->regFileLink), L"aadfile");
  EXPECT_EQ(link->linked, 0u);
  EXPECT_NE(std::wstring(document->plugIns()->openFilter + 18).find(L"*.aad"), std::wstring::npos);
}

TEST_F(PlugInAddTest, ALibraryWithFiveExportsIsRefusedAndLeavesNothingBehind) {
  CopyLibrary(L"dlg_fake_five");
  MessageCapture boxes;
  Look after;
  Run([&](HWND dialog) {
    AddThroughExplorer(dialog, L"dlg_fake_five.dll");
    after = LookAt(dialog);
  });
  ASSERT_EQ(boxes.Messages().size(), 1u);
  EXPECT_EQ(boxes.Messages()[0].caption, L"Error...");
  EXPECT_EQ(boxes.Messages()[0].text, L"Can't find Plug-In.");
  EXPECT_EQ(after.lines, (Strings{kBmp, kGif, kPcx, kTiff}));
  EXPECT_EQ(document->plugIns()->Count(), 4u);
  EXPECT_EQ(document->FindFormatLink(L"ffv"), nullptr);
  EXPECT_FALSE(HasKey(PlugInsKey(), L"ffv"));
  EXPECT_EQ(gChanges, 0);
}

TEST_F(PlugInAddTest, TheSameLibraryTwiceIsRefusedWithAWarning) {
  CopyLibrary(L"dlg_fake_added");
  MessageCapture boxes;
  Look after;
  Run([&](HWND dialog) {
    AddThroughExplorer(dialog, L"dlg_fake_added.dll");
    AddThroughExplorer(dialog, L"dlg_fake_added.dll");
    after = LookAt(dialog);
  });
  ASSERT_EQ(boxes.Messages().size(), 1u);
  EXPECT_EQ(boxes.Messages()[0].caption, L"Warning...");
  EXPECT_EQ(after.lines.size(), 5u);
  EXPECT_EQ(document->plugIns()->Count(), 5u);
  EXPECT_EQ(gChanges, 1);
}

TEST_F(PlugInAddTest, ACancelledPickAddsNothing) {
  MessageCapture boxes;
  Look after;
  Run([&](HWND dialog) {
    std::thread picker([this, dialog] {
      HWND explorer = WaitForDialog(uiThread, dialog);
      ASSERT_NE(explorer, nullptr);
      PostMessageW(explorer, WM_COMMAND, IDCANCEL, 0);
      WaitUntilGone(explorer);
    });
    Click(dialog, IDC_PLUGIN_ADD);
    picker.join();
    after = LookAt(dialog);
  });
  EXPECT_TRUE(boxes.Messages().empty());
  EXPECT_EQ(after.lines.size(), 4u);
  EXPECT_EQ(gChanges, 0);
}

TEST(PlugInDetailText, ShowsMajorAndMinorThenTheNoticeThenMoreExtensions) {
  wchar_t text[64];
  PlugInDetailText(0x0001000A, L"Notice", nullptr, text, 64);
  EXPECT_STREQ(text, L"Version 1.10\n\nNotice");
  PlugInDetailText(0xFFFF0000, nullptr, L"", text, 64);
  EXPECT_STREQ(text, L"Version 65535.0\n\n");
  PlugInDetailText(0x00010000, L"Notice", L"*.jpg;*.jpeg", text, 64);
  EXPECT_STREQ(text, L"Version 1.0\n\nNotice\n\nFiles: *.jpg;*.jpeg");
  wchar_t small[8];
  PlugInDetailText(0x00010000, L"A long notice", L"*.jpg;*.jpeg", small, 8);
  EXPECT_EQ(wcslen(small), 7u);
}

}  // namespace
}  // namespace lmx::test
