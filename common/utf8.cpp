#include "utf8.h"

#include <cassert>

namespace talvo {
namespace {

bool is_continuation(std::uint8_t b) { return (b & 0xC0) == 0x80; }

}  // namespace

Utf8Char decode_utf8(std::string_view text) {
  if (text.empty()) return {0, 0, Utf8Error::Truncated};
  const auto lead = static_cast<std::uint8_t>(text[0]);
  if (lead < 0x80) return {lead, 1, Utf8Error::None};
  if (is_continuation(lead)) return {0, 1, Utf8Error::UnexpectedContinuation};
  if (lead >= 0xF8) return {0, 1, Utf8Error::InvalidByte};
  // 0xC0 and 0xC1 could only start overlong forms of ASCII; 0xF5-0xF7 only
  // code points beyond U+10FFFF.
  if (lead < 0xC2) return {0, 1, Utf8Error::Overlong};
  if (lead > 0xF4) return {0, 1, Utf8Error::TooLarge};

  const std::uint8_t length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  char32_t code_point = lead & (0x7F >> length);
  for (std::uint8_t i = 1; i < length; ++i) {
    if (i == text.size()) return {0, i, Utf8Error::Truncated};
    const auto b = static_cast<std::uint8_t>(text[i]);
    if (!is_continuation(b)) return {0, i, Utf8Error::MissingContinuation};
    // The second byte decides the three cases a lead byte alone cannot:
    // E0 and F0 need a high enough second byte, ED and F4 a low enough one.
    if (i == 1) {
      if ((lead == 0xE0 && b < 0xA0) || (lead == 0xF0 && b < 0x90)) return {0, 1, Utf8Error::Overlong};
      if (lead == 0xED && b >= 0xA0) return {0, 1, Utf8Error::Surrogate};
      if (lead == 0xF4 && b >= 0x90) return {0, 1, Utf8Error::TooLarge};
    }
    code_point = code_point << 6 | (b & 0x3F);
  }
  return {code_point, length, Utf8Error::None};
}

void append_utf8(std::string& out, char32_t code_point) {
  assert(code_point <= 0x10FFFF && (code_point < 0xD800 || code_point > 0xDFFF));
  if (code_point < 0x80) {
    out += static_cast<char>(code_point);
    return;
  }
  char bytes[4];
  std::size_t length = code_point < 0x800 ? 2 : code_point < 0x10000 ? 3 : 4;
  for (std::size_t i = length - 1; i > 0; --i) {
    bytes[i] = static_cast<char>(0x80 | (code_point & 0x3F));
    code_point >>= 6;
  }
  constexpr std::uint8_t kLeadMarks[5] = {0, 0, 0xC0, 0xE0, 0xF0};
  bytes[0] = static_cast<char>(kLeadMarks[length] | code_point);
  out.append(bytes, length);
}

std::string_view utf8_error_text(Utf8Error error) {
  switch (error) {
    case Utf8Error::None:
      return "no error";
    case Utf8Error::Truncated:
      return "truncated sequence at the end of the text";
    case Utf8Error::MissingContinuation:
      return "truncated sequence";
    case Utf8Error::UnexpectedContinuation:
      return "continuation byte without a lead byte";
    case Utf8Error::InvalidByte:
      return "byte that never occurs in UTF-8";
    case Utf8Error::Overlong:
      return "overlong sequence";
    case Utf8Error::Surrogate:
      return "surrogate code point";
    case Utf8Error::TooLarge:
      return "code point beyond U+10FFFF";
  }
  return "invalid UTF-8";
}

}  // namespace talvo
