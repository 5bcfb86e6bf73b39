#include <winsock2.h>

#include "controls/ip_edit.h"

#include <windowsx.h>

#include <memory>
#include <stdexcept>

#include "platform/app_error.h"
#include "platform/win32/win_text.h"

namespace tftpcfg {
namespace {

using ipedit::KeyAction;
using ipedit::kPartCount;

// The class EDIT's own window procedure, which the parts' class extends.
WNDPROC g_editProc = nullptr;
ATOM g_fieldAtom = 0;

// The field keeps its object pointer in its window's extra bytes, leaving
// GWLP_USERDATA to the owner.
constexpr int kSelfOffset = 0;

HINSTANCE ThisModule() {
  return GetModuleHandleW(nullptr);
}

// inet_addr and inet_ntoa belong to Windows Sockets, which must be started
// before use. Started on first use, for the rest of the process.
bool WinsockReady() {
  struct Session {
    bool ok = false;
    Session() {
      WSADATA data;
      ok = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~Session() {
      if (ok) WSACleanup();
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

// Win32 passes handles, pointers and child ids in integer parameters.
template <typename T, typename Int>
T FromInteger(Int value) {
  return reinterpret_cast<T>(value);  // NOLINT(performance-no-int-to-ptr)
}

}  // namespace

bool TElIPEdit::RegisterClasses() {
  static const bool registered = [] {
    const HINSTANCE module = ThisModule();

    // The parts: a superclass of EDIT, so that they behave as edits in every
    // respect the field does not change.
    WNDCLASSEXW part{};
    part.cbSize = sizeof part;
    if (!GetClassInfoExW(nullptr, L"EDIT", &part)) return false;
    g_editProc = part.lpfnWndProc;
    part.style &= ~CS_GLOBALCLASS;
    part.lpfnWndProc = PartProc;
    part.hInstance = module;
    part.lpszClassName = kPartClassName;
    if (!RegisterClassExW(&part)) return false;

    WNDCLASSEXW field{};
    field.cbSize = sizeof field;
    field.lpfnWndProc = FieldProc;
    field.cbWndExtra = sizeof(LONG_PTR);
    field.hInstance = module;
    field.hCursor = LoadCursorW(nullptr, IDC_IBEAM);
    field.lpszClassName = kClassName;
    g_fieldAtom = RegisterClassExW(&field);
    return g_fieldAtom != 0;
  }();
  return registered;
}

TElIPEdit* TElIPEdit::Create(HWND parent, int id, const RECT& rect) {
  if (!RegisterClasses()) return nullptr;
  HWND hwnd = CreateWindowExW(WS_EX_CLIENTEDGE, kClassName, L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN, rect.left,
                              rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                              FromInteger<HMENU>(static_cast<INT_PTR>(id)), ThisModule(), nullptr);
  return FromHandle(hwnd);
}

TElIPEdit* TElIPEdit::FromHandle(HWND hwnd) {
  if (!hwnd || g_fieldAtom == 0 || GetClassLongPtrW(hwnd, GCW_ATOM) != g_fieldAtom) return nullptr;
  return FromInteger<TElIPEdit*>(GetWindowLongPtrW(hwnd, kSelfOffset));
}

HWND TElIPEdit::PartHandle(int index) const {
  if (index < 0 || index >= kPartCount) throw std::out_of_range("IP address part index");
  return parts_[static_cast<size_t>(index)];
}

std::string TElIPEdit::IPString() const {
  in_addr address{};
  address.s_addr = ipedit::AddressValue(octets_);
  const char* text = WinsockReady() ? inet_ntoa(address) : nullptr;
  return text ? std::string(text) : ipedit::DottedText(octets_);
}

void TElIPEdit::SetIPString(std::string_view text) {
  WinsockReady();  // without it inet_addr fails, and the error below follows
  const std::string terminated(text);
  const auto octets =
      ipedit::OctetsFromIPString(text, static_cast<uint32_t>(inet_addr(terminated.c_str())));
  if (!octets) throw AppError("Invalid IP address string");
  // All octets first, so that each part's change notification already sees
  // the whole new address.
  octets_ = *octets;
  for (int i = 0; i < kPartCount; ++i) ShowOctet(i);
}

uint8_t TElIPEdit::Part(int index) const {
  PartHandle(index);  // checks the index
  return octets_[static_cast<size_t>(index)];
}

void TElIPEdit::SetPart(int index, uint8_t value) {
  PartHandle(index);  // checks the index
  octets_[static_cast<size_t>(index)] = value;
  ShowOctet(index);
}

void TElIPEdit::ShowOctet(int index) {
  HWND part = parts_[static_cast<size_t>(index)];
  const std::string text = ipedit::OctetText(octets_[static_cast<size_t>(index)]);
  if (GetWindowTextUtf8(part) != text) WritePartText(index, text);
  SendMessageW(part, EM_SETSEL, 0, 0);
}

bool TElIPEdit::PartCanEdit(int index) const {
  return (GetWindowLongPtrW(PartHandle(index), GWL_STYLE) & ES_READONLY) == 0;
}

void TElIPEdit::SetPartCanEdit(int index, bool on) {
  SendMessageW(PartHandle(index), EM_SETREADONLY, on ? FALSE : TRUE, 0);
}

// ---- window procedures ----

LRESULT CALLBACK TElIPEdit::FieldProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  try {
    if (msg == WM_NCCREATE) {
      auto self = std::make_unique<TElIPEdit>(PassKey{}, hwnd);
      SetWindowLongPtrW(hwnd, kSelfOffset, reinterpret_cast<LONG_PTR>(self.release()));
    }
    auto* self = FromInteger<TElIPEdit*>(GetWindowLongPtrW(hwnd, kSelfOffset));
    if (msg == WM_NCDESTROY) {
      std::unique_ptr<TElIPEdit> owned(self);
      SetWindowLongPtrW(hwnd, kSelfOffset, 0);
      return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    if (self) return self->HandleField(msg, wParam, lParam);
  } catch (...) {
    // Nothing may leave a window procedure. For WM_NCCREATE, 0 fails the window.
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK TElIPEdit::PartProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  try {
    TElIPEdit* self = FromHandle(GetParent(hwnd));
    const int index = self && !self->destroying_ ? self->PartIndex(hwnd) : -1;
    if (index >= 0) return self->HandlePart(index, msg, wParam, lParam);
    return CallEdit(hwnd, msg, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

LRESULT TElIPEdit::CallEdit(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(g_editProc, hwnd, msg, wParam, lParam);
}

LRESULT TElIPEdit::HandleField(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE:
      return CreateParts() ? 0 : -1;
    case WM_DESTROY:
      destroying_ = true;
      break;
    case WM_SIZE:
      Layout();
      return 0;
    case WM_SETFONT: {
      font_ = FromInteger<HFONT>(wParam);
      for (HWND part : parts_) {
        SendMessageW(part, WM_SETFONT, wParam, FALSE);
        // The parts are narrow: the digits get all of their width.
        SendMessageW(part, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
      }
      TEXTMETRICW tm{};
      if (HDC dc = GetDC(hwnd_)) {
        HGDIOBJ old = SelectObject(dc, font_ ? font_ : GetStockObject(SYSTEM_FONT));
        GetTextMetricsW(dc, &tm);
        SelectObject(dc, old);
        ReleaseDC(hwnd_, dc);
      }
      textHeight_ = tm.tmHeight;
      Layout();
      if (LOWORD(lParam)) InvalidateRect(hwnd_, nullptr, TRUE);
      return 0;
    }
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_ENABLE:
      for (HWND part : parts_) EnableWindow(part, wParam ? TRUE : FALSE);
      InvalidateRect(hwnd_, nullptr, TRUE);
      return 0;
    case WM_SETFOCUS:
      OnFieldFocus(FromInteger<HWND>(wParam));
      return 0;
    case WM_LBUTTONDOWN: {
      RECT rc{};
      GetClientRect(hwnd_, &rc);
      FocusPart(ipedit::PartAt(GET_X_LPARAM(lParam), rc.right));
      return 0;
    }
    case WM_ERASEBKGND: {
      RECT rc{};
      GetClientRect(hwnd_, &rc);
      FillRect(FromInteger<HDC>(wParam), &rc, Background());
      return 1;
    }
    case WM_PAINT:
      Paint();
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      if (PartIndex(FromInteger<HWND>(lParam)) >= 0) {
        // Read-only and disabled parts ask for static colours; all parts take
        // the field's background so the field reads as one box.
        HDC dc = FromInteger<HDC>(wParam);
        const bool enabled = IsWindowEnabled(hwnd_);
        SetBkColor(dc, GetSysColor(enabled ? COLOR_WINDOW : COLOR_BTNFACE));
        SetTextColor(dc, GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
        return reinterpret_cast<LRESULT>(Background());
      }
      break;
    case WM_COMMAND:
      if (HIWORD(wParam) == EN_CHANGE && !writing_ && !destroying_) {
        // An edit also reports a change when text was replaced by the same
        // text; only a different text is read in (and announced).
        const int index = PartIndex(FromInteger<HWND>(lParam));
        if (index >= 0 && GetWindowTextUtf8(parts_[static_cast<size_t>(index)]) !=
                              readText_[static_cast<size_t>(index)]) {
          ReadIn(index);
        }
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

LRESULT TElIPEdit::HandlePart(int index, UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND part = parts_[static_cast<size_t>(index)];
  switch (msg) {
    case WM_GETDLGCODE:
      // The part moves the focus on Tab itself: a dialog does not navigate
      // reliably from the child of a child. Enter and Esc stay the dialog's.
      return CallEdit(part, msg, wParam, lParam) | DLGC_WANTTAB;
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
      const LRESULT result = CallEdit(part, msg, wParam, lParam);
      // Typing into a part that was just entered replaces its octet.
      SendMessageW(part, EM_SETSEL, 0, -1);
      return result;
    }
    case WM_KILLFOCUS: {
      const LRESULT result = CallEdit(part, msg, wParam, lParam);
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
  return CallEdit(part, msg, wParam, lParam);
}

// ---- parts, layout, painting ----

bool TElIPEdit::CreateParts() {
  // The class may come from a dialog template without these bits.
  SetWindowLongPtrW(hwnd_, GWL_STYLE, GetWindowLongPtrW(hwnd_, GWL_STYLE) | WS_CLIPCHILDREN);
  const DWORD disabled = IsWindowEnabled(hwnd_) ? 0 : WS_DISABLED;
  for (int i = 0; i < kPartCount; ++i) {
    HWND part = CreateWindowExW(
        0, kPartClassName, L"0", WS_CHILD | WS_VISIBLE | ES_CENTER | ES_AUTOHSCROLL | disabled, 0,
        0, 0, 0, hwnd_, FromInteger<HMENU>(INT_PTR{i} + 1), ThisModule(), nullptr);
    if (!part) return false;
    SendMessageW(part, EM_LIMITTEXT, ipedit::kPartMaxChars, 0);
    parts_[static_cast<size_t>(i)] = part;
    readText_[static_cast<size_t>(i)] = ipedit::OctetText(0);
  }
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
               FALSE);
  return true;
}

void TElIPEdit::Layout() {
  if (!parts_[0]) return;
  RECT rc{};
  GetClientRect(hwnd_, &rc);
  const auto spans = ipedit::LayoutParts(rc.right);
  // One line of text, centred vertically.
  const int height = textHeight_ > 0 && textHeight_ < rc.bottom ? textHeight_ : rc.bottom;
  const int top = (rc.bottom - height) / 2;
  for (int i = 0; i < kPartCount; ++i) {
    const auto& span = spans[static_cast<size_t>(i)];
    MoveWindow(parts_[static_cast<size_t>(i)], span.left, top, span.width, height, TRUE);
  }
  InvalidateRect(hwnd_, nullptr, TRUE);
}

HBRUSH TElIPEdit::Background() const {
  return GetSysColorBrush(IsWindowEnabled(hwnd_) ? COLOR_WINDOW : COLOR_BTNFACE);
}

void TElIPEdit::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  if (!dc) return;
  RECT rc{};
  GetClientRect(hwnd_, &rc);
  // The dots sit on the parts' text line: same font, same top.
  RECT line{};
  GetWindowRect(parts_[0], &line);
  MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&line), 2);
  HGDIOBJ oldFont = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(IsWindowEnabled(hwnd_) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
  const auto spans = ipedit::LayoutParts(rc.right);
  for (int i = 0; i + 1 < kPartCount; ++i) {
    RECT gap{spans[static_cast<size_t>(i)].left + spans[static_cast<size_t>(i)].width, line.top,
             spans[static_cast<size_t>(i) + 1].left, line.bottom};
    DrawTextW(dc, L".", 1, &gap, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
  }
  SelectObject(dc, oldFont);
  EndPaint(hwnd_, &ps);
}

// ---- focus and keys ----

int TElIPEdit::PartIndex(HWND part) const {
  for (int i = 0; i < kPartCount; ++i) {
    if (part && parts_[static_cast<size_t>(i)] == part) return i;
  }
  return -1;
}

void TElIPEdit::FocusPart(int index) {
  if (index >= 0 && index < kPartCount) SetFocus(parts_[static_cast<size_t>(index)]);
}

// The window whose tab order the field belongs to: the nearest dialog that
// navigates for itself (a child dialog that is a control parent leaves that to
// the dialog around it), else the top-level window.
HWND TElIPEdit::NavigationRoot() const {
  HWND dialog = nullptr;
  for (HWND w = GetParent(hwnd_); w;) {
    const bool child = (GetWindowLongPtrW(w, GWL_STYLE) & WS_CHILD) != 0;
    if (IsDialogWindow(w)) {
      dialog = w;
      if (!child || !(GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_CONTROLPARENT)) break;
    }
    if (!child) break;
    w = GetParent(w);
  }
  return dialog ? dialog : GetAncestor(hwnd_, GA_ROOT);
}

void TElIPEdit::MoveFocusTo(HWND root, HWND target) {
  // A dialog moves the focus itself, so that it also updates its default button.
  if (IsDialogWindow(root)) {
    SendMessageW(root, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
  } else {
    SetFocus(target);
  }
}

void TElIPEdit::LeaveField(bool backwards) {
  HWND root = NavigationRoot();
  HWND target = GetNextDlgTabItem(root, hwnd_, backwards ? TRUE : FALSE);
  if (!target || target == hwnd_ || IsChild(hwnd_, target)) return;  // the only tab stop
  MoveFocusTo(root, target);
}

void TElIPEdit::OnFieldFocus(HWND previous) {
  if (previous && IsChild(hwnd_, previous)) {
    // Shift+Tab from a part landed on the field itself: go on backwards.
    HWND root = NavigationRoot();
    HWND target = GetNextDlgTabItem(root, hwnd_, TRUE);
    if (target && target != hwnd_ && !IsChild(hwnd_, target)) {
      MoveFocusTo(root, target);
      return;
    }
  }
  FocusPart(0);
}

std::size_t TElIPEdit::Caret(int index) const {
  HWND part = parts_[static_cast<size_t>(index)];
  DWORD start = 0, end = 0;
  SendMessageW(part, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  if (start == end) return end;
  // With a selection the caret sits at one of its ends; EM_GETSEL does not say
  // which, the caret's position does.
  POINT caret{};
  if (GetFocus() == part && GetCaretPos(&caret)) {
    const LRESULT pos = SendMessageW(part, EM_POSFROMCHAR, start, 0);
    if (pos != -1 && static_cast<short>(LOWORD(pos)) == caret.x) return start;
  }
  return end;
}

bool TElIPEdit::OnPartKeyDown(int index, WPARAM key) {
  ipedit::PartKey partKey = ipedit::PartKey::kOther;
  if (key == VK_LEFT) partKey = ipedit::PartKey::kLeft;
  if (key == VK_RIGHT) partKey = ipedit::PartKey::kRight;
  if (key == VK_TAB) partKey = ipedit::PartKey::kTab;
  if (partKey == ipedit::PartKey::kOther) return false;

  const ipedit::Modifiers mods{KeyDown(VK_SHIFT), KeyDown(VK_CONTROL), KeyDown(VK_MENU)};
  const auto length =
      static_cast<std::size_t>(GetWindowTextLengthW(parts_[static_cast<size_t>(index)]));
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

void TElIPEdit::OnPartKillFocus(int index) {
  HWND part = parts_[static_cast<size_t>(index)];
  DWORD start = 0, end = 0;
  SendMessageW(part, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  SendMessageW(part, EM_SETSEL, end, end);
  if (GetWindowTextLengthW(part) == 0) {
    WritePartText(index, ipedit::OctetText(octets_[static_cast<size_t>(index)]));
  }
}

// ---- reading the parts ----

void TElIPEdit::ReadIn(int index) {
  HWND part = parts_[static_cast<size_t>(index)];
  readText_[static_cast<size_t>(index)] = GetWindowTextUtf8(part);
  const ipedit::PartReading reading = ipedit::ReadPartText(readText_[static_cast<size_t>(index)],
                                                           octets_[static_cast<size_t>(index)]);
  if (reading.readIn) {
    octets_[static_cast<size_t>(index)] = reading.octet;
    NotifyChange();
  }
  if (reading.rewrite) {
    const std::size_t caret = Caret(index);
    WritePartText(index, *reading.rewrite);
    const auto at = static_cast<WPARAM>(ipedit::CaretAfterRewrite(caret, reading.rewrite->size()));
    SendMessageW(part, EM_SETSEL, at, static_cast<LPARAM>(at));
  }
}

void TElIPEdit::WritePartText(int index, const std::string& text) {
  {
    // The part's own change notification is not read here: this function
    // reads the new text itself, whether or not the part sends one.
    const bool wasWriting = writing_;
    writing_ = true;
    SetWindowTextUtf8(parts_[static_cast<size_t>(index)], text);
    writing_ = wasWriting;
  }
  ReadIn(index);
}

void TElIPEdit::NotifyChange() {
  SendMessageW(GetParent(hwnd_), WM_COMMAND,
               MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(hwnd_)), kNotifyChange),
               reinterpret_cast<LPARAM>(hwnd_));
}

}  // namespace tftpcfg
