// A translator's table: which text each code of the game stands for, read
// from a table file (table_file_reader.h) or made from the game's own
// tables (builtin_tables_export.h).
//
// Two vocabularies exist: the message codes 0x000-0x60B, and the byte codes
// 0x00-0xFF that the fixed strings and the battle text share. What a code
// does in the game does not depend on the table: message codes below 0x200
// are controls and the others glyphs; a byte code is a control where the
// game's own byte table gives it no character. Four message codes and two
// byte codes have a role (end an entry, break a line), whatever the table
// calls them.
#pragma once

#include "banks.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talvo::tables {

// What a code does at the end of a piece of text: messages end with 0x0AC or
// 0x0AE and break their line after 0x0AD and 0x0AF; fixed strings end with
// 0xAC and battle text with 0xAC or 0xAE.
enum class CodeRole : std::uint8_t { None, End, LineBreak };

// Messages hold at most this many distinct codes: the game's Huffman tree
// has 1002 inner nodes.
inline constexpr std::size_t kMaxMessageCodesInUse = 1003;

// The longest TEXT a table line may give, in characters: room for a phrase
// or a long name, while the encoder, which looks at every entry that
// matches at every place, stays fast on any text.
inline constexpr std::size_t kMaxTextCharacters = 64;

struct TableEntry {
  std::string text;                // UTF-8, as the table writes it: "e ", "th", or "[wait]" with its brackets
  bool bracketed = false;          // a name, written and read in text files as a bracketed token
  CodeRole mark = CodeRole::None;  // the line's mark, "/" or "*"; the role itself is the code's
  std::uint32_t line = 0;          // the table line that names it, from 1
};

struct TranslatorTable {
  CodeSet kind = CodeSet::Message;
  std::vector<std::optional<TableEntry>> codes;  // one slot for each code of the kind
};

// 0x60C message codes, 256 byte codes.

// "message" or "byte".
std::string_view kind_name(CodeSet kind);

// The game's own: message codes below 0x200, and the 42 byte codes its byte
// table writes as hexadecimal tokens. Controls take no room in the game's
// window.
bool is_control_code(CodeSet kind, std::uint16_t code);

CodeRole code_role(CodeSet kind, std::uint16_t code);

// Messages break their line after each of their four role codes in a text
// file; a byte-bank entry ends its line after its end code instead, which
// the writer of the entry adds.
bool line_feed_follows(CodeSet kind, std::uint16_t code);

// "[00AC]" for message code 0x0AC, "[AC]" for byte code 0xAC: how a code
// the table does not name is written, and a token every reader takes.
std::string hex_token(CodeSet kind, std::uint16_t code);

// "0x0AC" for message code 0x0AC, "0xAC" for byte code 0xAC, as messages
// name codes.
std::string code_label(CodeSet kind, std::uint16_t code);

// An empty table of the kind: every code written as its hexadecimal token.
TranslatorTable empty_table(CodeSet kind);

// A name's spelling between its brackets: "wait" for "[wait]".
std::string_view entry_name(const TableEntry& entry);

// The text a code is written as in a text file: the table's text, or the
// hexadecimal token where the table does not name the code. Without the
// line feed that follows the message role codes (line_feed_follows).
std::string code_text(const TranslatorTable& table, std::uint16_t code);

}  // namespace talvo::tables
