#pragma once
// The error that lower layers raise with a message meant for the user. The
// window's event dispatch catches it in one place and shows the message in the
// application's error box.

#include <stdexcept>
#include <string>

namespace tftpcfg {

class AppError : public std::runtime_error {
 public:
  explicit AppError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace tftpcfg
