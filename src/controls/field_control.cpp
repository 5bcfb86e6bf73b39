#include "controls/field_control.h"

#include <commctrl.h>
#include <vsstyle.h>

#include <algorithm>
#include <string>

#include "controls/accessible_name.h"
#include "controls/edit_command_model.h"
#include "base/fatal_error.h"
#include "platform/win32/application_error.h"
#include "platform/win32/dpi.h"
#include "platform/win32/gdi.h"
#include "platform/win32/theme.h"
#include "platform/win32/win_text.h"

namespace tftpcfg {

struct FieldControl::Theme {
  UniqueTheme border;  // the "Edit" class: the field's frame looks like an edit box's
};

KeyModifiers ModifiersFor(UINT msg, LPARAM lParam) {
  KeyModifiers m;
  m.shift = GetKeyState(VK_SHIFT) < 0;
  m.ctrl = GetKeyState(VK_CONTROL) < 0;
  m.alt = msg == WM_SYSKEYDOWN ? (lParam & (1 << 29)) != 0 : GetKeyState(VK_MENU) < 0;
  return m;
}

bool IsTextChangingKey(WPARAM vk, const KeyModifiers& modifiers) {
  return vk == VK_DELETE || (vk == VK_INSERT && modifiers.shift && !modifiers.ctrl);
}

bool FocusMovesWithinWindow(HWND field, HWND to) {
  if (to == nullptr || to == field || IsChild(field, to)) return false;
  return GetAncestor(to, GA_ROOT) == GetAncestor(field, GA_ROOT);
}

namespace {

// Whether a message on its way to a read-only EDIT would change its text:
// typed text, Backspace, the clipboard and undo commands (as keys, characters
// or the messages the EDIT's pop-up menu sends), Delete, Shift+Insert. The
// EDIT itself refuses most of them; not all EDITs refuse all of them.
bool ChangesEditText(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CHAR:
      switch (ClassifyChar(static_cast<char32_t>(wParam))) {
        case CharKind::Command:
          return ChangesText(CommandForChar(static_cast<char32_t>(wParam)));
        case CharKind::Backspace:
        case CharKind::Printable:
          return true;
        case CharKind::Other:
          return false;
      }
      return false;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      return IsTextChangingKey(wParam, ModifiersFor(msg, lParam));
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
      return true;
    default:
      return false;
  }
}

}  // namespace

std::string FieldWindow::Text() const {
  return GetWindowTextUtf8(hwnd_);
}

namespace {
// Why the field being created on this thread could not be made: the window
// procedure can only fail the creation, so the reason waits here for
// CreateFieldWindow, which raises it.
thread_local std::string tCreationFailure;
}  // namespace

HWND CreateFieldWindow(const wchar_t* className, HWND parent, int id, const RECT& rect,
                       DWORD extraStyle, const void* params) {
  // The dialog manager never stops on a control parent itself, only on tab
  // stops inside it: a field that is a tab stop of its own must not be one.
  const DWORD controlParent = (extraStyle & WS_TABSTOP) ? 0 : WS_EX_CONTROLPARENT;
  WNDCLASSEXW registered{};
  registered.cbSize = sizeof registered;
  if (!GetClassInfoExW(GetModuleHandleW(nullptr), className, &registered))
    throw FatalError(
        "An input field could not be created: its window class is not registered "
        "(RegisterFieldClasses is called at start-up).");
  tCreationFailure.clear();
  const HWND hwnd = CreateWindowExW(controlParent | WS_EX_CLIENTEDGE, className, L"",
                                    WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | extraStyle, rect.left,
                                    rect.top, rect.right - rect.left, rect.bottom - rect.top,
                                    parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                    GetModuleHandleW(nullptr), const_cast<void*>(params));
  if (hwnd == nullptr) {
    const std::string reason =
        tCreationFailure.empty() ? SystemErrorTextUtf8(GetLastError()) : tCreationFailure;
    throw FatalError("An input field could not be created" +
                     (reason.empty() ? std::string(".") : ": " + reason));
  }
  return hwnd;
}

FieldControl::FieldControl(HWND hwnd, const CREATESTRUCTW&)
    : hwnd_(hwnd), theme_(std::make_unique<Theme>()) {}

FieldControl::~FieldControl() {
  *alive_ = false;
}

void FieldControl::RegisterFieldClass(const wchar_t* className, WNDPROC proc) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(instance, className, &wc)) return;
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = proc;
  wc.cbWndExtra = sizeof(LONG_PTR);  // the state object's address
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_IBEAM);
  wc.lpszClassName = className;
  if (!RegisterClassExW(&wc))
    throw FatalError("An input field's window class could not be registered.");
}

LRESULT FieldControl::Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, Factory make) {
  auto* self = reinterpret_cast<FieldControl*>(GetWindowLongPtrW(hwnd, 0));
  if (msg == WM_NCCREATE) {
    // Only the system's, once: one sent later to a field that exists (or
    // without its CREATESTRUCT) changes nothing.
    if (self != nullptr || lParam == 0) return self != nullptr;
    // A field that cannot be made fails its window's creation; the window
    // that creates it reports that.
    try {
      std::unique_ptr<FieldControl> made = make(hwnd, *reinterpret_cast<CREATESTRUCTW*>(lParam));
      SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(made.release()));
    } catch (const std::exception& e) {
      tCreationFailure = e.what();
      return FALSE;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  if (self == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, 0, 0);
    const std::unique_ptr<FieldControl> owned(self);  // the state goes with its window
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  if (msg == WM_CREATE) {
    if (self->created_) return 0;  // a second one, sent: the children exist
    try {
      return self->Message(msg, wParam, lParam);
    } catch (const std::exception& e) {
      tCreationFailure = e.what();
      return -1;  // likewise: the window is not created
    }
  }
  // A text asked for without a buffer (for every field, whichever answers it).
  if (msg == WM_GETTEXT && (wParam == 0 || lParam == 0)) return 0;
  return Guarded(hwnd, 0, [&] { return self->Message(msg, wParam, lParam); });
}

LRESULT CALLBACK FieldControl::EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR self) {
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, &EditProc, id);
    return DefSubclassProc(hwnd, msg, wParam, lParam);
  }
  return Guarded(hwnd, 0, [&] {
    return reinterpret_cast<FieldControl*>(self)->ChildMessage(hwnd, msg, wParam, lParam);
  });
}

LRESULT FieldControl::CallChild(HWND child, UINT msg, WPARAM wParam, LPARAM lParam) const {
  // The EDIT's own read-only state is the one in force (see EditReadOnly).
  if ((GetWindowLongPtrW(child, GWL_STYLE) & ES_READONLY) != 0 &&
      ChangesEditText(msg, wParam, lParam))
    return 0;
  return DefSubclassProc(child, msg, wParam, lParam);
}

LRESULT FieldControl::ChildMessage(HWND child, UINT msg, WPARAM wParam, LPARAM lParam) {
  return CallChild(child, msg, wParam, lParam);
}

HWND FieldControl::AddEdit(DWORD style, const wchar_t* text) {
  const Silence silence(*this);  // the EDIT's first text is the field's own writing
  const auto id = static_cast<INT_PTR>(edits_.size() + 1);
  const DWORD disabled = IsWindowEnabled(hwnd_) ? 0 : WS_DISABLED;
  const DWORD readOnly = readOnly_ ? ES_READONLY : 0;
  const HWND edit = CreateWindowExW(
      0, WC_EDITW, text, WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | style | disabled | readOnly, 0, 0,
      0, 0, hwnd_, reinterpret_cast<HMENU>(id), GetModuleHandleW(nullptr), nullptr);
  if (edit == nullptr) throw FatalError("its text box could not be created.");
  SetWindowSubclass(edit, &EditProc, static_cast<UINT_PTR>(id), reinterpret_cast<DWORD_PTR>(this));
  edits_.push_back(edit);
  SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
               MAKELPARAM(EC_USEFONTINFO, EC_USEFONTINFO));
  return edit;
}

void FieldControl::PlaceChild(HWND child, const RECT& rect) const {
  RECT now{};
  GetWindowRect(child, &now);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&now), 2);
  if (EqualRect(&now, &rect)) return;
  SetWindowPos(child, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

bool FieldControl::Notify(WORD code) {
  if (Silent()) return true;
  const std::shared_ptr<bool> alive = alive_;
  const HWND self = hwnd_;
  const HWND parent = GetParent(self);
  if (parent != nullptr)
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(self), code),
                 reinterpret_cast<LPARAM>(self));
  return *alive;
}

RECT FieldControl::TextLine(int left, int right) const {
  RECT client{};
  GetClientRect(hwnd_, &client);
  const int line = LineHeight();
  const int height = line > 0 && line < client.bottom ? line : client.bottom;
  const int top = (client.bottom - height) / 2;
  return RECT{left, top, right, top + height};
}

RECT FieldControl::TextBoxLine(int right) const {
  RECT client{};
  GetClientRect(hwnd_, &client);
  // An edit box keeps its text one pixel inside its sunken edge, at any DPI.
  constexpr int kEdgeGap = 1;
  return TextLine(kEdgeGap,
                  std::max(kEdgeGap, std::min(right, static_cast<int>(client.right) - kEdgeGap)));
}

bool FieldControl::SelectAllOnCtrlA(HWND edit, WPARAM ch) {
  if (ch != 0x01) return false;
  SendMessageW(edit, EM_SETSEL, 0, -1);
  return true;
}

void FieldControl::TrackMouseLeave() {
  if (trackingLeave_) return;
  TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd_, 0};
  trackingLeave_ = TrackMouseEvent(&tme) != FALSE;
}

void FieldControl::ApplyEditReadOnly() const {
  for (size_t i = 0; i < edits_.size(); ++i)
    SendMessageW(edits_[i], EM_SETREADONLY, EditReadOnly(i) ? TRUE : FALSE, 0);
}

// The system's colours are read each time: a switch to a high contrast theme
// (or any colour change) shows at the next paint, and the brushes of
// GetSysColorBrush follow the colours too.
COLORREF FieldControl::BackgroundColor() const {
  if (color_ != kFieldSystemColor) return color_;
  return GetSysColor(readOnly_ ? COLOR_BTNFACE : COLOR_WINDOW);
}

HBRUSH FieldControl::BackgroundBrush() const {
  if (color_ != kFieldSystemColor) return brush_.get();
  return GetSysColorBrush(readOnly_ ? COLOR_BTNFACE : COLOR_WINDOW);
}

COLORREF FieldControl::TextColor() const {
  if (!IsWindowEnabled(hwnd_)) return GetSysColor(COLOR_GRAYTEXT);
  return GetSysColor(readOnly_ ? COLOR_BTNTEXT : COLOR_WINDOWTEXT);
}

LRESULT FieldControl::SetColor(COLORREF color) {
  const COLORREF old = color_;
  UniqueBrush brush;
  if (color != kFieldSystemColor) {
    brush.reset(CreateSolidBrush(color));
    if (!brush) return static_cast<LRESULT>(old);  // keeps the colour it has
  }
  color_ = color;
  brush_ = std::move(brush);
  InvalidateRect(hwnd_, nullptr, TRUE);
  for (HWND edit : edits_) InvalidateRect(edit, nullptr, TRUE);
  return static_cast<LRESULT>(old);
}

void FieldControl::SetAccessibleNames(const wchar_t* name) const {
  const std::wstring text = name;
  tftpcfg::SetAccessibleName(hwnd_, text);
  for (size_t i = 0; i < edits_.size(); ++i)
    tftpcfg::SetAccessibleName(edits_[i], text, EditDescription(i));
}

void FieldControl::SetFont(HFONT font) {
  font_ = font;
  lineHeight_ = FontMetrics(font).tmHeight;
  for (HWND edit : edits_) {
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                 MAKELPARAM(EC_USEFONTINFO, EC_USEFONTINFO));
  }
}

void FieldControl::OpenTheme() {
  theme_->border = OpenThemeIfActive(hwnd_, L"Edit");
}

void FieldControl::PaintBorder() const {
  const WholeWindowDC dc(hwnd_);
  if (!dc) return;
  RECT window{};
  GetWindowRect(hwnd_, &window);
  OffsetRect(&window, -window.left, -window.top);
  // Only the border: the client area belongs to the field.
  RECT inner = window;
  // The client edge the system draws, at the window's own DPI.
  const UINT dpi = WindowDpi(hwnd_);
  InflateRect(&inner, -SystemMetricForDpi(SM_CXEDGE, dpi), -SystemMetricForDpi(SM_CYEDGE, dpi));
  ExcludeClipRect(dc.get(), inner.left, inner.top, inner.right, inner.bottom);
  const HWND focus = GetFocus();
  const bool focused = focus != nullptr && IsChild(hwnd_, focus);
  const int state = !IsWindowEnabled(hwnd_) ? EPSN_DISABLED : focused ? EPSN_FOCUSED : EPSN_NORMAL;
  const HTHEME theme = theme_->border.get();
  if (uxtheme::IsThemeBackgroundPartiallyTransparent(theme, EP_EDITBORDER_NOSCROLL, state))
    uxtheme::DrawThemeParentBackground(hwnd_, dc.get(), &window);
  uxtheme::DrawThemeBackground(theme, dc.get(), EP_EDITBORDER_NOSCROLL, state, &window, nullptr);
}

LRESULT FieldControl::Message(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE:
      // The theme is there before the frame is first drawn; the WM_SIZE that
      // follows WM_CREATE places the children.
      OpenTheme();
      font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));  // until WM_SETFONT
      lineHeight_ = FontMetrics(font_).tmHeight;
      created_ = true;
      CreateChildren();
      return 0;
    case WM_SETFONT:
      SetFont(reinterpret_cast<HFONT>(wParam));
      Layout();
      if (LOWORD(lParam)) InvalidateRect(hwnd_, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_SETFOCUS:
      if (const HWND target = FocusTarget()) SetFocus(target);
      return 0;
    case WM_SIZE:
    case kWmDpiChangedAfterParent:
      Layout();
      InvalidateRect(hwnd_, nullptr, TRUE);
      return 0;
    case WM_ENABLE:
      // The children follow the field, so they also look disabled.
      for (HWND edit : edits_) EnableWindow(edit, static_cast<BOOL>(wParam));
      RedrawWindow(hwnd_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
      return 0;
    case WM_NCPAINT:
      if (!theme_->border) break;
      PaintBorder();
      return 0;
    case WM_THEMECHANGED:
      OpenTheme();
      RedrawWindow(hwnd_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
      break;
    case WM_COMMAND: {
      // An EDIT taking or losing the focus changes how the frame looks.
      const WORD code = HIWORD(wParam);
      if (code == EN_SETFOCUS || code == EN_KILLFOCUS)
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
      return 0;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
      // A read-only EDIT asks with WM_CTLCOLORSTATIC; a disabled field keeps
      // the system's look.
      if (!IsWindowEnabled(hwnd_) || GetParent(reinterpret_cast<HWND>(lParam)) != hwnd_) break;
      const auto dc = reinterpret_cast<HDC>(wParam);
      SetBkColor(dc, BackgroundColor());
      SetTextColor(dc, TextColor());
      return reinterpret_cast<LRESULT>(BackgroundBrush());
    }
    case WM_ERASEBKGND: {
      RECT rc{};
      GetClientRect(hwnd_, &rc);
      FillRect(reinterpret_cast<HDC>(wParam), &rc,
               IsWindowEnabled(hwnd_) ? BackgroundBrush() : GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    case WM_PAINT: {
      const PaintDC dc(hwnd_);
      if (dc) Paint(dc.get());
      return 0;
    }
    case WM_LBUTTONDOWN:
      // A click beside the text line, inside the field, goes to the text.
      if (const HWND target = FocusTarget()) SetFocus(target);
      return 0;
    case FM_SETBKCOLOR:
      return SetColor(static_cast<COLORREF>(wParam));
    case FM_GETBKCOLOR:
      return static_cast<LRESULT>(BackgroundColor());
    case FM_GETEDIT:
      return reinterpret_cast<LRESULT>(EditAt(static_cast<size_t>(wParam)));
    case EM_SETREADONLY:
      readOnly_ = wParam != 0;
      // The EDITs' own read-only state refuses editing, from the keyboard and
      // their pop-up menus alike, and greys the menus' items.
      ApplyEditReadOnly();
      ReadOnlyChanged();
      InvalidateRect(hwnd_, nullptr, TRUE);  // the colours of the state
      for (HWND edit : edits_) InvalidateRect(edit, nullptr, TRUE);
      return TRUE;
    case FM_GETREADONLY:
      return readOnly_;
    case FM_SETACCESSIBLENAME:
      if (lParam == 0) return FALSE;
      SetAccessibleNames(reinterpret_cast<const wchar_t*>(lParam));
      return TRUE;
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == hwnd_) {
        POINT pt{};
        GetCursorPos(&pt);
        ScreenToClient(hwnd_, &pt);
        if (const HCURSOR cursor = CursorAt(pt)) {
          SetCursor(cursor);
          return TRUE;
        }
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

}  // namespace tftpcfg
