// The main window by keyboard alone: the tab order of each page and the strip,
// page switching with Ctrl+Tab, push buttons by Alt+letter, Enter and Space on
// focused buttons, arrow keys in the radio pair, the lists and the grid, and
// every rule action from Add to OK, the rule dialog included.

#include "tests/win/ui/main_window_fixture.h"

#include <commctrl.h>

#include "controls/ip_address_field.h"

namespace tftpcfg::test {
namespace {

class KeyboardTest : public MainWindowTest {
 protected:
  void TearDown() override {
    dlg_->SetOnShown(nullptr);
    MainWindowTest::TearDown();
  }

  // Queues key presses without pumping, for a modal loop to take them: each
  // entry is a key with its modifiers held, pressed and released in turn.
  static void QueueKeys(std::initializer_list<std::initializer_list<WORD>> chords) {
    std::vector<INPUT> inputs;
    for (const auto& chord : chords) {
      for (WORD vk : chord) inputs.push_back(Key(vk, 0));
      for (auto it = chord.end(); it != chord.begin();)
        inputs.push_back(Key(*--it, KEYEVENTF_KEYUP));
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  }
  // Queues typed characters.
  static void QueueText(const std::wstring& text) {
    std::vector<INPUT> inputs;
    for (wchar_t c : text) {
      INPUT down = {};
      down.type = INPUT_KEYBOARD;
      down.ki.wScan = c;
      down.ki.dwFlags = KEYEVENTF_UNICODE;
      INPUT up = down;
      up.ki.dwFlags |= KEYEVENTF_KEYUP;
      inputs.push_back(down);
      inputs.push_back(up);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  }
  static INPUT Key(WORD vk, DWORD flags) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = flags;
    return in;
  }
  void FocusOn(HWND control) {
    SendMessageW(frm_->Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    Pump();
  }

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
  MainWindow& w = *frm_;
  ASSERT_EQ(Focus(), FolderField(w.Control(IDC_TFTP_ROOT)).Edit());
  // Apply is disabled, so the strip offers OK and Cancel.
  const std::vector<HWND> expected = {NumberField(w.Control(IDC_TFTP_PORT)).Edit(),
                                      NumberField(w.Control(IDC_TIMEOUT)).Edit(),
                                      NumberField(w.Control(IDC_RETRIES)).Edit(),
                                      w.Control(IDC_HIGH_PRIORITY),
                                      w.Control(IDC_OPTION_TIMEOUT),
                                      w.Control(IDC_OPTION_BLOCKSIZE),
                                      w.Control(IDC_OPTION_TSIZE),
                                      w.Control(IDOK),
                                      w.Control(IDCANCEL),
                                      FolderField(w.Control(IDC_TFTP_ROOT)).Edit()};
  EXPECT_EQ(TabWalk(static_cast<int>(expected.size())), expected);
  // Shift+Tab goes the other way round.
  const std::vector<HWND> back = {w.Control(IDCANCEL), w.Control(IDOK),
                                  w.Control(IDC_OPTION_TSIZE)};
  EXPECT_EQ(TabWalk(3, true), back);
}

TEST_F(KeyboardTest, TabOrderOfTheOtherPages) {
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  MainWindow& w = *frm_;
  w.ShowPage(kPageSecurity);
  SendMessageW(w.Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(w.Control(IDC_DEFAULT_ACCESS)),
               TRUE);
  EXPECT_EQ(TabWalk(4), (std::vector<HWND>{w.Control(IDC_RULES), w.Control(IDC_ADD_RULE),
                                           w.Control(IDC_EDIT_RULE), w.Control(IDC_DELETE_RULE)}));

  w.ShowPage(kPageFirewall);
  SendMessageW(w.Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(w.Control(IDC_FIREWALL)), TRUE);
  EXPECT_EQ(TabWalk(2), (std::vector<HWND>{NumberField(w.Control(IDC_FIREWALL_MIN_PORT)).Edit(),
                                           NumberField(w.Control(IDC_FIREWALL_MAX_PORT)).Edit()}));

  w.ShowPage(kPageLogging);
  SendMessageW(w.Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(w.Control(IDC_WRITE_LOG)), TRUE);
  EXPECT_EQ(TabWalk(5), (std::vector<HWND>{FolderField(w.Control(IDC_LOG_DIRECTORY)).Edit(),
                                           NumberField(w.Control(IDC_LOG_COUNT)).Edit(),
                                           w.Control(IDC_LOG_LEVEL),
                                           w.Control(IDC_LOCAL_TIMESTAMPS), w.Control(IDOK)}));
}

TEST_F(KeyboardTest, CtrlTabCyclesTheFourTabbedPagesOnly) {
  Open();
  MainWindow& w = *frm_;
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
  EXPECT_TRUE(IsChild(w.Page(kPageLogging), Focus()));
  // The Multicasts page has no tab and is never shown, so never built.
  EXPECT_EQ(SendMessageW(w.Control(IDC_PAGES), TCM_GETITEMCOUNT, 0, 0), kTabbedPages);
  w.ShowPage(kPageMulticasts);
  EXPECT_FALSE(w.PageBuilt(kPageMulticasts));
  EXPECT_EQ(w.ActivePage(), kPageLogging);
}

TEST_F(KeyboardTest, AltLetterClicksThePagesButtonBeforeTheStrips) {
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  MainWindow& w = *frm_;
  ClickCheckBox(w.Control(IDC_HIGH_PRIORITY));  // Apply becomes enabled
  // On the Basic page, Alt+A is Apply.
  SendMessageW(w.Handle(), WM_NEXTDLGCTL,
               reinterpret_cast<WPARAM>(NumberField(w.Control(IDC_TFTP_PORT)).Edit()), TRUE);
  dialogs_.restartAnswers = {RestartAnswer::Cancel};
  PressKeys({VK_MENU, 'A'});
  EXPECT_EQ(dialogs_.Kinds(), std::vector<std::string>{"Restart"});
  // On the Security page, Alt+A is Add (the rule dialog opens; Esc closes it).
  w.ShowPage(kPageSecurity);
  SendMessageW(w.Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(w.Control(IDC_RULES)), TRUE);
  bool dialogShown = false;
  dlg_->SetOnShown([&](RuleDialog& d) {
    dialogShown = true;
    PostMessageW(d.Handle(), WM_COMMAND, IDCANCEL, 0);
  });
  PressKeys({VK_MENU, 'A'});
  dlg_->SetOnShown(nullptr);
  EXPECT_TRUE(dialogShown);
  EXPECT_EQ(dialogs_.shown.size(), 1u) << "Apply was not clicked";
  // Alt+D with a disabled or hidden Delete does nothing; Alt+E likewise.
  w.ShowPage(kPageBasic);
  PressKeys({VK_MENU, 'D'});
  EXPECT_EQ(dialogs_.shown.size(), 1u);
}

// A whole round of rule editing without the mouse: into the grid by Ctrl+Tab
// and Tab, rows by arrow keys, Add by Alt+A with the dialog filled in by keys,
// Edit by Alt+E and closed by Esc, Delete by its key, then OK by Enter.
TEST_F(KeyboardTest, EveryRuleActionByKeyboardAlone) {
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  MainWindow& w = *frm_;
  PressKeys({VK_CONTROL, VK_TAB});
  ASSERT_EQ(w.ActivePage(), kPageSecurity);
  EXPECT_EQ(Focus(), w.Control(IDC_DEFAULT_ACCESS));
  PressKeys({VK_TAB});
  ASSERT_EQ(Focus(), w.Control(IDC_RULES));
  PressKeys({VK_DOWN});
  EXPECT_EQ(w.SelectedRow(), 0);
  PressKeys({VK_DOWN});
  EXPECT_EQ(w.SelectedRow(), 1);
  PressKeys({VK_UP});
  EXPECT_EQ(w.SelectedRow(), 0);
  EXPECT_FALSE(w.Modified()) << "moving through the rows changes nothing";

  // Add: the access list by arrow, the single-address radio by arrow, the
  // address typed, Enter for OK.
  HWND focusInDialog = nullptr;
  dlg_->SetOnShown([&](RuleDialog& d) {
    focusInDialog = GetFocus();
    QueueKeys({{VK_DOWN}, {VK_TAB}, {VK_UP}, {VK_TAB}});
    QueueText(L"10.0.0.7");
    QueueKeys({{VK_RETURN}});
    (void)d;
  });
  PressKeys({VK_MENU, 'A'});
  PumpFor(100);
  EXPECT_EQ(focusInDialog, dlg_->Control(IDC_ACCESS));
  ASSERT_EQ(w.HostRows().size(), 3u);
  EXPECT_EQ(w.HostRows()[2].rule, (AccessRule{"10.0.0.7", "255.255.255.255", kReadOnly}));
  EXPECT_TRUE(w.Modified());
  // Alt+A moved the focus to Add, where it is back after the dialog.
  EXPECT_EQ(Focus(), w.Control(IDC_ADD_RULE));

  // Edit the new row: back into the grid, End selects it, Alt+E opens it, Esc
  // closes it without a change.
  PressKeys({VK_SHIFT, VK_TAB});
  ASSERT_EQ(Focus(), w.Control(IDC_RULES));
  PressKeys({VK_END});
  EXPECT_EQ(w.SelectedRow(), 2);
  std::string seenAddress;
  bool seenSingle = false;
  dlg_->SetOnShown([&](RuleDialog& d) {
    seenAddress = d.Address();
    seenSingle = d.SingleSelected();
    QueueKeys({{VK_ESCAPE}});
  });
  PressKeys({VK_MENU, 'E'});
  PumpFor(100);
  EXPECT_EQ(seenAddress, "10.0.0.7");
  EXPECT_TRUE(seenSingle);
  EXPECT_EQ(w.HostRows()[2].rule.Address, "10.0.0.7");

  // Delete the first row by its key, after the question (Yes).
  EXPECT_EQ(Focus(), w.Control(IDC_EDIT_RULE));
  PressKeys({VK_SHIFT, VK_TAB});
  PressKeys({VK_SHIFT, VK_TAB});
  ASSERT_EQ(Focus(), w.Control(IDC_RULES));
  PressKeys({VK_HOME});
  EXPECT_EQ(w.SelectedRow(), 0);
  dialogs_.confirmAnswers = {true};
  PressKeys({VK_DELETE});
  ASSERT_EQ(w.HostRows().size(), 2u);
  EXPECT_EQ(w.HostRows()[0].rule.Address, "10.0.0.7");
  dlg_->SetOnShown(nullptr);

  // Enter in the grid is OK: No to the restart question saves and closes.
  dialogs_.restartAnswers = {RestartAnswer::No};
  PressKeys({VK_RETURN});
  EXPECT_FALSE(IsWindow(w.Handle()));
  std::string saved;
  ASSERT_TRUE(GetString("HostList", saved));
  EXPECT_EQ(saved, "[10.0.0.7, 255.255.255.255, NA], [10.0.0.7, 255.255.255.255, R]");
}

TEST_F(KeyboardTest, EnterAndSpaceClickTheFocusedButtonOrTickTheFocusedBox) {
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  MainWindow& w = *frm_;
  // Space on a check box ticks it and marks the window changed.
  FocusOn(w.Control(IDC_HIGH_PRIORITY));
  const bool wasChecked = Checked(w.Control(IDC_HIGH_PRIORITY));
  PressKeys({VK_SPACE});
  EXPECT_NE(Checked(w.Control(IDC_HIGH_PRIORITY)), wasChecked);
  EXPECT_TRUE(w.Modified());
  // Enter on a focused push button clicks that button, not the default one:
  // Cancel asks the discard question, OK the restart question.
  dialogs_.confirmAnswers = {false, false};
  dialogs_.restartAnswers = {RestartAnswer::Cancel, RestartAnswer::Cancel};
  FocusOn(w.Control(IDCANCEL));
  PressKeys({VK_RETURN});
  FocusOn(w.Control(IDCANCEL));
  PressKeys({VK_SPACE});
  FocusOn(w.Control(IDOK));
  PressKeys({VK_SPACE});
  // Enter on a check box, which has no use for it, is OK.
  FocusOn(w.Control(IDC_OPTION_TSIZE));
  PressKeys({VK_RETURN});
  EXPECT_EQ(dialogs_.Kinds(),
            (std::vector<std::string>{"Confirm", "Confirm", "Restart", "Restart"}));
  EXPECT_TRUE(IsWindow(w.Handle()));
  // Space on Apply, once it is enabled.
  dialogs_.shown.clear();
  dialogs_.restartAnswers = {RestartAnswer::No};
  FocusOn(w.Control(IDC_APPLY));
  PressKeys({VK_SPACE});
  EXPECT_EQ(dialogs_.Kinds(), std::vector<std::string>{"Restart"});
  EXPECT_FALSE(w.Modified()) << "Apply saved";
}

TEST_F(KeyboardTest, ArrowKeysChooseTheTimestampsAndTheListItems) {
  PutCompleteKey(existingDir_, existingDir_);  // logging on, local timestamps
  Open();
  MainWindow& w = *frm_;
  w.ShowPage(kPageLogging);
  FocusOn(w.Control(IDC_WRITE_LOG));
  PressKeys({VK_TAB});
  PressKeys({VK_TAB});
  PressKeys({VK_TAB});
  ASSERT_EQ(Focus(), w.Control(IDC_LOG_LEVEL));
  const int level = static_cast<int>(SendMessageW(w.Control(IDC_LOG_LEVEL), CB_GETCURSEL, 0, 0));
  PressKeys({VK_UP});
  EXPECT_EQ(SendMessageW(w.Control(IDC_LOG_LEVEL), CB_GETCURSEL, 0, 0), level - 1);
  EXPECT_TRUE(w.Modified());
  // Tab goes to the selected one of the two radio items; arrows move the choice.
  PressKeys({VK_TAB});
  ASSERT_EQ(Focus(), w.Control(IDC_LOCAL_TIMESTAMPS));
  PressKeys({VK_LEFT});
  EXPECT_EQ(Focus(), w.Control(IDC_UTC_TIMESTAMPS));
  EXPECT_TRUE(Checked(w.Control(IDC_UTC_TIMESTAMPS)));
  EXPECT_FALSE(Checked(w.Control(IDC_LOCAL_TIMESTAMPS)));
  PressKeys({VK_DOWN});
  EXPECT_TRUE(Checked(w.Control(IDC_LOCAL_TIMESTAMPS)));
  EXPECT_EQ(w.SettingsFromControls().LocalTime, true);
  // The default access list on the Security page.
  w.ShowPage(kPageSecurity);
  FocusOn(w.Control(IDC_DEFAULT_ACCESS));
  PressKeys({VK_UP});
  EXPECT_EQ(SendMessageW(w.Control(IDC_DEFAULT_ACCESS), CB_GETCURSEL, 0, 0), 0);
}

TEST_F(KeyboardTest, TheRuleDialogByKeyboardNetworkModeAndCancel) {
  Open();
  MainWindow& w = *frm_;
  w.ShowPage(kPageSecurity);
  FocusOn(w.Control(IDC_RULES));
  // Insert opens the dialog; the network radio (chosen at program start) gets
  // the focus from Tab; address and mask typed, Tab between them; Alt+O is OK.
  dlg_->SetOnShown([&](RuleDialog&) {
    QueueKeys({{VK_TAB}, {VK_TAB}});
    QueueText(L"192.168.10.0");
    QueueKeys({{VK_TAB}});
    QueueText(L"255.255.255.0");
    QueueKeys({{VK_MENU, 'O'}});
  });
  PressKeys({VK_INSERT});
  PumpFor(100);
  ASSERT_EQ(w.HostRows().size(), 1u);
  EXPECT_EQ(w.HostRows()[0].addressText, L"192.168.10.0 (255.255.255.0)");
  EXPECT_EQ(w.HostRows()[0].rule.Right, kNoAccess);
  // Alt+C is Cancel: nothing added.
  dlg_->SetOnShown([&](RuleDialog&) { QueueKeys({{VK_MENU, 'C'}}); });
  PressKeys({VK_MENU, 'A'});
  PumpFor(100);
  EXPECT_EQ(w.HostRows().size(), 1u);
}

}  // namespace
}  // namespace tftpcfg::test
