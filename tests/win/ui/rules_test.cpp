// Editing the access rules: the grid's buttons, keys and double-click, the
// rule dialog, and how every change marks the window changed.

#include "tests/win/ui/main_window_fixture.h"

#include <commctrl.h>

#include <utility>

#include "config/access_rights.h"
#include "controls/ip_address_field.h"

namespace tftpcfg::test {
namespace {

class RulesTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    PutCompleteKey(existingDir_, existingDir_);
    PutString("HostList", "");
  }
  void TearDown() override {
    dlg_->SetOnShown(nullptr);
    MainWindowTest::TearDown();
  }

  // What the dialog showed when it opened, and what the test then did in it.
  struct Seen {
    int access = -2;
    bool single = false;
    std::string address, mask;
    bool maskVisible = false;
    std::wstring addressLabel;
    HWND focus = nullptr;
  };
  // The next dialog: records what it shows, runs fill, then closes with result.
  void NextDialog(std::function<void(RuleDialog&)> fill, int result) {
    shownDialogs_ = 0;
    dlg_->SetOnShown([this, fill = std::move(fill), result](RuleDialog& d) {
      ++shownDialogs_;
      seen_.access = d.AccessIndex();
      seen_.single = d.SingleSelected();
      seen_.address = d.Address();
      seen_.mask = d.Mask();
      seen_.maskVisible = IsWindowVisible(IpAddressField(d.Control(IDC_MASK)).Handle()) != FALSE;
      wchar_t label[64] = {};
      GetWindowTextW(d.Control(IDC_ADDRESS_LABEL), label, 64);
      seen_.addressLabel = label;
      seen_.focus = GetFocus();
      if (fill) fill(d);
      PostMessageW(d.Handle(), WM_COMMAND, MAKEWPARAM(result, BN_CLICKED), 0);
    });
  }
  // Types an address into an IP field part by part, as the user does.
  static void TypeAddress(IpAddressField field, const std::wstring& text) {
    SetFocus(field.Part(0));
    for (wchar_t c : text) SendMessageW(GetFocus(), WM_CHAR, c, 1);
  }
  static void ClickRadio(HWND radio) { SendMessageW(radio, BM_CLICK, 0, 0); }
  static void PickAccess(RuleDialog& d, int index) {
    SendMessageW(d.Control(IDC_ACCESS), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
  void Select(int row) {
    SetForegroundWindow(frm_->Handle());
    ListView_SetItemState(frm_->Control(IDC_RULES), row, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
    Pump();
  }
  std::vector<std::wstring> RowTexts() const {
    std::vector<std::wstring> texts;
    for (const auto& row : frm_->HostRows())
      texts.push_back(row.addressText + L" | " + row.rightText);
    return texts;
  }

  int shownDialogs_ = 0;
  Seen seen_;
};

TEST_F(RulesTest, AddASingleHost) {
  Open();
  NextDialog(
      [](RuleDialog& d) {
        ClickRadio(d.Control(IDC_SINGLE_HOST));
        TypeAddress(IpAddressField(d.Control(IDC_ADDRESS)), L"10.0.0.7");
      },
      IDOK);
  ClickButton(frm_->Control(IDC_ADD_RULE));
  ASSERT_EQ(shownDialogs_, 1);
  EXPECT_EQ(seen_.access, kNoAccess) << "Add starts at No Access";
  EXPECT_EQ(seen_.focus, dlg_->Control(IDC_ACCESS))
      << "first display puts the focus in the access list";
  EXPECT_EQ(RowTexts(), std::vector<std::wstring>{L"10.0.0.7 | No Access"});
  EXPECT_EQ(frm_->HostRows()[0].rule, (AccessRule{"10.0.0.7", "255.255.255.255", kNoAccess}));
  EXPECT_TRUE(frm_->Modified());
  EXPECT_TRUE(IsWindowEnabled(frm_->Control(IDC_APPLY)));
}

TEST_F(RulesTest, AddANetworkWithReadOnlyAccess) {
  Open();
  NextDialog(
      [](RuleDialog& d) {
        ClickRadio(d.Control(IDC_NETWORK));
        PickAccess(d, kReadOnly);
        TypeAddress(IpAddressField(d.Control(IDC_ADDRESS)), L"192.168.10.0");
        TypeAddress(IpAddressField(d.Control(IDC_MASK)), L"255.255.255.0");
      },
      IDOK);
  ClickButton(frm_->Control(IDC_ADD_RULE));
  EXPECT_EQ(RowTexts(), std::vector<std::wstring>{L"192.168.10.0 (255.255.255.0) | Read Only"});
  EXPECT_EQ(frm_->SaveHosts(), "[192.168.10.0, 255.255.255.0, R]");
}

TEST_F(RulesTest, ANetworkOfOneHostReadsBackAsASingleHost) {
  Open();
  NextDialog(
      [](RuleDialog& d) {
        ClickRadio(d.Control(IDC_NETWORK));
        d.SetAddress("10.1.1.1");
        d.SetMask("255.255.255.255");
      },
      IDOK);
  ClickButton(frm_->Control(IDC_ADD_RULE));
  EXPECT_EQ(RowTexts(), std::vector<std::wstring>{L"10.1.1.1 (255.255.255.255) | No Access"});
  frm_->LoadHosts(frm_->SaveHosts());
  EXPECT_EQ(RowTexts(), std::vector<std::wstring>{L"10.1.1.1 | No Access"});
  Select(0);
  NextDialog(nullptr, IDCANCEL);
  ClickButton(frm_->Control(IDC_EDIT_RULE));
  EXPECT_TRUE(seen_.single);
  EXPECT_FALSE(seen_.maskVisible);
  EXPECT_EQ(seen_.addressLabel, L"Host IP Address:");
}

TEST_F(RulesTest, CancelChangesNothingAndTheDialogKeepsWhatWasTyped) {
  Open();
  NextDialog(
      [](RuleDialog& d) {
        ClickRadio(d.Control(IDC_NETWORK));
        PickAccess(d, kReadOnly);
        d.SetAddress("172.16.0.0");
        d.SetMask("255.240.0.0");
      },
      IDCANCEL);
  ClickButton(frm_->Control(IDC_ADD_RULE));
  EXPECT_TRUE(frm_->HostRows().empty());
  EXPECT_FALSE(frm_->Modified());
  NextDialog(nullptr, IDCANCEL);
  ClickButton(frm_->Control(IDC_ADD_RULE));
  EXPECT_EQ(seen_.address, "172.16.0.0");
  EXPECT_EQ(seen_.mask, "255.240.0.0");
  EXPECT_FALSE(seen_.single);
  EXPECT_EQ(seen_.access, kNoAccess) << "the access right starts at No Access again";
}

TEST_F(RulesTest, EditOpensTheRuleInItsModeAndCancelLeavesItAlone) {
  PutString("HostList", "[10.0.0.7, 255.255.255.255, NA], [192.168.10.0, 255.255.255.0, R]");
  Open();
  Select(1);
  NextDialog(nullptr, IDCANCEL);
  ClickButton(frm_->Control(IDC_EDIT_RULE));
  EXPECT_FALSE(seen_.single);
  EXPECT_TRUE(seen_.maskVisible);
  EXPECT_EQ(seen_.addressLabel, L"Network IP Address:");
  EXPECT_EQ(seen_.address, "192.168.10.0");
  EXPECT_EQ(seen_.mask, "255.255.255.0");
  EXPECT_EQ(seen_.access, kReadOnly);
  EXPECT_FALSE(frm_->Modified());

  // Edit with OK updates the row in place.
  NextDialog([](RuleDialog& d) { PickAccess(d, kNoAccess); }, IDOK);
  ClickButton(frm_->Control(IDC_EDIT_RULE));
  EXPECT_EQ(RowTexts(), (std::vector<std::wstring>{L"10.0.0.7 | No Access",
                                                   L"192.168.10.0 (255.255.255.0) | No Access"}));
  EXPECT_TRUE(frm_->Modified());
}

TEST_F(RulesTest, DoubleClickEditsTheSelectedRowOnly) {
  PutString("HostList", "[10.0.0.7, 255.255.255.255, NA]");
  Open();
  NextDialog(nullptr, IDCANCEL);
  SendMessageW(frm_->Control(IDC_RULES), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 200));
  Pump();
  EXPECT_EQ(shownDialogs_, 0) << "no row selected";
  Select(0);
  NMHDR header{frm_->Control(IDC_RULES), static_cast<UINT_PTR>(IDC_RULES),
               static_cast<UINT>(NM_DBLCLK)};
  SendMessageW(frm_->Handle(), WM_NOTIFY, IDC_RULES, reinterpret_cast<LPARAM>(&header));
  Pump();
  EXPECT_EQ(shownDialogs_, 1);
  EXPECT_TRUE(seen_.single);
}

TEST_F(RulesTest, DeleteAsksFirstAndMarksTheWindowChangedEvenWithoutASelection) {
  PutString("HostList", "[10.0.0.7, 255.255.255.255, NA], [10.0.0.8, 255.255.255.255, R]");
  Open();
  dialogs_.confirmAnswers = {false};
  KeyDown(frm_->Control(IDC_RULES), VK_DELETE);
  EXPECT_EQ(dialogs_.Kinds(), std::vector<std::string>{"Confirm"});
  EXPECT_EQ(dialogs_.shown[0].text, "Are you sure to delete rule?");
  EXPECT_EQ(frm_->HostRows().size(), 2u);
  EXPECT_FALSE(frm_->Modified());

  dialogs_.confirmAnswers = {true};
  KeyDown(frm_->Control(IDC_RULES), VK_DELETE);  // Yes, but nothing selected
  EXPECT_EQ(frm_->HostRows().size(), 2u);
  EXPECT_TRUE(frm_->Modified());

  Select(0);
  dialogs_.confirmAnswers = {true};
  ClickButton(frm_->Control(IDC_DELETE_RULE));
  EXPECT_EQ(RowTexts(), std::vector<std::wstring>{L"10.0.0.8 | Read Only"});
  EXPECT_EQ(frm_->SaveHosts(), "[10.0.0.8, 255.255.255.255, R]");
}

// A list that the decoding cannot show exactly is saved back as stored while
// no rule changes; once a rule is deleted the rows are encoded.
TEST_F(RulesTest, StoredRulesAreSavedBackAsReadUntilARuleChanges) {
  const char* const lists[] = {
      " [a, m, R], [b, m, NA]",
      "[a, m, R], , [b, m, NA]",
      "[a, m, R][b, m, NA]",
      "junk[1.2.3.4, 255.255.255.255, R]",
      "[1.2.3.4, 255.255.255.255, R, X]",
      "[1.2.3.4]",
      "[192.168.10.0, 255.255.255.0, R], [10.0.0.7, 255.255.255.255, NA]",
  };
  for (const char* stored : lists) {
    SCOPED_TRACE(stored);
    dlg_.reset();
    frm_.reset();
    Pump();
    PutString("HostList", stored);
    Open();
    const auto applyNo = [this] {
      dialogs_.restartAnswers = {RestartAnswer::No};
      ClickButton(frm_->Control(IDC_APPLY));
    };
    ClickCheckBox(frm_->Control(IDC_HIGH_PRIORITY));
    applyNo();
    std::string saved;
    ASSERT_TRUE(GetString("HostList", saved));
    EXPECT_EQ(saved, stored);

    std::vector<AccessRule> rules = DecodeHostList(stored);
    Select(0);
    dialogs_.confirmAnswers = {true};
    ClickButton(frm_->Control(IDC_DELETE_RULE));
    applyNo();
    rules.erase(rules.begin());
    ASSERT_TRUE(GetString("HostList", saved));
    EXPECT_EQ(saved, EncodeHostList(rules));
  }
}

// Insert adds and Delete deletes whatever Shift, Ctrl and Alt are held; the
// grid does nothing else with either key.
TEST_F(RulesTest, InsertAndDeleteWithEachModifier) {
  PutString("HostList", "[10.0.0.7, 255.255.255.255, NA]");
  Open();
  frm_->ShowPage(kPageSecurity);
  SetForegroundWindow(frm_->Handle());
  SendMessageW(frm_->Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(frm_->Control(IDC_RULES)),
               TRUE);
  Select(0);
  for (const WORD modifier : {WORD{0}, WORD{VK_SHIFT}, WORD{VK_CONTROL}, WORD{VK_MENU}}) {
    SCOPED_TRACE(modifier);
    NextDialog(nullptr, IDCANCEL);
    if (modifier)
      PressKeys({modifier, VK_INSERT});
    else
      PressKeys({VK_INSERT});
    EXPECT_EQ(shownDialogs_, 1) << "Insert opens the dialog for a new rule";
    dialogs_.confirmAnswers = {false};
    dialogs_.shown.clear();
    if (modifier)
      PressKeys({modifier, VK_DELETE});
    else
      PressKeys({VK_DELETE});
    EXPECT_EQ(dialogs_.Kinds(), std::vector<std::string>{"Confirm"});
    EXPECT_EQ(frm_->HostRows().size(), 1u);
    EXPECT_EQ(frm_->SelectedRow(), 0) << "the grid did not move on either key";
  }
  EXPECT_FALSE(frm_->Modified());
}

TEST_F(RulesTest, EditOfANetworkRuleRightAfterAddingASingleHost) {
  PutString("HostList", "[192.168.10.0, 255.255.255.0, R]");
  Open();
  NextDialog(
      [](RuleDialog& d) {
        ClickRadio(d.Control(IDC_SINGLE_HOST));
        d.SetAddress("10.0.0.9");
      },
      IDOK);
  ClickButton(frm_->Control(IDC_ADD_RULE));
  Select(0);
  NextDialog(nullptr, IDCANCEL);
  ClickButton(frm_->Control(IDC_EDIT_RULE));
  ASSERT_EQ(shownDialogs_, 1);
  EXPECT_FALSE(seen_.single);
  EXPECT_TRUE(seen_.maskVisible);
  EXPECT_EQ(seen_.addressLabel, L"Network IP Address:");
  EXPECT_EQ(seen_.address, "192.168.10.0");
  EXPECT_EQ(seen_.mask, "255.255.255.0");
  EXPECT_EQ(seen_.access, kReadOnly);
}

TEST_F(RulesTest, EqualRulesStaySideBySide) {
  Open();
  for (int i = 0; i < 2; ++i) {
    NextDialog(
        [](RuleDialog& d) {
          ClickRadio(d.Control(IDC_SINGLE_HOST));
          d.SetAddress("10.0.0.9");
        },
        IDOK);
    ClickButton(frm_->Control(IDC_ADD_RULE));
  }
  EXPECT_EQ(frm_->SaveHosts(), "[10.0.0.9, 255.255.255.255, NA], [10.0.0.9, 255.255.255.255, NA]");
}

TEST_F(RulesTest, EditOfAMalformedRuleShowsTheErrorAndOpensNoDialog) {
  PutString("HostList", "[1.2.3.4]");
  Open();
  ASSERT_EQ(RowTexts(), std::vector<std::wstring>{L"1.2.3.4 () | No Access"});
  Select(0);
  NextDialog(nullptr, IDOK);
  ClickButton(frm_->Control(IDC_EDIT_RULE));
  EXPECT_EQ(shownDialogs_, 0);
  ASSERT_EQ(dialogs_.Kinds(), std::vector<std::string>{"ApplicationError"});
  EXPECT_EQ(dialogs_.shown[0].text, "Invalid IP address string.");
  EXPECT_FALSE(frm_->Modified());
  EXPECT_EQ(frm_->SaveHosts(), "[1.2.3.4, , NA]");
  // The address was written before the mask failed: the next Add shows it.
  NextDialog(nullptr, IDCANCEL);
  ClickButton(frm_->Control(IDC_ADD_RULE));
  EXPECT_EQ(seen_.address, "1.2.3.4");
}

TEST_F(RulesTest, EditAndDeleteFollowTheSelectionWhileTheWindowIsActive) {
  PutString("HostList", "[10.0.0.7, 255.255.255.255, NA]");
  Open();
  // Enabled when the window opens, before any selection change.
  EXPECT_TRUE(IsWindowEnabled(frm_->Control(IDC_EDIT_RULE)));
  EXPECT_TRUE(IsWindowEnabled(frm_->Control(IDC_DELETE_RULE)));
  Select(0);
  EXPECT_TRUE(IsWindowEnabled(frm_->Control(IDC_EDIT_RULE)));
  ListView_SetItemState(frm_->Control(IDC_RULES), -1, 0, LVIS_SELECTED);
  Pump();
  EXPECT_FALSE(IsWindowEnabled(frm_->Control(IDC_EDIT_RULE)));
  EXPECT_FALSE(IsWindowEnabled(frm_->Control(IDC_DELETE_RULE)));
  EXPECT_TRUE(IsWindowEnabled(frm_->Control(IDC_ADD_RULE)));
  // While another window is active, a selection change leaves them alone.
  const HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                     nullptr, nullptr, nullptr, nullptr);
  SetActiveWindow(other);
  ASSERT_NE(GetActiveWindow(), frm_->Handle());
  ListView_SetItemState(frm_->Control(IDC_RULES), 0, LVIS_SELECTED, LVIS_SELECTED);
  Pump();
  EXPECT_FALSE(IsWindowEnabled(frm_->Control(IDC_EDIT_RULE)));
  EXPECT_FALSE(IsWindowEnabled(frm_->Control(IDC_DELETE_RULE)));
  DestroyWindow(other);
}

TEST_F(RulesTest, TheDialogAtProgramStartAndOnEveryClose) {
  Open();
  wchar_t caption[64] = {};
  GetWindowTextW(dlg_->Handle(), caption, 64);
  EXPECT_STREQ(caption, L"Client access rights");
  EXPECT_FALSE(IsWindowVisible(dlg_->Handle()));
  EXPECT_FALSE(dlg_->SingleSelected());
  EXPECT_EQ(dlg_->Address(), "0.0.0.0");
  EXPECT_EQ(dlg_->Mask(), "0.0.0.0");
  EXPECT_EQ(dlg_->AccessIndex(), -1);
  wchar_t label[64] = {};
  GetWindowTextW(dlg_->Control(IDC_ADDRESS_LABEL), label, 64);
  EXPECT_STREQ(label, L"Network IP Address:");
  // A single host gets the all-ones mask however the dialog closes; Esc and
  // the close box mean Cancel.
  for (const bool escape : {true, false}) {
    dlg_->SetOnShown([escape](RuleDialog& d) {
      ClickRadio(d.Control(IDC_SINGLE_HOST));
      d.SetMask("255.0.0.0");
      if (escape)
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
      else
        PostMessageW(d.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    ClickButton(frm_->Control(IDC_ADD_RULE));
    EXPECT_EQ(dlg_->Mask(), "255.255.255.255") << escape;
    EXPECT_TRUE(frm_->HostRows().empty()) << escape;
  }
  EXPECT_FALSE(frm_->Modified());
  EXPECT_FALSE(IsWindowVisible(dlg_->Handle()));
  EXPECT_TRUE(IsWindowEnabled(frm_->Handle()));
}

}  // namespace
}  // namespace tftpcfg::test
