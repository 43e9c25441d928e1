#include "utf8.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace talvo {
namespace {

std::string hex(std::string_view bytes) {
  std::string out;
  char text[4];
  for (const char c : bytes) {
    std::snprintf(text, sizeof text, "%02X ", static_cast<unsigned>(static_cast<unsigned char>(c)));
    out += text;
  }
  return out;
}

TEST(Utf8, DecodesTheShortestFormAtEveryBoundary) {
  struct Case {
    std::string_view bytes;
    char32_t code_point;
    std::uint8_t length;
  };
  const Case cases[] = {
      {std::string_view("\0", 1), 0x0, 1},
      {"\x7F", 0x7F, 1},
      {"\xC2\x80", 0x80, 2},
      {"\xDF\xBF", 0x7FF, 2},
      {"\xE0\xA0\x80", 0x800, 3},
      {"\xED\x9F\xBF", 0xD7FF, 3},  // just below the surrogates
      {"\xEE\x80\x80", 0xE000, 3},  // just above them
      {"\xEF\xBF\xBF", 0xFFFF, 3},
      {"\xF0\x90\x80\x80", 0x10000, 4},
      {"\xF4\x8F\xBF\xBF", 0x10FFFF, 4},
      {"\xE3\x81\x82\xE3\x81\x84", 0x3042, 3},  // only the first character is read
  };
  for (const Case& c : cases) {
    const Utf8Char decoded = decode_utf8(c.bytes);
    EXPECT_EQ(decoded.error, Utf8Error::None) << hex(c.bytes);
    EXPECT_EQ(decoded.code_point, c.code_point) << hex(c.bytes);
    EXPECT_EQ(decoded.length, c.length) << hex(c.bytes);
  }
}

TEST(Utf8, RefusesIllFormedSequencesWithTheBytesToSkip) {
  struct Case {
    std::string_view bytes;
    Utf8Error error;
    std::uint8_t length;
  };
  const Case cases[] = {
      {"", Utf8Error::Truncated, 0},
      {"\xE3", Utf8Error::Truncated, 1},
      {"\xE3\x81", Utf8Error::Truncated, 2},
      {"\xF0\x9F\x98", Utf8Error::Truncated, 3},
      {"\xC3"
       "A",
       Utf8Error::MissingContinuation, 1},
      {"\xE3\x81"
       "A",
       Utf8Error::MissingContinuation, 2},
      {"\xE3\xC3\xA9", Utf8Error::MissingContinuation, 1},  // a new character begins
      {"\x80", Utf8Error::UnexpectedContinuation, 1},
      {"\xBF\xBF", Utf8Error::UnexpectedContinuation, 1},
      {"\xF8\x88\x80\x80\x80", Utf8Error::InvalidByte, 1},  // the old five-byte form
      {"\xFF", Utf8Error::InvalidByte, 1},
      {"\xC0\xAF", Utf8Error::Overlong, 1},  // "/" in two bytes
      {"\xC1\xBF", Utf8Error::Overlong, 1},
      {"\xE0\x9F\xBF", Utf8Error::Overlong, 1},      // U+07FF in three bytes
      {"\xF0\x8F\xBF\xBF", Utf8Error::Overlong, 1},  // U+FFFF in four bytes
      {"\xED\xA0\x80", Utf8Error::Surrogate, 1},     // U+D800
      {"\xED\xBF\xBF", Utf8Error::Surrogate, 1},     // U+DFFF
      {"\xF4\x90\x80\x80", Utf8Error::TooLarge, 1},  // U+110000
      {"\xF5\x80\x80\x80", Utf8Error::TooLarge, 1},
  };
  for (const Case& c : cases) {
    const Utf8Char decoded = decode_utf8(c.bytes);
    EXPECT_EQ(decoded.error, c.error) << hex(c.bytes);
    EXPECT_EQ(decoded.length, c.length) << hex(c.bytes);
    EXPECT_FALSE(utf8_error_text(c.error).empty());
  }
}

TEST(Utf8, EveryScalarValueWritesAndReadsBack) {
  std::string text;
  for (char32_t code_point = 0; code_point <= 0x10FFFF; ++code_point) {
    if (code_point == 0xD800) code_point = 0xE000;
    text.clear();
    append_utf8(text, code_point);
    const std::size_t length = code_point < 0x80 ? 1 : code_point < 0x800 ? 2 : code_point < 0x10000 ? 3 : 4;
    ASSERT_EQ(text.size(), length) << std::hex << static_cast<std::uint32_t>(code_point);
    const Utf8Char decoded = decode_utf8(text);
    ASSERT_EQ(decoded.error, Utf8Error::None) << std::hex << static_cast<std::uint32_t>(code_point);
    ASSERT_EQ(decoded.code_point, code_point);
    ASSERT_EQ(decoded.length, length);
  }
}

}  // namespace
}  // namespace talvo
