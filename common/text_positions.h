// Places in a text file as editors count them: lines and columns from 1, a
// column one character whatever its bytes (a full-width character is one
// column, a byte that is no character one column of its own), and the
// display cells a terminal gives each character, for the caret.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "text_format.h"

namespace talvo {

struct TextPlace {
  std::size_t line = 1;        // from 1
  std::size_t column = 1;      // from 1, in characters
  std::size_t line_start = 0;  // offset of the line's first byte
  std::size_t line_end = 0;    // offset of its line feed, or of the text's end
};

// What a terminal shows of a line under a diagnostic: the line, or where it
// is long the part around the spot, and where the caret and its marks go.
struct QuotedLine {
  std::string text;       // UTF-8; "…" where the line is cut
  std::size_t caret = 0;  // cells before the spot
  std::size_t marks = 1;  // cells under the spot, at least one
};

// Finds places going forward through a text. Diagnostics come in the order
// of their place, so each place is counted on from the one before: a file
// of any number of problems, on lines of any length, is read once.
class PlaceFinder {
 public:
  PlaceFinder(std::string_view text, TextEncoding encoding);

  // The place of the character holding the byte at `offset` (at most the
  // text's size: the end of the text is a place too). An offset before the
  // one asked before is counted again from its line's start, or the text's.
  TextPlace place(std::size_t offset);

  // The line of the place asked last, for the spot from `first` to `end`
  // (`end` not included): whole when it takes at most `width` cells, else
  // cut to `width` cells around the spot.
  QuotedLine quote(std::size_t first, std::size_t end, std::size_t width) const;

 private:
  void begin_line(std::size_t start, std::size_t number);
  std::size_t length_at(std::size_t at) const;

  // The characters a quote looks back over, before the spot: enough to fill
  // any width a terminal line is given.
  static constexpr std::size_t kRemembered = 256;

  std::string_view text_;
  TextEncoding encoding_;
  TextPlace line_;          // the line of the last place; its column unused
  std::size_t at_ = 0;      // the first character start at or after the last offset
  std::size_t column_ = 1;  // the column of the character at `at_`
  // The starts of the last characters passed on this line, round and round.
  std::size_t starts_[kRemembered] = {};
  std::size_t passed_ = 0;  // characters passed on this line
};

// Bytes `line` of the text as a terminal shows them, in UTF-8: characters as
// they are, a tab as a space, a byte that is no character, and any control
// byte, as <XX>.
std::string displayed(std::string_view line, TextEncoding encoding);

// The cells a terminal takes for UTF-8 text: two for East Asian wide and
// full-width characters, one for the others.
std::size_t display_cells(std::string_view utf8);

}  // namespace talvo
