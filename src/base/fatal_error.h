#pragma once
// The error after which the program cannot go on as it should: a window, a
// control or a window class could not be created. The message says which and
// why; the program shows it and ends, or the window that needed it fails.

#include <stdexcept>
#include <string>

namespace tftpcfg {

class FatalError : public std::runtime_error {
 public:
  explicit FatalError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace tftpcfg
