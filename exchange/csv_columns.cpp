#include "csv_columns.h"

#include <algorithm>

namespace talvo::exchange {
namespace {

bool same_name(std::string_view cell, std::string_view name) {
  while (!cell.empty() && (cell.front() == ' ' || cell.front() == '\t')) cell.remove_prefix(1);
  while (!cell.empty() && (cell.back() == ' ' || cell.back() == '\t')) cell.remove_suffix(1);
  return std::equal(cell.begin(), cell.end(), name.begin(), name.end(),
                    [](char a, char b) { return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b; });
}

}  // namespace

bool blank_row(const CsvRow& row) {
  return std::all_of(row.cells.begin(), row.cells.end(), [](const std::string& c) { return c.empty(); });
}

std::string_view cell(const CsvRow& row, std::size_t column) {
  return column < row.cells.size() ? std::string_view(row.cells[column]) : std::string_view{};
}

bool find_columns(const std::vector<CsvRow>& rows, std::span<const std::string_view> names,
                  std::vector<std::size_t>& columns, std::size_t& first_data_row, CsvError& error) {
  std::size_t header = 0;
  while (header < rows.size() && blank_row(rows[header])) ++header;
  std::string missing;
  std::size_t missing_count = 0;
  columns.assign(names.size(), 0);
  for (std::size_t n = 0; n < names.size(); ++n) {
    bool found = false;
    if (header < rows.size()) {
      const std::vector<std::string>& cells = rows[header].cells;
      const auto at =
          std::find_if(cells.begin(), cells.end(), [&](const std::string& c) { return same_name(c, names[n]); });
      found = at != cells.end();
      if (found) columns[n] = static_cast<std::size_t>(at - cells.begin());
    }
    if (!found) {
      missing += (missing.empty() ? "" : ", ") + std::string(names[n]);
      ++missing_count;
    }
  }
  if (missing_count == 0) {
    first_data_row = header + 1;
    return true;
  }
  std::string all;
  for (std::size_t n = 0; n < names.size(); ++n) all += (n == 0 ? "" : ",") + std::string(names[n]);
  std::string hint;
  if (header < rows.size() && rows[header].cells.size() == 1 &&
      rows[header].cells[0].find_first_of(";\t") != std::string::npos) {
    hint = "; its cells seem parted by semicolons or tabs: save the sheet as CSV with commas";
  }
  error = {header < rows.size() ? rows[header].line : 1,
           "no header row naming the columns " + all + " (missing: " + missing + ")" + hint};
  return false;
}

}  // namespace talvo::exchange
