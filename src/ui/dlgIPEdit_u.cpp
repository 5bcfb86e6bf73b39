#include "ui/dlgIPEdit_u.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>

#include "config/access_rights.h"
#include "controls/ip_edit.h"
#include "platform/win32/win_text.h"
#include "ui/accessibility.h"

namespace tftpcfg {
namespace {

constexpr DesignRect kGroup{8, 4, 277, 157};
constexpr int kClientWidth = 294;
constexpr int kClientHeight = 205;
constexpr int kDesignLeft = 508;
constexpr int kDesignTop = 225;

std::function<void(TdlgIPEdit&)>& OnShownHook() {
  static std::function<void(TdlgIPEdit&)> hook;
  return hook;
}

DesignRect InGroup(DesignRect r) {
  r.x += kGroup.x;
  r.y += kGroup.y;
  return r;
}

bool Checked(HWND button) {
  return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace

void TdlgIPEdit::SetOnShownForTesting(std::function<void(TdlgIPEdit&)> onShown) {
  OnShownHook() = std::move(onShown);
}

std::unique_ptr<TdlgIPEdit> TdlgIPEdit::Create(HINSTANCE instance, HWND owner) {
  std::unique_ptr<TdlgIPEdit> self(new TdlgIPEdit());
  const DialogTemplate tpl(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_CONTROLPARENT,
                           L"Client access rights");
  self->hwnd_ = CreateDialogIndirectParamW(instance, tpl.get(), owner, &TdlgIPEdit::DialogProc,
                                           reinterpret_cast<LPARAM>(self.get()));
  if (!self->hwnd_) return nullptr;
  return self;
}

TdlgIPEdit::~TdlgIPEdit() {
  if (hwnd_ && IsWindow(hwnd_)) {
    SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
    DestroyWindow(hwnd_);
  }
}

INT_PTR CALLBACK TdlgIPEdit::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    reinterpret_cast<TdlgIPEdit*>(lParam)->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<TdlgIPEdit*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (!self) return FALSE;
  try {
    return self->HandleMessage(msg, wParam, lParam);
  } catch (const std::exception&) {
    return FALSE;  // nothing the dialog does raises; never let an error escape
  }
}

INT_PTR TdlgIPEdit::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      dpi_ = WindowDpi(hwnd_);
      font_ = CreateUiFont(dpi_);
      CreateControls();
      ApplyLayout();
      return FALSE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          EndModal(IDOK);
          return TRUE;
        case IDCANCEL:  // Cancel, Esc, the close box and Alt+F4
          EndModal(IDCANCEL);
          return TRUE;
        case idRbSingle:
        case idRbNetwork:
          if (HIWORD(wParam) == BN_CLICKED) rbNetworkClick();
          return TRUE;
        default:
          return FALSE;
      }
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && modal_) FormActivate();
      return FALSE;
    case WM_HELP:
      // The dialog offers no help; the request goes no further.
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_DPICHANGED:
      dpi_ = HIWORD(wParam);
      {
        // The controls switch to the new font before the old one is deleted.
        UniqueFont font = CreateUiFont(dpi_);
        SetFontRecursive(hwnd_, font.get());
        font_ = std::move(font);
      }
      ApplyLayout();
      return TRUE;
    default:
      (void)lParam;
      return FALSE;
  }
}

void TdlgIPEdit::CreateControls() {
  auto add = [this](const wchar_t* cls, const wchar_t* text, DWORD style, int id, DesignRect r) {
    const HWND h = CreateControl(hwnd_, cls, text, style | WS_VISIBLE, 0, id, r, dpi_);
    layout_.push_back({h, r});
    return h;
  };
  ElGroupBox1 = add(WC_BUTTONW, L"", BS_GROUPBOX | WS_GROUP, idDlgGroup, kGroup);
  add(WC_STATICW, L"Access rights:", SS_LEFT | SS_NOPREFIX, idDlgLabelAccess,
      InGroup({24, 24, 66, 13}));
  {
    DesignRect r = InGroup({100, 20, 121, 21});
    r.cy += 2 * 16 + 4;  // the open list
    cbAccess = add(WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
                   idCbAccess, r);
    SendMessageW(cbAccess, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"No Access"));
    SendMessageW(cbAccess, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Read Only"));
  }
  add(WC_STATICW, L"for:", SS_LEFT | SS_NOPREFIX, idDlgLabelFor, InGroup({232, 24, 15, 13}));
  rbSingle = add(WC_BUTTONW, L"Single IP address", BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP,
                 idRbSingle, InGroup({24, 60, 104, 17}));
  rbNetwork =
      add(WC_BUTTONW, L"IP Network", BS_AUTORADIOBUTTON, idRbNetwork, InGroup({144, 60, 75, 17}));
  lblAddress = add(WC_STATICW, L"Network IP Address:", SS_LEFT | SS_NOPREFIX | WS_GROUP,
                   idLblAddress, InGroup({24, 96, 97, 13}));
  {
    const DesignRect r = InGroup({132, 92, 117, 21});
    edAddress = TElIPEdit::Create(hwnd_, idEdAddress, ScaleRect(r, dpi_));
    layout_.push_back({edAddress->Handle(), r});
  }
  lblMask = add(WC_STATICW, L"Network Mask:", SS_LEFT | SS_NOPREFIX, idLblMask,
                InGroup({24, 128, 72, 13}));
  {
    const DesignRect r = InGroup({132, 124, 117, 21});
    edMask = TElIPEdit::Create(hwnd_, idEdMask, ScaleRect(r, dpi_));
    layout_.push_back({edMask->Handle(), r});
  }
  btnOk =
      add(WC_BUTTONW, L"&OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK, {65, 172, 75, 25});
  btnCancel = add(WC_BUTTONW, L"&Cancel", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, IDCANCEL,
                  {153, 172, 75, 25});
  KeepFocusOnClick(btnOk);
  KeepFocusOnClick(btnCancel);
  SendMessageW(hwnd_, DM_SETDEFID, IDOK, 0);
  // State at program start: IP Network, both addresses 0.0.0.0, no access right.
  SendMessageW(rbNetwork, BM_SETCHECK, BST_CHECKED, 0);
  SendMessageW(cbAccess, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  SetFontRecursive(hwnd_, font_.get());
  NameAfterLabel(cbAccess, {cbAccess});
  NameAddressParts(*edAddress);
  NameAddressParts(*edMask);
}

void TdlgIPEdit::ApplyLayout() {
  RECT frame{0, 0, Scale(kClientWidth, dpi_), Scale(kClientHeight, dpi_)};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
  // The designed place on the screen, kept inside the work area.
  MONITORINFO mi = {};
  mi.cbSize = sizeof mi;
  GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &mi);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = std::max<int>(mi.rcWork.left,
                                 std::min<int>(Scale(kDesignLeft, dpi_), mi.rcWork.right - width));
  const int top = std::max<int>(mi.rcWork.top,
                                std::min<int>(Scale(kDesignTop, dpi_), mi.rcWork.bottom - height));
  SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  for (const LayoutItem& item : layout_) {
    const RECT rc = ScaleRect(item.rect, dpi_);
    SetWindowPos(item.hwnd, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    FitWidthToCaption(item.hwnd);  // labels and radio buttons; others stay as placed
  }
}

bool TdlgIPEdit::ShowModal(HWND owner) {
  result_ = 0;
  modal_ = true;
  if (owner) EnableWindow(owner, FALSE);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  SetActiveWindow(hwnd_);
  if (!shownBefore_) {
    shownBefore_ = true;
    SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(cbAccess), TRUE);
  }
  FormActivate();
  if (OnShownHook()) OnShownHook()(*this);

  MSG msg;
  bool quit = false;
  while (result_ == 0) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      quit = true;
      break;
    }
    if (!IsDialogMessageW(hwnd_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  FormClose();
  modal_ = false;
  if (owner) EnableWindow(owner, TRUE);
  ShowWindow(hwnd_, SW_HIDE);
  if (owner) SetActiveWindow(owner);
  if (quit) PostQuitMessage(static_cast<int>(msg.wParam));
  return result_ == IDOK;
}

void TdlgIPEdit::EndModal(int result) {
  if (modal_) result_ = result;
}

int TdlgIPEdit::AccessIndex() const {
  return static_cast<int>(SendMessageW(cbAccess, CB_GETCURSEL, 0, 0));
}

void TdlgIPEdit::SetAccessIndex(int index) {
  SendMessageW(cbAccess, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool TdlgIPEdit::SingleSelected() const {
  return Checked(rbSingle);
}

void TdlgIPEdit::SelectSingle(bool single) {
  SendMessageW(rbSingle, BM_SETCHECK, single ? BST_CHECKED : BST_UNCHECKED, 0);
  SendMessageW(rbNetwork, BM_SETCHECK, single ? BST_UNCHECKED : BST_CHECKED, 0);
}

std::string TdlgIPEdit::Address() const {
  return edAddress->IPString();
}
std::string TdlgIPEdit::Mask() const {
  return edMask->IPString();
}
void TdlgIPEdit::SetAddress(const std::string& address) {
  edAddress->SetIPString(address);
}
void TdlgIPEdit::SetMask(const std::string& mask) {
  edMask->SetIPString(mask);
}

std::string TdlgIPEdit::RowAddressText() const {
  if (SingleSelected()) return Address();
  return Address() + " (" + Mask() + ")";
}

void TdlgIPEdit::FormActivate() {
  UpdateAddressMode();
}

void TdlgIPEdit::FormClose() {
  if (SingleSelected()) edMask->SetIPString(std::string(kSingleHostMask));
}

void TdlgIPEdit::rbNetworkClick() {
  UpdateAddressMode();
}

void TdlgIPEdit::UpdateAddressMode() {
  const bool single = SingleSelected();
  ShowWindow(lblMask, single ? SW_HIDE : SW_SHOW);
  ShowWindow(edMask->Handle(), single ? SW_HIDE : SW_SHOW);
  SetWindowTextW(lblAddress, single ? L"Host IP Address:" : L"Network IP Address:");
  FitWidthToCaption(lblAddress);
  NameAddressParts(*edAddress);
}

void TdlgIPEdit::NameAddressParts(const TElIPEdit& field) {
  // The field and each of its four parts carry the label's name; a part says
  // which of the four it is.
  const std::wstring name = NameAfterLabel(field.Handle(), {field.Handle()});
  for (int i = 0; i < 4; ++i)
    SetAccessibleName(field.PartHandle(i), name, L"part " + std::to_wstring(i + 1) + L" of 4");
}

}  // namespace tftpcfg
