// The window profile, entries measured against the window, and re-wrapping,
// on entries written in the notation of support/unit_notation.h.
#include <gtest/gtest.h>

#include <random>

#include "entry_measure.h"
#include "line_wrap.h"
#include "support/unit_notation.h"
#include "window_problems.h"
#include "window_profile.h"

namespace talvo {
namespace {

using namespace testing;

fit::WindowProfile tiles(std::uint32_t width, std::uint32_t lines) {
  fit::WindowProfile profile;
  profile.width = width;
  profile.lines = lines;
  profile.add_page_code(kPageCode);
  return profile;
}

TEST(WindowSize, ReadsWidthTimesLines) {
  struct Case {
    const char* text;
    std::uint32_t width, lines;  // 0: refused
  };
  const Case cases[] = {{"16x3", 16, 3},  {"1X1", 1, 1},          {"4096x256", 4096, 256}, {"4097x3", 0, 0},
                        {"16x257", 0, 0}, {"0x3", 0, 0},          {"16x0", 0, 0},          {"16", 0, 0},
                        {"x3", 0, 0},     {"16x", 0, 0},          {"16x3x2", 0, 0},        {"-16x3", 0, 0},
                        {" 16x3", 0, 0},  {"99999999999x3", 0, 0}};
  for (const Case& c : cases) {
    const auto size = fit::parse_window_size(c.text);
    if (c.width == 0) {
      EXPECT_FALSE(size) << c.text;
    } else {
      ASSERT_TRUE(size) << c.text;
      EXPECT_EQ(size->width, c.width) << c.text;
      EXPECT_EQ(size->lines, c.lines) << c.text;
    }
  }
}

TEST(WidthsFile, ReadsCodesAndPixelsWithComments) {
  const fit::WidthsRead read = fit::read_widths(
      "\xEF\xBB\xBF# widths of the redrawn font\r\n4C1=12\n  4c2 = 7   # narrow\n\n0=0\n60B=1024\n", "w.txt");
  ASSERT_EQ(read.error, "");
  EXPECT_EQ(read.widths.of(0x4C1), 12u);
  EXPECT_EQ(read.widths.of(0x4C2), 7u);
  EXPECT_EQ(read.widths.of(0x000), 0u);
  EXPECT_EQ(read.widths.of(0x60B), 1024u);
  EXPECT_FALSE(read.widths.of(0x4C3));
  EXPECT_FALSE(read.widths.of(0xFFFF));
}

TEST(WidthsFile, RefusesBadLinesNamingThem) {
  struct Case {
    const char* text;
    const char* error;
  };
  const Case cases[] = {
      {"4C1=12\n4C1=8\n", "w.txt:2: code 4C1 is given a width twice"},
      {"4C1\n", "w.txt:1: expected HEX=PIXELS, such as 4C1=12"},
      {"\n\n4G1=3\n", "w.txt:3: the code is 1 to 4 hexadecimal digits, such as 4C1"},
      {"04C10=3\n", "w.txt:1: the code is 1 to 4 hexadecimal digits, such as 4C1"},
      {"=3\n", "w.txt:1: the code is 1 to 4 hexadecimal digits, such as 4C1"},
      {"60C=3\n", "w.txt:1: code 60C lies beyond the message table's last, 60B"},
      {"4C1=\n", "w.txt:1: the width is a number of pixels from 0 to 1024"},
      {"4C1=1025\n", "w.txt:1: the width is a number of pixels from 0 to 1024"},
      {"4C1=-1\n", "w.txt:1: the width is a number of pixels from 0 to 1024"},
      {"4C1=12px\n", "w.txt:1: the width is a number of pixels from 0 to 1024"},
      {"4C1=99999999999999999999\n", "w.txt:1: the width is a number of pixels from 0 to 1024"},
  };
  for (const Case& c : cases) EXPECT_EQ(fit::read_widths(c.text, "w.txt").error, c.error) << c.text;
}

struct Problem {
  std::uint32_t first, last;
  std::string message;
};

std::vector<Problem> problems(std::string_view entry, const fit::WindowProfile& profile) {
  const std::vector<fit::Unit> us = units(entry);
  fit::EntryLayout layout;
  fit::measure_entry(us, profile, layout);
  std::vector<fit::WindowProblem> found;
  fit::window_problems(us, layout, profile, found);
  std::vector<Problem> out;
  for (const auto& p : found) out.push_back({p.first, p.last, p.message});
  return out;
}

TEST(WindowCheck, PointsAtTheFirstCharacterThatDoesNotFitAndTheFirstLineTooMany) {
  struct Case {
    const char* entry;
    std::vector<Problem> expected;
  };
  const Case cases[] = {
      {"ABCDE$", {}},
      {"ABCDEFG$", {{5, 6, "line is 7 tiles wide; the window holds 5"}}},
      {"AB**CDE$", {}},                                                     // controls take no tile
      {"ABCDE_$", {{5, 5, "line is 6 tiles wide; the window holds 5"}}},    // a space takes one
      {"ABCDEF**$", {{5, 5, "line is 6 tiles wide; the window holds 5"}}},  // underlined to the last character
      {"ABC|DEF|GH$", {{8, 8, "page has 3 lines; the window holds 2"}}},    // on the first line too many
      {"AB|CD/EF|GH$", {}},                                                 // two pages of two lines
      {"A||B$", {{3, 3, "page has 3 lines; the window holds 2"}}},          // an empty line is a line
      {"A|B|CDEFGH$",
       {{4, 4, "page has 3 lines; the window holds 2"},
        {9, 9, "line is 6 tiles wide; the window holds 5"}}},  // in the order of the text
      {"ABCDEF/A|B|C$",
       {{5, 5, "line is 6 tiles wide; the window holds 5"}, {11, 11, "page has 3 lines; the window holds 2"}}},
      {"", {}},
      {"ABCDEFG", {{5, 6, "line is 7 tiles wide; the window holds 5"}}},  // no end code: still a line
  };
  for (const Case& c : cases) {
    const std::vector<Problem> found = problems(c.entry, tiles(5, 2));
    ASSERT_EQ(found.size(), c.expected.size()) << c.entry;
    for (std::size_t i = 0; i < found.size(); ++i) {
      EXPECT_EQ(found[i].first, c.expected[i].first) << c.entry;
      EXPECT_EQ(found[i].last, c.expected[i].last) << c.entry;
      EXPECT_EQ(found[i].message, c.expected[i].message) << c.entry;
    }
  }
}

TEST(WindowCheck, WithoutAPageCodeAWholeEntryIsOnePage) {
  fit::WindowProfile profile = tiles(5, 2);
  profile.page_codes.clear();
  profile.page_code_set.reset();
  const std::vector<Problem> found = problems("AB/CD/EF$", profile);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].message, "page has 3 lines; the window holds 2");
  EXPECT_EQ(found[0].first, 6u);
}

fit::WindowProfile pixels(std::uint32_t width) {
  fit::WindowProfile profile = tiles(width, 2);
  fit::CodeWidths widths;
  for (char c = 'A'; c <= 'Z'; ++c) widths.set(notation_unit(c, 0).code, 3);
  widths.set(notation_unit('I', 0).code, 1);
  widths.set(kSpaceCode, 2);
  widths.set(notation_unit('@', 0).code, 8);  // a name the game puts in
  profile.widths = widths;
  return profile;
}

TEST(WindowCheck, InPixelsEachCodeTakesItsWidth) {
  struct Case {
    const char* entry;
    const char* message;  // "" for none
    std::uint32_t first;
  };
  const Case cases[] = {
      {"ABC$", "", 0},                                              // 9 pixels
      {"ABCD$", "line is 12 pixels wide; the window holds 10", 3},  // D passes 10
      {"IIIIIIIIII$", "", 0},                                       // ten narrow ones
      {"A_B_$", "", 0},                                             // 10 exactly
      {"A@$", "line is 11 pixels wide; the window holds 10", 1},    // the name takes its room
      {"A**B*$", "", 0},                                            // controls without a width take none
  };
  for (const Case& c : cases) {
    const std::vector<Problem> found = problems(c.entry, pixels(10));
    if (std::string_view(c.message).empty()) {
      EXPECT_TRUE(found.empty()) << c.entry << ": " << (found.empty() ? "" : found[0].message);
    } else {
      ASSERT_EQ(found.size(), 1u) << c.entry;
      EXPECT_EQ(found[0].message, c.message) << c.entry;
      EXPECT_EQ(found[0].first, c.first) << c.entry;
    }
  }
}

TEST(WindowCheck, ListsCharactersWithoutAWidth) {
  fit::EntryLayout layout;
  const std::vector<fit::Unit> us = units("A1B2$");
  fit::measure_entry(us, pixels(100), layout);
  EXPECT_EQ(layout.unmeasured, (std::vector<std::uint32_t>{1, 3}));
}

std::string wrapped(std::string_view entry, const fit::WindowProfile& profile, bool spaced = true) {
  return notation(fit::wrap_entry(units(entry), profile, notation_roles(), kSpaceCode, spaced).units);
}

TEST(Wrap, BreaksAtTheLastSpaceThatFitsAndTurnsThePageAfterTheLastLine) {
  struct Case {
    const char* entry;
    const char* expected;
  };
  const Case cases[] = {
      {"ABC_DEF_GH$", "ABC|DEF/GH$"},
      {"AB_C|DE$", "AB_C|DE$"},  // the break between words became a space, then the line broke there
      {"AB|CD$", "AB_CD$"},
      {"AB_CD|EF$", "AB_CD|EF$"},
      {"AB_C||DE$", "AB_C|DE$"},  // a run of breaks is one space
      {"AB_|CD$", "AB_CD$"},      // a space is there already
      {"AB|_CD$", "AB_CD$"},
      {"ABCDEFG$", "ABCDE|FG$"},  // no space on the line: after the last character that fits
      {"A_BCDEFGH$", "A|BCDEF/GH$"},
      {"_ABCDEF$", "_ABCD|EF$"},         // a space that opens a line is no place to break
      {"ABCDE_FGHIJ$", "ABCDE|FGHIJ$"},  // the space where the line is full
      {"ABCDE_$", "ABCDE$"},             // nothing after it: no empty line
      {"ABC/DEF$", "ABC/DEF$"},          // page breaks stay
      {"ABC_DEF_GHI_JKL/M$", "ABC|DEF/GHI|JKL/M$"},
      {"AB*_CD_EF$", "AB*_CD|EF$"},  // controls keep their place among the words
      {"AB_*CD_EF$", "AB_*CD|EF$"},
      {"ABC_*DEF$", "ABC|*DEF$"},
      {"ABCDE*F$", "ABCDE|*F$"},
      {"AB_CD$", "AB_CD$"},
      {"$", "$"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(wrapped(c.entry, tiles(5, 2)), c.expected) << c.entry;
}

TEST(Wrap, TextWithoutSpacesJoinsLinesWithNothingBetween) {
  EXPECT_EQ(wrapped("AB|CD$", tiles(5, 2), false), "ABCD$");
  EXPECT_EQ(wrapped("ABC|DEF|GH$", tiles(5, 2), false), "ABCDE|FGH$");
  EXPECT_EQ(wrapped("_ABC|DEF$", tiles(5, 2), false), "_ABCD|EF$");
}

TEST(Wrap, TellsTextThatSpacesItsWordsFromTextThatDoesNot) {
  struct Case {
    const char* text;
    bool spaced;
  };
  const Case cases[] = {
      {"WELCOME_TO_SERA$", true},
      {"AB|CD$", false},
      {"_ABC|_DEF$", false},             // spaces that open lines part no words
      {"AB_|CD$", false},                // nor one before a line's end
      {"ABCDEFGHIJKLMNOPQRS_T$", true},  // one character in twenty
      {"ABCDEFGHIJKLMNOPQRST_U$", false},
      {"A**_*B$", true},
  };
  for (const Case& c : cases) EXPECT_EQ(fit::spaces_words(units(c.text)), c.spaced) << c.text;
}

TEST(Wrap, NarrowWindowsAndOneLinePages) {
  EXPECT_EQ(wrapped("AB_CD_EF_GH$", tiles(2, 2)), "AB|CD/EF|GH$");
  EXPECT_EQ(wrapped("AB_CD_EF$", tiles(2, 1)), "AB/CD/EF$");
  EXPECT_EQ(wrapped("ABCD$", tiles(1, 3)), "A|B|C/D$");
}

TEST(Wrap, InPixelsLinesHoldWhatTheirWidthsAllow) {
  // A B C are 3 pixels, I one, a space 2, the name 8: 10 pixels hold
  // "IA_B" and "IIIIIIIIII".
  EXPECT_EQ(wrapped("AB_IA_B$", pixels(10)), "AB|IA_B$");
  EXPECT_EQ(wrapped("IIIIIIIIIIII$", pixels(10)), "IIIIIIIIII|II$");
  EXPECT_EQ(wrapped("A_@_B$", pixels(10)), "A|@/B$");
}

TEST(Wrap, SaysWhatCannotFit) {
  const fit::WrapResult alone = fit::wrap_entry(units("A@B$"), pixels(5), notation_roles(), kSpaceCode, true);
  EXPECT_EQ(alone.unfit, 1u);  // the 8-pixel name in a 5-pixel window
  const fit::WrapResult unknown = fit::wrap_entry(units("A1B$"), pixels(50), notation_roles(), kSpaceCode, true);
  EXPECT_EQ(unknown.unmeasured, 1u);
}

// English-like text: words from a list, spaces between them, line breaks
// where a translator might have put them, now and then a control or a page
// break.
std::string english_like(std::mt19937_64& rng, std::size_t max_word) {
  static const char* const kWords[] = {"THE",     "PORT",      "OF",   "SERA", "IS",    "A",        "TOWN",
                                       "WHERE",   "SHIPS",     "COME", "IN",   "FROM",  "EVERY",    "SEA",
                                       "WELCOME", "TRAVELLER", "YOUR", "ROOM", "WAITS", "UPSTAIRS", "GO",
                                       "NORTH",   "TO",        "FIND", "KEY"};
  std::string entry;
  const std::size_t words = 1 + rng() % 30;
  for (std::size_t w = 0; w < words; ++w) {
    std::string word = kWords[rng() % std::size(kWords)];
    if (word.size() > max_word) word.resize(max_word);
    if (w > 0) {
      const auto separator = rng() % 12;
      entry += separator < 8 ? "_" : separator < 10 ? "|" : separator < 11 ? "_/" : "*_";
    }
    entry += word;
  }
  return entry + "$";
}

// The words of an entry, what a reader of the window sees (the pages the
// entry had are held to by the check on kept units below).
std::vector<std::string> words(std::string_view entry) {
  std::vector<std::string> out{""};
  for (char c : entry) {
    if (c == '_' || c == '|' || c == '/' || c == '$') {
      if (!out.back().empty()) out.emplace_back();
    } else if (c != '*') {
      out.back() += c;
    }
  }
  if (out.back().empty()) out.pop_back();
  return out;
}

TEST(Wrap, MakesEveryGeneratedEntryFitWithTheSameWords) {
  std::mt19937_64 rng(21);
  for (int n = 0; n < 3000; ++n) {
    const fit::WindowProfile profile = tiles(static_cast<std::uint32_t>(4 + rng() % 20), 1 + rng() % 4);
    const std::string entry = english_like(rng, profile.width);
    const fit::WrapResult result = fit::wrap_entry(units(entry), profile, notation_roles(), kSpaceCode, true);
    const std::string out = notation(result.units);
    ASSERT_FALSE(result.unfit) << entry;
    EXPECT_TRUE(problems(out, profile).empty()) << entry << " -> " << out;
    EXPECT_EQ(words(out), words(entry)) << entry << " -> " << out;
    // Every unit kept comes from the entry in order; only line breaks and
    // spaces are gone.
    std::uint32_t next = 0;
    for (const fit::WrappedUnit& unit : result.units) {
      if (unit.source == fit::kInserted) continue;
      for (; next < unit.source; ++next) EXPECT_TRUE(entry[next] == '|' || entry[next] == '_') << entry;
      ++next;
    }
    EXPECT_EQ(out.back(), '$');
  }
}

}  // namespace
}  // namespace talvo
