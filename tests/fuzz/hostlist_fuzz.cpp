// The host list codec on any bytes.
//
// 1. The raw input, decoded as stored text: never crashes, agrees with a
//    reference decoder written straight from the word-splitting rules, yields
//    no address or mask holding a delimiter, and every decoded list whose
//    rules all have an address and a mask survives encoding and decoding.
// 2. A list of well-formed rules built from the input (address and mask of
//    one or more characters other than blank, comma and square brackets, right
//    No Access or Read Only): decoding its encoding gives the same list back.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/access_rights.h"
#include "tests/fuzz/fuzz_input.h"

namespace tftpcfg {
namespace {

using fuzz::Escaped;
using fuzz::FuzzInput;

// The maximal runs of characters that are not in delimiters, left to right.
std::vector<std::string> Words(std::string_view text, std::string_view delimiters) {
  std::vector<std::string> words;
  std::string current;
  for (const char c : text) {
    if (delimiters.find(c) == std::string_view::npos) {
      current.push_back(c);
    } else if (!current.empty()) {
      words.push_back(current);
      current.clear();
    }
  }
  if (!current.empty()) words.push_back(current);
  return words;
}

int32_t ReferenceLevel(std::string code) {
  for (char& c : code)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return code == "R" ? kReadOnly : kNoAccess;
}

// Only the odd-numbered outer words are rule bodies; inner words 1 to 3 are
// address, mask and code, missing ones empty.
std::vector<AccessRule> ReferenceDecode(std::string_view text) {
  static constexpr std::string_view kOuter("[]", 2);
  static constexpr std::string_view kInner(" ,", 2);
  std::vector<AccessRule> rules;
  const std::vector<std::string> bodies = Words(text, kOuter);
  for (size_t i = 0; i < bodies.size(); i += 2) {
    const std::vector<std::string> w = Words(bodies[i], kInner);
    AccessRule rule;
    rule.Address = !w.empty() ? w[0] : "";
    rule.Mask = w.size() > 1 ? w[1] : "";
    rule.Right = ReferenceLevel(w.size() > 2 ? w[2] : "");
    rules.push_back(rule);
  }
  return rules;
}

bool HasDelimiter(const std::string& s) {
  return s.find_first_of(std::string_view(" ,[]", 4)) != std::string::npos;
}

std::string Describe(const std::vector<AccessRule>& rules) {
  std::string out = std::to_string(rules.size()) + " rules:";
  for (size_t i = 0; i < rules.size() && i < 8; ++i)
    out += " {" + Escaped(rules[i].Address, 40) + "|" + Escaped(rules[i].Mask, 40) + "|" +
           std::to_string(rules[i].Right) + "}";
  return out;
}

void CheckDecodeOfRawText(std::string_view text) {
  const std::vector<AccessRule> rules = DecodeHostList(text);
  const std::vector<AccessRule> expected = ReferenceDecode(text);
  FUZZ_CHECK(rules == expected, "text " + Escaped(text) + "\n  decoded   " + Describe(rules) +
                                    "\n  reference " + Describe(expected));
  bool complete = true;
  for (const AccessRule& r : rules) {
    FUZZ_CHECK(!HasDelimiter(r.Address) && !HasDelimiter(r.Mask), Describe(rules));
    FUZZ_CHECK(r.Right == kNoAccess || r.Right == kReadOnly, Describe(rules));
    complete = complete && !r.Address.empty() && !r.Mask.empty();
    // The row texts are built for every decoded rule.
    const std::string first = RuleAddressText(r);
    FUZZ_CHECK(first.compare(0, r.Address.size(), r.Address) == 0, Escaped(first));
    const std::string second = RuleRightText(r);
    FUZZ_CHECK(second == (r.Right == kReadOnly ? "Read Only" : "No Access"), second);
  }
  if (complete) {
    const std::string encoded = EncodeHostList(rules);
    FUZZ_CHECK(DecodeHostList(encoded) == rules, "re-encoded " + Escaped(encoded));
  }
}

// A well-formed text field of 1 to 16 characters: any byte but the four
// delimiters, which are replaced.
std::string FieldText(FuzzInput& in) {
  const size_t length = 1 + in.Byte() % 16;
  std::string text = in.Bytes(length);
  if (text.empty()) text = "0";
  for (char& c : text)
    if (c == ' ' || c == ',' || c == '[' || c == ']') c = '.';
  return text;
}

void CheckRoundTripOfBuiltList(FuzzInput& in) {
  std::vector<AccessRule> rules;
  while (!in.empty() && rules.size() < 512) {
    AccessRule rule;
    rule.Right = (in.Byte() & 1) ? kReadOnly : kNoAccess;
    rule.Address = FieldText(in);
    rule.Mask = FieldText(in);
    rules.push_back(std::move(rule));
  }
  const std::string encoded = EncodeHostList(rules);
  const std::vector<AccessRule> decoded = DecodeHostList(encoded);
  FUZZ_CHECK(decoded == rules, "encoded " + Escaped(encoded) + "\n  built   " + Describe(rules) +
                                   "\n  decoded " + Describe(decoded));
}

}  // namespace
}  // namespace tftpcfg

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tftpcfg::CheckDecodeOfRawText(std::string_view(reinterpret_cast<const char*>(data), size));
  tftpcfg::fuzz::FuzzInput in(data, size);
  tftpcfg::CheckRoundTripOfBuiltList(in);
  return 0;
}
