// talvo csv export and import: every entry of the three banks as one row of
// a CSV for a shared spreadsheet, and such a CSV back into text files.
#include <algorithm>
#include <array>

#include "banks.h"
#include "commands.h"
#include "csv_columns.h"
#include "csv_file.h"
#include "exchange_texts.h"
#include "output_folders.h"
#include "platform.h"
#include "text_input.h"
#include "text_outputs.h"
#include "text_tables.h"

namespace talvo::cli {
namespace {

constexpr std::array<std::string_view, 4> kColumns{"bank", "entry", "original", "translation"};

// A spreadsheet may end the lines inside a cell with CR LF; the text files'
// entries hold line feeds.
std::string with_line_feeds(std::string_view cell) {
  std::string text;
  text.reserve(cell.size());
  for (std::size_t i = 0; i < cell.size(); ++i) {
    if (cell[i] != '\r' || i + 1 >= cell.size() || cell[i + 1] != '\n') text += cell[i];
  }
  return text;
}

std::string row_name(std::size_t index) { return "row " + std::to_string(index + 1); }

// The lines a cell's text stands on: the row's first line, moved down by the
// line feeds of the cells before it and of the cell itself.
std::vector<exchange::TextPiece> cell_pieces(const exchange::CsvRow& row, std::size_t column, const std::string& text) {
  std::size_t line = row.line;
  for (std::size_t c = 0; c < column && c < row.cells.size(); ++c) {
    line += static_cast<std::size_t>(std::count(row.cells[c].begin(), row.cells[c].end(), '\n'));
  }
  std::vector<exchange::TextPiece> pieces{{0, line}};
  for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
    pieces.push_back({at + 1, ++line});
  }
  return pieces;
}

bool read_rows(const std::string& path, const std::vector<exchange::CsvRow>& rows, ImportedBanks& banks) {
  std::vector<std::size_t> columns;
  std::size_t first = 0;
  exchange::CsvError error;
  if (!exchange::find_columns(rows, kColumns, columns, first, error)) {
    report_error(path, error.line, error.message);
    return false;
  }
  std::array<std::vector<std::size_t>, 3> first_row;
  for (std::size_t r = first; r < rows.size(); ++r) {
    const exchange::CsvRow& row = rows[r];
    if (exchange::blank_row(row)) continue;
    const std::string_view bank_cell = exchange::cell(row, columns[0]);
    const std::string_view entry_cell = exchange::cell(row, columns[1]);
    const auto bank = bank_of_short_name(bank_cell);
    if (!bank) {
      report_error(
          path, row.line,
          row_name(r) + ": '" + std::string(bank_cell) + "' is no bank: the bank column holds msg, str or btl");
      return false;
    }
    const auto number = exchange::read_entry_number(entry_cell);
    if (!number) {
      report_error(path, row.line,
                   row_name(r) + ": '" + std::string(entry_cell) +
                       "' is no entry number: the entry column holds numbers such as 0x0123");
      return false;
    }
    const exchange::EntryName name{*bank, *number};
    ImportedEntry* entry = imported_entry(banks, name, path, row.line, row_name(r) + ": ");
    if (entry == nullptr) return false;
    std::vector<std::size_t>& rows_of_bank = first_row[index_of(*bank)];
    if (entry->present) {
      report_error(path, row.line,
                   row_name(r) + ": a second row for " + exchange::entry_context(name) + "; the first is " +
                       row_name(rows_of_bank[*number]) + ", at line " + std::to_string(entry->line));
      return false;
    }
    rows_of_bank.resize(bank_record(*bank).entries);
    rows_of_bank[*number] = r;
    ImportedBank& imported = banks[index_of(*bank)];
    const std::string_view translation = exchange::cell(row, columns[3]);
    const std::size_t column = translation.empty() ? columns[2] : columns[3];
    ++(translation.empty() ? imported.untranslated : imported.translated);
    entry->present = true;
    entry->text = with_line_feeds(exchange::cell(row, column));
    entry->file = &path;
    entry->line = row.line;
    entry->pieces = cell_pieces(row, column, entry->text);
  }
  if (std::none_of(banks.begin(), banks.end(), [](const ImportedBank& bank) { return bank.given; })) {
    report_error(path, 0, "no rows below the header row");
    return false;
  }
  return true;
}

}  // namespace

int run_csv_export(const Options& options) {
  BankTexts originals, translations;
  TextTables tables;
  if (!load_text_tables(options, TextEncoding::Utf8, tables)) return kFailure;
  if (!read_original_texts(options.image, tables.vocabularies(TextEncoding::Utf8), originals)) return kFailure;
  if (!read_translated_texts(options, originals, translations)) return kFailure;
  std::vector<std::vector<std::string>> rows;
  rows.reserve(8192);
  rows.push_back({kColumns.begin(), kColumns.end()});
  for (const Bank bank : kAllBanks) {
    const BankEntries& original = originals[index_of(bank)];
    const BankEntries& translation = translations[index_of(bank)];
    for (std::size_t i = 0; i < original.entries.size(); ++i) {
      const std::string_view text = original.entries[i].text;
      const bool translated = translation.given && translation.entries[i].text != text;
      rows.push_back({bank_record(bank).short_name, exchange::entry_number_text(static_cast<std::uint32_t>(i)),
                      std::string(text), translated ? std::string(translation.entries[i].text) : std::string()});
    }
  }
  const std::string csv = exchange::write_csv(rows);
  if (!make_folder_of(options.output)) return kFailure;
  std::vector<std::string> inputs{options.image};
  inputs.insert(inputs.end(), options.texts.begin(), options.texts.end());
  return write_text_outputs({{options.output, {reinterpret_cast<const std::uint8_t*>(csv.data()), csv.size()}}}, inputs,
                            options.force)
             ? kSuccess
             : kFailure;
}

int run_csv_import(const Options& options) {
  const std::string& path = options.files.front();
  FileBytes bytes;
  std::string reason;
  if (!platform::read_whole_file(path, kLargestTextFile, bytes, reason)) {
    say(path + ": " + reason);
    return kFailure;
  }
  std::vector<exchange::CsvRow> rows;
  exchange::CsvError error;
  if (!exchange::read_csv({reinterpret_cast<const char*>(bytes.data()), bytes.size()}, rows, error)) {
    report_error(path, error.line, error.message);
    return kFailure;
  }
  ImportedBanks banks;
  if (!read_rows(path, rows, banks)) return kFailure;
  return write_imported_banks(options, banks, options.files, false) ? kSuccess : kFailure;
}

}  // namespace talvo::cli
