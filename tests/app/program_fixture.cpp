#include "tests/app/program_fixture.h"

#include <commctrl.h>

#include "app/main_window.h"
#include "app/program.h"
#include "tests/host/host_fixture.h"
#include "tests/support/test_env.h"
#include "ui/registry.h"
#include "ui/settings.h"
#include "view/image_view.h"

namespace lmx::test {

void ProgramTest::SetUp() {
  HKEY app = OpenApplicationKey();
  ASSERT_NE(app, nullptr);
  WriteRegDword(app, kStartupValue, 0);
  HKEY plugIns = OpenOrCreateKey(app, kPlugInsKeyName);
  for (const auto& path : DeliveredPlugIns()) ASSERT_TRUE(RegisterLibrary(path, plugIns));
  CloseKey(plugIns);
  CloseKey(app);
}

void ProgramTest::TearDown() { Stop(); }

bool ProgramTest::Start(const wchar_t* commandLine) {
  std::wstring line = commandLine;
  running_ = StartProgram(GetModuleHandleW(nullptr), &line[0], SW_SHOW);
  PumpFor(100);
  return running_;
}

void ProgramTest::Stop() {
  if (!running_) return;
  running_ = false;
  if (HWND window = MainWindow()) SendMessageW(window, WM_CLOSE, 0, 0);
  PumpFor(50);
  MSG quit;
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // the loop's end, already handled
  EndProgram();
}

LRESULT ProgramTest::Command(UINT id) {
  LRESULT result = SendMessageW(MainWindow(), WM_COMMAND, id, 0);
  PumpFor(30);
  return result;
}

std::wstring ProgramTest::Corpus(const wchar_t* relative) const { return CorpusDir() + relative; }

std::wstring ProgramTest::StatusText(int part) const {
  wchar_t text[256] = L"";
  HWND status = StatusBarWindow();
  if (status && LOWORD(SendMessageW(status, SB_GETTEXTLENGTHW, part, 0)) < 256) {
    SendMessageW(status, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text));
  }
  return text;
}

}  // namespace lmx::test
