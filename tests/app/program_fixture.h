// The viewer started inside the test program, as Lumivex.exe starts it, on a clean
// application key with the four delivered plug-ins registered and no splash.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/screen_pixels.h"
#include "tests/support/window_input.h"
#include "tools/support/app_key_guard.h"

namespace lmx::test {

class ProgramTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Starts the viewer with `commandLine`; false when it did not create its window.
  bool Start(const wchar_t* commandLine = L"");
  // WM_CLOSE and the rest of the run, then the program's shut-down.
  void Stop();
  LRESULT Command(UINT id);
  std::wstring Corpus(const wchar_t* relative) const;
  std::wstring StatusText(int part) const;

 private:
  AppKeyGuard guard_;
  bool running_ = false;
};

}  // namespace lmx::test
