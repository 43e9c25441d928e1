#include "reference_text_parser.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "banks.h"
#include "token_tables.h"

namespace talvo::fuzz {
namespace {

template <typename Table>
std::map<std::string, std::uint16_t, std::less<>> tokens_of(const Table& table) {
  std::map<std::string, std::uint16_t, std::less<>> codes;
  for (std::size_t code = 0; code < table.size(); ++code) {
    codes.emplace(std::string(table[code].data()), static_cast<std::uint16_t>(code));
  }
  return codes;
}

std::optional<std::uint16_t> code_of(const EncoderVariant& variant, std::string_view text) {
  static const auto message_codes = tokens_of(message_encoding_table());
  static const auto byte_codes = tokens_of(byte_encoding_table());
  const auto& codes = variant.token_table == CodeSet::Message ? message_codes : byte_codes;
  const auto found = codes.find(text);
  if (found == codes.end()) return std::nullopt;
  return found->second;
}

}  // namespace

ParsedText reference_text_parse(const EncoderVariant& variant, std::span<const std::uint8_t> text) {
  ParsedText parsed;
  enum class State { Plain, InToken, InHeader } state = State::Plain;
  std::string gathered;
  // Tokens are compared, and shown, up to their first NUL.
  const auto fail = [&](std::uint64_t position) {
    parsed.failure.kind = ParseFailure::Kind::UnknownToken;
    parsed.failure.position = position;
    parsed.failure.gathered = gathered.substr(0, gathered.find('\0'));
    return parsed;
  };
  const auto emit = [&](std::uint16_t code) {
    parsed.bank += static_cast<char>(code & 0xFF);
    if (variant.code_width == 2) parsed.bank += static_cast<char>(code >> 8);
  };
  for (std::uint64_t at = 0; at < text.size(); ++at) {
    const char b = static_cast<char>(text[at]);
    if (state == State::InHeader) {
      if (b != ')') continue;
      if (parsed.header_count % variant.index_group == 0) {
        if (parsed.bank.size() >= (std::size_t{1} << 24)) {
          parsed.failure.kind = ParseFailure::Kind::BankTooLarge;
          parsed.failure.position = at;
          break;
        }
        const auto offset = static_cast<std::uint32_t>(parsed.bank.size());
        parsed.index += static_cast<char>(offset & 0xFF);
        parsed.index += static_cast<char>(offset >> 8 & 0xFF);
        parsed.index += static_cast<char>(offset >> 16 & 0xFF);
      }
      ++parsed.header_count;
      state = State::Plain;
    } else if (state == State::InToken) {
      if (b == ']') {
        const auto code = code_of(variant, gathered.substr(0, gathered.find('\0')));
        if (!code) return fail(at);
        emit(*code);
        gathered.clear();
        state = State::Plain;
      } else {
        gathered += b;
        if (gathered.size() == 8) return fail(at);  // no token is that long
      }
    } else if (gathered.empty()) {
      if (b == '[') {
        state = State::InToken;
      } else if (b == '(') {
        state = State::InHeader;
      } else if (b != '\n') {
        gathered += b;
      }
    } else {
      gathered += b;
      if (gathered != "\r\n") {
        // A pair with a NUL is no character, whatever comes before the NUL.
        const auto code = gathered.find('\0') == std::string::npos ? code_of(variant, gathered) : std::nullopt;
        if (!code) return fail(at);
        emit(*code);
      }
      gathered.clear();
    }
  }
  parsed.bank_offset = parsed.bank.size();
  return parsed;
}

}  // namespace talvo::fuzz
