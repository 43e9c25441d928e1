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

// A line quoted under a diagnostic takes at most this many cells: a line of
// a file without line feeds (or with CR alone) can run to megabytes.
constexpr std::size_t kQuotedCells = 80;

// Output gathered and written in large pieces: standard error writes every
// call through at once, and a file may have thousands of problems.
class Gathered {
 public:
  explicit Gathered(std::FILE* out) : out_(out) {}
  ~Gathered() { flush(); }
  Gathered(const Gathered&) = delete;
  Gathered& operator=(const Gathered&) = delete;

  Gathered& operator<<(std::string_view text) {
    text_ += text;
    if (text_.size() >= kBlock) flush();
    return *this;
  }
  void flush() {
    std::fwrite(text_.data(), 1, text_.size(), out_);
    std::fflush(out_);
    text_.clear();
  }

 private:
  static constexpr std::size_t kBlock = std::size_t{1} << 16;
  std::FILE* out_;
  std::string text_;
};

void print_caret(Gathered& out, const PlaceFinder& places, const TextPlace& place, const Diagnostic& d,
                 const ReportStyle& style) {
  const QuotedLine line = places.quote(d.first, d.last + 1, kQuotedCells);
  char number[32];
  std::snprintf(number, sizeof number, " %5zu | ", place.line);
  out << number << line.text << "\n";
  std::string marks(line.marks, '~');
  marks[0] = '^';
  out << "       | " << std::string(line.caret, ' ') << (style.color ? kGreen : "") << marks
      << (style.color ? kReset : "") << "\n";
}

}  // namespace

ReportStyle report_style(ColorMode color) {
  const bool terminal = platform::standard_error_is_terminal();
  return {color == ColorMode::Always || (color == ColorMode::Auto && terminal), terminal};
}

std::vector<Diagnostic> file_diagnostics(const TextInput& input, const CheckedText& checked) {
  std::vector<Diagnostic> all;
  all.reserve(input.conversion.size() + checked.diagnostics.size());
  all = input.conversion;
  for (Diagnostic d : checked.diagnostics) {
    d.first = input.file_offset(d.first);
    // The last byte of the character that holds the Shift_JIS one.
    d.last = std::max<std::size_t>(input.file_offset(d.last + 1), d.first + 1) - 1;
    all.push_back(std::move(d));
  }
  // Both lists are in order, and file offsets keep the order of Shift_JIS
  // ones: merged, the conversion's first where two share a place.
  std::inplace_merge(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(input.conversion.size()), all.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return a.first < b.first; });
  return all;
}

void print_diagnostics(std::FILE* out, const TextInput& input, const std::vector<Diagnostic>& diagnostics,
                       const ReportStyle& style) {
  PlaceFinder places(input.file(), input.encoding);
  Gathered text(out);
  for (const Diagnostic& d : diagnostics) {
    const TextPlace place = places.place(d.first);
    const bool error = d.severity == Severity::Error;
    text << (style.color ? kBold : "") << input.path << ":" << std::to_string(place.line) << ":"
         << std::to_string(place.column) << ":" << (style.color ? kReset : "") << " "
         << (style.color ? (error ? kRed : kMagenta) : "") << (error ? "error" : "warning") << ":"
         << (style.color ? kReset : "") << " " << d.message;
    if (!d.hint.empty()) text << "; " << d.hint;
    text << "\n";
    if (style.caret) print_caret(text, places, place, d, style);
  }
}

}  // namespace talvo::cli
