// Diagnostics as a terminal shows them: places counted as editors count
// them, found in one pass however many problems a line holds, and quoted
// lines cut to the terminal's width around the caret.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "cp932.h"
#include "diagnostic_report.h"
#include "support/sjis.h"
#include "text_positions.h"
#include "utf8.h"

namespace talvo {
namespace {

using namespace testing;

constexpr std::string_view kEllipsis = "\xE2\x80\xA6";

Diagnostic at(std::size_t first, std::size_t last) { return {Severity::Error, first, last, "here", {}, false}; }

std::string printed(const cli::TextInput& input, const std::vector<Diagnostic>& diagnostics) {
  char* data = nullptr;
  std::size_t size = 0;
  std::FILE* out = open_memstream(&data, &size);
  cli::print_diagnostics(out, input, diagnostics, {false, true});
  std::fclose(out);
  std::string text(data, size);
  std::free(data);
  return text;
}

// What a terminal shows under one diagnostic: its quoted line, and the
// cells before the caret and under its marks.
struct Shown {
  std::string line;
  std::size_t caret;
  std::size_t marks;
};

std::vector<Shown> shown(const std::string& output) {
  std::vector<std::string> lines;
  std::istringstream in(output);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::vector<Shown> all;
  for (std::size_t i = 0; i + 2 < lines.size(); i += 3) {
    const std::string& quoted = lines[i + 1];
    const std::string& marks = lines[i + 2];
    EXPECT_EQ(quoted.substr(6, 3), " | ") << quoted;
    const std::size_t caret = marks.find('^');
    all.push_back({quoted.substr(9), caret - 9, marks.size() - caret});
  }
  return all;
}

std::string repeated(std::string_view text, std::size_t times) {
  std::string out;
  for (std::size_t i = 0; i < times; ++i) out += text;
  return out;
}

// The byte offset of character `index` of a file, where a byte that starts
// no character is one of its own.
std::size_t byte_of(std::string_view file, TextEncoding encoding, std::size_t index) {
  std::size_t at = 0;
  for (; index > 0 && at < file.size(); --index) {
    std::size_t length = 1;
    if (encoding == TextEncoding::ShiftJis) {
      length = std::max<std::size_t>(decode_cp932(file.substr(at)).length, 1);
    } else if (const Utf8Char c = decode_utf8(file.substr(at)); c.error == Utf8Error::None) {
      length = c.length;
    }
    at += length;
  }
  return at;
}

// Lines that fit are quoted whole; longer ones are cut around the spot, with
// half the width before it where the line has that much, the rest after.
TEST(DiagnosticReport, QuotesLinesThatFitWholeAndCutsLongerOnes) {
  const std::string digits = repeated("0123456789", 20);
  const std::string cut(kEllipsis);
  struct Case {
    const char* what;
    std::string line;         // UTF-8; converted for a Shift_JIS file
    std::size_t first, last;  // characters of the line, `last` included
    std::string quoted;
    std::size_t caret, marks;  // cells
  };
  const Case cases[] = {
      {"eighty cells", repeated("あ", 40), 10, 10, repeated("あ", 40), 20, 2},
      {"eighty cells and the caret behind them", repeated("あ", 40) + "\n", 40, 40, cut + repeated("あ", 39), 79, 1},
      {"eighty-one cells, the spot at the start", repeated("あ", 40) + "a", 0, 0, repeated("あ", 39) + cut, 0, 2},
      {"the spot in the middle", digits, 100, 104, cut + digits.substr(61, 78) + cut, 40, 5},
      {"wide characters", repeated("あ", 100), 50, 50, cut + repeated("あ", 39) + cut, 41, 2},
      {"the spot at the end of the line", digits + "\n", 200, 200, cut + digits.substr(122), 79, 1},
      {"a spot longer than the window", digits, 10, 199, digits.substr(0, 78) + cut, 10, 68},
      {"CR LF ends the line", digits.substr(0, 79) + "\r\n", 3, 3, digits.substr(0, 79), 3, 1},
  };
  for (const TextEncoding encoding : {TextEncoding::ShiftJis, TextEncoding::Utf8}) {
    for (const Case& c : cases) {
      const std::string file = encoding == TextEncoding::ShiftJis ? to_sjis(c.line) : c.line;
      const std::size_t first = byte_of(file, encoding, c.first);
      const std::size_t last = byte_of(file, encoding, c.last + 1) - 1;
      const std::vector<Shown> lines = shown(printed(cli::text_input("f.txt", file, encoding), {at(first, last)}));
      ASSERT_EQ(lines.size(), 1u) << c.what;
      EXPECT_EQ(lines[0].line, c.quoted) << c.what;
      EXPECT_EQ(lines[0].caret, c.caret) << c.what;
      EXPECT_EQ(lines[0].marks, c.marks) << c.what;
    }
  }
}

// Places as a plain count from the start gives them: lines by their line
// feeds, columns a character each, a byte that starts none a column of its own.
TextPlace counted_place(std::string_view text, TextEncoding encoding, std::size_t offset) {
  TextPlace place;
  for (std::size_t i = 0; i < offset; ++i) {
    if (text[i] == '\n') ++place.line, place.line_start = i + 1;
  }
  const std::size_t feed = text.find('\n', offset);
  place.line_end = feed == std::string_view::npos ? text.size() : feed;
  for (std::size_t at = place.line_start; at < offset; ++place.column) {
    at += byte_of(text.substr(at), encoding, 1);
  }
  return place;
}

TEST(DiagnosticReport, PlacesAgreeWithAPlainCountInAnyOrder) {
  struct Case {
    const char* what;
    std::string text;
    TextEncoding encoding;
  };
  const Case cases[] = {
      {"Shift_JIS with CR LF", to_sjis("(0x0000)\r\nあいa[00AC]\r\n\r\nｶ\tう\n"), TextEncoding::ShiftJis},
      {"a lead byte without its trail byte", "\x82\n\x82\x82\xA0\xFF\x81", TextEncoding::ShiftJis},
      {"UTF-8 with bytes that are not", "(0x0000)\nあ\xE3\x81\n\xFF😀い\r\r", TextEncoding::Utf8},
      {"no line feed at all", to_sjis(repeated("あa\r", 300)), TextEncoding::ShiftJis},
      {"empty lines only", "\n\n\n", TextEncoding::Utf8},
  };
  for (const Case& c : cases) {
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i <= c.text.size(); ++i) offsets.push_back(i);
    std::vector<std::size_t> shuffled = offsets;
    for (std::size_t i = 0; i < shuffled.size(); ++i)
      std::swap(shuffled[i], shuffled[(i * 7919 + 13) % shuffled.size()]);
    for (const auto* order : {&offsets, &shuffled}) {
      PlaceFinder places(c.text, c.encoding);
      for (const std::size_t offset : *order) {
        const TextPlace found = places.place(offset);
        const TextPlace expected = counted_place(c.text, c.encoding, offset);
        EXPECT_EQ(found.line, expected.line) << c.what << " at " << offset;
        EXPECT_EQ(found.column, expected.column) << c.what << " at " << offset;
        EXPECT_EQ(found.line_start, expected.line_start) << c.what << " at " << offset;
        EXPECT_EQ(found.line_end, expected.line_end) << c.what << " at " << offset;
      }
    }
  }
}

// Whatever a line holds, and however long the spot, a quoted line takes at
// most 80 cells, the caret stands on the spot's first character, and the
// output of a diagnostic stays within a few hundred bytes.
TEST(DiagnosticReport, EveryQuotedLineFitsTheTerminal) {
  // Wide and narrow characters, control bytes, tokens, and bytes that start
  // no character, in no order.
  const std::string pieces[] = {to_sjis("あ"), "a",          "\r",          "\t",   "\x01",
                                "[00AC]",      to_sjis("ｶ"), to_sjis("漢"), "\xFF", "\x82"};
  std::string noise;
  for (std::uint32_t x = 12345; noise.size() < 40000;) {
    x = x * 1103515245 + 12345;
    noise += pieces[(x >> 16) % std::size(pieces)];
  }
  for (const TextEncoding encoding : {TextEncoding::ShiftJis, TextEncoding::Utf8}) {
    const cli::TextInput input = cli::text_input("f.txt", noise, encoding);
    std::vector<Diagnostic> diagnostics;
    for (std::size_t first = 0, n = 0; first < noise.size();
         first += byte_of(input.file().substr(first), encoding, 1)) {
      if (++n % 11 != 0) continue;
      diagnostics.push_back(at(first, std::min(noise.size() - 1, first + (n % 5 == 0 ? 5000 : n % 9))));
    }
    diagnostics.push_back(at(noise.size(), noise.size()));
    const std::string output = printed(input, diagnostics);
    EXPECT_LT(output.size(), diagnostics.size() * 700);
    const std::vector<Shown> lines = shown(output);
    ASSERT_EQ(lines.size(), diagnostics.size());
    PlaceFinder places(input.file(), encoding);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      EXPECT_LE(display_cells(lines[i].line), 80u) << i;
      EXPECT_LE(lines[i].caret + lines[i].marks, 80u) << i;
      // The spot's character, as the terminal shows it, where the caret is.
      const std::size_t first = diagnostics[i].first;
      const TextPlace place = places.place(first);
      if (first >= place.line_end) continue;
      const std::size_t length = byte_of(input.file().substr(first), encoding, 1);
      const std::string spot = displayed(input.file().substr(first, length), encoding);
      std::size_t at = 0, cells = 0;
      while (cells < lines[i].caret) {
        const std::size_t bytes =
            std::max<std::size_t>(decode_utf8(std::string_view(lines[i].line).substr(at)).length, 1);
        cells += display_cells(lines[i].line.substr(at, bytes));
        at += bytes;
      }
      EXPECT_EQ(lines[i].line.substr(at, spot.size()), spot) << i;
    }
  }
}

// A file of one long line with problems all along it is read once: printing
// them takes no longer than for the same text in lines of a kilobyte (the
// count from the line's start for every problem once took minutes).
TEST(DiagnosticReport, ALongLineWithManyProblemsIsReadOnce) {
  const std::string one_line = to_sjis(repeated("あいうえおかきくけこ", 50000));  // 1 MB
  std::string in_lines = one_line;
  for (std::size_t at = 1000; at < in_lines.size(); at += 1000) in_lines[at] = '\n';
  const auto seconds_to_print = [](const std::string& text) {
    const cli::TextInput input = cli::text_input("f.txt", text, TextEncoding::ShiftJis);
    std::vector<Diagnostic> diagnostics;
    for (std::size_t first = 0; first < text.size(); first += text.size() / 2000)
      diagnostics.push_back(at(first, first + 1));
    const auto start = std::chrono::steady_clock::now();
    const std::string output = printed(input, diagnostics);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(shown(output).size(), diagnostics.size());
    return seconds;
  };
  const double in_lines_seconds = seconds_to_print(in_lines);
  EXPECT_LT(seconds_to_print(one_line), 4 * in_lines_seconds + 0.05);
}

}  // namespace
}  // namespace talvo
