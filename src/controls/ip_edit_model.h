#pragma once
// The rules of the IP address field without any window: how a part's text is
// read into its octet, where the caret goes after the field rewrites a part,
// how a written address text becomes four octets, what the keys do in a part
// and where the four parts sit. The Win32 control (controls/ip_address_field.h) wires
// real EDIT children to these rules.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tftpcfg::ipedit {

inline constexpr int kPartCount = 4;
// A part holds at most this many characters.
inline constexpr std::size_t kPartMaxChars = 3;
// Pixels between two parts; a "." is drawn in each gap.
inline constexpr int kPartGap = 5;

using Octets = std::array<uint8_t, kPartCount>;

// What reading a part's text does.
struct PartReading {
  // The text was read into the octet: the field raises its change notification.
  bool readIn = false;
  // The octet after reading (unchanged unless readIn).
  uint8_t octet = 0;
  // Set when the field must replace the part's text with this one; the new
  // text is then read again by the same rules.
  std::optional<std::string> rewrite;
};

// Reads a part's text (UTF-8) given the part's current octet:
// - one to three decimal digits worth 0..255: taken as typed ("007" stays);
// - decimal digits worth more: the number formed by the last three characters
//   if below 255, else by the last two if below 255, else the octet stays;
//   read in, and the text is rewritten to the octet's decimal text;
// - any other non-empty text: rewritten to the octet's decimal text;
// - empty text: nothing; the part waits for input.
PartReading ReadPartText(std::string_view text, uint8_t octet);

// The decimal text of an octet, without leading zeros.
std::string OctetText(uint8_t octet);

// The caret after a rewrite: where it was, or at the end of a shorter text.
std::size_t CaretAfterRewrite(std::size_t caret, std::size_t newLength);

// The octets for a written address text, given what inet_addr returned for it
// (the 32-bit value as inet_addr returns it: network byte order in memory).
// "255.255.255.255" gives four 255; otherwise inet_addr's all-ones failure
// value gives no value, and so do the empty text and a text of blanks, which
// inet_addr versions read as 0.0.0.0, and a text with a zero character.
std::optional<Octets> OctetsFromIPString(std::string_view text, uint32_t converted);

// The octets as the 32-bit value that inet_ntoa takes (network byte order in
// memory: Part1 in the first byte).
uint32_t AddressValue(const Octets& octets);

// The octets as dotted decimal text; the form inet_ntoa produces.
std::string DottedText(const Octets& octets);

// Layout of the four parts across the field's inner width: each
// (innerWidth - 15) / 4 pixels wide, kPartGap pixels apart, from the left edge.
struct PartSpan {
  int left = 0;
  int width = 0;
};
std::array<PartSpan, kPartCount> LayoutParts(int innerWidth);

// The part that a click at x (inner coordinates) on the field itself focuses:
// the part under it, or the nearer one for a click in a gap; 0..3.
int PartAt(int x, int innerWidth);

// What a key does in a part.
enum class KeyAction {
  kDefault,          // ordinary single-line editing inside the part
  kIgnore,           // swallowed, nothing happens
  kNextPart,         // focus to the next part
  kPreviousPart,     // focus to the previous part
  kNextControl,      // focus leaves the field forwards (Tab)
  kPreviousControl,  // focus leaves the field backwards (Shift+Tab)
};

// A character (WM_CHAR) typed into part `part` (0..3) holding `length`
// characters, with or without a selection.
KeyAction CharAction(char32_t ch, int part, std::size_t length, bool hasSelection);

// Keys that the part treats specially on key-down; the others are kOther.
enum class PartKey { kOther, kLeft, kRight, kTab };

struct Modifiers {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

// A key pressed in part `part` with the caret at `caret` in a text of `length`.
KeyAction KeyDownAction(PartKey key, Modifiers mods, int part, std::size_t caret,
                        std::size_t length);

}  // namespace tftpcfg::ipedit
