#include "config/access_rights.h"

#include <algorithm>

namespace tftpcfg {
namespace {

bool IsOuterDelimiter(char c) { return c == '[' || c == ']'; }
bool IsInnerDelimiter(char c) { return c == ' ' || c == ','; }

// The next maximal run of characters that are not delimiters, from p on; p
// moves past it. Empty when no word is left. Characters are tested one byte at
// a time, and every byte is looked at once, so splitting a text is linear.
template <typename IsDelimiter>
std::string_view NextWord(const char*& p, const char* end, IsDelimiter isDelimiter) {
  while (p != end && isDelimiter(*p)) ++p;
  const char* start = p;
  while (p != end && !isDelimiter(*p)) ++p;
  return std::string_view(start, static_cast<size_t>(p - start));
}

}  // namespace

// Codes are compared after upper-casing a to z: only "R" and "r" read as Read
// Only, and every other text, "NA" in any case among them, as No Access.
TAccessLevel AccessCodeToLevel(std::string_view code) {
  return code.size() == 1 && (code[0] == 'R' || code[0] == 'r') ? alReadOnly : alNoAccess;
}

std::string AccessCodeToText(std::string_view code) {
  return AccessCodeToLevel(code) == alReadOnly ? "Read Only" : "No Access";
}

std::string AccessLevelToCode(int32_t level) { return level == alReadOnly ? "R" : "NA"; }

std::string RuleAddressText(const TAccessRight& rule) {
  if (rule.Mask == kSingleHostMask) return rule.Address;
  return rule.Address + " (" + rule.Mask + ")";
}

std::string RuleRightText(const TAccessRight& rule) {
  return AccessCodeToText(AccessLevelToCode(rule.Right));
}

std::string EncodeHostList(const std::vector<TAccessRight>& rules) {
  size_t size = 0;
  for (const auto& r : rules) size += r.Address.size() + r.Mask.size() + 10;
  std::string out;
  out.reserve(size);
  for (size_t i = 0; i < rules.size(); ++i) {
    if (i > 0) out += ", ";
    out += '[';
    out += rules[i].Address;
    out += ", ";
    out += rules[i].Mask;
    out += ", ";
    out += AccessLevelToCode(rules[i].Right);
    out += ']';
  }
  return out;
}

std::vector<TAccessRight> DecodeHostList(std::string_view text) {
  std::vector<TAccessRight> rules;
  // Every rule body but a leading one follows an opening bracket, so their
  // count bounds the number of rules.
  rules.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '[')) + 1);
  const char* p = text.data();
  const char* const end = p + text.size();
  for (std::string_view body = NextWord(p, end, IsOuterDelimiter); !body.empty();
       body = NextWord(p, end, IsOuterDelimiter)) {
    const char* q = body.data();
    const char* const bodyEnd = q + body.size();
    TAccessRight& rule = rules.emplace_back();
    rule.Address = NextWord(q, bodyEnd, IsInnerDelimiter);
    rule.Mask = NextWord(q, bodyEnd, IsInnerDelimiter);
    rule.Right = AccessCodeToLevel(NextWord(q, bodyEnd, IsInnerDelimiter));
    NextWord(p, end, IsOuterDelimiter);  // the separator between "]" and "[" is skipped
  }
  return rules;
}

}  // namespace tftpcfg
