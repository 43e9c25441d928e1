// Code page 932 (the Shift_JIS of the game's texts) to Unicode and back,
// through a table compiled into the program: the same answer on every
// platform, whatever its locale or iconv build.
//
// Reading follows code page 932 as Windows and glibc's iconv read it: ASCII,
// the half-width katakana 0xA1-0xDF, and pairs of a lead byte 0x81-0x9F or
// 0xE0-0xFC with a trail byte 0x40-0x7E or 0x80-0xFC, the user-defined area
// 0xF040-0xF9FC becoming the private use area U+E000-U+E757. Writing gives
// each character the code they give it where the code page has two (the NEC
// and IBM extensions). On top of that, writing accepts the code points that
// JIS-based Shift_JIS tables and editors use for seven characters of the
// code page: U+301C for 0x8160 "～", U+2212 for 0x817C "－", U+2014 for
// 0x815C, U+2016 for 0x8161, U+00A2, U+00A3 and U+00AC for 0x8191, 0x8192
// and 0x81CA.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "utf8.h"

namespace talvo {

struct Cp932Char {
  char32_t code_point = 0;
  std::uint8_t length = 0;  // bytes read, 1 or 2; 0 when the bytes start no character
};

// Reads the character at the start of `bytes`: length 0 for an empty text,
// a byte that starts no character, a lead byte without its trail byte, or a
// pair the code page leaves unassigned.
Cp932Char decode_cp932(std::string_view bytes);

// The code of a code point: below 0x100 a single byte, else lead byte << 8 |
// trail byte; nothing when code page 932 cannot write it.
std::optional<std::uint16_t> encode_cp932(char32_t code_point);

struct SjisToUtf8Result {
  // The whole text; after a failure, the text before the failing byte.
  std::string utf8;
  // The offset of the first byte that starts no character, if any.
  std::optional<std::size_t> failed_at;
};

// Converts Shift_JIS (code page 932) to UTF-8, control bytes included, with
// no byte-order mark; stops at the first byte that starts no character.
SjisToUtf8Result sjis_to_utf8_text(std::string_view sjis);

enum class Utf8ToSjisError : std::uint8_t {
  None,
  InvalidUtf8,  // see Utf8ToSjisResult::utf8_error
  NoCp932Form,  // a well-formed character that code page 932 cannot write
};

struct Utf8ToSjisResult {
  // The whole text; after a failure, the text before the failing character.
  std::string sjis;
  Utf8ToSjisError error = Utf8ToSjisError::None;
  std::size_t error_offset = 0;            // of the failing byte or character in the UTF-8 input
  Utf8Error utf8_error = Utf8Error::None;  // with InvalidUtf8
  char32_t code_point = 0;                 // with NoCp932Form
};

// What a byte-order mark at the start of the UTF-8 text is: the mark that
// editors may write at the start of a file, dropped; or, where the text
// goes on from an earlier piece, the character U+FEFF, which code page 932
// cannot write.
enum class LeadingBom : std::uint8_t { Drop, Refuse };

// Converts UTF-8 to Shift_JIS (code page 932); stops at the first invalid
// sequence or character without a code page 932 form.
//
// With `utf8_offsets`, it also fills that vector with one entry per
// Shift_JIS byte written, the UTF-8 offset of the character the byte belongs
// to, and one entry more for the end of the output: the UTF-8 offset where
// conversion ended (the input's size, or error_offset). So a position N in
// the Shift_JIS text, the second byte of a pair included, is
// (*utf8_offsets)[N] in the UTF-8 text.
Utf8ToSjisResult utf8_to_sjis_text(std::string_view utf8, std::vector<std::size_t>* utf8_offsets = nullptr,
                                   LeadingBom leading_bom = LeadingBom::Drop);

}  // namespace talvo
