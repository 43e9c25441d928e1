#include "glossary.h"

#include <array>

#include "consistency.h"
#include "csv_columns.h"

namespace talvo::exchange {

bool read_glossary(std::string_view csv, std::vector<GlossaryTerm>& terms, CsvError& error) {
  terms.clear();
  std::vector<CsvRow> rows;
  if (!read_csv(csv, rows, error)) return false;
  constexpr std::array<std::string_view, 2> kNames{"source", "target"};
  std::vector<std::size_t> columns;
  std::size_t first = 0;
  if (!find_columns(rows, kNames, columns, first, error)) return false;
  for (std::size_t r = first; r < rows.size(); ++r) {
    const CsvRow& row = rows[r];
    GlossaryTerm term{without_line_feeds(cell(row, columns[0])), without_line_feeds(cell(row, columns[1])), row.line};
    if (term.source.empty() && term.target.empty()) continue;
    if (term.source.empty() || term.target.empty()) {
      error = {row.line, std::string("a term without its ") + (term.source.empty() ? "source" : "target") +
                             ": each row of the glossary gives both"};
      return false;
    }
    terms.push_back(std::move(term));
  }
  return true;
}

}  // namespace talvo::exchange
