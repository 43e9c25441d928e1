// CSV as spreadsheets write it: quoted cells with commas, quotes and line
// feeds, CR LF, a byte-order mark; malformed files refused at their line;
// columns found by name; the glossary read from it.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "csv_columns.h"
#include "csv_file.h"
#include "glossary.h"

namespace talvo::exchange {
namespace {

using Cells = std::vector<std::string>;

std::vector<CsvRow> read_ok(const std::string& text) {
  std::vector<CsvRow> rows;
  CsvError error;
  EXPECT_TRUE(read_csv(text, rows, error)) << error.line << ": " << error.message;
  return rows;
}

TEST(CsvReader, ReadsWhatSpreadsheetsWrite) {
  struct Case {
    const char* what;
    std::string text;
    std::vector<Cells> rows;
    std::vector<std::size_t> lines;
  };
  const Case cases[] = {
      {"plain rows", "a,b\nc,d\n", {{"a", "b"}, {"c", "d"}}, {1, 2}},
      {"CR LF and a byte-order mark",
       "\xEF\xBB\xBF"
       "a,b\r\nc,d\r\n",
       {{"a", "b"}, {"c", "d"}},
       {1, 2}},
      {"no line end at the end", "a,b\nc", {{"a", "b"}, {"c"}}, {1, 2}},
      {"quotes doubled", "\"say \"\"hi\"\"\",x\n", {{"say \"hi\"", "x"}}, {1}},
      {"commas in quotes", "\"a,b\",c\n", {{"a,b", "c"}}, {1}},
      {"line feeds in quotes", "\"one\ntwo\r\nthree\",x\nnext\n", {{"one\ntwo\r\nthree", "x"}, {"next"}}, {1, 4}},
      {"empty cells", ",,\n\"\",x,\n", {{"", "", ""}, {"", "x", ""}}, {1, 2}},
      {"a comma at the very end", "a,", {{"a", ""}}, {1}},
      {"an empty line", "a\n\nb\n", {{"a"}, {""}, {"b"}}, {1, 2, 3}},
      {"spaces kept", " a , b \n", {{" a ", " b "}}, {1}},
      {"an empty file", "", {}, {}},
  };
  for (const Case& c : cases) {
    const std::vector<CsvRow> rows = read_ok(c.text);
    ASSERT_EQ(rows.size(), c.rows.size()) << c.what;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(rows[i].cells, c.rows[i]) << c.what << ", row " << i;
      EXPECT_EQ(rows[i].line, c.lines[i]) << c.what << ", row " << i;
    }
  }
}

TEST(CsvReader, RefusesMalformedFilesAtTheirLine) {
  struct Case {
    const char* what;
    std::string text;
    std::size_t line;
    const char* says;
  };
  const Case cases[] = {
      {"a quote inside a plain cell", "a,b\nc,d\"e\n", 2, "a quote inside a cell that does not begin with one"},
      {"text after the closing quote", "a\n\"b\"c,d\n", 2, "text after the closing quote"},
      {"a quoted cell never closed", "a\nb,\"c\nd\ne\n", 2, "never closed"},
      {"a lone carriage return", "a\rb\n", 1, "carriage return"},
      {"a lone carriage return after quotes", "\"a\"\rb\n", 1, "text after the closing quote"},
      {"Latin-1 from a spreadsheet", "a\n\"b\nc\",caf\xE9\n", 3, "not UTF-8"},
  };
  for (const Case& c : cases) {
    std::vector<CsvRow> rows;
    CsvError error;
    EXPECT_FALSE(read_csv(c.text, rows, error)) << c.what;
    EXPECT_EQ(error.line, c.line) << c.what << ": " << error.message;
    EXPECT_NE(error.message.find(c.says), std::string::npos) << c.what << ": " << error.message;
  }
}

TEST(CsvWriter, QuotesOnlyWhatNeedsItAndReadsBackTheSame) {
  const std::vector<Cells> rows{{"bank", "entry", "original", "translation"},
                                {"msg", "0x0000", "あ[00AD]\nい[00AC]", ""},
                                {"a,b", "say \"hi\"", "cr\rlf\r\n", ""},
                                {""},
                                {}};
  const std::string csv = write_csv(rows);
  EXPECT_EQ(csv,
            "\xEF\xBB\xBF"
            "bank,entry,original,translation\r\n"
            "msg,0x0000,\"あ[00AD]\nい[00AC]\",\r\n"
            "\"a,b\",\"say \"\"hi\"\"\",\"cr\rlf\r\n\",\r\n"
            "\r\n"
            "\r\n");
  const std::vector<CsvRow> read = read_ok(csv);
  ASSERT_EQ(read.size(), rows.size());
  for (std::size_t i = 0; i + 1 < rows.size(); ++i) EXPECT_EQ(read[i].cells, rows[i]) << i;
  EXPECT_EQ(read.back().cells, Cells{""});  // a row of no cells reads as one empty cell
}

TEST(CsvColumns, FindsColumnsByNameBelowBlankRows) {
  const std::vector<CsvRow> rows = read_ok(",,\nNotes, Translation ,BANK,entry,original\nx,y,msg,0x0001,z\n");
  constexpr std::array<std::string_view, 4> kNames{"bank", "entry", "original", "translation"};
  std::vector<std::size_t> columns;
  std::size_t first = 0;
  CsvError error;
  ASSERT_TRUE(find_columns(rows, kNames, columns, first, error)) << error.message;
  EXPECT_EQ(columns, (std::vector<std::size_t>{2, 3, 4, 1}));
  EXPECT_EQ(first, 2u);
  EXPECT_EQ(cell(rows[2], 4), "z");
  EXPECT_EQ(cell(rows[2], 9), "");
}

TEST(CsvColumns, SaysWhichNamesTheHeaderRowLacks) {
  constexpr std::array<std::string_view, 2> kNames{"source", "target"};
  std::vector<std::size_t> columns;
  std::size_t first = 0;
  CsvError error;
  EXPECT_FALSE(find_columns(read_ok("\nsource,cible\n"), kNames, columns, first, error));
  EXPECT_EQ(error.line, 2u);
  EXPECT_EQ(error.message, "no header row naming the columns source,target (missing: target)");
  EXPECT_FALSE(find_columns({}, kNames, columns, first, error));
  EXPECT_EQ(error.line, 1u);
  // Spreadsheets of some countries part cells by semicolons.
  EXPECT_FALSE(find_columns(read_ok("source;target\n"), kNames, columns, first, error));
  EXPECT_EQ(error.message,
            "no header row naming the columns source,target (missing: source, target); its cells seem parted by "
            "semicolons or tabs: save the sheet as CSV with commas");
}

TEST(Glossary, ReadsTermsWithoutTheirLineFeedsAndRefusesHalfRows) {
  std::vector<GlossaryTerm> terms;
  CsvError error;
  ASSERT_TRUE(read_glossary("target,source\r\nＫＩＮＧ,\"王\n様\"\r\n,\r\nＳＥＲＡ,セラ\r\n", terms, error));
  ASSERT_EQ(terms.size(), 2u);
  EXPECT_EQ(terms[0].source, "王様");
  EXPECT_EQ(terms[0].target, "ＫＩＮＧ");
  EXPECT_EQ(terms[0].line, 2u);
  EXPECT_EQ(terms[1].line, 5u);
  EXPECT_FALSE(read_glossary("source,target\nセラ,\n", terms, error));
  EXPECT_EQ(error.line, 2u);
  EXPECT_EQ(error.message, "a term without its target: each row of the glossary gives both");
}

}  // namespace
}  // namespace talvo::exchange
