// The codes a translator gives the planner for new entries, as the command
// line writes them: "0x300-0x3FF,0x5A0", hexadecimal codes and ranges of
// them, both ends included.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "translator_table.h"

namespace talvo::tables {

// The codes of `text` in the order given, each once; nothing, with the
// reason in `problem`, for a malformed list or a code beyond the kind's.
std::optional<std::vector<std::uint16_t>> parse_code_ranges(std::string_view text, CodeSet kind, std::string& problem);

struct FreeCodes {
  std::vector<std::uint16_t> codes;  // free for new entries, in order
  std::size_t named = 0;             // codes given that the table names already, passed over
  std::size_t controls = 0;          // controls of the game given, passed over: they show no glyph
};

// The codes of `given` that can take new entries of running text: those the
// table names and the game's controls (whose text would never show) are
// passed over; a code with a role refuses the whole list (with the reason
// in `problem`), since running text there would end an entry or a line.
std::optional<FreeCodes> free_codes_for(const TranslatorTable& table, const std::vector<std::uint16_t>& given,
                                        std::string& problem);

}  // namespace talvo::tables
