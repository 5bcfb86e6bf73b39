#include "base/int_text.h"

#include <gtest/gtest.h>

namespace tftpcfg {
namespace {

struct Case {
  const char* text = nullptr;
  std::optional<int32_t> value;
};

TEST(ParseInteger, AcceptsDecimalWithLeadingBlanksAndSign) {
  const Case cases[] = {
      {"0", 0},
      {"69", 69},
      {" 69", 69},
      {"   7", 7},
      {"+5", 5},
      {"-5", -5},
      {"007", 7},
      {"-0", 0},
      {"65535", 65535},
      {"65536", 65536},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseInteger(c.text), c.value) << '"' << c.text << '"';
}

TEST(ParseInteger, AcceptsHexadecimalAfterEachPrefix) {
  const Case cases[] = {
      {"$10", 16},
      {"x10", 16},
      {"X1f", 31},
      {"0x1F", 31},
      {"0XfF", 255},
      {"-$10", -16},
      {" +0x10", 16},
      {"$FFFFFFFF", -1},
      {"$80000000", INT32_MIN},
      {"$7FFFFFFF", INT32_MAX},
      {"$00000046", 70},  // eight digits, leading zeros included
  };
  for (const auto& c : cases) EXPECT_EQ(ParseInteger(c.text), c.value) << '"' << c.text << '"';
}

TEST(ParseInteger, RejectsEverythingElse) {
  const char* bad[] = {"",
                       " ",
                       "-",
                       "+",
                       "69 ",
                       "6 9",
                       "\t69",
                       "--5",
                       "+-5",
                       "- 5",
                       "$",
                       "0x",
                       "x",
                       "$G",
                       "12a",
                       "2147483648",
                       "-2147483649",
                       "$100000000",
                       "0x1FFFFFFFF",
                       "$000000046",
                       "99999999999999999999",
                       "1.5",
                       "1e3",
                       "٣"};
  for (const char* text : bad) EXPECT_EQ(ParseInteger(text), std::nullopt) << '"' << text << '"';
}

}  // namespace
}  // namespace tftpcfg
