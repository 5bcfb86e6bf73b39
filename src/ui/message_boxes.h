#pragma once
// The message boxes of the configuration window behind one small interface,
// so window tests can script the answers. The standard dialogs are the
// program's own (ui/message_dialog.h); the restart question and the
// application's error box are system message boxes.

#include <windows.h>

#include <string>

#include "platform/win32/application_error.h"

namespace tftpcfg {

enum class RestartAnswer { Yes, No, Cancel };

class IMessageBoxes {
 public:
  virtual ~IMessageBoxes() = default;
  // Standard message dialogs: modal, centred on the screen, caption and icon
  // after their kind ("Error", "Information"), one OK button (Enter and Esc).
  virtual void Error(HWND owner, const std::string& text) = 0;
  virtual void Information(HWND owner, const std::string& text) = 0;
  // "Confirm" with the question icon, "&Yes" (default) and "&No" (Esc).
  // True only for Yes; the close box counts as neither.
  virtual bool Confirm(HWND owner, const std::string& text) = 0;
  // The restart question: a system message box owned by the window, warning
  // icon, Yes (default), No and Cancel (Esc and the close box).
  virtual RestartAnswer AskRestart(HWND owner) = 0;
  // The application's error box for an error that ended an event handler:
  // the application title as caption, error icon, OK.
  virtual void ApplicationError(HWND owner, const std::string& message) = 0;
};

// The dialogs as the program shows them.
class WindowMessageBoxes final : public IMessageBoxes {
 public:
  void Error(HWND owner, const std::string& text) override;
  void Information(HWND owner, const std::string& text) override;
  bool Confirm(HWND owner, const std::string& text) override;
  RestartAnswer AskRestart(HWND owner) override;
  void ApplicationError(HWND owner, const std::string& message) override;
};

inline constexpr char kRestartQuestion[] =
    "It is necessary to restart the service in order to apply new configuration. Restart the TFTP "
    "service now?";
inline constexpr char kRestartQuestionCaption[] = "Confirmation";

}  // namespace tftpcfg
