#pragma once
// Helpers shared by the fuzz targets: reading structured values from the raw
// input, and a check that stops the run with a message (libFuzzer records an
// abort as a crash and keeps the input that caused it).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace tftpcfg::fuzz {

// Reads the input front to back; past the end every read gives zeros or empty.
class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool empty() const { return pos_ >= size_; }
  size_t remaining() const { return size_ - pos_; }

  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  uint16_t Word() {
    const uint16_t low = Byte();
    return static_cast<uint16_t>(low | (Byte() << 8));
  }
  uint32_t Dword() {
    const uint32_t low = Word();
    return low | (static_cast<uint32_t>(Word()) << 16);
  }
  // Up to n bytes (fewer at the end of the input).
  std::string Bytes(size_t n) {
    if (n > remaining()) n = remaining();
    std::string out(reinterpret_cast<const char*>(data_ + pos_), n);
    pos_ += n;
    return out;
  }
  std::string Rest() { return Bytes(remaining()); }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// Printable form of a text for failure messages.
inline std::string Escaped(std::string_view text, size_t limit = 200) {
  std::string out;
  for (size_t i = 0; i < text.size() && i < limit; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out.push_back(static_cast<char>(c));
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    }
  }
  if (text.size() > limit) out += "...";
  return out;
}

[[noreturn]] inline void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "fuzz check failed: %s\n  %s\n", what, detail.c_str());
  std::abort();
}

}  // namespace tftpcfg::fuzz

#define FUZZ_CHECK(cond, detail)                       \
  do {                                                 \
    if (!(cond)) ::tftpcfg::fuzz::Fail(#cond, detail); \
  } while (false)
