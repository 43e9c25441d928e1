#include "read_units.h"

#include "banks.h"
#include "cp932.h"
#include "utf8.h"

namespace talvo::fit {
namespace {

// A code's text as a text file writes it, in UTF-8, its line feed left out.
std::string utf8_text(const Vocabulary& vocabulary, std::uint16_t code) {
  std::string_view text = vocabulary.extraction(code);
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  if (vocabulary.encoding() == TextEncoding::Utf8) return std::string(text);
  return sjis_to_utf8_text(text).utf8;
}

std::u32string unicode(std::string_view utf8) {
  std::u32string text;
  while (!utf8.empty()) {
    const Utf8Char c = decode_utf8(utf8);
    if (c.length == 0) break;
    text += c.code_point;
    utf8.remove_prefix(c.length);
  }
  return text;
}

}  // namespace

CodeRoles code_roles(const BankRecord& bank, const Vocabulary& vocabulary) {
  CodeRoles roles;
  roles.of_code.resize(vocabulary.size());
  const std::uint16_t space = space_code(vocabulary);
  const bool messages = bank.codes() == CodeSet::Message;
  for (std::size_t c = 0; c < roles.of_code.size(); ++c) {
    const auto code = static_cast<std::uint16_t>(c);
    UnitRole role = vocabulary.is_control(code) ? UnitRole::Control : UnitRole::Glyph;
    if (code == space && role == UnitRole::Glyph) role = UnitRole::Space;
    if (messages && bank.is_line_break(code)) role = UnitRole::LineBreak;
    if (bank.is_end(code)) role = UnitRole::End;
    roles.of_code[c] = role;
  }
  return roles;
}

std::uint16_t space_code(const Vocabulary& vocabulary) {
  for (std::size_t c = 0; c < vocabulary.size(); ++c) {
    const std::string text = utf8_text(vocabulary, static_cast<std::uint16_t>(c));
    if (text == "\xE3\x80\x80" || text == " ") return static_cast<std::uint16_t>(c);
  }
  return 0;
}

std::vector<std::u32string> code_texts(const Vocabulary& vocabulary) {
  std::vector<std::u32string> texts;
  texts.reserve(vocabulary.size());
  for (std::size_t c = 0; c < vocabulary.size(); ++c) {
    std::string text = utf8_text(vocabulary, static_cast<std::uint16_t>(c));
    if (text.size() > 2 && text.front() == '[' && text.back() == ']') text = text.substr(1, text.size() - 2);
    texts.push_back(unicode(text));
  }
  return texts;
}

std::optional<std::uint16_t> code_of_token(const Vocabulary& vocabulary, std::string_view utf8_token) {
  for (std::size_t c = 0; c < vocabulary.size(); ++c) {
    if (utf8_text(vocabulary, static_cast<std::uint16_t>(c)) == utf8_token) return static_cast<std::uint16_t>(c);
  }
  return std::nullopt;
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
