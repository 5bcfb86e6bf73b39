#pragma once
// The main configuration window: four tabbed pages of settings above a strip
// of OK, Cancel and Apply, built from the tables of main_window_tables.h. It
// loads the stored settings when it is created, tracks unsaved changes, locks
// the logging and firewall fields while their feature is off, checks the input
// before saving, saves, and offers to restart the service so that it reads the
// new settings.

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "config/service_settings.h"
#include "config/settings_store.h"
#include "platform/ansi_codec.h"
#include "platform/folder_browser.h"
#include "platform/registry.h"
#include "platform/win32/win_handles.h"
#include "ui/control_ids.h"
#include "ui/control_table.h"
#include "ui/main_window_tables.h"
#include "ui/message_boxes.h"
#include "ui/rule_grid.h"

namespace tftpcfg {

class RuleDialog;

inline constexpr char kServiceName[] = "OstrelTFTPd";
inline constexpr char kRestartSucceeded[] = "The service was restarted succesfully.";
inline constexpr char kDiscardQuestion[] = "Are you sure you want to discard all changes and exit?";
inline constexpr char kDeleteRuleQuestion[] = "Are you sure to delete rule?";

class MainWindow {
 public:
  // What the window works with; tests replace the message boxes, the folder
  // browser, and may replace the restart and the directory check.
  struct Dependencies {
    IRegistry* registry = nullptr;
    const IAnsiCodec* codec = nullptr;
    MessageBoxes* messageBoxes = nullptr;
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
  // then shown, centred on the screen, also when loading ended with an error.
  // Raises ControlCreationError when a control cannot be created.
  static std::unique_ptr<MainWindow> Create(HINSTANCE instance, Dependencies deps);
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;
  ~MainWindow();

  HWND Handle() const { return hwnd_; }
  // The rule dialog used by Add and Edit: made by `make` when first needed
  // (nothing at start-up waits for it), or given ready-made.
  void SetRuleDialogFactory(std::function<RuleDialog*()> make) {
    makeRuleDialog_ = std::move(make);
  }
  void SetRuleDialog(RuleDialog* dialog) { ruleDialog_ = dialog; }

  // Keyboard handling that the message loop applies before dispatching:
  // Ctrl+Tab between pages, Alt+letter for push buttons, and the dialog keys
  // (Tab, Enter, Esc). True when the message was handled.
  bool PreTranslateMessage(MSG& msg);

  // What the window shows and does, for the program and its tests. A page's
  // controls are built when the page is first brought to the front; Control
  // and Page build it first when it was not, PageBuilt only looks.
  HWND Control(int id);
  HWND Page(int index);
  bool PageBuilt(int index) const { return built_.at(static_cast<size_t>(index)); }
  bool Modified() const { return modified_; }
  bool RestartInProgress() const { return restarting_; }
  int ActivePage() const { return activePage_; }
  const std::string& HelpFile() const { return helpFile_; }
  UINT Dpi() const { return dpi_; }
  ServiceSettings SettingsFromControls() const;
  // Start-up's load: the stored settings into the controls, then the locking
  // rules, the window unchanged, the first page in front, the help file set,
  // and one box with every value that could not be read.
  void LoadStoredSettings();
  // Shows a record in the controls, set by program: nothing marks a change.
  void ShowSettings(const ServiceSettings& settings);
  void ShowPage(int index);
  bool ValidateSettings();
  // The rule grid and its text encoding.
  void LoadHosts(const std::string& text);
  std::string SaveHosts() const { return rules_.Save(); }
  const std::vector<RuleGrid::Row>& HostRows() const { return rules_.Rows(); }
  int SelectedRow() const { return rules_.Selected(); }

 private:
  explicit MainWindow(Dependencies deps);

  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static INT_PTR CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  INT_PTR Result(LRESULT result);
  // While a restart is under way, the user's commands and close requests wait:
  // a second OK during the wait must not save and restart again.
  static bool WaitsForRestart(UINT msg, WPARAM wParam, LPARAM lParam);

  // Creation and layout.
  void BuildWindow();
  // Creates a page and its controls, which then show the settings the window
  // holds for them, locked as the rules say, without marking a change.
  void BuildPage(int index);
  // A control that exists (its page built), else null.
  HWND Existing(int id) const;
  static int PageOf(int id);
  static const ControlRow* RowOf(int id);
  static const SettingBinding* BindingOf(int id);
  void LayoutWindow();
  void LayoutPage(int index);
  void OnDpiChanged(UINT dpi, const RECT* suggested);

  // Start-up and settings.
  void ShowSetting(const SettingBinding& binding, const ServiceSettings& settings);
  // Reads one value: from its control, or where the control's page is not
  // built, what the control would show (a number pulled into its range).
  void ReadSetting(const SettingBinding& binding, ServiceSettings& settings) const;
  bool IsChecked(int id) const;
  int TimestampIndex() const;
  void SetTimestampIndex(int index);

  // Commands and notifications.
  void OnCommand(int id, int code);
  LRESULT OnNotify(const NMHDR& header);
  // A user's edit of the control with this id.
  void MarkEdited(int id);
  void SetModified(bool modified);
  void ApplyLoggingLock();
  void ApplyFirewallLock();
  void SetFieldLocked(int id, bool locked);
  void OnOk();
  void OnApply();
  void Close();
  bool ConfirmClose();
  void SaveWindowSettings();
  void RestartService();
  void FailCheck(const std::string& message, int page, int field, bool selectAll);
  void ShowHelp();

  // Access rules.
  void AddRule();
  void EditRule();
  void DeleteRule();
  void UpdateRuleButtons();
  RuleGrid::Row RowFromRuleDialog() const;
  RuleDialog* RuleDialogForUse();

  // Keyboard.
  bool FocusInPages() const;
  void CyclePage(bool forward);
  bool ClickMnemonic(wchar_t ch);

  Dependencies deps_;
  HWND hwnd_ = nullptr;
  HWND tabs_ = nullptr;
  std::array<HWND, kPageCount> pages_{};
  std::array<bool, kPageCount> built_{};
  // The settings shown last; the controls of pages not built yet show these.
  ServiceSettings shown_ = InitialSettings();
  // Values in the key that the load could not read and the user has not
  // changed since: saves leave them as stored.
  StoredValueSet unread_;
  // Whether the locking rules have run: only then does a page built later
  // show its fields locked (a failed start-up runs neither).
  bool loggingRuleRan_ = false;
  bool firewallRuleRan_ = false;
  std::array<ControlTable, kPageCount> pageControls_;
  ControlTable strip_;
  RuleGrid rules_;
  RuleDialog* ruleDialog_ = nullptr;
  std::function<RuleDialog*()> makeRuleDialog_;
  UINT dpi_ = 96;
  UniqueFont font_;
  bool modified_ = false;
  bool restarting_ = false;
  int activePage_ = kPageBasic;
  int timestampIndex_ = 0;  // the radio item selected last, to see real changes
  std::string helpFile_;
  std::string creationError_;
};

}  // namespace tftpcfg
