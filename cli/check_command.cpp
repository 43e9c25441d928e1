// talvo check: every problem of every file, then one line that counts them.
#include <cstdio>

#include "banks.h"
#include "commands.h"
#include "consistency_check.h"
#include "diagnostic_report.h"
#include "text_checker.h"
#include "text_input.h"
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
  ConsistencyReference reference;
  if (!load_consistency_reference(options, reference)) return kFailure;
  const ReportStyle style = report_style(options.color);
  CheckOptions check_options;
  check_options.max_line = options.max_line;
  check_options.max_entry = options.max_entry;
  check_options.byte_order_mark_is_error = options.encoding == TextEncoding::ShiftJis;
  std::vector<std::optional<WindowSetup>> windows(options.files.size());
  if (!options.window.empty() || !options.widths_file.empty() || !options.page_codes.empty()) {
    for (std::size_t i = 0; i < options.files.size(); ++i) {
      int status = kSuccess;
      windows[i] = window_setup(options, bank_record(banks[i]), game_vocabulary(bank_record(banks[i]).codes()), status);
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
    TextInput input;
    std::string reason;
    if (!load_text(options.files[i], options.encoding, input, reason)) {
      say(options.files[i] + ": " + reason);
      ++errors;
      continue;
    }
    CheckedText checked = check_text(input.sjis(), bank_record(banks[i]), game_vocabularies(), check_options);
    if (windows[i]) add_window_diagnostics(input.sjis(), *windows[i], checked);
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
