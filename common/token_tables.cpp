#include "token_tables.h"

#include <cassert>
#include <cstring>

#include "code_lookup.h"

namespace talvo {
namespace {

// The game's own order; the characters are Shift_JIS (code page 932) bytes.
constexpr const char* kMessageTokens[kMessageCodeCount] = {
#include "message_tokens.inc"
};

constexpr const char* kByteTokens[kByteCodeCount] = {
#include "byte_tokens.inc"
};

template <std::size_t Slot>
constexpr std::array<char, Slot> to_slot(std::string_view token) {
  std::array<char, Slot> slot{};
  for (std::size_t i = 0; i < token.size() && i + 1 < Slot; ++i) slot[i] = token[i];
  return slot;
}

// The encoders never see brackets or the line feed that follows the message
// end tokens: a bracketed token is looked up by what stands between its
// brackets, and a line feed at a character boundary is skipped.
constexpr std::string_view encoding_form(std::string_view token) {
  if (!token.empty() && token.back() == '\n') token.remove_suffix(1);
  if (token.size() > 2 && token.front() == '[' && token.back() == ']') token = token.substr(1, token.size() - 2);
  return token;
}

template <std::size_t Count, std::size_t Slot>
constexpr std::array<std::array<char, Slot>, Count> make_table(const char* const (&tokens)[Count], bool encoding) {
  std::array<std::array<char, Slot>, Count> table{};
  for (std::size_t code = 0; code < Count; ++code) {
    const std::string_view token(tokens[code]);
    table[code] = to_slot<Slot>(encoding ? encoding_form(token) : token);
  }
  return table;
}

constexpr MessageTokenTable kMessageExtraction =
    make_table<kMessageCodeCount, kMessageTokenSlot>(kMessageTokens, false);
constexpr MessageTokenTable kMessageEncoding = make_table<kMessageCodeCount, kMessageTokenSlot>(kMessageTokens, true);
constexpr ByteTokenTable kByteExtraction = make_table<kByteCodeCount, kByteTokenSlot>(kByteTokens, false);
constexpr ByteTokenTable kByteEncoding = make_table<kByteCodeCount, kByteTokenSlot>(kByteTokens, true);

// Every token must fit its slot with its NUL; a longer one would be cut.
constexpr bool all_fit() {
  for (const char* token : kMessageTokens) {
    if (std::string_view(token).size() >= kMessageTokenSlot) return false;
  }
  for (const char* token : kByteTokens) {
    if (std::string_view(token).size() >= kByteTokenSlot) return false;
  }
  return true;
}
static_assert(all_fit());

// The direct lookups, in read-only data.
constexpr CodeLookup kMessageLookup{kMessageEncoding};
constexpr CodeLookup kByteLookup{kByteEncoding};

}  // namespace

const MessageTokenTable& message_extraction_table() { return kMessageExtraction; }
const MessageTokenTable& message_encoding_table() { return kMessageEncoding; }
const ByteTokenTable& byte_extraction_table() { return kByteExtraction; }
const ByteTokenTable& byte_encoding_table() { return kByteEncoding; }

std::size_t message_token(std::uint16_t code, char (&out)[kMessageTokenSlot]) {
  assert(code < kMessageCodeCount);
  const auto& slot = kMessageExtraction[code];
  std::memcpy(out, slot.data(), kMessageTokenSlot);
  return std::strlen(out);
}

std::size_t byte_token(std::uint8_t code, char (&out)[kByteTokenSlot]) {
  const auto& slot = kByteExtraction[code];
  std::memcpy(out, slot.data(), kByteTokenSlot);
  return std::strlen(out);
}

const CodeLookup& message_code_lookup() { return kMessageLookup; }
const CodeLookup& byte_code_lookup() { return kByteLookup; }

std::optional<std::uint16_t> find_message_code(std::string_view text) { return message_code_lookup().find(text); }

std::optional<std::uint8_t> find_byte_code(std::string_view text) {
  const auto code = byte_code_lookup().find(text);
  if (!code) return std::nullopt;
  return static_cast<std::uint8_t>(*code);
}

}  // namespace talvo
