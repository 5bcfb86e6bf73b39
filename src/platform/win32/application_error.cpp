#include "platform/win32/application_error.h"

#include "platform/win32/win_text.h"

namespace tftpcfg {

void ShowApplicationError(HWND owner, const std::string& message) {
  MessageBoxW(owner, Widen(ApplicationErrorText(message)).c_str(), Widen(kApplicationTitle).c_str(),
              MB_OK | MB_ICONERROR);
}

}  // namespace tftpcfg
