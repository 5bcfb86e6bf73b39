#include "controls/field_window.h"

#include <vsstyle.h>

namespace tftpcfg {
UniqueTheme OpenThemeIfActive(HWND hwnd, const wchar_t* classList) {
  if (!uxtheme::IsAppThemed() || !uxtheme::IsThemeActive()) return UniqueTheme();
  return UniqueTheme(uxtheme::OpenThemeData(hwnd, classList));
}

bool ThemedBorder::Paint(HWND field, bool focused) const {
  if (!theme_) return false;
  const HDC dc = GetWindowDC(field);
  if (dc == nullptr) return false;
  RECT window{};
  GetWindowRect(field, &window);
  OffsetRect(&window, -window.left, -window.top);
  // Only the border: the client area belongs to the children.
  RECT inner = window;
  InflateRect(&inner, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
  ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
  const int state = !IsWindowEnabled(field) ? EPSN_DISABLED : focused ? EPSN_FOCUSED : EPSN_NORMAL;
  if (uxtheme::IsThemeBackgroundPartiallyTransparent(theme_.get(), EP_EDITBORDER_NOSCROLL, state))
    uxtheme::DrawThemeParentBackground(field, dc, &window);
  uxtheme::DrawThemeBackground(theme_.get(), dc, EP_EDITBORDER_NOSCROLL, state, &window, nullptr);
  ReleaseDC(field, dc);
  return true;
}

void RegisterFieldClass(const wchar_t* name, WNDPROC proc, HCURSOR cursor) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(instance, name, &wc)) return;
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = cursor;
  wc.lpszClassName = name;
  RegisterClassExW(&wc);
}

FieldFrame::FieldFrame() : color_(GetSysColor(COLOR_WINDOW)), brush_(CreateSolidBrush(color_)) {}

void FieldFrame::Attach(HWND field, HWND edit, HWND button) {
  field_ = field;
  edit_ = edit;
  button_ = button;
  border_.Open(field_);
  SetWindowPos(field_, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void FieldFrame::SetColor(COLORREF color) {
  color_ = color;
  brush_.reset(CreateSolidBrush(color));
  InvalidateRect(field_, nullptr, TRUE);
  InvalidateRect(edit_, nullptr, TRUE);
}

bool FieldFrame::Handle(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (msg) {
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wParam);
      if (edit_ != nullptr) SendMessageW(edit_, WM_SETFONT, wParam, lParam);
      return true;
    case WM_GETFONT:
      result = reinterpret_cast<LRESULT>(font_);
      return true;
    case WM_SETFOCUS:
      if (edit_ != nullptr) SetFocus(edit_);
      return true;
    case WM_NCPAINT:
      return border_.Paint(field_, edit_ != nullptr && GetFocus() == edit_);
    case WM_THEMECHANGED:
      border_.Open(field_);
      RedrawWindow(field_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
      return false;
    case WM_ENABLE:
      // The children follow the field, so they also look disabled.
      if (edit_ != nullptr) EnableWindow(edit_, static_cast<BOOL>(wParam));
      if (button_ != nullptr) EnableWindow(button_, static_cast<BOOL>(wParam));
      RedrawWindow(field_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
      return true;
    case WM_COMMAND:
      if (edit_ != nullptr && reinterpret_cast<HWND>(lParam) == edit_ &&
          (HIWORD(wParam) == EN_SETFOCUS || HIWORD(wParam) == EN_KILLFOCUS))
        RedrawWindow(field_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
      return false;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      // A read-only EDIT asks with WM_CTLCOLORSTATIC; a disabled one keeps the
      // system's look.
      if (reinterpret_cast<HWND>(lParam) != edit_ || !IsWindowEnabled(field_)) return false;
      SetBkColor(reinterpret_cast<HDC>(wParam), color_);
      SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
      result = reinterpret_cast<LRESULT>(brush_.get());
      return true;
    case WM_ERASEBKGND: {
      RECT rc{};
      GetClientRect(field_, &rc);
      FillRect(reinterpret_cast<HDC>(wParam), &rc,
               IsWindowEnabled(field_) ? brush_.get() : GetSysColorBrush(COLOR_BTNFACE));
      result = 1;
      return true;
    }
    default:
      return false;
  }
}

KeyModifiers ModifiersFor(UINT msg, LPARAM lParam) {
  KeyModifiers m;
  m.shift = GetKeyState(VK_SHIFT) < 0;
  m.ctrl = GetKeyState(VK_CONTROL) < 0;
  m.alt = msg == WM_SYSKEYDOWN ? (lParam & (1 << 29)) != 0 : GetKeyState(VK_MENU) < 0;
  return m;
}

bool IsTextChangingMessage(UINT msg, WPARAM wParam, const KeyModifiers& modifiers) {
  switch (msg) {
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
      return true;
    case WM_KEYDOWN:
      // Delete (with Shift: cut) and Shift+Insert (paste); Ctrl+Insert copies.
      return wParam == VK_DELETE || (wParam == VK_INSERT && modifiers.shift && !modifiers.ctrl);
    default:
      return false;
  }
}

bool FocusMovesWithinWindow(HWND field, HWND to) {
  if (to == nullptr || to == field || IsChild(field, to)) return false;
  return GetAncestor(to, GA_ROOT) == GetAncestor(field, GA_ROOT);
}

bool NotifyParent(HWND field, WORD code, const AliveToken& alive) {
  if (!*alive) return false;
  const HWND parent = GetParent(field);
  const int id = GetDlgCtrlID(field);
  if (parent != nullptr)
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(field));
  return *alive;
}

}  // namespace tftpcfg
