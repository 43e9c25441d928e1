// Text files read through a translator's table: headers only at the start
// of a line, "[" always a token, line feeds carrying nothing, every problem
// in file order with its bytes.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "table_file_reader.h"
#include "table_text_reader.h"

namespace talvo::tables {
namespace {

TranslatorTable table_of(std::string_view text, CodeSet kind = CodeSet::Message) {
  TableReading r = read_translator_table(text, kind);
  EXPECT_TRUE(r.ok());
  return std::move(r.table);
}

const TranslatorTable kTable = table_of("/0AC=[end]\n*0AD=[line]\n00B0=[wait]\n0200= \n0201=a\n0202=(\n0579=[Lv]\n");

// The pieces of a text, spelt: runs as their text in quotes, codes as #hex.
std::string spelt(std::string_view text, std::span<const TextPiece> pieces) {
  std::string out;
  char code[8];
  for (const TextPiece& p : pieces) {
    if (!out.empty()) out += ' ';
    if (p.kind == PieceKind::Run) {
      out += "'" + std::string(text.substr(p.first, p.end - p.first)) + "'";
    } else {
      std::snprintf(code, sizeof code, "#%03X", static_cast<unsigned>(p.code));
      out += code;
    }
  }
  return out;
}

TEST(TableTextReader, ReadsHeadersTokensAndRunsOfAMessageFile) {
  const TableIndex index(kTable);
  const std::string text = "(0x0000)\na a[line]\n(a)[wait][Lv][end]\n\n(0x0001)\n[00AC]\n";
  const TableText read = read_table_text(text, index);
  EXPECT_TRUE(read.problems.empty());
  ASSERT_EQ(read.entries.size(), 2u);
  EXPECT_EQ(read.leading_pieces(), 0u);
  EXPECT_EQ(read.entries[0].header.first, 0u);
  EXPECT_EQ(read.entries[0].header.end, 8u);
  EXPECT_EQ(read.entries[1].header.number, 1u);
  EXPECT_EQ(spelt(text, read.entry_pieces(0)), "'a a' #0AD '(a)' #0B0 #579 #0AC");
  EXPECT_EQ(spelt(text, read.entry_pieces(1)), "#0AC");
}

struct ReadCase {
  const char* name;
  const char* text;
  const char* pieces;  // of every entry, "|" between entries; the leading pieces first
};

const ReadCase kReadCases[] = {
    {"a header only at the start of a line", "(0x1)a(0x2)\n(0x3)", "|'a(0x2)'|"},
    {"not a header without digits", "(0x)a", "'(0x)a'"},
    {"not a header without its parenthesis", "(0x12 a\n", "'(0x12 a'"},
    {"lower-case digits in a header", "(0xab)a", "|'a'"},
    {"text before the first header", "a\n(0x0)a", "'a'|'a'"},
    {"CR LF carries nothing", "(0x0)\r\na\r\na\r\n", "|'a' 'a'"},
    {"a lone carriage return is text", "(0x0)a\ra", "|'a\ra'"},
    {"a byte-order mark skipped", "\xEF\xBB\xBF(0x0)a", "|'a'"},
    {"hexadecimal tokens of every code", "[0041][060B][0200]", "#041 #60B #200"},
    {"names before hexadecimal tokens", "[Lv][0579]", "#579 #579"},
    {"an empty entry", "(0x0)\n(0x1)a", "||'a'"},
};

TEST(TableTextReader, SplitsTextIntoEntriesAndPieces) {
  const TableIndex index(kTable);
  for (const ReadCase& c : kReadCases) {
    const TableText read = read_table_text(c.text, index);
    EXPECT_TRUE(read.problems.empty()) << c.name;
    std::string all = spelt(c.text, std::span(read.pieces).first(read.leading_pieces()));
    for (std::size_t e = 0; e < read.entries.size(); ++e) all += "|" + spelt(c.text, read.entry_pieces(e));
    EXPECT_EQ(all, c.pieces) << c.name;
  }
}

struct ProblemCase {
  const char* name;
  const char* text;
  ReadProblemKind kind;
  std::size_t first, end;
  const char* pieces;  // what is read around it
};

const ProblemCase kProblemCases[] = {
    {"unknown name", "a[pause]a", ReadProblemKind::UnknownToken, 1, 8, "'a' 'a'"},
    {"empty brackets", "a[]", ReadProblemKind::UnknownToken, 1, 3, "'a'"},
    {"lower-case hexadecimal token", "[00ac]", ReadProblemKind::UnknownToken, 0, 6, ""},
    {"a byte table's token in a message file", "[AC]", ReadProblemKind::UnknownToken, 0, 4, ""},
    {"message token beyond the codes", "[0700]a", ReadProblemKind::TokenOutOfRange, 0, 6, "'a'"},
    {"a bracket inside a token", "[a[line]a", ReadProblemKind::UnknownToken, 0, 8, "'a'"},
    {"unclosed before the line feed", "a[line\na", ReadProblemKind::UnclosedToken, 1, 6, "'a' 'a'"},
    {"unclosed before CR LF", "a[line\r\na", ReadProblemKind::UnclosedToken, 1, 6, "'a' 'a'"},
    {"unclosed at the end", "a[line", ReadProblemKind::UnclosedToken, 1, 6, "'a'"},
};

TEST(TableTextReader, ReportsProblemsWithTheirBytesAndReadsOn) {
  const TableIndex index(kTable);
  for (const ProblemCase& c : kProblemCases) {
    const TableText read = read_table_text(c.text, index);
    ASSERT_EQ(read.problems.size(), 1u) << c.name;
    EXPECT_EQ(read.problems[0].kind, c.kind) << c.name;
    EXPECT_EQ(read.problems[0].first, c.first) << c.name;
    EXPECT_EQ(read.problems[0].end, c.end) << c.name;
    EXPECT_EQ(spelt(c.text, read.pieces), c.pieces) << c.name;
  }
}

TEST(TableTextReader, ReportsEveryProblemInFileOrder) {
  const TableIndex index(kTable);
  const TableText read = read_table_text("(0x0)[x]a[y\n(0x1)[0FFF][end]", index);
  ASSERT_EQ(read.problems.size(), 3u);
  EXPECT_EQ(read.problems[0].first, 5u);
  EXPECT_EQ(read.problems[1].kind, ReadProblemKind::UnclosedToken);
  EXPECT_EQ(read.problems[2].kind, ReadProblemKind::TokenOutOfRange);
  EXPECT_EQ(read.entries.size(), 2u);
}

TEST(TableTextReader, ReadsByteBankTokensOfTwoDigits) {
  const TranslatorTable bytes = table_of("/AC=[end]\n01=a\n", CodeSet::Byte);
  const TableIndex index(bytes);
  const std::string text = "(0x0000)a[end]\n(0x0001)[AC][0041]\n";
  const TableText read = read_table_text(text, index);
  ASSERT_EQ(read.problems.size(), 1u);  // [0041] is no byte token
  EXPECT_EQ(spelt(text, read.entry_pieces(0)), "'a' #0AC");
  EXPECT_EQ(spelt(text, read.entry_pieces(1)), "#0AC");
}

TEST(TableTextReader, ReadsALongLineWithoutBracketsInLinearTime) {
  const TableIndex index(kTable);
  const std::string text = "(0x0)" + std::string(std::size_t{32} << 20, '[');
  const auto start = std::chrono::steady_clock::now();
  const TableText read = read_table_text(text, index);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_EQ(read.problems.size(), 1u);  // one unclosed token to the end, not one per bracket
}

}  // namespace
}  // namespace talvo::tables
