#pragma once
// Conversion between the program's UTF-8 text and single-byte text in the
// system's ANSI code page, used where text meets the registry, the service
// manager, the file system query and the help control.

#include <string>
#include <string_view>

namespace tftpcfg {

class IAnsiCodec {
 public:
  virtual ~IAnsiCodec() = default;
  // False when the text holds a character that the code page cannot represent
  // (or is not valid UTF-8); nothing is ever silently replaced.
  virtual bool ToAnsi(std::string_view utf8, std::string& ansi) const = 0;
  virtual std::string FromAnsi(std::string_view ansi) const = 0;
  // A short name of the code page for messages, such as "Windows-1252".
  virtual std::string CodePageName() const = 0;
};

}  // namespace tftpcfg
