// The game's tables exported as table files: read back, every code is
// written as the extractor writes it; and what `table show` says of them.
#include <gtest/gtest.h>

#include "builtin_tables_export.h"
#include "cp932.h"
#include "table_file_reader.h"
#include "table_summary.h"
#include "token_tables.h"

namespace talvo::tables {
namespace {

std::string builtin_extraction_form(CodeSet kind, std::uint16_t code) {
  const char* token =
      kind == CodeSet::Message ? message_extraction_table()[code].data() : byte_extraction_table()[code].data();
  return sjis_to_utf8_text(token).utf8;
}

TEST(BuiltinTablesExport, ReadsBackToTheExtractorsFormOfEveryCode) {
  for (const CodeSet kind : {CodeSet::Message, CodeSet::Byte}) {
    const TableReading r = read_translator_table(export_builtin_table(kind), kind);
    ASSERT_TRUE(r.ok()) << r.errors[0].line << ": " << r.errors[0].message;
    for (std::size_t code = 0; code < code_count(kind); ++code) {
      const auto c = static_cast<std::uint16_t>(code);
      ASSERT_TRUE(r.table.codes[code].has_value());
      const std::string written = code_text(r.table, c) + (line_feed_follows(kind, c) ? "\n" : "");
      EXPECT_EQ(written, builtin_extraction_form(kind, c)) << kind_name(kind) << " code " << code;
      // Every role code is marked, so that other tools see the roles too.
      EXPECT_EQ(r.table.codes[code]->mark, code_role(kind, c)) << code;
    }
  }
}

TEST(BuiltinTablesExport, SpellsEachLineAsTheFieldsConventionDoes) {
  const std::string message = export_builtin_table(CodeSet::Message);
  EXPECT_NE(message.find("\n/00AC=[00AC]\n*00AD=[00AD]\n/00AE=[00AE]\n*00AF=[00AF]\n00B0=[00B0]\n"), std::string::npos);
  EXPECT_NE(message.find("\n0200=\xE3\x80\x80\n"), std::string::npos);  // the full-width space
  EXPECT_NE(message.find("\n0532=--\n"), std::string::npos);
  EXPECT_NE(message.find("\n05FE=[Heart]\n"), std::string::npos);
  const std::string byte = export_builtin_table(CodeSet::Byte);
  EXPECT_NE(byte.find("\n/AC=[AC]\n"), std::string::npos);
  EXPECT_NE(byte.find("\n/AE=[AE]\n"), std::string::npos);
  EXPECT_NE(byte.find("\nFC=\xEF\xBD\x9E\n"), std::string::npos);  // "～" U+FF5E, as code page 932 reads it
}

TEST(TableSummary, CountsTheBuiltinMessageTable) {
  const TableReading r = read_translator_table(export_builtin_table(CodeSet::Message), CodeSet::Message);
  const TableSummary s = summarize_table(r.table);
  EXPECT_EQ(s.controls_named, 512u);
  EXPECT_EQ(s.glyphs_named, 1036u);
  EXPECT_EQ(s.controls_free + s.glyphs_free, 0u);
  ASSERT_EQ(s.multi_character.size(), 1u);
  EXPECT_EQ(s.multi_character[0], 0x532);  // "--"; the other four are names
  EXPECT_EQ(s.names, (std::vector<std::uint16_t>{0x525, 0x539, 0x579, 0x5FE}));
  EXPECT_TRUE(s.shared.empty());
}

TEST(TableSummary, CountsTheByteTablesControlsAsTheGameHasThem) {
  const TableSummary s = summarize_table(empty_table(CodeSet::Byte));
  EXPECT_EQ(s.controls_free, 42u);
  EXPECT_EQ(s.glyphs_free, 214u);
}

TEST(TableSummary, ShowsFreeCodesAsRangesAndTheEntriesTranslatorsAdded) {
  const TableReading r =
      read_translator_table("/0AC=[end]\n0200= \n0201=e\n0300=th\n0301=e \n0302=e\n", CodeSet::Message);
  ASSERT_TRUE(r.ok());
  const std::string shown = describe_table(r.table);
  EXPECT_NE(shown.find("message table: 6 codes named, 1542 free\n"), std::string::npos) << shown;
  EXPECT_NE(shown.find("free glyph codes: 0x202-0x2FF, 0x303-0x60B\n"), std::string::npos) << shown;
  EXPECT_NE(shown.find("  0x0AC  end  [end]  (line 1)\n"), std::string::npos) << shown;
  EXPECT_NE(shown.find("  0x0AD  line break  [00AD]\n"), std::string::npos) << shown;
  EXPECT_NE(shown.find("multi-character entries: 2\n  0x300  th  (line 4)\n  0x301  \"e \"  (line 5)\n"),
            std::string::npos)
      << shown;
  EXPECT_NE(shown.find("the lower code encodes them): 1\n  0x302  e  (line 6)\n"), std::string::npos) << shown;
}

TEST(TableSummary, WritesCodeRangesCompactly) {
  EXPECT_EQ(code_ranges_text(CodeSet::Byte, {}), "none");
  EXPECT_EQ(code_ranges_text(CodeSet::Byte, {0x01, 0x02, 0x03, 0x05, 0x10, 0x11}), "0x01-0x03, 0x05, 0x10-0x11");
}

}  // namespace
}  // namespace talvo::tables
