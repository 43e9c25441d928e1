#include "byte_bank_decoder.h"

#include "little_endian.h"
#include "text_format.h"
#include "token_tables.h"

namespace talvo {

ByteBankFailure decode_byte_bank_text(std::span<const std::uint8_t> cartridge, const rom::ByteBankLayout& bank,
                                      BufferedOutput& out) {
  const ByteTokenTable& tokens = byte_extraction_table();
  char header[16];
  // The entries of a group follow one another, so each starts where the one
  // before it ended, as a skip from the group pointer would find it. The game
  // assembles a line in a small buffer; here a line is written whole, however
  // long it is.
  std::uint64_t position = 0;
  for (std::uint32_t i = 0; i < bank.entries; ++i) {
    out.append(text_format::format_header(text_format::kHeaderFormat, i, header));
    if (i % bank.group == 0) {
      const auto pointer = read_pointer(cartridge, bank.pointer_table + 3 * (i / bank.group));
      if (!pointer) return ByteBankFailure::ReadFailed;
      position = std::uint64_t{bank.data} + *pointer;
    }
    for (;;) {
      if (position >= cartridge.size()) return ByteBankFailure::ReadFailed;
      const std::uint8_t code = cartridge[position++];
      const auto& token = tokens[code];
      out.append(token.data(), token[2] == '\0' ? 2 : 4);  // a character, or a code in brackets
      if (bank.is_terminator(code)) break;
    }
    out.push_back('\n');
    if (out.failed()) return ByteBankFailure::WriteFailed;
  }
  return ByteBankFailure::None;
}

}  // namespace talvo
