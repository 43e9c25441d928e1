#include "diagnostic_report.h"

#include <algorithm>
#include <string>

#include "platform.h"
#include "text_positions.h"

namespace talvo::cli {
namespace {

constexpr const char* kBold = "\033[1m";
constexpr const char* kRed = "\033[1;31m";
constexpr const char* kMagenta = "\033[1;35m";
constexpr const char* kGreen = "\033[1;32m";
constexpr const char* kReset = "\033[m";

void print_caret(std::FILE* out, const TextInput& input, const TextPlace& place, const Diagnostic& d,
                 const ReportStyle& style) {
  std::string_view line = input.file().substr(place.line_start, place.line_end - place.line_start);
  if (line.ends_with('\r')) line.remove_suffix(1);
  const std::size_t first = std::min<std::size_t>(d.first, place.line_start + line.size());
  const std::size_t last = std::clamp<std::size_t>(d.last + 1, first, place.line_start + line.size());
  const std::string before = displayed(line.substr(0, first - place.line_start), input.encoding);
  const std::string spot = displayed(line.substr(first - place.line_start, last - first), input.encoding);
  const std::string number = std::to_string(place.line);
  std::fprintf(out, " %5s | %s\n", number.c_str(), displayed(line, input.encoding).c_str());
  const std::size_t width = std::max<std::size_t>(display_cells(spot), 1);
  std::string marks(width, '~');
  marks[0] = '^';
  std::fprintf(out, " %5s | %s%s%s%s\n", "", std::string(display_cells(before), ' ').c_str(), style.color ? kGreen : "",
               marks.c_str(), style.color ? kReset : "");
}

}  // namespace

ReportStyle report_style(ColorMode color) {
  const bool terminal = platform::standard_error_is_terminal();
  return {color == ColorMode::Always || (color == ColorMode::Auto && terminal), terminal};
}

std::vector<Diagnostic> file_diagnostics(const TextInput& input, const CheckedText& checked) {
  std::vector<Diagnostic> all = input.conversion;
  for (Diagnostic d : checked.diagnostics) {
    d.first = input.file_offset(d.first);
    // The last byte of the character that holds the Shift_JIS one.
    d.last = std::max<std::size_t>(input.file_offset(d.last + 1), d.first + 1) - 1;
    all.push_back(std::move(d));
  }
  std::stable_sort(all.begin(), all.end(), [](const Diagnostic& a, const Diagnostic& b) { return a.first < b.first; });
  return all;
}

void print_diagnostics(std::FILE* out, const TextInput& input, const std::vector<Diagnostic>& diagnostics,
                       const ReportStyle& style) {
  const LineIndex index(input.file(), input.encoding);
  for (const Diagnostic& d : diagnostics) {
    const TextPlace place = index.place(d.first);
    const bool error = d.severity == Severity::Error;
    std::string text = d.message;
    if (!d.hint.empty()) text += "; " + d.hint;
    std::fprintf(out, "%s%s:%zu:%zu:%s %s%s:%s %s\n", style.color ? kBold : "", input.path.c_str(), place.line,
                 place.column, style.color ? kReset : "", style.color ? (error ? kRed : kMagenta) : "",
                 error ? "error" : "warning", style.color ? kReset : "", text.c_str());
    if (style.caret) print_caret(out, input, place, d, style);
  }
}

}  // namespace talvo::cli
