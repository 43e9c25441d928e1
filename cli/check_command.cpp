// talvo check: every problem of every file, then one line that counts them.
#include <cstdio>

#include "banks.h"
#include "commands.h"
#include "consistency_check.h"
#include "diagnostic_report.h"
#include "table_check.h"
#include "text_checker.h"
#include "text_input.h"
#include "text_tables.h"
#include "vocabulary.h"
#include "window_check.h"

namespace talvo::cli {
namespace {

std::string counted(std::size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

int run_check(const Options& options) {
  std::vector<Bank> banks;
  for (const std::string& file : options.files) {
    const auto bank = options.check_bank ? options.check_bank : bank_of_file_name(file);
    if (!bank) {
      say(file +
          ": which bank does it hold? Its name begins with none of MsgData, StrData and BtlData; say it "
          "with --bank msg, --bank str or --bank btl");
      return kUsage;
    }
    banks.push_back(*bank);
  }
  TextTables tables;
  if (!load_text_tables(options, options.encoding, tables)) return kFailure;
  ConsistencyReference reference;
  if (!load_consistency_reference(options, tables.vocabularies(TextEncoding::Utf8), reference)) return kFailure;
  const ReportStyle style = report_style(options.color);
  CheckOptions check_options;
  check_options.max_line = options.max_line;
  check_options.max_entry = options.max_entry;
  check_options.byte_order_mark_is_error = options.encoding == TextEncoding::ShiftJis;
  std::vector<std::optional<WindowSetup>> windows(options.files.size());
  if (!options.window.empty() || !options.widths_file.empty() || !options.page_codes.empty()) {
    for (std::size_t i = 0; i < options.files.size(); ++i) {
      int status = kSuccess;
      const BankRecord& bank = bank_record(banks[i]);
      // Read through a translator's table, a file's places are those of its
      // UTF-8 form; else of its Shift_JIS form.
      const Vocabulary& vocabulary = tables.table(bank.codes()) != nullptr
                                         ? tables.vocabulary(bank.codes(), TextEncoding::Utf8)
                                         : game_vocabulary(bank.codes());
      windows[i] = window_setup(options, bank, vocabulary, status);
      if (!windows[i]) return status;
    }
    check_options.keep_places = true;
  }
  // Thousands of lines of diagnostics in blocks, not a write for each: the
  // standard error stream has no buffer of its own.
  static char buffer[1 << 16];
  std::setvbuf(stderr, buffer, _IOFBF, sizeof buffer);
  std::size_t errors = 0, warnings = 0;
  for (std::size_t i = 0; i < options.files.size(); ++i) {
    const BankRecord& bank = bank_record(banks[i]);
    const WindowSetup* window = windows[i] ? &*windows[i] : nullptr;
    std::string reason;
    if (const LoadedTable* table = tables.table(bank.codes())) {
      TableFileCheck file;
      if (!check_table_file(options.files[i], bank, *table, options.encoding, check_options, window, file, reason)) {
        say(options.files[i] + ": " + reason);
        ++errors;
        continue;
      }
      add_consistency_warnings(reference, file.input.file, banks[i], file.diagnostics);
      print_diagnostics(stderr, file.input.file, file.diagnostics, style);
      for (const Diagnostic& d : file.diagnostics) ++(d.severity == Severity::Error ? errors : warnings);
      continue;
    }
    TextInput input;
    if (!load_text(options.files[i], options.encoding, input, reason)) {
      say(options.files[i] + ": " + reason);
      ++errors;
      continue;
    }
    CheckedText checked = check_text(input.sjis(), bank, game_vocabularies(), check_options);
    if (window != nullptr) add_window_diagnostics(input.sjis(), TextEncoding::ShiftJis, *window, checked);
    std::vector<Diagnostic> diagnostics = file_diagnostics(input, checked);
    add_consistency_warnings(reference, input, banks[i], diagnostics);
    print_diagnostics(stderr, input, diagnostics, style);
    for (const Diagnostic& d : diagnostics) ++(d.severity == Severity::Error ? errors : warnings);
  }
  say(counted(errors, "error", "errors") + ", " + counted(warnings, "warning", "warnings"));
  std::fflush(stderr);
  return errors == 0 ? kSuccess : kFailure;
}

}  // namespace talvo::cli
