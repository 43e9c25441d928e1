#include "text_checker.h"

#include <algorithm>
#include <cstdio>

#include "code_lookup.h"
#include "cp932.h"
#include "token_tables.h"
#include "unit_hints.h"

namespace talvo {
namespace {

using Unit = ParseFailure::Unit;

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

std::string entry_number(std::size_t n) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%04zX", n);
  return text;
}

std::string plural(std::size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The number a header holds, "(0x" and hexadecimal digits; nothing for any
// other content, which the encoder reads as a header all the same.
std::optional<std::size_t> header_number(std::string_view text, const ReadHeader& header) {
  const std::string_view content = text.substr(header.open + 1, header.close - header.open - 1);
  if (content.size() < 3 || content.size() > 10 || content[0] != '0' || (content[1] != 'x' && content[1] != 'X')) {
    return std::nullopt;
  }
  std::size_t number = 0;
  for (char c : content.substr(2)) {
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                             : -1;
    if (digit < 0) return std::nullopt;
    number = number * 16 + static_cast<std::size_t>(digit);
  }
  return number;
}

// Whether a code stands for a character of the game's window (control codes
// do not): message codes from 0x200, and byte codes written as a character.
bool is_character(const TextBank& bank, std::uint16_t code) {
  if (bank.kind == BankKind::Messages) return code >= 0x200;
  return byte_extraction_table()[code][0] != '[';
}

// Message codes 0x0AC-0x0AF break the line; their tokens end in a line feed.
bool breaks_line(const TextBank& bank, std::uint16_t code) {
  return bank.kind == BankKind::Messages && code >= 0x0AC && code <= 0x0AF;
}

class Checker {
 public:
  Checker(std::string_view text, const TextBank& bank, const CheckOptions& options, CheckedText& result)
      : text_(text), bank_(bank), options_(options), result_(result) {}

  void run() {
    std::string_view body = text_;
    if (body.starts_with(kUtf8ByteOrderMark)) {
      add(options_.byte_order_mark_is_error ? Severity::Error : Severity::Warning, 0, 2,
          "the file begins with a byte-order mark", "save it without one", options_.byte_order_mark_is_error);
      // The rest is read as if it began the file, for the most useful report.
      base_ = kUtf8ByteOrderMark.size();
      body.remove_prefix(base_);
    }
    read(body);
    for (const ParseFailure& problem : events().problems) report_problem(problem);
    if (unfinished_) report_unfinished(*unfinished_);
    check_entries();
    std::stable_sort(result_.diagnostics.begin(), result_.diagnostics.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return a.first < b.first; });
    for (const Diagnostic& d : result_.diagnostics)
      (d.severity == Severity::Error ? result_.errors : result_.warnings)++;
  }

 private:
  TextEvents& events() { return result_.events; }

  void read(std::string_view body) {
    BufferedOutput bank, index;
    events().codes.reserve(body.size() / 2 + 1);  // every code takes two bytes or more
    BasicTextBankParser<TextEvents> parser(bank_.variant, bank, index, &events());
    parser.feed(std::span(reinterpret_cast<const std::uint8_t*>(body.data()), body.size()));
    unfinished_ = parser.unfinished();
    if (base_ == 0) return;
    // Offsets into the whole text, the mark included.
    for (ReadCode& code : events().codes) code.first += base_, code.last += base_;
    for (ReadHeader& header : events().headers) header.open += base_, header.close += base_;
    for (ParseFailure& problem : events().problems) problem.first += base_, problem.position += base_;
    if (unfinished_) unfinished_->first += base_;
  }

  void add(Severity severity, std::uint64_t first, std::uint64_t last, std::string message, std::string hint = {},
           bool stops_encoder = false) {
    result_.diagnostics.push_back({severity, first, last, std::move(message), std::move(hint), stops_encoder});
  }

  void report_problem(const ParseFailure& problem) {
    if (problem.kind == ParseFailure::Kind::BankTooLarge) {
      add(Severity::Error, problem.first, problem.position,
          "the bank passes 16 MiB before this header: an index entry cannot hold its offset", {}, true);
      return;
    }
    const UnitReport report = describe_unknown_unit(text_, problem, bank_);
    // A half-width character is the unit's whole trouble; the byte it was
    // paired with reads again as the start of the next unit.
    const bool single = problem.unit == Unit::Pair && decode_cp932(text_.substr(problem.first)).length == 1;
    add(Severity::Error, problem.first, single ? problem.first : problem.position, report.message, report.hint, true);
  }

  void report_unfinished(const UnfinishedUnit& unit) {
    const char* what = unit.unit == Unit::Pair    ? "a character"
                       : unit.unit == Unit::Token ? "a token ('[' without its ']')"
                                                  : "a header ('(' without its ')')";
    add(Severity::Error, unit.first, text_.size() - 1, std::string("the file ends inside ") + what,
        "the encoder drops what is left unfinished at the end");
  }

  // The codes of entry k, or before the first header for k = -1.
  std::span<const ReadCode> entry(std::ptrdiff_t k) const {
    const auto& codes = result_.events.codes;
    const auto& headers = result_.events.headers;
    const std::size_t begin = k < 0 ? 0 : headers[static_cast<std::size_t>(k)].first_code;
    const std::size_t end = static_cast<std::size_t>(k + 1) < headers.size()
                                ? headers[static_cast<std::size_t>(k + 1)].first_code
                                : codes.size();
    return std::span(codes).subspan(begin, end - begin);
  }

  void check_entries() {
    const auto& headers = result_.events.headers;
    const std::span<const ReadCode> before = entry(-1);
    if (!before.empty()) {
      add(Severity::Error, before.front().first, before.back().last, "text before the first header",
          "it belongs to no entry; the encoder writes it ahead of entry 0x0000");
    }
    for (std::size_t k = 0; k < headers.size(); ++k) check_entry(k);
    check_count_and_numbers();
  }

  void check_entry(std::size_t k) {
    const std::span<const ReadCode> codes = entry(static_cast<std::ptrdiff_t>(k));
    // Named as its header numbers it, which is what the reader sees; spelt
    // out only for a diagnostic, as most entries have none.
    const auto name = [&] {
      const std::optional<std::size_t> number = header_number(text_, result_.events.headers[k]);
      return std::string(bank_.entry_name) + " " + entry_number(number.value_or(k));
    };
    const auto end = std::find_if(codes.begin(), codes.end(), [&](const ReadCode& c) { return bank_.is_end(c.code); });
    const bool stray = std::find(stray_headers_.begin(), stray_headers_.end(), k) != stray_headers_.end();
    if (end == codes.end() && stray) {
      // Begun by a "(" in running text, reported there: its missing end is no news.
    } else if (end == codes.end()) {
      const bool header_follows = k + 1 < result_.events.headers.size();
      const std::uint32_t next_open = header_follows ? result_.events.headers[k + 1].open : 0;
      if (!codes.empty() && header_follows && !starts_line(next_open)) {
        // The next header stands in the entry's text: an ASCII "(" typed in it.
        stray_headers_.push_back(k + 1);
        add(Severity::Error, next_open, next_open,
            std::string("'(' opens an entry header here, in the text of ") + name() + ", which loses its end",
            std::string("write the full-width ") + quoted("\x81\x69") + " in running text");
      } else {
        const std::uint64_t at = codes.empty() ? result_.events.headers[k].close : codes.back().last;
        add(Severity::Error, codes.empty() ? at : codes.back().first, at,
            name() + " does not end with " + bank_.end_tokens, "the game reads on into the next entry");
      }
    } else if (end + 1 != codes.end()) {
      add(Severity::Error, (end + 1)->first, codes.back().last,
          std::string("text after the end code of ") + name() +
              ": the game stops there and takes the rest for the next entry",
          bank_.kind == BankKind::Messages ? "[00AD] and [00AF] break the line without ending the message"
                                           : std::string());
    }
    if (options_.max_line) check_lines(codes, name);
    if (options_.max_entry) {
      const auto characters = static_cast<std::size_t>(
          std::count_if(codes.begin(), codes.end(), [&](const ReadCode& c) { return is_character(bank_, c.code); }));
      if (characters > *options_.max_entry) {
        const ReadHeader& header = result_.events.headers[k];
        add(Severity::Warning, header.open, header.close,
            name() + " holds " + plural(characters, "character", "characters") + ", over " +
                std::to_string(*options_.max_entry));
      }
    }
  }

  template <typename Name>
  void check_lines(std::span<const ReadCode> codes, const Name& name) {
    std::size_t length = 0;
    for (const ReadCode& code : codes) {
      if (breaks_line(bank_, code.code)) {
        length = 0;
      } else if (is_character(bank_, code.code) && ++length == *options_.max_line + 1) {
        add(Severity::Warning, code.first, code.last,
            std::string("a line of ") + name() + " passes " + std::to_string(*options_.max_line) + " characters here");
      }
    }
  }

  // Whether the byte at `offset` begins a line (a CR before the line feed
  // counts as the line's end).
  bool starts_line(std::uint64_t offset) const {
    if (offset <= base_) return true;
    return text_[offset - 1] == '\n';
  }

  // Header numbers are not read by the encoder, but where they break their
  // sequence an entry was usually lost or doubled: the count's error names
  // the first header whose number differs from its place, and every other
  // break is a warning.
  void check_count_and_numbers() {
    const auto& headers = result_.events.headers;
    std::vector<std::optional<std::size_t>> numbers(headers.size());
    std::optional<std::size_t> misplaced;  // the first header whose number is not its place
    for (std::size_t k = 0; k < headers.size(); ++k) {
      numbers[k] = header_number(text_, headers[k]);
      if (!misplaced && numbers[k] && *numbers[k] != k) misplaced = k;
    }
    const bool count_wrong = headers.size() != bank_.entries;
    if (count_wrong) report_count(misplaced);
    // Each number is held to the last numbered header before it.
    std::optional<std::size_t> last;  // index of that header
    for (std::size_t k = 0; k < headers.size(); ++k) {
      const ReadHeader& header = headers[k];
      if (!numbers[k]) {
        if (std::find(stray_headers_.begin(), stray_headers_.end(), k) != stray_headers_.end()) continue;
        add(Severity::Warning, header.open, header.close, "this header holds no entry number",
            std::string("entry ") + entry_number(k) + " is written " + quoted("(" + entry_number(k) + ")"));
        continue;
      }
      const std::size_t expected = last ? *numbers[*last] + (k - *last) : k;
      const bool reported = count_wrong && misplaced == k;
      if (*numbers[k] != expected && !reported) {
        add(Severity::Warning, header.open, header.close,
            std::string("header ") + entry_number(*numbers[k]) + " " +
                (last ? "follows " + entry_number(*numbers[*last]) : std::string("opens the file")),
            std::string("the encoder counts headers, not their numbers: this is entry ") + entry_number(k));
      }
      last = k;
    }
  }

  void report_count(std::optional<std::size_t> misplaced) {
    const auto& headers = result_.events.headers;
    const std::string counted = plural(headers.size(), "entry", "entries") + "; the " + bank_.bank_name + " bank has " +
                                std::to_string(bank_.entries);
    if (misplaced) {
      const ReadHeader& header = headers[*misplaced];
      const std::size_t number = *header_number(text_, header);
      const std::string where = number > *misplaced
                                    ? plural(number - *misplaced, "entry", "entries") + " missing before here"
                                    : plural(*misplaced - number, "entry", "entries") + " too many before here";
      add(Severity::Error, header.open, header.close,
          counted + ": " + where + " (this header is numbered " + entry_number(number) + " but begins entry " +
              entry_number(*misplaced) + ")");
      return;
    }
    const std::uint64_t at = text_.empty() ? 0 : text_.size() - 1;
    add(Severity::Error, at, at,
        counted + (headers.size() < bank_.entries ? ": entries missing at the end" : ": entries added at the end"));
  }

  std::string_view text_;
  const TextBank& bank_;
  const CheckOptions& options_;
  CheckedText& result_;
  std::size_t base_ = 0;
  std::optional<UnfinishedUnit> unfinished_;
  std::vector<std::size_t> stray_headers_;  // headers opened by a "(" in running text
};

}  // namespace

std::vector<std::vector<std::uint16_t>> CheckedText::entries() const {
  std::vector<std::vector<std::uint16_t>> out(events.headers.size());
  for (std::size_t k = 0; k < events.headers.size(); ++k) {
    const std::size_t end = k + 1 < events.headers.size() ? events.headers[k + 1].first_code : events.codes.size();
    const auto codes =
        std::span(events.codes).subspan(events.headers[k].first_code, end - events.headers[k].first_code);
    out[k].resize(codes.size());
    std::transform(codes.begin(), codes.end(), out[k].begin(), [](const ReadCode& c) { return c.code; });
  }
  return out;
}

CheckedText check_text(std::string_view sjis, const TextBank& bank, const CheckOptions& options) {
  CheckedText result;
  Checker(sjis, bank, options, result).run();
  return result;
}

}  // namespace talvo
