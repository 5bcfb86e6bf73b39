#pragma once
// The service controller's user-interface hooks: draining the message queue
// between its pauses, and its error box.

#include <windows.h>

#include <functional>
#include <string>

#include "platform/service_manager.h"

namespace tftpcfg {

class WinServiceUi final : public IServiceUi {
 public:
  // Offered each message before it is translated and dispatched; returns true
  // when it has handled the message (the program passes its dialog keyboard
  // handling here).
  using PreTranslate = std::function<bool(MSG&)>;

  WinServiceUi() = default;
  explicit WinServiceUi(PreTranslate preTranslate) : preTranslate_(std::move(preTranslate)) {}
  void SetPreTranslate(PreTranslate preTranslate) { preTranslate_ = std::move(preTranslate); }
  // The window that owns the error box (the main window), so that the box
  // stays in front of it; null: no owner.
  void SetOwner(HWND owner) { owner_ = owner; }

  // Drains the thread's queue. A WM_QUIT taken from it is posted again and ends
  // the drain, so the program's own message loop still sees it.
  void DispatchMessages() override;
  // The program's message dialog of the error kind, owned by the owner:
  // caption "Error", the error icon, one OK button that Enter and Esc both
  // answer, centred on the screen, the thread's windows disabled meanwhile.
  void ShowError(const std::string& text) override;

 private:
  PreTranslate preTranslate_;
  HWND owner_ = nullptr;
};

}  // namespace tftpcfg
