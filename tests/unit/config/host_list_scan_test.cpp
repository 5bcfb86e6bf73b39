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
    std::vector<TAccessRight> rules;
  } cases[] = {
      {"abc", {{"abc", "", alNoAccess}}},
      {"a b", {{"a", "b", alNoAccess}}},
      {"[a, m, R], [b, m2", {{"a", "m", alReadOnly}, {"b", "m2", alNoAccess}}},
      {"[a, m, R], [b, m, r", {{"a", "m", alReadOnly}, {"b", "m", alReadOnly}}},
      // Text after the last bracket is a separator, skipped.
      {"[a, m, R]x", {{"a", "m", alReadOnly}}},
      {"[a, m, R], x", {{"a", "m", alReadOnly}}},
      {"[a, m, R] ,[b", {{"a", "m", alReadOnly}, {"b", "", alNoAccess}}},
      // Delimiters at the very end.
      {"[a, m, R ,, ", {{"a", "m", alReadOnly}}},
      {"[a, m, R, extra, words", {{"a", "m", alReadOnly}}},
      {"x[", {{"x", "", alNoAccess}}},
      {" ", {{"", "", alNoAccess}}},
      {",", {{"", "", alNoAccess}}},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeHostList(c.text), c.rules) << c.text;
}

TEST(HostListScan, BytesAbove127AreOrdinaryCharacters) {
  const std::string text = "[\xff\x80.1, \xe9, r]";
  EXPECT_EQ(DecodeHostList(text), (std::vector<TAccessRight>{{"\xff\x80.1", "\xe9", alReadOnly}}));
}

TEST(HostListScan, ManyShortRulesAllLoadInOrder) {
  // Four characters per rule with its separator, far below a stored rule.
  std::string text;
  std::vector<TAccessRight> expected;
  for (int i = 0; i < 20000; ++i) {
    const std::string address = std::to_string(i);
    text += "[" + address + "],";
    expected.push_back({address, "", alNoAccess});
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
  EXPECT_EQ(rules[0].Right, alReadOnly);
}

}  // namespace
}  // namespace tftpcfg
