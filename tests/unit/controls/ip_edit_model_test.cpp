// The IP address field's rules without a window.

#include <gtest/gtest.h>

#include "controls/ip_edit_model.h"

namespace tftpcfg::ipedit {
namespace {

TEST(IpEditModelTest, ReadsPartTexts) {
  struct Case {
    const char* text;
    uint8_t octetBefore;
    bool readIn;
    uint8_t octetAfter;
    const char* rewrite;  // nullptr: the text stays
  };
  const Case cases[] = {
      // Digits worth 0..255 are taken as typed, leading zeros included.
      {"0", 9, true, 0, nullptr},
      {"007", 0, true, 7, nullptr},
      {"255", 1, true, 255, nullptr},
      // Above 255: the last two digits win and the text is rewritten.
      {"256", 25, true, 56, "56"},
      {"300", 30, true, 0, "0"},
      {"999", 99, true, 99, "99"},
      // Longer texts (only a program can set them): the last three if below
      // 255, else the last two.
      {"1254", 1, true, 254, "254"},
      {"1255", 1, true, 55, "55"},
      {"0007", 3, true, 7, "7"},
      {"99999999999999999999", 4, true, 99, "99"},
      // Anything else goes back to the octet's text; the octet stays.
      {"12a", 12, false, 12, "12"},
      {"-1", 5, false, 5, "5"},
      {" 1", 5, false, 5, "5"},
      {"1.", 1, false, 1, "1"},
      {"\xd9\xa3", 8, false, 8, "8"},  // ARABIC-INDIC DIGIT THREE is no digit here
      // Empty text waits.
      {"", 42, false, 42, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const PartReading r = ReadPartText(c.text, c.octetBefore);
    EXPECT_EQ(r.readIn, c.readIn);
    EXPECT_EQ(r.octet, c.octetAfter);
    ASSERT_EQ(r.rewrite.has_value(), c.rewrite != nullptr);
    if (!c.rewrite) continue;
    EXPECT_EQ(*r.rewrite, c.rewrite);
    // The rewritten text is read again and must then stand as it is.
    const PartReading again = ReadPartText(*r.rewrite, r.octet);
    EXPECT_TRUE(again.readIn);
    EXPECT_EQ(again.octet, r.octet);
    EXPECT_FALSE(again.rewrite.has_value());
  }
}

// The value inet_addr returns for a.b.c.d: the bytes a, b, c, d in memory.
uint32_t Converted(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
  return AddressValue({a, b, c, d});
}

TEST(IpEditModelTest, AddressTextsBecomeOctetsInNetworkOrder) {
  EXPECT_EQ(OctetsFromIPString("10.1", Converted(10, 0, 0, 1)), (Octets{10, 0, 0, 1}));
  EXPECT_EQ(OctetsFromIPString("0.0.0.0", 0), (Octets{0, 0, 0, 0}));
  const uint32_t value = Converted(1, 2, 3, 4);
  EXPECT_EQ(reinterpret_cast<const uint8_t*>(&value)[0], 1);
  EXPECT_EQ(reinterpret_cast<const uint8_t*>(&value)[3], 4);
  EXPECT_EQ(DottedText({192, 168, 1, 20}), "192.168.1.20");

  // All ones is an address only when written out; otherwise it is inet_addr's
  // failure value.
  EXPECT_EQ(OctetsFromIPString("255.255.255.255", 0xFFFFFFFFu), (Octets{255, 255, 255, 255}));
  for (const char* failed : {"0xffffffff", "255.255.255.255 ", "1.2.3.256", "host.example"}) {
    EXPECT_FALSE(OctetsFromIPString(failed, 0xFFFFFFFFu)) << failed;
  }
  // inet_addr reads a single blank, and on older systems "", as 0.0.0.0.
  for (const char* blank : {"", " ", "   "}) EXPECT_FALSE(OctetsFromIPString(blank, 0)) << blank;
  // inet_addr would see only "1.2.3.4".
  EXPECT_FALSE(OctetsFromIPString(std::string_view("1.2.3.4\0x", 9), Converted(1, 2, 3, 4)));
}

TEST(IpEditModelTest, PartsShareTheInnerWidthAndClicksGoToTheNearestPart) {
  // A 117-pixel field with a 2-pixel sunken edge on each side.
  const auto spans = LayoutParts(113);
  for (int i = 0; i < kPartCount; ++i) {
    EXPECT_EQ(spans[i].width, 24);
    EXPECT_EQ(spans[i].left, i * 29);
  }
  EXPECT_EQ(LayoutParts(118)[3].left + LayoutParts(118)[3].width, 115);  // rounds down
  EXPECT_EQ(LayoutParts(10)[1].width, 0);                                // never negative

  // Gaps at 24..28, 53..57, 82..86: their left halves belong to the part before.
  const std::pair<int, int> clicks[] = {{-5, 0}, {0, 0},  {26, 0}, {27, 1},
                                        {56, 2}, {84, 2}, {85, 3}, {112, 3}};
  for (auto [x, part] : clicks) EXPECT_EQ(PartAt(x, 113), part) << x;
}

// The key table end to end is tested on the real field; these are the cases
// that the Windows tests do not reach.
TEST(IpEditModelTest, KeyTableEdges) {
  // A dot moves on even from a full part; a full part refuses other characters
  // but not editing and clipboard keys.
  EXPECT_EQ(CharAction(U'.', 0, 3, false), KeyAction::kNextPart);
  EXPECT_EQ(CharAction(U' ', 3, 1, false), KeyAction::kIgnore);
  EXPECT_EQ(CharAction(U'\b', 1, 3, false), KeyAction::kDefault);
  EXPECT_EQ(CharAction(0x16, 1, 3, false), KeyAction::kDefault);  // Ctrl+V
  EXPECT_EQ(CharAction(0x7F, 1, 3, false), KeyAction::kDefault);  // Ctrl+Backspace
  // An empty part is at its start and its end at once.
  EXPECT_EQ(KeyDownAction(PartKey::kRight, {}, 2, 0, 0), KeyAction::kNextPart);
  EXPECT_EQ(KeyDownAction(PartKey::kLeft, {}, 2, 0, 0), KeyAction::kPreviousPart);
  // Ctrl and Alt leave the arrows and Tab to ordinary handling.
  for (Modifiers m : {Modifiers{false, true, false}, Modifiers{false, false, true}}) {
    EXPECT_EQ(KeyDownAction(PartKey::kLeft, m, 1, 0, 2), KeyAction::kDefault);
    EXPECT_EQ(KeyDownAction(PartKey::kRight, m, 1, 2, 2), KeyAction::kDefault);
    EXPECT_EQ(KeyDownAction(PartKey::kTab, m, 1, 0, 2), KeyAction::kDefault);
  }
  EXPECT_EQ(KeyDownAction(PartKey::kTab, {true, false, false}, 3, 1, 1),
            KeyAction::kPreviousControl);
}

}  // namespace
}  // namespace tftpcfg::ipedit
