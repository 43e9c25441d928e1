// Places in a text file as editors count them: lines and columns from 1, a
// column one character whatever its bytes (a full-width character is one
// column, a byte that is no character one column of its own), and the
// display cells a terminal gives each character, for the caret.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "text_format.h"

namespace talvo {

struct TextPlace {
  std::size_t line = 1;        // from 1
  std::size_t column = 1;      // from 1, in characters
  std::size_t line_start = 0;  // offset of the line's first byte
  std::size_t line_end = 0;    // offset of its line feed, or of the text's end
};

class LineIndex {
 public:
  LineIndex(std::string_view text, TextEncoding encoding);
  // The place of the character holding the byte at `offset` (at most the
  // text's size: the end of the text is a place too).
  TextPlace place(std::size_t offset) const;

 private:
  std::string_view text_;
  TextEncoding encoding_;
  std::vector<std::size_t> line_starts_;
};

// Bytes `line` of the text as a terminal shows them, in UTF-8: characters as
// they are, a tab as a space, a byte that is no character, and any control
// byte, as <XX>.
std::string displayed(std::string_view line, TextEncoding encoding);

// The cells a terminal takes for UTF-8 text: two for East Asian wide and
// full-width characters, one for the others.
std::size_t display_cells(std::string_view utf8);

}  // namespace talvo
