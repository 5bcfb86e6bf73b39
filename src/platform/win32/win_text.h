#pragma once
// UTF-8 (inside the program) to UTF-16 (Unicode windows) and back, and the
// system's ANSI code page conversion.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/ansi_codec.h"

namespace tftpcfg {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// Text in the ANSI code page as UTF-16; nothing when it is not valid there
// (a lead byte without its trail byte).
std::optional<std::wstring> WidenAnsi(std::string_view ansi);

// The text of a window, as UTF-8.
std::string GetWindowTextUtf8(HWND hwnd);
void SetWindowTextUtf8(HWND hwnd, std::string_view text);

// Conversion to and from the ANSI code page of the system (CP_ACP).
class WinAnsiCodec final : public IAnsiCodec {
 public:
  bool ToAnsi(std::string_view utf8, std::string& ansi) const override;
  std::string FromAnsi(std::string_view ansi) const override;
  std::string CodePageName() const override;
};

// The system's text for an error code (FormatMessageA, trimmed of trailing
// blanks, control characters and full stops), as UTF-8; empty when the system
// has none.
std::string SystemErrorTextUtf8(DWORD code);

}  // namespace tftpcfg
