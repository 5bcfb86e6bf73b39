#pragma once
// The main configuration window: four tabbed pages of settings above a strip
// of OK, Cancel and Apply, built from the tables of main_window_tables.h. It
// loads the stored settings when it is created, tracks unsaved changes, locks
// the logging and firewall fields while their feature is off, checks the input
// before saving, saves, and offers to restart the service so that it reads the
// new settings. The pages (page_set.h), the binding of the settings to the
// controls (settings_form.h) and the rule editing (rule_editor.h) are its parts.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/service_settings.h"
#include "config/settings_store.h"
#include "platform/ansi_codec.h"
#include "platform/folder_browser.h"
#include "platform/registry.h"
#include "ui/control_ids.h"
#include "toolkit/dialog_window.h"
#include "ui/message_boxes.h"
#include "ui/page_set.h"
#include "ui/rule_editor.h"
#include "ui/settings_form.h"

namespace tftpcfg {

class RuleDialog;

inline constexpr char kServiceName[] = "OstrelTFTPd";
inline constexpr char kRestartSucceeded[] = "The service was restarted succesfully.";
inline constexpr char kDiscardQuestion[] = "Are you sure you want to discard all changes and exit?";

class MainWindow final : public DialogWindow {
 public:
  // What the window works with; tests replace the message boxes, the folder
  // browser, and may replace the restart and the directory check.
  struct Dependencies {
    IRegistry* registry = nullptr;
    const IAnsiCodec* codec = nullptr;
    IMessageBoxes* messageBoxes = nullptr;
    // Restarts the service on the local computer; true when it runs again. It
    // shows its own messages for every failure.
    std::function<bool()> restartService;
    std::function<bool(const std::string&)> directoryExists;
    // Folder of the program, with its trailing separator; the help file lies there.
    std::string programDirectory;
    // Opens a help topic ("<file>::/<topic>"); F1 does nothing without it.
    std::function<void(const std::string& topicAddress)> showHelp;
    IFolderBrowserShell* folderBrowser = nullptr;  // null: the system's
  };

  // Creates the window and loads the stored settings into it; the window is
  // then shown, centred on the screen. Raises FatalError when the window or a
  // control cannot be created.
  static std::unique_ptr<MainWindow> Create(HINSTANCE instance, Dependencies deps);

  // The rule dialog used by Add and Edit: made by `make` when first needed
  // (nothing at start-up waits for it), or given ready-made.
  void SetRuleDialogFactory(std::function<RuleDialog*()> make) {
    rules_.SetDialogFactory(std::move(make));
  }
  void SetRuleDialog(RuleDialog* dialog) { rules_.SetDialog(dialog); }

  // Keyboard handling that the message loop applies before dispatching:
  // Ctrl+Tab between pages, Alt+letter for push buttons, and the dialog keys
  // (Tab, Enter, Esc). True when the message was handled.
  bool PreTranslateMessage(MSG& msg);

  // What the window shows and does, for the program and its tests. A page's
  // controls are built when the page is first brought to the front; Control
  // and Page build it first when it was not, PageBuilt only looks.
  HWND Control(int id) { return pages_.Control(id); }
  HWND Page(int index) { return pages_.Page(index); }
  bool PageBuilt(int index) const { return pages_.Built(index); }
  int ActivePage() const { return pages_.Active(); }
  void ShowPage(int index) { pages_.Show(index); }
  bool Modified() const { return modified_; }
  bool RestartInProgress() const { return restarting_; }
  const std::string& HelpFile() const { return helpFile_; }
  ServiceSettings SettingsFromControls() const { return form_.Read(); }
  // Start-up's load: the stored settings into the controls, then the locking
  // rules, the window unchanged, the first page in front, the help file set,
  // and one box with every value that could not be read.
  void LoadStoredSettings();
  // Shows a record in the controls, set by program: nothing marks a change.
  void ShowSettings(const ServiceSettings& settings);
  bool ValidateSettings();
  // The rule grid and its text encoding.
  void LoadHosts(const std::string& text) { rules_.Load(text); }
  std::string SaveHosts() const { return rules_.Grid().Save(); }
  const std::vector<RuleGrid::Row>& HostRows() const { return rules_.Grid().Rows(); }
  int SelectedRow() const { return rules_.Grid().Selected(); }

 private:
  explicit MainWindow(Dependencies deps);

  void OnCreate() override;
  INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  SIZE Layout() override;
  void OnDpiChanged() override;
  void OnError(const std::exception& error) override;
  // While a restart is under way, the user's commands and close requests wait:
  // a second OK during the wait must not save and restart again.
  static bool WaitsForRestart(UINT msg, WPARAM wParam, LPARAM lParam);
  void SetIcons();
  void OnPageBuilt(int page);

  // Commands and notifications.
  void OnCommand(int id, int code);
  // A user's edit of the control with this id.
  void MarkEdited(int id);
  void SetModified(bool modified);
  void OnOk();
  void OnApply();
  void Close();
  bool ConfirmClose();
  void SaveWindowSettings();
  void RestartService();
  void FailCheck(const std::string& message, int page, int field, bool selectAll);
  void ShowHelp();

  Dependencies deps_;
  PageSet pages_;
  RuleEditor rules_;
  SettingsForm form_;
  // Values in the key that the load could not read and the user has not
  // changed since: saves leave them as stored.
  StoredValueSet unread_;
  bool modified_ = false;
  bool restarting_ = false;
  std::string helpFile_;
};

}  // namespace tftpcfg
