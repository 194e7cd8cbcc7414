// The help viewer stand-in: how it turns a help file into text, and the program itself
// started with the argument the viewer gives it.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "platform/aygshell.h"
#include "platform/peghelp/help_text.h"
#include "tests/support/test_env.h"
#include "tests/support/window_input.h"

namespace {

using peghelp::DecodeHelpBytes;
using peghelp::FindTopic;
using peghelp::RenderHelp;
using lmx::test::TextOf;
using lmx::test::WindowRectText;
using lmx::test::RectText;

std::vector<char> Bytes(const std::string& s) { return std::vector<char>(s.begin(), s.end()); }

TEST(HelpText, TagsBecomeLineBreaksAndWhiteSpaceCollapses) {
  const auto text = RenderHelp(L"<html><head><title>My  Help</title></head><body>\n"
                               L"<h1>Heading</h1>\n<p>One\n   two\tthree.</p><p>Next<br>line</p>"
                               L"<ul><li>first</li><li><b>second</b> item</li></ul>end</body></html>\n");
  EXPECT_EQ(text.title, L"My Help");
  EXPECT_EQ(text.body, L"Heading\r\n\r\nOne two three.\r\n\r\nNext\r\nline\r\n\r\n- first\r\n- second item\r\n\r\nend");
}

TEST(HelpText, EntitiesCommentsAndHiddenContent) {
  const auto text = RenderHelp(L"<p>a &amp; b &lt;c&gt; &quot;d&quot; &#65;&#x42; x&nbsp;&nbsp;y &bogus; &</p>"
                               L"<!-- <p>not shown</p> --><script>var x = 1;</script><style>p{}</style>z");
  EXPECT_EQ(text.body, L"a & b <c> \"d\" AB x  y &bogus; &\r\n\r\nz");
}

TEST(HelpText, OutOfRangeCharacterReferencesStayAsWritten) {
  EXPECT_EQ(RenderHelp(L"&#0; &#99999999999; &#x;").body, L"&#0; &#99999999999; &#x;");
}

TEST(HelpText, UnfinishedTagEndsTheText) {
  EXPECT_EQ(RenderHelp(L"before <p unfinished").body, L"before");
}

TEST(HelpText, AnchorsMarkWhereTheirTopicStarts) {
  const auto text = RenderHelp(L"<p>Intro</p><a name=\"Second_topic\"></a><h2>Second</h2><p>More</p>"
                               L"<a href=\"x\">link</a><A NAME=third>Third</A>");
  const size_t second = FindTopic(text, L"second_TOPIC");
  ASSERT_NE(second, std::wstring::npos);
  EXPECT_EQ(text.body.compare(second, 6, L"Second"), 0);
  const size_t third = FindTopic(text, L"third");
  ASSERT_NE(third, std::wstring::npos);
  EXPECT_EQ(text.body.compare(third, 5, L"Third"), 0);
  EXPECT_EQ(FindTopic(text, L"x"), std::wstring::npos) << "href is not a name";
  EXPECT_EQ(FindTopic(text, L"missing"), std::wstring::npos);
}

TEST(HelpText, DecodesUtf8WithOrWithoutMarkAndFallsBackToTheAnsiPage) {
  EXPECT_EQ(DecodeHelpBytes(Bytes("\xEF\xBB\xBFZo\xC3\xABl")), L"Zo\u00EBl");
  EXPECT_EQ(DecodeHelpBytes(Bytes("Zo\xC3\xABl")), L"Zo\u00EBl");
  const std::wstring ansi = DecodeHelpBytes(Bytes("caf\xE9"));  // not valid UTF-8
  ASSERT_EQ(ansi.size(), 4u);
  EXPECT_EQ(ansi.substr(0, 3), L"caf");
  EXPECT_EQ(DecodeHelpBytes({}), L"");
}

// --- The program ---

class PegHelpRun {
 public:
  explicit PegHelpRun(const std::wstring& argument) {
    std::wstring commandLine = L"\"" + lmx::test::BinDir() + L"PegHelp.exe\" " + argument;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    started_ = CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                              lmx::test::BinDir().c_str(), &startup, &info_);
    if (!started_) return;
    window_ = lmx::test::FindShownWindow(L"PegHelp", 0, info_.dwProcessId, 10000);
    if (window_) edit_ = FindWindowExW(window_, nullptr, L"Edit", nullptr);
  }
  ~PegHelpRun() {
    if (!started_) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 99);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  bool Started() const { return started_; }
  HWND Window() const { return window_; }
  HWND Edit() const { return edit_; }
  // The Done button's command closes the viewer; its exit code, or -1 when it stays.
  int Close() {
    PostMessageW(window_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    if (WaitForSingleObject(info_.hProcess, 10000) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<int>(code);
  }

 private:
  BOOL started_ = FALSE;
  PROCESS_INFORMATION info_{};
  HWND window_ = nullptr;
  HWND edit_ = nullptr;
};

TEST(PegHelp, ShowsTheViewersHelpFileFullScreenAndClosesWithDone) {
  PegHelpRun run(L"Lumivex.htp#Lumivex_help");
  ASSERT_TRUE(run.Started());
  ASSERT_NE(run.Window(), nullptr);
  ASSERT_NE(run.Edit(), nullptr);
  EXPECT_EQ(TextOf(run.Window()), L"Lumivex Help");
  const std::wstring text = TextOf(run.Edit());
  EXPECT_NE(text.find(L"Opening a picture"), std::wstring::npos);
  EXPECT_NE(text.find(L"File > Options..."), std::wstring::npos);
  EXPECT_EQ(text.find(L'<'), std::wstring::npos) << "no markup shows";
  EXPECT_EQ(WindowRectText(run.Window()), RectText(0, AYG_TOP_BAR_HEIGHT, AYG_SCREEN_WIDTH, AYG_SCREEN_HEIGHT));
  EXPECT_EQ(run.Close(), 0);
}

TEST(PegHelp, SaysSoWhenTheFileIsMissing) {
  PegHelpRun run(L"NoSuchFile.htp#NoSuchFile_help");
  ASSERT_TRUE(run.Started());
  ASSERT_NE(run.Edit(), nullptr);
  EXPECT_NE(TextOf(run.Edit()).find(L"\"NoSuchFile.htp\" could not be found"), std::wstring::npos);
  EXPECT_EQ(run.Close(), 1);
}

TEST(PegHelp, SecondStartHandsItsFileToTheRunningViewer) {
  PegHelpRun first(L"NoSuchFile.htp#x");
  ASSERT_NE(first.Edit(), nullptr);
  std::wstring commandLine = L"\"" + lmx::test::BinDir() + L"PegHelp.exe\" Lumivex.htp#Lumivex_help";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION second{};
  ASSERT_TRUE(CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                             lmx::test::BinDir().c_str(), &startup, &second));
  ASSERT_EQ(WaitForSingleObject(second.hProcess, 10000), WAIT_OBJECT_0) << "the second start ends at once";
  DWORD code = 99;
  GetExitCodeProcess(second.hProcess, &code);
  CloseHandle(second.hThread);
  CloseHandle(second.hProcess);
  EXPECT_EQ(code, 0u);
  EXPECT_NE(TextOf(first.Edit()).find(L"Opening a picture"), std::wstring::npos) << "the running one shows it";
  EXPECT_EQ(TextOf(first.Window()), L"Lumivex Help");
  EXPECT_EQ(first.Close(), 0) << "the last file asked for was shown";
}

TEST(PegHelp, OpensAFileByItsPathAtTheTopic) {
  std::string html = "<html><title>Long</title><body>";
  for (int i = 0; i < 80; ++i) html += "<p>Paragraph " + std::to_string(i) + "</p>\n";
  html += "<a name=\"end_topic\"></a><h2>The End</h2></body></html>";
  lmx::test::TempFile file(std::vector<uint8_t>(html.begin(), html.end()), L".htp");
  PegHelpRun run(std::wstring(file.Path()) + L"#end_topic");
  ASSERT_TRUE(run.Started());
  ASSERT_NE(run.Edit(), nullptr);
  const LRESULT first = SendMessageW(run.Edit(), EM_GETFIRSTVISIBLELINE, 0, 0);
  EXPECT_GT(first, 100) << "scrolled to the topic near the end";
  DWORD selStart = 0;
  SendMessageW(run.Edit(), EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), 0);
  const std::wstring text = TextOf(run.Edit());
  ASSERT_LT(selStart, text.size());
  EXPECT_EQ(text.compare(selStart, 7, L"The End"), 0);
  EXPECT_EQ(run.Close(), 0);
}

}  // namespace
