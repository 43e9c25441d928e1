#include "translator_table.h"

#include <cassert>

#include "text_format.h"
#include "token_tables.h"

namespace talvo::tables {

std::size_t code_count(TableKind kind) { return kind == TableKind::Message ? kMessageCodeCount : kByteCodeCount; }

std::string_view kind_name(TableKind kind) { return kind == TableKind::Message ? "message" : "byte"; }

bool is_control_code(TableKind kind, std::uint16_t code) {
  assert(code < code_count(kind));
  if (kind == TableKind::Message) return code < 0x200;
  // The game's byte table writes a hexadecimal token exactly for its controls.
  return byte_extraction_table()[code][0] == '[';
}

CodeRole code_role(TableKind kind, std::uint16_t code) {
  if (kind == TableKind::Message) {
    if (code == text_format::kMessageEnd || code == text_format::kMessageEndAlt) return CodeRole::End;
    if (code == 0x0AD || code == 0x0AF) return CodeRole::LineBreak;
    return CodeRole::None;
  }
  if (code == text_format::kByteEnd || code == text_format::kBattleEndAlt) return CodeRole::End;
  return CodeRole::None;
}

bool line_feed_follows(TableKind kind, std::uint16_t code) {
  return kind == TableKind::Message && code_role(kind, code) != CodeRole::None;
}

std::string hex_token(TableKind kind, std::uint16_t code) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  const int digits = kind == TableKind::Message ? 4 : 2;
  std::string token = "[";
  for (int d = digits; d-- > 0;) token += kDigits[code >> (4 * d) & 0xF];
  token += ']';
  return token;
}

std::string code_label(TableKind kind, std::uint16_t code) {
  std::string label = hex_token(kind, code);
  // The message codes need three digits: 0x0AC, 0x60B.
  label = label.substr(kind == TableKind::Message ? 2 : 1, kind == TableKind::Message ? 3 : 2);
  return "0x" + label;
}

TranslatorTable empty_table(TableKind kind) {
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
