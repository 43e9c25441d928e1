// The columns of a CSV found by the names in its header row, as a
// spreadsheet's user sees them: in any order, beside columns of their own.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "csv_file.h"

namespace talvo::exchange {

// Whether every cell of the row is empty, as the rows a spreadsheet adds
// below a table.
bool blank_row(const CsvRow& row);

// A row's cell in `column`, empty where the row is shorter.
std::string_view cell(const CsvRow& row, std::size_t column);

// The first row that is not blank is the header row; finds each of `names`
// in it, case and spaces around it aside. False with `error` saying which
// names are missing, at that row's line (or line 1 of a file of blank rows).
// `first_data_row` is the index of the row after the header.
bool find_columns(const std::vector<CsvRow>& rows, std::span<const std::string_view> names,
                  std::vector<std::size_t>& columns, std::size_t& first_data_row, CsvError& error);

}  // namespace talvo::exchange
