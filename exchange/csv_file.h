// CSV as RFC 4180 has it and spreadsheets write it: cells parted by commas,
// rows by line feeds or CR LF; a cell in double quotes may hold commas, line
// feeds and quotes, each quote doubled. Spreadsheets mark UTF-8 with a
// byte-order mark, which the reader skips and the writer writes.
//
// Our own small reader: Debian's CSV libraries are either under the LGPL
// with no Windows build to link statically, or built for large files on
// disk rather than a text in memory with the line of every row.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace talvo::exchange {

struct CsvRow {
  std::size_t line = 0;  // where it begins, counted from 1
  std::vector<std::string> cells;
};

struct CsvError {
  std::size_t line = 0;
  std::string message;
};

// Reads every row, cells as they are (no space trimmed, line ends inside
// quotes kept); false with the line and what is wrong: a quote inside a cell
// that does not begin with one, text after a closing quote, a quoted cell
// never closed, a carriage return without its line feed, bytes that are not
// UTF-8. An empty line is a row of one empty cell.
bool read_csv(std::string_view bytes, std::vector<CsvRow>& rows, CsvError& error);

// A byte-order mark, then every row ended by CR LF; a cell is quoted where it
// holds a comma, a quote, a line feed or a carriage return. A row of no
// cells is written as one of an empty cell, which is how it reads back.
std::string write_csv(const std::vector<std::vector<std::string>>& rows);

}  // namespace talvo::exchange
