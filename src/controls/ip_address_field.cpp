#include <winsock2.h>

#include "controls/ip_address_field.h"

#include <windowsx.h>

#include <array>

#include "controls/ip_edit_model.h"
#include "base/app_error.h"
#include "platform/win32/gdi.h"
#include "platform/win32/system_api.h"
#include "platform/win32/win_text.h"

namespace tftpcfg {
namespace {

using ipedit::KeyAction;
using ipedit::kPartCount;

// inet_addr and inet_ntoa belong to Windows Sockets, which must be started
// before use. Started on first use, for the rest of the process.
bool WinsockReady() {
  struct Session {
    bool ok = false;
    Session() {
      WSADATA data;
      ok = ws2_32::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~Session() {
      if (ok) ws2_32::WSACleanup();
    }
  };
  static const Session session;
  return session.ok;
}

bool IsDialogWindow(HWND hwnd) {
  wchar_t name[16] = {};
  return GetClassNameW(hwnd, name, 16) > 0 && lstrcmpW(name, L"#32770") == 0;
}

bool KeyDown(int vk) {
  return GetKeyState(vk) < 0;
}

// The state of an IP address field's window.
class IpAddressFieldControl final : public FieldControl {
 public:
  IpAddressFieldControl(HWND hwnd, const CREATESTRUCTW& create) : FieldControl(hwnd, create) {}

 private:
  HWND PartWindow(int index) const { return EditAt(static_cast<size_t>(index)); }
  static bool ValidIndex(WPARAM index) { return index < static_cast<WPARAM>(kPartCount); }

  void CreateChildren() override {
    for (int i = 0; i < kPartCount; ++i) {
      const HWND part = AddEdit(ES_CENTER, L"0");
      SendMessageW(part, EM_LIMITTEXT, ipedit::kPartMaxChars, 0);
      // The parts are narrow: the digits get all of their width.
      SendMessageW(part, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
      readText_[static_cast<size_t>(i)] = ipedit::OctetText(0);
    }
  }

  void Layout() override {
    RECT rc{};
    GetClientRect(Handle(), &rc);
    const auto spans = ipedit::LayoutParts(rc.right);
    for (int i = 0; i < kPartCount; ++i) {
      const auto& span = spans[static_cast<size_t>(i)];
      const RECT line = TextLine(span.left, span.left + span.width);
      PlaceChild(PartWindow(i), line);
    }
  }

  void Paint(HDC dc) override {
    RECT rc{};
    GetClientRect(Handle(), &rc);
    // The dots sit on the parts' text line, in the parts' font.
    const RECT line = TextLine(0, rc.right);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0));
    const SelectedObject selected(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, TextColor());
    const auto spans = ipedit::LayoutParts(rc.right);
    for (size_t i = 0; i + 1 < spans.size(); ++i) {
      RECT gap{spans[i].left + spans[i].width, line.top, spans[i + 1].left, line.bottom};
      DrawTextW(dc, L".", 1, &gap, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
    }
  }

  // --- the address ---------------------------------------------------------

  std::wstring Text() const {
    in_addr address{};
    address.s_addr = ipedit::AddressValue(octets_);
    const char* text = WinsockReady() ? ws2_32::inet_ntoa(address) : nullptr;
    return Widen(text ? std::string(text) : ipedit::DottedText(octets_));
  }

  bool SetText(const std::string& text) {
    WinsockReady();  // without it inet_addr fails, and the text is refused
    const auto octets =
        ipedit::OctetsFromIPString(text, static_cast<uint32_t>(ws2_32::inet_addr(text.c_str())));
    if (!octets) return false;
    SetOctets(*octets);
    return true;
  }

  void SetOctets(const ipedit::Octets& octets) {
    // All octets first, so that each part's change notification already sees
    // the whole new address.
    octets_ = octets;
    for (int i = 0; i < kPartCount; ++i)
      if (!ShowOctet(i)) return;  // the parent destroyed the field meanwhile
  }

  // Shows a part's octet as its text (when it differs) with the caret at the
  // start; false when the field is gone afterwards.
  bool ShowOctet(int index) {
    const HWND part = PartWindow(index);
    const std::string text = ipedit::OctetText(octets_[static_cast<size_t>(index)]);
    if (GetWindowTextUtf8(part) != text && !WritePartText(index, text)) return false;
    SendMessageW(part, EM_SETSEL, 0, 0);
    return true;
  }

  // --- the field window ----------------------------------------------------

  LRESULT Message(UINT msg, WPARAM wParam, LPARAM lParam) override {
    switch (msg) {
      case WM_DESTROY:
        destroying_ = true;
        break;
      case WM_SETFONT:
        FieldControl::Message(msg, wParam, lParam);
        // The parts are narrow: the digits get all of their width.
        for (int i = 0; i < kPartCount; ++i)
          SendMessageW(PartWindow(i), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
        return 0;
      case WM_SETTEXT: {
        const auto* text = reinterpret_cast<const wchar_t*>(lParam);
        return SetText(text ? Narrow(text) : std::string()) ? TRUE : FALSE;
      }
      case WM_GETTEXT: {
        const std::wstring text = Text();
        if (wParam == 0 || lParam == 0) return 0;
        const size_t n = std::min<size_t>(text.size(), wParam - 1);
        text.copy(reinterpret_cast<wchar_t*>(lParam), n);
        reinterpret_cast<wchar_t*>(lParam)[n] = L'\0';
        return static_cast<LRESULT>(n);
      }
      case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(Text().size());
      case IPM_SETADDRESS: {
        const auto address = static_cast<DWORD>(lParam);
        SetOctets({static_cast<uint8_t>(FIRST_IPADDRESS(address)),
                   static_cast<uint8_t>(SECOND_IPADDRESS(address)),
                   static_cast<uint8_t>(THIRD_IPADDRESS(address)),
                   static_cast<uint8_t>(FOURTH_IPADDRESS(address))});
        return TRUE;
      }
      case IPM_GETADDRESS:
        if (lParam)
          *reinterpret_cast<DWORD*>(lParam) =
              MAKEIPADDRESS(octets_[0], octets_[1], octets_[2], octets_[3]);
        return kPartCount;
      case IPM_SETFOCUS:
        // A part the field does not have means the first, as in the system's
        // control (whose parts, unlike these, can be blank).
        FocusPart(ValidIndex(wParam) ? static_cast<int>(wParam) : 0);
        return 0;
      case IAFM_SETPART:
        if (!ValidIndex(wParam)) return FALSE;
        octets_[wParam] = static_cast<uint8_t>(lParam);
        ShowOctet(static_cast<int>(wParam));
        return TRUE;
      case IAFM_GETPART:
        return ValidIndex(wParam) ? octets_[wParam] : 0;
      case IAFM_SETPARTREADONLY:
        if (!ValidIndex(wParam)) return FALSE;
        partReadOnly_[wParam] = lParam != 0;
        ApplyEditReadOnly();
        return TRUE;
      case IAFM_GETPARTREADONLY:
        return ValidIndex(wParam) && partReadOnly_[wParam];
      case WM_SETFOCUS:
        OnFieldFocus(reinterpret_cast<HWND>(wParam));
        return 0;
      case WM_LBUTTONDOWN: {
        RECT rc{};
        GetClientRect(Handle(), &rc);
        FocusPart(ipedit::PartAt(GET_X_LPARAM(lParam), rc.right));
        return 0;
      }
      case WM_COMMAND:
        if (HIWORD(wParam) == EN_CHANGE) {
          OnPartChange(reinterpret_cast<HWND>(lParam));
          return 0;
        }
        break;
      default:
        break;
    }
    return FieldControl::Message(msg, wParam, lParam);
  }

  void OnPartChange(HWND part) {
    if (writing_ || destroying_ || Silent()) return;
    // An edit also reports a change when text was replaced by the same text;
    // only a different text is read in (and announced).
    const int index = PartIndex(part);
    if (index >= 0 && GetWindowTextUtf8(part) != readText_[static_cast<size_t>(index)])
      ReadIn(index);
  }

  // --- the parts -----------------------------------------------------------

  // A part is locked while the field is, or by itself.
  bool EditReadOnly(size_t index) const override {
    return ReadOnly() || (index < partReadOnly_.size() && partReadOnly_[index]);
  }

  std::wstring EditDescription(size_t index) const override {
    return L"part " + std::to_wstring(index + 1) + L" of " + std::to_wstring(kPartCount);
  }

  LRESULT ChildMessage(HWND part, UINT msg, WPARAM wParam, LPARAM lParam) override {
    const int index = destroying_ ? -1 : PartIndex(part);
    if (index < 0) return CallChild(part, msg, wParam, lParam);
    switch (msg) {
      case WM_GETDLGCODE:
        // The part moves the focus on Tab itself: a dialog does not navigate
        // reliably from the child of a child. Enter and Esc stay the dialog's.
        return CallChild(part, msg, wParam, lParam) | DLGC_WANTTAB;
      case WM_CHAR: {
        DWORD start = 0, end = 0;
        SendMessageW(part, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        const auto length = static_cast<std::size_t>(GetWindowTextLengthW(part));
        switch (ipedit::CharAction(static_cast<char32_t>(wParam), index, length, start != end)) {
          case KeyAction::kNextPart:
            FocusPart(index + 1);
            return 0;
          case KeyAction::kIgnore:
            return 0;
          default:
            break;
        }
        break;
      }
      case WM_KEYDOWN:
        if (OnPartKeyDown(index, wParam)) return 0;
        break;
      case WM_SETFOCUS: {
        const LRESULT result = CallChild(part, msg, wParam, lParam);
        // Typing into a part that was just entered replaces its octet.
        SendMessageW(part, EM_SETSEL, 0, -1);
        return result;
      }
      case WM_KILLFOCUS: {
        const LRESULT result = CallChild(part, msg, wParam, lParam);
        OnPartKillFocus(index);
        return result;
      }
      case WM_LBUTTONDOWN:
        // The first click enters the part (whole text selected); later clicks
        // place the caret as in any edit.
        if (GetFocus() != part) {
          FocusPart(index);
          return 0;
        }
        break;
      default:
        break;
    }
    return CallChild(part, msg, wParam, lParam);
  }

  int PartIndex(HWND part) const {
    for (int i = 0; i < kPartCount; ++i)
      if (part && PartWindow(i) == part) return i;
    return -1;
  }

  void FocusPart(int index) {
    if (index >= 0 && index < kPartCount) SetFocus(PartWindow(index));
  }

  // The window whose tab order the field belongs to: the nearest dialog that
  // navigates for itself (a child dialog that is a control parent leaves that
  // to the dialog around it), else the top-level window.
  HWND NavigationRoot() const {
    HWND dialog = nullptr;
    for (HWND w = GetParent(Handle()); w;) {
      const bool child = (GetWindowLongPtrW(w, GWL_STYLE) & WS_CHILD) != 0;
      if (IsDialogWindow(w)) {
        dialog = w;
        if (!child || !(GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_CONTROLPARENT)) break;
      }
      if (!child) break;
      w = GetParent(w);
    }
    return dialog ? dialog : GetAncestor(Handle(), GA_ROOT);
  }

  static void MoveFocusTo(HWND root, HWND target) {
    // A dialog moves the focus itself, so that it also updates its default button.
    if (IsDialogWindow(root)) {
      SendMessageW(root, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
    } else {
      SetFocus(target);
    }
  }

  void LeaveField(bool backwards) {
    const HWND root = NavigationRoot();
    const HWND target = GetNextDlgTabItem(root, Handle(), backwards ? TRUE : FALSE);
    if (!target || target == Handle() || IsChild(Handle(), target)) return;  // the only tab stop
    MoveFocusTo(root, target);
  }

  void OnFieldFocus(HWND previous) {
    if (previous && IsChild(Handle(), previous)) {
      // Shift+Tab from a part landed on the field itself: go on backwards.
      const HWND root = NavigationRoot();
      const HWND target = GetNextDlgTabItem(root, Handle(), TRUE);
      if (target && target != Handle() && !IsChild(Handle(), target)) {
        MoveFocusTo(root, target);
        return;
      }
    }
    FocusPart(0);
  }

  std::size_t Caret(int index) const {
    const HWND part = PartWindow(index);
    DWORD start = 0, end = 0;
    SendMessageW(part, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (start == end) return end;
    // With a selection the caret sits at one of its ends; EM_GETSEL does not
    // say which, the caret's position does.
    POINT caret{};
    if (GetFocus() == part && GetCaretPos(&caret)) {
      const LRESULT pos = SendMessageW(part, EM_POSFROMCHAR, start, 0);
      if (pos != -1 && static_cast<short>(LOWORD(pos)) == caret.x) return start;
    }
    return end;
  }

  // Handles the keys the part treats specially; false leaves the key to the edit.
  bool OnPartKeyDown(int index, WPARAM key) {
    ipedit::PartKey partKey = ipedit::PartKey::kOther;
    if (key == VK_LEFT) partKey = ipedit::PartKey::kLeft;
    if (key == VK_RIGHT) partKey = ipedit::PartKey::kRight;
    if (key == VK_TAB) partKey = ipedit::PartKey::kTab;
    if (partKey == ipedit::PartKey::kOther) return false;

    const ipedit::Modifiers mods{KeyDown(VK_SHIFT), KeyDown(VK_CONTROL), KeyDown(VK_MENU)};
    const auto length = static_cast<std::size_t>(GetWindowTextLengthW(PartWindow(index)));
    switch (ipedit::KeyDownAction(partKey, mods, index, Caret(index), length)) {
      case KeyAction::kPreviousPart:
        FocusPart(index - 1);
        return true;
      case KeyAction::kNextPart:
        FocusPart(index + 1);
        return true;
      case KeyAction::kNextControl:
        LeaveField(false);
        return true;
      case KeyAction::kPreviousControl:
        LeaveField(true);
        return true;
      case KeyAction::kIgnore:
        return true;
      case KeyAction::kDefault:
        break;
    }
    return false;
  }

  void OnPartKillFocus(int index) {
    const HWND part = PartWindow(index);
    DWORD start = 0, end = 0;
    SendMessageW(part, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    SendMessageW(part, EM_SETSEL, end, end);
    if (GetWindowTextLengthW(part) == 0)
      WritePartText(index, ipedit::OctetText(octets_[static_cast<size_t>(index)]));
  }

  // Reads a part's text into its octet, rewriting the text when the rules say
  // so. False when the field is gone afterwards: the parent may destroy it
  // from its change handler, and then nothing of it may be touched.
  bool ReadIn(int index) {
    const HWND part = PartWindow(index);
    const auto i = static_cast<size_t>(index);
    readText_[i] = GetWindowTextUtf8(part);
    const ipedit::PartReading reading = ipedit::ReadPartText(readText_[i], octets_[i]);
    if (reading.readIn) {
      octets_[i] = reading.octet;
      if (!Notify(FN_CHANGE)) return false;
    }
    if (reading.rewrite) {
      const std::size_t caret = Caret(index);
      if (!WritePartText(index, *reading.rewrite)) return false;
      const auto at =
          static_cast<WPARAM>(ipedit::CaretAfterRewrite(caret, reading.rewrite->size()));
      SendMessageW(part, EM_SETSEL, at, static_cast<LPARAM>(at));
    }
    return true;
  }

  // Replaces a part's text, then reads it in (the part's own change report is
  // not waited for: it may or may not come). False when the field is gone.
  bool WritePartText(int index, const std::string& text) {
    const bool wasWriting = writing_;
    writing_ = true;
    SetWindowTextUtf8(PartWindow(index), text);
    writing_ = wasWriting;
    return ReadIn(index);
  }

  ipedit::Octets octets_{};
  std::array<std::string, kPartCount> readText_;  // each part's text when last read
  std::array<bool, kPartCount> partReadOnly_{};   // locked by IAFM_SETPARTREADONLY
  bool writing_ = false;                          // the field itself is replacing a part's text
  bool destroying_ = false;
};

}  // namespace

void IpAddressField::RegisterWindowClass() {
  FieldControl::RegisterClassOf<IpAddressFieldControl>(kIpAddressFieldClass);
}

IpAddressField IpAddressField::Create(HWND parent, int id, const RECT& rect) {
  return IpAddressField(CreateFieldWindow(kIpAddressFieldClass, parent, id, rect, WS_TABSTOP));
}

void IpAddressField::SetText(std::string_view address) const {
  // A window text ends at its first zero; a text with one in it is no address.
  if (address.find('\0') != std::string_view::npos) throw AppError(kInvalidIpAddress);
  if (!SendMessageW(hwnd_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widen(address).c_str())))
    throw AppError(kInvalidIpAddress);
}

}  // namespace tftpcfg
