#pragma once
// The base of the program's windows: a dialog-class window made from an
// in-memory template (so the dialog manager gives it the standard keyboard
// handling) and bound to its C++ object. The base owns the window handle
// (destroyed with the object unless the window went first), binds the object
// at WM_INITDIALOG, runs every message through one guarded dispatch, keeps
// the reason when building the window fails, and handles the DPI: the window's
// font at its own DPI, swapped on WM_DPICHANGED after the controls took the
// new one, the frame sized for the client area at the window's own DPI, the
// window placed where the system suggests, and the dialog manager's own
// rescaling turned off.

#include <windows.h>

#include <exception>
#include <string>

#include "platform/win32/dialog_template.h"
#include "platform/win32/win_handles.h"

namespace tftpcfg {

class DialogWindow {
 public:
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;
  virtual ~DialogWindow();

  HWND Handle() const { return window_.get(); }
  UINT Dpi() const { return dpi_; }
  HFONT Font() const { return font_.get(); }

 protected:
  DialogWindow() = default;

  // Creates the window, modeless, hidden unless the template says otherwise.
  // Raises FatalError with the reason when the window or what OnCreate builds
  // cannot be created; `what` names the window for a system refusal.
  void Create(HINSTANCE instance, const DialogTemplate& tpl, HWND owner, const char* what);
  // Runs the window as a modal dialog until EndDialog; its result, or -1 when
  // the window or what OnCreate builds could not be created.
  INT_PTR RunModal(HINSTANCE instance, const DialogTemplate& tpl, HWND owner);

  // Builds the controls at WM_INITDIALOG; the font at the window's DPI exists
  // already. May raise.
  virtual void OnCreate() = 0;
  // Every other message; the dialog-procedure result (FALSE: not handled).
  virtual INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
  // Lays the controls out at Dpi() and returns the client size they need.
  virtual SIZE Layout() = 0;
  // After a DPI change, before Layout: resources other than the font.
  virtual void OnDpiChanged() {}
  // An error that ended the handling of a message: shown in the application's
  // error box over the window.
  virtual void OnError(const std::exception& error);

  // A result for messages that return one through DWLP_MSGRESULT.
  INT_PTR Result(LRESULT result) const;
  // The outer size for a client area, with the frame the system draws for the
  // window at the DPI it gives the window.
  SIZE FrameSize(SIZE client) const;
  // Moves and sizes the window in one step.
  void Place(POINT topLeft, SIZE client) const;

 private:
  static INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  INT_PTR Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
  void Initialise(HWND hwnd);
  void HandleDpiChange(UINT dpi, const RECT* suggested);

  UniqueWindow window_;
  UINT dpi_ = 96;
  UniqueFont font_;
  bool modal_ = false;
  std::string creationError_;
};

}  // namespace tftpcfg
