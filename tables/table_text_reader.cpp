#include "table_text_reader.h"

#include <array>
#include <limits>

#include "text_format.h"

namespace talvo::tables {
namespace {

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The bytes that end a run of text: "[" opens a token, a line feed ends the
// line, a carriage return may begin CR LF.
constexpr std::array<bool, 256> kRunStops = [] {
  std::array<bool, 256> stops{};
  stops[text_format::kTokenOpen] = true;
  stops[text_format::kLineFeed] = true;
  stops[text_format::kCarriageReturn] = true;
  return stops;
}();

class Reader {
 public:
  Reader(std::string_view text, const TableIndex& index) : text_(text), index_(index) {}

  TableText read() {
    std::size_t at = text_.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    bool line_start = true;
    while (at < text_.size()) {
      const char c = text_[at];
      if (c == '\n') {
        ++at;
        line_start = true;
      } else if (c == '\r' && at + 1 < text_.size() && text_[at + 1] == '\n') {
        at += 2;
        line_start = true;
      } else if (line_start && c == '(' && read_header(at)) {
        line_start = false;
      } else if (c == '[') {
        at = read_token(at);
        line_start = false;
      } else {
        at = read_run(at);
        line_start = false;
      }
    }
    close_entry();
    return std::move(out_);
  }

 private:
  // A header at `at`: taken, `at` moved past it, true; else false.
  bool read_header(std::size_t& at) {
    if (text_.substr(at, 3) != "(0x") return false;
    std::size_t end = at + 3;
    std::uint64_t number = 0;
    while (end < text_.size() && hex_digit(text_[end]) >= 0) {
      const auto digit = static_cast<std::uint64_t>(hex_digit(text_[end]));
      number = number > (std::numeric_limits<std::uint64_t>::max() >> 4) ? std::numeric_limits<std::uint64_t>::max()
                                                                         : number << 4 | digit;
      ++end;
    }
    if (end == at + 3 || end == text_.size() || text_[end] != ')') return false;
    close_entry();
    out_.entries.push_back({{at, end + 1, number}, out_.pieces.size(), out_.pieces.size()});
    at = end + 1;
    return true;
  }

  std::size_t read_token(std::size_t open) {
    const std::size_t close = text_.find_first_of("]\n", open + 1);
    if (close == std::string_view::npos || text_[close] == '\n') {
      // The "]" is forgotten: the token ends with its line, and the next
      // line is read as ever.
      const std::size_t end = close == std::string_view::npos ? text_.size() : close;
      std::size_t problem_end = end;
      if (problem_end > open + 1 && text_[problem_end - 1] == '\r') --problem_end;
      out_.problems.push_back({ReadProblemKind::UnclosedToken, open, problem_end});
      return problem_end;
    }
    const TokenCode token = index_.token_code(text_.substr(open + 1, close - open - 1));
    if (token.lookup == TokenLookup::Found) {
      out_.pieces.push_back({PieceKind::Code, token.code, open, close + 1});
    } else {
      out_.problems.push_back(
          {token.lookup == TokenLookup::OutOfRange ? ReadProblemKind::TokenOutOfRange : ReadProblemKind::UnknownToken,
           open, close + 1});
    }
    return close + 1;
  }

  // Running text up to a stop; a carriage return not followed by a line
  // feed is text like any other character.
  std::size_t read_run(std::size_t first) {
    std::size_t at = first;
    for (;;) {
      while (at < text_.size() && !kRunStops[static_cast<std::uint8_t>(text_[at])]) ++at;
      if (at < text_.size() && text_[at] == '\r' && (at + 1 == text_.size() || text_[at + 1] != '\n')) {
        ++at;
        continue;
      }
      break;
    }
    if (at == first) ++at;  // a lone carriage return at the run's start
    out_.pieces.push_back({PieceKind::Run, 0, first, at});
    return at;
  }

  void close_entry() {
    if (!out_.entries.empty()) out_.entries.back().end_piece = out_.pieces.size();
  }

  std::string_view text_;
  const TableIndex& index_;
  TableText out_;
};

}  // namespace

TableText read_table_text(std::string_view utf8, const TableIndex& index) { return Reader(utf8, index).read(); }

}  // namespace talvo::tables
