#include "config/access_rights.h"

#include <gtest/gtest.h>

namespace tftpcfg {
namespace {

TEST(AccessCodes, ReadCodesInAnyLetterCaseAndAnythingElseAsNoAccess) {
  EXPECT_EQ(AccessCodeToLevel("R"), alReadOnly);
  EXPECT_EQ(AccessCodeToLevel("r"), alReadOnly);
  EXPECT_EQ(AccessCodeToLevel("NA"), alNoAccess);
  EXPECT_EQ(AccessCodeToLevel("nA"), alNoAccess);
  for (const char* other : {"", "RW", "W", " R", "R ", "Ｒ"}) {
    EXPECT_EQ(AccessCodeToLevel(other), alNoAccess) << other;
    EXPECT_EQ(AccessCodeToText(other), "No Access") << other;
  }
  EXPECT_EQ(AccessCodeToText("r"), "Read Only");
  EXPECT_EQ(AccessCodeToText("na"), "No Access");
}

TEST(AccessCodes, WriteOnlyTheTwoUpperCaseCodes) {
  EXPECT_EQ(AccessLevelToCode(alReadOnly), "R");
  EXPECT_EQ(AccessLevelToCode(alNoAccess), "NA");
  EXPECT_EQ(AccessLevelToCode(-1), "NA");
  EXPECT_EQ(AccessLevelToCode(2), "NA");
}

TEST(RuleRow, SingleHostShowsAddressAloneAndNetworkShowsMask) {
  EXPECT_EQ(RuleAddressText({"10.0.0.7", "255.255.255.255", alNoAccess}), "10.0.0.7");
  EXPECT_EQ(RuleAddressText({"10.0.0.6", "255.255.255.254", alNoAccess}),
            "10.0.0.6 (255.255.255.254)");
  EXPECT_EQ(RuleAddressText({"1.2.3.4", "", alNoAccess}), "1.2.3.4 ()");
  EXPECT_EQ(RuleRightText({"a", "m", alReadOnly}), "Read Only");
  EXPECT_EQ(RuleRightText({"a", "m", 7}), "No Access");
}

const std::vector<TAccessRight> kWorkedExample = {
    {"192.168.10.0", "255.255.255.0", alReadOnly},
    {"10.0.0.7", "255.255.255.255", alNoAccess},
};
const char kWorkedExampleText[] =
    "[192.168.10.0, 255.255.255.0, R], [10.0.0.7, 255.255.255.255, NA]";

TEST(HostListCodec, WorkedExampleEncodesAndDecodes) {
  EXPECT_EQ(EncodeHostList(kWorkedExample), kWorkedExampleText);
  const auto rules = DecodeHostList(kWorkedExampleText);
  EXPECT_EQ(rules, kWorkedExample);
  ASSERT_EQ(rules.size(), 2u);
  EXPECT_EQ(RuleAddressText(rules[0]), "192.168.10.0 (255.255.255.0)");
  EXPECT_EQ(RuleRightText(rules[0]), "Read Only");
  EXPECT_EQ(RuleAddressText(rules[1]), "10.0.0.7");
  EXPECT_EQ(RuleRightText(rules[1]), "No Access");
}

TEST(HostListCodec, EmptyAndSingleRuleLists) {
  EXPECT_EQ(EncodeHostList({}), "");
  EXPECT_TRUE(DecodeHostList("").empty());
  EXPECT_EQ(EncodeHostList({{"10.0.0.7", "255.255.255.255", alNoAccess}}),
            "[10.0.0.7, 255.255.255.255, NA]");
}

TEST(HostListCodec, LowerCaseCodeReadsAndIsWrittenUpperCase) {
  const auto rules = DecodeHostList("[10.0.0.7, 255.255.255.255, r]");
  ASSERT_EQ(rules.size(), 1u);
  EXPECT_EQ(rules[0].Right, alReadOnly);
  EXPECT_EQ(EncodeHostList(rules), "[10.0.0.7, 255.255.255.255, R]");
}

TEST(HostListCodec, DuplicatesKeepTheirOrder) {
  const std::vector<TAccessRight> rules = {{"1.1.1.1", "255.0.0.0", alReadOnly},
                                           {"1.1.1.1", "255.0.0.0", alReadOnly},
                                           {"2.2.2.2", "255.255.255.255", alNoAccess}};
  EXPECT_EQ(DecodeHostList(EncodeHostList(rules)), rules);
}

struct Malformed {
  const char* text;
  std::vector<TAccessRight> rules;
};

TEST(HostListCodec, MalformedTextDecodesByWordSplitting) {
  const Malformed cases[] = {
      {"[]", {}},
      {"[[]]][", {}},
      {"[ , ]", {{"", "", alNoAccess}}},
      {"[1.2.3.4]", {{"1.2.3.4", "", alNoAccess}}},
      {"[1.2.3.4, 255.0.0.0, R", {{"1.2.3.4", "255.0.0.0", alReadOnly}}},
      {"[ 1.2.3.4 ,,  255.255.255.0 ,R ]", {{"1.2.3.4", "255.255.255.0", alReadOnly}}},
      {"[, 255.255.255.0, R]", {{"255.255.255.0", "R", alNoAccess}}},
      {"[1.2.3.4, 255.255.255.255, R, X]", {{"1.2.3.4", "255.255.255.255", alReadOnly}}},
      {"[1.2.3.4, 255.255.255.255, rw]", {{"1.2.3.4", "255.255.255.255", alNoAccess}}},
      {"junk[1.2.3.4, 255.255.255.255, R]", {{"junk", "", alNoAccess}}},
      {"[a, m, R][b, m, NA]", {{"a", "m", alReadOnly}}},
      {"[a, m, R][b, m, NA][c, m, R]", {{"a", "m", alReadOnly}, {"c", "m", alReadOnly}}},
      // Tabs and line breaks are ordinary characters.
      {"[a\tb, m\n, R]", {{"a\tb", "m\n", alReadOnly}}},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeHostList(c.text), c.rules) << c.text;
}

TEST(HostListCodec, BlankBeforeFirstBracketTurnsEveryRuleIntoAnEmptyOne) {
  // The stored rules become even-numbered words and are skipped; the blank and
  // each separator become odd-numbered words.
  const auto rules = DecodeHostList(" [a, m, R], [b, m, R], [c, m, NA]");
  ASSERT_EQ(rules.size(), 3u);
  for (const auto& r : rules) EXPECT_EQ(r, (TAccessRight{"", "", alNoAccess}));
  EXPECT_EQ(RuleAddressText(rules[0]), " ()");
}

TEST(HostListCodec, EmptyMaskIsWrittenAsIsAndReadsBackShifted) {
  const std::string text = EncodeHostList({{"1.2.3.4", "", alReadOnly}});
  EXPECT_EQ(text, "[1.2.3.4, , R]");
  EXPECT_EQ(DecodeHostList(text), (std::vector<TAccessRight>{{"1.2.3.4", "R", alNoAccess}}));
}

TEST(HostListCodec, LargeListsRoundTrip) {
  std::vector<TAccessRight> rules;
  for (int i = 0; i < 5000; ++i)
    rules.push_back({"10.0." + std::to_string(i / 256) + "." + std::to_string(i % 256),
                     i % 3 ? "255.255.255.255" : "255.255.0.0", i % 2 ? alReadOnly : alNoAccess});
  EXPECT_EQ(DecodeHostList(EncodeHostList(rules)), rules);
}

}  // namespace
}  // namespace tftpcfg
