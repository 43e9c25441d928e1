// The checker on whole files of each bank with problems planted in them:
// every problem found, at its place, with a hint where one helps, and
// nothing said of a file the game reads as it should.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "banks.h"
#include "support/sjis.h"
#include "text_checker.h"
#include "vocabulary.h"

namespace talvo {
namespace {

using testing::to_sjis;

// An entry's text (UTF-8) in place of the one file() writes; `end` adds
// the bank's end code after it.
struct Edit {
  std::size_t entry;
  std::string body;
  bool end = true;
};

// A file of `bank` whose entries are each one character and the end code,
// written as the extractor writes them, but for the edits. `drop` leaves out
// that entry's header.
std::string file(const BankRecord& bank, const std::vector<Edit>& edits, std::size_t drop = SIZE_MAX) {
  const bool messages = bank.bank == Bank::Messages;
  std::string text;
  char header[32];
  for (std::size_t n = 0; n < bank.entries; ++n) {
    if (n != drop) {
      std::snprintf(header, sizeof header, messages ? (n == 0 ? "(0x%04zX)\n" : "\n(0x%04zX)\n") : "(0x%04zX)", n);
      text += header;
    }
    Edit edit{n, "あ"};
    for (const Edit& e : edits) {
      if (e.entry == n) edit = e;
    }
    text += edit.body;
    if (edit.end) text += messages ? "[00AC]\n" : "[AC]";
    if (!messages) text += "\n";
  }
  return to_sjis(text);
}

constexpr std::size_t kAtTheLastByte = SIZE_MAX;

struct Expected {
  Severity severity;
  std::string message;  // a part of it
  std::string at;       // UTF-8 text that begins where the diagnostic points, looked for after `after`
  std::string after;    // UTF-8 text before it, to tell several places apart
  std::string hint = {};
  std::size_t offset = 0;  // where `at` is empty: the offset itself
};

struct Case {
  const char* what;
  const BankRecord& bank;
  std::string text;
  std::vector<Expected> expected;
  CheckOptions options = {};
};

std::string replaced(std::string text, const std::string& what, const std::string& by) {
  return text.replace(text.find(what), what.size(), by);
}

// A file with two bytes that are no Shift_JIS character in entry 3.
std::string with_stray_bytes() {
  std::string text = file(kMessageBank, {{3, "＠"}});
  text.replace(text.find(to_sjis("＠")), 2, "\x85\x40");
  return text;
}

std::vector<Case> cases() {
  const Severity E = Severity::Error, W = Severity::Warning;
  return {
      {"a file as the extractor writes it", kMessageBank, file(kMessageBank, {}), {}},
      {"fixed strings as the extractor writes them", kFixedStringBank, file(kFixedStringBank, {}), {}},
      {"battle text ending with [AE]", kBattleTextBank, file(kBattleTextBank, {{3, "う[AE]", false}}), {}},
      {"[AE] inside a fixed string is a code like any other",
       kFixedStringBank,
       file(kFixedStringBank, {{4, "あ[AE]い"}}),
       {}},
      {"half-width letters, each reported once",
       kMessageBank,
       file(kMessageBank, {{1, "aいb"}}),
       {{E, "half-width 'a'", "aいb", "(0x0001)", "'Ａ'"}, {E, "half-width 'b'", "b[00AC]", "(0x0001)"}}},
      {"a character only the message table has, in a byte bank",
       kFixedStringBank,
       file(kFixedStringBank, {{2, "愛"}}),
       {{E, "'愛' is not in the byte table", "愛", "(0x0002)", "only the message table has it"}}},
      {"bytes that are not Shift_JIS",
       kMessageBank,
       with_stray_bytes(),
       {{E, "<85><40> is not a Shift_JIS character", "", "", "", with_stray_bytes().find("\x85\x40")}}},
      {"a token in lower case",
       kMessageBank,
       file(kMessageBank, {{5, "あ[00ad]い"}}),
       {{E, "'[00ad]'", "[00ad]", "(0x0005)", "did you mean '[00AD]'?"}}},
      {"a misspelt named token",
       kMessageBank,
       file(kMessageBank, {{5, "[Hart]"}}),
       {{E, "'[Hart]'", "[Hart]", "(0x0005)", "'[Heart]'"}}},
      {"a byte-bank token in a message",
       kMessageBank,
       file(kMessageBank, {{6, "あ[AD]い"}}),
       {{E, "'[AD]'", "[AD]", "(0x0006)", "messages write '[00AD]'"}}},
      {"a message token in a byte bank",
       kBattleTextBank,
       file(kBattleTextBank, {{6, "あ[00AE]"}}),
       {{E, "'[00AE]'", "[00AE]", "(0x0006)", "this bank writes '[AE]'"}}},
      {"a bracket never closed on its line",
       kMessageBank,
       file(kMessageBank, {{7, "あ[00AD\nい"}}),
       {{E, "'[' is not closed on its line", "[00AD", "(0x0007)"}}},
      {"a token longer than any",
       kMessageBank,
       file(kMessageBank, {{7, "[ABCDEFGHIJ]"}}),
       {{E, "longer than any token", "[ABCDEFGHIJ]", "(0x0007)"}}},
      {"an ASCII ( in running text",
       kMessageBank,
       file(kMessageBank, {{9, "あ(注)い"}}, 10),
       {{E, "'(' opens an entry header here", "(注)", "(0x0009)", "'（'"},
        {E, "text after the end code of message 0x000A", "あ[00AC]", "(注)い[00AC]"}}},
      {"a message that does not end",
       kMessageBank,
       file(kMessageBank, {{11, "あ[00AD]\nい", false}}),
       {{E, "message 0x000B does not end with [00AC] or [00AE]", "い\n", "(0x000B)"}}},
      {"text after a message's end",
       kMessageBank,
       file(kMessageBank, {{12, "あ[00AE]\nいう[00AC]\n", false}}),
       {{E, "text after the end code of message 0x000C", "いう", "(0x000C)"}}},
      {"an [AC] inside a fixed string",
       kFixedStringBank,
       file(kFixedStringBank, {{4, "あ[AC]い[AC]", false}}),
       {{E, "text after the end code of fixed string 0x0004", "い[AC]", "(0x0004)"}}},
      {"an entry missing",
       kBattleTextBank,
       file(kBattleTextBank, {}, 100),
       {{E, "text after the end code of battle-text entry 0x0063", "あ[AC]", "(0x0063)あ[AC]"},
        {E, "374 entries; the battle-text bank has 375: 1 entry missing before here", "(0x0065)", ""}}},
      {"an entry doubled",
       kFixedStringBank,
       file(kFixedStringBank, {{20, "あ[AC]\n(0x0014)い"}}, 957),
       {{W, "header 0x0014 follows 0x0014", "(0x0014)い", "(0x0014)"},
        {E, "text after the end code of fixed string 0x03BC", "あ[AC]", "(0x03BC)あ[AC]"}}},
      {"header numbers out of sequence, entries all there",
       kFixedStringBank,
       replaced(file(kFixedStringBank, {}), "(0x001F)", "(0x0999)"),
       {{W, "header 0x0999 follows 0x001E", "(0x0999)", ""}, {W, "header 0x0020 follows 0x0999", "(0x0020)", ""}}},
      {"text before the first header",
       kMessageBank,
       to_sjis("まえ") + file(kMessageBank, {}),
       {{E, "text before the first header", "まえ", ""}}},
      {"the file ends inside a token",
       kMessageBank,
       file(kMessageBank, {}) + "[00A",
       {{E, "the file ends inside a token", "", "", "", file(kMessageBank, {}).size()}}},
      {"the file ends inside a character",
       kMessageBank,
       file(kMessageBank, {}) + "\x82",
       {{E, "the file ends inside a character", "", "", "", kAtTheLastByte}}},
      {"a byte-order mark",
       kMessageBank,
       "\xEF\xBB\xBF" + file(kMessageBank, {}),
       {{E, "byte-order mark", "", "", "save it without one"}}},
      {"a line longer than the window",
       kMessageBank,
       file(kMessageBank, {{2, "あいうえ[00AD]\nあいうえお"}}),
       {{W, "a line of message 0x0002 passes 4 characters here", "お", "(0x0002)"}},
       {4, std::nullopt, true}},
      // A word typed in half width is one problem, where it begins; a
      // pair of the table between two letters ends the run.
      {"a word in half-width letters",
       kMessageBank,
       file(kMessageBank, {{3, "あWelcome to Sera!い"}}),
       {{E, "half-width 'Welcome to Sera!' is not in the message table", "W", "(0x0003)", "--msg-table"}}},
      {"two runs of half-width letters with a pair of the table between",
       kFixedStringBank,
       file(kFixedStringBank, {{4, "ab－cd"}}),
       {{E, "half-width 'ab'", "ab", "(0x0004)", "--byte-table"}, {E, "half-width 'cd'", "cd", "(0x0004)"}}},
      {"an entry longer than asked",
       kBattleTextBank,
       file(kBattleTextBank, {{2, "あいうえおか"}}),
       {{W, "battle-text entry 0x0002 holds 6 characters, over 5", "(0x0002)", ""}},
       {std::nullopt, 5, true}},
  };
}

TEST(TextChecker, FindsEveryProblemAtItsPlace) {
  for (const Case& c : cases()) {
    const CheckedText checked = check_text(c.text, c.bank, game_vocabularies(), c.options);
    ASSERT_EQ(checked.diagnostics.size(), c.expected.size())
        << c.what << "; first: " << (checked.diagnostics.empty() ? "" : checked.diagnostics.front().message);
    for (std::size_t i = 0; i < c.expected.size(); ++i) {
      const Diagnostic& d = checked.diagnostics[i];
      const Expected& e = c.expected[i];
      EXPECT_EQ(d.severity, e.severity) << c.what << ": " << d.message;
      EXPECT_NE(d.message.find(e.message), std::string::npos) << c.what << ": " << d.message;
      EXPECT_NE(d.hint.find(e.hint), std::string::npos) << c.what << ": " << d.hint;
      std::size_t at = e.offset == kAtTheLastByte ? c.text.size() - 1 : e.offset;
      if (!e.at.empty()) {
        const std::size_t after = c.text.find(to_sjis(e.after));
        at = c.text.find(to_sjis(e.at), after + to_sjis(e.after).size());
      }
      EXPECT_EQ(d.first, at) << c.what << ": " << d.message;
    }
    EXPECT_EQ(checked.errors + checked.warnings, checked.diagnostics.size()) << c.what;
  }
}

TEST(TextChecker, GivesTheEntriesOfAGoodFile) {
  const CheckedText checked =
      check_text(file(kFixedStringBank, {{1, "アイ"}}), kFixedStringBank, game_vocabularies(), {});
  ASSERT_EQ(checked.errors, 0u);
  const auto entries = checked.entries();
  ASSERT_EQ(entries.size(), 958u);
  EXPECT_EQ(entries[0], (std::vector<std::uint16_t>{0x0C, 0xAC}));
  EXPECT_EQ(entries[1], (std::vector<std::uint16_t>{0x43, 0x44, 0xAC}));
}

// Every "(" typed in running text opens a header of its own: a file of many
// of them is checked as fast as one with as many headers in their places
// (each entry once looked through all the stray headers found before it).
TEST(TextChecker, HeadersInRunningTextAreFoundInOnePass) {
  std::string stray = "(0x0000)\n", apart = "(0x0000)\n";
  for (int i = 0; i < 80000; ++i) stray += "あ(x)", apart += "あ\n(x)";
  const auto seconds_to_check = [](const std::string& text, CheckedText& checked) {
    const auto start = std::chrono::steady_clock::now();
    checked = check_text(to_sjis(text), kMessageBank, game_vocabularies(), {});
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  CheckedText checked;
  const double in_place = seconds_to_check(apart, checked);
  EXPECT_EQ(checked.errors + checked.warnings, 160002u);
  const double in_text = seconds_to_check(stray, checked);
  EXPECT_LT(in_text, 4 * in_place + 0.05);
  // Every other header stands in the text of the entry before it (an error
  // each), the rest hold no entry number (a warning each); the last entry
  // does not end, and the count is wrong.
  EXPECT_EQ(checked.errors, 40002u);
  EXPECT_EQ(checked.warnings, 40000u);
}

}  // namespace
}  // namespace talvo
