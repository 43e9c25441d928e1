// The compiled-in code page 932 table and the whole-text conversions, with
// nothing of the platform's converters: the same answers on Linux and on
// Windows. tests/cp932_iconv_test.cpp holds the table to iconv on Linux.
#include "cp932.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "token_tables.h"

namespace talvo {
namespace {

template <typename Table>
void expect_tokens_round_trip(const Table& table) {
  for (std::size_t code = 0; code < table.size(); ++code) {
    const std::string_view token(table[code].data());
    const SjisToUtf8Result utf8 = sjis_to_utf8_text(token);
    ASSERT_FALSE(utf8.failed_at) << "code " << code;
    const Utf8ToSjisResult back = utf8_to_sjis_text(utf8.utf8);
    EXPECT_EQ(back.error, Utf8ToSjisError::None) << "code " << code;
    EXPECT_EQ(back.sjis, token) << "code " << code;
  }
}

TEST(Cp932, EveryTokenRoundTripsThroughUtf8) {
  expect_tokens_round_trip(message_extraction_table());
  expect_tokens_round_trip(message_encoding_table());
  expect_tokens_round_trip(byte_extraction_table());
  expect_tokens_round_trip(byte_encoding_table());
}

TEST(Cp932, ReadsSingleBytesAndPairs) {
  struct Case {
    std::string_view bytes;
    char32_t code_point;
    std::uint8_t length;  // 0: no character
  };
  const Case cases[] = {
      {std::string_view("\0", 1), 0x0000, 1},
      {"\x5C", 0x005C, 1},  // a backslash, not a yen sign
      {"\x7E", 0x007E, 1},
      {"\xA1", 0xFF61, 1},  // half-width katakana, first and last
      {"\xDF", 0xFF9F, 1},
      {"\x80", 0, 0},  // single bytes outside the code page
      {"\xA0", 0, 0},
      {"\xFD", 0, 0},
      {"\xFF", 0, 0},
      {"\x81\x40", 0x3000, 2},
      {"\x81\x60", 0xFF5E, 2},  // ～
      {"\x81\x7C", 0xFF0D, 2},  // －
      {"\x82\xA0X", 0x3042, 2},
      {"\x87\x40", 0x2460, 2},  // NEC row 13
      {"\xED\x40", 0x7E8A, 2},  // NEC selection of the IBM extensions
      {"\xFA\x40", 0x2170, 2},  // IBM extensions
      {"\xFC\x4B", 0x9ED1, 2},  // the last character of the code page
      {"\xF0\x40", 0xE000, 2},  // the user-defined area, first and last
      {"\xF9\xFC", 0xE757, 2},
      {"\x81", 0, 0},      // a lead byte at the end
      {"\x81\x7F", 0, 0},  // trail bytes out of range
      {"\x81\x3F", 0, 0},
      {"\x81\xFD", 0, 0},
      {"\x81\x0A", 0, 0},
      {"\x85\x40", 0, 0},  // unassigned pairs
      {"\xFC\x4C", 0, 0},
      {"", 0, 0},
  };
  for (const Case& c : cases) {
    const Cp932Char read = decode_cp932(c.bytes);
    EXPECT_EQ(read.length, c.length) << testing::PrintToString(c.bytes);
    if (c.length != 0) {
      EXPECT_EQ(read.code_point, c.code_point) << testing::PrintToString(c.bytes);
    }
  }
}

TEST(Cp932, WritesOneCodeForEachCharacter) {
  struct Case {
    char32_t code_point;
    std::optional<std::uint16_t> code;
  };
  const Case cases[] = {
      {0xFF5E, 0x8160},                          // ～ and the forms other tables give it
      {0x301C, 0x8160},       {0xFF0D, 0x817C},  // － likewise
      {0x2212, 0x817C},       {0x2015, 0x815C},        {0x2014, 0x815C},         {0x2225, 0x8161},
      {0x2016, 0x8161},       {0xFFE0, 0x8191},        {0x00A2, 0x8191},         {0xFFE1, 0x8192},
      {0x00A3, 0x8192},       {0xFFE2, 0x81CA},  // also at 0xEEF9 and 0xFA54
      {0x00AC, 0x81CA},       {0x2252, 0x81E0},  // ≒, also in NEC row 13 at 0x8790
      {0x2235, 0x81E6},                          // ∵, also at 0x879A and 0xFA5B
      {0x2160, 0x8754},                          // Ⅰ, also at 0xFA4A
      {0x2170, 0xFA40},                          // ⅰ, also at 0xEEEF
      {0x7E8A, 0xFA5C},                          // 纊, also at 0xED40
      {0xE000, 0xF040},       {0xE757, 0xF9FC},        {0xFF61, 0x00A1},         {0x005C, 0x005C},
      {0x00A5, std::nullopt},  // ¥ is not the backslash here
      {0x203E, std::nullopt}, {0x00E9, std::nullopt},  {0xE758, std::nullopt},   {0xFEFF, std::nullopt},
      {0xFFFF, std::nullopt}, {0x1F600, std::nullopt}, {0x10FFFF, std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(encode_cp932(c.code_point), c.code) << std::hex << static_cast<std::uint32_t>(c.code_point);
}

TEST(Cp932, ShiftJisTextStopsAtTheFirstByteWithoutACharacter) {
  struct Case {
    std::string_view sjis;
    std::string_view utf8;
    std::optional<std::size_t> failed_at;
  };
  const Case cases[] = {
      {"(0001)\n\x82\xA0[AC]\n", "(0001)\nあ[AC]\n", std::nullopt},
      {"a\r\n\x09\x7F", "a\r\n\x09\x7F", std::nullopt},  // control bytes are characters too
      {"ab\x81", "ab", 2},
      {"\x82\xA0\x80x", "あ", 2},
      {"\x82\xA0\x85\x40", "あ", 2},
      {"\xFF", "", 0},
      {"", "", std::nullopt},
  };
  for (const Case& c : cases) {
    const SjisToUtf8Result result = sjis_to_utf8_text(c.sjis);
    EXPECT_EQ(result.utf8, c.utf8) << testing::PrintToString(c.sjis);
    EXPECT_EQ(result.failed_at, c.failed_at) << testing::PrintToString(c.sjis);
  }
}

TEST(Cp932, Utf8TextStopsAtTheFirstFault) {
  struct Case {
    std::string_view utf8;
    std::string_view sjis;
    Utf8ToSjisError error;
    std::size_t error_offset;
    Utf8Error utf8_error;
    char32_t code_point;
  };
  using enum Utf8ToSjisError;
  const Case cases[] = {
      {"(0001)\nあ[AC]\n", "(0001)\n\x82\xA0[AC]\n", None, 0, Utf8Error::None, 0},
      {"\xEF\xBB\xBF"
       "あ",
       "\x82\xA0", None, 0, Utf8Error::None, 0},                        // a byte-order mark is dropped
      {"a\xEF\xBB\xBF", "a", NoCp932Form, 1, Utf8Error::None, 0xFEFF},  // but only at the start
      {"あ\xFFい", "\x82\xA0", InvalidUtf8, 3, Utf8Error::InvalidByte, 0},
      {"あ\xE3\x81", "\x82\xA0", InvalidUtf8, 3, Utf8Error::Truncated, 0},
      {"\xED\xA0\x80", "", InvalidUtf8, 0, Utf8Error::Surrogate, 0},
      {"x\xC0\xBC", "x", InvalidUtf8, 1, Utf8Error::Overlong, 0},
      {"café", "caf", NoCp932Form, 3, Utf8Error::None, 0xE9},
      {"a\xF0\x9F\x98\x80", "a", NoCp932Form, 1, Utf8Error::None, 0x1F600},
  };
  for (const Case& c : cases) {
    const Utf8ToSjisResult result = utf8_to_sjis_text(c.utf8);
    EXPECT_EQ(result.sjis, c.sjis) << testing::PrintToString(c.utf8);
    EXPECT_EQ(result.error, c.error) << testing::PrintToString(c.utf8);
    EXPECT_EQ(result.error_offset, c.error_offset) << testing::PrintToString(c.utf8);
    EXPECT_EQ(result.utf8_error, c.utf8_error) << testing::PrintToString(c.utf8);
    if (c.error == NoCp932Form) {
      EXPECT_EQ(result.code_point, c.code_point) << testing::PrintToString(c.utf8);
    }
  }
}

TEST(Cp932, ByteOrderMarkOfAContinuedTextIsACharacter) {
  // A text converted in pieces after a fault: U+FEFF behind the fault is
  // no mark at the start of a file.
  const Utf8ToSjisResult result = utf8_to_sjis_text(
      "\xEF\xBB\xBF"
      "a",
      nullptr, LeadingBom::Refuse);
  EXPECT_EQ(result.error, Utf8ToSjisError::NoCp932Form);
  EXPECT_EQ(result.error_offset, 0u);
  EXPECT_EQ(result.code_point, 0xFEFFu);
}

TEST(Cp932, Utf8OffsetsOfEveryShiftJisByte) {
  struct Case {
    std::string_view utf8;
    std::vector<std::size_t> offsets;
  };
  const Case cases[] = {
      // a, あ (two bytes from three), CR, LF, half-width ｱ (one from three)
      {"aあ\r\nｱ", {0, 1, 1, 4, 5, 6, 9}},
      {"\xEF\xBB\xBF"
       "aあ",
       {3, 4, 4, 7}},
      {"aあ\xFF", {0, 1, 1, 4}},  // the last entry is where it stopped
      {"", {0}},
  };
  for (const Case& c : cases) {
    std::vector<std::size_t> offsets{99};  // what was there is replaced
    utf8_to_sjis_text(c.utf8, &offsets);
    EXPECT_EQ(offsets, c.offsets) << testing::PrintToString(c.utf8);
  }
}

TEST(Cp932, EveryCharacterOfTheCodePageRoundTripsOrHasAnEarlierTwin) {
  // Reading a code and writing its character back gives the code itself,
  // or, for a character the code page has twice, the code that is written
  // for it everywhere, which reads as the same character.
  for (unsigned lead = 0; lead < 256; ++lead) {
    for (unsigned trail = 0; trail < 256; ++trail) {
      const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      const Cp932Char read = decode_cp932(std::string_view(bytes, 2));
      if (read.length == 0) continue;
      const auto code = encode_cp932(read.code_point);
      ASSERT_TRUE(code) << std::hex << lead << ' ' << trail;
      const std::uint16_t expected = read.length == 1 ? lead : lead << 8 | trail;
      if (*code != expected) {
        const char twin[2] = {static_cast<char>(*code >> 8), static_cast<char>(*code & 0xFF)};
        EXPECT_EQ(decode_cp932(std::string_view(twin, 2)).code_point, read.code_point) << std::hex << expected;
        EXPECT_TRUE(lead == 0x87 || lead == 0xED || lead == 0xEE || lead >= 0xFA) << std::hex << expected;
      }
    }
  }
}

}  // namespace
}  // namespace talvo
