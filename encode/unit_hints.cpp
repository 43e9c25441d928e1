#include "unit_hints.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <vector>

#include "banks.h"
#include "code_lookup.h"
#include "cp932.h"
#include "sjis_terminal_text.h"

namespace talvo {
namespace {

using Unit = ParseFailure::Unit;

// The game's two tables: the bank's own, and the other, for the hints that
// a unit belongs there.
struct Tables {
  const Vocabulary& own;
  const Vocabulary& other;
  bool messages;  // the bank's own is the message table

  Tables(const BankRecord& bank, const Vocabularies& vocabularies)
      : own(vocabularies.of(bank.codes())),
        other(vocabularies.of(bank.codes() == CodeSet::Message ? CodeSet::Byte : CodeSet::Message)),
        messages(bank.codes() == CodeSet::Message) {}
  const char* other_name() const {
    return messages ? "the byte table (fixed strings and battle text)" : "the message table";
  }
};

bool in_table(const Vocabulary& vocabulary, std::string_view token) {
  return vocabulary.lookup() != nullptr && vocabulary.lookup()->find(token).has_value();
}

std::string sjis_of(char32_t code_point) {
  const auto code = encode_cp932(code_point);
  if (!code) return {};
  if (*code < 0x100) return std::string(1, static_cast<char>(*code));
  return {static_cast<char>(*code >> 8), static_cast<char>(*code & 0xFF)};
}

// Half-width katakana (Shift_JIS 0xA1-0xDF) and their full-width forms.
constexpr std::array<char16_t, 63> kFullWidthKana = {
    u'。', u'「', u'」', u'、', u'・', u'ヲ', u'ァ', u'ィ', u'ゥ', u'ェ', u'ォ', u'ャ', u'ュ', u'ョ', u'ッ', u'ー',
    u'ア', u'イ', u'ウ', u'エ', u'オ', u'カ', u'キ', u'ク', u'ケ', u'コ', u'サ', u'シ', u'ス', u'セ', u'ソ', u'タ',
    u'チ', u'ツ', u'テ', u'ト', u'ナ', u'ニ', u'ヌ', u'ネ', u'ノ', u'ハ', u'ヒ', u'フ', u'ヘ', u'ホ', u'マ', u'ミ',
    u'ム', u'メ', u'モ', u'ヤ', u'ユ', u'ヨ', u'ラ', u'リ', u'ル', u'レ', u'ロ', u'ワ', u'ン', u'゛', u'゜'};

// The full-width character that stands for a half-width one, or nothing.
char32_t full_width_of(std::uint8_t byte) {
  if (byte == ' ') return U'\u3000';
  if (byte > ' ' && byte < 0x7F) return U'\uFF01' + (byte - '!');
  if (byte >= 0xA1 && byte <= 0xDF) return kFullWidthKana[byte - 0xA1];
  return 0;
}

std::size_t edit_distance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      const bool same =
          std::toupper(static_cast<unsigned char>(a[i - 1])) == std::toupper(static_cast<unsigned char>(b[j - 1]));
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// The bracketed tokens of a table (control and named tokens), as they read
// between their brackets.
std::vector<std::string_view> bracketed_tokens(const Vocabulary& vocabulary) {
  std::vector<std::string_view> tokens;
  for (std::size_t code = 0; code < vocabulary.size(); ++code) {
    std::string_view token = vocabulary.extraction(static_cast<std::uint16_t>(code));
    if (!token.empty() && token.back() == '\n') token.remove_suffix(1);
    if (token.size() > 2 && token.front() == '[' && token.back() == ']')
      tokens.push_back(token.substr(1, token.size() - 2));
  }
  return tokens;
}

std::string bracketed(std::string_view token) { return quoted(std::string("[") + std::string(token) + "]"); }

bool is_upper_hex(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(c) || (c >= 'A' && c <= 'F'); });
}

std::string token_hint(std::string_view token, const Tables& tables) {
  std::string upper(token);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (upper != token && in_table(tables.own, upper)) return std::string("did you mean ") + bracketed(upper) + "?";
  if (in_table(tables.other, token) && token.size() > 2) {
    // A message token in a byte bank, or the other way round.
    std::string hint = bracketed(token) + " is a token of " + tables.other_name();
    if (!tables.messages && token.size() == 4 && token.starts_with("00") && in_table(tables.own, token.substr(2))) {
      hint += std::string("; this bank writes ") + bracketed(token.substr(2));
    }
    return hint;
  }
  if (tables.messages && token.size() == 2 && is_upper_hex(token) && in_table(tables.own, std::string("00") + upper)) {
    return std::string("that is how the byte table writes it; messages write ") + bracketed(std::string("00") + upper);
  }
  std::string_view nearest;
  std::size_t best = token.size() < 4 ? 2 : 3;
  for (std::string_view candidate : bracketed_tokens(tables.own)) {
    const std::size_t distance = edit_distance(token, candidate);
    if (distance < best) {
      best = distance;
      nearest = candidate;
    }
  }
  if (!nearest.empty()) return std::string("did you mean ") + bracketed(nearest) + "?";
  return {};
}

std::string hex_byte(std::uint8_t byte) {
  char text[8];
  std::snprintf(text, sizeof text, "<%02X>", byte);
  return text;
}

UnitReport describe_character(std::string_view text, std::uint64_t first, const BankRecord& bank,
                              const Tables& tables) {
  const std::string_view rest = text.substr(first);
  const Cp932Char character = decode_cp932(rest);
  const auto lead = static_cast<std::uint8_t>(rest[0]);
  if (character.length == 2) {
    const std::string_view pair = rest.substr(0, 2);
    UnitReport report{quoted(pair) + " is not in " + bank.table_name, {}};
    if (in_table(tables.other, pair)) {
      report.hint = std::string("only ") + tables.other_name() + " has it";
    } else if (character.code_point >= U'\uFF41' && character.code_point <= U'\uFF5A') {
      const std::string upper = sjis_of(character.code_point - 0x20);
      if (in_table(tables.own, upper))
        report.hint = std::string("the game writes upper-case letters: ") + quoted(upper);
    }
    return report;
  }
  if (character.length == 1) {
    if (lead == '\t')
      return {"a tab in running text",
              std::string("remove it, or write the full-width space ") + quoted(sjis_of(U'\u3000'))};
    if (lead == '\r') return {"a carriage return without its line feed", "remove it"};
    if (lead < 0x20 || lead == 0x7F)
      return {std::string("control byte ") + hex_byte(lead) + " in running text", "remove it"};
    UnitReport report{std::string("half-width ") + quoted(rest.substr(0, 1)) + " is not in " + bank.table_name +
                          ": running text is written in full-width characters",
                      {}};
    const std::string full = sjis_of(full_width_of(lead));
    const std::string upper = sjis_of(full_width_of(static_cast<std::uint8_t>(std::toupper(lead))));
    if (!full.empty() && in_table(tables.own, full)) {
      report.hint = std::string("write the full-width ") + quoted(full);
    } else if (!upper.empty() && in_table(tables.own, upper)) {
      report.hint = std::string("the game writes full-width upper-case letters: ") + quoted(upper);
    }
    return report;
  }
  std::string bytes = hex_byte(lead);
  if (rest.size() > 1) bytes += hex_byte(static_cast<std::uint8_t>(rest[1]));
  return {bytes + " is not a Shift_JIS character", "is the file saved in another encoding?"};
}

}  // namespace

std::string quoted(std::string_view sjis) {
  std::string text = sjis_to_utf8(sjis);
  text.insert(text.begin(), '\'');
  text.push_back('\'');
  return text;
}

UnitReport describe_unknown_unit(std::string_view text, const ParseFailure& failure, const BankRecord& bank,
                                 const Vocabularies& vocabularies) {
  const Tables tables(bank, vocabularies);
  if (failure.unit == Unit::Pair) return describe_character(text, failure.first, bank, tables);
  const std::string_view token = failure.gathered;
  if (failure.line_ended) {
    return {"'[' is not closed on its line", "close the token with ']'"};
  }
  if (token.size() > text_format::kMaxTokenBytes) {
    return {std::string("'[") + sjis_to_utf8(token) + "...' is longer than any token",
            "no token is longer than 5 characters; is a ']' missing?"};
  }
  if (token.empty()) return {"empty brackets '[]'", "write a token between them, or remove them"};
  const Cp932Char character = decode_cp932(token);
  if (character.length == token.size() && character.length == 2) {
    // A character in brackets reads as the character itself.
    return describe_character(token, 0, bank, tables);
  }
  return {bracketed(token) + " is not a token of " + bank.table_name, token_hint(token, tables)};
}

}  // namespace talvo
