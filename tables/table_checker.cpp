#include "table_checker.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "utf8.h"

namespace talvo::tables {
namespace {

std::size_t character_length(std::string_view text, std::size_t at) {
  return std::max<std::size_t>(decode_utf8(text.substr(at)).length, 1);
}

std::string quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

// What to say of characters no entry covers: where the table has the other
// case, or has no letters of this case at all, and where the character is
// only part of longer entries.
std::string uncovered_hint(std::string_view run, const TranslatorTable& table) {
  const Utf8Char first = decode_utf8(run);
  const char32_t c = first.code_point;
  bool lower = false, upper = false;
  std::string in_longer;
  const std::string character(run.substr(0, first.length));
  std::string other_case;
  if (c < 0x80 && std::isalpha(static_cast<int>(c))) {
    other_case =
        std::string(1, static_cast<char>(std::islower(static_cast<int>(c)) ? std::toupper(static_cast<int>(c))
                                                                           : std::tolower(static_cast<int>(c))));
  }
  bool other_case_named = false;
  for (const std::optional<TableEntry>& entry : table.codes) {
    if (!entry || entry->bracketed) continue;
    for (char ch : entry->text) {
      lower = lower || std::islower(static_cast<unsigned char>(ch));
      upper = upper || std::isupper(static_cast<unsigned char>(ch));
    }
    if (!other_case.empty() && entry->text == other_case) other_case_named = true;
    if (in_longer.empty() && entry->text.size() > character.size() &&
        entry->text.find(character) != std::string::npos) {
      in_longer = entry->text;
    }
  }
  if (c < 0x80 && std::islower(static_cast<int>(c)) && !lower) return "the table has no lower-case letters";
  if (c < 0x80 && std::isupper(static_cast<int>(c)) && !upper) return "the table has no upper-case letters";
  if (other_case_named) return "the table has " + quoted(other_case);
  if (!in_longer.empty()) return "only longer entries hold it, such as " + quoted(in_longer);
  return "give it an entry in the table";
}

Diagnostic error(std::size_t first, std::size_t end, std::string message, std::string hint = {}) {
  return {Severity::Error, first, std::max(end, first + 1) - 1, std::move(message), std::move(hint), true};
}

// The problems of the reader and of the encoding, in file order; a run of
// characters that no entry covers, one behind the other on a line, as one.
std::vector<Diagnostic> problems_of(std::string_view text, const TableText& read, const EncodedText& encoded,
                                    const TranslatorTable& table, std::string_view table_name) {
  std::vector<Diagnostic> found;
  const std::string in_table = "of " + std::string(table_name);
  for (const ReadProblem& p : read.problems) {
    const std::string token(text.substr(p.first, p.end - p.first));
    switch (p.kind) {
      case ReadProblemKind::UnknownToken:
        found.push_back(error(p.first, p.end,
                              quoted(token) + " is neither a name " + in_table + " nor a code's hexadecimal token"));
        break;
      case ReadProblemKind::TokenOutOfRange:
        found.push_back(error(p.first, p.end, quoted(token) + " lies beyond the message codes, which end at 0x60B"));
        break;
      case ReadProblemKind::UnclosedToken:
        found.push_back(error(p.first, p.first + 1, "'[' is not closed on its line", "close the token with ']'"));
        break;
    }
  }
  for (std::size_t i = 0; i < encoded.stuck.size();) {
    const std::size_t first = encoded.stuck[i].offset;
    std::size_t end = first + character_length(text, first);
    for (++i; i < encoded.stuck.size() && encoded.stuck[i].offset == end; ++i) {
      end += character_length(text, end);
    }
    const std::string_view run = text.substr(first, end - first);
    found.push_back(
        error(first, end, "no entry " + in_table + " covers " + quoted(run) + " here", uncovered_hint(run, table)));
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const Diagnostic& a, const Diagnostic& b) { return a.first < b.first; });
  return found;
}

// The table with its multi-character entries left out.
TranslatorTable single_characters(const TranslatorTable& table) {
  TranslatorTable single = table;
  for (std::optional<TableEntry>& entry : single.codes) {
    if (entry && !entry->bracketed) {
      std::string_view text = entry->text;
      const std::size_t length = decode_utf8(text).length;
      if (length == 0 || length != text.size()) entry.reset();
    }
  }
  return single;
}

}  // namespace

TableCheck check_table_text(std::string_view utf8, const BankRecord& bank, const TranslatorTable& table,
                            const TableIndex& index, const Vocabulary& vocabulary, std::string_view table_name,
                            const CheckOptions& options) {
  TableCheck result;
  const TableText read = read_table_text(utf8, index);
  const TextToEncode text{utf8, &read};
  result.encoding = encode_bank(index, std::span(&text, 1), EncodingMethod::Shortest);
  const EncodedText& encoded = result.encoding.texts.front();

  TextEvents events(bank, vocabulary, options.max_line, options.keep_places);
  const auto hear = [&](std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
      const CodedUnit& unit = encoded.codes[i];
      events.code(unit.code, unit.first, std::max(unit.end, unit.first + 1) - 1);
    }
  };
  const std::size_t entries = read.entries.size();
  hear(0, entries == 0 ? encoded.codes.size() : encoded.entry_first[0]);
  for (std::size_t k = 0; k < entries; ++k) {
    const EntryHeader& header = read.entries[k].header;
    events.header(header.first, header.end - 1);
    hear(encoded.entry_first[k], encoded.entry_first[k + 1]);
  }
  result.checked = check_entries(utf8, bank, vocabulary, std::move(events),
                                 problems_of(utf8, read, encoded, table, table_name), options);

  // What the multi-character entries save: the same text with one code
  // for each character, where every character has one.
  if (result.checked.errors == 0) {
    const TableIndex single(single_characters(table));
    const BankEncoding one_each = encode_bank(single, std::span(&text, 1), EncodingMethod::Shortest);
    if (one_each.texts.front().stuck.empty()) result.single_size = one_each.size;
  }
  return result;
}

}  // namespace talvo::tables
