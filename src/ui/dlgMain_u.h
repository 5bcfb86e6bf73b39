#pragma once
// The main configuration window: four tabbed pages of settings above a strip
// of OK, Cancel and Apply. It loads the stored settings when it is created,
// tracks unsaved changes, locks the logging and firewall fields while their
// feature is off, checks the input before saving, saves, and offers to restart
// the service so that it reads the new settings.

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/access_rights.h"
#include "config/service_settings.h"
#include "platform/ansi_codec.h"
#include "platform/registry.h"
#include "platform/win32/win_handles.h"
#include "ui/message_boxes.h"
#include "ui/layout.h"

namespace tftpcfg {

class TElSpinEdit;
class TElFolderNameEdit;
class TdlgIPEdit;

// Page indexes of pcMain, in order.
enum MainPage : int {
  kPageBasic = 0,       // tsBasic
  kPageSecurity = 1,    // tsSecurity
  kPageFirewall = 2,    // ElTabSheet1
  kPageLogging = 3,     // ElTabSheet2
  kPageMulticasts = 4,  // tsMulticasts: exists, has no tab, never shown
  kPageCount = 5,
};
inline constexpr int kTabbedPages = 4;

// Control identifiers of the main window.
enum MainControlId : int {
  idBtnOk = IDOK,
  idBtnCancel = IDCANCEL,
  idBtnApply = 1000,
  idPcMain,
  idElTFTPRoot,
  idSeTFTPPort,
  idSeTimeout,
  idSeRetries,
  idCbHighPriority,
  idCbAllowOverwrite,
  idElGroupBox2,
  idCbOpTimeout,
  idCbOpBlocksize,
  idCbOpTSize,
  idCbDefaultAccess,
  idTsgHosts,
  idSbAdd,
  idSbEdit,
  idSbDelete,
  idCbFWEnabled,
  idSeFWMinPort,
  idSeFWMaxPort,
  idElGroupBox1,
  idCbWriteLog,
  idElLogDir,
  idElLogCount,
  idCbLoggingLevel,
  idRgTimestamps,
  idRbUtcTimestamps,
  idRbLocalTimestamps,
  idLabelFirst = 1100,  // labels count up from here
};

inline constexpr char kServiceName[] = "OstrelTFTPd";
inline constexpr char kRestartSucceeded[] = "The service was restarted succesfully.";
inline constexpr char kDiscardQuestion[] = "Are you sure you want to discard all changes and exit?";
inline constexpr char kDeleteRuleQuestion[] = "Are you sure to delete rule?";

class TfrmMain {
 public:
  // What the window works with; tests replace the message boxes and may replace
  // the restart and the directory check.
  struct Dependencies {
    IRegistry* registry = nullptr;
    const IAnsiCodec* codec = nullptr;
    MessageBoxes* dialogs = nullptr;
    // Restarts the service on the local computer; true when it runs again. It
    // shows its own messages for every failure.
    std::function<bool()> restartService;
    std::function<bool(const std::string&)> directoryExists;
    // Folder of the program, with its trailing separator; the help file lies there.
    std::string programDirectory;
    // Opens a help topic ("<file>::/<topic>"); F1 does nothing without it.
    std::function<void(const std::string& topicAddress)> showHelp;
  };

  // Creates the window; its creation runs FormCreate. The window is then shown,
  // centred on the screen, also when FormCreate ended with an error.
  static std::unique_ptr<TfrmMain> Create(HINSTANCE instance, Dependencies deps);
  TfrmMain(const TfrmMain&) = delete;
  TfrmMain& operator=(const TfrmMain&) = delete;
  ~TfrmMain();

  HWND Handle() const { return hwnd_; }
  // The rule dialog used by Add and Edit (created after the window).
  void SetRuleDialog(TdlgIPEdit* dialog) { ruleDialog_ = dialog; }

  // Keyboard handling that the message loop applies before dispatching:
  // Ctrl+Tab between pages, Alt+letter for push buttons, and the dialog keys
  // (Tab, Enter, Esc). True when the message was handled.
  bool PreTranslateMessage(MSG& msg);

  // Event handlers, named after the control and event they serve.
  void FormCreate();
  bool FormClose();  // true when the window may close
  void FormDestroy();
  void elTFTPRootChange();
  void cbAllowOverwriteClick();
  void rgTimestampsClick();
  void cbWriteLogClick();
  void cbFWEnabledClick();
  void btnOkClick();
  void btnApplyClick();
  void btnCancelClick();
  void sbAddClick();
  void sbEditClick();
  void sbDeleteClick();
  void tsgHostsKeyDown(UINT vk);
  void tsgHostsDblClick();
  void tsgHostsAfterSelectionChange();
  void tsgHostsItemDeletion();

  // The rule grid and its text encoding.
  void LoadHosts(const std::string& text);
  std::string SaveHosts() const;
  bool ValidateSettings();
  void UpdateRuleButtons();

  // State, for the program and its tests.
  bool Modified() const { return modified_; }
  bool RestartInProgress() const { return restarting_; }
  int ActivePage() const { return activePage_; }
  const std::string& HelpFile() const { return helpFile_; }
  ServiceSettings SettingsFromControls() const;
  void ShowSettings(const ServiceSettings& settings);
  void ShowPage(int index);
  UINT Dpi() const { return dpi_; }

  struct HostRow {
    AccessRule rule;
    std::wstring addressText;  // first column
    std::wstring rightText;    // second column
  };
  const std::vector<HostRow>& HostRows() const { return rows_; }
  int SelectedRow() const;

  // Controls, named as on the form.
  HWND pcMain = nullptr;
  std::array<HWND, kPageCount> pages{};
  TElFolderNameEdit* elTFTPRoot = nullptr;
  TElSpinEdit* seTFTPPort = nullptr;
  TElSpinEdit* seTimeout = nullptr;
  TElSpinEdit* seRetries = nullptr;
  HWND cbHighPriority = nullptr;
  HWND cbAllowOverwrite = nullptr;
  HWND ElGroupBox2 = nullptr;
  HWND cbOpTimeout = nullptr;
  HWND cbOpBlocksize = nullptr;
  HWND cbOpTSize = nullptr;
  HWND cbDefaultAccess = nullptr;
  HWND tsgHosts = nullptr;
  HWND sbAdd = nullptr;
  HWND sbEdit = nullptr;
  HWND sbDelete = nullptr;
  HWND cbFWEnabled = nullptr;
  TElSpinEdit* seFWMinPort = nullptr;
  TElSpinEdit* seFWMaxPort = nullptr;
  HWND ElGroupBox1 = nullptr;
  HWND cbWriteLog = nullptr;
  TElFolderNameEdit* elLogDir = nullptr;
  TElSpinEdit* elLogCount = nullptr;
  HWND cbLoggingLevel = nullptr;
  HWND rgTimestamps = nullptr;  // the group frame
  std::array<HWND, 2> rgTimestampsItems{};
  HWND btnOk = nullptr;
  HWND btnCancel = nullptr;
  HWND btnApply = nullptr;

 private:
  explicit TfrmMain(Dependencies deps);

  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static INT_PTR CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  void OnCommand(int id, int code);
  LRESULT OnNotify(const NMHDR& header);
  void CreateControls();
  void NameControls();
  // Sizes the window, the page control and the pages for the current DPI; with
  // placeControls also every control and the grid's columns.
  void ApplyLayout(bool placeControls);
  void OnDpiChanged(UINT dpi, const RECT* suggested);

  // Runs an event handler; an error that leaves it is shown in the
  // application's error box and ends only that handler.
  void Guard(const std::function<void()>& handler);
  void Close();
  void SetModified(bool modified);
  void SetFieldLocked(HWND field, bool locked);
  void SaveWindowSettings();
  bool RestartTheService();
  void FailCheck(const std::string& message, int page, HWND edit, bool selectAll);
  bool FocusInPages() const;
  void CyclePage(bool forward);
  bool ClickMnemonic(wchar_t ch);
  int TimestampIndex() const;
  HostRow RowFromRuleDialog() const;
  void SetTimestampIndex(int index);

  // Creation helpers; each records the control's design rectangle so that a
  // change of DPI lays the window out again.
  // A label of one line, unless wraps: then its text wraps inside its rectangle.
  HWND AddLabel(int page, const wchar_t* text, DesignRect r, DesignRect origin = {},
                bool wraps = false);
  HWND AddCheck(int page, int id, const wchar_t* text, DesignRect r, bool checked,
                DesignRect origin = {});
  HWND AddGroup(int page, int id, const wchar_t* text, DesignRect r);
  HWND AddCombo(int page, int id, DesignRect r, const std::vector<std::wstring>& items,
                int selected, DesignRect origin = {});
  HWND AddPushButton(HWND parent, int id, const wchar_t* text, DesignRect r, DWORD extraStyle = 0);
  TElSpinEdit* AddSpin(int page, int id, DesignRect r, IntRange range, int32_t value,
                       DesignRect origin = {});
  TElFolderNameEdit* AddFolder(int page, int id, DesignRect r, DesignRect origin = {});
  // How a control with a caption makes room for it when its font needs more
  // than the design size gives at this DPI: a one-line label, check box or
  // radio button widens; a label wrapped over lines grows downwards.
  enum class Fit { None, Width, Height };
  void Remember(HWND hwnd, DesignRect r, Fit fit = Fit::None);
  void FitCaptions();

  struct LayoutItem {
    HWND hwnd = nullptr;
    DesignRect rect;
    Fit fit = Fit::None;
  };

  Dependencies deps_;
  HWND hwnd_ = nullptr;
  TdlgIPEdit* ruleDialog_ = nullptr;
  UINT dpi_ = 96;
  UniqueFont font_;
  std::vector<LayoutItem> layout_;
  std::vector<HostRow> rows_;
  bool modified_ = false;
  bool restarting_ = false;
  int activePage_ = kPageBasic;
  int timestampIndex_ = 0;  // the radio item selected last, to see real changes
  int labelCount_ = 0;
  std::string helpFile_;
};

}  // namespace tftpcfg
