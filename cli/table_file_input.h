// A table file as the commands read it: whole, through the table reader,
// its errors printed as compilers print them, "FILE:LINE: error: ...".
#pragma once

#include <string>

#include "translator_table.h"

namespace talvo::cli {

// The most bytes a table file may have: a table names at most 1548 codes.
inline constexpr std::uint64_t kLargestTableFile = std::uint64_t{16} << 20;

struct TableFile {
  std::string bytes;  // the file as read
  tables::TranslatorTable table;
};

// Reads and checks a table file; false after saying what is wrong (every
// error of the file with its line, or why it cannot be read).
bool load_table_file(const std::string& path, CodeSet kind, TableFile& out);

}  // namespace talvo::cli
