// The main window against the real registry: start-up, change tracking,
// locking, the checks before saving, OK, Apply, Cancel and closing.

#include "tests/win/ui/main_window_fixture.h"

#include <commctrl.h>

#include "tests/support/memory_registry.h"

namespace tftpcfg::test {
namespace {

bool Checked(HWND h) {
  return SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
int ComboIndex(HWND h) {
  return static_cast<int>(SendMessageW(h, CB_GETCURSEL, 0, 0));
}
bool Enabled(HWND h) {
  return IsWindowEnabled(h) != FALSE;
}
std::pair<int, int> Selection(HWND edit) {
  DWORD start = 0, end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {static_cast<int>(start), static_cast<int>(end)};
}

TEST_F(MainWindowTest, WithoutTheKeyTheWindowShowsTheInitialValues) {
  Open();
  TfrmMain& w = *frm_;
  EXPECT_EQ(w.elTFTPRoot->Text(), "");
  EXPECT_EQ(w.seTFTPPort->Value(), 1);
  EXPECT_EQ(w.seTimeout->Value(), 3);
  EXPECT_EQ(w.seRetries->Value(), 3);
  EXPECT_FALSE(Checked(w.cbHighPriority));
  EXPECT_TRUE(Checked(w.cbOpTimeout) && Checked(w.cbOpBlocksize) && Checked(w.cbOpTSize));
  EXPECT_EQ(ComboIndex(w.cbDefaultAccess), -1);
  EXPECT_TRUE(w.HostRows().empty());
  EXPECT_TRUE(Checked(w.cbFWEnabled));
  EXPECT_EQ(w.seFWMinPort->Value(), 1024);
  EXPECT_EQ(w.seFWMaxPort->Value(), 65535);
  EXPECT_FALSE(Checked(w.cbWriteLog));
  EXPECT_EQ(w.elLogDir->Text(), "");
  EXPECT_EQ(w.elLogCount->Value(), 3);
  EXPECT_EQ(ComboIndex(w.cbLoggingLevel), 5);
  EXPECT_TRUE(Checked(w.rgTimestampsItems[0]));
  // Logging is off, so its fields are locked; firewall support is on.
  EXPECT_TRUE(w.elLogDir->ReadOnly());
  EXPECT_FALSE(w.elLogDir->ButtonVisible());
  EXPECT_TRUE(w.elLogCount->ReadOnly());
  EXPECT_FALSE(Enabled(w.cbLoggingLevel));
  EXPECT_FALSE(Enabled(w.rgTimestampsItems[0]));
  EXPECT_FALSE(w.seFWMinPort->ReadOnly());
  EXPECT_FALSE(w.seFWMaxPort->ReadOnly());
  EXPECT_FALSE(w.Modified());
  EXPECT_FALSE(Enabled(w.btnApply));
  EXPECT_EQ(w.ActivePage(), kPageBasic);
  EXPECT_EQ(Focus(), w.elTFTPRoot->EditHandle());
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
  TfrmMain& w = *frm_;
  EXPECT_EQ(w.elTFTPRoot->Text(), existingDir_);
  EXPECT_EQ(w.seTFTPPort->Value(), 69);
  EXPECT_EQ(w.seTimeout->Value(), 10);
  EXPECT_EQ(w.seRetries->Value(), 4);
  EXPECT_TRUE(Checked(w.cbHighPriority));
  EXPECT_FALSE(Checked(w.cbOpBlocksize));
  EXPECT_EQ(ComboIndex(w.cbDefaultAccess), 1);
  ASSERT_EQ(w.HostRows().size(), 2u);
  EXPECT_EQ(w.HostRows()[0].addressText, L"192.168.10.0 (255.255.255.0)");
  EXPECT_EQ(w.HostRows()[0].rightText, L"Read Only");
  EXPECT_EQ(w.HostRows()[1].addressText, L"10.0.0.7");
  EXPECT_EQ(ListView_GetItemCount(w.tsgHosts), 2);
  EXPECT_EQ(w.seFWMinPort->Value(), 2000);
  EXPECT_TRUE(Checked(w.cbWriteLog));
  EXPECT_FALSE(w.elLogDir->ReadOnly());
  EXPECT_TRUE(w.elLogDir->ButtonVisible());
  EXPECT_EQ(w.elLogCount->Value(), 7);
  EXPECT_EQ(ComboIndex(w.cbLoggingLevel), 6);
  EXPECT_TRUE(Checked(w.rgTimestampsItems[1]));
  EXPECT_FALSE(w.Modified());
  EXPECT_FALSE(Enabled(w.btnApply));
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(MainWindowTest, NoDefaultAccessSelectedIsSavedAsNoAccess) {
  Open();  // without the key: no item selected
  ASSERT_EQ(ComboIndex(frm_->cbDefaultAccess), -1);
  frm_->elTFTPRoot->SetText(existingDir_);
  ClickCheckBox(frm_->cbHighPriority);
  dialogs_.restartAnswers = {RestartAnswer::No};
  ClickButton(frm_->btnOk);
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
  EXPECT_EQ(frm_->seTimeout->Value(), 180);
  EXPECT_EQ(frm_->seRetries->Value(), 1);
  EXPECT_EQ(ComboIndex(frm_->cbLoggingLevel), -1);
  // Any change, then OK and No: everything is written as shown.
  ClickCheckBox(frm_->cbHighPriority);
  dialogs_.restartAnswers = {RestartAnswer::No};
  ClickButton(frm_->btnOk);
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

TEST_F(MainWindowTest, AnUnreadableValueEndsStartUpWithTheStoreMessage) {
  PutCompleteKey(existingDir_, existingDir_);
  PutDword("LogLevel", 8);
  Open();
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].kind, "ApplicationError");
  EXPECT_EQ(dialogs_.shown[0].text, "List index out of bounds (8)");  // no full stop after ")"
  // The values before the failing one are shown; the locking rules did not run.
  EXPECT_EQ(frm_->seFWMaxPort->Value(), 3000);
  EXPECT_EQ(ComboIndex(frm_->cbLoggingLevel), 5);
  EXPECT_FALSE(frm_->elLogDir->ReadOnly());
  EXPECT_FALSE(frm_->Modified());
  EXPECT_EQ(frm_->HelpFile(), "");
  EXPECT_TRUE(IsWindowVisible(frm_->Handle()));
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
  EXPECT_TRUE(frm_->elLogDir->ReadOnly());  // locking applied as with a missing key
  EXPECT_FALSE(frm_->Modified());
  EXPECT_NE(frm_->HelpFile(), "");
}

TEST_F(MainWindowTest, UserEditsMarkTheWindowChangedAndProgramSetsDoNot) {
  Open();
  TfrmMain& w = *frm_;
  w.seTFTPPort->SetValue(70);
  w.elTFTPRoot->SetText("C:\\x");
  EXPECT_FALSE(w.Modified());
  TypeChars(w.elTFTPRoot->EditHandle(), L"y");
  EXPECT_TRUE(w.Modified());
  EXPECT_TRUE(Enabled(w.btnApply));
}

TEST_F(MainWindowTest, EachKindOfControlMarksTheWindowChanged) {
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  TfrmMain& w = *frm_;
  const std::vector<std::function<void()>> edits = {
      [&] { ClickCheckBox(w.cbOpTimeout); },
      [&] { ClickCheckBox(w.cbHighPriority); },
      [&] { SelectComboItem(w.cbDefaultAccess, 0); },
      [&] { SelectComboItem(w.cbLoggingLevel, 2); },
      [&] { ClickCheckBox(w.rgTimestampsItems[0]); },
      [&] { KeyDown(w.seRetries->EditHandle(), VK_UP); },
      [&] { TypeChars(w.elLogDir->EditHandle(), L"x"); },
  };
  for (size_t i = 0; i < edits.size(); ++i) {
    dialogs_.restartAnswers = {RestartAnswer::No};
    ClickButton(w.btnApply);  // saves and clears the mark
    ASSERT_FALSE(w.Modified()) << i;
    edits[i]();
    EXPECT_TRUE(w.Modified()) << "edit " << i;
  }
}

TEST_F(MainWindowTest, LoggingAndFirewallRulesLockTheirFieldsWhichAreStillSaved) {
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  TfrmMain& w = *frm_;
  ClickCheckBox(w.cbWriteLog);  // off
  EXPECT_TRUE(w.elLogDir->ReadOnly());
  EXPECT_FALSE(w.elLogDir->ButtonVisible());
  EXPECT_TRUE(w.elLogCount->ReadOnly());
  EXPECT_FALSE(Enabled(w.cbLoggingLevel));
  EXPECT_FALSE(Enabled(w.rgTimestampsItems[1]));
  ClickCheckBox(w.cbFWEnabled);  // off
  EXPECT_TRUE(w.seFWMinPort->ReadOnly());
  EXPECT_TRUE(w.seFWMaxPort->ReadOnly());
  // Locked fields refuse typing.
  TypeChars(w.seFWMinPort->EditHandle(), L"9");
  EXPECT_EQ(w.seFWMinPort->Value(), 2000);
  dialogs_.restartAnswers = {RestartAnswer::No};
  ClickButton(w.btnOk);
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
    if (!frm_->Modified()) ClickCheckBox(frm_->cbHighPriority);
    dialogs_.shown.clear();
    dialogs_.restartAnswers = {RestartAnswer::Cancel};
    ClickButton(frm_->btnOk);
    for (const auto& box : dialogs_.shown)
      if (box.kind == "Error") return box.text;
    return {};
  }
};

TEST_F(ValidationTest, RootDirectoryMustNameAnExistingDirectory) {
  Open();
  for (const std::string& root :
       {std::string(), missingDir_, std::string("C:\\windows\\win.ini")}) {
    frm_->elTFTPRoot->SetText(root);
    frm_->ShowPage(kPageLogging);
    EXPECT_EQ(OkError(), "Specified TFTP Root Directory is not valid.") << root;
    EXPECT_EQ(frm_->ActivePage(), kPageBasic);
    EXPECT_EQ(Focus(), frm_->elTFTPRoot->EditHandle());
    EXPECT_EQ(Selection(frm_->elTFTPRoot->EditHandle()),
              std::make_pair(0, static_cast<int>(root.size())));
    EXPECT_TRUE(frm_->Modified());
  }
  frm_->elTFTPRoot->SetText(existingDir_);
  EXPECT_EQ(OkError(), "");
}

TEST_F(ValidationTest, OnlyTheFirstFailureIsShown) {
  Open();
  frm_->elTFTPRoot->SetText(missingDir_);
  SetWindowTextW(frm_->seTFTPPort->EditHandle(), L"");
  OkError();
  EXPECT_EQ(dialogs_.Kinds(), std::vector<std::string>{"Error"});
  EXPECT_EQ(dialogs_.shown[0].text, "Specified TFTP Root Directory is not valid.");
}

TEST_F(ValidationTest, PortTextIsCheckedAsTyped) {
  Open();
  const HWND port = frm_->seTFTPPort->EditHandle();
  SendMessageW(frm_->Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(port), TRUE);
  // Select all and delete: the text is empty, and OK keeps the focus there.
  SendMessageW(port, EM_SETSEL, 0, -1);
  KeyDown(port, VK_DELETE);
  ASSERT_EQ(frm_->seTFTPPort->Text(), "");
  EXPECT_EQ(OkError(), "Please specify a valid TFTP Server Port.");
  EXPECT_EQ(Focus(), port);
  EXPECT_EQ(frm_->seTFTPPort->Text(), "") << "clicking OK did not tidy the field up";
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
  const HWND low = frm_->seFWMinPort->EditHandle();
  EXPECT_EQ(Focus(), low);
  const auto sel = Selection(low);
  EXPECT_EQ(sel.first, sel.second) << "the text is not selected";

  frm_->seFWMinPort->SetValue(1024);
  frm_->seFWMaxPort->SetValue(1024);
  EXPECT_EQ(OkError(), "");
  frm_->seFWMinPort->SetValue(1023);
  EXPECT_EQ(OkError(), "Range [1023..1024] is not a valid port range!");
}

TEST_F(ValidationTest, LogDirectoryIsCheckedOnlyWithLogging) {
  PutString("LogDirectory", missingDir_);
  Open();
  EXPECT_EQ(OkError(), "");
  ClickCheckBox(frm_->cbWriteLog);
  EXPECT_EQ(OkError(), "Specified Logfiles Directory is not valid.");
  EXPECT_EQ(frm_->ActivePage(), kPageLogging);
  EXPECT_EQ(Focus(), frm_->elLogDir->EditHandle());
}

// ---------------------------------------------------------------------------
// OK, Apply, Cancel and closing

TEST_F(MainWindowTest, OkWithoutChangesClosesAtOnce) {
  Open();
  ClickButton(frm_->btnOk);
  EXPECT_FALSE(IsWindow(frm_->Handle()));
  EXPECT_TRUE(dialogs_.shown.empty());
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKeyPath, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(MainWindowTest, OkYesSavesRestartsAnnouncesAndCloses) {
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  frm_->seTFTPPort->SetValue(6969);
  ClickCheckBox(frm_->cbHighPriority);
  dialogs_.restartAnswers = {RestartAnswer::Yes};
  ClickButton(frm_->btnOk);
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
  ClickCheckBox(frm_->cbHighPriority);
  restartResult_ = false;
  dialogs_.restartAnswers = {RestartAnswer::Yes};
  ClickButton(frm_->btnOk);
  EXPECT_EQ(dialogs_.Kinds(), std::vector<std::string>{"Restart"});
  EXPECT_FALSE(IsWindow(frm_->Handle()));
  DWORD v = 1;
  ASSERT_TRUE(GetDword("HighPriority", v));
  EXPECT_EQ(v, 0u);
}

TEST_F(MainWindowTest, OkCancelSavesNothingAndStaysChanged) {
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  ClickCheckBox(frm_->cbHighPriority);
  dialogs_.restartAnswers = {RestartAnswer::Cancel};
  ClickButton(frm_->btnOk);
  EXPECT_TRUE(IsWindow(frm_->Handle()));
  EXPECT_TRUE(frm_->Modified());
  EXPECT_TRUE(Enabled(frm_->btnApply));
  DWORD v = 0;
  ASSERT_TRUE(GetDword("HighPriority", v));
  EXPECT_EQ(v, 1u);
}

TEST_F(MainWindowTest, ApplyYesSavesRestartsAndStaysOpen) {
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  ClickCheckBox(frm_->cbHighPriority);
  bool modifiedDuringRestart = true;
  restart_ = [&] {
    modifiedDuringRestart = frm_->Modified();
    return true;
  };
  dialogs_.restartAnswers = {RestartAnswer::Yes};
  ClickButton(frm_->btnApply);
  EXPECT_FALSE(modifiedDuringRestart) << "Apply clears the mark before the restart";
  EXPECT_EQ(dialogs_.Kinds(), (std::vector<std::string>{"Restart", "Information"}));
  EXPECT_TRUE(IsWindow(frm_->Handle()));
  EXPECT_FALSE(frm_->Modified());
  EXPECT_FALSE(Enabled(frm_->btnApply));
  // A second Apply does nothing.
  SendMessageW(frm_->Handle(), WM_COMMAND, MAKEWPARAM(idBtnApply, BN_CLICKED), 0);
  Pump();
  EXPECT_EQ(dialogs_.shown.size(), 2u);
  EXPECT_EQ(restarts_, 1);
}

TEST_F(MainWindowTest, ApplyNoSavesWithoutRestart) {
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  ClickCheckBox(frm_->cbHighPriority);
  dialogs_.restartAnswers = {RestartAnswer::No};
  ClickButton(frm_->btnApply);
  EXPECT_EQ(restarts_, 0);
  EXPECT_FALSE(frm_->Modified());
  DWORD v = 1;
  ASSERT_TRUE(GetDword("HighPriority", v));
  EXPECT_EQ(v, 0u);
}

TEST_F(MainWindowTest, DiscardQuestionGuardsEveryWayOfClosing) {
  Open();
  TypeChars(frm_->elTFTPRoot->EditHandle(), L"a");
  dialogs_.confirmAnswers = {false, false, true};
  ClickButton(frm_->btnCancel);
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
  TypeChars(frm_->elTFTPRoot->EditHandle(), L"z");
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
  const HWND port = frm_->seTFTPPort->EditHandle();
  SendMessageW(frm_->Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(port), TRUE);
  SendMessageW(port, EM_SETSEL, 2, 2);
  TypeChars(port, L"7");
  ASSERT_EQ(frm_->seTFTPPort->Text(), "697");
  dialogs_.restartAnswers = {RestartAnswer::Cancel};
  ClickButton(frm_->btnOk);
  EXPECT_EQ(dialogs_.Kinds(), std::vector<std::string>{"Restart"});
  EXPECT_EQ(Focus(), port);
  EXPECT_EQ(frm_->seTFTPPort->Text(), "697");
}

TEST_F(MainWindowTest, ClickingApplyWithTheMouseLeavesTheFocusInTheField) {
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  const HWND port = frm_->seTFTPPort->EditHandle();
  SendMessageW(frm_->Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(port), TRUE);
  TypeChars(port, L"7");
  dialogs_.restartAnswers = {RestartAnswer::Cancel};
  ClickButton(frm_->btnApply);
  EXPECT_EQ(Focus(), port);
}

// ---------------------------------------------------------------------------
// Saving that fails

TEST_F(MainWindowTest, AKeyThatCannotBeCreatedStopsOkWithTheReason) {
  MemoryRegistry registry;
  registryInUse_ = &registry;
  Open();
  frm_->elTFTPRoot->SetText(existingDir_);
  ClickCheckBox(frm_->cbHighPriority);
  registry.createError = kErrorAccessDenied;
  dialogs_.restartAnswers = {RestartAnswer::Yes};
  ClickButton(frm_->btnOk);
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
  frm_->elTFTPRoot->SetText(existingDir_);
  ClickCheckBox(frm_->cbHighPriority);
  registry.refusedValues = {"LogDirectory"};
  dialogs_.restartAnswers = {RestartAnswer::Yes};
  ClickButton(frm_->btnApply);
  EXPECT_EQ(dialogs_.shown.back().text, "Failed to set data for 'LogDirectory'");
  EXPECT_EQ(restarts_, 0);
  EXPECT_TRUE(frm_->Modified());
  EXPECT_TRUE(Enabled(frm_->btnApply));
}

TEST_F(MainWindowTest, TextOutsideTheCodePageIsRefusedAndNothingIsWritten) {
  Open();
  frm_->elTFTPRoot->SetText(existingDir_);
  ClickCheckBox(frm_->cbHighPriority);
  frm_->elLogDir->SetText("C:\\\xe6\x97\xa5\xe6\x9c\xac");
  dialogs_.restartAnswers = {RestartAnswer::No};
  ClickButton(frm_->btnOk);
  ASSERT_EQ(dialogs_.shown.back().kind, "ApplicationError");
  EXPECT_NE(dialogs_.shown.back().text.find("'LogDirectory'"), std::string::npos);
  EXPECT_TRUE(IsWindow(frm_->Handle()));
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKeyPath, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

}  // namespace
}  // namespace tftpcfg::test
