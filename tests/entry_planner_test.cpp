// The planner of new entries: never worse than the classic planner, within
// its free codes, counts and lengths, and the base table kept as it was.
#include <gtest/gtest.h>

#include <chrono>

#include "classic_planner.h"
#include "code_ranges.h"
#include "english_script.h"
#include "entry_planner.h"
#include "shortest_encoding.h"
#include "table_file_reader.h"
#include "table_writer.h"

namespace talvo::tables {
namespace {

struct Script {
  std::string table_file;
  TranslatorTable table;
  std::vector<std::string> files;
  std::vector<TableText> read;
  std::vector<TextToEncode> texts;
};

Script script(CodeSet kind, std::vector<std::string> files) {
  Script s;
  s.table_file = kind == CodeSet::Message ? builder::english_message_table(0) : builder::english_byte_table(0);
  TableReading r = read_translator_table(s.table_file, kind);
  EXPECT_TRUE(r.ok());
  s.table = std::move(r.table);
  s.files = std::move(files);
  const TableIndex index(s.table);
  for (const std::string& f : s.files) s.read.push_back(read_table_text(f, index));
  for (std::size_t i = 0; i < s.files.size(); ++i) s.texts.push_back({s.files[i], &s.read[i]});
  return s;
}

Script messages(std::size_t entries, std::uint64_t seed = 3) {
  return script(CodeSet::Message, {builder::english_message_text(seed, entries)});
}

Script byte_banks() {
  return script(CodeSet::Byte, {builder::english_byte_text(1, 958, false), builder::english_byte_text(2, 375, true)});
}

std::vector<std::uint16_t> free_codes(const TranslatorTable& table, std::string_view ranges) {
  std::string problem;
  const auto given = parse_code_ranges(ranges, table.kind, problem);
  EXPECT_TRUE(given) << problem;
  const auto free = free_codes_for(table, *given, problem);
  EXPECT_TRUE(free) << problem;
  return free->codes;
}

void expect_within_request(const Plan& plan, const PlanRequest& request) {
  EXPECT_LE(plan.entries.size(), request.count);
  for (const NewEntry& e : plan.entries) {
    EXPECT_TRUE(std::find(request.free_codes.begin(), request.free_codes.end(), e.code) != request.free_codes.end());
    EXPECT_GE(e.text.size(), 2u);
    EXPECT_LE(e.text.size(), request.max_length);  // our English is ASCII: a byte a character
  }
}

TEST(EntryPlanner, DoesBetterThanTheClassicPlannerOnMessages) {
  const Script s = messages(600);
  const PlanRequest request{free_codes(s.table, "0x300-0x3FF"), 2, 256};
  const Plan plan = plan_entries(s.table, s.texts, request);
  expect_within_request(plan, request);
  EXPECT_LT(plan.size_after, plan.classic_size);
  EXPECT_FALSE(plan.classic_chosen);
  EXPECT_LT(plan.size_after, plan.size_before * 7 / 8);
  EXPECT_LE(plan.distinct_after, kMaxMessageCodesInUse);
}

TEST(EntryPlanner, DoesAtLeastAsWellAsTheClassicPlannerOnTheByteBanks) {
  const Script s = byte_banks();
  const PlanRequest request{free_codes(s.table, "0x00-0xAB,0xAF-0xFF"), 2, 200};
  const Plan plan = plan_entries(s.table, s.texts, request);
  expect_within_request(plan, request);
  EXPECT_LE(plan.size_after, plan.classic_size);
  EXPECT_LT(plan.size_after, plan.size_before);
}

TEST(EntryPlanner, TakesLongerEntriesWhenAllowed) {
  const Script s = messages(300);
  const PlanRequest request{free_codes(s.table, "0x300-0x3FF"), 4, 256};
  const Plan plan = plan_entries(s.table, s.texts, request);
  expect_within_request(plan, request);
  EXPECT_LE(plan.size_after, plan.classic_size);
  EXPECT_TRUE(std::any_of(plan.entries.begin(), plan.entries.end(), [](const auto& e) { return e.text.size() > 2; }));
  // Longer entries beat pairs alone.
  const Plan pairs = plan_entries(s.table, s.texts, {request.free_codes, 2, 256});
  EXPECT_LT(plan.size_after, pairs.size_after);
}

TEST(EntryPlanner, KeepsToTheCountAndTheFreeCodesGiven) {
  const Script s = messages(300);
  const PlanRequest request{free_codes(s.table, "0x310-0x312,0x3F0-0x3F6"), 2, 5};
  const Plan plan = plan_entries(s.table, s.texts, request);
  EXPECT_EQ(plan.entries.size(), 5u);
  expect_within_request(plan, request);
}

TEST(EntryPlanner, GivesTheSamePlanEveryTime) {
  const Script s = messages(300);
  const PlanRequest request{free_codes(s.table, "0x300-0x33F"), 3, 64};
  const Plan a = plan_entries(s.table, s.texts, request), b = plan_entries(s.table, s.texts, request);
  ASSERT_EQ(a.entries.size(), b.entries.size());
  for (std::size_t i = 0; i < a.entries.size(); ++i) {
    EXPECT_EQ(a.entries[i].code, b.entries[i].code);
    EXPECT_EQ(a.entries[i].text, b.entries[i].text);
  }
}

TEST(EntryPlanner, WritesTheBaseUnchangedWithTheEntriesAfterIt) {
  const Script s = messages(200);
  const PlanRequest request{free_codes(s.table, "0x300-0x3FF"), 2, 20};
  const Plan plan = plan_entries(s.table, s.texts, request);
  const std::string out = append_entries(s.table_file, CodeSet::Message, {"added"}, plan.entries);
  ASSERT_TRUE(out.starts_with(s.table_file));
  const TableReading r = read_translator_table(out, CodeSet::Message);
  ASSERT_TRUE(r.ok()) << r.errors[0].message;
  for (std::size_t code = 0; code < code_count(CodeSet::Message); ++code) {
    if (s.table.codes[code]) {
      EXPECT_EQ(r.table.codes[code]->text, s.table.codes[code]->text);
    }
  }
  for (const NewEntry& e : plan.entries) EXPECT_EQ(r.table.codes[e.code]->text, e.text);
  // What the command prints is what the table now gives.
  const TableIndex index(r.table);
  EXPECT_EQ(encode_bank(index, s.texts, EncodingMethod::Shortest).size, plan.size_after);
}

TEST(TableWriter, KeepsTheBasesLineEnds) {
  EXPECT_EQ(append_entries("0201=a\r\n0202=b", CodeSet::Message, {"new"}, {{0x300, "ab"}}),
            "0201=a\r\n0202=b\r\n# new\r\n0300=ab\r\n");
  EXPECT_EQ(append_entries("", CodeSet::Byte, {}, {{0x4A, "e "}}), "4A=e \n");
}

TEST(ClassicPlanner, MergesTheMostFrequentPairEverywhere) {
  TranslatorTable table = empty_table(CodeSet::Byte);
  table.codes[0x01] = TableEntry{"a", false, CodeRole::None, 1};
  table.codes[0x02] = TableEntry{"b", false, CodeRole::None, 2};
  const TableIndex index(table);
  const std::string text = "(0x0)aaaa[AC]\n(0x1)abab[AC]\n(0x2)ab[AC]\n";
  const TableText read = read_table_text(text, index);
  const TextToEncode texts[] = {{text, &read}};
  PlanningBank bank(table, texts);
  // "ab" occurs 3 times, "aa" twice (not three times), "ba" once; then "aa"
  // twice still.
  const std::vector<NewEntry> plan = classic_plan(bank, {0x10, 0x11, 0x12}, 2, 3);
  ASSERT_GE(plan.size(), 2u);
  EXPECT_EQ(plan[0].text, "ab");
  EXPECT_EQ(plan[1].text, "aa");
}

struct RangeCase {
  const char* text;
  CodeSet kind;
  std::vector<std::uint16_t> codes;  // empty: refused
  const char* problem;
};

TEST(CodeRanges, ReadsCodesAndRangesAndRefusesTheRest) {
  const RangeCase cases[] = {
      {"0x300-0x302,0x5A0", CodeSet::Message, {0x300, 0x301, 0x302, 0x5A0}, ""},
      {"300,300,301", CodeSet::Message, {0x300, 0x301}, ""},
      {"0x4a-0x4B", CodeSet::Byte, {0x4A, 0x4B}, ""},
      {"0x302-0x300", CodeSet::Message, {}, "'0x302-0x300' ends before it begins"},
      {"0x300-0x60C", CodeSet::Message, {}, "'0x300-0x60C' lies beyond the message codes, which end at 0x60B"},
      {"0x100", CodeSet::Byte, {}, "'0x100' lies beyond the byte codes, which end at 0xFF"},
      {"0x300,", CodeSet::Message, {}, "'' is neither a code nor a range of codes, such as 0x300 or 0x300-0x3FF"},
      {"zz", CodeSet::Message, {}, "'zz' is neither a code nor a range of codes, such as 0x300 or 0x300-0x3FF"},
  };
  for (const RangeCase& c : cases) {
    std::string problem;
    const auto codes = parse_code_ranges(c.text, c.kind, problem);
    if (c.codes.empty()) {
      EXPECT_FALSE(codes) << c.text;
      EXPECT_EQ(problem, c.problem);
    } else {
      ASSERT_TRUE(codes) << c.text << ": " << problem;
      EXPECT_EQ(*codes, c.codes);
    }
  }
}

TEST(CodeRanges, PassOverNamedCodesAndRefuseRolesAndControls) {
  TranslatorTable table = empty_table(CodeSet::Message);
  table.codes[0x301] = TableEntry{"a", false, CodeRole::None, 1};
  std::string problem;
  const auto free = free_codes_for(table, {0x300, 0x301, 0x302}, problem);
  ASSERT_TRUE(free);
  EXPECT_EQ(free->codes, (std::vector<std::uint16_t>{0x300, 0x302}));
  EXPECT_EQ(free->named, 1u);
  EXPECT_FALSE(free_codes_for(table, {0x300, 0x0AC}, problem));
  EXPECT_EQ(problem, "code 0x0AC ends an entry or breaks a line; it cannot take running text");
  // Controls pass over too: they never show a glyph.
  const auto bytes = free_codes_for(empty_table(CodeSet::Byte), {0x7A, 0x7B, 0x7C}, problem);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(bytes->codes, (std::vector<std::uint16_t>{0x7C}));
  EXPECT_EQ(bytes->controls, 2u);
}

}  // namespace
}  // namespace talvo::tables
