// Table files as translators write them: what each line means, and every
// kind of bad line refused with its line number.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "table_file_reader.h"

namespace talvo::tables {
namespace {

const TableEntry& entry(const TableReading& reading, std::uint16_t code) {
  EXPECT_TRUE(reading.table.codes.at(code).has_value()) << "code " << code;
  static const TableEntry kNone;
  return reading.table.codes.at(code) ? *reading.table.codes.at(code) : kNone;
}

std::string errors_of(const TableReading& reading) {
  std::string all;
  for (const TableError& e : reading.errors) all += std::to_string(e.line) + ": " + e.message + "\n";
  return all;
}

TEST(TableFileReader, TakesTheTextLiterallyToTheEndOfTheLine) {
  const TableReading r = read_translator_table("0302=e \n303=th\n0304==\n305=a=b\n", CodeSet::Message);
  ASSERT_TRUE(r.ok()) << errors_of(r);
  EXPECT_EQ(entry(r, 0x302).text, "e ");
  EXPECT_EQ(entry(r, 0x303).text, "th");
  EXPECT_EQ(entry(r, 0x304).text, "=");
  EXPECT_EQ(entry(r, 0x305).text, "a=b");
  EXPECT_EQ(entry(r, 0x303).line, 2u);
  EXPECT_FALSE(entry(r, 0x302).bracketed);
}

TEST(TableFileReader, SkipsTheByteOrderMarkCommentsAndBlankLinesAndReadsCrLf) {
  const TableReading r = read_translator_table("\xEF\xBB\xBF# letters\r\n\r\n  \t\r\n0302=e\r\n41=x", CodeSet::Message);
  ASSERT_TRUE(r.ok()) << errors_of(r);
  EXPECT_EQ(entry(r, 0x302).text, "e");
  EXPECT_EQ(entry(r, 0x302).line, 4u);
  EXPECT_EQ(entry(r, 0x041).text, "x");  // the last line needs no line feed
}

TEST(TableFileReader, ReadsNamesMarksAndHexadecimalNamesOfTheirOwnCode) {
  const TableReading r = read_translator_table(
      "/0AC=[end]\n*0AD=[line]\n0B0=[wait]\n0041=[0041]\n0AE=[00AE]\n0579=[Lv]\n", CodeSet::Message);
  ASSERT_TRUE(r.ok()) << errors_of(r);
  EXPECT_TRUE(entry(r, 0x0AC).bracketed);
  EXPECT_EQ(entry(r, 0x0AC).mark, CodeRole::End);
  EXPECT_EQ(entry(r, 0x0AD).mark, CodeRole::LineBreak);
  EXPECT_EQ(entry(r, 0x0AE).mark, CodeRole::None);  // unmarked, it keeps its role
  EXPECT_EQ(entry_name(entry(r, 0x0B0)), "wait");
  EXPECT_EQ(entry(r, 0x579).text, "[Lv]");
}

TEST(TableFileReader, ByteTablesTakeTheirEndCodesAndTwoDigitCodes) {
  const TableReading r = read_translator_table("/AC=[end]\n/AE=[end2]\n41=[41]\n0a=x\n", CodeSet::Byte);
  ASSERT_TRUE(r.ok()) << errors_of(r);
  EXPECT_EQ(entry(r, 0xAE).mark, CodeRole::End);
  EXPECT_EQ(entry(r, 0x0A).text, "x");
}

TEST(TableFileReader, TakesLowerCaseHexadecimalAsAName) {
  // Tokens are read in upper case only, so [face] or [00ac] is a name.
  const TableReading r = read_translator_table("00B0=[face]\n0302=[00ac]\n", CodeSet::Message);
  EXPECT_TRUE(r.ok()) << errors_of(r);
}

TEST(TableFileReader, LetsCodesShareATextAndKeepsBothEntries) {
  const TableReading r = read_translator_table("0302=e\n0301=e\n", CodeSet::Message);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(entry(r, 0x301).text, "e");
  EXPECT_EQ(entry(r, 0x302).text, "e");
}

struct BadTable {
  const char* name;
  CodeSet kind;
  const char* text;
  std::uint32_t line;
  const char* message;  // the whole message
};

const BadTable kBadTables[] = {
    {"no equals sign", CodeSet::Message, "# ok\n0302 e\n", 2, "expected CODE=TEXT, such as 0302=e; there is no '='"},
    {"code named twice", CodeSet::Message, "0302=e\n\n302=f\n", 3, "code 0x302 is named twice (first on line 1)"},
    {"message code out of range", CodeSet::Message, "060C=x\n", 1,
     "code 0x060C lies beyond the message codes, which end at 0x60B"},
    {"five digits", CodeSet::Message, "00302=x\n", 1,
     "'00302' is not a code: a message table's codes have 1 to 4 hexadecimal digits, such as 302 or 0302"},
    {"no digits", CodeSet::Message, "=x\n", 1,
     "'' is not a code: a message table's codes have 1 to 4 hexadecimal digits, such as 302 or 0302"},
    {"not hexadecimal", CodeSet::Message, "03G2=x\n", 1,
     "'03G2' is not a code: a message table's codes have 1 to 4 hexadecimal digits, such as 302 or 0302"},
    {"one-digit byte code", CodeSet::Byte, "A=x\n", 1,
     "'A' is not a code: a byte table's codes have 2 hexadecimal digits, such as 4A"},
    {"space before the code", CodeSet::Byte, " 4A=x\n", 1,
     "' 4A' is not a code: a byte table's codes have 2 hexadecimal digits, such as 4A"},
    {"empty text", CodeSet::Message, "0302=\n", 1, "code 0x302 has no text after its '='"},
    {"bracket inside a text", CodeSet::Message, "0302=a[b\n", 1,
     "the text of code 0x302 holds a bracket; brackets stand only around a whole name, such as [wait]"},
    {"closing bracket inside a text", CodeSet::Byte, "4A=a]\n", 1,
     "the text of code 0x4A holds a bracket; brackets stand only around a whole name, such as [wait]"},
    {"bracket inside a name", CodeSet::Message, "00B0=[a[b]\n", 1,
     "the name of code 0x0B0 holds a bracket; a name is written [name], without brackets inside"},
    {"empty name", CodeSet::Message, "00B0=[]\n", 1, "code 0x0B0 has an empty name, []"},
    {"another code's hexadecimal token", CodeSet::Message, "0302=[0041]\n", 1,
     "[0041] is spelled as a hexadecimal token, which reads as code 0x041; give code 0x302 another name"},
    {"a byte code's hexadecimal token elsewhere", CodeSet::Byte, "4A=[41]\n", 1,
     "[41] is spelled as a hexadecimal token, which reads as code 0x41; give code 0x4A another name"},
    {"a hexadecimal token beyond the codes", CodeSet::Message, "0302=[0700]\n", 1,
     "[0700] is spelled as a hexadecimal token; give code 0x302 another name"},
    {"end mark on a glyph", CodeSet::Message, "/0302=[x]\n", 1,
     "'/' marks an end code, and code 0x302 ends nothing: messages end with 0x0AC or 0x0AE"},
    {"end mark on a line-break code", CodeSet::Message, "/0AD=[x]\n", 1,
     "'/' marks an end code, and code 0x0AD ends nothing: messages end with 0x0AC or 0x0AE"},
    {"line-break mark on an end code", CodeSet::Message, "*0AC=[x]\n", 1,
     "'*' marks a line-break code, and code 0x0AC breaks no line: messages break their line after 0x0AD and 0x0AF"},
    {"line-break mark in a byte table", CodeSet::Byte, "*AC=[x]\n", 1,
     "'*' marks a line-break code, and code 0xAC breaks no line: byte banks have no line-break codes"},
    {"end mark on another byte code", CodeSet::Byte, "/AD=[x]\n", 1,
     "'/' marks an end code, and code 0xAD ends nothing: fixed strings end with 0xAC, battle text with 0xAC or 0xAE"},
    {"role code with running text", CodeSet::Message, "0AC=.\n", 1,
     "code 0x0AC ends a message, so its text must be a name, such as [00AC]; running text never encodes into it"},
    {"line-break code with running text", CodeSet::Message, "*0AF=~\n", 1,
     "code 0x0AF breaks the line of a message, so its text must be a name, such as [00AF]; running text never "
     "encodes into it"},
    {"byte end code with running text", CodeSet::Byte, "AE=!\n", 1,
     "code 0xAE ends an entry, so its text must be a name, such as [AE]; running text never encodes into it"},
    {"not UTF-8", CodeSet::Message, "0302=\xE9t\xE9\n", 1, "bytes that are not UTF-8 (truncated sequence)"},
    {"not UTF-8 in a comment", CodeSet::Message, "0302=e\n# caf\xE9\n", 2,
     "bytes that are not UTF-8 (truncated sequence)"},
    {"control character", CodeSet::Message, "0302=a\tb\n", 1,
     "the text of code 0x302 holds the control character U+0009"},
    {"lone carriage return", CodeSet::Message, "0302=a\rb\n", 1,
     "the text of code 0x302 holds the control character U+000D"},
};

TEST(TableFileReader, RefusesEveryKindOfBadLineWithItsNumber) {
  for (const BadTable& bad : kBadTables) {
    const TableReading r = read_translator_table(bad.text, bad.kind);
    ASSERT_EQ(r.errors.size(), 1u) << bad.name << "\n" << errors_of(r);
    EXPECT_EQ(r.errors[0].line, bad.line) << bad.name;
    EXPECT_EQ(r.errors[0].message, bad.message) << bad.name;
  }
}

TEST(TableFileReader, ReportsEveryBadLineInOrderAndGoesOn) {
  const TableReading r = read_translator_table("0302=\n0303=a\n0303=b\nxyz\n0304=c\n", CodeSet::Message);
  ASSERT_EQ(r.errors.size(), 3u) << errors_of(r);
  EXPECT_EQ(r.errors[0].line, 1u);
  EXPECT_EQ(r.errors[1].line, 3u);
  EXPECT_EQ(r.errors[2].line, 4u);
  EXPECT_TRUE(r.table.codes[0x304].has_value());
}

TEST(TableFileReader, RefusesATextOfMoreCharactersThanAllowed) {
  const std::string longest(kMaxTextCharacters, 'a');
  EXPECT_TRUE(read_translator_table("0302=" + longest + "\n", CodeSet::Message).ok());
  // Ten thousand characters, each of three bytes.
  std::string huge;
  for (int i = 0; i < 10000; ++i) huge += "\xE3\x81\x82";
  const TableReading r = read_translator_table("0302=" + huge + "\n", CodeSet::Message);
  ASSERT_EQ(r.errors.size(), 1u);
  EXPECT_EQ(r.errors[0].message, "the text of code 0x302 has 10000 characters; at most 64 are allowed");
}

TEST(TableFileReader, StopsAfterAHundredErrorsOfAMillionLines) {
  std::string table;
  for (int i = 0; i < 1000000; ++i) table += "0302=x\n";
  const auto start = std::chrono::steady_clock::now();
  const TableReading r = read_translator_table(table, CodeSet::Message);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  ASSERT_EQ(r.errors.size(), kMaxTableErrors + 1);
  EXPECT_EQ(r.errors.back().message, "too many errors; the rest of the table was not read");
  EXPECT_EQ(r.errors.back().line, kMaxTableErrors + 1);
}

TEST(TableFileReader, ReadsATableNamingEveryCode) {
  std::string table;
  char line[32];
  for (unsigned code = 0; code < 0x60C; ++code) {
    std::snprintf(line, sizeof line, code < 0x200 || (code >= 0xAC && code <= 0xAF) ? "%04X=[k%u]\n" : "%04X=g%u\n",
                  code, code);
    table += line;
  }
  const TableReading r = read_translator_table(table, CodeSet::Message);
  ASSERT_TRUE(r.ok()) << errors_of(r);
  for (const auto& slot : r.table.codes) EXPECT_TRUE(slot.has_value());
}

}  // namespace
}  // namespace talvo::tables
