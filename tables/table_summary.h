// What `talvo table show` tells of a table: which codes it names and which
// are free, its multi-character entries, its names, its role codes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "translator_table.h"

namespace talvo::tables {

struct TableSummary {
  CodeSet kind = CodeSet::Message;
  std::size_t controls_named = 0, controls_free = 0;
  std::size_t glyphs_named = 0, glyphs_free = 0;
  std::vector<std::uint16_t> free_controls, free_glyphs;  // in code order
  std::vector<std::uint16_t> multi_character;             // texts of several characters, names apart
  std::vector<std::uint16_t> names;                       // bracketed names other than a code's own hexadecimal token
  std::vector<std::uint16_t> shared;                      // codes whose text a lower code has too
};

TableSummary summarize_table(const TranslatorTable& table);

// "0x300-0x3FF, 0x5A0": codes in order, runs of neighbours as ranges.
std::string code_ranges_text(CodeSet kind, const std::vector<std::uint16_t>& codes);

// The summary as `talvo table show` prints it, lines ending in line feeds.
std::string describe_table(const TranslatorTable& table);

}  // namespace talvo::tables
