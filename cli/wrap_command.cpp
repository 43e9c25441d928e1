// talvo wrap: a message file with its overflowing entries (or those asked
// for) re-wrapped to the game's window, written to a new file. The input is
// the translator's work and is never changed; an output that holds anything
// else is replaced only with --force. What is written is checked before it
// is: it must hold the same codes apart from the breaks, and fit.
#include <cstdio>

#include "banks.h"
#include "commands.h"
#include "cp932.h"
#include "diagnostic_report.h"
#include "entry_measure.h"
#include "entry_ranges.h"
#include "line_wrap.h"
#include "platform.h"
#include "read_units.h"
#include "text_input.h"
#include "unit_hints.h"
#include "vocabulary.h"
#include "window_check.h"
#include "window_problems.h"

namespace talvo::cli {
namespace {

// The units' places are measured and shown.
const CheckOptions kWithPlaces = [] {
  CheckOptions options;
  options.keep_places = true;
  return options;
}();

// A code wrap writes, as the extractor spells it, in the file's encoding
// (the line feed of a line-break token is the writer's to add).
std::string spelled(std::uint16_t code, TextEncoding encoding) {
  std::string_view written = game_vocabulary(CodeSet::Message, encoding).extraction(code);
  if (written.ends_with('\n')) written.remove_suffix(1);
  return std::string(written);
}

bool overflows(std::span<const fit::Unit> units, const fit::WindowProfile& profile, fit::EntryLayout& layout) {
  fit::measure_entry(units, profile, layout);
  for (const fit::MeasuredPage& page : layout.pages) {
    if (layout.too_wide(page) || layout.too_tall(page, profile)) return true;
  }
  return !layout.unmeasured.empty();
}

class Wrapper {
 public:
  Wrapper(const TextInput& input, const WindowSetup& window) : input_(input), window_(window) {
    const std::string_view file = input.file();
    const std::size_t feed = file.find('\n');
    newline_ = feed != std::string_view::npos && feed > 0 && file[feed - 1] == '\r' ? "\r\n" : "\n";
  }

  // The entry re-wrapped in place of its text, unless it stays as it is;
  // false, with the diagnostic, when it cannot be made to fit.
  bool wrap(std::span<const fit::Unit> units, bool spaced, std::vector<std::uint16_t>& codes) {
    const fit::WrapResult result =
        fit::wrap_entry(units, window_.profile, window_.roles, window_.space, spaced || fit::spaces_words(units));
    if (result.unmeasured || result.unfit) {
      const fit::Unit& unit = units[result.unmeasured ? *result.unmeasured : *result.unfit];
      const std::string_view sjis = input_.sjis();
      const std::string message =
          result.unmeasured
              ? missing_width(sjis, TextEncoding::ShiftJis, unit, window_.profile)
              : quoted(sjis.substr(unit.first, unit.last - unit.first + 1)) + " is " +
                    fit::window_amount(fit::unit_width(unit, window_.profile).value_or(0), window_.profile) +
                    " wide; the window holds " + std::to_string(window_.profile.width) + ": no line can hold it";
      problems_.push_back({Severity::Error, unit.first, unit.last, message, {}, false});
      return false;
    }
    codes.clear();
    for (const fit::WrappedUnit& unit : result.units) codes.push_back(unit.code);
    bool same = result.units.size() == units.size();
    for (std::size_t i = 0; same && i < units.size(); ++i) same = result.units[i].source == i;
    if (same) return true;
    const std::size_t begin = input_.file_offset(units.front().first);
    out_.append(input_.file().substr(done_, begin - done_));
    for (std::size_t i = 0; i < result.units.size(); ++i) {
      const fit::WrappedUnit& unit = result.units[i];
      if (unit.source == fit::kInserted) {
        out_ += spelled(unit.code, input_.encoding);
      } else {
        const fit::Unit& original = units[unit.source];
        const std::size_t first = input_.file_offset(original.first);
        out_.append(input_.file().substr(first, input_.file_offset(original.last + 1) - first));
      }
      if (fit::ends_line(unit.role) && i + 1 < result.units.size()) out_ += newline_;
    }
    done_ = input_.file_offset(units.back().last + 1);
    ++wrapped_;
    return true;
  }

  std::string finish() {
    out_.append(input_.file().substr(done_));
    return std::move(out_);
  }
  std::size_t wrapped() const { return wrapped_; }
  std::vector<Diagnostic>& problems() { return problems_; }

 private:
  const TextInput& input_;
  const WindowSetup& window_;
  const char* newline_;
  std::string out_;
  std::size_t done_ = 0;  // file bytes up to here are in out_
  std::size_t wrapped_ = 0;
  std::vector<Diagnostic> problems_;  // Shift_JIS offsets
};

void print_errors(const TextInput& input, CheckedText checked, ColorMode color) {
  std::erase_if(checked.diagnostics, [](const Diagnostic& d) { return d.severity != Severity::Error; });
  print_diagnostics(stderr, input, file_diagnostics(input, checked), report_style(color));
}

// The text written holds every entry's codes, and no entry re-wrapped
// passes the window; false after saying so, which would be a fault of
// wrap's own.
bool verify(const TextInput& input, std::string_view out, const WindowSetup& window,
            const std::vector<std::vector<std::uint16_t>>& expected, const std::vector<bool>& rewrapped) {
  const TextInput written = text_input(input.path, out, input.encoding);
  const CheckedText checked = check_text(written.sjis(), kMessageBank, game_vocabularies(), kWithPlaces);
  bool good = checked.errors == 0 && checked.entries() == expected;
  const fit::FileUnits file = fit::units_of_events(checked.events, window.roles);
  fit::EntryLayout layout;
  for (std::size_t k = 0; good && k < file.entries(); ++k)
    good = !rewrapped[k] || !overflows(file.entry(k), window.profile, layout);
  if (!good)
    say(input.path + ": the re-wrapped text does not read back as it should; nothing is written (please report this)");
  return good;
}

}  // namespace

int run_wrap(const Options& options) {
  const std::string& path = options.text_file;
  const std::optional<Bank> named = bank_of_file_name(path);
  if (named && *named != Bank::Messages) {
    say(path + ": wrap re-wraps message files; a fixed-string or battle-text entry is one line");
    return kUsage;
  }
  int status = kSuccess;
  const std::optional<WindowSetup> window =
      window_setup(options, kMessageBank, game_vocabulary(CodeSet::Message), status);
  if (!window) return status;
  if (window->profile.page_codes.empty()) {
    say("wrap needs --page-code TOKEN, the code after which the game begins a new page, such as --page-code [00AF]");
    return kUsage;
  }
  EntryRanges ranges;
  if (!options.entries.empty()) {
    const std::string problem = parse_entry_ranges(options.entries, ranges);
    if (!problem.empty()) {
      say("--entries " + options.entries + ": " + problem);
      return kUsage;
    }
  }
  if (platform::same_file(options.output, path)) {
    say(options.output + ": would replace the input, the translator's own text; name another file");
    return kUsage;
  }
  TextInput input;
  std::string reason;
  if (!load_text(path, options.encoding, input, reason)) {
    say(path + ": " + reason);
    return kFailure;
  }
  const CheckedText checked = check_text(input.sjis(), kMessageBank, game_vocabularies(), kWithPlaces);
  if (checked.errors + input.conversion.size() > 0) {
    print_errors(input, checked, options.color);
    say(path + ": wrap works on a file that talvo check passes; mend its errors first");
    return kFailure;
  }
  const fit::FileUnits file = fit::units_of_events(checked.events, window->roles);
  for (const auto& [first, last] : ranges.ranges) {
    if (last >= file.entries()) {
      say("--entries " + options.entries + ": the file has " + std::to_string(file.entries()) + " entries");
      return kUsage;
    }
  }
  const std::vector<bool> chosen = ranges.chosen(file.entries());
  const bool every = options.wrap_all || !options.entries.empty();
  const bool spaced = fit::spaces_words(file.units);
  std::vector<std::vector<std::uint16_t>> expected = checked.entries();
  Wrapper wrapper(input, *window);
  std::vector<bool> rewrapped(file.entries(), false);
  fit::EntryLayout layout;
  for (std::size_t k = 0; k < file.entries(); ++k) {
    const std::span<const fit::Unit> units = file.entry(k);
    if (!chosen[k] || units.empty() || (!every && !overflows(units, window->profile, layout))) continue;
    rewrapped[k] = wrapper.wrap(units, spaced, expected[k]);
  }
  if (!wrapper.problems().empty()) {
    CheckedText found;
    found.diagnostics = std::move(wrapper.problems());
    print_diagnostics(stderr, input, file_diagnostics(input, found), report_style(options.color));
    say(path + ": " + std::to_string(found.diagnostics.size()) + " entries cannot be made to fit; nothing is written");
    return kFailure;
  }
  const std::size_t wrapped = wrapper.wrapped();
  const std::string out = wrapper.finish();
  if (!verify(input, out, *window, expected, rewrapped)) return kFailure;
  if (!options.force && platform::exists(options.output)) {
    TextInput existing;
    if (!load_text(options.output, TextEncoding::ShiftJis, existing, reason) || existing.file() != out) {
      say(options.output + ": exists and holds something else; give --force to replace it");
      return kFailure;
    }
  }
  const auto* data = reinterpret_cast<const std::uint8_t*>(out.data());
  if (!write_outputs({{options.output, {data, out.size()}}}, {path})) return kFailure;
  say("re-wrapped " + std::to_string(wrapped) + " of " + std::to_string(file.entries()) + " messages into " +
      options.output);
  return kSuccess;
}

}  // namespace talvo::cli
