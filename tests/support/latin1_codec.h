#pragma once
// A stand-in for the ANSI code page in native tests: ISO 8859-1, which maps
// bytes to the first 256 code points. Characters above U+00FF cannot be stored.

#include "platform/ansi_codec.h"

namespace tftpcfg::test {

class Latin1Codec final : public IAnsiCodec {
 public:
  bool ToAnsi(std::string_view utf8, std::string& ansi) const override {
    ansi.clear();
    for (size_t i = 0; i < utf8.size();) {
      const auto c = static_cast<unsigned char>(utf8[i]);
      if (c < 0x80) {
        ansi.push_back(static_cast<char>(c));
        ++i;
      } else if ((c & 0xE0) == 0xC0 && i + 1 < utf8.size()) {
        const unsigned cp = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
        if (cp > 0xFF) return false;
        ansi.push_back(static_cast<char>(cp));
        i += 2;
      } else {
        return false;
      }
    }
    return true;
  }
  std::string FromAnsi(std::string_view ansi) const override {
    std::string out;
    for (const char ch : ansi) {
      const auto c = static_cast<unsigned char>(ch);
      if (c < 0x80) {
        out.push_back(ch);
      } else {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
      }
    }
    return out;
  }
  std::string CodePageName() const override { return "ISO-8859-1"; }
};

}  // namespace tftpcfg::test
