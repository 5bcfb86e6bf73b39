#include "ui/main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <tuple>

#include "config/access_rights.h"
#include "config/settings_checks.h"
#include "config/settings_store.h"
#include "controls/folder_field.h"
#include "controls/number_field.h"
#include "platform/win32/system_api.h"
#include "platform/win32/win_text.h"
#include "ui/layout.h"
#include "ui/res/resource_ids.h"
#include "ui/rule_dialog.h"

namespace tftpcfg {
namespace {

constexpr UINT_PTR kGridSubclass = 0x7467;
constexpr int kFirstPageId = 900;

bool Checked(HWND button) {
  return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
void SetChecked(HWND button, bool on) {
  SendMessageW(button, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}
int ListIndex(HWND list) {
  return static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
}
void SetListIndex(HWND list, int index) {
  SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

wchar_t LowerChar(wchar_t ch) {
  CharLowerBuffW(&ch, 1);
  return ch;
}

// Insert and Delete in the rule grid run Add and Delete, with any modifier
// held, and are consumed so the grid does nothing else with them. They take
// the road of the buttons' clicks, through the window's dispatch.
LRESULT CALLBACK RuleGridKeysProc(HWND grid, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                  DWORD_PTR) {
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(grid, &RuleGridKeysProc, id);
  const bool ruleKey =
      (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) && (wParam == VK_INSERT || wParam == VK_DELETE);
  if (!ruleKey) return DefSubclassProc(grid, msg, wParam, lParam);
  const int command = wParam == VK_INSERT ? IDC_ADD_RULE : IDC_DELETE_RULE;
  SendMessageW(GetAncestor(grid, GA_ROOT), WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
  return 0;
}

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

MainWindow::MainWindow(Dependencies deps) : deps_(std::move(deps)) {}

MainWindow::~MainWindow() {
  if (hwnd_ && IsWindow(hwnd_)) {
    SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
    DestroyWindow(hwnd_);
  }
}

std::unique_ptr<MainWindow> MainWindow::Create(HINSTANCE instance, Dependencies deps) {
  std::unique_ptr<MainWindow> self(new MainWindow(std::move(deps)));
  const DialogTemplate tpl(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
                           WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, Widen(kApplicationTitle));
  const HWND hwnd = CreateDialogIndirectParamW(
      instance, tpl.get(), nullptr, &MainWindow::DialogProc, reinterpret_cast<LPARAM>(self.get()));
  if (!hwnd) throw ControlCreationError("The main window could not be created.");
  if (!self->creationError_.empty()) throw ControlCreationError(self->creationError_);
  CentreOnScreen(hwnd);
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
  // The first control in tab order has the focus when the window opens.
  SendMessageW(hwnd, WM_NEXTDLGCTL,
               reinterpret_cast<WPARAM>(FolderField(self->Existing(IDC_TFTP_ROOT)).Edit()), TRUE);
  return self;
}

// --- dispatch -----------------------------------------------------------------

INT_PTR CALLBACK MainWindow::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    reinterpret_cast<MainWindow*>(lParam)->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (!self) return FALSE;
  try {
    return self->HandleMessage(msg, wParam, lParam);
  } catch (const std::exception& e) {
    // An error ends what the window was doing and is shown; the window goes on.
    self->deps_.messageBoxes->ApplicationError(hwnd, e.what());
    return FALSE;
  }
}

// The pages are child dialogs; what their controls report goes to the window.
INT_PTR CALLBACK MainWindow::PageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  // The page only passes messages on; the window's own dispatch catches what
  // its handlers raise.
  switch (msg) {
    case WM_INITDIALOG:
      uxtheme::EnableThemeDialogTexture(hwnd, ETDT_ENABLETAB);
      return FALSE;
    case WM_COMMAND:
      SendMessageW(GetParent(hwnd), WM_COMMAND, wParam, lParam);
      return TRUE;
    case WM_NOTIFY:
      SetWindowLongPtrW(hwnd, DWLP_MSGRESULT,
                        SendMessageW(GetParent(hwnd), WM_NOTIFY, wParam, lParam));
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR MainWindow::Result(LRESULT result) {
  SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
  return TRUE;
}

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
      return reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(NM_DBLCLK);
    default:
      return false;
  }
}

INT_PTR MainWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (restarting_ && WaitsForRestart(msg, wParam, lParam)) return TRUE;
  switch (msg) {
    case WM_INITDIALOG:
      try {
        BuildWindow();
      } catch (const ControlCreationError& e) {
        creationError_ = e.what();
        return FALSE;
      }
      LoadStoredSettings();
      return FALSE;  // the focus is placed once the window is shown
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_NOTIFY:
      return Result(OnNotify(*reinterpret_cast<const NMHDR*>(lParam)));
    case WM_CLOSE:
      // Every way of closing (Cancel, Esc, the close box, Alt+F4, OK) comes here.
      if (ConfirmClose()) DestroyWindow(hwnd_);
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
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return TRUE;
    default:
      return FALSE;
  }
}

// --- creation and layout ----------------------------------------------------

void MainWindow::BuildWindow() {
  dpi_ = WindowDpi(hwnd_);
  font_ = CreateUiFont(dpi_);
  // The program's icon, in the sizes of the title bar and of Alt+Tab (shared
  // resources: the system keeps them).
  for (const auto& [which, cx, cy] : {std::tuple{ICON_BIG, SM_CXICON, SM_CYICON},
                                      std::tuple{ICON_SMALL, SM_CXSMICON, SM_CYSMICON}})
    SendMessageW(hwnd_, WM_SETICON, which,
                 reinterpret_cast<LPARAM>(
                     LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                GetSystemMetrics(cx), GetSystemMetrics(cy), LR_SHARED)));
  // The page control: one tab per page that has one; it never takes the focus.
  tabs_ = CreateWindowExW(0, WC_TABCONTROLW, L"",
                          WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_TABS | TCS_FOCUSNEVER, 0, 0,
                          0, 0, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PAGES)),
                          GetModuleHandleW(nullptr), nullptr);
  if (!tabs_)
    throw ControlCreationError("The control 'pcMain' of the window could not be created.");
  SendMessageW(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  int tab = 0;
  for (const PageTable& page : MainWindowPages()) {
    if (!page.caption) continue;
    const std::wstring caption = Widen(page.caption);
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(caption.c_str());
    SendMessageW(tabs_, TCM_INSERTITEMW, static_cast<WPARAM>(tab++),
                 reinterpret_cast<LPARAM>(&item));
  }
  strip_.Create(hwnd_, ButtonStripTable(), {dpi_, font_.get(), deps_.folderBrowser, 0},
                kButtonStripOrigin);
  SendMessageW(hwnd_, DM_SETDEFID, IDOK, 0);
  // The tab row lies under the pages, so that it never paints over them.
  SetWindowPos(tabs_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  LayoutWindow();
  // Only the front page is built now; the others when first brought to the
  // front (the Multicasts page, which never is, never).
  ShowPage(kPageBasic);
}

void MainWindow::BuildPage(int index) {
  const PageTable& table = MainWindowPages()[static_cast<size_t>(index)];
  const DialogTemplate pageTemplate(WS_CHILD | DS_CONTROL | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT,
                                    L"");
  HWND& page = pages_[static_cast<size_t>(index)];
  page = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), pageTemplate.get(), hwnd_,
                                    &MainWindow::PageProc, 0);
  if (!page)
    throw ControlCreationError(std::string("The page '") + table.name +
                               "' of the window could not be created.");
  SetWindowLongPtrW(page, GWLP_ID, kFirstPageId + index);
  // Above the button strip, so that Tab visits the page's controls first.
  SetWindowPos(page, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageW(page, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  LayoutPage(index);
  int firstLabelId = IDC_FIRST_LABEL;
  for (int i = 0; i < index; ++i)
    firstLabelId += static_cast<int>(MainWindowPages()[static_cast<size_t>(i)].controls.size());
  pageControls_[static_cast<size_t>(index)].Create(
      page, table.controls, {dpi_, font_.get(), deps_.folderBrowser, firstLabelId});
  built_[static_cast<size_t>(index)] = true;
  if (index == kPageSecurity) {
    const HWND grid = Existing(IDC_RULES);
    SetWindowSubclass(grid, &RuleGridKeysProc, kGridSubclass, 0);
    rules_.Attach(grid);
  }
  // The rules are in the grid already; the other values show now.
  for (const SettingBinding& binding : SettingBindings())
    if (PageOf(binding.controlId) == index && binding.conversion != Conversion::RuleList)
      ShowSetting(binding, shown_);
  if (index == kPageLogging && loggingRuleRan_) ApplyLoggingLock();
  if (index == kPageFirewall && firewallRuleRan_) ApplyFirewallLock();
}

int MainWindow::PageOf(int id) {
  const std::span<const PageTable> pages = MainWindowPages();
  for (size_t page = 0; page < pages.size(); ++page)
    for (const ControlRow& row : pages[page].controls)
      if (row.id == id) return static_cast<int>(page);
  return -1;
}

const ControlRow* MainWindow::RowOf(int id) {
  for (const PageTable& page : MainWindowPages())
    for (const ControlRow& row : page.controls)
      if (row.id == id) return &row;
  return nullptr;
}

const SettingBinding* MainWindow::BindingOf(int id) {
  for (const SettingBinding& binding : SettingBindings())
    if (binding.controlId == id) return &binding;
  return nullptr;
}

void MainWindow::LayoutWindow() {
  // Window size: the client area with its inner margin, at the window's DPI.
  RECT frame{0, 0, Scale(kMainClientWidth + 2 * kMainMargin, dpi_),
             Scale(kMainClientHeight + 2 * kMainMargin, dpi_)};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
  SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  const RECT tab = ScaleRect(kPageControlRect, dpi_);
  SetWindowPos(tabs_, nullptr, tab.left, tab.top, tab.right - tab.left, tab.bottom - tab.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  for (int i = 0; i < kPageCount; ++i) LayoutPage(i);
}

// A page fills the page control's display area.
void MainWindow::LayoutPage(int index) {
  const HWND page = pages_[static_cast<size_t>(index)];
  if (!page) return;
  RECT display = ScaleRect(kPageControlRect, dpi_);
  SendMessageW(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  SetWindowPos(page, nullptr, display.left, display.top, display.right - display.left,
               display.bottom - display.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::OnDpiChanged(UINT dpi, const RECT* suggested) {
  if (dpi == 0 || dpi == dpi_) return;
  dpi_ = dpi;
  // The controls switch to the new font before the old one is deleted.
  UniqueFont font = CreateUiFont(dpi_);
  SetFontRecursive(hwnd_, font.get());
  font_ = std::move(font);
  LayoutWindow();
  for (const ControlTable& page : pageControls_) page.Layout(dpi_);  // the built ones
  strip_.Layout(dpi_);
  if (suggested)
    SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

HWND MainWindow::Existing(int id) const {
  if (id == IDC_PAGES) return tabs_;
  if (const HWND hwnd = strip_.Find(id)) return hwnd;
  for (const ControlTable& page : pageControls_)
    if (const HWND hwnd = page.Find(id)) return hwnd;
  return nullptr;
}

HWND MainWindow::Control(int id) {
  const int page = PageOf(id);
  if (page >= 0 && page < kTabbedPages && !built_[static_cast<size_t>(page)]) BuildPage(page);
  return Existing(id);
}

HWND MainWindow::Page(int index) {
  if (index >= 0 && index < kTabbedPages && !built_[static_cast<size_t>(index)]) BuildPage(index);
  return pages_.at(static_cast<size_t>(index));
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
  ApplyLoggingLock();
  ApplyFirewallLock();
  SetModified(false);
  ShowPage(kPageBasic);
  helpFile_ = deps_.programDirectory + "tftpserv.chm";
  // Every value that could not be read, one per line, once the window is ready.
  if (!failure.empty()) deps_.messageBoxes->ApplicationError(hwnd_, failure);
}

void MainWindow::ShowSettings(const ServiceSettings& settings) {
  shown_ = settings;
  for (const SettingBinding& binding : SettingBindings()) ShowSetting(binding, settings);
}

ServiceSettings MainWindow::SettingsFromControls() const {
  ServiceSettings settings;
  for (const SettingBinding& binding : SettingBindings()) ReadSetting(binding, settings);
  return settings;
}

void MainWindow::ShowSetting(const SettingBinding& b, const ServiceSettings& s) {
  const HWND control = Existing(b.controlId);
  // The rules are the window's own, its list view or not; the other values
  // wait in shown_ until their page is built.
  if (b.conversion == Conversion::RuleList) LoadHosts(s.*b.text);
  if (!control) return;
  switch (b.conversion) {
    case Conversion::Text:
      FolderField(control).SetText(s.*b.text);
      break;
    case Conversion::Number:
      NumberField(control).SetValue(s.*b.number);
      break;
    case Conversion::Check:
      SetChecked(control, s.*b.flag);
      break;
    case Conversion::ListIndex:
      SetListIndex(control, s.*b.number);
      break;
    case Conversion::RadioIndex:
      SetTimestampIndex(s.*b.flag ? 1 : 0);
      break;
    case Conversion::RuleList:
      break;
  }
}

void MainWindow::ReadSetting(const SettingBinding& b, ServiceSettings& s) const {
  const HWND control = Existing(b.controlId);
  if (!control && b.conversion != Conversion::RuleList) {
    // What the control will show once its page is built.
    if (b.text) s.*b.text = shown_.*b.text;
    if (b.flag) s.*b.flag = shown_.*b.flag;
    if (b.number) {
      const ControlRow& row = *RowOf(b.controlId);
      const int32_t v = shown_.*b.number;
      if (b.conversion == Conversion::Number)
        s.*b.number = std::clamp(v, row.range.min, row.range.max);
      else  // a list shows no item for an index it does not have
        s.*b.number = v >= -1 && v < static_cast<int32_t>(row.items.size()) ? v : -1;
    }
    return;
  }
  switch (b.conversion) {
    case Conversion::Text:
      s.*b.text = FolderField(control).Text();
      break;
    case Conversion::Number:
      s.*b.number = NumberField(control).Value();
      break;
    case Conversion::Check:
      s.*b.flag = Checked(control);
      break;
    case Conversion::ListIndex:
      s.*b.number = ListIndex(control);
      break;
    case Conversion::RadioIndex:
      s.*b.flag = TimestampIndex() != 0;
      break;
    case Conversion::RuleList:
      s.*b.text = rules_.HostListText();
      break;
  }
}

bool MainWindow::IsChecked(int id) const {
  ServiceSettings settings;
  const SettingBinding& binding = *BindingOf(id);
  ReadSetting(binding, settings);
  return settings.*binding.flag;
}

int MainWindow::TimestampIndex() const {
  if (!Existing(IDC_UTC_TIMESTAMPS)) return shown_.LocalTime ? 1 : 0;
  if (Checked(Existing(IDC_LOCAL_TIMESTAMPS))) return 1;
  return Checked(Existing(IDC_UTC_TIMESTAMPS)) ? 0 : -1;
}

void MainWindow::SetTimestampIndex(int index) {
  SetChecked(Existing(IDC_UTC_TIMESTAMPS), index == 0);
  SetChecked(Existing(IDC_LOCAL_TIMESTAMPS), index == 1);
  timestampIndex_ = index;
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
      AddRule();
      return;
    case IDC_EDIT_RULE:
      EditRule();
      return;
    case IDC_DELETE_RULE:
      DeleteRule();
      return;
    case IDC_WRITE_LOG:
      if (code != BN_CLICKED) return;
      ApplyLoggingLock();
      MarkEdited(id);
      return;
    case IDC_FIREWALL:
      if (code != BN_CLICKED) return;
      ApplyFirewallLock();
      MarkEdited(id);
      return;
    case IDC_UTC_TIMESTAMPS:
    case IDC_LOCAL_TIMESTAMPS:
      // A click that selects the other item; clicking the selected one changes nothing.
      if (code != BN_CLICKED || TimestampIndex() == timestampIndex_) return;
      timestampIndex_ = TimestampIndex();
      MarkEdited(IDC_UTC_TIMESTAMPS);
      return;
    default:
      break;
  }
  // The user's edits of the other controls only mark the window changed.
  const ControlRow* row = RowOf(id);
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

LRESULT MainWindow::OnNotify(const NMHDR& header) {
  if (header.hwndFrom == tabs_ && header.code == static_cast<UINT>(TCN_SELCHANGE)) {
    ShowPage(static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0)));
    return 0;
  }
  if (header.hwndFrom != rules_.ListView()) return 0;
  switch (header.code) {
    case LVN_GETDISPINFOW:
      rules_.FillDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header)));
      return 0;
    case LVN_ITEMCHANGED: {
      const auto& change = *reinterpret_cast<const NMLISTVIEW*>(&header);
      if ((change.uChanged & LVIF_STATE) && ((change.uOldState ^ change.uNewState) & LVIS_SELECTED))
        UpdateRuleButtons();
      return 0;
    }
    case LVN_ODSTATECHANGED:
      UpdateRuleButtons();
      return 0;
    case NM_DBLCLK:
      if (SelectedRow() >= 0) EditRule();
      return 0;
    default:
      return 0;
  }
}

void MainWindow::MarkEdited(int id) {
  // The value is the user's choice now: a save writes it, also when the load
  // could not read what was stored.
  const SettingBinding* binding = BindingOf(id);
  if (binding) unread_.reset(static_cast<size_t>(binding - SettingBindings().data()));
  SetModified(true);
}

void MainWindow::SetModified(bool modified) {
  modified_ = modified;
  EnableWindow(Existing(IDC_APPLY), modified ? TRUE : FALSE);
}

// Locking a field keeps its value, which is still saved: folder fields become
// read-only without their browse button, number fields read-only, lists
// disabled; the first two take the button face's colour while locked.
void MainWindow::SetFieldLocked(int id, bool locked) {
  const HWND control = Existing(id);
  const ControlRow* row = RowOf(id);
  if (!control || !row) return;  // a page not built yet locks it when it is
  const COLORREF color = kFieldSystemColor;
  switch (row->kind) {
    case ControlKind::FolderField: {
      const FolderField field(control);
      field.SetReadOnly(locked);
      field.SetButtonVisible(!locked);
      field.SetColor(color);
      break;
    }
    case ControlKind::NumberField: {
      const NumberField field(control);
      field.SetReadOnly(locked);
      field.SetColor(color);
      break;
    }
    case ControlKind::DropDownList:
      EnableWindow(control, locked ? FALSE : TRUE);
      break;
    default:
      break;
  }
}

void MainWindow::ApplyLoggingLock() {
  loggingRuleRan_ = true;
  const bool on = IsChecked(IDC_WRITE_LOG);
  SetFieldLocked(IDC_LOG_DIRECTORY, !on);
  SetFieldLocked(IDC_LOG_COUNT, !on);
  SetFieldLocked(IDC_LOG_LEVEL, !on);
  for (const int id : {IDC_TIMESTAMPS, IDC_UTC_TIMESTAMPS, IDC_LOCAL_TIMESTAMPS})
    EnableWindow(Existing(id), on ? TRUE : FALSE);
}

void MainWindow::ApplyFirewallLock() {
  firewallRuleRan_ = true;
  const bool on = IsChecked(IDC_FIREWALL);
  SetFieldLocked(IDC_FIREWALL_MIN_PORT, !on);
  SetFieldLocked(IDC_FIREWALL_MAX_PORT, !on);
}

void MainWindow::Close() {
  SendMessageW(hwnd_, WM_CLOSE, 0, 0);
}

bool MainWindow::ConfirmClose() {
  if (!modified_) return true;
  return deps_.messageBoxes->Confirm(hwnd_, kDiscardQuestion);
}

void MainWindow::SaveWindowSettings() {
  // What the load could not read and the user did not change stays as stored.
  SaveSettings(*deps_.registry, *deps_.codec, SettingsFromControls(), unread_);
}

void MainWindow::RestartService() {
  RestartScope scope(restarting_);
  const bool restarted = deps_.restartService ? deps_.restartService() : false;
  scope.End();
  if (restarted) deps_.messageBoxes->Information(hwnd_, kRestartSucceeded);
}

void MainWindow::OnOk() {
  if (!modified_) {
    SetModified(false);
    Close();
    return;
  }
  if (!ValidateSettings()) return;
  switch (deps_.messageBoxes->AskRestart(hwnd_)) {
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
  switch (deps_.messageBoxes->AskRestart(hwnd_)) {
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
  deps_.messageBoxes->Error(hwnd_, message);
  ShowPage(page);  // builds the page if it was not
  const HWND control = Existing(field);
  const HWND edit = reinterpret_cast<HWND>(SendMessageW(control, FM_GETEDIT, 0, 0));
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
  const ServiceSettings shown = SettingsFromControls();
  SettingsCheckInput input;
  input.rootDirectory = shown.TFTPRoot;
  input.portText = NumberField(Existing(IDC_TFTP_PORT)).Text();
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

// --- access rules ---------------------------------------------------------------

void MainWindow::LoadHosts(const std::string& text) {
  const bool hadRows = !rules_.Rows().empty();
  rules_.Load(text);
  if (hadRows) UpdateRuleButtons();  // rows were removed
}

void MainWindow::UpdateRuleButtons() {
  if (GetActiveWindow() != hwnd_) return;
  const BOOL selected = SelectedRow() >= 0 ? TRUE : FALSE;
  EnableWindow(Existing(IDC_EDIT_RULE), selected);
  EnableWindow(Existing(IDC_DELETE_RULE), selected);
}

// A row as the rule dialog holds it: the first column by the dialog's mode, the
// access right's display text, and the rule.
RuleGrid::Row MainWindow::RowFromRuleDialog() const {
  RuleGrid::Row row;
  row.addressText = Widen(ruleDialog_->RowAddressText());
  row.rightText = Widen(AccessCodeToText(AccessLevelToCode(ruleDialog_->AccessIndex())));
  row.rule.Address = ruleDialog_->Address();
  row.rule.Mask = ruleDialog_->Mask();
  row.rule.Right = ruleDialog_->AccessIndex();
  return row;
}

RuleDialog* MainWindow::RuleDialogForUse() {
  if (!ruleDialog_ && makeRuleDialog_) ruleDialog_ = makeRuleDialog_();
  return ruleDialog_;
}

void MainWindow::AddRule() {
  if (!RuleDialogForUse()) return;
  ruleDialog_->SetAccessIndex(kNoAccess);
  if (!ruleDialog_->ShowModal(hwnd_)) return;
  rules_.Append(RowFromRuleDialog());
  MarkEdited(IDC_RULES);
}

void MainWindow::EditRule() {
  if (!RuleDialogForUse()) return;
  const int selected = SelectedRow();
  if (selected < 0) return;
  const AccessRule rule = HostRows()[static_cast<size_t>(selected)].rule;
  // An address or mask that is no address raises here: the dialog does not open.
  ruleDialog_->SetAddress(rule.Address);
  ruleDialog_->SetMask(rule.Mask);
  ruleDialog_->SetAccessIndex(rule.Right);
  ruleDialog_->SelectSingle(rule.Mask == kSingleHostMask);
  if (!ruleDialog_->ShowModal(hwnd_)) return;
  rules_.Replace(selected, RowFromRuleDialog());  // the same rule, updated in place
  MarkEdited(IDC_RULES);
}

void MainWindow::DeleteRule() {
  if (!deps_.messageBoxes->Confirm(hwnd_, kDeleteRuleQuestion)) return;
  const int selected = SelectedRow();
  if (selected >= 0) {
    rules_.Erase(selected);
    UpdateRuleButtons();
    MarkEdited(IDC_RULES);
  } else {
    SetModified(true);
  }
}

// --- pages and keyboard -----------------------------------------------------------

void MainWindow::ShowPage(int index) {
  if (index < 0 || index >= kTabbedPages) return;  // the Multicasts page is never shown
  if (!built_[static_cast<size_t>(index)]) BuildPage(index);
  const HWND focus = GetFocus();
  const HWND oldPage = pages_[static_cast<size_t>(activePage_)];
  const bool focusOnOldPage = activePage_ != index && focus && oldPage && IsChild(oldPage, focus);
  activePage_ = index;
  SendMessageW(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  for (int i = 0; i < kPageCount; ++i)
    if (pages_[i]) ShowWindow(pages_[i], i == index ? SW_SHOW : SW_HIDE);
  if (focusOnOldPage) {
    // The focus follows to the first control of the page now in front.
    const HWND first = GetNextDlgTabItem(pages_[index], nullptr, FALSE);
    if (first) SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
  }
}

bool MainWindow::FocusInPages() const {
  const HWND focus = GetFocus();
  if (!focus) return false;
  if (focus == tabs_) return true;
  for (HWND page : pages_)
    if (page && (focus == page || IsChild(page, focus))) return true;
  return false;
}

void MainWindow::CyclePage(bool forward) {
  ShowPage((activePage_ + (forward ? 1 : kTabbedPages - 1)) % kTabbedPages);
}

bool MainWindow::ClickMnemonic(wchar_t ch) {
  const wchar_t key = LowerChar(ch);
  // The page's buttons come before the strip's.
  const bool security = activePage_ == kPageSecurity;
  const std::array<HWND, 6> candidates = {security ? Existing(IDC_ADD_RULE) : nullptr,
                                          security ? Existing(IDC_EDIT_RULE) : nullptr,
                                          security ? Existing(IDC_DELETE_RULE) : nullptr,
                                          Existing(IDOK),
                                          Existing(IDCANCEL),
                                          Existing(IDC_APPLY)};
  for (HWND button : candidates) {
    if (!button || !IsWindowVisible(button) || !IsWindowEnabled(button)) continue;
    const std::wstring caption = Widen(GetWindowTextUtf8(button));
    const size_t amp = caption.find(L'&');
    if (amp == std::wstring::npos || amp + 1 >= caption.size()) continue;
    if (LowerChar(caption[amp + 1]) != key) continue;
    SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(button), TRUE);
    SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    return true;
  }
  return false;
}

bool MainWindow::PreTranslateMessage(MSG& msg) {
  if (!hwnd_ || !IsWindow(hwnd_)) return false;
  if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && GetKeyState(VK_CONTROL) < 0 &&
      FocusInPages()) {
    CyclePage(GetKeyState(VK_SHIFT) >= 0);
    return true;
  }
  if (msg.message == WM_SYSCHAR && ClickMnemonic(static_cast<wchar_t>(msg.wParam))) return true;
  return IsDialogMessageW(hwnd_, &msg) != FALSE;
}

}  // namespace tftpcfg
