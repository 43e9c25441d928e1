// The extracted text format: what the extractor writes and the encoders read.
//
// Each entry is a header "(0x%04X)" with its number, then the tokens of its
// codes. Message headers stand on lines of their own, with an empty line
// before every header but the first; byte-bank entries are one line each.
// The encoders read only the order of the headers and the tokens between
// them: header digits and line breaks carry nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace talvo {

// A text file is Shift_JIS, as the extractor writes it, or a UTF-8 working
// copy of one.
enum class TextEncoding { ShiftJis, Utf8 };

}  // namespace talvo

namespace talvo::text_format {

inline constexpr char kMessageFileName[] = "MsgDataDecode.txt";
inline constexpr char kFixedStringFileName[] = "StrDataDecode.txt";
inline constexpr char kBattleTextFileName[] = "BtlDataDecode.txt";

inline constexpr char kHeaderFormat[] = "(0x%04X)";
inline constexpr char kFirstMessageHeaderFormat[] = "(0x%04X)\n";
inline constexpr char kMessageHeaderFormat[] = "\n(0x%04X)\n";

inline constexpr std::uint8_t kTokenOpen = '[';
inline constexpr std::uint8_t kTokenClose = ']';
inline constexpr std::uint8_t kHeaderOpen = '(';
inline constexpr std::uint8_t kHeaderClose = ')';
inline constexpr std::uint8_t kLineFeed = 0x0A;
inline constexpr std::uint8_t kCarriageReturn = 0x0D;

// The most bytes a reader keeps between brackets; no token is longer than 5.
inline constexpr std::size_t kMaxTokenBytes = 7;

// How many entries each file holds, as the game's banks do, and the codes
// that end an entry: messages end with 0x0AC or 0x0AE (0x0AD and 0x0AF only
// break the line), fixed strings with byte 0xAC, battle text with 0xAC or
// 0xAE.
inline constexpr std::size_t kMessageEntries = 4047;
inline constexpr std::size_t kFixedStringEntries = 958;
inline constexpr std::size_t kBattleTextEntries = 375;
inline constexpr std::uint16_t kMessageEnd = 0x0AC;
inline constexpr std::uint16_t kMessageEndAlt = 0x0AE;
inline constexpr std::uint8_t kByteEnd = 0xAC;
inline constexpr std::uint8_t kBattleEndAlt = 0xAE;

}  // namespace talvo::text_format

namespace talvo::text_format {

// The header of entry `number` in the format given, as text: the format's
// one "%04X" becomes the number in upper-case hexadecimal, at least four
// digits. The extractor writes a header for each of five thousand entries,
// so this spells the digits out instead of running snprintf every time.
template <std::size_t N>
inline std::string_view format_header(const char (&format)[N], std::uint32_t number, char (&out)[16]) {
  constexpr std::string_view kField = "%04X";
  const std::string_view pattern(format, N - 1);
  const std::size_t field = pattern.find(kField);
  if (field == std::string_view::npos || pattern.size() - kField.size() + 8 > sizeof out) {
    const int length = std::snprintf(out, sizeof out, format, static_cast<unsigned>(number));
    return std::string_view(out, length > 0 ? static_cast<std::size_t>(length) : 0);
  }
  unsigned digits = 4;
  while (digits < 8 && number >> (4 * digits) != 0) ++digits;
  std::size_t at = pattern.copy(out, field);
  for (unsigned d = digits; d-- > 0;) out[at++] = "0123456789ABCDEF"[number >> (4 * d) & 0xF];
  at += pattern.substr(field + kField.size()).copy(out + at, sizeof out - at);
  return std::string_view(out, at);
}

}  // namespace talvo::text_format
