// The game's character code tables: every message code and every byte code
// with the Shift_JIS token that stands for it in an extracted text file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "banks.h"

namespace talvo {

// Slot sizes: the longest message token is "[00AC]\n" (7 bytes), the longest
// byte token "[AC]" (4 bytes); each slot keeps room for the NUL.
inline constexpr std::size_t kMessageTokenSlot = 8;
inline constexpr std::size_t kByteTokenSlot = 5;

// Extraction form: what the extractor writes. Encoding form: the same with
// the brackets and the trailing line feed of 0x0AC-0x0AF removed, which is
// what the encoders compare the text against. Both are checked entry by
// entry against an independent rendering in tests/token_tables_test.cpp.
using MessageTokenTable = std::array<std::array<char, kMessageTokenSlot>, kMessageCodeCount>;
using ByteTokenTable = std::array<std::array<char, kByteTokenSlot>, kByteCodeCount>;

const MessageTokenTable& message_extraction_table();
const MessageTokenTable& message_encoding_table();
const ByteTokenTable& byte_extraction_table();
const ByteTokenTable& byte_encoding_table();

// Copies the extraction-form token of a message code (< kMessageCodeCount)
// into `out`, NUL included; returns its length.
std::size_t message_token(std::uint16_t code, char (&out)[kMessageTokenSlot]);

// Copies the extraction-form token of a byte code into `out`, NUL included;
// returns its length (2 or 4).
std::size_t byte_token(std::uint8_t code, char (&out)[kByteTokenSlot]);

// The code whose encoding-form token equals `text` exactly, or nothing.
// The comparison is case-sensitive and covers the whole text.
std::optional<std::uint16_t> find_message_code(std::string_view text);
std::optional<std::uint8_t> find_byte_code(std::string_view text);

class CodeLookup;
// The direct lookups behind the two finds, for the encoders' inner loop.
const CodeLookup& message_code_lookup();
const CodeLookup& byte_code_lookup();

}  // namespace talvo
