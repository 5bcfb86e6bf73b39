// Bad input in the real window: 100 KB pasted into every text field,
// characters outside the ANSI code page in the root and log directories, and
// a list of 10,000 rules extended through the rule dialog, saved and loaded
// again. Nothing may crash, what the window shows must be what it saves and
// what loads again, and a save that is refused must leave the key exactly as
// it was.

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>

#include "base/int_text.h"
#include "controls/ip_address_field.h"
#include "tests/support/win/control_harness.h"
#include "tests/win/ui/main_window_fixture.h"

namespace tftpcfg::test {
namespace {

using KeySnapshot = std::map<std::string, std::pair<DWORD, std::string>>;

// Every value of the settings key, as the ANSI calls read it.
KeySnapshot Snapshot() {
  KeySnapshot values;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return values;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD nameLength = sizeof name;
    DWORD type = 0;
    DWORD size = 0;
    if (RegEnumValueA(key, i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
      break;
    std::string data(size, '\0');
    RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    data.resize(size);
    values[name] = {type, data};
  }
  RegCloseKey(key);
  return values;
}

constexpr size_t kHundredKilobytes = size_t{100} * 1024;

// 100 KB of text that looks like a path with numbers in it.
std::wstring HundredKilobytes() {
  std::wstring text;
  for (int i = 0; text.size() < kHundredKilobytes; ++i)
    text += L"C:\\folder " + std::to_wstring(i) + L"\\";
  text.resize(kHundredKilobytes);
  return text;
}

// TFTPCFG_RULE_COUNT sets the number of rules (default 10,000), and
// TFTPCFG_DIALOG_RULE_COUNT how many of them are added through the rule
// dialog (default 200: each Add shows and hides the dialog, 30 to 45 ms under
// Wine); the others are in the stored list when the window opens.
int EnvCount(const char* name, int fallback) {
  const char* text = std::getenv(name);
  const int n = text ? std::atoi(text) : 0;
  return n > 0 ? n : fallback;
}

// The rule number i of the test, as stored.
std::string RuleText(int i) {
  const std::string address = "10." + std::to_string(i / 65536) + "." +
                              std::to_string(i / 256 % 256) + "." + std::to_string(i % 256);
  const std::string mask =
      i % 3 != 0 ? "255.255.255.255" : "255.255." + std::to_string(i % 256) + ".0";
  return "[" + address + ", " + mask + ", " + (i % 2 ? "R" : "NA") + "]";
}

class BadInputTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    PutCompleteKey(existingDir_, existingDir_);
  }
  void TearDown() override {
    dlg_->SetOnShown(nullptr);
    MainWindowTest::TearDown();
  }

  // Pastes the clipboard over the whole text of an EDIT, as its context menu
  // does, and returns the text it then shows.
  std::string PasteInto(HWND edit) {
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, WM_PASTE, 0, 0);
    Pump();
    return GetWindowTextUtf8(edit);
  }

  // Closes the window (no changes left) and opens it again on the stored key.
  void Reopen() {
    dlg_.reset();
    frm_.reset();
    Pump();
    dialogs_.shown.clear();
    Open();
    ASSERT_TRUE(dialogs_.shown.empty());
  }

  void Apply(RestartAnswer answer) {
    dialogs_.restartAnswers = {answer};
    ClickButton(frm_->Control(IDC_APPLY));
  }
};

TEST_F(BadInputTest, HundredKilobytesPastedIntoEveryTextFieldAreTakenOrRefusedWhole) {
  const std::wstring big = HundredKilobytes();
  const std::string bigUtf8 = Narrow(big);
  ASSERT_TRUE(SetClipboardUtf16(big));
  Open();
  const KeySnapshot stored = Snapshot();

  // The root directory takes the text up to the EDIT's limit; the check then
  // refuses it as no directory, and nothing is written.
  const std::string root = PasteInto(FolderField(frm_->Control(IDC_TFTP_ROOT)).Edit());
  EXPECT_GE(root.size(), 30000u);
  EXPECT_EQ(root, bigUtf8.substr(0, root.size()));
  EXPECT_TRUE(frm_->Modified());
  Apply(RestartAnswer::No);
  ASSERT_EQ(dialogs_.Kinds(), std::vector<std::string>{"Error"});
  EXPECT_EQ(dialogs_.shown[0].text, "Specified TFTP Root Directory is not valid.");
  EXPECT_EQ(Snapshot(), stored);
  EXPECT_EQ(FolderField(frm_->Control(IDC_TFTP_ROOT)).Text(), root) << "the check changes nothing";
  FolderField(frm_->Control(IDC_TFTP_ROOT)).SetText(existingDir_);

  // The log directory likewise, while logging is on.
  dialogs_.shown.clear();
  const std::string logDir = PasteInto(FolderField(frm_->Control(IDC_LOG_DIRECTORY)).Edit());
  EXPECT_EQ(logDir, bigUtf8.substr(0, logDir.size()));
  Apply(RestartAnswer::No);
  ASSERT_EQ(dialogs_.Kinds(), std::vector<std::string>{"Error"});
  EXPECT_EQ(dialogs_.shown[0].text, "Specified Logfiles Directory is not valid.");
  EXPECT_EQ(Snapshot(), stored);

  // The number fields refuse text that is no number in their range: each
  // keeps its value and shows it.
  const std::pair<const char*, int> numbers[] = {{"TFTPPort", IDC_TFTP_PORT},
                                                 {"TFTPTimeout", IDC_TIMEOUT},
                                                 {"TFTPRetr", IDC_RETRIES},
                                                 {"FWMinPort", IDC_FIREWALL_MIN_PORT},
                                                 {"FWMaxPort", IDC_FIREWALL_MAX_PORT},
                                                 {"LogFileCount", IDC_LOG_COUNT}};
  for (const auto& [name, id] : numbers) {
    SCOPED_TRACE(name);
    const NumberField field(frm_->Control(id));
    const int32_t before = field.Value();
    const std::string text = PasteInto(field.Edit());
    EXPECT_EQ(field.Value(), before);
    EXPECT_EQ(ParseInteger(text), before);
  }
  // So do they with 100 KB of digits, which is no 32-bit number either.
  ASSERT_TRUE(SetClipboardUtf16(std::wstring(kHundredKilobytes, L'7')));
  for (const auto& [name, id] : numbers) {
    SCOPED_TRACE(name);
    const NumberField field(frm_->Control(id));
    const int32_t before = field.Value();
    EXPECT_EQ(ParseInteger(PasteInto(field.Edit())), before);
  }

  // With logging off the long log directory is saved, exactly as shown, and
  // loads again unchanged; every other value is saved as the window shows it.
  ClickCheckBox(frm_->Control(IDC_WRITE_LOG));
  dialogs_.shown.clear();
  Apply(RestartAnswer::No);
  EXPECT_TRUE(dialogs_.Kinds() == std::vector<std::string>{"Restart"});
  EXPECT_FALSE(frm_->Modified());
  const KeySnapshot after = Snapshot();
  ASSERT_EQ(after.count("LogDirectory"), 1u);
  EXPECT_EQ(after.at("LogDirectory").second, logDir + '\0');
  const ServiceSettings shown = frm_->SettingsFromControls();
  Reopen();
  EXPECT_EQ(FolderField(frm_->Control(IDC_LOG_DIRECTORY)).Text(), logDir);
  EXPECT_TRUE(frm_->SettingsFromControls() == shown);
}

TEST_F(BadInputTest, HundredKilobytesPastedIntoTheRuleDialogsAddressGiveAnAddress) {
  ASSERT_TRUE(SetClipboardUtf16(HundredKilobytes()));
  Open();
  std::vector<std::string> partTexts;
  dlg_->SetOnShown([&](RuleDialog& d) {
    SendMessageW(d.Control(IDC_SINGLE_HOST), BM_CLICK, 0, 0);
    for (int i = 0; i < 4; ++i)
      partTexts.push_back(PasteInto(IpAddressField(d.Control(IDC_ADDRESS)).Part(i)));
    SendMessageW(d.Control(IDOK), BM_CLICK, 0, 0);
  });
  frm_->ShowPage(kPageSecurity);
  ClickButton(frm_->Control(IDC_ADD_RULE));
  ASSERT_EQ(frm_->HostRows().size(), 3u);
  // Each part holds at most three characters, all digits, worth its octet.
  const std::string address = frm_->HostRows()[2].rule.Address;
  std::string expected;
  for (const std::string& t : partTexts) {
    EXPECT_LE(t.size(), 3u);
    const auto v = ParseInteger(t);
    ASSERT_TRUE(v && *v >= 0 && *v <= 255) << t;
    if (!expected.empty()) expected += '.';
    expected += std::to_string(*v);
  }
  EXPECT_EQ(address, expected);
  EXPECT_EQ(frm_->HostRows()[2].rule.Mask, "255.255.255.255");
}

TEST_F(BadInputTest, TextOutsideTheCodePageIsRefusedAtSaveAndNothingIsWritten) {
  // The folders exist; only the code page cannot name them.
  const std::wstring foreign = L"C:\\tftp \u4e2d\u6587";
  CreateDirectoryW(foreign.c_str(), nullptr);
  Open();
  const KeySnapshot stored = Snapshot();

  FolderField(frm_->Control(IDC_TFTP_ROOT)).SetText("");
  TypeChars(FolderField(frm_->Control(IDC_TFTP_ROOT)).Edit(), foreign);
  EXPECT_EQ(FolderField(frm_->Control(IDC_TFTP_ROOT)).Text(), Narrow(foreign));
  ClickButton(frm_->Control(IDOK));
  ASSERT_EQ(dialogs_.Kinds(), std::vector<std::string>{"Error"});
  EXPECT_EQ(dialogs_.shown[0].text, "Specified TFTP Root Directory is not valid.");
  EXPECT_EQ(Snapshot(), stored);
  EXPECT_TRUE(IsWindow(frm_->Handle()));
  FolderField(frm_->Control(IDC_TFTP_ROOT)).SetText(existingDir_);

  // The log directory, logging on: its check refuses it.
  dialogs_.shown.clear();
  FolderField(frm_->Control(IDC_LOG_DIRECTORY)).SetText("");
  TypeChars(FolderField(frm_->Control(IDC_LOG_DIRECTORY)).Edit(), foreign);
  Apply(RestartAnswer::Yes);
  ASSERT_EQ(dialogs_.Kinds(), std::vector<std::string>{"Error"});
  EXPECT_EQ(dialogs_.shown[0].text, "Specified Logfiles Directory is not valid.");
  EXPECT_EQ(Snapshot(), stored);

  // Logging off, so nothing checks the folder: the save itself refuses the
  // text, says why, writes nothing and restarts nothing.
  ClickCheckBox(frm_->Control(IDC_WRITE_LOG));
  dialogs_.shown.clear();
  Apply(RestartAnswer::Yes);
  ASSERT_EQ(dialogs_.Kinds(), (std::vector<std::string>{"Restart", "ApplicationError"}));
  const std::string& message = dialogs_.shown[1].text;
  EXPECT_NE(message.find("'LogDirectory'"), std::string::npos) << message;
  EXPECT_NE(message.find("code page"), std::string::npos) << message;
  EXPECT_EQ(Snapshot(), stored);
  EXPECT_EQ(restarts_, 0);
  EXPECT_TRUE(frm_->Modified());

  // Characters the code page has are stored in it and load again unchanged
  // (with logging on again, so the folder is checked and can be edited).
  const std::wstring western = L"C:\\tftp Gr\u00fc\u00dfe";
  CreateDirectoryW(western.c_str(), nullptr);
  ClickCheckBox(frm_->Control(IDC_WRITE_LOG));
  FolderField(frm_->Control(IDC_LOG_DIRECTORY)).SetText("");
  TypeChars(FolderField(frm_->Control(IDC_LOG_DIRECTORY)).Edit(), western);
  dialogs_.shown.clear();
  Apply(RestartAnswer::No);
  EXPECT_EQ(dialogs_.Kinds(), std::vector<std::string>{"Restart"});
  const KeySnapshot after = Snapshot();
  EXPECT_EQ(after.at("LogDirectory").second, std::string("C:\\tftp Gr\xfc\xdf"
                                                         "e") +
                                                 '\0');
  Reopen();
  EXPECT_EQ(FolderField(frm_->Control(IDC_LOG_DIRECTORY)).Text(), Narrow(western));
  RemoveDirectoryW(foreign.c_str());
  RemoveDirectoryW(western.c_str());
}

TEST_F(BadInputTest, TenThousandRulesAreAddedSavedAndLoadedAgainInOrder) {
  const int kRules = EnvCount("TFTPCFG_RULE_COUNT", 10000);
  const int kByDialog = std::min(kRules, EnvCount("TFTPCFG_DIALOG_RULE_COUNT", 200));
  // The text expected in the key, built here rule by rule; the rules before
  // those added through the dialog are stored when the window opens.
  std::string expected = "[192.168.10.0, 255.255.255.0, R], [10.0.0.7, 255.255.255.255, NA]";
  std::string stored = expected;
  for (int i = 0; i < kRules; ++i) {
    expected += ", " + RuleText(i);
    if (i < kRules - kByDialog) stored += ", " + RuleText(i);
  }
  PutString("HostList", stored);
  Open();
  ASSERT_EQ(frm_->HostRows().size(), static_cast<size_t>(kRules - kByDialog + 2));
  frm_->ShowPage(kPageSecurity);
  int next = kRules - kByDialog;
  dlg_->SetOnShown([&next](RuleDialog& d) {
    const bool single = next % 3 != 0;
    SendMessageW(single ? d.Control(IDC_SINGLE_HOST) : d.Control(IDC_NETWORK), BM_CLICK, 0, 0);
    d.SetAddress("10." + std::to_string(next / 65536) + "." + std::to_string(next / 256 % 256) +
                 "." + std::to_string(next % 256));
    if (!single) d.SetMask("255.255." + std::to_string(next % 256) + ".0");
    SendMessageW(d.Control(IDC_ACCESS), CB_SETCURSEL, next % 2, 0);
    ++next;
    SendMessageW(d.Control(IDOK), BM_CLICK, 0, 0);
  });
  const DWORD start = GetTickCount();
  for (int i = 0; i < kByDialog; ++i) ClickButton(frm_->Control(IDC_ADD_RULE));
  const DWORD added = GetTickCount() - start;
  dlg_->SetOnShown(nullptr);
  ASSERT_EQ(frm_->HostRows().size(), static_cast<size_t>(kRules + 2));

  Apply(RestartAnswer::No);
  ASSERT_FALSE(frm_->Modified());
  const KeySnapshot after = Snapshot();
  ASSERT_EQ(after.count("HostList"), 1u);
  EXPECT_EQ(after.at("HostList").first, static_cast<DWORD>(REG_SZ));
  EXPECT_TRUE(after.at("HostList").second == expected + '\0')
      << "stored " << after.at("HostList").second.size() << " bytes, expected "
      << expected.size() + 1;

  const std::vector<RuleGrid::Row> rows = frm_->HostRows();
  const DWORD reloadStart = GetTickCount();
  Reopen();
  const DWORD reloaded = GetTickCount() - reloadStart;
  ASSERT_EQ(frm_->HostRows().size(), rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    ASSERT_EQ(frm_->HostRows()[i].rule, rows[i].rule) << "row " << i;
    ASSERT_EQ(frm_->HostRows()[i].addressText, rows[i].addressText) << "row " << i;
  }
  EXPECT_EQ(frm_->SaveHosts(), expected);
  std::printf(
      "%d rules (%d through the dialog, in %lu ms): %zu bytes saved, window reopened in %lu ms\n",
      kRules, kByDialog, static_cast<unsigned long>(added), expected.size() + 1,
      static_cast<unsigned long>(reloaded));
}

}  // namespace
}  // namespace tftpcfg::test
