#include "base/int_text.h"

namespace tftpcfg {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<int32_t> ParseInteger(std::string_view text) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;

  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }

  bool hex = false;
  if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= n) return std::nullopt;

  if (hex) {
    // At most eight digits, leading zeros included: their 32 bits are the value.
    if (n - i > 8) return std::nullopt;
    uint32_t bits = 0;
    for (; i < n; ++i) {
      const int d = HexDigit(text[i]);
      if (d < 0) return std::nullopt;
      bits = (bits << 4) | static_cast<uint32_t>(d);
    }
    if (negative) bits = 0u - bits;
    return static_cast<int32_t>(bits);
  }

  const uint64_t limit = negative ? 2147483648ull : 2147483647ull;
  uint64_t value = 0;
  for (; i < n; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > limit) return std::nullopt;
  }
  const uint32_t bits = static_cast<uint32_t>(value);
  return static_cast<int32_t>(negative ? 0u - bits : bits);
}

}  // namespace tftpcfg
