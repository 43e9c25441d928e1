#include "read_units.h"

#include <cstring>

#include "banks.h"
#include "cp932.h"
#include "token_tables.h"

namespace talvo::fit {
namespace {

constexpr char kFullWidthSpace[] = "\x81\x40";

}  // namespace

CodeRoles builtin_roles(const BankRecord& bank) {
  CodeRoles roles;
  const bool messages = bank.bank == Bank::Messages;
  roles.of_code.resize(messages ? kMessageCodeCount : kByteCodeCount);
  const std::uint16_t space = builtin_space(bank);
  for (std::size_t c = 0; c < roles.of_code.size(); ++c) {
    const auto code = static_cast<std::uint16_t>(c);
    UnitRole role = messages ? (code >= 0x200 ? UnitRole::Glyph : UnitRole::Control)
                             : (byte_extraction_table()[code][0] == '[' ? UnitRole::Control : UnitRole::Glyph);
    if (code == space) role = UnitRole::Space;
    if (messages && code >= 0x0AC && code <= 0x0AF) role = UnitRole::LineBreak;
    if (bank.is_end(code)) role = UnitRole::End;
    roles.of_code[c] = role;
  }
  return roles;
}

std::uint16_t builtin_space(const BankRecord& bank) {
  if (bank.bank == Bank::Messages) {
    const MessageTokenTable& table = message_extraction_table();
    for (std::size_t c = 0; c < table.size(); ++c) {
      if (std::strcmp(table[c].data(), kFullWidthSpace) == 0) return static_cast<std::uint16_t>(c);
    }
  } else {
    const ByteTokenTable& table = byte_extraction_table();
    for (std::size_t c = 0; c < table.size(); ++c) {
      if (std::strcmp(table[c].data(), kFullWidthSpace) == 0) return static_cast<std::uint16_t>(c);
    }
  }
  return 0;
}

namespace {

std::u32string unicode(std::string_view sjis) {
  std::u32string text;
  while (!sjis.empty()) {
    const Cp932Char c = decode_cp932(sjis);
    if (c.length == 0) break;
    text += c.code_point;
    sjis.remove_prefix(c.length);
  }
  return text;
}

}  // namespace

std::vector<std::u32string> builtin_texts(const BankRecord& bank) {
  std::vector<std::u32string> texts;
  if (bank.bank == Bank::Messages) {
    for (const auto& token : message_encoding_table()) texts.push_back(unicode(token.data()));
  } else {
    for (const auto& token : byte_encoding_table()) texts.push_back(unicode(token.data()));
  }
  return texts;
}

std::optional<std::uint16_t> builtin_code(const BankRecord& bank, std::string_view token) {
  if (token.size() > 2 && token.front() == '[' && token.back() == ']') token = token.substr(1, token.size() - 2);
  if (bank.bank == Bank::Messages) return find_message_code(token);
  return find_byte_code(token);
}

FileUnits units_of_events(const TextEvents& events, const CodeRoles& roles) {
  FileUnits file;
  file.units.resize(events.codes.size());
  for (std::size_t i = 0; i < events.codes.size(); ++i) {
    const std::uint16_t code = events.codes[i];
    const CodePlace place = i < events.places.size() ? events.places[i] : CodePlace{0, 0};
    file.units[i] = {code, roles[code], place.first, place.last};
  }
  file.starts.reserve(events.headers.size() + 1);
  for (const ReadHeader& header : events.headers) file.starts.push_back(header.first_code);
  if (!events.headers.empty()) file.starts.push_back(static_cast<std::uint32_t>(events.codes.size()));
  return file;
}

}  // namespace talvo::fit
