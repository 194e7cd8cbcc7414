// lmx_drive against the stand-in window program: the screen it writes is the stand-in's, the
// commands arrive one after the other in order, message boxes are reported and answered, a
// command's modal dialog is waited for and closed, and the program ends through WM_CLOSE.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/tools/run_tool.h"
#include "tests/tools/screen_bmp.h"
#include "tests/support/test_env.h"

namespace lmx::test {
namespace {

constexpr wchar_t kStandInClass[] = L"Lumivex Stand-in";

class DriveTest : public ::testing::Test {
 protected:
  std::wstring LogPath() const { return scratch_.Path() + L"stand in log.txt"; }
  std::wstring ShotPath() const { return scratch_.Path() + L"screen.bmp"; }

  // lmx_drive on the stand-in with the log as its command line, and `extra` arguments.
  ToolRun Drive(const std::wstring& extra) {
    const std::wstring line = Quoted(BinDir() + L"lmx_drive.exe") + L" --exe " +
                              Quoted(TestDir() + L"install_stand_in.exe") + L" --open " + Quoted(LogPath()) +
                              L" --class " + Quoted(kStandInClass) + L" --timeout 30 " + extra;
    return RunTool(line);
  }

  ToolRun Shoot(const std::wstring& commands) { return Drive(L"--screenshot " + Quoted(ShotPath()) + L" " + commands); }

  std::string Log() const { return ReadText(LogPath()); }
  std::string StartOfLog() const {
    const std::wstring path = LogPath();
    return "command line [" + std::string(path.begin(), path.end()) + "]\n";
  }

  ScratchFolder scratch_;
};

TEST_F(DriveTest, ScreenshotShowsTheWindowOnceItIsEnabledAndPainted) {
  const ToolRun run = Shoot(L"");
  ASSERT_EQ(run.exitCode, 0u) << run.err;
  Bmp shot;
  ASSERT_TRUE(shot.Read(ShotPath()));
  EXPECT_EQ(shot.width, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(shot.height, GetSystemMetrics(SM_CYSCREEN));
  // Grey while disabled at start; the driver waits for the blue of the enabled window.
  EXPECT_TRUE(shot.AllOf({0, 0, 255}));
  // The path with its spaces is the whole command line, unquoted; the window was closed.
  EXPECT_EQ(Log(), StartOfLog() + "close\n");
}

TEST_F(DriveTest, CommandsArriveInOrderEachHandledBeforeTheNext) {
  const ToolRun run = Shoot(L"--do 102 --do 101 --do 102");
  ASSERT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(Log(), StartOfLog() + "command 102\ncommand 101\ncommand 102\nclose\n");
  EXPECT_EQ(run.out, "command 102: handled\ncommand 101: handled\ncommand 102: handled\nscreen " +
                         std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "x" +
                         std::to_string(GetSystemMetrics(SM_CYSCREEN)) + " written\n");
  Bmp shot;
  ASSERT_TRUE(shot.Read(ShotPath()));
  // 102 changes the colour only after a pause: its green must be on the screen.
  EXPECT_TRUE(shot.AllOf({0, 255, 0}));
}

TEST_F(DriveTest, MessageBoxIsReportedAndAnswered) {
  const ToolRun run = Shoot(L"--do 103 --do 101");
  ASSERT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_NE(run.err.find("message: Stand-in caption: Stand-in text\n"), std::string::npos) << run.err;
  EXPECT_EQ(Log(), StartOfLog() + "command 103\nbox answered 1\ncommand 101\nclose\n");
  Bmp shot;
  ASSERT_TRUE(shot.Read(ShotPath()));
  EXPECT_TRUE(shot.AllOf({255, 0, 0}));
}

TEST_F(DriveTest, ModalDialogIsShotThenClosed) {
  const ToolRun run = Shoot(L"--do 104 --do 105");
  ASSERT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_NE(run.out.find("command 104: the dialog \"Stand-in dialog\" is open\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("command 105: to the dialog \"Stand-in dialog\"\n"), std::string::npos) << run.out;
  // 105 went to the dialog; the driver closed the dialog (Cancel) before the window.
  EXPECT_EQ(Log(), StartOfLog() + "command 104\ndialog command 105\ndialog ended 2\nclose\n");
  Bmp shot;
  ASSERT_TRUE(shot.Read(ShotPath()));
  // The dialog's client area is yellow (inside its caption and frame).
  EXPECT_EQ(shot.At(shot.width / 2, shot.height / 2), (Rgb{255, 255, 0}));
  EXPECT_EQ(shot.At(shot.width / 4, shot.height - 20), (Rgb{255, 255, 0}));
}

TEST_F(DriveTest, DialogEndedByACommandReturnsToTheWindow) {
  const ToolRun run = Shoot(L"--do 104 --do 1 --do 101");
  ASSERT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(Log(), StartOfLog() + "command 104\ndialog ended 1\ncommand 101\nclose\n");
  Bmp shot;
  ASSERT_TRUE(shot.Read(ShotPath()));
  EXPECT_TRUE(shot.AllOf({255, 0, 0}));
}

TEST_F(DriveTest, WithoutScreenshotWaitsForTheProgramAndReturnsItsExitCode) {
  // Plays the user: two commands, then close.
  HANDLE user = CreateThread(
      nullptr, 0,
      [](void*) -> DWORD {
        HWND w = nullptr;
        for (int i = 0; i < 600 && !(w = FindWindowW(kStandInClass, nullptr)); ++i) Sleep(50);
        if (!w) return 1;
        for (int i = 0; i < 600 && !IsWindowEnabled(w); ++i) Sleep(50);
        SendMessageW(w, WM_COMMAND, 101, 0);
        SendMessageW(w, WM_COMMAND, 101, 0);
        PostMessageW(w, WM_CLOSE, 0, 0);
        return 0;
      },
      nullptr, 0, nullptr);
  ASSERT_NE(user, nullptr);
  const ToolRun run = Drive(L"");
  WaitForSingleObject(user, 30000);
  CloseHandle(user);
  EXPECT_EQ(run.exitCode, 2u) << run.err;  // the stand-in's count of commands
  EXPECT_EQ(Log(), StartOfLog() + "command 101\ncommand 101\nclose\n");
}

TEST_F(DriveTest, ProgramThatEndsAtStartIsReported) {
  const std::wstring log = scratch_.Path() + L"start.early";
  const ToolRun run = RunTool(Quoted(BinDir() + L"lmx_drive.exe") + L" --exe " +
                              Quoted(TestDir() + L"install_stand_in.exe") + L" --open " + Quoted(log) +
                              L" --class " + Quoted(kStandInClass) + L" --timeout 30 --screenshot " +
                              Quoted(ShotPath()));
  EXPECT_EQ(run.exitCode, 5u);
  // Its box was answered, not left waiting for the timeout.
  EXPECT_NE(run.err.find("message: Error...: Cannot start.\n"), std::string::npos) << run.err;
  EXPECT_NE(ReadText(log).find("box answered 1\n"), std::string::npos);
  EXPECT_EQ(GetFileAttributesW(ShotPath().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(DriveTest, RefusesToDriveWhenACopyIsRunning) {
  std::wstring line = Quoted(TestDir() + L"install_stand_in.exe") + L" " + LogPath();
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  HWND running = nullptr;
  for (int i = 0; i < 600 && !(running = FindWindowW(kStandInClass, nullptr)); ++i) Sleep(50);
  EXPECT_NE(running, nullptr);
  EXPECT_EQ(Shoot(L"").exitCode, 4u);
  PostMessageW(running, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 30000), WAIT_OBJECT_0);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  // Only the copy started here ever ran.
  EXPECT_EQ(Log(), StartOfLog() + "close\n");
}

TEST_F(DriveTest, RefusesWrongUse) {
  EXPECT_EQ(Drive(L"--do 101").exitCode, 2u);            // commands need a screenshot
  EXPECT_EQ(Shoot(L"--do 0").exitCode, 2u);              // no command 0
  EXPECT_EQ(Shoot(L"--do 70000").exitCode, 2u);          // ids are 16 bits
  const ToolRun missing = RunTool(Quoted(BinDir() + L"lmx_drive.exe") + L" --exe " +
                                  Quoted(scratch_.Path() + L"missing.exe") + L" --screenshot " + Quoted(ShotPath()));
  EXPECT_EQ(missing.exitCode, 6u);
  EXPECT_EQ(GetFileAttributesW(ShotPath().c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace lmx::test
