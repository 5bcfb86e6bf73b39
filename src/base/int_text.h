#pragma once
// Whole numbers as text: the conversion of a whole text to a signed 32-bit
// integer, shared by the port check before saving and by the number field's
// typed-text checking, and the range type of both.

#include <cstdint>
#include <optional>
#include <string_view>

namespace tftpcfg {

// A closed range of signed 32-bit integers.
struct IntRange {
  int32_t min;
  int32_t max;
};

// Accepts: leading blanks (space characters only); one optional sign, "+" or
// "-"; then decimal digits, or hexadecimal digits (either letter case) after
// "$", "x", "X", "0x" or "0X". At least one digit, and nothing after the digits.
// A decimal number must fit in a signed 32-bit integer; a hexadecimal one has
// at most eight digits, leading zeros included, whose 32 bits are taken as a
// signed integer. Anything else, the empty text included, gives no value.
std::optional<int32_t> ParseInteger(std::string_view text);

}  // namespace tftpcfg
