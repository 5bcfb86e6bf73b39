#include "config/access_rights.h"

namespace tftpcfg {
namespace {

// Upper-cases a to z only, as the stored codes are compared.
std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

// Yields the maximal runs of characters that are not delimiters, one by one, in
// a single pass over the text.
class WordScanner {
 public:
  WordScanner(std::string_view text, char delim1, char delim2)
      : text_(text), d1_(delim1), d2_(delim2) {}

  // The next word, or an empty view when there is none.
  std::string_view Next() {
    const size_t n = text_.size();
    while (pos_ < n && IsDelimiter(text_[pos_])) ++pos_;
    const size_t start = pos_;
    while (pos_ < n && !IsDelimiter(text_[pos_])) ++pos_;
    return text_.substr(start, pos_ - start);
  }

 private:
  bool IsDelimiter(char c) const { return c == d1_ || c == d2_; }

  std::string_view text_;
  char d1_;
  char d2_;
  size_t pos_ = 0;
};

}  // namespace

TAccessLevel AccessCodeToLevel(std::string_view code) {
  return UpperAscii(code) == "R" ? alReadOnly : alNoAccess;
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
  WordScanner outer(text, '[', ']');
  for (std::string_view body = outer.Next(); !body.empty(); body = outer.Next()) {
    WordScanner inner(body, ' ', ',');
    TAccessRight rule;
    rule.Address = inner.Next();
    rule.Mask = inner.Next();
    rule.Right = AccessCodeToLevel(inner.Next());
    rules.push_back(std::move(rule));
    outer.Next();  // the separator word between "]" and "[" is skipped
  }
  return rules;
}

}  // namespace tftpcfg
