// A bank's text file cut into its entries, and entries put back together
// into the file the extractor would write for them.
//
// An entry's text is what the file holds after its header line, without the
// line feeds that end it: for a message, its tokens and the line feeds after
// its line breaks, up to its end token; for a fixed string or a battle-text
// entry, the rest of its line. Translators then never see the line feed the
// format writes after every entry, nor the empty line between messages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "banks.h"

namespace talvo::exchange {

struct EntryText {
  std::string_view text;
  std::size_t header = 0;      // offset of its header's "(" in the file
  std::size_t header_end = 0;  // one past its ")"
  std::size_t line = 0;        // of the header, counted from 1
  std::uint32_t number = 0;    // as the header reads (0xFFFFFFFF for a larger one)
};

struct SplitText {
  std::string_view before_first;  // what stands before the first header
  std::vector<EntryText> entries;
};

// Cuts a text file of either encoding: a header is "(0x", hexadecimal digits
// and ")" at the start of a line (in Shift_JIS no character's second byte is
// a line feed, so such a line start is a character's). Line feeds may be
// LF or CR LF.
SplitText split_entries(std::string_view file, Bank bank);

// The file the extractor writes for entries of these texts: headers
// numbered from 0, each entry ended by one line feed (none added where its
// text already ends with one), the messages parted by empty lines. For the
// texts split_entries() cuts from an extracted file, that file byte for byte.
std::string join_entries(const std::vector<std::string>& texts, Bank bank);

}  // namespace talvo::exchange
