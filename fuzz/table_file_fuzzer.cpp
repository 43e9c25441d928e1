// Any bytes as a table file, of either kind (the first byte says which):
// refused with errors that name lines of the file, or read into a table
// whose every entry keeps the rules, which reads back the same when written
// out again, and whose names are found by the token lookup.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "sjis_forms.h"
#include "table_file_reader.h"
#include "table_index.h"
#include "table_summary.h"
#include "utf8.h"

namespace {

using namespace talvo;
using namespace talvo::tables;

std::size_t lines_of(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  std::size_t lines = 0;
  while (!bytes.empty()) {
    const std::size_t feed = bytes.find('\n');
    bytes.remove_prefix(feed == std::string_view::npos ? bytes.size() : feed + 1);
    ++lines;
  }
  return lines;
}

void check_entry(const TranslatorTable& table, std::uint16_t code, const TableEntry& entry, std::size_t lines) {
  FUZZ_CHECK(!entry.text.empty());
  FUZZ_CHECK(entry.line >= 1 && entry.line <= lines);
  std::size_t characters = 0;
  for (std::string_view rest = entry.text; !rest.empty(); ++characters) {
    const Utf8Char c = decode_utf8(rest);
    FUZZ_CHECK(c.error == Utf8Error::None);
    FUZZ_CHECK(c.code_point >= 0x20 && c.code_point != 0x7F);
    rest.remove_prefix(c.length);
  }
  FUZZ_CHECK(characters <= kMaxTextCharacters);
  const std::string_view text = entry.text;
  FUZZ_CHECK(entry.bracketed == (text.size() >= 2 && text.front() == '[' && text.back() == ']'));
  const std::string_view inside = entry_name(entry);
  FUZZ_CHECK(inside.find_first_of("[]") == std::string_view::npos);
  FUZZ_CHECK(!inside.empty());
  const CodeRole role = code_role(table.kind, code);
  FUZZ_CHECK(entry.mark == CodeRole::None || entry.mark == role);
  if (role != CodeRole::None) FUZZ_CHECK(entry.bracketed);
  // A name spelled as a hexadecimal token is its own code's.
  const std::size_t width = table.kind == CodeSet::Message ? 4 : 2;
  if (entry.bracketed && inside.size() == width &&
      inside.find_first_not_of("0123456789ABCDEF") == std::string_view::npos)
    FUZZ_CHECK(entry.text == hex_token(table.kind, code));
}

// The table written out as table lines.
std::string written(const TranslatorTable& table) {
  std::string out;
  for (std::size_t code = 0; code < table.codes.size(); ++code) {
    const auto& entry = table.codes[code];
    if (!entry) continue;
    if (entry->mark != CodeRole::None) out += entry->mark == CodeRole::End ? '/' : '*';
    const std::string token = hex_token(table.kind, static_cast<std::uint16_t>(code));
    out += token.substr(1, token.size() - 2) + "=" + entry->text + "\n";
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const CodeSet kind = (data[0] & 1) != 0 ? CodeSet::Byte : CodeSet::Message;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  const TableReading reading = read_translator_table(bytes, kind);
  const std::size_t lines = lines_of(bytes);
  FUZZ_CHECK(reading.errors.size() <= kMaxTableErrors + 1);
  std::uint32_t previous = 0;
  for (const TableError& error : reading.errors) {
    FUZZ_CHECK(error.line >= 1 && error.line <= lines);
    FUZZ_CHECK(error.line >= previous);
    FUZZ_CHECK(!error.message.empty());
    previous = error.line;
  }
  if (!reading.ok()) return 0;

  const TranslatorTable& table = reading.table;
  FUZZ_CHECK(table.codes.size() == code_count(kind));
  for (std::size_t code = 0; code < table.codes.size(); ++code) {
    if (table.codes[code]) check_entry(table, static_cast<std::uint16_t>(code), *table.codes[code], lines);
  }
  const TableReading again = read_translator_table(written(table), kind);
  FUZZ_CHECK(again.ok());
  for (std::size_t code = 0; code < table.codes.size(); ++code) {
    const auto &a = table.codes[code], &b = again.table.codes[code];
    FUZZ_CHECK(a.has_value() == b.has_value());
    if (a) FUZZ_CHECK(a->text == b->text && a->bracketed == b->bracketed && a->mark == b->mark);
  }

  // Every name reads back as the lowest code of that name.
  const TableIndex index(table);
  for (std::size_t code = 0; code < table.codes.size(); ++code) {
    const auto& entry = table.codes[code];
    if (!entry || !entry->bracketed) continue;
    const TokenCode token = index.token_code(entry_name(*entry));
    FUZZ_CHECK(token.lookup == TokenLookup::Found && token.code <= code);
    FUZZ_CHECK(table.codes[token.code] && table.codes[token.code]->text == entry->text);
  }
  FUZZ_CHECK(!describe_table(table).empty());
  if (const auto problem = first_text_without_sjis_form(table)) {
    FUZZ_CHECK(table.codes[problem->code] && table.codes[problem->code]->line == problem->line);
  }
  return 0;
}
