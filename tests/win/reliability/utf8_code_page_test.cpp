// The window on a system whose ANSI code page is UTF-8 (Windows offers it as
// an option; Wine takes it from a locale such as hi_IN.UTF-8). Every character
// can then be stored: a log directory named in Chinese is saved as its UTF-8
// bytes and loads again unchanged, and the root directory check still finds
// an existing folder.
//
// The test "win_reliability_utf8" runs this in such a process and sets
// TFTPCFG_EXPECT_UTF8_ACP; in a process with another code page it is skipped.
// (The folder named in Chinese is not created: without that locale installed
// on the host, Wine cannot name such a file there.)

#include <cstdlib>
#include <string>

#include "tests/win/ui/main_window_fixture.h"

namespace tftpcfg::test {
namespace {

class Utf8CodePageTest : public MainWindowTest {
 protected:
  void SetUp() override {
    if (GetACP() != CP_UTF8) {
      if (std::getenv("TFTPCFG_EXPECT_UTF8_ACP"))
        FAIL() << "the process's ANSI code page is " << GetACP() << ", not UTF-8";
      GTEST_SKIP() << "the ANSI code page is not UTF-8 here";
    }
    MainWindowTest::SetUp();
  }
};

TEST_F(Utf8CodePageTest, TextInAnyScriptIsSavedAsUtf8AndLoadsAgain) {
  const std::wstring folder = L"C:\\tftp \u4e2d\u6587";
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  FolderField(frm_->Control(IDC_LOG_DIRECTORY)).SetText("");
  TypeChars(FolderField(frm_->Control(IDC_LOG_DIRECTORY)).Edit(), folder);
  ClickCheckBox(frm_->Control(
      IDC_WRITE_LOG));  // logging off: the folder, which does not exist, is not checked
  ASSERT_EQ(FolderField(frm_->Control(IDC_LOG_DIRECTORY)).Text(), Narrow(folder));
  dialogs_.restartAnswers = {RestartAnswer::No};
  ClickButton(frm_->Control(IDC_APPLY));
  EXPECT_EQ(dialogs_.Kinds(), std::vector<std::string>{"Restart"}) << "checked and saved";
  EXPECT_FALSE(frm_->Modified());

  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKeyPath, 0, KEY_READ, &key), ERROR_SUCCESS);
  char data[256] = {};
  DWORD size = sizeof data;
  DWORD type = 0;
  EXPECT_EQ(
      RegQueryValueExA(key, "LogDirectory", nullptr, &type, reinterpret_cast<BYTE*>(data), &size),
      ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::string(data, size), Narrow(folder) + '\0');

  dlg_.reset();
  frm_.reset();
  Pump();
  Open();
  EXPECT_EQ(FolderField(frm_->Control(IDC_LOG_DIRECTORY)).Text(), Narrow(folder));
  EXPECT_TRUE(dialogs_.Kinds() == std::vector<std::string>{"Restart"}) << "no error at the load";
}

}  // namespace
}  // namespace tftpcfg::test
