// The reader of text files written through a translator's table. The file
// keeps the structure of the game's text files (headers, the blank line
// between messages, a line feed after the line-break and end codes, one line
// per byte-bank entry); inside an entry:
//
//   - a header is "(0x", hexadecimal digits and ")" at the start of a line;
//     any other "(" is text;
//   - "[" always opens a token, up to the next "]": a name of the table or
//     a code's hexadecimal token;
//   - a line feed, or CR LF, carries nothing and ends a run of text;
//   - everything else is running text, which the encoder matches against
//     the table's texts (shortest_encoding.h).
//
// The text is UTF-8; a Shift_JIS file is converted first (sjis_text.h).
// One pass, linear in the text; the reader goes on after every problem and
// reports them all, in file order. Offsets are bytes of the text read, and
// every range [first, end) excludes its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "table_index.h"

namespace talvo::tables {

enum class PieceKind : std::uint8_t {
  Code,  // a token: its code is fixed
  Run,   // running text, to be encoded
};

struct TextPiece {
  PieceKind kind = PieceKind::Run;
  std::uint16_t code = 0;  // Code only
  std::size_t first = 0;   // a token's "[" to after its "]", or the run's bytes
  std::size_t end = 0;
};

struct EntryHeader {
  std::size_t first = 0;     // the "("
  std::size_t end = 0;       // after the ")"
  std::uint64_t number = 0;  // its digits' value, at most UINT64_MAX
};

struct TextEntry {
  EntryHeader header;
  std::size_t first_piece = 0;  // its pieces in TableText::pieces
  std::size_t end_piece = 0;
};

// Stable kinds of what the reader finds wrong, for the checker's codes.
enum class ReadProblemKind : std::uint8_t {
  UnknownToken,     // "[...]" that is neither a name of the table nor a hexadecimal token
  TokenOutOfRange,  // a message code's hexadecimal token beyond 0x60B, such as [0700]
  UnclosedToken,    // "[" without its "]" before the line's end or the text's end
};

struct ReadProblem {
  ReadProblemKind kind = ReadProblemKind::UnknownToken;
  std::size_t first = 0;  // the "["
  std::size_t end = 0;    // after the "]"; for an unclosed token, the line feed or the end of the text
};

struct TableText {
  std::vector<TextPiece> pieces;      // in file order; entries[0].first_piece of them stand before any header
  std::vector<TextEntry> entries;     // one per header
  std::vector<ReadProblem> problems;  // in file order; the pieces leave out what they are about

  std::size_t leading_pieces() const { return entries.empty() ? pieces.size() : entries[0].first_piece; }
  std::span<const TextPiece> entry_pieces(std::size_t entry) const {
    return std::span(pieces).subspan(entries[entry].first_piece, entries[entry].end_piece - entries[entry].first_piece);
  }
};

// Reads `utf8` (a byte-order mark at its start skipped) through `index`.
TableText read_table_text(std::string_view utf8, const TableIndex& index);

}  // namespace talvo::tables
