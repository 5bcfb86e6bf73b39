#include "config/access_rights.h"

#include <gtest/gtest.h>

namespace tftpcfg {
namespace {

TEST(AccessCodes, ReadCodesInAnyLetterCaseAndAnythingElseAsNoAccess) {
  EXPECT_EQ(AccessCodeToLevel("R"), kReadOnly);
  EXPECT_EQ(AccessCodeToLevel("r"), kReadOnly);
  EXPECT_EQ(AccessCodeToLevel("NA"), kNoAccess);
  EXPECT_EQ(AccessCodeToLevel("nA"), kNoAccess);
  for (const char* other : {"", "RW", "W", " R", "R ", "Ｒ"}) {
    EXPECT_EQ(AccessCodeToLevel(other), kNoAccess) << other;
    EXPECT_EQ(AccessCodeToText(other), "No Access") << other;
  }
  EXPECT_EQ(AccessCodeToText("r"), "Read Only");
  EXPECT_EQ(AccessCodeToText("na"), "No Access");
}

TEST(AccessCodes, WriteOnlyTheTwoUpperCaseCodes) {
  EXPECT_EQ(AccessLevelToCode(kReadOnly), "R");
  EXPECT_EQ(AccessLevelToCode(kNoAccess), "NA");
  EXPECT_EQ(AccessLevelToCode(-1), "NA");
  EXPECT_EQ(AccessLevelToCode(2), "NA");
}

TEST(RuleRow, SingleHostShowsAddressAloneAndNetworkShowsMask) {
  EXPECT_EQ(RuleAddressText({"10.0.0.7", "255.255.255.255", kNoAccess}), "10.0.0.7");
  EXPECT_EQ(RuleAddressText({"10.0.0.6", "255.255.255.254", kNoAccess}),
            "10.0.0.6 (255.255.255.254)");
  EXPECT_EQ(RuleAddressText({"1.2.3.4", "", kNoAccess}), "1.2.3.4 ()");
  EXPECT_EQ(RuleRightText({"a", "m", kReadOnly}), "Read Only");
  EXPECT_EQ(RuleRightText({"a", "m", 7}), "No Access");
}

const std::vector<AccessRule> kWorkedExample = {
    {"192.168.10.0", "255.255.255.0", kReadOnly},
    {"10.0.0.7", "255.255.255.255", kNoAccess},
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
  EXPECT_EQ(EncodeHostList({{"10.0.0.7", "255.255.255.255", kNoAccess}}),
            "[10.0.0.7, 255.255.255.255, NA]");
}

TEST(HostListCodec, LowerCaseCodeReadsAndIsWrittenUpperCase) {
  const auto rules = DecodeHostList("[10.0.0.7, 255.255.255.255, r]");
  ASSERT_EQ(rules.size(), 1u);
  EXPECT_EQ(rules[0].Right, kReadOnly);
  EXPECT_EQ(EncodeHostList(rules), "[10.0.0.7, 255.255.255.255, R]");
}

TEST(HostListCodec, DuplicatesKeepTheirOrder) {
  const std::vector<AccessRule> rules = {{"1.1.1.1", "255.0.0.0", kReadOnly},
                                         {"1.1.1.1", "255.0.0.0", kReadOnly},
                                         {"2.2.2.2", "255.255.255.255", kNoAccess}};
  EXPECT_EQ(DecodeHostList(EncodeHostList(rules)), rules);
}

struct Malformed {
  const char* text;
  std::vector<AccessRule> rules;
};

TEST(HostListCodec, MalformedTextDecodesByWordSplitting) {
  const Malformed cases[] = {
      {"[]", {}},
      {"[[]]][", {}},
      {"[ , ]", {{"", "", kNoAccess}}},
      {"[1.2.3.4]", {{"1.2.3.4", "", kNoAccess}}},
      {"[1.2.3.4, 255.0.0.0, R", {{"1.2.3.4", "255.0.0.0", kReadOnly}}},
      {"[ 1.2.3.4 ,,  255.255.255.0 ,R ]", {{"1.2.3.4", "255.255.255.0", kReadOnly}}},
      {"[, 255.255.255.0, R]", {{"255.255.255.0", "R", kNoAccess}}},
      {"[1.2.3.4, 255.255.255.255, R, X]", {{"1.2.3.4", "255.255.255.255", kReadOnly}}},
      {"[1.2.3.4, 255.255.255.255, rw]", {{"1.2.3.4", "255.255.255.255", kNoAccess}}},
      {"junk[1.2.3.4, 255.255.255.255, R]", {{"junk", "", kNoAccess}}},
      {"[a, m, R][b, m, NA]", {{"a", "m", kReadOnly}}},
      {"[a, m, R][b, m, NA][c, m, R]", {{"a", "m", kReadOnly}, {"c", "m", kReadOnly}}},
      // Tabs and line breaks are ordinary characters.
      {"[a\tb, m\n, R]", {{"a\tb", "m\n", kReadOnly}}},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeHostList(c.text), c.rules) << c.text;
}

TEST(HostListCodec, BlankBeforeFirstBracketTurnsEveryRuleIntoAnEmptyOne) {
  // The stored rules become even-numbered words and are skipped; the blank and
  // each separator become odd-numbered words.
  const auto rules = DecodeHostList(" [a, m, R], [b, m, R], [c, m, NA]");
  ASSERT_EQ(rules.size(), 3u);
  for (const auto& r : rules) EXPECT_EQ(r, (AccessRule{"", "", kNoAccess}));
  EXPECT_EQ(RuleAddressText(rules[0]), " ()");
}

TEST(HostListCodec, EmptyMaskIsWrittenAsIsAndReadsBackShifted) {
  const std::string text = EncodeHostList({{"1.2.3.4", "", kReadOnly}});
  EXPECT_EQ(text, "[1.2.3.4, , R]");
  EXPECT_EQ(DecodeHostList(text), (std::vector<AccessRule>{{"1.2.3.4", "R", kNoAccess}}));
}

TEST(HostListCodec, LargeListsRoundTrip) {
  std::vector<AccessRule> rules;
  rules.reserve(5000);
  for (int i = 0; i < 5000; ++i)
    rules.push_back({"10.0." + std::to_string(i / 256) + "." + std::to_string(i % 256),
                     i % 3 ? "255.255.255.255" : "255.255.0.0", i % 2 ? kReadOnly : kNoAccess});
  EXPECT_EQ(DecodeHostList(EncodeHostList(rules)), rules);
}

}  // namespace
}  // namespace tftpcfg
