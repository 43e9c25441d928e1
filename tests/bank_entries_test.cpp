// A bank's text cut into entries and put back: the extractor's files come
// back byte for byte, edited files are cut where their headers are, and the
// consistency checks find what they must and nothing else.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bank_entries.h"
#include "banks.h"
#include "consistency.h"
#include "cp932.h"
#include "entry_names.h"
#include "image_builder.h"

namespace talvo::exchange {
namespace {

std::vector<std::string> texts_of(const SplitText& split) {
  std::vector<std::string> texts;
  for (const EntryText& entry : split.entries) texts.emplace_back(entry.text);
  return texts;
}

TEST(BankEntries, ExtractedFilesComeBackByteForByte) {
  const builder::ImageContent contents[] = {builder::sample_content(), builder::random_content(3),
                                            builder::every_code_content(0), builder::every_code_content(1)};
  struct BankCase {
    Bank kind;
    std::string (*text)(const builder::ImageContent&);
    std::size_t entries;
  };
  const BankCase banks[] = {{Bank::Messages, builder::expected_message_text, 4047},
                            {Bank::FixedStrings, builder::expected_fixed_string_text, 958},
                            {Bank::BattleText, builder::expected_battle_text, 375}};
  for (const builder::ImageContent& content : contents) {
    for (const BankCase& bank : banks) {
      const std::string sjis = bank.text(content);
      const std::string utf8 = sjis_to_utf8_text(sjis).utf8;
      for (const std::string& file : {sjis, utf8}) {
        const SplitText split = split_entries(file, bank.kind);
        ASSERT_EQ(split.entries.size(), bank.entries);
        EXPECT_TRUE(split.before_first.empty());
        for (std::size_t i = 0; i < split.entries.size(); ++i) {
          ASSERT_EQ(split.entries[i].number, i);
          ASSERT_FALSE(split.entries[i].text.ends_with('\n')) << i;
        }
        EXPECT_TRUE(join_entries(texts_of(split), bank.kind) == file);
      }
    }
  }
}

TEST(BankEntries, AnEntryIsItsTextAfterTheHeaderLineWithoutTheFinalLineFeeds) {
  const SplitText messages = split_entries("(0x0000)\nあ[00AD]\nい[00AC]\n\n(0x0001)\nう[00AC]\n", Bank::Messages);
  EXPECT_EQ(texts_of(messages), (std::vector<std::string>{"あ[00AD]\nい[00AC]", "う[00AC]"}));
  EXPECT_EQ(messages.entries[1].line, 5u);
  EXPECT_EQ(messages.entries[1].header, 30u);
  EXPECT_EQ(messages.entries[1].header_end, 38u);
  const SplitText strings = split_entries("(0x0000)あ[AC]\n(0x0001)[AC]\n", Bank::FixedStrings);
  EXPECT_EQ(texts_of(strings), (std::vector<std::string>{"あ[AC]", "[AC]"}));
}

TEST(BankEntries, CutsEditedFilesWhereTheirHeadersAre) {
  // CR LF, no empty line between messages, text on a message's header line,
  // lower-case digits, a '(' inside a line, text before the first header.
  const SplitText split =
      split_entries("stray\r\n(0x0000)\r\nあ[00AC]\r\n(0x0001)い (0x0002)[00AC]\n\n\n(0x00ff)\n[00AC]", Bank::Messages);
  EXPECT_EQ(split.before_first, "stray");
  EXPECT_EQ(texts_of(split), (std::vector<std::string>{"あ[00AC]", "い (0x0002)[00AC]", "[00AC]"}));
  EXPECT_EQ(split.entries[2].number, 0xFFu);
  EXPECT_EQ(split.entries[2].line, 7u);
  // "(0x" without digits or without ")" is no header.
  EXPECT_EQ(split_entries("(0x)a\n(0x12a\n", Bank::BattleText).entries.size(), 0u);
}

TEST(BankEntries, JoinAddsNoSecondLineFeedToATextEndingInOne) {
  EXPECT_EQ(join_entries({"あ[00AC]\n", "", "い[00AC]"}, Bank::Messages),
            "(0x0000)\nあ[00AC]\n\n(0x0001)\n\n\n(0x0002)\nい[00AC]\n");
  EXPECT_EQ(join_entries({"[AC]\n", "あ[AC]"}, Bank::BattleText), "(0x0000)[AC]\n(0x0001)あ[AC]\n");
}

TEST(EntryNames, ReadAndWriteAsTheHeadersDo) {
  EXPECT_EQ(entry_context({Bank::Messages, 0x123}), "msg 0x0123");
  EXPECT_EQ(entry_context({Bank::BattleText, 0x12345}), "btl 0x12345");
  const auto read = read_entry_context("str 0x00fF");
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->bank, Bank::FixedStrings);
  EXPECT_EQ(read->number, 0xFFu);
  for (const char* bad :
       {"msg", "msg 123", "msg 0x", "msg  0x1", "MSG 0x1", "msg 0x1 ", "txt 0x1", "msg 0x123456789"}) {
    EXPECT_FALSE(read_entry_context(bad).has_value()) << bad;
  }
}

TEST(Consistency, OneOriginalTranslatedTwoWaysIsFoundAgainstTheFirst) {
  const std::vector<std::string_view> originals{"あ", "い", "あ", "あ\n", "い", "あ", "う"};
  const std::vector<std::optional<std::string_view>> translations{
      "A", "い", "A\n", "B", "I", std::nullopt, "う"};  // 1 and 6 are not translated, 5 unread
  const Inconsistencies found = find_inconsistencies(originals, translations, {});
  ASSERT_EQ(found.different.size(), 1u);
  EXPECT_EQ(found.different[0].entry, 3u);  // 2 agrees with 0, line feeds aside
  EXPECT_EQ(found.different[0].first, 0u);
  EXPECT_TRUE(found.missing.empty());
}

TEST(Consistency, AGlossaryTermLeftOutIsFoundInTranslatedEntriesOnly) {
  const std::vector<GlossaryTerm> glossary{{"王様", "KING", 2}, {"セラ", "Sera", 3}};
  const std::vector<std::string_view> originals{"王\n様です", "王様とセラ", "セラ", "王様"};
  const std::vector<std::optional<std::string_view>> translations{"The king", "KING and Se\nra", "Sera", "王様"};
  const Inconsistencies found = find_inconsistencies(originals, translations, glossary);
  ASSERT_EQ(found.missing.size(), 1u);  // case counts; line feeds do not; entry 3 is untranslated
  EXPECT_EQ(found.missing[0].entry, 0u);
  EXPECT_EQ(found.missing[0].term, 0u);
}

}  // namespace
}  // namespace talvo::exchange
