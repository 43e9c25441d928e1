// New entries written into a table file: the base file's bytes as they are,
// then a comment and one line per entry, in the base's line ends.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "planning_bank.h"
#include "translator_table.h"

namespace talvo::tables {

// "0302=th" for messages (four digits), "4A=th" for byte codes.
std::string table_line(CodeSet kind, const NewEntry& entry);

// `base` unchanged, a line feed if its last line lacks one, then `comment`
// (lines of text, each written after "# ") and the entries.
std::string append_entries(std::string_view base, CodeSet kind, const std::vector<std::string>& comment,
                           const std::vector<NewEntry>& entries);

}  // namespace talvo::tables
