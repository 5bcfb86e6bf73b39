// Decoding where the scanner's shortcuts could go wrong: words that run to the
// end of the text, text without any delimiter, bytes above 127, and lists of
// rules shorter than any stored rule, which outgrow the first reservation.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/access_rights.h"

namespace tftpcfg {
namespace {

TEST(HostListScan, WordsRunningToTheEndOfTheText) {
  const struct {
    const char* text;
    std::vector<AccessRule> rules;
  } cases[] = {
      {"abc", {{"abc", "", kNoAccess}}},
      {"a b", {{"a", "b", kNoAccess}}},
      {"[a, m, R], [b, m2", {{"a", "m", kReadOnly}, {"b", "m2", kNoAccess}}},
      {"[a, m, R], [b, m, r", {{"a", "m", kReadOnly}, {"b", "m", kReadOnly}}},
      // Text after the last bracket is a separator, skipped.
      {"[a, m, R]x", {{"a", "m", kReadOnly}}},
      {"[a, m, R], x", {{"a", "m", kReadOnly}}},
      {"[a, m, R] ,[b", {{"a", "m", kReadOnly}, {"b", "", kNoAccess}}},
      // Delimiters at the very end.
      {"[a, m, R ,, ", {{"a", "m", kReadOnly}}},
      {"[a, m, R, extra, words", {{"a", "m", kReadOnly}}},
      {"x[", {{"x", "", kNoAccess}}},
      {" ", {{"", "", kNoAccess}}},
      {",", {{"", "", kNoAccess}}},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeHostList(c.text), c.rules) << c.text;
}

TEST(HostListScan, BytesAbove127AreOrdinaryCharacters) {
  const std::string text = "[\xff\x80.1, \xe9, r]";
  EXPECT_EQ(DecodeHostList(text), (std::vector<AccessRule>{{"\xff\x80.1", "\xe9", kReadOnly}}));
}

TEST(HostListScan, ManyShortRulesAllLoadInOrder) {
  // Four characters per rule with its separator, far below a stored rule.
  std::string text;
  std::vector<AccessRule> expected;
  for (int i = 0; i < 20000; ++i) {
    const std::string address = std::to_string(i);
    text += "[" + address + "],";
    expected.push_back({address, "", kNoAccess});
  }
  EXPECT_EQ(DecodeHostList(text), expected);
}

TEST(HostListScan, LongWordsKeepEveryCharacter) {
  const std::string address(5000, 'a');
  const std::string mask(70000, 'm');
  const auto rules = DecodeHostList("[" + address + "," + mask + ",R]");
  ASSERT_EQ(rules.size(), 1u);
  EXPECT_EQ(rules[0].Address, address);
  EXPECT_EQ(rules[0].Mask, mask);
  EXPECT_EQ(rules[0].Right, kReadOnly);
}

}  // namespace
}  // namespace tftpcfg
