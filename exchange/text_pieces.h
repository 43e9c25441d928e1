// Where the pieces of a text read from an exchange file came from: a PO
// string is joined from quoted pieces on several lines, a CSV cell may span
// lines. A character of the text can then be placed on its line, which is
// how an error names the line a translator must look at.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace talvo::exchange {

struct TextPiece {
  std::size_t offset = 0;  // in the joined text
  std::size_t line = 0;    // of the file, counted from 1
};

// The line that holds the byte at `offset` of a text made of `pieces`, given
// in the order of their offsets; 0 when there are none.
inline std::size_t line_of(const std::vector<TextPiece>& pieces, std::size_t offset) {
  const auto after = std::upper_bound(pieces.begin(), pieces.end(), offset,
                                      [](std::size_t at, const TextPiece& piece) { return at < piece.offset; });
  return after == pieces.begin() ? (pieces.empty() ? 0 : pieces.front().line) : std::prev(after)->line;
}

}  // namespace talvo::exchange
