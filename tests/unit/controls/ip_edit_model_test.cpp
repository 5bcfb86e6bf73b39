// The IP address field's rules without a window.

#include <gtest/gtest.h>

#include "controls/ip_edit_model.h"

namespace tftpcfg::ipedit {
namespace {

struct ReadCase {
  const char* text;
  uint8_t octetBefore;
  bool readIn;
  uint8_t octetAfter;
  const char* rewrite;  // nullptr: the text stays
};

TEST(IpEditModelTest, ReadsPartTexts) {
  const ReadCase cases[] = {
      // Digits worth 0..255 are taken as typed, leading zeros included.
      {"0", 9, true, 0, nullptr},
      {"7", 0, true, 7, nullptr},
      {"007", 0, true, 7, nullptr},
      {"255", 1, true, 255, nullptr},
      {"192", 0, true, 192, nullptr},
      // Above 255: the last two digits win and the text is rewritten.
      {"256", 25, true, 56, "56"},
      {"300", 30, true, 0, "0"},
      {"999", 99, true, 99, "99"},
      {"260", 26, true, 60, "60"},
      // Longer texts (only a program can set them): last three below 255 win,
      // else the last two.
      {"1254", 1, true, 254, "254"},
      {"1255", 1, true, 55, "55"},
      {"0007", 3, true, 7, "7"},
      {"99999999999999999999", 4, true, 99, "99"},
      // Anything else goes back to the octet's text; the octet stays.
      {"12a", 12, false, 12, "12"},
      {"a", 0, false, 0, "0"},
      {"-1", 5, false, 5, "5"},
      {"+1", 5, false, 5, "5"},
      {" 1", 5, false, 5, "5"},
      {"1.", 1, false, 1, "1"},
      {"\xd9\xa3", 8, false, 8, "8"},  // ARABIC-INDIC DIGIT THREE is not a digit here
      // Empty text waits.
      {"", 42, false, 42, nullptr},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.text);
    const PartReading r = ReadPartText(c.text, c.octetBefore);
    EXPECT_EQ(r.readIn, c.readIn);
    EXPECT_EQ(r.octet, c.octetAfter);
    ASSERT_EQ(r.rewrite.has_value(), c.rewrite != nullptr);
    if (c.rewrite) {
      EXPECT_EQ(*r.rewrite, c.rewrite);
      // A rewritten text is read again: it must then be taken as it stands.
      const PartReading again = ReadPartText(*r.rewrite, r.octet);
      EXPECT_TRUE(again.readIn);
      EXPECT_EQ(again.octet, r.octet);
      EXPECT_FALSE(again.rewrite.has_value());
    }
  }
}

TEST(IpEditModelTest, TypingDigitsKeepsTheLastTwoWhenTheValueOverflows) {
  // Each step is what a part holds after one more digit was typed at its end.
  std::string text;
  uint8_t octet = 0;
  for (char digit : std::string("2563")) {
    if (text.size() == kPartMaxChars) break;  // a full part refuses more
    text += digit;
    const PartReading r = ReadPartText(text, octet);
    octet = r.octet;
    if (r.rewrite) text = *r.rewrite;
  }
  // 2 -> 25 -> 256 rewritten to 56 -> 563 rewritten to 63.
  EXPECT_EQ(text, "63");
  EXPECT_EQ(octet, 63);
}

TEST(IpEditModelTest, CaretStaysUnlessTheNewTextIsShorter) {
  EXPECT_EQ(CaretAfterRewrite(1, 2), 1u);
  EXPECT_EQ(CaretAfterRewrite(2, 2), 2u);
  EXPECT_EQ(CaretAfterRewrite(3, 2), 2u);
  EXPECT_EQ(CaretAfterRewrite(3, 1), 1u);
  EXPECT_EQ(CaretAfterRewrite(0, 1), 0u);
}

// The value inet_addr returns for a.b.c.d: the bytes a, b, c, d in memory.
uint32_t Converted(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
  return AddressValue({a, b, c, d});
}

TEST(IpEditModelTest, AddressTextBecomesOctetsInNetworkOrder) {
  EXPECT_EQ(OctetsFromIPString("10.1", Converted(10, 0, 0, 1)), (Octets{10, 0, 0, 1}));
  EXPECT_EQ(OctetsFromIPString("0.0.0.0", 0), (Octets{0, 0, 0, 0}));
  EXPECT_EQ(OctetsFromIPString("192.168.1.20", Converted(192, 168, 1, 20)),
            (Octets{192, 168, 1, 20}));
  // The byte order of the value does not depend on the host's.
  const Octets octets{1, 2, 3, 4};
  const uint32_t value = AddressValue(octets);
  EXPECT_EQ(reinterpret_cast<const uint8_t*>(&value)[0], 1);
  EXPECT_EQ(reinterpret_cast<const uint8_t*>(&value)[3], 4);
}

TEST(IpEditModelTest, AllOnesIsAnAddressOnlyWhenWrittenOut) {
  EXPECT_EQ(OctetsFromIPString("255.255.255.255", 0xFFFFFFFFu), (Octets{255, 255, 255, 255}));
  // The same value in another form is inet_addr's failure value.
  EXPECT_FALSE(OctetsFromIPString("0xffffffff", 0xFFFFFFFFu));
  EXPECT_FALSE(OctetsFromIPString("255.255.255.255 ", 0xFFFFFFFFu));
  EXPECT_FALSE(OctetsFromIPString("1.2.3.256", 0xFFFFFFFFu));
  EXPECT_FALSE(OctetsFromIPString("host.example", 0xFFFFFFFFu));
}

TEST(IpEditModelTest, BlankTextAndEmbeddedZerosAreNoAddress) {
  // inet_addr reads a single blank, and on older systems "", as 0.0.0.0.
  EXPECT_FALSE(OctetsFromIPString("", 0));
  EXPECT_FALSE(OctetsFromIPString(" ", 0));
  EXPECT_FALSE(OctetsFromIPString("   ", 0));
  // inet_addr would see only "1.2.3.4".
  EXPECT_FALSE(OctetsFromIPString(std::string_view("1.2.3.4\0x", 9), Converted(1, 2, 3, 4)));
}

TEST(IpEditModelTest, DottedTextHasNoLeadingZeros) {
  EXPECT_EQ(DottedText({0, 0, 0, 0}), "0.0.0.0");
  EXPECT_EQ(DottedText({192, 168, 1, 20}), "192.168.1.20");
  EXPECT_EQ(DottedText({255, 255, 255, 255}), "255.255.255.255");
  EXPECT_EQ(OctetText(7), "7");
}

TEST(IpEditModelTest, PartsShareTheInnerWidthWithFivePixelGaps) {
  // A 117-pixel field with a 2-pixel sunken edge on each side.
  const auto spans = LayoutParts(113);
  for (int i = 0; i < kPartCount; ++i) {
    EXPECT_EQ(spans[i].width, 24);
    EXPECT_EQ(spans[i].left, i * 29);
  }
  EXPECT_EQ(LayoutParts(118)[3].left + LayoutParts(118)[3].width, 115);  // rounds down
  EXPECT_EQ(LayoutParts(10)[1].width, 0);                                // never negative
}

TEST(IpEditModelTest, ClickOnTheFieldGoesToTheNearestPart) {
  // Parts of 24 pixels at 0, 29, 58, 87; gaps at 24..28, 53..57, 82..86.
  EXPECT_EQ(PartAt(0, 113), 0);
  EXPECT_EQ(PartAt(26, 113), 0);
  EXPECT_EQ(PartAt(27, 113), 1);
  EXPECT_EQ(PartAt(56, 113), 2);
  EXPECT_EQ(PartAt(84, 113), 2);
  EXPECT_EQ(PartAt(85, 113), 3);
  EXPECT_EQ(PartAt(112, 113), 3);
  EXPECT_EQ(PartAt(-5, 113), 0);
}

TEST(IpEditModelTest, DotAndBlankMoveOnExceptInTheLastPart) {
  for (char32_t ch : {U'.', U' '}) {
    EXPECT_EQ(CharAction(ch, 0, 3, false), KeyAction::kNextPart);
    EXPECT_EQ(CharAction(ch, 2, 0, false), KeyAction::kNextPart);
    EXPECT_EQ(CharAction(ch, 3, 1, false), KeyAction::kIgnore);
  }
}

TEST(IpEditModelTest, AFullPartRefusesCharactersUnlessSomethingIsSelected) {
  EXPECT_EQ(CharAction(U'5', 1, 3, false), KeyAction::kIgnore);
  EXPECT_EQ(CharAction(U'x', 1, 3, false), KeyAction::kIgnore);
  EXPECT_EQ(CharAction(U'5', 1, 3, true), KeyAction::kDefault);
  EXPECT_EQ(CharAction(U'5', 1, 2, false), KeyAction::kDefault);
  EXPECT_EQ(CharAction(U'x', 1, 2, false), KeyAction::kDefault);  // inserted, then rewritten
  // Editing and clipboard keys still work in a full part.
  EXPECT_EQ(CharAction(U'\b', 1, 3, false), KeyAction::kDefault);
  EXPECT_EQ(CharAction(0x16, 1, 3, false), KeyAction::kDefault);  // Ctrl+V
  EXPECT_EQ(CharAction(0x7F, 1, 3, false), KeyAction::kDefault);
  // The Tab character that follows Tab's key-down is never inserted.
  EXPECT_EQ(CharAction(U'\t', 1, 0, false), KeyAction::kIgnore);
}

TEST(IpEditModelTest, ArrowsLeaveAPartOnlyAtItsEdgesWithoutModifiers) {
  const Modifiers none;
  EXPECT_EQ(KeyDownAction(PartKey::kLeft, none, 1, 0, 2), KeyAction::kPreviousPart);
  EXPECT_EQ(KeyDownAction(PartKey::kLeft, none, 1, 1, 2), KeyAction::kDefault);
  EXPECT_EQ(KeyDownAction(PartKey::kLeft, none, 0, 0, 2), KeyAction::kIgnore);
  EXPECT_EQ(KeyDownAction(PartKey::kRight, none, 1, 2, 2), KeyAction::kNextPart);
  EXPECT_EQ(KeyDownAction(PartKey::kRight, none, 1, 1, 2), KeyAction::kDefault);
  EXPECT_EQ(KeyDownAction(PartKey::kRight, none, 3, 2, 2), KeyAction::kIgnore);
  EXPECT_EQ(KeyDownAction(PartKey::kRight, none, 2, 0, 0), KeyAction::kNextPart);  // empty part
  for (Modifiers m : {Modifiers{true, false, false}, Modifiers{false, true, false},
                      Modifiers{false, false, true}}) {
    EXPECT_EQ(KeyDownAction(PartKey::kLeft, m, 1, 0, 2), KeyAction::kDefault);
    EXPECT_EQ(KeyDownAction(PartKey::kRight, m, 1, 2, 2), KeyAction::kDefault);
  }
  EXPECT_EQ(KeyDownAction(PartKey::kOther, none, 1, 0, 2), KeyAction::kDefault);
}

TEST(IpEditModelTest, TabLeavesTheFieldFromAnyPart) {
  for (int part = 0; part < kPartCount; ++part) {
    EXPECT_EQ(KeyDownAction(PartKey::kTab, {}, part, 0, 1), KeyAction::kNextControl);
    EXPECT_EQ(KeyDownAction(PartKey::kTab, {true, false, false}, part, 1, 1),
              KeyAction::kPreviousControl);
  }
  EXPECT_EQ(KeyDownAction(PartKey::kTab, {false, true, false}, 0, 0, 1), KeyAction::kDefault);
}

}  // namespace
}  // namespace tftpcfg::ipedit
