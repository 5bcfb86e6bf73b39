#pragma once
// Pieces both input fields are built from: DPI scaling, window classes, the
// themed-drawing handle, keyboard modifiers, the read-only test for editing
// input, and the notifications to the parent with a guard against the parent
// destroying the field from its handler.

#include <windows.h>
#include <uxtheme.h>

#include <memory>

#include "platform/unique_handle.h"
#include "platform/win32/dpi.h"
#include "platform/win32/system_api.h"
#include "platform/win32/win_handles.h"

namespace tftpcfg {

struct ThemeTraits {
  using type = HTHEME;
  static constexpr type invalid() noexcept { return nullptr; }
  static void close(type h) noexcept { uxtheme::CloseThemeData(h); }
};
using UniqueTheme = UniqueHandle<ThemeTraits>;

// The theme data of a class list when visual styles are on for this window;
// none otherwise (then the classic drawing functions are used).
UniqueTheme OpenThemeIfActive(HWND hwnd, const wchar_t* classList);

// The sunken border of a field window (WS_EX_CLIENTEDGE) drawn as a themed
// edit border while visual styles are on, so the field looks like an EDIT.
class ThemedBorder {
 public:
  // Opens (or, after WM_THEMECHANGED, reopens) the theme for the field.
  void Open(HWND field) { theme_ = OpenThemeIfActive(field, L"Edit"); }
  // For WM_NCPAINT: true when it drew the border, false to leave it to
  // DefWindowProc (no theme).
  bool Paint(HWND field, bool focused) const;

 private:
  UniqueTheme theme_;
};

// What both input fields are made of around their EDIT: the font they pass on,
// the background colour of the text area and the themed border, with the
// handling of the field window's messages that concern only these.
class FieldFrame {
 public:
  FieldFrame();
  // The field window, its EDIT and its button window, once they exist.
  void Attach(HWND field, HWND edit, HWND button);
  void SetColor(COLORREF color);
  COLORREF Color() const { return color_; }
  // Handles WM_SETFONT, WM_GETFONT, WM_SETFOCUS, WM_NCPAINT, WM_THEMECHANGED,
  // WM_ENABLE, the EDIT's colour requests, WM_ERASEBKGND, and the EDIT's focus
  // notifications (which redraw the border). True with the message's result
  // when the field need do nothing else with it.
  bool Handle(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

 private:
  HWND field_ = nullptr;
  HWND edit_ = nullptr;
  HWND button_ = nullptr;
  HFONT font_ = nullptr;  // not owned: WM_SETFONT's caller keeps it
  COLORREF color_;
  UniqueBrush brush_;
  ThemedBorder border_;
};

// Lengths scaled from 96-DPI design units to the window's DPI, and a system
// metric at it.
inline int ScaleForWindow(HWND hwnd, int length96) {
  return Scale(length96, WindowDpi(hwnd));
}
inline int SystemMetricForWindow(HWND hwnd, int index) {
  return SystemMetricForDpi(index, WindowDpi(hwnd));
}

// Registers a window class of this module unless it exists already.
void RegisterFieldClass(const wchar_t* name, WNDPROC proc, HCURSOR cursor);

struct KeyModifiers {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};
// The modifier keys as the thread's keyboard state has them; for a
// WM_SYSKEYDOWN, Alt comes from the message itself.
KeyModifiers ModifiersFor(UINT msg, LPARAM lParam);

// Whether a message to an EDIT would change its text: the clipboard, clear and
// undo messages, and Delete and Shift+Insert. (Typed characters are sorted
// with edit_command_model.h.)
bool IsTextChangingMessage(UINT msg, WPARAM wParam, const KeyModifiers& modifiers);

// Whether the focus moving from `field` (or a child of it) to `to` goes to
// another control of the same window, which is when a field tidies up.
bool FocusMovesWithinWindow(HWND field, HWND to);

// Set false when a field is destroyed. A handler that notifies the parent,
// whose handler might destroy the field, checks it before going on.
using AliveToken = std::shared_ptr<bool>;

// Sends WM_COMMAND(MAKEWPARAM(id, code), field) to the field's parent. Returns
// whether the field is still alive afterwards.
bool NotifyParent(HWND field, WORD code, const AliveToken& alive);

// The object a field window owns: stored at WM_NCCREATE, deleted at
// WM_NCDESTROY once Create handed it over.
template <typename T>
T* FieldFromWindow(HWND hwnd, UINT msg, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    return self;
  }
  return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// Creates the field window of class className for self, hands the object over
// to the window and creates its children. Null when anything fails (the
// window, and with it the object, is then gone).
template <typename T>
T* CreateFieldWindow(std::unique_ptr<T> self, const wchar_t* className, HWND parent, int id,
                     const RECT& rect) {
  const HWND hwnd = CreateWindowExW(WS_EX_CONTROLPARENT | WS_EX_CLIENTEDGE, className, L"",
                                    WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect.left, rect.top,
                                    rect.right - rect.left, rect.bottom - rect.top, parent,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                    GetModuleHandleW(nullptr), self.get());
  if (hwnd == nullptr) return nullptr;
  T* field = self.release();
  field->ownedByWindow_ = true;
  if (!field->CreateChildren()) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  return field;
}

// The field object of a window of class className, or null for any other window.
template <typename T>
T* FieldFromHandle(HWND hwnd, const wchar_t* className) {
  wchar_t name[32] = {};
  if (hwnd == nullptr || GetClassNameW(hwnd, name, 32) == 0 || lstrcmpW(name, className) != 0)
    return nullptr;
  return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// The window procedure of a field window: ties the object to its window,
// hands every message to the object's FieldMessage, and frees the object with
// its window when the window owns it. No exception leaves it.
template <typename T>
LRESULT FieldWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  T* self = FieldFromWindow<T>(hwnd, msg, lParam);
  if (self == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
  if (msg == WM_NCCREATE) self->hwnd_ = hwnd;
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    const std::unique_ptr<T> owned(self->ownedByWindow_ ? self : nullptr);
    self->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  try {
    return self->FieldMessage(msg, wParam, lParam);
  } catch (...) {
    // Nothing a field does should throw; if it does, the window goes on.
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

}  // namespace tftpcfg
