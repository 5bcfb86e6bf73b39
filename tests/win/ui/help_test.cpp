// F1 in the main window opens the configuration topic of the help file beside
// the program, also from the restart question, a system box owned by the
// window; the rule dialog and the program's own message dialogs offer none.

#include "tests/win/ui/main_window_fixture.h"

#include "platform/win32/application_error.h"
#include "platform/win32/file_system_win.h"
#include "tests/support/win/child_program.h"
#include "tests/support/win/message_box_answerer.h"
#include "ui/help_viewer.h"

namespace tftpcfg::test {
namespace {

const char kTopic[] = "C:\\Program Files\\Ostrel TFTP\\tftpserv.chm::/configuration.htm";

TEST_F(MainWindowTest, F1AnywhereInTheWindowAsksForTheSameTopic) {
  Open();
  MainWindow& w = *frm_;
  const std::vector<std::pair<int, HWND>> places = {
      {kPageBasic, FolderField(w.Control(IDC_TFTP_ROOT)).Edit()},
      {kPageBasic, w.Control(IDC_OPTION_TSIZE)},
      {kPageSecurity, w.Control(IDC_RULES)},
      {kPageFirewall, NumberField(w.Control(IDC_FIREWALL_MAX_PORT)).Edit()},
      {kPageLogging, w.Control(IDC_WRITE_LOG)},
      {kPageLogging, w.Control(IDCANCEL)},
  };
  for (const auto& [page, control] : places) {
    w.ShowPage(page);
    SendMessageW(w.Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    PressKeys({VK_F1});
  }
  EXPECT_EQ(helpTopics_, std::vector<std::string>(places.size(), kTopic));
}

TEST_F(MainWindowTest, TheRuleDialogOffersNoHelp) {
  Open();
  dlg_->SetOnShown([this](RuleDialog& d) {
    PressKeys({VK_F1});
    PostMessageW(d.Handle(), WM_COMMAND, IDCANCEL, 0);
  });
  frm_->ShowPage(kPageSecurity);
  ClickButton(frm_->Control(IDC_ADD_RULE));
  dlg_->SetOnShown(nullptr);
  EXPECT_TRUE(helpTopics_.empty());
}

// The real boxes: F1 in the restart question asks the window for the topic and
// the question stays open; F1 in the discard question asks for nothing.
TEST_F(MainWindowTest, F1InTheRestartQuestionOpensTheTopicAndNotInTheProgramsDialogs) {
  Open();
  WindowMessageBoxes real;
  bool stillOpen = false;
  MessageBoxAnswerer answerer([&](const SeenBox& box) {
    PressKeys({VK_F1});
    stillOpen = IsWindowVisible(box.hwnd) != FALSE;
    return box.caption == "Confirmation" ? IDCANCEL : IDNO;
  });
  EXPECT_EQ(real.AskRestart(frm_->Handle()), RestartAnswer::Cancel);
  EXPECT_TRUE(stillOpen);
  // Wine passes the request on twice (the box's handler and its default
  // handling); Windows once.
  ASSERT_FALSE(helpTopics_.empty());
  for (const std::string& topic : helpTopics_) EXPECT_EQ(topic, kTopic);
  const size_t asked = helpTopics_.size();
  EXPECT_FALSE(real.Confirm(frm_->Handle(), kDiscardQuestion));
  EXPECT_EQ(helpTopics_.size(), asked);
  ASSERT_EQ(answerer.seen().size(), 2u);
}

TEST_F(MainWindowTest, AfterAValueFailedToLoadF1StillFindsTheHelpFile) {
  PutString("LogLevel", "x");
  Open();
  ASSERT_EQ(dialogs_.Kinds(), std::vector<std::string>{"ApplicationError"});
  PressKeys({VK_F1});
  EXPECT_EQ(helpTopics_, std::vector<std::string>{
                             "C:\\Program Files\\Ostrel TFTP\\tftpserv.chm::/configuration.htm"});
}

// The real help control with the help file that the build places beside the
// program: the viewer opens (Wine renders no page, so the window is what can
// be checked) with the help file's title. Releasing the control closes the
// viewer first: a viewer left open would outlive the code of its window
// procedure, and the next message dispatched to it would crash.
TEST(HelpControl, OpensTheViewerOnTheConfigurationTopicAndClosesItWhenReleased) {
#ifndef TFTPCFG_TEST_HELP_FILE_BUILT
  GTEST_SKIP() << "this build has no help compiler, so no help file";
#endif
  HWND viewer = nullptr;
  {
    const HelpViewer help;
    ASSERT_TRUE(help.Loaded());
    ASSERT_NE(help.HtmlHelpA(), nullptr);
    ASSERT_NE(help.HtmlHelpW(), nullptr);
    const std::string chm = ExecutableDirectory() + "..\\..\\bin\\tftpserv.chm";
    ASSERT_NE(GetFileAttributesA(chm.c_str()), INVALID_FILE_ATTRIBUTES) << chm;
    viewer = help.DisplayTopic(chm + "::/configuration.htm");
    ASSERT_NE(viewer, nullptr);
    wchar_t cls[64] = {};
    GetClassNameW(viewer, cls, 64);
    EXPECT_STREQ(cls, L"HH Parent");
    EXPECT_EQ(GetParent(viewer), nullptr) << "the viewer is a window of its own";
  }
  EXPECT_FALSE(IsWindow(viewer)) << "the viewer outlived the help control";
}

// The built program, F1 typed into it, and its window closed while the viewer
// is still open: the program ends normally.
TEST(HelpControl, TheProgramClosedWithItsViewerOpenEndsCleanly) {
#ifndef TFTPCFG_TEST_HELP_FILE_BUILT
  GTEST_SKIP() << "this build has no help compiler, so no help file";
#endif
  const std::wstring exe = TFTPCFG_TEST_BUILT_EXE;
  const ChildProcess program(L"\"" + exe + L"\"", exe.substr(0, exe.rfind(L'\\')));
  ASSERT_TRUE(program.Started());
  const HWND main = WaitForVisibleWindow(program, Widen(kApplicationTitle), 30000);
  ASSERT_NE(main, nullptr) << "the window did not open";
  ASSERT_TRUE(TypeKeyInto(main, VK_F1));
  HWND viewer = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    return (viewer = FindWindowOf(program.Id(), nullptr,
                                  [](HWND h) { return IsClass(h, L"HH Parent"); }));
  })) << "F1 opened no help viewer";

  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(program.Ended(30000)) << "the program did not end";
  EXPECT_EQ(program.ExitCode(), 0u);
}

TEST(HelpControl, AMissingControlLeavesHelpAbsent) {
  const HelpViewer help("NoSuchHelpControl.ocx");
  EXPECT_FALSE(help.Loaded());
  EXPECT_EQ(help.DisplayTopic("x.chm::/configuration.htm"), nullptr);
  MSG msg = {};
  msg.message = WM_KEYDOWN;
  msg.wParam = VK_TAB;
  EXPECT_FALSE(help.PreTranslateMessage(msg));
}

}  // namespace
}  // namespace tftpcfg::test
