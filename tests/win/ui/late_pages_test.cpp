// Pages built when first brought to the front: the window holds their
// settings meanwhile, saves them, checks them, locks their fields and shows
// them without marking a change.

#include "tests/win/ui/main_window_fixture.h"

#include <commctrl.h>

#include "config/settings_store.h"

namespace tftpcfg::test {
namespace {

class LatePagesTest : public MainWindowTest {
 protected:
  std::vector<bool> Built() const {
    std::vector<bool> built;
    built.reserve(kPageCount);
    for (int page = 0; page < kPageCount; ++page) built.push_back(frm_->PageBuilt(page));
    return built;
  }
  ServiceSettings Stored() {
    ServiceSettings stored = InitialSettings();
    LoadSettings(registry_, codec_, stored);
    return stored;
  }
  void OkNo() {
    if (!frm_->Modified()) ClickCheckBox(frm_->Control(IDC_HIGH_PRIORITY));
    dialogs_.restartAnswers = {RestartAnswer::No};
    ClickButton(frm_->Control(IDOK));
  }
};

TEST_F(LatePagesTest, OnlyTheFrontPageIsBuiltAndTheOthersAreSavedAsTheyWouldShow) {
  ServiceSettings key = CompleteSettings(existingDir_, existingDir_);
  key.FWMaxPort = 70000;  // shown, and so saved, as the field's upper bound
  WriteSettingsKey(key);
  Open();
  EXPECT_EQ(Built(), (std::vector<bool>{true, false, false, false, false}));
  OkNo();
  ServiceSettings expected = key;
  expected.HighPriority = false;
  expected.FWMaxPort = 65535;
  EXPECT_EQ(Stored(), expected);
  EXPECT_EQ(Built(), (std::vector<bool>{true, false, false, false, false}));
}

TEST_F(LatePagesTest, ACheckThatFailsOnAPageNotBuiltBuildsItAndFocusesTheField) {
  struct Case {
    const char* what;
    void (*change)(ServiceSettings&);
    int page;
    int field;
    bool selected;
  };
  const Case cases[] = {
      {"firewall range",
       [](ServiceSettings& s) {
         s.FWMinPort = 2001;
         s.FWMaxPort = 2000;
       },
       kPageFirewall, IDC_FIREWALL_MIN_PORT, false},
      {"log directory", [](ServiceSettings& s) { s.LogDirectory = "C:\\no\\such\\folder"; },
       kPageLogging, IDC_LOG_DIRECTORY, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ServiceSettings key = CompleteSettings(existingDir_, existingDir_);
    c.change(key);
    WriteSettingsKey(key);
    Open();
    ASSERT_FALSE(frm_->PageBuilt(c.page));
    ClickCheckBox(frm_->Control(IDC_HIGH_PRIORITY));
    dialogs_.restartAnswers = {RestartAnswer::Cancel};
    ClickButton(frm_->Control(IDOK));
    ASSERT_EQ(dialogs_.Kinds(), std::vector<std::string>{"Error"});
    EXPECT_TRUE(frm_->PageBuilt(c.page));
    EXPECT_EQ(frm_->ActivePage(), c.page);
    const HWND edit =
        reinterpret_cast<HWND>(SendMessageW(frm_->Control(c.field), FM_GETEDIT, 0, 0));
    EXPECT_EQ(Focus(), edit);
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start != end, c.selected);
    dlg_.reset();
    frm_.reset();
    dialogs_.shown.clear();
  }
}

// The locking rules ran at start-up for fields not built yet: opened later,
// they show locked, also after a start-up in which a value failed to load.
TEST_F(LatePagesTest, LockingAtStartShowsWhenThePageIsFirstOpened) {
  for (const bool startUpFails : {false, true}) {
    SCOPED_TRACE(startUpFails);
    ServiceSettings key = CompleteSettings(existingDir_, existingDir_);
    key.WriteLog = false;
    key.FWEnabled = false;
    WriteSettingsKey(key);
    if (startUpFails) PutString("LocalTime", "x");  // the last value: the rest loads
    Open();
    EXPECT_EQ(Built(), (std::vector<bool>{true, false, false, false, false}));
    frm_->ShowPage(kPageLogging);
    const FolderField logDir(frm_->Control(IDC_LOG_DIRECTORY));
    EXPECT_TRUE(logDir.ReadOnly());
    EXPECT_FALSE(logDir.ButtonVisible());
    EXPECT_EQ(logDir.Color(), GetSysColor(COLOR_BTNFACE));
    EXPECT_TRUE(NumberField(frm_->Control(IDC_LOG_COUNT)).ReadOnly());
    EXPECT_FALSE(IsWindowEnabled(frm_->Control(IDC_LOG_LEVEL)));
    EXPECT_FALSE(IsWindowEnabled(frm_->Control(IDC_LOCAL_TIMESTAMPS)));
    frm_->ShowPage(kPageFirewall);
    EXPECT_TRUE(NumberField(frm_->Control(IDC_FIREWALL_MIN_PORT)).ReadOnly());
    EXPECT_TRUE(NumberField(frm_->Control(IDC_FIREWALL_MAX_PORT)).ReadOnly());
    dlg_.reset();
    frm_.reset();
    dialogs_.shown.clear();
  }
}

TEST_F(LatePagesTest, ShowingAPageRaisesNoChangeAndShowsItsValues) {
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  for (int page : {kPageSecurity, kPageFirewall, kPageLogging}) frm_->ShowPage(page);
  EXPECT_FALSE(frm_->Modified());
  EXPECT_FALSE(IsWindowEnabled(frm_->Control(IDC_APPLY)));
  EXPECT_EQ(SendMessageW(frm_->Control(IDC_DEFAULT_ACCESS), CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(ListView_GetItemCount(frm_->Control(IDC_RULES)), 2);
  EXPECT_EQ(NumberField(frm_->Control(IDC_FIREWALL_MIN_PORT)).Value(), 2000);
  EXPECT_EQ(SendMessageW(frm_->Control(IDC_LOG_LEVEL), CB_GETCURSEL, 0, 0), 6);
  EXPECT_EQ(SendMessageW(frm_->Control(IDC_LOCAL_TIMESTAMPS), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(frm_->SettingsFromControls(), Stored());
}

}  // namespace
}  // namespace tftpcfg::test
