// Codes written as the extractor writes them read back as the same codes.
//
// Input: one byte picks the bank (value % 3) and the size of the pieces the
// text is fed in (value / 3 + 1); then 16-bit values, low byte first: one in
// sixteen (low four bits all set) begins a new entry, the others are codes
// (the value shifted right by four, modulo the bank's code count).
#include <cstdint>
#include <string>
#include <vector>

#include "banks.h"
#include "fuzz_check.h"
#include "input_reader.h"
#include "text_format.h"
#include "text_parse.h"
#include "token_tables.h"

namespace {

using namespace talvo;

struct Written {
  std::string text;
  std::string bank;
  std::string index;
  std::uint64_t headers = 0;
};

// The entry header the extractor writes before entry `n`.
void write_header(Written& out, const EncoderVariant& variant, std::uint32_t n) {
  char header[16];
  if (variant.token_table == CodeSet::Message) {
    out.text += n == 0 ? text_format::format_header(text_format::kFirstMessageHeaderFormat, n, header)
                       : text_format::format_header(text_format::kMessageHeaderFormat, n, header);
  } else {
    if (n > 0) out.text += '\n';  // the line of the entry before ends
    out.text += text_format::format_header(text_format::kHeaderFormat, n, header);
  }
  if (out.headers % variant.index_group == 0) {
    const auto offset = static_cast<std::uint32_t>(out.bank.size());
    out.index += static_cast<char>(offset & 0xFF);
    out.index += static_cast<char>(offset >> 8 & 0xFF);
    out.index += static_cast<char>(offset >> 16 & 0xFF);
  }
  ++out.headers;
}

void write_code(Written& out, const EncoderVariant& variant, std::uint32_t value) {
  if (variant.token_table == CodeSet::Message) {
    const auto code = static_cast<std::uint16_t>(value % kMessageCodeCount);
    char token[kMessageTokenSlot];
    out.text.append(token, message_token(code, token));
    out.bank += static_cast<char>(code & 0xFF);
    out.bank += static_cast<char>(code >> 8);
  } else {
    const auto code = static_cast<std::uint8_t>(value % kByteCodeCount);
    char token[kByteTokenSlot];
    out.text.append(token, byte_token(code, token));
    out.bank += static_cast<char>(code);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::InputReader input(std::span(data, size));
  const std::uint8_t choice = input.byte();
  const EncoderVariant& variant = fuzz::variant_of(choice);
  const std::size_t piece = choice / 3 + 1;

  Written written;
  write_header(written, variant, 0);
  while (input.remaining() >= 2) {
    const std::uint32_t value = input.u16();
    if ((value & 0xF) == 0xF) {
      write_header(written, variant, static_cast<std::uint32_t>(written.headers));
    } else {
      write_code(written, variant, value >> 4);
    }
  }
  if (variant.token_table == CodeSet::Byte) written.text += '\n';

  const auto* bytes = reinterpret_cast<const std::uint8_t*>(written.text.data());
  const fuzz::ParsedText parsed = fuzz::parse_text(variant, std::span(bytes, written.text.size()), piece);
  FUZZ_CHECK(parsed.failure.kind == ParseFailure::Kind::None);
  FUZZ_CHECK(parsed.bank == written.bank);
  FUZZ_CHECK(parsed.index == written.index);
  FUZZ_CHECK(parsed.header_count == written.headers);
  return 0;
}
