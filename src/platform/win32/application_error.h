#pragma once
// The application's error box: a system message box with the application's
// title as caption, the error icon and an OK button, for an error that ended
// what a window was doing. Window procedures catch at their dispatch and show
// the error here; the main window shows it through its message-box interface,
// which tests script.

#include <windows.h>

#include <string>

#include "platform/error_text.h"

namespace tftpcfg {

inline constexpr char kApplicationTitle[] = "Ostrel TFTP Service Configuration";

void ShowApplicationError(HWND owner, const std::string& message);

}  // namespace tftpcfg
