#include "ui/main_window.h"

#include <commctrl.h>

#include <array>
#include <optional>

#include "config/settings_checks.h"
#include "controls/folder_field.h"
#include "controls/number_field.h"
#include "platform/win32/dpi.h"
#include "platform/win32/win_text.h"
#include "toolkit/layout.h"
#include "ui/main_window_tables.h"
#include "ui/res/resource_ids.h"

namespace tftpcfg {
namespace {

// The busy cursor and the closed door to the user's commands while the
// service restarts, both ended on every path.
class RestartScope {
 public:
  explicit RestartScope(bool& flag) : flag_(flag) {
    flag_ = true;
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  }
  RestartScope(const RestartScope&) = delete;
  RestartScope& operator=(const RestartScope&) = delete;
  ~RestartScope() { End(); }
  void End() {
    if (!flag_) return;
    flag_ = false;
    POINT pt;
    GetCursorPos(&pt);
    SetCursorPos(pt.x, pt.y);  // lets the window under the pointer set its own cursor again
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  }

 private:
  bool& flag_;
};

}  // namespace

MainWindow::MainWindow(Dependencies deps)
    : deps_(std::move(deps)),
      rules_({.messageBoxes = deps_.messageBoxes,
              .existing = [this](int id) { return pages_.Existing(id); },
              .changed =
                  [this](bool rulesChanged) {
                    if (rulesChanged)
                      MarkEdited(IDC_RULES);
                    else
                      SetModified(true);
                  }}),
      form_(pages_, rules_.Grid()) {}

std::unique_ptr<MainWindow> MainWindow::Create(HINSTANCE instance, Dependencies deps) {
  std::unique_ptr<MainWindow> self(new MainWindow(std::move(deps)));
  const DialogTemplate tpl(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
                           WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, Widen(kApplicationTitle));
  self->DialogWindow::Create(instance, tpl, nullptr, "The main window");
  const HWND hwnd = self->Handle();
  CentreOnScreen(hwnd);
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
  // The first control in tab order has the focus when the window opens.
  SendMessageW(hwnd, WM_NEXTDLGCTL,
               reinterpret_cast<WPARAM>(FolderField(self->pages_.Existing(IDC_TFTP_ROOT)).Edit()),
               TRUE);
  return self;
}

// --- dispatch -----------------------------------------------------------------

bool MainWindow::WaitsForRestart(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CLOSE:
      return true;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
        case IDC_APPLY:
        case IDC_ADD_RULE:
        case IDC_EDIT_RULE:
        case IDC_DELETE_RULE:
          return true;
        default:
          return false;
      }
    case WM_NOTIFY:
      return lParam != 0 &&
             reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(NM_DBLCLK);
    default:
      return false;
  }
}

INT_PTR MainWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (restarting_ && WaitsForRestart(msg, wParam, lParam)) return TRUE;
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_NOTIFY: {
      // Any process of the same user can send this one: no header, no reading.
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header == nullptr) return FALSE;
      if (header->hwndFrom == pages_.Tabs() && header->code == static_cast<UINT>(TCN_SELCHANGE))
        pages_.Show(static_cast<int>(SendMessageW(pages_.Tabs(), TCM_GETCURSEL, 0, 0)));
      else
        rules_.OnNotify(*header);
      return Result(0);
    }
    case WM_CLOSE:
      // Every way of closing (Cancel, Esc, the close box, Alt+F4, OK) comes here.
      if (ConfirmClose()) DestroyWindow(Handle());
      return TRUE;
    case WM_DESTROY:
      PostQuitMessage(0);
      return TRUE;
    case WM_HELP:
      ShowHelp();
      return Result(TRUE);
    case WM_SETCURSOR:
      if (!restarting_) return FALSE;
      SetCursor(LoadCursorW(nullptr, IDC_WAIT));
      return Result(TRUE);
    default:
      return FALSE;
  }
}

void MainWindow::OnError(const std::exception& error) {
  // Through the window's message boxes, which tests script.
  deps_.messageBoxes->ApplicationError(Handle(), error.what());
}

// --- creation and layout ----------------------------------------------------

void MainWindow::OnCreate() {
  rules_.SetWindow(Handle());
  SetIcons();
  pages_.Create(Handle(), {Dpi(), Font(), deps_.folderBrowser, 0},
                [this](int page) { OnPageBuilt(page); });
  SendMessageW(Handle(), DM_SETDEFID, IDOK, 0);
  Place({0, 0}, Layout());
  // Only the front page is built now; the others when first brought to the
  // front.
  pages_.Show(kPageBasic);
  LoadStoredSettings();
}

// The program's icon, in the sizes of the title bar and of Alt+Tab at the
// window's DPI (shared resources: the system keeps them).
void MainWindow::SetIcons() {
  for (const auto& [which, cx, cy] : {std::array{ICON_BIG, SM_CXICON, SM_CYICON},
                                      std::array{ICON_SMALL, SM_CXSMICON, SM_CYSMICON}})
    SendMessageW(Handle(), WM_SETICON, which,
                 reinterpret_cast<LPARAM>(LoadImageW(
                     GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                     SystemMetricForDpi(cx, Dpi()), SystemMetricForDpi(cy, Dpi()), LR_SHARED)));
}

void MainWindow::OnDpiChanged() {
  SetIcons();
}

// The client area with its inner margin; the pages and the strip inside it.
SIZE MainWindow::Layout() {
  pages_.Layout(Dpi(), Font());
  return SIZE{Scale(kMainClientWidth + 2 * kMainMargin, Dpi()),
              Scale(kMainClientHeight + 2 * kMainMargin, Dpi())};
}

// A page built later shows the settings the window holds for it, locked as
// the rules say, without marking a change.
void MainWindow::OnPageBuilt(int page) {
  if (page == kPageSecurity) rules_.Attach(pages_.Existing(IDC_RULES));
  form_.ShowPage(page);
}

// --- settings ---------------------------------------------------------------

void MainWindow::LoadStoredSettings() {
  ServiceSettings settings = InitialSettings();
  std::string failure;
  try {
    const LoadOutcome outcome = LoadSettings(*deps_.registry, *deps_.codec, settings);
    unread_ = outcome.unread;
    failure = outcome.Message();
  } catch (const std::exception& e) {
    // The key exists but cannot be read (or the load failed part way): the
    // window shows what it has, and a save writes only what the user changes,
    // so nothing stored is overwritten with a value nobody chose.
    unread_.set();
    failure = e.what();
  }
  ShowSettings(settings);
  form_.ApplyLock(IDC_WRITE_LOG);
  form_.ApplyLock(IDC_FIREWALL);
  SetModified(false);
  pages_.Show(kPageBasic);
  helpFile_ = deps_.programDirectory + "tftpserv.chm";
  // Every value that could not be read, one per line, once the window is ready.
  if (!failure.empty()) deps_.messageBoxes->ApplicationError(Handle(), failure);
}

void MainWindow::ShowSettings(const ServiceSettings& settings) {
  rules_.Load(settings.HostList);
  form_.Show(settings);
}

// --- commands -----------------------------------------------------------------

void MainWindow::OnCommand(int id, int code) {
  switch (id) {
    case IDOK:
      OnOk();
      return;
    case IDCANCEL:
      Close();
      return;
    case IDC_APPLY:
      OnApply();
      return;
    case IDC_ADD_RULE:
      rules_.Add();
      return;
    case IDC_EDIT_RULE:
      rules_.Edit();
      return;
    case IDC_DELETE_RULE:
      rules_.Delete();
      return;
    case IDC_WRITE_LOG:
    case IDC_FIREWALL:
      if (code != BN_CLICKED) return;
      form_.ApplyLock(id);
      MarkEdited(id);
      return;
    case IDC_UTC_TIMESTAMPS:
    case IDC_LOCAL_TIMESTAMPS:
      // A click that selects the other item; clicking the selected one changes nothing.
      if (code == BN_CLICKED && form_.TimestampsChanged()) MarkEdited(IDC_UTC_TIMESTAMPS);
      return;
    default:
      break;
  }
  // The user's edits of the other controls only mark the window changed.
  const ControlRow* row = PageSet::RowOf(id);
  if (!row) return;
  switch (row->kind) {
    case ControlKind::NumberField:
    case ControlKind::FolderField:
      if (code == FN_CHANGE) MarkEdited(id);
      break;
    case ControlKind::DropDownList:
      if (code == CBN_SELCHANGE) MarkEdited(id);
      break;
    case ControlKind::CheckBox:
      if (code == BN_CLICKED) MarkEdited(id);
      break;
    default:
      break;
  }
}

void MainWindow::MarkEdited(int id) {
  // The value is the user's choice now: a save writes it, also when the load
  // could not read what was stored.
  const std::span<const SettingBinding> bindings = SettingBindings();
  for (size_t i = 0; i < bindings.size(); ++i)
    if (bindings[i].controlId == id) unread_.reset(i);
  SetModified(true);
}

void MainWindow::SetModified(bool modified) {
  modified_ = modified;
  EnableWindow(pages_.Existing(IDC_APPLY), modified ? TRUE : FALSE);
}

void MainWindow::Close() {
  SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

bool MainWindow::ConfirmClose() {
  if (!modified_) return true;
  return deps_.messageBoxes->Confirm(Handle(), kDiscardQuestion);
}

void MainWindow::SaveWindowSettings() {
  // What the load could not read and the user did not change stays as stored.
  SaveSettings(*deps_.registry, *deps_.codec, form_.Read(), unread_);
}

void MainWindow::RestartService() {
  RestartScope scope(restarting_);
  const bool restarted = deps_.restartService ? deps_.restartService() : false;
  scope.End();
  if (restarted) deps_.messageBoxes->Information(Handle(), kRestartSucceeded);
}

void MainWindow::OnOk() {
  if (!modified_) {
    SetModified(false);
    Close();
    return;
  }
  if (!ValidateSettings()) return;
  switch (deps_.messageBoxes->AskRestart(Handle())) {
    case RestartAnswer::Yes:
      SaveWindowSettings();  // an error here ends OK: nothing restarted, still changed
      RestartService();
      SetModified(false);
      Close();
      break;
    case RestartAnswer::No:
      SaveWindowSettings();
      SetModified(false);
      Close();
      break;
    case RestartAnswer::Cancel:
      break;
  }
}

void MainWindow::OnApply() {
  if (!modified_) return;
  if (!ValidateSettings()) return;
  switch (deps_.messageBoxes->AskRestart(Handle())) {
    case RestartAnswer::Yes:
      SaveWindowSettings();
      SetModified(false);
      RestartService();
      break;
    case RestartAnswer::No:
      SaveWindowSettings();
      SetModified(false);
      break;
    case RestartAnswer::Cancel:
      break;
  }
}

void MainWindow::ShowHelp() {
  // Every help request that reaches the window opens the same topic; which
  // window asked is not looked at. F1 in the restart question, a system box
  // owned by the window, arrives here too; the rule dialog and the program's
  // message dialogs keep their requests to themselves.
  if (deps_.showHelp) deps_.showHelp(helpFile_ + "::/configuration.htm");
}

// --- the checks before saving ---------------------------------------------------

void MainWindow::FailCheck(const std::string& message, int page, int field, bool selectAll) {
  deps_.messageBoxes->Error(Handle(), message);
  pages_.Show(page);  // builds the page if it was not
  const HWND edit = reinterpret_cast<HWND>(SendMessageW(pages_.Existing(field), FM_GETEDIT, 0, 0));
  SetFocus(edit);
  if (selectAll) {
    SendMessageW(edit, EM_SETSEL, 0, -1);
  } else {
    const auto end = static_cast<WPARAM>(GetWindowTextLengthW(edit));
    SendMessageW(edit, EM_SETSEL, end, static_cast<LPARAM>(end));
  }
}

bool MainWindow::ValidateSettings() {
  // The checks look at the port's text and at what the other fields show,
  // built or not.
  const ServiceSettings shown = form_.Read();
  SettingsCheckInput input;
  input.rootDirectory = shown.TFTPRoot;
  input.portText = NumberField(pages_.Existing(IDC_TFTP_PORT)).Text();
  input.firewallEnabled = shown.FWEnabled;
  input.firewallMinPort = shown.FWMinPort;
  input.firewallMaxPort = shown.FWMaxPort;
  input.loggingEnabled = shown.WriteLog;
  input.logDirectory = shown.LogDirectory;
  const std::optional<CheckFailure> failure = CheckSettings(input, deps_.directoryExists);
  if (!failure) return true;
  switch (failure->field) {
    case CheckedField::RootDirectory:
      FailCheck(failure->message, kPageBasic, IDC_TFTP_ROOT, true);
      break;
    case CheckedField::Port:
      FailCheck(failure->message, kPageBasic, IDC_TFTP_PORT, true);
      break;
    case CheckedField::FirewallRange:
      FailCheck(failure->message, kPageFirewall, IDC_FIREWALL_MIN_PORT, false);
      break;
    case CheckedField::LogDirectory:
      FailCheck(failure->message, kPageLogging, IDC_LOG_DIRECTORY, true);
      break;
  }
  return false;
}

// --- keyboard -------------------------------------------------------------------

bool MainWindow::PreTranslateMessage(MSG& msg) {
  const HWND hwnd = Handle();
  if (!hwnd || !IsWindow(hwnd)) return false;
  if (msg.hwnd != hwnd && !IsChild(hwnd, msg.hwnd)) return false;
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && GetKeyState(VK_CONTROL) < 0 &&
      pages_.HasFocus()) {
    pages_.ShowNext(GetKeyState(VK_SHIFT) >= 0);
    return true;
  }
  if (msg.message == WM_SYSCHAR) {
    // Alt+letter clicks the push button that the letter names.
    if (const HWND button = pages_.ButtonForMnemonic(static_cast<wchar_t>(msg.wParam))) {
      SendMessageW(hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(button), TRUE);
      SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                   reinterpret_cast<LPARAM>(button));
      return true;
    }
  }
  return IsDialogMessageW(hwnd, &msg) != FALSE;
}

}  // namespace tftpcfg
