#include "builtin_tables_export.h"

#include <string_view>

#include "cp932.h"
#include "vocabulary.h"

namespace talvo::tables {
namespace {

constexpr std::string_view kMessageHeader =
    "# The game's message table: codes 0x000-0x60B and the text each is written as.\n"
    "# Codes below 0x200 are controls, the others glyphs. \"/\" marks the end codes,\n"
    "# \"*\" the codes after which a message breaks its line.\n";
constexpr std::string_view kByteHeader =
    "# The game's byte table, shared by the fixed strings and the battle text:\n"
    "# codes 00-FF and the text each is written as; the hexadecimal tokens are\n"
    "# controls, the others glyphs. \"/\" marks the end codes: AC ends a fixed\n"
    "# string and a battle-text entry, AE a battle-text entry.\n";

}  // namespace

std::string export_builtin_table(CodeSet kind) {
  std::string out(kind == CodeSet::Message ? kMessageHeader : kByteHeader);
  for (std::size_t code = 0; code < code_count(kind); ++code) {
    const auto c = static_cast<std::uint16_t>(code);
    std::string text(game_vocabulary(kind, TextEncoding::Utf8).extraction(c));
    if (!text.empty() && text.back() == '\n') text.pop_back();  // the role's line feed, not the text's
    const CodeRole role = code_role(kind, c);
    if (role != CodeRole::None) out += role == CodeRole::End ? '/' : '*';
    const std::string token_text = hex_token(kind, c);
    out += token_text.substr(1, token_text.size() - 2);
    out += '=';
    out += text;
    out += '\n';
  }
  return out;
}

}  // namespace talvo::tables
