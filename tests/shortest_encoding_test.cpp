// The shortest encoding against plain references: byte banks in exactly the
// fewest codes, messages in no more Huffman bits than greedy longest match,
// and the place where a run no entry covers gets stuck.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

#include "english_script.h"
#include "huffman_code.h"
#include "huffman_lengths.h"
#include "reference_table_encoding.h"
#include "shortest_encoding.h"
#include "table_file_reader.h"

namespace talvo::tables {
namespace {

struct Bank {
  TranslatorTable table;
  std::string text;
};

TranslatorTable table_with(CodeSet kind, const std::vector<fuzz::ReferenceEntry>& entries) {
  TranslatorTable table = empty_table(kind);
  std::uint32_t line = 0;
  for (const auto& e : entries) table.codes[e.code] = TableEntry{e.text, false, CodeRole::None, ++line};
  table.codes[kind == CodeSet::Message ? 0x0AC : 0xAC] = TableEntry{"[end]", true, CodeRole::End, ++line};
  return table;
}

BankEncoding encode(const TranslatorTable& table, std::string_view text, EncodingMethod method) {
  const TableIndex index(table);
  const TableText read = read_table_text(text, index);
  EXPECT_TRUE(read.problems.empty());
  const TextToEncode input[] = {{text, &read}};
  return encode_bank(index, input, method);
}

// The texts of the codes chosen, joined: what the game would show.
std::string spelled(const TranslatorTable& table, std::string_view text, const EncodedText& encoded) {
  std::string out;
  std::uint32_t at = 0;
  for (const CodedUnit& unit : encoded.codes) {
    EXPECT_LE(at, unit.first);
    at = unit.end;
    const std::string written = code_text(table, unit.code);
    // Each code stands for exactly the bytes it came from.
    EXPECT_EQ(written, text.substr(unit.first, unit.end - unit.first));
    out += written;
  }
  return out;
}

// Random tables over a small alphabet, where entries overlap a lot.
std::vector<fuzz::ReferenceEntry> random_entries(std::mt19937_64& rng, CodeSet kind) {
  std::vector<fuzz::ReferenceEntry> entries;
  const char* alphabet = "abcd";
  // Most letters alone too, so that most runs can be encoded.
  for (int letter = 0; letter < 4; ++letter) {
    if (rng() % 4 != 0) entries.push_back({std::string(1, alphabet[letter]), 0});
  }
  const std::size_t count = 3 + rng() % 12;
  for (std::size_t i = 0; i < count; ++i) {
    std::string text;
    const std::size_t length = 1 + rng() % 4;
    for (std::size_t j = 0; j < length; ++j) text += alphabet[rng() % 4];
    entries.push_back({text, 0});
  }
  for (std::size_t i = 0; i < entries.size(); ++i)
    entries[i].code = static_cast<std::uint16_t>(kind == CodeSet::Message ? 0x200 + i : 0x01 + i);
  return entries;
}

std::string random_run(std::mt19937_64& rng) {
  std::string run;
  const std::size_t length = rng() % 24;
  for (std::size_t j = 0; j < length; ++j) run += "abcd"[rng() % 4];
  return run;
}

TEST(ShortestEncoding, ByteBanksTakeExactlyTheFewestCodes) {
  std::mt19937_64 rng(19);
  std::size_t encoded_runs = 0;
  for (int round = 0; round < 400; ++round) {
    const auto entries = random_entries(rng, CodeSet::Byte);
    const TranslatorTable table = table_with(CodeSet::Byte, entries);
    const std::string run = random_run(rng);
    const std::string text = "(0x0000)" + run + "[end]\n";
    const BankEncoding shortest = encode(table, text, EncodingMethod::Shortest);
    const auto fewest = fuzz::reference_fewest_codes(entries, run);
    const EncodedText& out = shortest.texts[0];
    if (!fewest) {
      ASSERT_FALSE(out.stuck.empty()) << run;
      EXPECT_EQ(out.stuck[0].offset - 8, fuzz::reference_furthest_reach(entries, run)) << run;
      EXPECT_EQ(out.codes.size(), 1u);  // the end code alone
      continue;
    }
    ++encoded_runs;
    ASSERT_TRUE(out.stuck.empty()) << run;
    EXPECT_EQ(out.codes.size(), *fewest + 1) << run;
    EXPECT_EQ(shortest.size, *fewest + 1);
    EXPECT_EQ(spelled(table, text, out), run + "[end]");
  }
  EXPECT_GT(encoded_runs, 100u);
}

TEST(ShortestEncoding, GreedyIsLongestMatchWithTheLowestCodeOfATextSharedByTwo) {
  std::mt19937_64 rng(20);
  for (int round = 0; round < 300; ++round) {
    auto entries = random_entries(rng, CodeSet::Message);
    entries.push_back({entries[0].text, 0x2FF});  // a second code for a text: the lower one encodes it
    const TranslatorTable table = table_with(CodeSet::Message, entries);
    const std::string run = random_run(rng);
    const std::string text = "(0x0000)\n" + run + "[end]\n";
    const BankEncoding greedy = encode(table, text, EncodingMethod::Greedy);
    const auto expected = fuzz::reference_greedy(entries, run);
    if (!expected) {
      EXPECT_FALSE(greedy.texts[0].stuck.empty());
      continue;
    }
    std::vector<std::uint16_t> codes;
    for (const CodedUnit& unit : greedy.texts[0].codes) codes.push_back(unit.code);
    codes.pop_back();  // the end code
    EXPECT_EQ(codes, *expected) << run;
  }
}

TEST(ShortestEncoding, MessagesTakeNoMoreBitsThanGreedyAndSpellTheSameText) {
  std::mt19937_64 rng(21);
  for (int round = 0; round < 200; ++round) {
    const auto entries = random_entries(rng, CodeSet::Message);
    const TranslatorTable table = table_with(CodeSet::Message, entries);
    std::string text, expected;
    for (int n = 0; n < 6; ++n) {
      const std::string run = random_run(rng);
      text += "(0x" + std::to_string(n) + ")\n" + run + "[end]\n";
      expected += run + "[end]";
    }
    const BankEncoding greedy = encode(table, text, EncodingMethod::Greedy);
    const BankEncoding shortest = encode(table, text, EncodingMethod::Shortest);
    if (!greedy.texts[0].stuck.empty()) continue;
    ASSERT_TRUE(shortest.texts[0].stuck.empty());
    EXPECT_LE(shortest.size, greedy.size) << text;
    EXPECT_EQ(spelled(table, text, shortest.texts[0]), expected);
    EXPECT_EQ(shortest.size, huffman_bits(shortest.counts));
  }
}

TEST(ShortestEncoding, FindsThePathGreedyMissesWhereItsLongestMatchLeadsNowhere) {
  const TranslatorTable table = table_with(CodeSet::Byte, {{"a", 0x01}, {"ab", 0x02}, {"bc", 0x05}});
  const std::string text = "(0x0000)abc[end]\n";
  EXPECT_FALSE(encode(table, text, EncodingMethod::Greedy).texts[0].stuck.empty());
  const BankEncoding shortest = encode(table, text, EncodingMethod::Shortest);
  ASSERT_TRUE(shortest.texts[0].stuck.empty());
  EXPECT_EQ(shortest.texts[0].codes[0].code, 0x01);
  EXPECT_EQ(shortest.texts[0].codes[1].code, 0x05);
}

TEST(ShortestEncoding, SaysWhereEveryChoiceGetsStuck) {
  const TranslatorTable table = table_with(CodeSet::Message, {{"th", 0x200}, {"e", 0x201}, {" ", 0x202}});
  // From "the " on, nothing covers "c"; behind it "a" and "t" neither.
  const std::string text = "(0x0)\nthe cat[end]\n";
  const BankEncoding out = encode(table, text, EncodingMethod::Shortest);
  ASSERT_EQ(out.texts[0].stuck.size(), 3u);
  EXPECT_EQ(out.texts[0].stuck[0].offset, text.find('c'));
  EXPECT_EQ(out.texts[0].stuck[1].offset, text.find('a'));
  EXPECT_EQ(out.texts[0].stuck[2].offset, text.find("t["));
  EXPECT_EQ(out.texts[0].stuck[0].run_first, text.find("the"));
  // The run gives no codes; the end code is still there.
  ASSERT_EQ(out.texts[0].codes.size(), 1u);
  EXPECT_EQ(out.texts[0].codes[0].code, 0x0AC);
}

TEST(ShortestEncoding, KeepsEntriesApartAndLeadingCodesFirst) {
  const TranslatorTable table = table_with(CodeSet::Byte, {{"a", 0x01}});
  const std::string text = "a\n(0x0)a[end]\n(0x1)\n(0x2)aa[end]\n";
  const BankEncoding out = encode(table, text, EncodingMethod::Shortest);
  EXPECT_EQ(out.texts[0].entry_first, (std::vector<std::size_t>{1, 3, 3, 6}));
  EXPECT_EQ(out.texts[0].entry_codes(2).size(), 3u);
}

TEST(HuffmanLengths, GiveTheBitsOfTheInsertionsTree) {
  std::mt19937_64 rng(22);
  for (int round = 0; round < 50; ++round) {
    insert::CodeCounts counts{};
    const std::size_t used = 1 + rng() % 400;
    for (std::size_t i = 0; i < used; ++i) counts[rng() % counts.size()] = 1 + rng() % (round % 2 ? 5 : 100000);
    const insert::HuffmanCode tree = insert::build_huffman_code(counts);
    std::uint64_t bits = 0;
    for (std::size_t c = 0; c < counts.size(); ++c) bits += counts[c] * tree.lengths[c];
    EXPECT_EQ(huffman_bits(counts), bits);
  }
  static_assert(kMaxMessageCodesInUse == insert::kMaxDistinctCodes);
}

TEST(HuffmanLengths, GiveASingleCodeOneBit) {
  std::vector<std::uint64_t> counts(10, 0);
  counts[3] = 7;
  EXPECT_EQ(huffman_lengths(counts)[3], 1u);
  EXPECT_EQ(huffman_bits(counts), 7u);
}

// An English script through letters and 256 pairs.
struct English {
  TranslatorTable table;
  std::string text;
};

English english(std::size_t entries) {
  TableReading r = read_translator_table(builder::english_message_table(256), CodeSet::Message);
  EXPECT_TRUE(r.ok());
  return {std::move(r.table), builder::english_message_text(5, entries)};
}

TEST(ShortestEncoding, EncodesAnEnglishScriptInFewerBitsThanGreedyAndAlwaysAlike) {
  const English e = english(600);
  const BankEncoding greedy = encode(e.table, e.text, EncodingMethod::Greedy);
  const BankEncoding shortest = encode(e.table, e.text, EncodingMethod::Shortest);
  ASSERT_TRUE(shortest.texts[0].stuck.empty());
  EXPECT_LT(shortest.size, greedy.size);
  EXPECT_LE(shortest.distinct, kMaxMessageCodesInUse);
  const BankEncoding again = encode(e.table, e.text, EncodingMethod::Shortest);
  ASSERT_EQ(again.texts[0].codes.size(), shortest.texts[0].codes.size());
  for (std::size_t i = 0; i < again.texts[0].codes.size(); ++i)
    ASSERT_EQ(again.texts[0].codes[i].code, shortest.texts[0].codes[i].code);
}

TEST(ShortestEncoding, TakesTheByteBanksTogetherThroughOneTable) {
  TableReading r = read_translator_table(builder::english_byte_table(100), CodeSet::Byte);
  ASSERT_TRUE(r.ok());
  const TableIndex index(r.table);
  const std::string fixed = builder::english_byte_text(1, 958, false);
  const std::string battle = builder::english_byte_text(2, 375, true);
  const TableText fixed_read = read_table_text(fixed, index), battle_read = read_table_text(battle, index);
  const TextToEncode both[] = {{fixed, &fixed_read}, {battle, &battle_read}};
  const BankEncoding out = encode_bank(index, both, EncodingMethod::Shortest);
  ASSERT_EQ(out.texts.size(), 2u);
  EXPECT_EQ(out.texts[0].entry_first.size(), 959u);
  EXPECT_EQ(out.texts[1].entry_first.size(), 376u);
  EXPECT_EQ(out.size, out.texts[0].codes.size() + out.texts[1].codes.size());
}

TEST(ShortestEncoding, StaysLinearWithTheLongestEntriesATableHolds) {
  // Every length of "a" up to the longest a table line gives, over a long run
  // of "a": each position has 64 matches, and no more work than that.
  std::vector<fuzz::ReferenceEntry> entries;
  for (std::size_t n = 1; n <= kMaxTextCharacters; ++n)
    entries.push_back({std::string(n, 'a'), static_cast<std::uint16_t>(0x200 + n)});
  const TranslatorTable table = table_with(CodeSet::Message, entries);
  const std::string text = "(0x0)\n" + std::string(100000, 'a') + "[end]\n";
  const auto start = std::chrono::steady_clock::now();
  const BankEncoding out = encode(table, text, EncodingMethod::Shortest);
  // A second in a release build; a quadratic walk would take minutes.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_TRUE(out.texts[0].stuck.empty());
}

TEST(ShortestEncoding, HandsEveryRunToTheStuckListWhenTheTableHasOnlyNames) {
  TranslatorTable table = empty_table(CodeSet::Message);
  table.codes[0x0B0] = TableEntry{"[wait]", true, CodeRole::None, 1};
  const BankEncoding out = encode(table, "(0x0)\nab[wait]c[00AC]\n", EncodingMethod::Shortest);
  EXPECT_EQ(out.texts[0].stuck.size(), 3u);
  EXPECT_EQ(out.texts[0].codes.size(), 2u);
}

}  // namespace
}  // namespace talvo::tables
