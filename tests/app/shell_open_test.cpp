// A picture opened through Wine's shell once its extension is tied to the viewer: the shell
// starts Lumivex.exe with the path, or the running viewer takes it over.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>

#include "app/main_window.h"
#include "assoc/file_associations.h"
#include "host/viewer_document.h"
#include "tests/support/classes_key_guard.h"
#include "tests/app/program_fixture.h"
#include "tests/support/test_env.h"
#include "view/image_view.h"

namespace lmx::test {
namespace {

// A copy of a corpus picture under a folder and name with blanks.
struct SpacedPicture {
  explicit SpacedPicture(const std::wstring& source) { folder.Copy(source, L"my picture.bmp"); }
  std::wstring Path() const { return folder / L"my picture.bmp"; }
  ScratchFolder folder{L"lmx shell open "};
};

void AssociateBmpWithTheBuiltViewer() {
  ASSERT_TRUE(WriteExtLink(L"bmp", L"bmpimage", L"bmp"));
  ASSERT_TRUE(WriteLinkClassForProgram(nullptr, (BinDir() + L"Lumivex.exe").c_str(),
                                       (BinDir() + L"zlx_bmp.dll").c_str(), L"bmp"));
}

HANDLE ShellOpen(const std::wstring& path) {
  SHELLEXECUTEINFOW run{};
  run.cbSize = sizeof(run);
  run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  run.lpVerb = L"open";
  run.lpFile = path.c_str();
  run.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&run)) return nullptr;
  return run.hProcess;
}

TEST_F(ProgramTest, TheShellHandsAnAssociatedPictureToTheRunningViewer) {
  ClassesKeyGuard classes{{L".bmp", L"bmpimage"}};
  AssociateBmpWithTheBuiltViewer();
  SpacedPicture picture(Corpus(L"bmpsuite\\g\\rgb24.bmp"));
  ASSERT_TRUE(Start());

  HANDLE process = ShellOpen(picture.Path());
  ASSERT_NE(process, nullptr) << GetLastError();
  for (int waited = 0; WaitForSingleObject(process, 0) == WAIT_TIMEOUT && waited < 30000; waited += 20) PumpFor(20);
  DWORD code = 99;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  EXPECT_EQ(code, 0u);  // the second start only handed the path over
  ASSERT_NE(TheDocument()->CurrentFile(), nullptr);
  EXPECT_EQ(std::wstring(TheDocument()->CurrentFile()->path), picture.Path());
}

TEST_F(ProgramTest, TheShellStartsTheViewerWithAnAssociatedPicture) {
  ClassesKeyGuard classes{{L".bmp", L"bmpimage"}};
  AssociateBmpWithTheBuiltViewer();
  SpacedPicture picture(Corpus(L"bmpsuite\\g\\rgb24.bmp"));
  std::vector<uint8_t> bytes = ReadWholeFile(picture.Path());
  ASSERT_GT(bytes.size(), 54u);

  HANDLE process = ShellOpen(picture.Path());
  ASSERT_NE(process, nullptr) << GetLastError();
  // The new viewer shows the picture: its top-left pixel is on screen at the view's corner.
  HWND view = nullptr, main = nullptr;
  const COLORREF expected = DibPixel(bytes.data() + 14, 0, 0);
  COLORREF seen = CLR_INVALID;
  for (int waited = 0; waited < 30000 && seen != expected; waited += 50) {
    Sleep(50);
    main = FindWindowW(L"Zorvan Lumivex", L"Zorvan Lumivex");
    HWND container = main ? FindWindowExW(main, nullptr, L"ViewerMainCtrl", nullptr) : nullptr;
    view = container ? FindWindowExW(container, nullptr, L"InfoControl", nullptr) : nullptr;
    if (!view || !IsWindowVisible(view) || !IsWindowEnabled(main)) continue;
    POINT corner{0, 0};
    ClientToScreen(view, &corner);
    HDC screen = GetDC(nullptr);
    seen = GetPixel(screen, corner.x, corner.y);
    ReleaseDC(nullptr, screen);
  }
  EXPECT_EQ(seen, expected);
  if (main) PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(process, 30000), WAIT_OBJECT_0);
  CloseHandle(process);
}

}  // namespace
}  // namespace lmx::test
