#include "ui/message_boxes.h"

#include "platform/win32/win_text.h"
#include "toolkit/message_dialog.h"

namespace tftpcfg {

void WindowMessageBoxes::Error(HWND owner, const std::string& text) {
  ShowMessageDialog(owner, MessageKind::Error, text);
}

void WindowMessageBoxes::Information(HWND owner, const std::string& text) {
  ShowMessageDialog(owner, MessageKind::Information, text);
}

bool WindowMessageBoxes::Confirm(HWND owner, const std::string& text) {
  return ShowMessageDialog(owner, MessageKind::Confirmation, text) == MessageResult::Yes;
}

RestartAnswer WindowMessageBoxes::AskRestart(HWND owner) {
  const int answer =
      MessageBoxW(owner, Widen(kRestartQuestion).c_str(), Widen(kRestartQuestionCaption).c_str(),
                  MB_YESNOCANCEL | MB_ICONWARNING);
  if (answer == IDYES) return RestartAnswer::Yes;
  if (answer == IDNO) return RestartAnswer::No;
  return RestartAnswer::Cancel;
}

void WindowMessageBoxes::ApplicationError(HWND owner, const std::string& message) {
  ShowApplicationError(owner, message);
}

}  // namespace tftpcfg
