// The main window against the real registry: start-up, change tracking,
// locking, the checks before saving, OK, Apply, Cancel and closing.

#include "tests/win/ui/main_window_fixture.h"

#include <commctrl.h>

#include "tests/support/memory_registry.h"

namespace tftpcfg::test {
namespace {

bool Enabled(HWND h) {
  return IsWindowEnabled(h) != FALSE;
}

TEST_F(MainWindowTest, WithoutTheKeyTheWindowShowsTheInitialValues) {
  Open();
  MainWindow& w = *frm_;
  EXPECT_EQ(FolderField(w.Control(IDC_TFTP_ROOT)).Text(), "");
  EXPECT_EQ(NumberField(w.Control(IDC_TFTP_PORT)).Value(), 1);
  EXPECT_EQ(NumberField(w.Control(IDC_TIMEOUT)).Value(), 3);
  EXPECT_EQ(NumberField(w.Control(IDC_RETRIES)).Value(), 3);
  EXPECT_FALSE(Checked(w.Control(IDC_HIGH_PRIORITY)));
  EXPECT_TRUE(Checked(w.Control(IDC_OPTION_TIMEOUT)) && Checked(w.Control(IDC_OPTION_BLOCKSIZE)) &&
              Checked(w.Control(IDC_OPTION_TSIZE)));
  EXPECT_EQ(ComboIndex(w.Control(IDC_DEFAULT_ACCESS)), -1);
  EXPECT_TRUE(w.HostRows().empty());
  EXPECT_TRUE(Checked(w.Control(IDC_FIREWALL)));
  EXPECT_EQ(NumberField(w.Control(IDC_FIREWALL_MIN_PORT)).Value(), 1024);
  EXPECT_EQ(NumberField(w.Control(IDC_FIREWALL_MAX_PORT)).Value(), 65535);
  EXPECT_FALSE(Checked(w.Control(IDC_WRITE_LOG)));
  EXPECT_EQ(FolderField(w.Control(IDC_LOG_DIRECTORY)).Text(), "");
  EXPECT_EQ(NumberField(w.Control(IDC_LOG_COUNT)).Value(), 3);
  EXPECT_EQ(ComboIndex(w.Control(IDC_LOG_LEVEL)), 5);
  EXPECT_TRUE(Checked(w.Control(IDC_UTC_TIMESTAMPS)));
  // Logging is off, so its fields are locked; firewall support is on.
  EXPECT_TRUE(FolderField(w.Control(IDC_LOG_DIRECTORY)).ReadOnly());
  EXPECT_FALSE(FolderField(w.Control(IDC_LOG_DIRECTORY)).ButtonVisible());
  EXPECT_TRUE(NumberField(w.Control(IDC_LOG_COUNT)).ReadOnly());
  EXPECT_FALSE(Enabled(w.Control(IDC_LOG_LEVEL)));
  EXPECT_FALSE(Enabled(w.Control(IDC_UTC_TIMESTAMPS)));
  EXPECT_FALSE(NumberField(w.Control(IDC_FIREWALL_MIN_PORT)).ReadOnly());
  EXPECT_FALSE(NumberField(w.Control(IDC_FIREWALL_MAX_PORT)).ReadOnly());
  EXPECT_FALSE(w.Modified());
  EXPECT_FALSE(Enabled(w.Control(IDC_APPLY)));
  EXPECT_EQ(w.ActivePage(), kPageBasic);
  EXPECT_EQ(Focus(), FolderField(w.Control(IDC_TFTP_ROOT)).Edit());
  EXPECT_EQ(w.HelpFile(), "C:\\Program Files\\Ostrel TFTP\\tftpserv.chm");
  EXPECT_TRUE(dialogs_.shown.empty());
  // Closing an unchanged window asks nothing.
  SendMessageW(w.Handle(), WM_CLOSE, 0, 0);
  Pump();
  EXPECT_FALSE(IsWindow(w.Handle()));
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(MainWindowTest, ACompleteKeyIsShownWithoutMarkingTheWindowChanged) {
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  MainWindow& w = *frm_;
  EXPECT_EQ(FolderField(w.Control(IDC_TFTP_ROOT)).Text(), existingDir_);
  EXPECT_EQ(NumberField(w.Control(IDC_TFTP_PORT)).Value(), 69);
  EXPECT_EQ(NumberField(w.Control(IDC_TIMEOUT)).Value(), 10);
  EXPECT_EQ(NumberField(w.Control(IDC_RETRIES)).Value(), 4);
  EXPECT_TRUE(Checked(w.Control(IDC_HIGH_PRIORITY)));
  EXPECT_FALSE(Checked(w.Control(IDC_OPTION_BLOCKSIZE)));
  EXPECT_EQ(ComboIndex(w.Control(IDC_DEFAULT_ACCESS)), 1);
  ASSERT_EQ(w.HostRows().size(), 2u);
  EXPECT_EQ(w.HostRows()[0].addressText, L"192.168.10.0 (255.255.255.0)");
  EXPECT_EQ(w.HostRows()[0].rightText, L"Read Only");
  EXPECT_EQ(w.HostRows()[1].addressText, L"10.0.0.7");
  EXPECT_EQ(ListView_GetItemCount(w.Control(IDC_RULES)), 2);
  EXPECT_EQ(NumberField(w.Control(IDC_FIREWALL_MIN_PORT)).Value(), 2000);
  EXPECT_TRUE(Checked(w.Control(IDC_WRITE_LOG)));
  EXPECT_FALSE(FolderField(w.Control(IDC_LOG_DIRECTORY)).ReadOnly());
  EXPECT_TRUE(FolderField(w.Control(IDC_LOG_DIRECTORY)).ButtonVisible());
  EXPECT_EQ(NumberField(w.Control(IDC_LOG_COUNT)).Value(), 7);
  EXPECT_EQ(ComboIndex(w.Control(IDC_LOG_LEVEL)), 6);
  EXPECT_TRUE(Checked(w.Control(IDC_LOCAL_TIMESTAMPS)));
  EXPECT_FALSE(w.Modified());
  EXPECT_FALSE(Enabled(w.Control(IDC_APPLY)));
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(MainWindowTest, NoDefaultAccessSelectedIsSavedAsNoAccess) {
  Open();  // without the key: no item selected
  ASSERT_EQ(ComboIndex(frm_->Control(IDC_DEFAULT_ACCESS)), -1);
  FolderField(frm_->Control(IDC_TFTP_ROOT)).SetText(existingDir_);
  ClickCheckBox(frm_->Control(IDC_HIGH_PRIORITY));
  dialogs_.restartAnswers = {RestartAnswer::No};
  ClickButton(frm_->Control(IDOK));
  std::string code;
  ASSERT_TRUE(GetString("DefaultRights", code));
  EXPECT_EQ(code, "NA");
}

TEST_F(MainWindowTest, OutOfRangeValuesAreShownClampedAndSavedAsShown) {
  PutCompleteKey(existingDir_, existingDir_);
  PutDword("TFTPTimeout", 500);
  PutDword("TFTPRetr", 0);
  PutDword("OpTSize", 2);
  PutDword("LogLevel", static_cast<DWORD>(-1));
  Open();
  EXPECT_EQ(NumberField(frm_->Control(IDC_TIMEOUT)).Value(), 180);
  EXPECT_EQ(NumberField(frm_->Control(IDC_RETRIES)).Value(), 1);
  EXPECT_EQ(ComboIndex(frm_->Control(IDC_LOG_LEVEL)), -1);
  // Any change, then OK and No: everything is written as shown.
  ClickCheckBox(frm_->Control(IDC_HIGH_PRIORITY));
  dialogs_.restartAnswers = {RestartAnswer::No};
  ClickButton(frm_->Control(IDOK));
  DWORD v = 0;
  ASSERT_TRUE(GetDword("TFTPTimeout", v));
  EXPECT_EQ(v, 180u);
  ASSERT_TRUE(GetDword("TFTPRetr", v));
  EXPECT_EQ(v, 1u);
  ASSERT_TRUE(GetDword("OpTSize", v));
  EXPECT_EQ(v, 1u);
  ASSERT_TRUE(GetDword("LogLevel", v));
  EXPECT_EQ(v, 0xFFFFFFFFu);
  EXPECT_EQ(restarts_, 0);
}

// A complete key with values that cannot be read: start-up reads every other
// value, shows one box with a line per failure, and finishes as usual; a save
// leaves each unread value as stored and writes a missing one.
TEST_F(MainWindowTest, ValuesThatCannotBeReadAreReportedOnceAndLeftAsStored) {
  struct Damage {
    const char* name;
    DWORD type;  // REG_NONE with no data: the value is removed
    std::string data;
  };
  struct Case {
    std::vector<Damage> damage;
    std::string box;
  };
  const Case cases[] = {
      {{{"TFTPPort", REG_NONE, ""}}, "Failed to get data for 'TFTPPort'"},
      {{{"TFTPPort", REG_SZ, std::string("69\0", 3)}}, "Invalid data type for 'TFTPPort'"},
      {{{"TFTPPort", REG_BINARY, std::string("\x45\0\0\0\0", 5)}},
       "Failed to get data for 'TFTPPort'"},
      {{{"LogLevel", REG_DWORD, std::string("\x08\0\0\0", 4)}}, "List index out of bounds (8)"},
      {{{"WriteLog", REG_SZ, std::string("1\0", 2)}, {"HostList", REG_DWORD, std::string(4, '\1')}},
       "Invalid data type for 'WriteLog'\nInvalid data type for 'HostList'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box);
    PutCompleteKey(existingDir_, existingDir_);
    ServiceSettings expected = CompleteSettings(existingDir_, existingDir_);
    const ServiceSettings initial = InitialSettings();
    for (const Damage& d : c.damage) {
      if (d.type == REG_NONE)
        RemoveValue(d.name);
      else
        PutRawValue(d.name, d.type, d.data);
    }
    // Each damaged value shows its initial value.
    for (const Damage& d : c.damage) {
      const std::string name = d.name;
      if (name == "TFTPPort") expected.TFTPPort = initial.TFTPPort;
      if (name == "LogLevel") expected.LogLevel = initial.LogLevel;
      if (name == "WriteLog") expected.WriteLog = initial.WriteLog;
      if (name == "HostList") expected.HostList = initial.HostList;
    }
    const std::map<std::string, RegValue> before = ReadSettingsKeyRaw();
    dialogs_.shown.clear();
    Open();
    ASSERT_EQ(dialogs_.Kinds(), std::vector<std::string>{"ApplicationError"});
    EXPECT_EQ(dialogs_.shown[0].text, c.box) << "no full stop after ' or )";
    EXPECT_TRUE(frm_->SettingsFromControls() == expected);
    // Start-up finished: locks follow the ticks shown, Apply is disabled.
    const bool logging = expected.WriteLog;
    EXPECT_EQ(FolderField(frm_->Control(IDC_LOG_DIRECTORY)).ReadOnly(), !logging);
    EXPECT_EQ(Enabled(frm_->Control(IDC_LOG_LEVEL)), logging);
    EXPECT_FALSE(frm_->Modified());
    EXPECT_FALSE(Enabled(frm_->Control(IDC_APPLY)));
    EXPECT_EQ(frm_->ActivePage(), kPageBasic);
    EXPECT_EQ(frm_->HelpFile(), "C:\\Program Files\\Ostrel TFTP\\tftpserv.chm");
    // Disabled also at another DPI, and Alt+A does not reach it.
    RECT rc;
    GetWindowRect(frm_->Handle(), &rc);
    SendMessageW(frm_->Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&rc));
    EXPECT_FALSE(Enabled(frm_->Control(IDC_APPLY)));
    PressKeys({VK_MENU, 'A'});
    EXPECT_EQ(dialogs_.shown.size(), 1u) << "Apply was clicked";

    // A change elsewhere and a save: what was unread stays as it was stored,
    // a missing value is written, everything else is as before.
    ClickCheckBox(frm_->Control(IDC_HIGH_PRIORITY));
    ClickCheckBox(frm_->Control(IDC_HIGH_PRIORITY));
    dialogs_.restartAnswers = {RestartAnswer::No};
    ClickButton(frm_->Control(IDC_APPLY));
    const std::map<std::string, RegValue> after = ReadSettingsKeyRaw();
    EXPECT_EQ(after.size(), 18u);
    for (const auto& [name, value] : before) EXPECT_EQ(after.at(name), value) << name;
    if (c.damage[0].type == REG_NONE) {
      DWORD port = 0;
      EXPECT_TRUE(GetDword("TFTPPort", port) && port == 1) << "the missing port is written";
    }
    // Once the user changes an unread value, it is written.
    if (c.damage[0].name == std::string("LogLevel")) {
      SelectComboItem(frm_->Control(IDC_LOG_LEVEL), 2);
      dialogs_.restartAnswers = {RestartAnswer::No};
      ClickButton(frm_->Control(IDC_APPLY));
      DWORD level = 0;
      EXPECT_TRUE(GetDword("LogLevel", level) && level == 2);
    }
    dlg_.reset();
    frm_.reset();
    Pump();
  }
}

TEST_F(MainWindowTest, AKeyThatCannotBeOpenedIsReportedAndStartUpGoesOn) {
  MemoryRegistry denied;
  denied.openError = kErrorAccessDenied;
  registryInUse_ = &denied;
  Open();
  ASSERT_EQ(dialogs_.Kinds(), std::vector<std::string>{"ApplicationError"});
  EXPECT_EQ(dialogs_.shown[0].text,
            "Failed to open registry key 'SOFTWARE\\Ostrel\\TFTPService' for reading: Access is "
            "denied.");
  EXPECT_TRUE(FolderField(frm_->Control(IDC_LOG_DIRECTORY))
                  .ReadOnly());  // locking applied as with a missing key
  EXPECT_FALSE(frm_->Modified());
  EXPECT_NE(frm_->HelpFile(), "");
  // Nothing was read, so a save writes only what the user changed.
  FolderField(frm_->Control(IDC_TFTP_ROOT)).SetText(existingDir_);  // passes the check
  ClickCheckBox(frm_->Control(IDC_HIGH_PRIORITY));
  dialogs_.restartAnswers = {RestartAnswer::No};
  ClickButton(frm_->Control(IDC_APPLY));
  ASSERT_EQ(denied.keys.size(), 1u);
  EXPECT_EQ(denied.keys.begin()->second.size(), 1u);
  EXPECT_EQ(denied.keys.begin()->second.count("HighPriority"), 1u);
}

TEST_F(MainWindowTest, UserEditsMarkTheWindowChangedAndProgramSetsDoNot) {
  Open();
  MainWindow& w = *frm_;
  NumberField(w.Control(IDC_TFTP_PORT)).SetValue(70);
  FolderField(w.Control(IDC_TFTP_ROOT)).SetText("C:\\x");
  EXPECT_FALSE(w.Modified());
  TypeChars(FolderField(w.Control(IDC_TFTP_ROOT)).Edit(), L"y");
  EXPECT_TRUE(w.Modified());
  EXPECT_TRUE(Enabled(w.Control(IDC_APPLY)));
}

TEST_F(MainWindowTest, EachKindOfControlMarksTheWindowChanged) {
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  MainWindow& w = *frm_;
  const std::vector<std::function<void()>> edits = {
      [&] { ClickCheckBox(w.Control(IDC_OPTION_TIMEOUT)); },
      [&] { ClickCheckBox(w.Control(IDC_HIGH_PRIORITY)); },
      [&] { SelectComboItem(w.Control(IDC_DEFAULT_ACCESS), 0); },
      [&] { SelectComboItem(w.Control(IDC_LOG_LEVEL), 2); },
      [&] { ClickCheckBox(w.Control(IDC_UTC_TIMESTAMPS)); },
      [&] { KeyDown(NumberField(w.Control(IDC_RETRIES)).Edit(), VK_UP); },
      [&] { TypeChars(FolderField(w.Control(IDC_LOG_DIRECTORY)).Edit(), L"x"); },
  };
  for (size_t i = 0; i < edits.size(); ++i) {
    dialogs_.restartAnswers = {RestartAnswer::No};
    ClickButton(w.Control(IDC_APPLY));  // saves and clears the mark
    ASSERT_FALSE(w.Modified()) << i;
    edits[i]();
    EXPECT_TRUE(w.Modified()) << "edit " << i;
  }
}

TEST_F(MainWindowTest, LoggingAndFirewallRulesLockTheirFieldsWhichAreStillSaved) {
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  MainWindow& w = *frm_;
  ClickCheckBox(w.Control(IDC_WRITE_LOG));  // off
  EXPECT_TRUE(FolderField(w.Control(IDC_LOG_DIRECTORY)).ReadOnly());
  EXPECT_FALSE(FolderField(w.Control(IDC_LOG_DIRECTORY)).ButtonVisible());
  EXPECT_TRUE(NumberField(w.Control(IDC_LOG_COUNT)).ReadOnly());
  EXPECT_FALSE(Enabled(w.Control(IDC_LOG_LEVEL)));
  EXPECT_FALSE(Enabled(w.Control(IDC_LOCAL_TIMESTAMPS)));
  ClickCheckBox(w.Control(IDC_FIREWALL));  // off
  EXPECT_TRUE(NumberField(w.Control(IDC_FIREWALL_MIN_PORT)).ReadOnly());
  EXPECT_TRUE(NumberField(w.Control(IDC_FIREWALL_MAX_PORT)).ReadOnly());
  // Locked fields refuse typing.
  TypeChars(NumberField(w.Control(IDC_FIREWALL_MIN_PORT)).Edit(), L"9");
  EXPECT_EQ(NumberField(w.Control(IDC_FIREWALL_MIN_PORT)).Value(), 2000);
  dialogs_.restartAnswers = {RestartAnswer::No};
  ClickButton(w.Control(IDOK));
  DWORD v = 0;
  ASSERT_TRUE(GetDword("FWMinPort", v));
  EXPECT_EQ(v, 2000u);
  ASSERT_TRUE(GetDword("LogFileCount", v));
  EXPECT_EQ(v, 7u);
  ASSERT_TRUE(GetDword("WriteLog", v));
  EXPECT_EQ(v, 0u);
  std::string dir;
  ASSERT_TRUE(GetString("LogDirectory", dir));
  EXPECT_EQ(dir, existingDir_);
}

// ---------------------------------------------------------------------------
// Checks before saving

class ValidationTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    PutCompleteKey(existingDir_, existingDir_);
    PutDword("WriteLog", 0);
  }
  // Marks the window changed, clicks OK and returns the error shown, if any.
  std::string OkError() {
    if (!frm_->Modified()) ClickCheckBox(frm_->Control(IDC_HIGH_PRIORITY));
    dialogs_.shown.clear();
    dialogs_.restartAnswers = {RestartAnswer::Cancel};
    ClickButton(frm_->Control(IDOK));
    for (const auto& box : dialogs_.shown)
      if (box.kind == "Error") return box.text;
    return {};
  }
};

TEST_F(ValidationTest, RootDirectoryMustNameAnExistingDirectory) {
  Open();
  for (const std::string& root :
       {std::string(), missingDir_, std::string("C:\\windows\\win.ini")}) {
    FolderField(frm_->Control(IDC_TFTP_ROOT)).SetText(root);
    frm_->ShowPage(kPageLogging);
    EXPECT_EQ(OkError(), "Specified TFTP Root Directory is not valid.") << root;
    EXPECT_EQ(frm_->ActivePage(), kPageBasic);
    EXPECT_EQ(Focus(), FolderField(frm_->Control(IDC_TFTP_ROOT)).Edit());
    EXPECT_EQ(Selection(FolderField(frm_->Control(IDC_TFTP_ROOT)).Edit()),
              std::make_pair(DWORD{0}, static_cast<DWORD>(root.size())));
    EXPECT_TRUE(frm_->Modified());
  }
  FolderField(frm_->Control(IDC_TFTP_ROOT)).SetText(existingDir_);
  EXPECT_EQ(OkError(), "");
}

TEST_F(ValidationTest, OnlyTheFirstFailureIsShown) {
  Open();
  FolderField(frm_->Control(IDC_TFTP_ROOT)).SetText(missingDir_);
  SetWindowTextW(NumberField(frm_->Control(IDC_TFTP_PORT)).Edit(), L"");
  OkError();
  EXPECT_EQ(dialogs_.Kinds(), std::vector<std::string>{"Error"});
  EXPECT_EQ(dialogs_.shown[0].text, "Specified TFTP Root Directory is not valid.");
}

TEST_F(ValidationTest, PortTextIsCheckedAsTyped) {
  Open();
  const HWND port = NumberField(frm_->Control(IDC_TFTP_PORT)).Edit();
  SendMessageW(frm_->Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(port), TRUE);
  // Select all and delete: the text is empty, and OK keeps the focus there.
  SendMessageW(port, EM_SETSEL, 0, -1);
  KeyDown(port, VK_DELETE);
  ASSERT_EQ(NumberField(frm_->Control(IDC_TFTP_PORT)).Text(), "");
  EXPECT_EQ(OkError(), "Please specify a valid TFTP Server Port.");
  EXPECT_EQ(Focus(), port);
  EXPECT_EQ(NumberField(frm_->Control(IDC_TFTP_PORT)).Text(), "")
      << "clicking OK did not tidy the field up";
}

TEST_F(ValidationTest, FirewallRangeIsCheckedOnlyWhenEnabled) {
  PutDword("FWMinPort", 2000);
  PutDword("FWMaxPort", 1500);
  PutDword("FWEnabled", 0);
  Open();
  EXPECT_EQ(OkError(), "");
  EXPECT_EQ(dialogs_.Kinds(), std::vector<std::string>{"Restart"}) << "the checks passed";
}

TEST_F(ValidationTest, FirewallRangeMessageNamesBothPorts) {
  PutDword("FWMinPort", 2000);
  PutDword("FWMaxPort", 1500);
  Open();
  EXPECT_EQ(OkError(), "Range [2000..1500] is not a valid port range!");
  EXPECT_EQ(frm_->ActivePage(), kPageFirewall);
  const HWND low = NumberField(frm_->Control(IDC_FIREWALL_MIN_PORT)).Edit();
  EXPECT_EQ(Focus(), low);
  const auto sel = Selection(low);
  EXPECT_EQ(sel.first, sel.second) << "the text is not selected";

  NumberField(frm_->Control(IDC_FIREWALL_MIN_PORT)).SetValue(1024);
  NumberField(frm_->Control(IDC_FIREWALL_MAX_PORT)).SetValue(1024);
  EXPECT_EQ(OkError(), "");
  NumberField(frm_->Control(IDC_FIREWALL_MIN_PORT)).SetValue(1023);
  EXPECT_EQ(OkError(), "Range [1023..1024] is not a valid port range!");
}

TEST_F(ValidationTest, LogDirectoryIsCheckedOnlyWithLogging) {
  PutString("LogDirectory", missingDir_);
  Open();
  EXPECT_EQ(OkError(), "");
  ClickCheckBox(frm_->Control(IDC_WRITE_LOG));
  EXPECT_EQ(OkError(), "Specified Logfiles Directory is not valid.");
  EXPECT_EQ(frm_->ActivePage(), kPageLogging);
  EXPECT_EQ(Focus(), FolderField(frm_->Control(IDC_LOG_DIRECTORY)).Edit());
}

// ---------------------------------------------------------------------------
// OK, Apply, Cancel and closing

TEST_F(MainWindowTest, OkWithoutChangesClosesAtOnce) {
  Open();
  ClickButton(frm_->Control(IDOK));
  EXPECT_FALSE(IsWindow(frm_->Handle()));
  EXPECT_TRUE(dialogs_.shown.empty());
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKeyPath, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(MainWindowTest, OkYesSavesRestartsAnnouncesAndCloses) {
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  NumberField(frm_->Control(IDC_TFTP_PORT)).SetValue(6969);
  ClickCheckBox(frm_->Control(IDC_HIGH_PRIORITY));
  dialogs_.restartAnswers = {RestartAnswer::Yes};
  ClickButton(frm_->Control(IDOK));
  EXPECT_EQ(dialogs_.Kinds(), (std::vector<std::string>{"Restart", "Information"}));
  EXPECT_EQ(dialogs_.shown[1].text, "The service was restarted succesfully.");
  EXPECT_EQ(restarts_, 1);
  DWORD port = 0;
  ASSERT_TRUE(GetDword("TFTPPort", port));
  EXPECT_EQ(port, 6969u);
  EXPECT_FALSE(IsWindow(frm_->Handle()));
}

TEST_F(MainWindowTest, OkYesWithAFailedRestartSavesAndClosesWithoutSuccessMessage) {
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  ClickCheckBox(frm_->Control(IDC_HIGH_PRIORITY));
  restartResult_ = false;
  dialogs_.restartAnswers = {RestartAnswer::Yes};
  ClickButton(frm_->Control(IDOK));
  EXPECT_EQ(dialogs_.Kinds(), std::vector<std::string>{"Restart"});
  EXPECT_FALSE(IsWindow(frm_->Handle()));
  DWORD v = 1;
  ASSERT_TRUE(GetDword("HighPriority", v));
  EXPECT_EQ(v, 0u);
}

TEST_F(MainWindowTest, OkCancelSavesNothingAndStaysChanged) {
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  ClickCheckBox(frm_->Control(IDC_HIGH_PRIORITY));
  dialogs_.restartAnswers = {RestartAnswer::Cancel};
  ClickButton(frm_->Control(IDOK));
  EXPECT_TRUE(IsWindow(frm_->Handle()));
  EXPECT_TRUE(frm_->Modified());
  EXPECT_TRUE(Enabled(frm_->Control(IDC_APPLY)));
  DWORD v = 0;
  ASSERT_TRUE(GetDword("HighPriority", v));
  EXPECT_EQ(v, 1u);
}

TEST_F(MainWindowTest, ApplyYesSavesRestartsAndStaysOpen) {
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  ClickCheckBox(frm_->Control(IDC_HIGH_PRIORITY));
  bool modifiedDuringRestart = true;
  restart_ = [&] {
    modifiedDuringRestart = frm_->Modified();
    return true;
  };
  dialogs_.restartAnswers = {RestartAnswer::Yes};
  ClickButton(frm_->Control(IDC_APPLY));
  EXPECT_FALSE(modifiedDuringRestart) << "Apply clears the mark before the restart";
  EXPECT_EQ(dialogs_.Kinds(), (std::vector<std::string>{"Restart", "Information"}));
  EXPECT_TRUE(IsWindow(frm_->Handle()));
  EXPECT_FALSE(frm_->Modified());
  EXPECT_FALSE(Enabled(frm_->Control(IDC_APPLY)));
  // A second Apply does nothing.
  SendMessageW(frm_->Handle(), WM_COMMAND, MAKEWPARAM(IDC_APPLY, BN_CLICKED), 0);
  Pump();
  EXPECT_EQ(dialogs_.shown.size(), 2u);
  EXPECT_EQ(restarts_, 1);
}

TEST_F(MainWindowTest, ApplyNoSavesWithoutRestart) {
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  ClickCheckBox(frm_->Control(IDC_HIGH_PRIORITY));
  dialogs_.restartAnswers = {RestartAnswer::No};
  ClickButton(frm_->Control(IDC_APPLY));
  EXPECT_EQ(restarts_, 0);
  EXPECT_FALSE(frm_->Modified());
  DWORD v = 1;
  ASSERT_TRUE(GetDword("HighPriority", v));
  EXPECT_EQ(v, 0u);
}

TEST_F(MainWindowTest, DiscardQuestionGuardsEveryWayOfClosing) {
  Open();
  TypeChars(FolderField(frm_->Control(IDC_TFTP_ROOT)).Edit(), L"a");
  dialogs_.confirmAnswers = {false, false, true};
  ClickButton(frm_->Control(IDCANCEL));
  EXPECT_TRUE(IsWindow(frm_->Handle()));
  SendMessageW(frm_->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  Pump();
  EXPECT_TRUE(IsWindow(frm_->Handle()));
  ASSERT_EQ(dialogs_.shown.size(), 2u);
  EXPECT_EQ(dialogs_.shown[0].kind, "Confirm");
  EXPECT_EQ(dialogs_.shown[0].text, "Are you sure you want to discard all changes and exit?");
  SendMessageW(frm_->Handle(), WM_CLOSE, 0, 0);
  Pump();
  EXPECT_FALSE(IsWindow(frm_->Handle()));
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKeyPath, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(MainWindowTest, EnterClicksOkAndEscClicksCancel) {
  Open();
  TypeChars(FolderField(frm_->Control(IDC_TFTP_ROOT)).Edit(), L"z");
  dialogs_.confirmAnswers = {false};
  KeyDown(Focus(), VK_ESCAPE);
  EXPECT_EQ(dialogs_.Kinds(), std::vector<std::string>{"Confirm"});
  dialogs_.shown.clear();
  KeyDown(Focus(), VK_RETURN);
  // OK ran: the root directory "z" does not exist.
  EXPECT_EQ(dialogs_.Kinds(), std::vector<std::string>{"Error"});
}

TEST_F(MainWindowTest, ClickingOkWithTheMouseLeavesTheFocusAndTextAsTheyWere) {
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  const HWND port = NumberField(frm_->Control(IDC_TFTP_PORT)).Edit();
  SendMessageW(frm_->Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(port), TRUE);
  SendMessageW(port, EM_SETSEL, 2, 2);
  TypeChars(port, L"7");
  ASSERT_EQ(NumberField(frm_->Control(IDC_TFTP_PORT)).Text(), "697");
  dialogs_.restartAnswers = {RestartAnswer::Cancel};
  ClickButton(frm_->Control(IDOK));
  EXPECT_EQ(dialogs_.Kinds(), std::vector<std::string>{"Restart"});
  EXPECT_EQ(Focus(), port);
  EXPECT_EQ(NumberField(frm_->Control(IDC_TFTP_PORT)).Text(), "697");
}

TEST_F(MainWindowTest, ClickingApplyWithTheMouseLeavesTheFocusInTheField) {
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  const HWND port = NumberField(frm_->Control(IDC_TFTP_PORT)).Edit();
  SendMessageW(frm_->Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(port), TRUE);
  TypeChars(port, L"7");
  dialogs_.restartAnswers = {RestartAnswer::Cancel};
  ClickButton(frm_->Control(IDC_APPLY));
  EXPECT_EQ(Focus(), port);
}

// ---------------------------------------------------------------------------
// Saving that fails

TEST_F(MainWindowTest, AKeyThatCannotBeCreatedStopsOkWithTheReason) {
  MemoryRegistry registry;
  registryInUse_ = &registry;
  Open();
  FolderField(frm_->Control(IDC_TFTP_ROOT)).SetText(existingDir_);
  ClickCheckBox(frm_->Control(IDC_HIGH_PRIORITY));
  registry.createError = kErrorAccessDenied;
  dialogs_.restartAnswers = {RestartAnswer::Yes};
  ClickButton(frm_->Control(IDOK));
  EXPECT_EQ(dialogs_.Kinds(), (std::vector<std::string>{"Restart", "ApplicationError"}));
  EXPECT_EQ(dialogs_.shown[1].text,
            "Failed to open registry key 'SOFTWARE\\Ostrel\\TFTPService' for writing: Access is "
            "denied.");
  EXPECT_EQ(restarts_, 0);
  EXPECT_TRUE(IsWindow(frm_->Handle()));
  EXPECT_TRUE(frm_->Modified());
}

TEST_F(MainWindowTest, ARefusedValueStopsApplyAndKeepsTheWindowChanged) {
  MemoryRegistry registry;
  registryInUse_ = &registry;
  Open();
  FolderField(frm_->Control(IDC_TFTP_ROOT)).SetText(existingDir_);
  ClickCheckBox(frm_->Control(IDC_HIGH_PRIORITY));
  registry.refusedValues = {"LogDirectory"};
  dialogs_.restartAnswers = {RestartAnswer::Yes};
  ClickButton(frm_->Control(IDC_APPLY));
  EXPECT_EQ(dialogs_.shown.back().text, "Failed to set data for 'LogDirectory'");
  EXPECT_EQ(restarts_, 0);
  EXPECT_TRUE(frm_->Modified());
  EXPECT_TRUE(Enabled(frm_->Control(IDC_APPLY)));
}

TEST_F(MainWindowTest, TextOutsideTheCodePageIsRefusedAndNothingIsWritten) {
  Open();
  FolderField(frm_->Control(IDC_TFTP_ROOT)).SetText(existingDir_);
  ClickCheckBox(frm_->Control(IDC_HIGH_PRIORITY));
  FolderField(frm_->Control(IDC_LOG_DIRECTORY)).SetText("C:\\\xe6\x97\xa5\xe6\x9c\xac");
  dialogs_.restartAnswers = {RestartAnswer::No};
  ClickButton(frm_->Control(IDOK));
  ASSERT_EQ(dialogs_.shown.back().kind, "ApplicationError");
  EXPECT_NE(dialogs_.shown.back().text.find("'LogDirectory'"), std::string::npos);
  EXPECT_TRUE(IsWindow(frm_->Handle()));
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKeyPath, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

}  // namespace
}  // namespace tftpcfg::test
