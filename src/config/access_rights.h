#pragma once
// Access rights, access rules and the text encoding of the rule list that the
// service keeps in the registry value "HostList".

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tftpcfg {

// The access a client has. The values are also the item indexes of the two
// access drop-down lists ("No Access", "Read Only").
enum AccessLevel : int32_t {
  kNoAccess = 0,
  kReadOnly = 1,
};

// One exception to the default access: a single host when Mask is exactly
// "255.255.255.255", a network otherwise. Address and Mask are not validated.
struct AccessRule {
  std::string Address;
  std::string Mask;
  int32_t Right = kNoAccess;  // a AccessLevel

  friend bool operator==(const AccessRule&, const AccessRule&) = default;
};

// The display text of each access level, by its value: the items of the
// access drop-down lists and the rule grid's second column.
inline constexpr std::string_view kAccessLevelTexts[] = {"No Access", "Read Only"};

inline constexpr std::string_view kSingleHostMask = "255.255.255.255";

// "NA" and "R" in any letter case; every other code reads as No Access.
AccessLevel AccessCodeToLevel(std::string_view code);
// "No Access" or "Read Only", by the same reading of the code.
std::string AccessCodeToText(std::string_view code);
// "R" for 1; "NA" for 0 and every other value (-1 is a list without selection).
std::string AccessLevelToCode(int32_t level);

// First column of a rule's row: the address alone for a single host, otherwise
// the address followed by the mask in parentheses.
std::string RuleAddressText(const AccessRule& rule);
// Second column of a rule's row: the display text of its access right.
std::string RuleRightText(const AccessRule& rule);

// Encodes rules as "[address, mask, code]" joined by ", ", first rule first.
std::string EncodeHostList(const std::vector<AccessRule>& rules);

// Decodes stored text. Never fails: the text is split into words at square
// brackets, and only the odd-numbered words (the first, third, fifth ...) are
// rule bodies, the even-numbered ones being the separators between "]" and "[".
// Each body is split into words at blanks and commas: address, mask, code.
std::vector<AccessRule> DecodeHostList(std::string_view text);

}  // namespace tftpcfg
