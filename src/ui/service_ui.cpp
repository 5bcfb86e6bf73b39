#include "ui/service_ui.h"

#include "toolkit/message_dialog.h"

namespace tftpcfg {

void WinServiceUi::DispatchMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Left for the program's message loop, which ends on it.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (preTranslate_ && preTranslate_(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void WinServiceUi::ShowError(const std::string& text) {
  ShowMessageDialog(owner_, MessageKind::Error, text);
}

}  // namespace tftpcfg
