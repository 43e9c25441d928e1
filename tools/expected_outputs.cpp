// What the four programs must write for a given content, built straight from
// the code sequences so that it does not depend on any image.
#include <cstdio>

#include "banks.h"
#include "image_builder.h"
#include "rom_layout.h"
#include "text_format.h"
#include "token_tables.h"

namespace talvo::builder {
namespace {

void append_header(std::string& out, const char* format, std::size_t n) {
  char header[16];
  const int length = std::snprintf(header, sizeof header, format, static_cast<unsigned>(n));
  out.append(header, static_cast<std::size_t>(length));
}

void append24(std::string& out, std::size_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8 & 0xFF);
  out += static_cast<char>(value >> 16 & 0xFF);
}

}  // namespace

std::string byte_bank_text(const std::vector<std::vector<std::uint8_t>>& entries) {
  std::string out;
  for (std::size_t n = 0; n < entries.size(); ++n) {
    append_header(out, text_format::kHeaderFormat, n);
    for (std::uint8_t code : entries[n]) {
      char token[kByteTokenSlot];
      out.append(token, byte_token(code, token));
    }
    out += '\n';
  }
  return out;
}

namespace {

std::string byte_bank(const std::vector<std::vector<std::uint8_t>>& entries) {
  std::string out;
  for (const auto& entry : entries) out.append(entry.begin(), entry.end());
  return out;
}

std::string byte_bank_index(const std::vector<std::vector<std::uint8_t>>& entries, std::size_t group) {
  std::string out;
  std::size_t offset = 0;
  for (std::size_t n = 0; n < entries.size(); ++n) {
    if (n % group == 0) append24(out, offset);
    offset += entries[n].size();
  }
  return out;
}

}  // namespace

std::string message_text(const std::vector<std::vector<std::uint16_t>>& messages) {
  std::string out;
  for (std::size_t n = 0; n < messages.size(); ++n) {
    append_header(out, n == 0 ? text_format::kFirstMessageHeaderFormat : text_format::kMessageHeaderFormat, n);
    for (std::uint16_t code : messages[n]) {
      char token[kMessageTokenSlot];
      out.append(token, message_token(code, token));
    }
  }
  return out;
}

std::string expected_message_text(const ImageContent& content) {
  validate(content);
  return message_text(content.messages);
}

std::string expected_fixed_string_text(const ImageContent& content) {
  validate(content);
  return byte_bank_text(content.fixed_strings);
}

std::string expected_battle_text(const ImageContent& content) {
  validate(content);
  return byte_bank_text(content.battle_text);
}

// Message codes are stored two bytes each, low byte first; the index holds
// the bank offset of each group's first message.
std::string expected_message_bank(const ImageContent& content) {
  validate(content);
  std::string out;
  for (const auto& message : content.messages) {
    for (std::uint16_t code : message) {
      out += static_cast<char>(code & 0xFF);
      out += static_cast<char>(code >> 8);
    }
  }
  return out;
}

std::string expected_message_index(const ImageContent& content) {
  validate(content);
  std::string out;
  std::size_t offset = 0;
  for (std::size_t n = 0; n < content.messages.size(); ++n) {
    if (n % rom::kMessageGroup == 0) append24(out, offset);
    offset += 2 * content.messages[n].size();
  }
  return out;
}

std::string expected_fixed_string_bank(const ImageContent& content) {
  validate(content);
  return byte_bank(content.fixed_strings);
}

std::string expected_fixed_string_index(const ImageContent& content) {
  validate(content);
  return byte_bank_index(content.fixed_strings, kFixedStringBank.group);
}

std::string expected_battle_bank(const ImageContent& content) {
  validate(content);
  return byte_bank(content.battle_text);
}

std::string expected_battle_index(const ImageContent& content) {
  validate(content);
  return byte_bank_index(content.battle_text, kBattleTextBank.group);
}

}  // namespace talvo::builder
