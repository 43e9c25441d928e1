// The compiled-in code page 932 table against the C library's CP932
// converter (glibc iconv), every code in both directions, and the terminal
// text against what it was when iconv made it. Linux only.
#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "cp932.h"
#include "sjis_terminal_text.h"

namespace talvo {
namespace {

class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv has no CP932 converter here");
  }
  ~Iconv() { iconv_close(cd_); }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  // The whole input converted, or nothing.
  std::optional<std::string> convert(std::string_view input) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string in(input);
    char out[16];
    char* in_ptr = in.data();
    char* out_ptr = out;
    std::size_t in_left = in.size();
    std::size_t out_left = sizeof out;
    if (iconv(cd_, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<std::size_t>(-1) || in_left != 0) {
      return std::nullopt;
    }
    return std::string(out, static_cast<std::size_t>(out_ptr - out));
  }

 private:
  iconv_t cd_;
};

std::string utf8_of(char32_t code_point) {
  std::string out;
  append_utf8(out, code_point);
  return out;
}

TEST(Cp932Iconv, EveryCodeReadsAsIconvReadsIt) {
  Iconv to_utf8("UTF-8", "CP932");
  for (unsigned first = 0; first < 256; ++first) {
    const char single = static_cast<char>(first);
    const Cp932Char read = decode_cp932(std::string_view(&single, 1));
    const auto expected = to_utf8.convert(std::string_view(&single, 1));
    ASSERT_EQ(read.length != 0, expected.has_value()) << std::hex << first;
    if (expected) {
      EXPECT_EQ(utf8_of(read.code_point), *expected) << std::hex << first;
    }
    if (read.length == 1) continue;
    for (unsigned second = 0; second < 256; ++second) {
      const char pair[2] = {single, static_cast<char>(second)};
      const Cp932Char pair_read = decode_cp932(std::string_view(pair, 2));
      const auto pair_expected = to_utf8.convert(std::string_view(pair, 2));
      ASSERT_EQ(pair_read.length == 2, pair_expected.has_value()) << std::hex << first << ' ' << second;
      if (pair_expected) {
        EXPECT_EQ(utf8_of(pair_read.code_point), *pair_expected) << std::hex << first << ' ' << second;
      }
    }
  }
}

TEST(Cp932Iconv, EveryCodePointWritesAsIconvWritesIt) {
  Iconv to_cp932("CP932", "UTF-8");
  // All of the Basic Multilingual Plane, where the code page lies, and a
  // sample of the planes above it.
  for (char32_t code_point = 0; code_point <= 0x10FFFF; code_point += code_point < 0x10000 ? 1 : 0x3F1) {
    if (code_point == 0xD800) code_point = 0xE000;
    // iconv also writes ¥ and ‾ as the ASCII bytes they share in JIS X
    // 0201; here they are refused, as the backslash and tilde are not them.
    if (code_point == 0xA5 || code_point == 0x203E) continue;
    const auto code = encode_cp932(code_point);
    const auto expected = to_cp932.convert(utf8_of(code_point));
    ASSERT_EQ(code.has_value(), expected.has_value()) << std::hex << static_cast<std::uint32_t>(code_point);
    if (!code) continue;
    std::string written;
    if (*code >= 0x100) written += static_cast<char>(*code >> 8);
    written += static_cast<char>(*code & 0xFF);
    EXPECT_EQ(written, *expected) << std::hex << static_cast<std::uint32_t>(code_point);
  }
  EXPECT_EQ(to_cp932.convert(utf8_of(0xA5)), "\x5C");
  EXPECT_EQ(encode_cp932(0xA5), std::nullopt);
}

// How the terminal text was made before the table: iconv for every pair and
// half-width katakana, "<XX>" for what it refused and for control bytes.
std::string terminal_text_through_iconv(Iconv& to_utf8, std::string_view sjis) {
  std::string out;
  for (std::size_t i = 0; i < sjis.size();) {
    const auto b = static_cast<unsigned char>(sjis[i]);
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    const auto trail = i + 1 < sjis.size() ? static_cast<unsigned char>(sjis[i + 1]) : 0;
    std::optional<std::string> converted;
    if (b == '\n' || (b >= 0x20 && b < 0x7F)) {
      out += static_cast<char>(b);
      ++i;
    } else if (lead && trail >= 0x40 && trail <= 0xFC && trail != 0x7F &&
               (converted = to_utf8.convert(sjis.substr(i, 2)))) {
      out += *converted;
      i += 2;
    } else if (b >= 0xA1 && b <= 0xDF && (converted = to_utf8.convert(sjis.substr(i, 1)))) {
      out += *converted;
      ++i;
    } else {
      char hex[5];
      std::snprintf(hex, sizeof hex, "<%02X>", b);
      out += hex;
      ++i;
    }
  }
  return out;
}

TEST(Cp932Iconv, TerminalTextIsAsIconvMadeIt) {
  Iconv to_utf8("UTF-8", "CP932");
  for (unsigned first = 0; first < 256; ++first) {
    for (unsigned second = 0; second < 256; ++second) {
      // The pair, and the pair cut short after its first byte by the end.
      const char text[3] = {static_cast<char>(first), static_cast<char>(second), static_cast<char>(first)};
      const std::string_view sjis(text, 3);
      ASSERT_EQ(sjis_to_utf8(sjis), terminal_text_through_iconv(to_utf8, sjis)) << std::hex << first << ' ' << second;
    }
  }
}

}  // namespace
}  // namespace talvo
