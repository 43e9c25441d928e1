// UTF-8, strictly: one code point read or written at a time.
//
// Reading accepts only the shortest form of a Unicode scalar value, as the
// Unicode standard's table of well-formed byte sequences lists them; anything
// else is refused with the reason, so that a working copy damaged by an
// editor is reported where it goes wrong instead of being guessed at.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace talvo {

enum class Utf8Error : std::uint8_t {
  None,
  Truncated,               // the text ends inside a sequence
  MissingContinuation,     // a byte that does not continue the sequence begun before it
  UnexpectedContinuation,  // a continuation byte (0x80-0xBF) where a character should begin
  InvalidByte,             // 0xF8-0xFF, which no UTF-8 text contains
  Overlong,                // a longer sequence than the code point needs
  Surrogate,               // U+D800-U+DFFF, which UTF-8 may not carry
  TooLarge,                // beyond U+10FFFF
};

struct Utf8Char {
  char32_t code_point = 0;  // meaningful only without an error
  // The bytes taken: the whole sequence, or for an error the bytes that form
  // no character (at least 1 for a non-empty text), after which reading may
  // go on.
  std::uint8_t length = 0;
  Utf8Error error = Utf8Error::None;
};

// Reads the character at the start of `text`. An empty text gives Truncated
// with length 0.
Utf8Char decode_utf8(std::string_view text);

// Appends the UTF-8 form of `code_point`, which must be a scalar value (at
// most U+10FFFF, not a surrogate); 1 to 4 bytes.
void append_utf8(std::string& out, char32_t code_point);

// A short English phrase for a reading error, such as "truncated sequence".
std::string_view utf8_error_text(Utf8Error error);

}  // namespace talvo
