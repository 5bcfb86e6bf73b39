#include "ui/dlgMain_u.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <windowsx.h>

#include <algorithm>
#include <exception>
#include <optional>

#include "config/settings_checks.h"
#include "config/settings_store.h"
#include "controls/control_notify.h"
#include "controls/folder_edit.h"
#include "controls/spin_edit.h"
#include "platform/app_error.h"
#include "platform/win32/system_api.h"
#include "platform/win32/win_text.h"
#include "ui/accessibility.h"
#include "ui/dlgIPEdit_u.h"
#include "ui/res/resource_ids.h"

namespace tftpcfg {
namespace {

// Design geometry of the window, in 96-DPI units.
constexpr int kMargin = 6;                     // inner margin around the client area
constexpr DesignRect kPcMain{0, 0, 348, 271};  // page control
constexpr int kStripTop = 271;                 // button strip (ElPanel1), 348 x 41
constexpr int kClientWidth = 348;
constexpr int kClientHeight = 312;

constexpr DesignRect kElGroupBox2{16, 188, 313, 45};
constexpr DesignRect kElGroupBox1{12, 11, 321, 226};
constexpr DesignRect kRgTimestamps{12, 152, 293, 61};  // in ElGroupBox1

constexpr UINT_PTR kGridSubclass = 0x7467;

const wchar_t* const kPageCaptions[kTabbedPages] = {L"Basic Options", L"Security", L"Firewall",
                                                    L"Logging"};

DesignRect Offset(DesignRect r, DesignRect origin) {
  r.x += origin.x;
  r.y += origin.y;
  return r;
}

bool Checked(HWND checkBox) {
  return SendMessageW(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
void SetChecked(HWND checkBox, bool on) {
  SendMessageW(checkBox, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}
int ComboIndex(HWND combo) {
  return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
}
void SetComboIndex(HWND combo, int index) {
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

wchar_t LowerChar(wchar_t ch) {
  CharLowerBuffW(&ch, 1);
  return ch;
}

TfrmMain* FromWindow(HWND hwnd) {
  return reinterpret_cast<TfrmMain*>(GetWindowLongPtrW(hwnd, DWLP_USER));
}

// Insert and Delete in the rule grid run Add and Delete, with any modifier
// held, and are consumed so the grid does nothing else with them.
LRESULT CALLBACK GridProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                          DWORD_PTR window) {
  switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (wParam == VK_INSERT || wParam == VK_DELETE) {
        reinterpret_cast<TfrmMain*>(window)->tsgHostsKeyDown(static_cast<UINT>(wParam));
        return 0;
      }
      break;
    case WM_CHAR:
    case WM_SYSCHAR:
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, &GridProc, kGridSubclass);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

// Restores the normal cursor and the window's commands when a restart ends,
// on every path.
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

TfrmMain::TfrmMain(Dependencies deps) : deps_(std::move(deps)) {}

TfrmMain::~TfrmMain() {
  if (hwnd_ && IsWindow(hwnd_)) {
    SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
    DestroyWindow(hwnd_);
  }
}

std::unique_ptr<TfrmMain> TfrmMain::Create(HINSTANCE instance, Dependencies deps) {
  std::unique_ptr<TfrmMain> self(new TfrmMain(std::move(deps)));
  const DialogTemplate tpl(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
                           WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, Widen(kApplicationTitle));
  const HWND hwnd = CreateDialogIndirectParamW(instance, tpl.get(), nullptr, &TfrmMain::DialogProc,
                                               reinterpret_cast<LPARAM>(self.get()));
  if (!hwnd) return nullptr;
  CentreOnScreen(hwnd);
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
  // The first control in tab order has the focus when the window opens.
  SendMessageW(hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(self->elTFTPRoot->EditHandle()), TRUE);
  return self;
}

INT_PTR CALLBACK TfrmMain::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TfrmMain* self = nullptr;
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<TfrmMain*>(lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    self->hwnd_ = hwnd;
  } else {
    self = FromWindow(hwnd);
  }
  if (!self) return FALSE;
  try {
    return self->HandleMessage(msg, wParam, lParam);
  } catch (const std::exception& e) {
    // Nothing may leave a window procedure; handlers report their own errors
    // through Guard, so this is a last line of defence.
    self->deps_.dialogs->ApplicationError(hwnd, e.what());
    return FALSE;
  }
}

// The pages are child dialogs; what their controls report goes to the window.
INT_PTR CALLBACK TfrmMain::PageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      uxtheme::EnableThemeDialogTexture(hwnd, ETDT_ENABLETAB);
      return FALSE;
    case WM_COMMAND:
      SendMessageW(GetParent(hwnd), WM_COMMAND, wParam, lParam);
      return TRUE;
    case WM_NOTIFY: {
      const LRESULT result = SendMessageW(GetParent(hwnd), WM_NOTIFY, wParam, lParam);
      SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

INT_PTR TfrmMain::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG: {
      dpi_ = WindowDpi(hwnd_);
      font_ = CreateUiFont(dpi_);
      const HICON big = static_cast<HICON>(
          LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                     GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
      const HICON small = static_cast<HICON>(
          LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                     GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
      SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
      SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
      CreateControls();  // at their places for this DPI already
      ApplyLayout(false);
      Guard([this] { FormCreate(); });
      return FALSE;  // the focus is set once the window is shown
    }
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_NOTIFY:
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, OnNotify(*reinterpret_cast<NMHDR*>(lParam)));
      return TRUE;
    case WM_CLOSE:
      // Every way of closing (close box, system menu, Alt+F4) comes here.
      Guard([this] {
        if (FormClose()) DestroyWindow(hwnd_);
      });
      return TRUE;
    case WM_DESTROY:
      FormDestroy();
      PostQuitMessage(0);
      return TRUE;
    case WM_HELP:
      // Every help request that reaches the window opens the same topic; which
      // window asked is not looked at. F1 in the restart question, a system
      // box owned by the window, arrives here too; the rule dialog and the
      // program's message dialogs keep their requests to themselves.
      if (deps_.showHelp) deps_.showHelp(helpFile_ + "::/configuration.htm");
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_SETCURSOR:
      if (restarting_) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
        return TRUE;
      }
      return FALSE;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return TRUE;
    default:
      return FALSE;
  }
}

void TfrmMain::Guard(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    deps_.dialogs->ApplicationError(hwnd_, e.what());
  }
}

// ---------------------------------------------------------------------------
// Creation and layout

void TfrmMain::Remember(HWND hwnd, DesignRect r, Fit fit) {
  layout_.push_back(LayoutItem{hwnd, r, fit});
}

void TfrmMain::FitCaptions() {
  for (const LayoutItem& item : layout_) {
    if (item.fit == Fit::Width) FitWidthToCaption(item.hwnd);
    if (item.fit == Fit::Height) FitHeightToText(item.hwnd);
  }
}

HWND TfrmMain::AddLabel(int page, const wchar_t* text, DesignRect r, DesignRect origin,
                        bool wraps) {
  r = Offset(r, origin);
  const HWND h = CreateControl(pages[page], WC_STATICW, text, WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0,
                               idLabelFirst + labelCount_++, r, dpi_);
  Remember(h, r, wraps ? Fit::Height : Fit::Width);
  return h;
}

HWND TfrmMain::AddCheck(int page, int id, const wchar_t* text, DesignRect r, bool checked,
                        DesignRect origin) {
  r = Offset(r, origin);
  const HWND h =
      CreateControl(pages[page], WC_BUTTONW, text,
                    WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX, 0, id, r, dpi_);
  SetChecked(h, checked);
  Remember(h, r, Fit::Width);
  return h;
}

HWND TfrmMain::AddGroup(int page, int id, const wchar_t* text, DesignRect r) {
  const HWND h = CreateControl(pages[page], WC_BUTTONW, text, WS_VISIBLE | BS_GROUPBOX | WS_GROUP,
                               0, id, r, dpi_);
  Remember(h, r);
  return h;
}

HWND TfrmMain::AddCombo(int page, int id, DesignRect r, const std::vector<std::wstring>& items,
                        int selected, DesignRect origin) {
  r = Offset(r, origin);
  // The window height of a drop-down list is the height of its open list.
  r.cy += static_cast<int>(items.size()) * 16 + 4;
  const HWND h = CreateControl(pages[page], WC_COMBOBOXW, L"",
                               WS_VISIBLE | WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWNLIST,
                               0, id, r, dpi_);
  for (const auto& item : items)
    SendMessageW(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  SetComboIndex(h, selected);
  Remember(h, r);
  return h;
}

HWND TfrmMain::AddPushButton(HWND parent, int id, const wchar_t* text, DesignRect r,
                             DWORD extraStyle) {
  const HWND h = CreateControl(parent, WC_BUTTONW, text,
                               WS_VISIBLE | WS_TABSTOP | WS_GROUP | extraStyle, 0, id, r, dpi_);
  KeepFocusOnClick(h);
  Remember(h, r);
  return h;
}

TElSpinEdit* TfrmMain::AddSpin(int page, int id, DesignRect r, IntRange range, int32_t value,
                               DesignRect origin) {
  r = Offset(r, origin);
  TElSpinEdit* field =
      TElSpinEdit::Create(pages[page], id, ScaleRect(r, dpi_), range.min, range.max, value);
  Remember(field->Handle(), r);
  return field;
}

TElFolderNameEdit* TfrmMain::AddFolder(int page, int id, DesignRect r, DesignRect origin) {
  r = Offset(r, origin);
  TElFolderNameEdit* field = TElFolderNameEdit::Create(pages[page], id, ScaleRect(r, dpi_));
  // The main window's folder fields have no key for the browse button.
  field->SetButtonShortcut(0, 0);
  Remember(field->Handle(), r);
  return field;
}

void TfrmMain::CreateControls() {
  const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));

  // pcMain: the tab row with one tab per visible page. It never takes the focus.
  pcMain = CreateControl(hwnd_, WC_TABCONTROLW, L"",
                         WS_VISIBLE | WS_CLIPSIBLINGS | TCS_TABS | TCS_FOCUSNEVER, 0, idPcMain,
                         Offset(kPcMain, {kMargin, kMargin, 0, 0}), dpi_);
  SendMessageW(pcMain, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  for (int i = 0; i < kTabbedPages; ++i) {
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(kPageCaptions[i]);
    SendMessageW(pcMain, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }

  // The pages, in order; the Multicasts page exists without a tab.
  const DialogTemplate pageTemplate(WS_CHILD | DS_CONTROL | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT,
                                    L"");
  for (int i = 0; i < kPageCount; ++i) {
    pages[i] =
        CreateDialogIndirectParamW(instance, pageTemplate.get(), hwnd_, &TfrmMain::PageProc, 0);
    SetWindowLongPtrW(pages[i], GWLP_ID, 900 + i);
  }

  // Basic Options (tsBasic)
  AddLabel(kPageBasic, L"TFTP Root Directory:", {16, 28, 101, 13});
  elTFTPRoot = AddFolder(kPageBasic, idElTFTPRoot, {128, 24, 200, 21});
  elTFTPRoot->SetDialogTitle("Select Folder");
  elTFTPRoot->SetPrompt("Please select the folder to be used for TFTP transfers:");
  elTFTPRoot->SetRootFolder(TShellFolders::sfoDesktopExpanded);
  AddLabel(kPageBasic, L"TFTP Server Port:", {16, 60, 86, 13});
  seTFTPPort = AddSpin(kPageBasic, idSeTFTPPort, {128, 56, 65, 21}, kPortRange, 1);
  AddLabel(kPageBasic, L"(default = 69)", {200, 60, 62, 13});
  AddLabel(kPageBasic, L"Request timeout:", {16, 96, 80, 13});
  seTimeout = AddSpin(kPageBasic, idSeTimeout, {128, 92, 65, 21}, kTimeoutRange, 3);
  AddLabel(kPageBasic, L"seconds", {200, 96, 40, 13});
  AddLabel(kPageBasic, L"Retries:", {16, 132, 36, 13});
  seRetries = AddSpin(kPageBasic, idSeRetries, {128, 128, 65, 21}, kRetriesRange, 3);
  cbHighPriority =
      AddCheck(kPageBasic, idCbHighPriority, L"High priority level", {16, 160, 102, 17}, false);
  cbAllowOverwrite = AddCheck(kPageBasic, idCbAllowOverwrite, L"Allow overwriting existing files",
                              {168, 160, 160, 17}, false);
  ShowWindow(cbAllowOverwrite, SW_HIDE);
  EnableWindow(cbAllowOverwrite, FALSE);
  ElGroupBox2 = AddGroup(kPageBasic, idElGroupBox2, L"Accept TFTP options:", kElGroupBox2);
  cbOpTimeout =
      AddCheck(kPageBasic, idCbOpTimeout, L"timeout", {20, 18, 56, 17}, true, kElGroupBox2);
  cbOpBlocksize =
      AddCheck(kPageBasic, idCbOpBlocksize, L"blocksize", {132, 18, 66, 17}, true, kElGroupBox2);
  cbOpTSize = AddCheck(kPageBasic, idCbOpTSize, L"tsize", {243, 18, 43, 17}, true, kElGroupBox2);

  // Security (tsSecurity): "Clients will have [right] access by default, except the following IP
  // addresses:"
  AddLabel(kPageSecurity, L"Clients will have", {8, 21, 75, 13});
  cbDefaultAccess = AddCombo(kPageSecurity, idCbDefaultAccess, {96, 17, 145, 21},
                             {L"No Access", L"Read Only"}, -1);
  AddLabel(kPageSecurity, L"access by default,", {248, 21, 86, 13});
  AddLabel(kPageSecurity, L"except the following IP addresses:", {8, 45, 161, 13});
  {
    const DesignRect r{8, 65, 324, 136};
    tsgHosts = CreateControl(pages[kPageSecurity], WC_LISTVIEWW, L"",
                             WS_VISIBLE | WS_TABSTOP | WS_GROUP | LVS_REPORT | LVS_SINGLESEL |
                                 LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | LVS_OWNERDATA,
                             WS_EX_CLIENTEDGE, idTsgHosts, r, dpi_);
    Remember(tsgHosts, r);
    ListView_SetExtendedListViewStyle(
        tsgHosts, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    const wchar_t* headers[] = {L"Hosts / Networks ", L"Access Rights"};
    const int widths[] = {196, 87};
    for (int i = 0; i < 2; ++i) {
      LVCOLUMNW col = {};
      col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
      col.fmt = LVCFMT_LEFT;
      col.pszText = const_cast<wchar_t*>(headers[i]);
      col.cx = Scale(widths[i], dpi_);
      col.iSubItem = i;
      SendMessageW(tsgHosts, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i),
                   reinterpret_cast<LPARAM>(&col));
    }
    SetWindowSubclass(tsgHosts, &GridProc, kGridSubclass, reinterpret_cast<DWORD_PTR>(this));
  }
  sbAdd = AddPushButton(pages[kPageSecurity], idSbAdd, L"&Add", {139, 210, 57, 25});
  sbEdit = AddPushButton(pages[kPageSecurity], idSbEdit, L"&Edit", {207, 210, 57, 25});
  sbDelete = AddPushButton(pages[kPageSecurity], idSbDelete, L"&Delete", {275, 210, 57, 25});

  // Firewall (ElTabSheet1)
  AddLabel(kPageFirewall,
           L"Ostrel TFTP Service can be used behind the firewall so that you can restrict  UDP "
           L"ports' range used to organize data transfer. It allows network administrators to "
           L"define firewall rules permitting traffic to TFTP server.",
           {12, 16, 261, 52}, {}, true);
  cbFWEnabled =
      AddCheck(kPageFirewall, idCbFWEnabled, L"Enable firewall support", {12, 84, 128, 17}, true);
  AddLabel(kPageFirewall, L"Use port range from:", {24, 120, 96, 13});
  seFWMinPort = AddSpin(kPageFirewall, idSeFWMinPort, {136, 116, 65, 21}, kFirewallPortRange, 1024);
  AddLabel(kPageFirewall, L"To:", {216, 120, 16, 13});
  seFWMaxPort =
      AddSpin(kPageFirewall, idSeFWMaxPort, {244, 116, 65, 21}, kFirewallPortRange, 65535);

  // Logging (ElTabSheet2): everything inside one group box.
  const DesignRect g = kElGroupBox1;
  ElGroupBox1 = AddGroup(kPageLogging, idElGroupBox1, L"Logging parameters ", g);
  cbWriteLog = AddCheck(kPageLogging, idCbWriteLog, L"Enable Logging", {16, 24, 96, 17}, false, g);
  AddLabel(kPageLogging, L"Logfiles Directory:", {16, 56, 84, 13}, g);
  elLogDir = AddFolder(kPageLogging, idElLogDir, {120, 52, 185, 21}, g);
  elLogDir->SetRootFolder(TShellFolders::sfoDesktopExpanded);
  AddLabel(kPageLogging, L"Logfiles Count:", {16, 88, 70, 13}, g);
  elLogCount = AddSpin(kPageLogging, idElLogCount, {120, 84, 65, 21}, kLogCountRange, 3, g);
  AddLabel(kPageLogging, L"Logging level:", {16, 120, 66, 13}, g);
  std::vector<std::wstring> levels;
  levels.reserve(kLogLevelTexts.size());
  for (const auto level : kLogLevelTexts) levels.push_back(Widen(level));
  cbLoggingLevel = AddCombo(kPageLogging, idCbLoggingLevel, {120, 116, 185, 21}, levels, 5, g);
  {
    const DesignRect rg = Offset(kRgTimestamps, g);
    rgTimestamps = AddGroup(kPageLogging, idRgTimestamps, L"Timestamps:", rg);
    // Two items in two columns, each column half of the frame's inner width.
    const int column = (rg.cx - 16) / 2;
    const DesignRect first{8, 26, column - 4, 17};
    const DesignRect second{8 + column, 26, column - 4, 17};
    rgTimestampsItems[0] = CreateControl(pages[kPageLogging], WC_BUTTONW, L"UTC Timestamps",
                                         WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 0,
                                         idRbUtcTimestamps, Offset(first, rg), dpi_);
    rgTimestampsItems[1] = CreateControl(pages[kPageLogging], WC_BUTTONW, L"Local timestamps",
                                         WS_VISIBLE | BS_AUTORADIOBUTTON, 0, idRbLocalTimestamps,
                                         Offset(second, rg), dpi_);
    Remember(rgTimestampsItems[0], Offset(first, rg), Fit::Width);
    Remember(rgTimestampsItems[1], Offset(second, rg), Fit::Width);
    SetTimestampIndex(0);
  }

  // The button strip (ElPanel1), below the page control.
  const DesignRect strip{kMargin, kMargin + kStripTop, 0, 0};
  btnOk = AddPushButton(hwnd_, idBtnOk, L"OK", Offset({103, 8, 75, 25}, strip), BS_DEFPUSHBUTTON);
  btnCancel = AddPushButton(hwnd_, idBtnCancel, L"Cancel", Offset({187, 8, 75, 25}, strip));
  btnApply = AddPushButton(hwnd_, idBtnApply, L"&Apply", Offset({272, 8, 75, 25}, strip));
  EnableWindow(btnApply, FALSE);
  SendMessageW(hwnd_, DM_SETDEFID, idBtnOk, 0);

  // The tab row lies under the pages, so that it never paints over them.
  SetWindowPos(pcMain, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetFontRecursive(hwnd_, font_.get());
  FitCaptions();
  NameControls();
  ShowPage(kPageBasic);
}

void TfrmMain::NameControls() {
  // Each input control is named after the label before it. The system does
  // that itself for the lists, but not for the fields' text areas, which are
  // children of the fields; all are named here alike.
  for (TElSpinEdit* field :
       {seTFTPPort, seTimeout, seRetries, seFWMinPort, seFWMaxPort, elLogCount})
    NameAfterLabel(field->Handle(), {field->Handle(), field->EditHandle()});
  for (TElFolderNameEdit* field : {elTFTPRoot, elLogDir}) {
    NameAfterLabel(field->Handle(), {field->Handle(), field->EditHandle()});
    SetAccessibleName(field->ButtonHandle(), L"Browse");
  }
  for (HWND list : {cbDefaultAccess, tsgHosts, cbLoggingLevel}) NameAfterLabel(list, {list});
}

void TfrmMain::ApplyLayout(bool placeControls) {
  // Window size: the client area with its inner margin, at the window's DPI.
  RECT frame{0, 0, Scale(kClientWidth + 2 * kMargin, dpi_),
             Scale(kClientHeight + 2 * kMargin, dpi_)};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
  SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  const RECT tab = ScaleRect(Offset(kPcMain, {kMargin, kMargin, 0, 0}), dpi_);
  SetWindowPos(pcMain, nullptr, tab.left, tab.top, tab.right - tab.left, tab.bottom - tab.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  RECT display = tab;
  SendMessageW(pcMain, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  for (HWND page : pages)
    SetWindowPos(page, nullptr, display.left, display.top, display.right - display.left,
                 display.bottom - display.top, SWP_NOZORDER | SWP_NOACTIVATE);

  if (placeControls) {
    for (const LayoutItem& item : layout_) {
      const RECT rc = ScaleRect(item.rect, dpi_);
      SetWindowPos(item.hwnd, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
    FitCaptions();
    const int widths[] = {196, 87};
    for (int i = 0; i < 2; ++i)
      SendMessageW(tsgHosts, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i), Scale(widths[i], dpi_));
  }
  // Rows 18 units high: the list takes its row height from its small image list.
  HIMAGELIST rows = ImageList_Create(1, Scale(18, dpi_), ILC_COLOR, 0, 0);
  const HIMAGELIST old = ListView_SetImageList(tsgHosts, rows, LVSIL_SMALL);
  if (old) ImageList_Destroy(old);
}

void TfrmMain::OnDpiChanged(UINT dpi, const RECT* suggested) {
  if (dpi == 0 || dpi == dpi_) return;
  dpi_ = dpi;
  // The controls switch to the new font before the old one is deleted.
  UniqueFont font = CreateUiFont(dpi_);
  SetFontRecursive(hwnd_, font.get());
  font_ = std::move(font);
  ApplyLayout(true);
  if (suggested)
    SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

// ---------------------------------------------------------------------------
// Pages and keyboard

void TfrmMain::ShowPage(int index) {
  if (index < 0 || index >= kTabbedPages) return;  // the Multicasts page is never shown
  const HWND focus = GetFocus();
  const bool focusOnOldPage = activePage_ != index && focus && IsChild(pages[activePage_], focus);
  activePage_ = index;
  SendMessageW(pcMain, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  for (int i = 0; i < kPageCount; ++i) ShowWindow(pages[i], i == index ? SW_SHOW : SW_HIDE);
  if (focusOnOldPage) {
    // The focus follows to the first control of the page now in front.
    const HWND first = GetNextDlgTabItem(pages[index], nullptr, FALSE);
    if (first) SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
  }
}

bool TfrmMain::FocusInPages() const {
  const HWND focus = GetFocus();
  if (!focus) return false;
  if (focus == pcMain) return true;
  for (HWND page : pages)
    if (focus == page || IsChild(page, focus)) return true;
  return false;
}

void TfrmMain::CyclePage(bool forward) {
  ShowPage((activePage_ + (forward ? 1 : kTabbedPages - 1)) % kTabbedPages);
}

bool TfrmMain::ClickMnemonic(wchar_t ch) {
  const wchar_t key = LowerChar(ch);
  // The page's buttons come before the strip's.
  const bool security = activePage_ == kPageSecurity;
  const std::array<HWND, 6> candidates = {security ? sbAdd : nullptr,
                                          security ? sbEdit : nullptr,
                                          security ? sbDelete : nullptr,
                                          btnOk,
                                          btnCancel,
                                          btnApply};
  for (HWND button : candidates) {
    if (!button || !IsWindowVisible(button) || !IsWindowEnabled(button)) continue;
    const std::wstring caption = Widen(GetWindowTextUtf8(button));
    const size_t amp = caption.find(L'&');
    if (amp == std::wstring::npos || amp + 1 >= caption.size()) continue;
    if (LowerChar(caption[amp + 1]) != key) continue;
    SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(button), TRUE);
    SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    return true;
  }
  return false;
}

bool TfrmMain::PreTranslateMessage(MSG& msg) {
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

// ---------------------------------------------------------------------------
// Commands and notifications

void TfrmMain::OnCommand(int id, int code) {
  switch (id) {
    case idElTFTPRoot:
    case idElLogDir:
    case idSeTFTPPort:
    case idSeTimeout:
    case idSeRetries:
    case idSeFWMinPort:
    case idSeFWMaxPort:
    case idElLogCount:
      if (code == kNotifyChange) Guard([this] { elTFTPRootChange(); });
      break;
    case idCbDefaultAccess:
    case idCbLoggingLevel:
      if (code == CBN_SELCHANGE) Guard([this] { elTFTPRootChange(); });
      break;
    case idCbHighPriority:
    case idCbAllowOverwrite:
    case idCbOpTimeout:
    case idCbOpBlocksize:
    case idCbOpTSize:
      if (code == BN_CLICKED) Guard([this] { cbAllowOverwriteClick(); });
      break;
    case idCbWriteLog:
      if (code == BN_CLICKED) Guard([this] { cbWriteLogClick(); });
      break;
    case idCbFWEnabled:
      if (code == BN_CLICKED) Guard([this] { cbFWEnabledClick(); });
      break;
    case idRbUtcTimestamps:
    case idRbLocalTimestamps:
      // A click that selects another item; clicking the selected one changes nothing.
      if (code == BN_CLICKED && TimestampIndex() != timestampIndex_) {
        timestampIndex_ = TimestampIndex();
        Guard([this] { rgTimestampsClick(); });
      }
      break;
    case idBtnOk:
      Guard([this] { btnOkClick(); });
      break;
    case idBtnCancel:
      Guard([this] { btnCancelClick(); });
      break;
    case idBtnApply:
      Guard([this] { btnApplyClick(); });
      break;
    case idSbAdd:
      Guard([this] { sbAddClick(); });
      break;
    case idSbEdit:
      Guard([this] { sbEditClick(); });
      break;
    case idSbDelete:
      Guard([this] { sbDeleteClick(); });
      break;
    default:
      break;
  }
}

LRESULT TfrmMain::OnNotify(const NMHDR& header) {
  if (header.hwndFrom == pcMain && header.code == TCN_SELCHANGE) {
    ShowPage(static_cast<int>(SendMessageW(pcMain, TCM_GETCURSEL, 0, 0)));
    return 0;
  }
  if (header.hwndFrom != tsgHosts) return 0;
  switch (header.code) {
    case LVN_GETDISPINFOW: {
      auto& info = *reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header));
      const auto row = static_cast<size_t>(info.item.iItem);
      if ((info.item.mask & LVIF_TEXT) && row < rows_.size() && info.item.cchTextMax > 0) {
        const std::wstring& text =
            info.item.iSubItem == 0 ? rows_[row].addressText : rows_[row].rightText;
        lstrcpynW(info.item.pszText, text.c_str(), info.item.cchTextMax);
      }
      return 0;
    }
    case LVN_ITEMCHANGED: {
      const auto& change = *reinterpret_cast<const NMLISTVIEW*>(&header);
      if ((change.uChanged & LVIF_STATE) && ((change.uOldState ^ change.uNewState) & LVIS_SELECTED))
        Guard([this] { tsgHostsAfterSelectionChange(); });
      return 0;
    }
    case LVN_ODSTATECHANGED:
      Guard([this] { tsgHostsAfterSelectionChange(); });
      return 0;
    case NM_DBLCLK:
      Guard([this] { tsgHostsDblClick(); });
      return 0;
    default:
      return 0;
  }
}

// ---------------------------------------------------------------------------
// Settings and controls

int TfrmMain::TimestampIndex() const {
  return Checked(rgTimestampsItems[1]) ? 1 : (Checked(rgTimestampsItems[0]) ? 0 : -1);
}

void TfrmMain::SetTimestampIndex(int index) {
  SetChecked(rgTimestampsItems[0], index == 0);
  SetChecked(rgTimestampsItems[1], index == 1);
  timestampIndex_ = index;
}

ServiceSettings TfrmMain::SettingsFromControls() const {
  ServiceSettings s;
  s.TFTPRoot = elTFTPRoot->Text();
  s.TFTPPort = seTFTPPort->Value();
  s.WriteLog = Checked(cbWriteLog);
  s.HighPriority = Checked(cbHighPriority);
  s.LogDirectory = elLogDir->Text();
  s.LogFileCount = elLogCount->Value();
  s.DefaultRights = ComboIndex(cbDefaultAccess);
  s.HostList = SaveHosts();
  s.TFTPTimeout = seTimeout->Value();
  s.TFTPRetr = seRetries->Value();
  s.OpTimeout = Checked(cbOpTimeout);
  s.OpBlocksize = Checked(cbOpBlocksize);
  s.OpTSize = Checked(cbOpTSize);
  s.FWEnabled = Checked(cbFWEnabled);
  s.FWMinPort = seFWMinPort->Value();
  s.FWMaxPort = seFWMaxPort->Value();
  s.LogLevel = ComboIndex(cbLoggingLevel);
  s.LocalTime = TimestampIndex() != 0;
  return s;
}

void TfrmMain::ShowSettings(const ServiceSettings& s) {
  // Every control is set by program, which raises no change notification.
  elTFTPRoot->SetText(s.TFTPRoot);
  seTFTPPort->SetValue(s.TFTPPort);
  SetChecked(cbWriteLog, s.WriteLog);
  SetChecked(cbHighPriority, s.HighPriority);
  elLogDir->SetText(s.LogDirectory);
  elLogCount->SetValue(s.LogFileCount);
  SetComboIndex(cbDefaultAccess, s.DefaultRights);
  LoadHosts(s.HostList);
  seTimeout->SetValue(s.TFTPTimeout);
  seRetries->SetValue(s.TFTPRetr);
  SetChecked(cbOpTimeout, s.OpTimeout);
  SetChecked(cbOpBlocksize, s.OpBlocksize);
  SetChecked(cbOpTSize, s.OpTSize);
  SetChecked(cbFWEnabled, s.FWEnabled);
  seFWMinPort->SetValue(s.FWMinPort);
  seFWMaxPort->SetValue(s.FWMaxPort);
  SetComboIndex(cbLoggingLevel, s.LogLevel);
  SetTimestampIndex(s.LocalTime ? 1 : 0);
}

void TfrmMain::SetModified(bool modified) {
  modified_ = modified;
  EnableWindow(btnApply, modified ? TRUE : FALSE);
}

void TfrmMain::SetFieldLocked(HWND field, bool locked) {
  const COLORREF color = GetSysColor(locked ? COLOR_BTNFACE : COLOR_WINDOW);
  if (TElFolderNameEdit* folder = TElFolderNameEdit::FromHandle(field)) {
    folder->SetReadOnly(locked);
    folder->SetButtonVisible(!locked);
    folder->SetColor(color);
  } else if (TElSpinEdit* spin = TElSpinEdit::FromHandle(field)) {
    spin->SetReadOnly(locked);
    spin->SetColor(color);
  } else if (field == cbLoggingLevel || field == cbDefaultAccess) {
    EnableWindow(field, locked ? FALSE : TRUE);
  }
}

// ---------------------------------------------------------------------------
// Event handlers

void TfrmMain::FormCreate() {
  LoadHosts("");
  ServiceSettings settings = SettingsFromControls();
  try {
    LoadSettings(*deps_.registry, *deps_.codec, settings);
  } catch (const SettingsKeyError& e) {
    // The key exists but cannot be read: say so, then go on as with a missing
    // key, so the window is fully usable with the values it shows.
    ShowSettings(settings);
    deps_.dialogs->ApplicationError(hwnd_, e.what());
  } catch (...) {
    ShowSettings(settings);  // the values read before the failing one
    throw;
  }
  ShowSettings(settings);
  cbWriteLogClick();
  cbFWEnabledClick();
  SetModified(false);
  ShowPage(kPageBasic);
  helpFile_ = deps_.programDirectory + "tftpserv.chm";
}

bool TfrmMain::FormClose() {
  if (restarting_) return false;  // the restart in progress finishes first
  if (!modified_) return true;
  return deps_.dialogs->Confirm(hwnd_, kDiscardQuestion);
}

void TfrmMain::FormDestroy() {}

void TfrmMain::Close() {
  SendMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void TfrmMain::elTFTPRootChange() {
  SetModified(true);
}
void TfrmMain::cbAllowOverwriteClick() {
  SetModified(true);
}
void TfrmMain::rgTimestampsClick() {
  SetModified(true);
}

void TfrmMain::cbWriteLogClick() {
  const bool on = Checked(cbWriteLog);
  SetFieldLocked(elLogDir->Handle(), !on);
  SetFieldLocked(elLogCount->Handle(), !on);
  SetFieldLocked(cbLoggingLevel, !on);
  EnableWindow(rgTimestamps, on ? TRUE : FALSE);
  for (HWND item : rgTimestampsItems) EnableWindow(item, on ? TRUE : FALSE);
  SetModified(true);
}

void TfrmMain::cbFWEnabledClick() {
  const bool on = Checked(cbFWEnabled);
  SetFieldLocked(seFWMinPort->Handle(), !on);
  SetFieldLocked(seFWMaxPort->Handle(), !on);
  SetModified(true);
}

void TfrmMain::SaveWindowSettings() {
  SaveSettings(*deps_.registry, *deps_.codec, SettingsFromControls());
}

bool TfrmMain::RestartTheService() {
  RestartScope scope(restarting_);
  const bool restarted = deps_.restartService ? deps_.restartService() : false;
  scope.End();
  if (restarted) deps_.dialogs->Information(hwnd_, kRestartSucceeded);
  return restarted;
}

void TfrmMain::btnOkClick() {
  if (restarting_) return;
  if (!modified_) {
    SetModified(false);
    Close();
    return;
  }
  if (!ValidateSettings()) return;
  switch (deps_.dialogs->AskRestart(hwnd_)) {
    case RestartAnswer::Yes:
      SaveWindowSettings();  // an error here ends the handler: nothing restarted, still changed
      RestartTheService();
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

void TfrmMain::btnApplyClick() {
  if (restarting_ || !modified_) return;
  if (!ValidateSettings()) return;
  switch (deps_.dialogs->AskRestart(hwnd_)) {
    case RestartAnswer::Yes:
      SaveWindowSettings();
      SetModified(false);
      RestartTheService();
      break;
    case RestartAnswer::No:
      SaveWindowSettings();
      SetModified(false);
      break;
    case RestartAnswer::Cancel:
      break;
  }
}

void TfrmMain::btnCancelClick() {
  if (restarting_) return;
  Close();
}

void TfrmMain::FailCheck(const std::string& message, int page, HWND edit, bool selectAll) {
  deps_.dialogs->Error(hwnd_, message);
  ShowPage(page);
  SetFocus(edit);
  if (selectAll) {
    SendMessageW(edit, EM_SETSEL, 0, -1);
  } else {
    const auto end = static_cast<WPARAM>(GetWindowTextLengthW(edit));
    SendMessageW(edit, EM_SETSEL, end, static_cast<LPARAM>(end));
  }
}

bool TfrmMain::ValidateSettings() {
  SettingsCheckInput input;
  input.rootDirectory = elTFTPRoot->Text();
  input.portText = seTFTPPort->Text();
  input.firewallEnabled = Checked(cbFWEnabled);
  input.firewallMinPort = seFWMinPort->Value();
  input.firewallMaxPort = seFWMaxPort->Value();
  input.loggingEnabled = Checked(cbWriteLog);
  input.logDirectory = elLogDir->Text();
  const std::optional<CheckFailure> failure = CheckSettings(input, deps_.directoryExists);
  if (!failure) return true;
  switch (failure->field) {
    case CheckedField::RootDirectory:
      FailCheck(failure->message, kPageBasic, elTFTPRoot->EditHandle(), true);
      break;
    case CheckedField::Port:
      FailCheck(failure->message, kPageBasic, seTFTPPort->EditHandle(), true);
      break;
    case CheckedField::FirewallRange:
      FailCheck(failure->message, kPageFirewall, seFWMinPort->EditHandle(), false);
      break;
    case CheckedField::LogDirectory:
      FailCheck(failure->message, kPageLogging, elLogDir->EditHandle(), true);
      break;
  }
  return false;
}

// ---------------------------------------------------------------------------
// Access rules

int TfrmMain::SelectedRow() const {
  return static_cast<int>(
      SendMessageW(tsgHosts, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TfrmMain::LoadHosts(const std::string& text) {
  SendMessageW(tsgHosts, WM_SETREDRAW, FALSE, 0);
  const bool hadRows = !rows_.empty();
  rows_.clear();
  SendMessageW(tsgHosts, LVM_DELETEALLITEMS, 0, 0);
  if (hadRows) tsgHostsItemDeletion();
  std::vector<AccessRule> rules = DecodeHostList(text);
  rows_.reserve(rules.size());
  for (auto& rule : rules) {
    HostRow row;
    row.addressText = Widen(RuleAddressText(rule));
    row.rightText = Widen(RuleRightText(rule));
    row.rule = std::move(rule);
    rows_.push_back(std::move(row));
  }
  SendMessageW(tsgHosts, LVM_SETITEMCOUNT, rows_.size(), 0);
  SendMessageW(tsgHosts, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(tsgHosts, nullptr, TRUE);
}

std::string TfrmMain::SaveHosts() const {
  std::vector<AccessRule> rules;
  rules.reserve(rows_.size());
  for (const HostRow& row : rows_) rules.push_back(row.rule);
  return EncodeHostList(rules);
}

void TfrmMain::UpdateRuleButtons() {
  if (GetActiveWindow() != hwnd_) return;
  const BOOL selected = SelectedRow() >= 0 ? TRUE : FALSE;
  EnableWindow(sbEdit, selected);
  EnableWindow(sbDelete, selected);
}

void TfrmMain::tsgHostsAfterSelectionChange() {
  UpdateRuleButtons();
}
void TfrmMain::tsgHostsItemDeletion() {
  UpdateRuleButtons();
}

void TfrmMain::tsgHostsKeyDown(UINT vk) {
  if (vk == VK_INSERT) Guard([this] { sbAddClick(); });
  if (vk == VK_DELETE) Guard([this] { sbDeleteClick(); });
}

void TfrmMain::tsgHostsDblClick() {
  if (SelectedRow() >= 0) sbEditClick();
}

// A row as the rule dialog holds it: the first column by the dialog's mode, the
// access right's display text, and the rule.
TfrmMain::HostRow TfrmMain::RowFromRuleDialog() const {
  HostRow row;
  row.addressText = Widen(ruleDialog_->RowAddressText());
  row.rightText = Widen(AccessCodeToText(AccessLevelToCode(ruleDialog_->AccessIndex())));
  row.rule.Address = ruleDialog_->Address();
  row.rule.Mask = ruleDialog_->Mask();
  row.rule.Right = ruleDialog_->AccessIndex();
  return row;
}

void TfrmMain::sbAddClick() {
  if (restarting_ || !ruleDialog_) return;
  ruleDialog_->SetAccessIndex(kNoAccess);
  if (!ruleDialog_->ShowModal(hwnd_)) return;
  rows_.push_back(RowFromRuleDialog());
  SendMessageW(tsgHosts, LVM_SETITEMCOUNT, rows_.size(), LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
  SetModified(true);
}

void TfrmMain::sbEditClick() {
  if (restarting_ || !ruleDialog_) return;
  const int selected = SelectedRow();
  if (selected < 0 || static_cast<size_t>(selected) >= rows_.size()) return;
  HostRow& row = rows_[static_cast<size_t>(selected)];
  // An address or mask that is no address raises here: the dialog does not open.
  ruleDialog_->SetAddress(row.rule.Address);
  ruleDialog_->SetMask(row.rule.Mask);
  ruleDialog_->SetAccessIndex(row.rule.Right);
  ruleDialog_->SelectSingle(row.rule.Mask == kSingleHostMask);
  if (!ruleDialog_->ShowModal(hwnd_)) return;
  row = RowFromRuleDialog();  // the same rule, updated in place
  SendMessageW(tsgHosts, LVM_REDRAWITEMS, static_cast<WPARAM>(selected), selected);
  SetModified(true);
}

void TfrmMain::sbDeleteClick() {
  if (restarting_) return;
  if (!deps_.dialogs->Confirm(hwnd_, kDeleteRuleQuestion)) return;
  const int selected = SelectedRow();
  if (selected >= 0 && static_cast<size_t>(selected) < rows_.size()) {
    rows_.erase(rows_.begin() + selected);
    // The selection moves to the row that took the removed one's place, if any.
    SendMessageW(tsgHosts, LVM_SETITEMCOUNT, rows_.size(), LVSICF_NOSCROLL);
    ListView_SetItemState(tsgHosts, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (!rows_.empty()) {
      const int next = std::min<int>(selected, static_cast<int>(rows_.size()) - 1);
      ListView_SetItemState(tsgHosts, next, LVIS_SELECTED | LVIS_FOCUSED,
                            LVIS_SELECTED | LVIS_FOCUSED);
    }
    InvalidateRect(tsgHosts, nullptr, TRUE);
    tsgHostsItemDeletion();
  }
  SetModified(true);
}

}  // namespace tftpcfg
