#pragma once
// Tidying of the system's error texts: the system ends them with a full stop and
// a line break; messages that quote them supply their own punctuation.

#include <string>

namespace tftpcfg {

// Removes every trailing character that is a blank, a control character
// (codes 0 to 32) or a full stop.
inline std::string TrimErrorText(std::string text) {
  while (!text.empty()) {
    const auto c = static_cast<unsigned char>(text.back());
    if (c > 32 && c != '.') break;
    text.pop_back();
  }
  return text;
}

}  // namespace tftpcfg
