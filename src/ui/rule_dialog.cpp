#include "ui/rule_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <string_view>

#include "config/access_rights.h"
#include "controls/ip_address_field.h"
#include "platform/win32/application_error.h"
#include "platform/win32/win_text.h"
#include "toolkit/accessibility.h"
#include "toolkit/layout.h"

namespace tftpcfg {
namespace {

// The dialog in 96-DPI units: its client area and its designed place on the
// screen.
constexpr int kClientWidth = 294;
constexpr int kClientHeight = 205;
constexpr int kDesignLeft = 508;
constexpr int kDesignTop = 225;

constexpr ControlRow kRuleDialog[] = {
    GroupBox("ElGroupBox1", IDC_RULE_GROUP, {8, 4, 277, 157}, ""),
    Label("ElLabel1", {24, 24, 66, 13}, "Access rights:", IDC_RULE_GROUP),
    DropDownList("cbAccess", IDC_ACCESS, {100, 20, 121, 21}, kAccessLevelTexts, IDC_RULE_GROUP),
    Label("ElLabel2", {232, 24, 15, 13}, "for:", IDC_RULE_GROUP),
    RadioButton("rbSingle", IDC_SINGLE_HOST, {24, 60, 104, 17}, "Single IP address", IDC_RULE_GROUP,
                kFirstInGroup),
    RadioButton("rbNetwork", IDC_NETWORK, {144, 60, 75, 17}, "IP Network", IDC_RULE_GROUP),
    {.name = "lblAddress",
     .kind = ControlKind::Label,
     .id = IDC_ADDRESS_LABEL,
     .rect = {24, 96, 97, 13},
     .caption = "Network IP Address:",
     .in = IDC_RULE_GROUP},
    IpAddressFieldRow("edAddress", IDC_ADDRESS, {132, 92, 117, 21}, IDC_RULE_GROUP),
    {.name = "lblMask",
     .kind = ControlKind::Label,
     .id = IDC_MASK_LABEL,
     .rect = {24, 128, 72, 13},
     .caption = "Network Mask:",
     .in = IDC_RULE_GROUP},
    IpAddressFieldRow("edMask", IDC_MASK, {132, 124, 117, 21}, IDC_RULE_GROUP),
    PushButton("btnOk", IDOK, {65, 172, 75, 25}, "&OK", true),
    PushButton("btnCancel", IDCANCEL, {153, 172, 75, 25}, "&Cancel"),
};

bool Checked(HWND button) {
  return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace

std::unique_ptr<RuleDialog> RuleDialog::Create(HINSTANCE instance, HWND owner, Options options) {
  std::unique_ptr<RuleDialog> self(new RuleDialog(std::move(options)));
  const DialogTemplate tpl(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_CONTROLPARENT,
                           L"Client access rights");
  self->DialogWindow::Create(instance, tpl, owner, "The rule dialog");
  return self;
}

INT_PTR RuleDialog::OnMessage(UINT msg, WPARAM wParam, LPARAM) {
  switch (msg) {
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          EndModal(IDOK);
          return TRUE;
        case IDCANCEL:  // Cancel, Esc, the close box and Alt+F4
          EndModal(IDCANCEL);
          return TRUE;
        case IDC_SINGLE_HOST:
        case IDC_NETWORK:
          if (HIWORD(wParam) == BN_CLICKED) UpdateAddressMode();
          return TRUE;
        default:
          return FALSE;
      }
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && modal_) UpdateAddressMode();
      return FALSE;
    case WM_HELP:
      // The dialog offers no help; the request goes no further.
      return Result(TRUE);
    default:
      return FALSE;
  }
}

void RuleDialog::OnCreate() {
  controls_.Create(Handle(), kRuleDialog, {Dpi(), Font(), nullptr, IDC_RULE_FIRST_LABEL});
  SendMessageW(Handle(), DM_SETDEFID, IDOK, 0);
  // When made: IP Network, both addresses 0.0.0.0, no access right.
  SendMessageW(Control(IDC_NETWORK), BM_SETCHECK, BST_CHECKED, 0);
  SetAccessIndex(-1);
  // The designed place on the screen, kept inside the work area.
  const SIZE client = Layout();
  const SIZE frame = FrameSize(client);
  MONITORINFO mi = {};
  mi.cbSize = sizeof mi;
  GetMonitorInfoW(MonitorFromWindow(Handle(), MONITOR_DEFAULTTOPRIMARY), &mi);
  const int left = std::max<int>(
      mi.rcWork.left, std::min<int>(Scale(kDesignLeft, Dpi()), mi.rcWork.right - frame.cx));
  const int top = std::max<int>(
      mi.rcWork.top, std::min<int>(Scale(kDesignTop, Dpi()), mi.rcWork.bottom - frame.cy));
  Place({left, top}, client);
}

SIZE RuleDialog::Layout() {
  controls_.Layout(Dpi());
  return SIZE{Scale(kClientWidth, Dpi()), Scale(kClientHeight, Dpi())};
}

bool RuleDialog::ShowModal(HWND owner) {
  result_ = 0;
  modal_ = true;
  if (owner) EnableWindow(owner, FALSE);
  ShowWindow(Handle(), SW_SHOW);
  SetForegroundWindow(Handle());
  SetActiveWindow(Handle());
  if (!shownBefore_) {
    shownBefore_ = true;
    SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(IDC_ACCESS)), TRUE);
  }
  UpdateAddressMode();
  if (options_.onShown) options_.onShown(*this);

  MSG msg;
  bool quit = false;
  while (result_ == 0) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      quit = true;
      break;
    }
    if (!IsDialogMessageW(Handle(), &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  OnClose();
  modal_ = false;
  if (owner) EnableWindow(owner, TRUE);
  ShowWindow(Handle(), SW_HIDE);
  if (owner) SetActiveWindow(owner);
  if (quit) PostQuitMessage(static_cast<int>(msg.wParam));
  return result_ == IDOK;
}

void RuleDialog::EndModal(int result) {
  if (modal_) result_ = result;
}

int RuleDialog::AccessIndex() const {
  return static_cast<int>(SendMessageW(Control(IDC_ACCESS), CB_GETCURSEL, 0, 0));
}

void RuleDialog::SetAccessIndex(int index) {
  SendMessageW(Control(IDC_ACCESS), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool RuleDialog::SingleSelected() const {
  return Checked(Control(IDC_SINGLE_HOST));
}

void RuleDialog::SelectSingle(bool single) {
  SendMessageW(Control(IDC_SINGLE_HOST), BM_SETCHECK, single ? BST_CHECKED : BST_UNCHECKED, 0);
  SendMessageW(Control(IDC_NETWORK), BM_SETCHECK, single ? BST_UNCHECKED : BST_CHECKED, 0);
  UpdateAddressMode();
}

std::string RuleDialog::Address() const {
  return IpAddressField(Control(IDC_ADDRESS)).Text();
}
std::string RuleDialog::Mask() const {
  return IpAddressField(Control(IDC_MASK)).Text();
}
void RuleDialog::SetAddress(const std::string& address) {
  IpAddressField(Control(IDC_ADDRESS)).SetText(address);
}
void RuleDialog::SetMask(const std::string& mask) {
  IpAddressField(Control(IDC_MASK)).SetText(mask);
}

std::string RuleDialog::RowAddressText() const {
  if (SingleSelected()) return Address();
  return Address() + " (" + Mask() + ")";
}

void RuleDialog::OnClose() {
  if (SingleSelected()) SetMask(std::string(kSingleHostMask));
}

void RuleDialog::UpdateAddressMode() {
  const bool single = SingleSelected();
  ShowWindow(Control(IDC_MASK_LABEL), single ? SW_HIDE : SW_SHOW);
  ShowWindow(Control(IDC_MASK), single ? SW_HIDE : SW_SHOW);
  const HWND label = Control(IDC_ADDRESS_LABEL);
  SetWindowTextW(label, single ? L"Host IP Address:" : L"Network IP Address:");
  FitWidthToCaption(label);
  // The address field and its parts are named after the label as it reads now.
  IpAddressField(Control(IDC_ADDRESS)).SetAccessibleName(NameFromLabel(label));
}

}  // namespace tftpcfg
