#include "ui/dialogs.h"

#include "platform/win32/win_text.h"

namespace tftpcfg {
namespace {

// Standard dialogs have no owner and are task-modal: the system then centres
// them on the screen, and every window of the program waits for them.
int Show(const std::string& text, const char* caption, UINT flags) {
  return MessageBoxW(nullptr, Widen(text).c_str(), Widen(caption).c_str(),
                     flags | MB_TASKMODAL | MB_SETFOREGROUND);
}

}  // namespace

std::string ApplicationErrorText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

void WinDialogs::Error(HWND, const std::string& text) {
  Show(text, "Error", MB_OK | MB_ICONERROR);
}

void WinDialogs::Information(HWND, const std::string& text) {
  Show(text, "Information", MB_OK | MB_ICONINFORMATION);
}

bool WinDialogs::Confirm(HWND, const std::string& text) {
  return Show(text, "Confirm", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

RestartAnswer WinDialogs::AskRestart(HWND owner) {
  const int answer =
      MessageBoxW(owner, Widen(kRestartQuestion).c_str(), Widen(kRestartQuestionCaption).c_str(),
                  MB_YESNOCANCEL | MB_ICONWARNING);
  if (answer == IDYES) return RestartAnswer::Yes;
  if (answer == IDNO) return RestartAnswer::No;
  return RestartAnswer::Cancel;
}

void WinDialogs::ApplicationError(HWND owner, const std::string& message) {
  MessageBoxW(owner, Widen(ApplicationErrorText(message)).c_str(), Widen(kApplicationTitle).c_str(),
              MB_OK | MB_ICONERROR);
}

}  // namespace tftpcfg
