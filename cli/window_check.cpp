#include "window_check.h"

#include <algorithm>
#include <cstdio>

#include "entry_measure.h"
#include "read_units.h"
#include "unit_hints.h"
#include "window_problems.h"

namespace talvo::cli {

std::string missing_width(std::string_view text, TextEncoding encoding, const fit::Unit& unit,
                          const fit::WindowProfile& profile) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%03X", static_cast<unsigned>(unit.code));
  const std::string_view written = text.substr(unit.first, unit.last - unit.first + 1);
  const std::string shown = encoding == TextEncoding::Utf8 ? "'" + std::string(written) + "'" : quoted(written);
  return "no width for " + shown + " (" + code + ") in " + profile.widths->file;
}

void add_window_diagnostics(std::string_view text, TextEncoding encoding, const WindowSetup& window,
                            CheckedText& checked) {
  const fit::FileUnits file = fit::units_of_events(checked.events, window.roles);
  fit::EntryLayout layout;
  std::vector<fit::WindowProblem> problems;
  // A character without a width is told once, where it is first met, with
  // how often the file uses it: a missing letter would otherwise flood.
  std::vector<std::size_t> uses(fit::kCodeSpace, 0);
  std::vector<std::size_t> first_use(fit::kCodeSpace, 0);
  std::vector<Diagnostic> added;
  for (std::size_t k = 0; k < file.entries(); ++k) {
    const std::span<const fit::Unit> units = file.entry(k);
    fit::measure_entry(units, window.profile, layout);
    problems.clear();
    fit::window_problems(units, layout, window.profile, problems);
    for (fit::WindowProblem& problem : problems)
      added.push_back({Severity::Warning, problem.first, problem.last, std::move(problem.message), {}, false});
    for (std::uint32_t i : layout.unmeasured) {
      const fit::Unit& unit = units[i];
      if (uses[unit.code]++ > 0) continue;
      first_use[unit.code] = added.size();
      added.push_back(
          {Severity::Error, unit.first, unit.last, missing_width(text, encoding, unit, window.profile), {}, false});
    }
  }
  for (std::size_t code = 0; code < uses.size(); ++code) {
    if (uses[code] == 0) continue;
    char line[32];
    std::snprintf(line, sizeof line, "%X=PIXELS", static_cast<unsigned>(code));
    Diagnostic& d = added[first_use[code]];
    d.hint = std::string("give it a line ") + line;
    if (uses[code] > 1) d.hint += "; the file uses it " + std::to_string(uses[code]) + " times";
  }
  for (const Diagnostic& d : added) ++(d.severity == Severity::Error ? checked.errors : checked.warnings);
  // Each list in the order of the text, then merged, the checker's first at a tie.
  const auto by_place = [](const Diagnostic& a, const Diagnostic& b) { return a.first < b.first; };
  std::stable_sort(added.begin(), added.end(), by_place);
  const auto middle = static_cast<std::ptrdiff_t>(checked.diagnostics.size());
  checked.diagnostics.insert(checked.diagnostics.end(), std::make_move_iterator(added.begin()),
                             std::make_move_iterator(added.end()));
  std::inplace_merge(checked.diagnostics.begin(), checked.diagnostics.begin() + middle, checked.diagnostics.end(),
                     by_place);
}

}  // namespace talvo::cli
