// The CSV reader over any bytes: refused at a line of the input, or read,
// each row's line in order; and what our writer writes, of rows read or
// rows made from the input, reads back the same.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "csv_columns.h"
#include "csv_file.h"
#include "exchange_fuzz.h"
#include "fuzz_check.h"
#include "glossary.h"

namespace {

using namespace talvo;
using namespace talvo::exchange;

void check_written_reads_back(const std::vector<std::vector<std::string>>& rows) {
  const std::string written = write_csv(rows);
  std::vector<CsvRow> read;
  CsvError error;
  FUZZ_CHECK(read_csv(written, read, error));
  FUZZ_CHECK(read.size() == rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    FUZZ_CHECK(read[i].cells == (rows[i].empty() ? std::vector<std::string>{""} : rows[i]));
  }
}

// Rows from the input's bytes: cells parted by 0x00, rows by 0x01.
std::vector<std::vector<std::string>> rows_of(std::string_view input) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> row;
  std::string cell;
  for (const char c : input) {
    if (c == '\0' || c == '\x01') {
      row.push_back(fuzz::as_utf8(cell));
      cell.clear();
      if (c == '\x01') {
        rows.push_back(std::move(row));
        row.clear();
      }
    } else {
      cell += c;
    }
  }
  row.push_back(fuzz::as_utf8(cell));
  rows.push_back(std::move(row));
  return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  if ((data[0] & 1) != 0) {
    check_written_reads_back(rows_of(input));
    return 0;
  }
  std::vector<CsvRow> rows;
  CsvError error;
  if (!read_csv(input, rows, error)) {
    FUZZ_CHECK(error.line >= 1 && error.line <= fuzz::line_count(input));
    FUZZ_CHECK(!error.message.empty());
    return 0;
  }
  for (std::size_t i = 0; i < rows.size(); ++i) {
    FUZZ_CHECK(!rows[i].cells.empty());
    FUZZ_CHECK(rows[i].line >= 1 && rows[i].line <= fuzz::line_count(input));
    FUZZ_CHECK(i == 0 || rows[i].line > rows[i - 1].line);
  }
  std::vector<std::vector<std::string>> cells;
  for (const CsvRow& row : rows) cells.push_back(row.cells);
  check_written_reads_back(cells);

  // The same bytes as a glossary: read, or refused at one of their lines.
  std::vector<GlossaryTerm> terms;
  if (!read_glossary(input, terms, error)) {
    FUZZ_CHECK(error.line >= 1 && error.line <= fuzz::line_count(input));
  }
  for (const GlossaryTerm& term : terms) FUZZ_CHECK(!term.source.empty() && !term.target.empty());
  return 0;
}
