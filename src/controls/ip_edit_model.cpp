#include "controls/ip_edit_model.h"

#include <cstring>

namespace tftpcfg::ipedit {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The value of a run of decimal digits, saturated at 1000 so that long runs
// cannot overflow; only "at most 255" or not matters to the callers.
int DigitsValue(std::string_view digits) {
  int value = 0;
  for (char c : digits) {
    value = value * 10 + (c - '0');
    if (value > 1000) return 1000;
  }
  return value;
}

}  // namespace

PartReading ReadPartText(std::string_view text, uint8_t octet) {
  PartReading r;
  r.octet = octet;
  if (text.empty()) return r;  // waits for input; the octet keeps its value

  bool digits = true;
  for (char c : text) digits = digits && IsDigit(c);
  if (!digits) {
    r.rewrite = OctetText(octet);
    return r;
  }

  const int value = DigitsValue(text);
  r.readIn = true;
  if (text.size() <= kPartMaxChars && value <= 255) {
    r.octet = static_cast<uint8_t>(value);  // kept as typed, leading zeros too
    return r;
  }
  // Too large (or, set by program, too long): the trailing digits win.
  if (text.size() >= 3 && DigitsValue(text.substr(text.size() - 3)) < 255) {
    r.octet = static_cast<uint8_t>(DigitsValue(text.substr(text.size() - 3)));
  } else if (text.size() >= 2 && DigitsValue(text.substr(text.size() - 2)) < 255) {
    r.octet = static_cast<uint8_t>(DigitsValue(text.substr(text.size() - 2)));
  }
  r.rewrite = OctetText(r.octet);
  return r;
}

std::string OctetText(uint8_t octet) {
  return std::to_string(octet);
}

std::size_t CaretAfterRewrite(std::size_t caret, std::size_t newLength) {
  return caret < newLength ? caret : newLength;
}

std::optional<Octets> OctetsFromIPString(std::string_view text, uint32_t converted) {
  if (text == "255.255.255.255") return Octets{255, 255, 255, 255};
  // No address at all, though inet_addr may say 0.0.0.0 ("" on older systems,
  // a single blank everywhere).
  if (text.find_first_not_of(' ') == std::string_view::npos) return std::nullopt;
  // inet_addr sees the text only up to a zero character: "1.2.3.4\0x" must not
  // pass as 1.2.3.4.
  if (text.find('\0') != std::string_view::npos) return std::nullopt;
  if (converted == 0xFFFFFFFFu) return std::nullopt;
  Octets octets{};
  std::memcpy(octets.data(), &converted, sizeof converted);
  return octets;
}

uint32_t AddressValue(const Octets& octets) {
  uint32_t value = 0;
  std::memcpy(&value, octets.data(), sizeof value);
  return value;
}

std::string DottedText(const Octets& octets) {
  std::string text;
  for (int i = 0; i < kPartCount; ++i) {
    if (i > 0) text += '.';
    text += OctetText(octets[i]);
  }
  return text;
}

std::array<PartSpan, kPartCount> LayoutParts(int innerWidth) {
  int width = (innerWidth - 3 * kPartGap) / 4;
  if (width < 0) width = 0;
  std::array<PartSpan, kPartCount> spans{};
  for (int i = 0; i < kPartCount; ++i) spans[i] = {i * (width + kPartGap), width};
  return spans;
}

int PartAt(int x, int innerWidth) {
  const auto spans = LayoutParts(innerWidth);
  for (int i = 0; i < kPartCount - 1; ++i) {
    // A gap's left half belongs to the part before it, its right half to the next.
    if (x < spans[i].left + spans[i].width + kPartGap / 2 + 1) return i;
  }
  return kPartCount - 1;
}

KeyAction CharAction(char32_t ch, int part, std::size_t length, bool hasSelection) {
  if (ch == U'.' || ch == U' ')
    return part < kPartCount - 1 ? KeyAction::kNextPart : KeyAction::kIgnore;
  if (ch == U'\t') return KeyAction::kIgnore;  // Tab was handled on key-down
  // Other control characters: Backspace, the clipboard keys, Enter, Esc.
  if (ch < 0x20 || ch == 0x7F) return KeyAction::kDefault;
  if (length >= kPartMaxChars && !hasSelection) return KeyAction::kIgnore;
  return KeyAction::kDefault;
}

KeyAction KeyDownAction(PartKey key, Modifiers mods, int part, std::size_t caret,
                        std::size_t length) {
  switch (key) {
    case PartKey::kTab:
      if (mods.ctrl || mods.alt) return KeyAction::kDefault;
      return mods.shift ? KeyAction::kPreviousControl : KeyAction::kNextControl;
    case PartKey::kLeft:
      if (mods.shift || mods.ctrl || mods.alt || caret != 0) return KeyAction::kDefault;
      return part > 0 ? KeyAction::kPreviousPart : KeyAction::kIgnore;
    case PartKey::kRight:
      if (mods.shift || mods.ctrl || mods.alt || caret < length) return KeyAction::kDefault;
      return part < kPartCount - 1 ? KeyAction::kNextPart : KeyAction::kIgnore;
    case PartKey::kOther:
      break;
  }
  return KeyAction::kDefault;
}

}  // namespace tftpcfg::ipedit
