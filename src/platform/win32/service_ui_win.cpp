#include "platform/win32/service_win.h"

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
  // With only an OK button, Esc closes the box as well as Enter does; no owner
  // window, so the box is centred on the screen.
  MessageBoxW(nullptr, Widen(text).c_str(), L"Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

}  // namespace tftpcfg
