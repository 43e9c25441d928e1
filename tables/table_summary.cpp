#include "table_summary.h"

#include <string_view>
#include <unordered_map>

#include "utf8.h"

namespace talvo::tables {
namespace {

std::size_t characters(std::string_view text) {
  std::size_t count = 0;
  while (!text.empty()) {
    const Utf8Char c = decode_utf8(text);
    text.remove_prefix(c.length > 0 ? c.length : text.size());
    ++count;
  }
  return count;
}

std::string_view role_name(CodeRole role) { return role == CodeRole::End ? "end" : "line break"; }

std::string counted(std::size_t count, std::string_view one, std::string_view many) {
  return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

// "  0x302  th", the text shown between quotes where its ends are spaces.
std::string entry_line(const TranslatorTable& table, std::uint16_t code) {
  const std::string text = code_text(table, code);
  const bool quote = text.front() == ' ' || text.back() == ' ';
  std::string line = "  " + code_label(table.kind, code) + "  " + (quote ? "\"" + text + "\"" : text);
  if (table.codes[code]) line += "  (line " + std::to_string(table.codes[code]->line) + ")";
  return line + "\n";
}

}  // namespace

TableSummary summarize_table(const TranslatorTable& table) {
  TableSummary summary;
  summary.kind = table.kind;
  std::unordered_map<std::string_view, std::uint16_t> first_with_text;
  for (std::size_t code = 0; code < table.codes.size(); ++code) {
    const auto c = static_cast<std::uint16_t>(code);
    const auto& entry = table.codes[code];
    const bool control = is_control_code(table.kind, c);
    if (!entry) {
      ++(control ? summary.controls_free : summary.glyphs_free);
      (control ? summary.free_controls : summary.free_glyphs).push_back(c);
      continue;
    }
    ++(control ? summary.controls_named : summary.glyphs_named);
    if (entry->bracketed) {
      if (entry->text != hex_token(table.kind, c)) summary.names.push_back(c);
    } else if (characters(entry->text) > 1) {
      summary.multi_character.push_back(c);
    }
    if (!first_with_text.emplace(entry->text, c).second) summary.shared.push_back(c);
  }
  return summary;
}

std::string code_ranges_text(CodeSet kind, const std::vector<std::uint16_t>& codes) {
  std::string out;
  for (std::size_t i = 0; i < codes.size();) {
    std::size_t j = i;
    while (j + 1 < codes.size() && codes[j + 1] == codes[j] + 1) ++j;
    if (!out.empty()) out += ", ";
    out += code_label(kind, codes[i]);
    if (j > i) out += "-" + code_label(kind, codes[j]);
    i = j + 1;
  }
  return out.empty() ? "none" : out;
}

std::string describe_table(const TranslatorTable& table) {
  const TableSummary s = summarize_table(table);
  const CodeSet kind = table.kind;
  const bool message = kind == CodeSet::Message;
  std::string out = std::string(kind_name(kind)) +
                    " table: " + counted(s.controls_named + s.glyphs_named, "code", "codes") + " named, " +
                    std::to_string(s.controls_free + s.glyphs_free) + " free\n";
  out += "  glyphs: " + std::to_string(s.glyphs_named) + " named, " + std::to_string(s.glyphs_free) + " free (" +
         (message ? "codes 0x200-0x60B" : "the codes the game's byte table writes as characters") + ")\n";
  out += "  controls: " + std::to_string(s.controls_named) + " named, " + std::to_string(s.controls_free) + " free (" +
         (message ? "codes 0x000-0x1FF" : "the 42 codes the game's byte table writes as hexadecimal tokens") +
         "); a code the table does not name is written as its hexadecimal token\n";
  out += "free glyph codes: " + code_ranges_text(kind, s.free_glyphs) + "\n";
  out += "free control codes: " + code_ranges_text(kind, s.free_controls) + "\n";
  out += "role codes:\n";
  for (std::size_t code = 0; code < table.codes.size(); ++code) {
    const auto c = static_cast<std::uint16_t>(code);
    const CodeRole role = code_role(kind, c);
    if (role == CodeRole::None) continue;
    std::string line = entry_line(table, c);
    line.insert(line.find(' ', 2), "  " + std::string(role_name(role)));
    out += line;
  }
  out += "multi-character entries: " + std::to_string(s.multi_character.size()) + "\n";
  for (std::uint16_t code : s.multi_character) out += entry_line(table, code);
  out += "names: " + std::to_string(s.names.size()) + "\n";
  for (std::uint16_t code : s.names) out += entry_line(table, code);
  if (!s.shared.empty()) {
    out += "texts a lower code has too (the lower code encodes them): " + std::to_string(s.shared.size()) + "\n";
    for (std::uint16_t code : s.shared) out += entry_line(table, code);
  }
  return out;
}

}  // namespace talvo::tables
