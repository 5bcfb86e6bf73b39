#pragma once
// Harness for control tests: a top-level host window that records, in order,
// the WM_COMMAND notifications its child controls send; a dialog built with
// CreateDialogIndirectParamW (OK and Cancel buttons) whose keyboard messages go
// through IsDialogMessage, for the standard dialog keys; message pumping, the
// clipboard, selections, child rectangles and modifier keys.

#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/dialog_template.h"

namespace tftpcfg::test {

struct Notification {
  int id = 0;
  WORD code = 0;
  HWND from = nullptr;
  DWORD tick = 0;  // GetTickCount when it arrived
};

// Offered each message before it is translated and dispatched; true when it
// handled the message (a window's keyboard handling, for instance).
using PreTranslateFn = std::function<bool(MSG&)>;

// Dispatches every message waiting for this thread.
inline void Pump(const PreTranslateFn& preTranslate = {}) {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (preTranslate && preTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Dispatches messages for about `ms` milliseconds.
inline void PumpFor(DWORD ms, const PreTranslateFn& preTranslate = {}) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    Pump(preTranslate);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  Pump(preTranslate);
}

// Puts text on the clipboard; false when the clipboard cannot be opened.
inline bool SetClipboardUtf16(const std::wstring& text) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  const HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes);
  bool ok = false;
  if (mem != nullptr) {
    std::memcpy(GlobalLock(mem), text.c_str(), bytes);
    GlobalUnlock(mem);
    ok = SetClipboardData(CF_UNICODETEXT, mem) != nullptr;
    if (!ok) GlobalFree(mem);
  }
  CloseClipboard();
  return ok;
}

inline std::wstring ClipboardUtf16() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return text;
  if (const HANDLE mem = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* p = static_cast<const wchar_t*>(GlobalLock(mem))) text = p;
    GlobalUnlock(mem);
  }
  CloseClipboard();
  return text;
}

// The selection of an EDIT as (start, end).
inline std::pair<DWORD, DWORD> Selection(HWND edit) {
  DWORD start = 0, end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {start, end};
}

// A child's rectangle in its parent's client coordinates.
inline RECT RectIn(HWND parent, HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// A check box's or radio button's tick, and a list's selected item (-1: none).
inline bool Checked(HWND button) {
  return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
inline int ComboIndex(HWND list) {
  return static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
}

// A move to a monitor of another DPI as the system announces it, with the
// window's rectangle moved by (dx, dy) as the suggested place; returns it.
inline RECT SendDpiChangeMovedBy(HWND hwnd, UINT dpi, int dx = 37, int dy = 23) {
  RECT suggested{};
  GetWindowRect(hwnd, &suggested);
  OffsetRect(&suggested, dx, dy);
  SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  return suggested;
}

// Whether a window took a suggested place, with an outer size that fits its
// client area in the frame the system draws for it; empty when it did, else
// what differs.
inline std::string PlacedAt(HWND hwnd, const RECT& suggested) {
  RECT now{};
  RECT client{};
  GetWindowRect(hwnd, &now);
  GetClientRect(hwnd, &client);
  AdjustWindowRectEx(&client, static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
  std::string differs;
  if (now.left != suggested.left || now.top != suggested.top)
    differs += "at " + std::to_string(now.left) + "," + std::to_string(now.top) + ", suggested " +
               std::to_string(suggested.left) + "," + std::to_string(suggested.top) + "; ";
  if (now.right - now.left != client.right - client.left ||
      now.bottom - now.top != client.bottom - client.top)
    differs += "the outer size does not fit the client area";
  return differs;
}

// Holds a modifier key down (or releases it) in this thread's keyboard state,
// which GetKeyState and the dialog manager read.
inline void SetKeyDown(int vk, bool down) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[vk] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

class NotifyHost {
 public:
  explicit NotifyHost(int width = 420, int height = 240, const wchar_t* title = L"Field test") {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = L"TftpcfgTestHost";
    RegisterClassExW(&wc);  // fails harmlessly when registered already
    hwnd_ = CreateWindowExW(0, L"TftpcfgTestHost", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                            width, height, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SetForegroundWindow(hwnd_);
    Pump();
  }
  NotifyHost(const NotifyHost&) = delete;
  NotifyHost& operator=(const NotifyHost&) = delete;
  ~NotifyHost() {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
    Pump();
  }

  HWND Handle() const { return hwnd_; }
  HFONT font() const { return font_; }

  std::vector<Notification> notes;
  // Called for each notification after it is recorded.
  std::function<void(const Notification&)> onNotify;

  // The codes that the control with this id sent, in order.
  std::vector<WORD> Codes(int id) const {
    std::vector<WORD> codes;
    for (const Notification& n : notes)
      if (n.id == id) codes.push_back(n.code);
    return codes;
  }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
      auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<NotifyHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self != nullptr && msg == WM_COMMAND && lParam != 0) {
      const Notification n{LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam),
                           GetTickCount()};
      self->notes.push_back(n);
      if (self->onNotify) self->onNotify(n);
      return 0;
    }
    if (msg == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }

  HWND hwnd_ = nullptr;
  HFONT font_ = nullptr;
};

// A modeless dialog 300 x 120 dialog units with a default OK button (IDOK)
// and a Cancel button (IDCANCEL). Controls added to it are reached by Tab;
// Run pumps messages through IsDialogMessage. Records the commands it gets.
class TestDialog {
 public:
  TestDialog() {
    const DialogTemplate tpl(WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_MODALFRAME,
                             WS_EX_CONTROLPARENT, L"");
    hwnd_ = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), tpl.get(), nullptr, Proc,
                                       reinterpret_cast<LPARAM>(this));
    SetForegroundWindow(hwnd_);
    Pump();
  }
  TestDialog(const TestDialog&) = delete;
  TestDialog& operator=(const TestDialog&) = delete;
  ~TestDialog() {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
    Pump();
  }

  HWND Handle() const { return hwnd_; }
  std::vector<Notification> notes;

  // Posts a key press to the focused window and lets the dialog manager see it.
  void PressKey(UINT vk) {
    const HWND focus = GetFocus();
    PostMessageW(focus, WM_KEYDOWN, vk, 1);
    PostMessageW(focus, WM_KEYUP, vk, 0xC0000001);
    Run();
  }
  // Dispatches waiting messages the way a dialog's message loop does.
  void Run() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (IsDialogMessageW(hwnd_, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  // The ids of the commands the dialog got (IDOK, IDCANCEL, ...) in order.
  std::vector<int> Commands() const {
    std::vector<int> ids;
    for (const Notification& n : notes)
      if (n.from == nullptr || n.code == BN_CLICKED) ids.push_back(n.id);
    return ids;
  }

 private:
  static INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
      SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
      SetWindowPos(hwnd, nullptr, 20, 20, 470, 230, SWP_NOZORDER);
      AddButton(hwnd, IDOK, L"OK", 270, BS_DEFPUSHBUTTON);
      AddButton(hwnd, IDCANCEL, L"Cancel", 360, BS_PUSHBUTTON);
      return TRUE;
    }
    auto* self = reinterpret_cast<TestDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (self != nullptr && msg == WM_COMMAND) {
      self->notes.push_back(
          {LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam), GetTickCount()});
      return TRUE;
    }
    return FALSE;
  }

  static void AddButton(HWND dialog, int id, const wchar_t* caption, int x, DWORD style) {
    const HWND button = CreateWindowExW(
        0, L"BUTTON", caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, x, 160, 75, 23, dialog,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
  }

  HWND hwnd_ = nullptr;
};

}  // namespace tftpcfg::test
