#include "config/access_rights.h"

#include <array>
#include <cstdint>

namespace tftpcfg {
namespace {

// How the host list's characters split it: the outer delimiters "[" and "]"
// separate rule bodies from the separators between them, the inner ones, blank
// and comma, separate a body's words. Every other byte is ordinary.
enum CharClass : uint8_t { kOrdinary = 0, kInner = 1, kOuter = 2 };

constexpr std::array<uint8_t, 256> MakeClassTable() {
  std::array<uint8_t, 256> table{};
  table[static_cast<unsigned char>(' ')] = kInner;
  table[static_cast<unsigned char>(',')] = kInner;
  table[static_cast<unsigned char>('[')] = kOuter;
  table[static_cast<unsigned char>(']')] = kOuter;
  return table;
}
constexpr std::array<uint8_t, 256> kClassOf = MakeClassTable();

inline uint8_t ClassOf(char c) {
  return kClassOf[static_cast<unsigned char>(c)];
}

}  // namespace

// Codes are compared after upper-casing a to z: only "R" and "r" read as Read
// Only, and every other text, "NA" in any case among them, as No Access.
AccessLevel AccessCodeToLevel(std::string_view code) {
  return code.size() == 1 && (code[0] == 'R' || code[0] == 'r') ? kReadOnly : kNoAccess;
}

std::string AccessCodeToText(std::string_view code) {
  return std::string(kAccessLevelTexts[AccessCodeToLevel(code)]);
}

std::string AccessLevelToCode(int32_t level) {
  return level == kReadOnly ? "R" : "NA";
}

std::string RuleAddressText(const AccessRule& rule) {
  if (rule.Mask == kSingleHostMask) return rule.Address;
  return rule.Address + " (" + rule.Mask + ")";
}

std::string RuleRightText(const AccessRule& rule) {
  return AccessCodeToText(AccessLevelToCode(rule.Right));
}

std::string EncodeHostList(const std::vector<AccessRule>& rules) {
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

std::vector<AccessRule> DecodeHostList(std::string_view text) {
  std::vector<AccessRule> rules;
  // A stored rule with its separator takes at least 24 characters
  // ("[0.0.0.0, 0.0.0.0, R], "), so this is about the count for stored text and
  // never far above it; odd text with shorter rules only makes the vector grow.
  rules.reserve(text.size() / 24 + 1);
  const char* p = text.data();
  const char* const end = p + text.size();
  // Every byte is looked at once. From `tail` on, all characters are ordinary;
  // before it, a run of ordinary characters always stops at a delimiter, so the
  // scan of a word (the bulk of the text) needs no end check.
  const char* tail = end;
  while (tail != p && ClassOf(tail[-1]) == kOrdinary) --tail;
  const auto wordEnd = [tail, end](const char* q) {
    if (q >= tail) return end;
    while (ClassOf(*q) == kOrdinary) ++q;
    return q;
  };
  for (;;) {
    // Outer word 1, 3, 5 ...: a rule body; none left ends the list.
    while (p != end && ClassOf(*p) == kOuter) ++p;
    if (p == end) break;
    // Inner words 1 to 3 of the body: address, mask, code; missing ones are empty.
    std::string_view words[3];
    for (std::string_view& word : words) {
      while (p != end && ClassOf(*p) == kInner) ++p;
      const char* const start = p;
      p = wordEnd(p);
      word = std::string_view(start, static_cast<size_t>(p - start));
      if (p == end || ClassOf(*p) == kOuter) break;
    }
    rules.push_back(
        AccessRule{std::string(words[0]), std::string(words[1]), AccessCodeToLevel(words[2])});
    // Words beyond the third, then the separator (outer word 2, 4 ...), are skipped.
    while (p != end && ClassOf(*p) != kOuter) ++p;
    while (p != end && ClassOf(*p) == kOuter) ++p;
    while (p != end && ClassOf(*p) != kOuter) ++p;
  }
  return rules;
}

}  // namespace tftpcfg
