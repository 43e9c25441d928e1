// talvo encode: the bank and index files of one text file, exactly as the
// encoder programs write them, or the encoder's error as a diagnostic.
#include <cstdio>

#include "bank_files.h"
#include "banks.h"
#include "buffered_output.h"
#include "commands.h"
#include "diagnostic_report.h"
#include "table_check.h"
#include "text_bank_parser.h"
#include "text_checker.h"
#include "text_input.h"
#include "text_tables.h"
#include "vocabulary.h"

namespace talvo::cli {
namespace {

std::span<const std::uint8_t> bytes_of(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Where the encoder stopped, said by the checker, which reads with the same
// reader: its first error that stops the encoder is that place.
void report_stop(const TextInput& input, const BankRecord& bank) {
  CheckOptions options;
  options.byte_order_mark_is_error = input.encoding == TextEncoding::ShiftJis;
  const CheckedText checked = check_text(input.sjis(), bank, game_vocabularies(), options);
  std::vector<Diagnostic> stops;
  for (const Diagnostic& d : file_diagnostics(input, checked)) {
    if (d.stops_encoder) {
      stops.push_back(d);
      break;
    }
  }
  print_diagnostics(stderr, input, stops, report_style(ColorMode::Auto));
}

// Through a translator's table: the codes the shortest encoding chooses,
// written as the encoders lay out their files; an error of the text stops
// it, the first shown.
int encode_through_table(const Options& options, const BankRecord& bank, const LoadedTable& table,
                         const std::string& bank_file, const std::string& index_file) {
  TableFileCheck file;
  std::string reason;
  if (!check_table_file(options.text_file, bank, table, options.encoding, CheckOptions{}, nullptr, file, reason)) {
    say(options.text_file + ": " + reason);
    return kFailure;
  }
  for (const Diagnostic& d : file.diagnostics) {
    if (d.severity != Severity::Error) continue;
    print_diagnostics(stderr, file.input.file, {d}, report_style(ColorMode::Auto));
    return kFailure;
  }
  const std::optional<BankFiles> files = bank_files(file.check.checked.entries(), bank.variant);
  if (!files) {
    say(options.text_file + ": the bank passes 16 MiB: an index entry cannot hold its offset");
    return kFailure;
  }
  const bool written =
      write_outputs({{bank_file, bytes_of(files->bank)}, {index_file, bytes_of(files->index)}}, {options.text_file});
  return written ? kSuccess : kFailure;
}

}  // namespace

int run_encode(const Options& options) {
  const BankRecord& bank = bank_record(options.bank);
  const std::string bank_file = in_folder(options.output, bank.variant.bank_file_name);
  const std::string index_file = in_folder(options.output, bank.variant.index_file_name);
  if (!outputs_are_safe({{bank_file, "the bank file"}, {index_file, "the index file"}}, {{options.text_file, ""}})) {
    return kUsage;
  }
  TextTables tables;
  if (!load_text_tables(options, options.encoding, tables)) return kFailure;
  if (const LoadedTable* table = tables.table(bank.codes())) {
    return encode_through_table(options, bank, *table, bank_file, index_file);
  }
  TextInput input;
  std::string reason;
  if (!load_text(options.text_file, options.encoding, input, reason)) {
    say(options.text_file + ": " + reason);
    return kFailure;
  }
  std::vector<Diagnostic> conversion_errors;
  for (const Diagnostic& d : input.conversion) {
    if (d.severity == Severity::Error) conversion_errors.push_back(d);
  }
  if (!conversion_errors.empty()) {
    print_diagnostics(stderr, input, {conversion_errors.front()}, report_style(ColorMode::Auto));
    return kFailure;
  }
  BufferedOutput bank_bytes, index_bytes;
  bank_bytes.reserve(input.sjis().size());  // a code never takes more bytes than its text
  TextBankParser parser(bank.variant, game_vocabulary(bank.variant.token_table), bank_bytes, index_bytes);
  if (!parser.feed(bytes_of(input.sjis()))) {
    report_stop(input, bank);
    return kFailure;
  }
  const bool written = write_outputs(
      {{bank_file, bytes_of(bank_bytes.text())}, {index_file, bytes_of(index_bytes.text())}}, {options.text_file});
  return written ? kSuccess : kFailure;
}

}  // namespace talvo::cli
