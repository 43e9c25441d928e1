#include "text_checker.h"

#include <algorithm>
#include <cstdio>

#include "banks.h"
#include "code_lookup.h"
#include "cp932.h"
#include "sjis_terminal_text.h"
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

class Checker {
 public:
  Checker(std::string_view text, const BankRecord& bank, const Vocabularies& vocabularies, const CheckOptions& options,
          CheckedText& result)
      : text_(text),
        bank_(bank),
        vocabularies_(vocabularies),
        options_(options),
        result_(result),
        end_tokens_(code_names(bank.end_codes, " or ")),
        line_break_tokens_(code_names(bank.line_break_codes, " and ")) {}

  // What another reader found: the entry checks alone.
  void run_on(std::vector<Diagnostic> found) {
    result_.diagnostics = std::move(found);
    check_entries();
    finish();
  }

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
    finish();
  }

 private:
  void finish() {
    std::stable_sort(result_.diagnostics.begin(), result_.diagnostics.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return a.first < b.first; });
    for (const Diagnostic& d : result_.diagnostics)
      (d.severity == Severity::Error ? result_.errors : result_.warnings)++;
  }

  // How the bank's vocabulary writes codes of a role, for messages: "[00AC]
  // or [00AE]" with the game's tables.
  std::string code_names(const std::uint16_t (&codes)[2], const char* between) const {
    const Vocabulary& vocabulary = vocabularies_.of(bank_.codes());
    std::string names;
    for (std::uint16_t code : codes) {
      if (code == kNoCode || code >= vocabulary.size()) continue;
      std::string_view token = vocabulary.extraction(code);
      if (!token.empty() && token.back() == '\n') token.remove_suffix(1);
      names += (names.empty() ? "" : between) +
               (vocabulary.encoding() == TextEncoding::Utf8 ? std::string(token) : sjis_to_utf8(token));
    }
    return names;
  }

  TextEvents& events() { return result_.events; }

  void read(std::string_view body) {
    BufferedOutput bank, index;
    const Vocabulary& vocabulary = vocabularies_.of(bank_.codes());
    events() = TextEvents(bank_, vocabulary, options_.max_line, options_.keep_places);
    // Offsets into the whole text, the mark included.
    events().set_base(static_cast<std::uint32_t>(base_));
    // Every code takes two bytes or more; pages not reached cost nothing.
    events().codes.reserve(body.size() / 2 + 1);
    BasicTextBankParser<TextEvents> parser(bank_.variant, vocabulary, bank, index, &events());
    parser.feed(std::span(reinterpret_cast<const std::uint8_t*>(body.data()), body.size()));
    unfinished_ = parser.unfinished();
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
    // A half-width character is the unit's whole trouble; the byte it was
    // paired with reads again as the start of the next unit.
    const bool single = problem.unit == Unit::Pair && decode_cp932(text_.substr(problem.first)).length == 1;
    if (single && extends_half_width_run(problem.first)) return;
    const UnitReport report = describe_unknown_unit(text_, problem, bank_, vocabularies_);
    add(Severity::Error, problem.first, single ? problem.first : problem.position, report.message, report.hint, true);
    if (single && is_half_width_text(static_cast<std::uint8_t>(text_[problem.first]))) {
      half_width_run_ = result_.diagnostics.size() - 1;
    } else {
      half_width_run_.reset();
    }
  }

  // Letters, digits and signs a translator types in half width: a word of
  // them is one problem, not one for each of its letters.
  static bool is_half_width_text(std::uint8_t byte) {
    return (byte >= 0x20 && byte < 0x7F) || (byte >= 0xA1 && byte <= 0xDF);
  }

  // Whether the half-width character at `at` goes on the run of them the
  // last diagnostic is about, which then says so.
  bool extends_half_width_run(std::uint64_t at) {
    if (!half_width_run_ || !is_half_width_text(static_cast<std::uint8_t>(text_[at]))) return false;
    Diagnostic& run = result_.diagnostics[*half_width_run_];
    if (run.last + 1 != at) return false;
    run.last = at;
    const std::string_view written = text_.substr(run.first, run.last - run.first + 1);
    run.message = "half-width " + quoted(written) + " is not in " + bank_.table_name +
                  ": running text is written in full-width characters";
    run.hint = std::string("to write other letters, give a translator's table with ") +
               (bank_.codes() == CodeSet::Message ? "--msg-table" : "--byte-table");
    return true;
  }

  void report_unfinished(const UnfinishedUnit& unit) {
    const char* what = unit.unit == Unit::Pair    ? "a character"
                       : unit.unit == Unit::Token ? "a token ('[' without its ']')"
                                                  : "a header ('(' without its ')')";
    add(Severity::Error, unit.first, text_.size() - 1, std::string("the file ends inside ") + what,
        "the encoder drops what is left unfinished at the end");
  }

  void check_entries() {
    const auto& headers = result_.events.headers;
    if (result_.events.code_count(-1) > 0) {
      const EntryFacts& before = result_.events.before_first_header;
      add(Severity::Error, before.first, before.last_last, "text before the first header",
          "it belongs to no entry; the encoder writes it ahead of entry 0x0000");
    }
    stray_headers_.assign(headers.size(), false);
    for (std::size_t k = 0; k < headers.size(); ++k) check_entry(k);
    check_count_and_numbers();
  }

  void check_entry(std::size_t k) {
    const EntryFacts& facts = result_.events.headers[k].facts;
    const bool empty = result_.events.code_count(static_cast<std::ptrdiff_t>(k)) == 0;
    // Named as its header numbers it, which is what the reader sees; spelt
    // out only for a diagnostic, as most entries have none.
    const auto name = [&] {
      const std::optional<std::size_t> number = header_number(text_, result_.events.headers[k]);
      return std::string(bank_.entry_name) + " " + entry_number(number.value_or(k));
    };
    const bool stray = stray_headers_[k];
    if (!facts.ended && stray) {
      // Begun by a "(" in running text, reported there: its missing end is no news.
    } else if (!facts.ended) {
      const bool header_follows = k + 1 < result_.events.headers.size();
      const std::uint32_t next_open = header_follows ? result_.events.headers[k + 1].open : 0;
      if (!empty && header_follows && !starts_line(next_open)) {
        // The next header stands in the entry's text: an ASCII "(" typed in it.
        stray_headers_[k + 1] = true;
        add(Severity::Error, next_open, next_open,
            std::string("'(' opens an entry header here, in the text of ") + name() + ", which loses its end",
            std::string("write the full-width ") + quoted("\x81\x69") + " in running text");
      } else {
        const std::uint64_t at = empty ? result_.events.headers[k].close : facts.last_last;
        add(Severity::Error, empty ? at : facts.last_first, at, name() + " does not end with " + end_tokens_,
            "the game reads on into the next entry");
      }
    } else if (facts.after_end != EntryFacts::kNone) {
      add(Severity::Error, facts.after_end, facts.last_last,
          std::string("text after the end code of ") + name() +
              ": the game stops there and takes the rest for the next entry",
          bank_.bank == Bank::Messages ? "[00AD] and [00AF] break the line without ending the message" : std::string());
    }
    if (options_.max_line) report_long_lines(k, name);
    if (options_.max_entry) {
      const std::size_t characters = facts.characters;
      if (characters > *options_.max_entry) {
        const ReadHeader& header = result_.events.headers[k];
        add(Severity::Warning, header.open, header.close,
            name() + " holds " + plural(characters, "character", "characters") + ", over " +
                std::to_string(*options_.max_entry));
      }
    }
  }

  // The lines of entry k that pass the longest line asked for, found as it
  // was read, in order.
  template <typename Name>
  void report_long_lines(std::size_t k, const Name& name) {
    const auto& long_lines = result_.events.long_lines;
    for (; next_long_line_ < long_lines.size() && long_lines[next_long_line_].entry == k; ++next_long_line_) {
      const LongLine& line = long_lines[next_long_line_];
      add(Severity::Warning, line.first, line.last,
          std::string("a line of ") + name() + " passes " + std::to_string(*options_.max_line) + " characters here");
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
        if (stray_headers_[k]) continue;
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
  const BankRecord& bank_;
  const Vocabularies& vocabularies_;
  const CheckOptions& options_;
  CheckedText& result_;
  std::size_t base_ = 0;
  std::optional<UnfinishedUnit> unfinished_;
  std::string end_tokens_, line_break_tokens_;
  std::optional<std::size_t> half_width_run_;  // the diagnostic of the run of half-width characters read last
  std::vector<bool> stray_headers_;            // by header: opened by a "(" in running text
  std::size_t next_long_line_ = 0;             // the first long line not reported yet
};

}  // namespace

std::vector<std::vector<std::uint16_t>> CheckedText::entries() const {
  std::vector<std::vector<std::uint16_t>> out(events.headers.size());
  for (std::size_t k = 0; k < events.headers.size(); ++k) {
    const auto first = events.codes.begin() + events.headers[k].first_code;
    out[k].assign(first, first + static_cast<std::ptrdiff_t>(events.code_count(static_cast<std::ptrdiff_t>(k))));
  }
  return out;
}

CheckedText check_text(std::string_view sjis, const BankRecord& bank, const Vocabularies& vocabularies,
                       const CheckOptions& options) {
  CheckedText result;
  Checker(sjis, bank, vocabularies, options, result).run();
  return result;
}

CheckedText check_entries(std::string_view text, const BankRecord& bank, const Vocabulary& vocabulary,
                          TextEvents events, std::vector<Diagnostic> found, const CheckOptions& options) {
  CheckedText result;
  result.events = std::move(events);
  const Vocabularies vocabularies{vocabulary, vocabulary};
  Checker(text, bank, vocabularies, options, result).run_on(std::move(found));
  return result;
}

}  // namespace talvo
