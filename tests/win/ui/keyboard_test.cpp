// The main window by keyboard: the tab order of each page and the strip, page
// switching with Ctrl+Tab, push buttons by Alt+letter.

#include "tests/win/ui/main_window_fixture.h"

namespace tftpcfg::test {
namespace {

class KeyboardTest : public MainWindowTest {
 protected:
  // The controls the focus visits from the current one, pressing Tab n times.
  std::vector<HWND> TabWalk(int n, bool backwards = false) {
    std::vector<HWND> visited;
    for (int i = 0; i < n; ++i) {
      if (backwards)
        PressKeys({VK_SHIFT, VK_TAB});
      else
        PressKeys({VK_TAB});
      visited.push_back(Focus());
    }
    return visited;
  }
};

TEST_F(KeyboardTest, TabVisitsTheBasicPageAndTheStripInOrderAndWraps) {
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  TfrmMain& w = *frm_;
  ASSERT_EQ(Focus(), w.elTFTPRoot->EditHandle());
  // Apply is disabled, so the strip offers OK and Cancel.
  const std::vector<HWND> expected = {w.seTFTPPort->EditHandle(),
                                      w.seTimeout->EditHandle(),
                                      w.seRetries->EditHandle(),
                                      w.cbHighPriority,
                                      w.cbOpTimeout,
                                      w.cbOpBlocksize,
                                      w.cbOpTSize,
                                      w.btnOk,
                                      w.btnCancel,
                                      w.elTFTPRoot->EditHandle()};
  EXPECT_EQ(TabWalk(static_cast<int>(expected.size())), expected);
  // Shift+Tab goes the other way round.
  const std::vector<HWND> back = {w.btnCancel, w.btnOk, w.cbOpTSize};
  EXPECT_EQ(TabWalk(3, true), back);
}

TEST_F(KeyboardTest, TabOrderOfTheOtherPages) {
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  TfrmMain& w = *frm_;
  w.ShowPage(kPageSecurity);
  SendMessageW(w.Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(w.cbDefaultAccess), TRUE);
  EXPECT_EQ(TabWalk(4), (std::vector<HWND>{w.tsgHosts, w.sbAdd, w.sbEdit, w.sbDelete}));

  w.ShowPage(kPageFirewall);
  SendMessageW(w.Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(w.cbFWEnabled), TRUE);
  EXPECT_EQ(TabWalk(2),
            (std::vector<HWND>{w.seFWMinPort->EditHandle(), w.seFWMaxPort->EditHandle()}));

  w.ShowPage(kPageLogging);
  SendMessageW(w.Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(w.cbWriteLog), TRUE);
  EXPECT_EQ(TabWalk(5), (std::vector<HWND>{w.elLogDir->EditHandle(), w.elLogCount->EditHandle(),
                                           w.cbLoggingLevel, w.rgTimestampsItems[1], w.btnOk}));
}

TEST_F(KeyboardTest, CtrlTabCyclesTheFourTabbedPagesOnly) {
  Open();
  TfrmMain& w = *frm_;
  std::vector<int> pages;
  for (int i = 0; i < 5; ++i) {
    PressKeys({VK_CONTROL, VK_TAB});
    pages.push_back(w.ActivePage());
  }
  EXPECT_EQ(pages, (std::vector<int>{1, 2, 3, 0, 1}));
  PressKeys({VK_CONTROL, VK_SHIFT, VK_TAB});
  PressKeys({VK_CONTROL, VK_SHIFT, VK_TAB});
  EXPECT_EQ(w.ActivePage(), kPageLogging);
  // The focus follows into the page in front.
  EXPECT_TRUE(IsChild(w.pages[kPageLogging], Focus()));
  // The Multicasts page exists, has no tab and is never shown.
  EXPECT_TRUE(IsWindow(w.pages[kPageMulticasts]));
  EXPECT_EQ(SendMessageW(w.pcMain, TCM_GETITEMCOUNT, 0, 0), kTabbedPages);
  w.ShowPage(kPageMulticasts);
  EXPECT_FALSE(IsWindowVisible(w.pages[kPageMulticasts]));
  EXPECT_EQ(w.ActivePage(), kPageLogging);
}

TEST_F(KeyboardTest, AltLetterClicksThePagesButtonBeforeTheStrips) {
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  TfrmMain& w = *frm_;
  ClickCheckBox(w.cbHighPriority);  // Apply becomes enabled
  // On the Basic page, Alt+A is Apply.
  SendMessageW(w.Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(w.seTFTPPort->EditHandle()),
               TRUE);
  dialogs_.restartAnswers = {RestartAnswer::Cancel};
  PressKeys({VK_MENU, 'A'});
  EXPECT_EQ(dialogs_.Kinds(), std::vector<std::string>{"Restart"});
  // On the Security page, Alt+A is Add (the rule dialog opens; Esc closes it).
  w.ShowPage(kPageSecurity);
  SendMessageW(w.Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(w.tsgHosts), TRUE);
  bool dialogShown = false;
  TdlgIPEdit::SetOnShownForTesting([&](TdlgIPEdit& d) {
    dialogShown = true;
    PostMessageW(d.Handle(), WM_COMMAND, IDCANCEL, 0);
  });
  PressKeys({VK_MENU, 'A'});
  TdlgIPEdit::SetOnShownForTesting(nullptr);
  EXPECT_TRUE(dialogShown);
  EXPECT_EQ(dialogs_.shown.size(), 1u) << "Apply was not clicked";
  // Alt+D with a disabled or hidden Delete does nothing; Alt+E likewise.
  w.ShowPage(kPageBasic);
  PressKeys({VK_MENU, 'D'});
  EXPECT_EQ(dialogs_.shown.size(), 1u);
}

}  // namespace
}  // namespace tftpcfg::test
