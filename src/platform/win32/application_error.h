#pragma once
// The application's error box: a system message box with the application's
// title as caption, the error icon and an OK button, for an error that ended
// what a window was doing. Window procedures catch at their dispatch and show
// the error here; the main window shows it through its message-box interface,
// which tests script.

#include <windows.h>

#include <exception>
#include <string>

#include "base/error_text.h"

namespace tftpcfg {

inline constexpr char kApplicationTitle[] = "Ostrel TFTP Service Configuration";

void ShowApplicationError(HWND owner, const std::string& message);

// Runs what a window procedure does with a message. An error that reaches it
// ends that handling and is shown in the application's error box, over the
// window's top-level window; the message then gets `failed` as its result.
template <typename Handle>
LRESULT Guarded(HWND hwnd, LRESULT failed, Handle&& handle) noexcept {
  try {
    return handle();
  } catch (const std::exception& e) {
    ShowApplicationError(GetAncestor(hwnd, GA_ROOT), e.what());
  }
  return failed;
}

}  // namespace tftpcfg
