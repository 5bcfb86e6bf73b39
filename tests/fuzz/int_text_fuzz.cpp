// The integer text conversion on any text, against a reference written
// straight from its rules: leading blanks (spaces only), one optional sign,
// then decimal digits, or hexadecimal digits after "$", "x", "X", "0x" or
// "0X"; at least one digit and nothing after the digits. Decimal must fit a
// signed 32-bit integer; hexadecimal has at most eight digits (leading zeros
// included), taken as signed. The sign negates modulo 2^32.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/int_text.h"
#include "tests/fuzz/fuzz_input.h"

namespace tftpcfg {
namespace {

int DigitValue(char c, int base) {
  int v = -1;
  if (c >= '0' && c <= '9') v = c - '0';
  if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
  return v < base ? v : -1;
}

std::optional<int32_t> Reference(std::string_view s) {
  const size_t first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::nullopt;
  s.remove_prefix(first);
  bool negative = false;
  if (s.front() == '+' || s.front() == '-') {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (s.substr(0, 2) == "0x" || s.substr(0, 2) == "0X") {
    base = 16;
    s.remove_prefix(2);
  } else if (!s.empty() && (s.front() == '$' || s.front() == 'x' || s.front() == 'X')) {
    base = 16;
    s.remove_prefix(1);
  }
  if (s.empty()) return std::nullopt;
  for (const char c : s)
    if (DigitValue(c, base) < 0) return std::nullopt;
  // Hexadecimal counts every digit; decimal only the significant ones, of
  // which a number that fits has at most ten.
  if (base == 16 && s.size() > 8) return std::nullopt;
  const size_t nonZero = s.find_first_not_of('0');
  const std::string_view significant =
      nonZero == std::string_view::npos ? std::string_view() : s.substr(nonZero);
  if (significant.size() > (base == 10 ? 10u : 8u)) return std::nullopt;
  int64_t magnitude = 0;
  for (const char c : significant) magnitude = magnitude * base + DigitValue(c, base);
  if (base == 10 && magnitude > (negative ? 2147483648LL : 2147483647LL)) return std::nullopt;
  const int64_t value = negative ? -magnitude : magnitude;
  return static_cast<int32_t>(static_cast<uint32_t>(value & 0xFFFFFFFF));
}

std::string Show(const std::optional<int32_t>& v) {
  return v ? std::to_string(*v) : std::string("none");
}

}  // namespace
}  // namespace tftpcfg

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto got = tftpcfg::ParseInteger(text);
  const auto expected = tftpcfg::Reference(text);
  FUZZ_CHECK(got == expected, "text \"" + tftpcfg::fuzz::Escaped(text) + "\" gave " +
                                  tftpcfg::Show(got) + ", reference " + tftpcfg::Show(expected));
  // A value converts back from its own decimal text.
  if (got) {
    const std::string decimal = std::to_string(*got);
    FUZZ_CHECK(tftpcfg::ParseInteger(decimal) == got, decimal);
  }
  return 0;
}
