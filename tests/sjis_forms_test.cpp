// Tables and text files between Shift_JIS and UTF-8: which table texts a
// Shift_JIS file cannot carry, and the way back from a converted text's
// offsets to the file's.
#include <gtest/gtest.h>

#include "sjis_forms.h"
#include "sjis_text.h"
#include "table_file_reader.h"

namespace talvo::tables {
namespace {

TranslatorTable table_of(std::string_view text) {
  TableReading r = read_translator_table(text, CodeSet::Message);
  EXPECT_TRUE(r.ok());
  return std::move(r.table);
}

TEST(SjisForms, FindTheEarliestLineWhoseTextAShiftJisFileCannotCarry) {
  // "é" on line 3 and "—" on line 2: line 2 comes first, whatever the codes.
  const TranslatorTable table = table_of("0300=a\n0310=\xE2\x80\x94\n0301=caf\xC3\xA9\n");
  const auto problem = first_text_without_sjis_form(table);
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->line, 2u);
  EXPECT_EQ(problem->code, 0x310);
  EXPECT_EQ(describe_sjis_problem(table, *problem),
            "the text of code 0x310 holds '\xE2\x80\x94' (U+2014), which a Shift_JIS file gives back as "
            "'\xE2\x80\x95' (U+2015); write '\xE2\x80\x95' (U+2015) in the table, or use --encoding utf8");
  const auto e = first_text_without_sjis_form(table_of("0301=caf\xC3\xA9\n"));
  ASSERT_TRUE(e);
  EXPECT_EQ(describe_sjis_problem(table, *e),
            "the text of code 0x301 holds '\xC3\xA9' (U+00E9), which has no Shift_JIS form; use --encoding utf8");
}

TEST(SjisForms, PassLettersKanaAndHalfWidthKatakana) {
  EXPECT_FALSE(
      first_text_without_sjis_form(table_of("0300=Ab \n0301=\xE3\x81\x82\n0302=\xEF\xBD\xB1\n0303=\xEF\xBD\x9E\n")));
}

TEST(SjisText, KeepsTheFileOffsetOfEveryUtf8Byte) {
  // "あ" (two bytes, three in UTF-8), "a", half-width "ｱ" (one byte, three),
  // "い".
  const Utf8FromSjis out = sjis_to_utf8_with_offsets(
      "\x82\xA0"
      "a"
      "\xB1\x82\xA2");
  EXPECT_EQ(out.utf8,
            "\xE3\x81\x82"
            "a\xEF\xBD\xB1\xE3\x81\x84");
  EXPECT_EQ(out.sjis_offsets, (std::vector<std::uint32_t>{0, 0, 0, 2, 3, 3, 3, 4, 4, 4, 6}));
  EXPECT_TRUE(out.bad_bytes.empty());
  const Utf8FromSjis bad = sjis_to_utf8_with_offsets("a\x80z\x82");
  EXPECT_EQ(bad.utf8, "az");
  EXPECT_EQ(bad.bad_bytes, (std::vector<std::size_t>{1, 3}));
  EXPECT_EQ(bad.sjis_offset(1), 2u);
  EXPECT_EQ(bad.sjis_offset(2), 4u);
}

}  // namespace
}  // namespace talvo::tables
