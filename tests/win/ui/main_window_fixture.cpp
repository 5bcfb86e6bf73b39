#include "tests/win/ui/main_window_fixture.h"

#include <commctrl.h>

#include <cstdio>

#include "controls/field_control.h"
#include "platform/win32/file_system_win.h"
#include "tests/support/win/control_harness.h"
#include "tests/support/win/settings_fixture.h"
#include "tests/support/win/environment_errors.h"

namespace tftpcfg::test {
void MainWindowTest::SetUp() {
  DeleteSettingsKey();
  existingDir_ = "C:\\tftp test root";
  CreateDirectoryA(existingDir_.c_str(), nullptr);
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES |
                                              ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  RegisterFieldClasses();
}

void MainWindowTest::TearDown() {
  dlg_.reset();
  frm_.reset();
  Pump();
  DeleteSettingsKey();
}

void MainWindowTest::Open() {
  MainWindow::Dependencies deps;
  deps.registry = registryInUse_;
  deps.codec = &codec_;
  deps.messageBoxes = &dialogs_;
  deps.restartService = [this] {
    ++restarts_;
    return restart_ ? restart_() : restartResult_;
  };
  deps.directoryExists = &DirectoryExists;
  deps.programDirectory = "C:\\Program Files\\Ostrel TFTP\\";
  deps.showHelp = [this](const std::string& topic) { helpTopics_.push_back(topic); };
  frm_ = MainWindow::Create(GetModuleHandleW(nullptr), deps);
  ASSERT_TRUE(frm_);
  dlg_ = RuleDialog::Create(GetModuleHandleW(nullptr), frm_->Handle());
  frm_->SetRuleDialog(dlg_.get());
  Pump();
}

int MainWindowTest::RepeatOnEnvironmentStartFailure(std::vector<std::string>& errors,
                                                    const std::function<void()>& attempt) {
  for (int repeats = 0;; ++repeats) {
    attempt();
    if (HasFatalFailure() || repeats + 1 == kEnvironmentStartAttempts ||
        !IsEnvironmentStartFailure(errors))
      return repeats;
    std::printf("%s: restart repeated after the manager's error 1359\n",
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
    dlg_.reset();
    frm_.reset();
    Pump();
    errors.clear();
    dialogs_.shown.clear();
    restarts_ = 0;
  }
}

void MainWindowTest::Pump() {
  test::Pump(PreTranslate());
}

void MainWindowTest::PumpFor(DWORD milliseconds) {
  test::PumpFor(milliseconds, PreTranslate());
}

// The program's keyboard handling before dispatch; a quit message (the window
// was closed) is taken out of the queue, and the test goes on.
PreTranslateFn MainWindowTest::PreTranslate() {
  return [this](MSG& msg) {
    if (msg.message == WM_QUIT) return true;
    return frm_ && frm_->PreTranslateMessage(msg);
  };
}

namespace {
void Put(const char* name, DWORD type, const void* data, DWORD size) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKeyPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
}
}  // namespace

void MainWindowTest::PutDword(const char* name, DWORD value) {
  Put(name, REG_DWORD, &value, 4);
}

void MainWindowTest::PutString(const char* name, const std::string& text, DWORD type) {
  Put(name, type, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

bool MainWindowTest::GetDword(const char* name, DWORD& value) {
  DWORD size = sizeof value;
  return RegGetValueA(HKEY_LOCAL_MACHINE, kKeyPath, name, RRF_RT_REG_DWORD, nullptr, &value,
                      &size) == ERROR_SUCCESS;
}

bool MainWindowTest::GetString(const char* name, std::string& text) {
  char buf[4096];
  DWORD size = sizeof buf;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, kKeyPath, name, RRF_RT_REG_SZ, nullptr, buf, &size) !=
      ERROR_SUCCESS)
    return false;
  text.assign(buf);
  return true;
}

void MainWindowTest::PutCompleteKey(const std::string& root, const std::string& logDir) {
  WriteSettingsKey(CompleteSettings(root, logDir));
}

void MainWindowTest::TypeChars(HWND edit, const std::wstring& text) {
  for (wchar_t c : text) {
    PostMessageW(edit, WM_CHAR, c, 1);
    Pump();
  }
}

void MainWindowTest::KeyDown(HWND target, UINT vk) {
  PostMessageW(target, WM_KEYDOWN, vk, 1);
  PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
  Pump();
}

void MainWindowTest::PressKeys(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (WORD vk : keys) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    inputs.push_back(in);
  }
  for (auto it = keys.end(); it != keys.begin();) {
    --it;
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = *it;
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(in);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  PumpFor(50);
}

void MainWindowTest::ClickButton(HWND button) {
  RECT rc;
  GetClientRect(button, &rc);
  const LPARAM at = MAKELPARAM(rc.right / 2, rc.bottom / 2);
  PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(button, WM_LBUTTONUP, 0, at);
  Pump();
}

void MainWindowTest::ClickCheckBox(HWND checkBox) {
  SendMessageW(checkBox, BM_CLICK, 0, 0);
  Pump();
}

void MainWindowTest::SelectComboItem(HWND combo, int index) {
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
  Pump();
}

}  // namespace tftpcfg::test
