// Any bytes as a text file read through a table: the table from the front
// of the input when it reads, else a fixed one of letters, pairs and names;
// the text as UTF-8, or as Shift_JIS converted first. Every byte of the
// text is accounted for exactly once (a piece, a problem, a header, a line
// end), pieces and problems come in file order, tokens read as their codes,
// and the shortest encoding spells each run it encodes exactly.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "input_reader.h"
#include "shortest_encoding.h"
#include "sjis_text.h"
#include "table_file_reader.h"
#include "table_text_reader.h"
#include "utf8.h"

namespace {

using namespace talvo;
using namespace talvo::tables;

const char kMessageTable[] =
    "/0AC=[end]\n*0AD=[line]\n00B0=[wait]\n0200= \n0201=a\n0202=b\n0203=(\n0204=ab\n0205=\xE3\x81\x82\n0206=b \n";
const char kByteTable[] = "/AC=[end]\n/AE=[end2]\n01= \n02=a\n05=b\n08=ab\n09=\xE3\x81\x82\n";

void check_conversion(std::string_view sjis, const Utf8FromSjis& converted) {
  FUZZ_CHECK(converted.sjis_offsets.size() == converted.utf8.size() + 1);
  FUZZ_CHECK(converted.sjis_offsets.back() == sjis.size());
  for (std::size_t i = 1; i < converted.sjis_offsets.size(); ++i)
    FUZZ_CHECK(converted.sjis_offsets[i - 1] <= converted.sjis_offsets[i]);
  for (std::string_view rest = converted.utf8; !rest.empty();) {
    const Utf8Char c = decode_utf8(rest);
    FUZZ_CHECK(c.error == Utf8Error::None);
    rest.remove_prefix(c.length);
  }
}

void check_reading(std::string_view text, const TableIndex& index, const TableText& read) {
  // Which part of the reading each byte belongs to; 0 for none yet.
  std::vector<std::uint8_t> owner(text.size(), 0);
  const auto own = [&](std::size_t first, std::size_t end, std::uint8_t who) {
    FUZZ_CHECK(first < end && end <= text.size());
    for (std::size_t i = first; i < end; ++i) {
      FUZZ_CHECK(owner[i] == 0);
      owner[i] = who;
    }
  };
  std::size_t previous_end = 0;
  for (const TextPiece& piece : read.pieces) {
    FUZZ_CHECK(piece.first >= previous_end);
    previous_end = piece.end;
    own(piece.first, piece.end, 1);
    const std::string_view bytes = text.substr(piece.first, piece.end - piece.first);
    if (piece.kind == PieceKind::Code) {
      FUZZ_CHECK(bytes.size() >= 2 && bytes.front() == '[' && bytes.back() == ']');
      const TokenCode token = index.token_code(bytes.substr(1, bytes.size() - 2));
      FUZZ_CHECK(token.lookup == TokenLookup::Found && token.code == piece.code);
    } else {
      FUZZ_CHECK(bytes.find_first_of("[\n") == std::string_view::npos);
      FUZZ_CHECK(bytes.find("\r\n") == std::string_view::npos &&
                 !(bytes.back() == '\r' && piece.end < text.size() && text[piece.end] == '\n'));
    }
  }
  previous_end = 0;
  for (const ReadProblem& problem : read.problems) {
    FUZZ_CHECK(problem.first >= previous_end && text[problem.first] == '[');
    previous_end = problem.end;
    own(problem.first, problem.end, 2);
  }
  std::size_t first_piece = read.leading_pieces();
  for (const TextEntry& entry : read.entries) {
    FUZZ_CHECK(entry.first_piece == first_piece && entry.end_piece >= entry.first_piece);
    first_piece = entry.end_piece;
    const std::size_t at = entry.header.first;
    FUZZ_CHECK(at == 0 || text[at - 1] == '\n' || (at == 3 && text.starts_with("\xEF\xBB\xBF")));
    FUZZ_CHECK(text.substr(at, 3) == "(0x" && text[entry.header.end - 1] == ')');
    own(entry.header.first, entry.header.end, 3);
  }
  FUZZ_CHECK(first_piece == read.pieces.size());
  // What is left: the byte-order mark, line feeds, and the CR of CR LF.
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (owner[i] != 0) continue;
    const bool bom = i < 3 && text.starts_with("\xEF\xBB\xBF");
    const bool line_end = text[i] == '\n' || (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n');
    FUZZ_CHECK(bom || line_end);
  }
}

void check_encoding(std::string_view text, const TranslatorTable& table, const TableIndex& index,
                    const TableText& read) {
  const TextToEncode texts[] = {{text, &read}};
  const BankEncoding shortest = encode_bank(index, texts, EncodingMethod::Shortest);
  const BankEncoding greedy = encode_bank(index, texts, EncodingMethod::Greedy);
  for (const CodedUnit& unit : shortest.texts[0].codes) {
    const std::string_view bytes = text.substr(unit.first, unit.end - unit.first);
    const auto& entry = table.codes[unit.code];
    if (!entry || entry->bracketed || bytes.front() == '[') continue;  // a token, checked with the reading
    FUZZ_CHECK(bytes == entry->text);
  }
  // Greedy gets stuck wherever the shortest does, and maybe elsewhere too;
  // where it does not, it is never the smaller.
  if (!shortest.texts[0].stuck.empty()) FUZZ_CHECK(!greedy.texts[0].stuck.empty());
  if (greedy.texts[0].stuck.empty()) FUZZ_CHECK(shortest.size <= greedy.size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::InputReader input({data, size});
  const std::uint8_t mode = input.byte();
  const CodeSet kind = (mode & 1) != 0 ? CodeSet::Byte : CodeSet::Message;
  const auto table_bytes = input.bytes(input.byte());
  TableReading reading =
      read_translator_table({reinterpret_cast<const char*>(table_bytes.data()), table_bytes.size()}, kind);
  if (!reading.ok() || (mode & 4) != 0)
    reading = read_translator_table(kind == CodeSet::Message ? kMessageTable : kByteTable, kind);
  FUZZ_CHECK(reading.ok());
  const auto rest = input.bytes(input.remaining());
  const std::string_view bytes(reinterpret_cast<const char*>(rest.data()), rest.size());
  std::string text(bytes);
  if ((mode & 2) != 0) {
    Utf8FromSjis converted = sjis_to_utf8_with_offsets(bytes);
    check_conversion(bytes, converted);
    text = std::move(converted.utf8);
  }
  const TableIndex index(reading.table);
  const TableText read = read_table_text(text, index);
  check_reading(text, index, read);
  check_encoding(text, reading.table, index, read);
  return 0;
}
