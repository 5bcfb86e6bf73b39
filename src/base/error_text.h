#pragma once
// Punctuation of error texts: the system ends its texts with a full stop and a
// line break, which messages that quote them replace with their own; the
// application's error box ends a message with one.

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

// The text of the application's error box: the message, followed by a full
// stop when its last character sorts after "." (so messages ending in a quote
// mark or a closing parenthesis get none).
inline std::string ApplicationErrorText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

}  // namespace tftpcfg
