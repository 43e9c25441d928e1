#include "translator_table.h"

#include <cassert>

#include "text_format.h"
#include "vocabulary.h"

namespace talvo::tables {

std::string_view kind_name(CodeSet kind) { return kind == CodeSet::Message ? "message" : "byte"; }

bool is_control_code(CodeSet kind, std::uint16_t code) {
  assert(code < code_count(kind));
  if (kind == CodeSet::Message) return code < 0x200;
  // The game's byte table writes a hexadecimal token exactly for its controls.
  return game_vocabulary(CodeSet::Byte).is_control(code);
}

CodeRole code_role(CodeSet kind, std::uint16_t code) {
  // A byte table serves both byte banks: a code that ends either is a role code.
  const BankRecord& bank = kind == CodeSet::Message ? kMessageBank : kBattleTextBank;
  if (bank.is_end(code)) return CodeRole::End;
  if (bank.is_line_break(code)) return CodeRole::LineBreak;
  return CodeRole::None;
}

bool line_feed_follows(CodeSet kind, std::uint16_t code) {
  return kind == CodeSet::Message && code_role(kind, code) != CodeRole::None;
}

std::string hex_token(CodeSet kind, std::uint16_t code) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  const int digits = kind == CodeSet::Message ? 4 : 2;
  std::string token = "[";
  for (int d = digits; d-- > 0;) token += kDigits[code >> (4 * d) & 0xF];
  token += ']';
  return token;
}

std::string code_label(CodeSet kind, std::uint16_t code) {
  std::string label = hex_token(kind, code);
  // The message codes need three digits: 0x0AC, 0x60B.
  label = label.substr(kind == CodeSet::Message ? 2 : 1, kind == CodeSet::Message ? 3 : 2);
  return "0x" + label;
}

TranslatorTable empty_table(CodeSet kind) {
  TranslatorTable table;
  table.kind = kind;
  table.codes.resize(code_count(kind));
  return table;
}

std::string_view entry_name(const TableEntry& entry) {
  std::string_view name = entry.text;
  if (entry.bracketed) name = name.substr(1, name.size() - 2);
  return name;
}

std::string code_text(const TranslatorTable& table, std::uint16_t code) {
  assert(code < table.codes.size());
  const auto& entry = table.codes[code];
  return entry ? entry->text : hex_token(table.kind, code);
}

}  // namespace talvo::tables
