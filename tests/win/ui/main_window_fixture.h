#pragma once
// Shared fixture of the main window tests: the real MainWindow over the real
// registry of the Wine prefix (or an in-memory one for failures the prefix
// cannot produce), scripted message boxes, and helpers that drive the window
// with the messages that a user's input produces.

#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/folder_field.h"
#include "controls/number_field.h"
#include "platform/win32/registry_win.h"
#include "platform/win32/win_text.h"
#include "tests/support/win/control_harness.h"
#include "tests/support/win/settings_fixture.h"
#include "ui/message_boxes.h"
#include "ui/rule_dialog.h"
#include "ui/main_window.h"

namespace tftpcfg::test {

// Message boxes answered from a script; every box shown is recorded.
class ScriptedMessageBoxes final : public IMessageBoxes {
 public:
  struct Box {
    std::string kind;  // "Error", "Information", "Confirm", "Restart", "ApplicationError"
    std::string text;
  };
  std::vector<Box> shown;
  std::deque<bool> confirmAnswers;           // default: No
  std::deque<RestartAnswer> restartAnswers;  // default: Cancel
  std::function<void(const Box&)> onShow;    // runs while the box would be open

  void Error(HWND, const std::string& text) override { Record("Error", text); }
  void Information(HWND, const std::string& text) override { Record("Information", text); }
  bool Confirm(HWND, const std::string& text) override {
    Record("Confirm", text);
    if (confirmAnswers.empty()) return false;
    const bool yes = confirmAnswers.front();
    confirmAnswers.pop_front();
    return yes;
  }
  RestartAnswer AskRestart(HWND) override {
    Record("Restart", kRestartQuestion);
    if (restartAnswers.empty()) return RestartAnswer::Cancel;
    const RestartAnswer a = restartAnswers.front();
    restartAnswers.pop_front();
    return a;
  }
  void ApplicationError(HWND, const std::string& message) override {
    Record("ApplicationError", ApplicationErrorText(message));
  }

  std::vector<std::string> Kinds() const {
    std::vector<std::string> kinds;
    for (const auto& b : shown) kinds.push_back(b.kind);
    return kinds;
  }

 private:
  void Record(const char* kind, const std::string& text) {
    shown.push_back({kind, text});
    if (onShow) onShow(shown.back());
  }
};

inline constexpr char kKeyPath[] = "SOFTWARE\\Ostrel\\TFTPService";

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates the window with the dependencies set up so far.
  void Open();
  // Dispatches every waiting message the way the program's loop does.
  void Pump();
  PreTranslateFn PreTranslate();
  // Dispatches for a while (for timers and posted work).
  void PumpFor(DWORD milliseconds);

  // Registry helpers (HKLM\SOFTWARE\Ostrel\TFTPService).
  static void PutDword(const char* name, DWORD value);
  static void PutString(const char* name, const std::string& text, DWORD type = REG_SZ);
  static bool GetDword(const char* name, DWORD& value);
  static bool GetString(const char* name, std::string& text);
  // Writes a complete, valid key with the given root and log directory
  // (CompleteSettings of tests/support/win/settings_fixture.h).
  static void PutCompleteKey(const std::string& root, const std::string& logDir);

  // Input as the user produces it.
  void TypeChars(HWND edit, const std::wstring& text);  // WM_CHAR per character, pumped
  void KeyDown(HWND target, UINT vk);                   // WM_KEYDOWN/WM_KEYUP through the loop
  void PressKeys(std::initializer_list<WORD> keys);     // SendInput: modifiers first, then release
  void ClickButton(HWND button);                        // mouse down/up in its middle
  void ClickCheckBox(HWND checkBox);                    // as a mouse click: BM_CLICK
  void SelectComboItem(HWND combo, int index);          // as the user picks an item
  HWND Focus() const { return GetFocus(); }

  // Runs attempt, which installs the stand-in and drives one restart through a
  // window it opens, again while the controller's only error box (recorded in
  // errors) is the environment's 1359 (see environment_errors.h), up to
  // kEnvironmentStartAttempts times in all. Between attempts the window is
  // closed and errors, the boxes shown and the restart count are cleared; each
  // repeat prints a line. Returns the number of repeats.
  int RepeatOnEnvironmentStartFailure(std::vector<std::string>& errors,
                                      const std::function<void()>& attempt);

  // A directory that exists in the prefix, and one that does not.
  std::string existingDir_;
  std::string missingDir_ = "C:\\no\\such\\folder";

  WinRegistry registry_;
  WinAnsiCodec codec_;
  ScriptedMessageBoxes dialogs_;
  IRegistry* registryInUse_ = &registry_;
  std::vector<std::string> helpTopics_;  // every topic the window asked to open
  int restarts_ = 0;
  bool restartResult_ = true;
  std::function<bool()> restart_;  // when set, replaces the counting restart
  std::unique_ptr<MainWindow> frm_;
  std::unique_ptr<RuleDialog> dlg_;
};

}  // namespace tftpcfg::test
