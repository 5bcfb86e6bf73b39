// The IP address field's part rules on any input.
//
// 1. Reading a part's text into its octet agrees with a reference written from
//    the rules, and a rewritten text stands when it is read again.
// 2. A part is typed into, key by key, as its EDIT would be (at most three
//    characters, selection, caret, Backspace, Delete, arrows, leaving and
//    entering the part): after every key the text is empty or digits only, at
//    most three characters, and when not empty it is worth exactly the octet.
// 3. A written address text that is accepted reads back as inet_ntoa text that
//    converts to the same address again.
// 4. The four parts share any plausible width without overlapping, and every
//    click lands in a part.

#include <arpa/inet.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "controls/ip_edit_model.h"
#include "tests/fuzz/fuzz_input.h"

namespace tftpcfg::ipedit {
namespace {

using fuzz::Escaped;
using fuzz::FuzzInput;

bool AllDigits(std::string_view s) {
  for (const char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

// The value of at most three digits.
int Small(std::string_view digits) {
  int v = 0;
  for (const char c : digits) v = v * 10 + (c - '0');
  return v;
}

PartReading ReferenceRead(std::string_view text, uint8_t octet) {
  PartReading r;
  r.octet = octet;
  if (text.empty()) return r;
  if (!AllDigits(text)) {
    r.rewrite = std::to_string(octet);
    return r;
  }
  r.readIn = true;
  if (text.size() <= 3 && Small(text) <= 255) {
    r.octet = static_cast<uint8_t>(Small(text));
    return r;
  }
  if (text.size() >= 3 && Small(text.substr(text.size() - 3)) < 255)
    r.octet = static_cast<uint8_t>(Small(text.substr(text.size() - 3)));
  else if (text.size() >= 2)
    r.octet = static_cast<uint8_t>(Small(text.substr(text.size() - 2)));
  r.rewrite = std::to_string(r.octet);
  return r;
}

std::string Show(const PartReading& r) {
  return std::string(r.readIn ? "read " : "kept ") + std::to_string(r.octet) +
         (r.rewrite ? " rewrite \"" + *r.rewrite + "\"" : std::string());
}

void CheckReading(std::string_view text, uint8_t octet) {
  const PartReading got = ReadPartText(text, octet);
  const PartReading expected = ReferenceRead(text, octet);
  FUZZ_CHECK(got.readIn == expected.readIn && got.octet == expected.octet &&
                 got.rewrite == expected.rewrite,
             "text \"" + Escaped(text) + "\" octet " + std::to_string(octet) + ": " + Show(got) +
                 ", reference " + Show(expected));
  if (got.rewrite) {
    const PartReading again = ReadPartText(*got.rewrite, got.octet);
    FUZZ_CHECK(again.readIn && again.octet == got.octet && !again.rewrite, Show(again));
  }
}

// One part and its EDIT, driven by key codes.
struct Part {
  std::string text;
  size_t caret = 0;
  size_t selStart = 0;  // selection [selStart, caret) or [caret, selStart)
  uint8_t octet = 0;
  int index = 0;

  bool HasSelection() const { return selStart != caret; }
  size_t Low() const { return selStart < caret ? selStart : caret; }
  size_t High() const { return selStart < caret ? caret : selStart; }
  void Place(size_t at) { caret = selStart = at; }

  std::string State() const {
    return "text \"" + Escaped(text) + "\" caret " + std::to_string(caret) + " octet " +
           std::to_string(octet);
  }

  // The field reads the text after every change, and again after each rewrite.
  void Changed() {
    for (int round = 0;; ++round) {
      FUZZ_CHECK(round < 3, "rewrites do not settle: " + State());
      const PartReading r = ReadPartText(text, octet);
      if (r.readIn) octet = r.octet;
      if (!r.rewrite) return;
      text = *r.rewrite;
      Place(CaretAfterRewrite(caret, text.size()));
    }
  }
  void Enter() {
    selStart = 0;
    caret = text.size();
  }
  void Leave() {
    Place(caret);
    if (text.empty()) {
      text = OctetText(octet);
      Place(0);
    }
  }
  void Type(char ch) {
    if (CharAction(static_cast<unsigned char>(ch), index, text.size(), HasSelection()) !=
        KeyAction::kDefault)
      return;
    if (ch == '\b') {
      if (HasSelection()) {
        text.erase(Low(), High() - Low());
        Place(Low());
      } else if (caret > 0) {
        text.erase(caret - 1, 1);
        Place(caret - 1);
      } else {
        return;
      }
    } else if (static_cast<unsigned char>(ch) >= 0x20 && ch != 0x7F) {
      std::string next = text;
      next.replace(Low(), High() - Low(), 1, ch);
      if (next.size() > kPartMaxChars) return;  // the EDIT's limit
      text = std::move(next);
      Place(Low() + 1);
    } else {
      return;  // other control characters change nothing
    }
    Changed();
  }
  void Delete() {
    if (HasSelection()) {
      text.erase(Low(), High() - Low());
      Place(Low());
    } else if (caret < text.size()) {
      text.erase(caret, 1);
    } else {
      return;
    }
    Changed();
  }
  void Arrow(bool right, bool shift) {
    const PartKey key = right ? PartKey::kRight : PartKey::kLeft;
    const KeyAction a = KeyDownAction(key, {shift, false, false}, index, caret, text.size());
    if (a == KeyAction::kNextPart || a == KeyAction::kPreviousPart) {
      // Out to the neighbour and straight back: the part is left and entered.
      Leave();
      Enter();
      return;
    }
    if (a != KeyAction::kDefault) return;
    const size_t to =
        right ? (caret < text.size() ? caret + 1 : caret) : (caret > 0 ? caret - 1 : 0);
    if (shift) {
      caret = to;
    } else {
      Place(to);
    }
  }

  void CheckAgreement() const {
    FUZZ_CHECK(text.size() <= kPartMaxChars && caret <= text.size() && selStart <= text.size(),
               State());
    if (text.empty()) return;
    FUZZ_CHECK(AllDigits(text), State());
    FUZZ_CHECK(Small(text) == octet, State());
  }
};

void TypeIntoPart(FuzzInput& in) {
  Part part;
  part.index = in.Byte() % kPartCount;
  part.octet = in.Byte();
  part.text = OctetText(part.octet);
  part.Enter();
  while (!in.empty()) {
    const uint8_t key = in.Byte();
    switch (key) {
      case 0xF0:
        part.Arrow(false, false);
        break;
      case 0xF1:
        part.Arrow(true, false);
        break;
      case 0xF2:
        part.Arrow(false, true);
        break;
      case 0xF3:
        part.Arrow(true, true);
        break;
      case 0xF4:
        part.Place(0);
        break;  // Home
      case 0xF5:
        part.Place(part.text.size());
        break;  // End
      case 0xF6:
        part.Delete();
        break;
      case 0xF7:
        part.Leave();
        part.Enter();
        break;  // focus away and back
      default:
        part.Type(static_cast<char>(key & 0x7F));
        break;
    }
    part.CheckAgreement();
  }
}

void CheckAddressText(const std::string& text) {
  const uint32_t converted = inet_addr(text.c_str());
  const std::optional<Octets> octets = OctetsFromIPString(text, converted);
  if (text == "255.255.255.255") {
    FUZZ_CHECK(octets == Octets({255, 255, 255, 255}), text);
    return;
  }
  if (!octets) return;
  FUZZ_CHECK(converted != INADDR_NONE, Escaped(text));
  FUZZ_CHECK(AddressValue(*octets) == converted, Escaped(text));
  const std::string dotted = DottedText(*octets);
  in_addr address{};
  address.s_addr = AddressValue(*octets);
  FUZZ_CHECK(dotted == inet_ntoa(address), dotted);
  FUZZ_CHECK(OctetsFromIPString(dotted, inet_addr(dotted.c_str())) == octets, dotted);
}

void CheckLayout(int innerWidth, int x) {
  const auto spans = LayoutParts(innerWidth);
  for (int i = 0; i < kPartCount; ++i) {
    FUZZ_CHECK(spans[i].width >= 0, std::to_string(innerWidth));
    if (i > 0)
      FUZZ_CHECK(spans[i].left == spans[i - 1].left + spans[i - 1].width + kPartGap,
                 std::to_string(innerWidth));
  }
  const int part = PartAt(x, innerWidth);
  FUZZ_CHECK(part >= 0 && part < kPartCount,
             std::to_string(x) + " in " + std::to_string(innerWidth));
  FUZZ_CHECK(PartAt(x + 1, innerWidth) >= part, "clicks further right land further left");
}

}  // namespace
}  // namespace tftpcfg::ipedit

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tftpcfg::ipedit;
  tftpcfg::fuzz::FuzzInput in(data, size);
  const uint8_t octet = in.Byte();
  const std::string text = in.Bytes(in.Byte() % 24);
  CheckReading(text, octet);
  CheckAddressText(text);
  // Widths a window can have, in pixels.
  CheckLayout(static_cast<int16_t>(in.Word()), static_cast<int16_t>(in.Word()));
  TypeIntoPart(in);
  return 0;
}
