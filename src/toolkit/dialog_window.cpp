#include "toolkit/dialog_window.h"

#include "base/fatal_error.h"
#include "platform/win32/application_error.h"
#include "platform/win32/dpi.h"
#include "platform/win32/win_text.h"
#include "toolkit/layout.h"

namespace tftpcfg {

DialogWindow::~DialogWindow() {
  // The object is going: no message may reach it any more, also not those
  // that destroying the window sends.
  if (window_) SetWindowLongPtrW(window_.get(), DWLP_USER, 0);
}

void DialogWindow::Create(HINSTANCE instance, const DialogTemplate& tpl, HWND owner,
                          const char* what) {
  creationError_.clear();
  const HWND hwnd = CreateDialogIndirectParamW(instance, tpl.get(), owner, &DialogWindow::Proc,
                                               reinterpret_cast<LPARAM>(this));
  if (!creationError_.empty()) {
    if (window_) SetWindowLongPtrW(window_.get(), DWLP_USER, 0);
    window_.reset();
    throw FatalError(creationError_);
  }
  if (hwnd == nullptr) {
    std::string reason = SystemErrorTextUtf8(GetLastError());
    throw FatalError(std::string(what) + " could not be created" +
                     (reason.empty() ? "." : ": " + reason + "."));
  }
}

INT_PTR DialogWindow::RunModal(HINSTANCE instance, const DialogTemplate& tpl, HWND owner) {
  creationError_.clear();
  modal_ = true;
  const INT_PTR result = DialogBoxIndirectParamW(instance, tpl.get(), owner, &DialogWindow::Proc,
                                                 reinterpret_cast<LPARAM>(this));
  modal_ = false;
  return creationError_.empty() ? result : -1;
}

INT_PTR CALLBACK DialogWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
  auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (self == nullptr) return FALSE;
  if (msg == WM_INITDIALOG) self->Initialise(hwnd);
  try {
    return self->Dispatch(msg, wParam, lParam);
  } catch (const std::exception& e) {
    // An error ends what the window was doing and is shown; the window goes on.
    self->OnError(e);
  }
  return FALSE;
}

void DialogWindow::Initialise(HWND hwnd) {
  window_.reset(hwnd);
  DisableSystemDialogScaling(hwnd);
  dpi_ = ClampDpi(WindowDpi(hwnd));
  font_ = CreateUiFont(dpi_);
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
}

INT_PTR DialogWindow::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      try {
        OnCreate();
      } catch (const std::exception& e) {
        // Kept for the creator, which raises it with its reason.
        creationError_ = e.what();
        if (modal_) EndDialog(window_.get(), -1);
      }
      return FALSE;  // the window places the focus itself
    case WM_DPICHANGED:
      // Any process of the same user can send this: no DPI is taken unchecked
      // and no rectangle read without one.
      if (HIWORD(wParam) != 0) HandleDpiChange(HIWORD(wParam), reinterpret_cast<RECT*>(lParam));
      return TRUE;
    case WM_NCDESTROY: {
      // The window is gone (closed by itself, or by the dialog manager at the
      // end of a modal run): the object no longer owns it.
      const HWND gone = window_.release();
      SetWindowLongPtrW(gone, DWLP_USER, 0);
      return FALSE;
    }
    default:
      return OnMessage(msg, wParam, lParam);
  }
}

void DialogWindow::HandleDpiChange(UINT dpi, const RECT* suggested) {
  dpi = ClampDpi(dpi);
  if (dpi != dpi_) {
    dpi_ = dpi;
    // The controls switch to the new font before the old one is deleted.
    UniqueFont font = CreateUiFont(dpi_);
    SetFontRecursive(window_.get(), font.get());
    font_ = std::move(font);
    OnDpiChanged();
  }
  const SIZE client = Layout();
  // Where the system suggests, at the size the layout needs there: one move,
  // so a window dragged between monitors does not jump.
  RECT now{};
  GetWindowRect(window_.get(), &now);
  Place(suggested != nullptr ? POINT{suggested->left, suggested->top} : POINT{now.left, now.top},
        client);
  InvalidateRect(window_.get(), nullptr, TRUE);
}

void DialogWindow::OnError(const std::exception& error) {
  ShowApplicationError(GetAncestor(window_.get(), GA_ROOT), error.what());
}

INT_PTR DialogWindow::Result(LRESULT result) const {
  SetWindowLongPtrW(window_.get(), DWLP_MSGRESULT, result);
  return TRUE;
}

SIZE DialogWindow::FrameSize(SIZE client) const {
  // The caption and borders are drawn at the DPI the system gives the window
  // (by the time WM_DPICHANGED arrives, already the new one).
  return FrameSizeForDpi(client, static_cast<DWORD>(GetWindowLongPtrW(window_.get(), GWL_STYLE)),
                         static_cast<DWORD>(GetWindowLongPtrW(window_.get(), GWL_EXSTYLE)),
                         WindowDpi(window_.get()));
}

void DialogWindow::Place(POINT topLeft, SIZE client) const {
  const SIZE frame = FrameSize(client);
  SetWindowPos(window_.get(), nullptr, topLeft.x, topLeft.y, frame.cx, frame.cy,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace tftpcfg
