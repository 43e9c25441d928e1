#include "reference_byte_bank_walk.h"

#include "banks.h"
#include "text_format.h"
#include "token_tables.h"

namespace talvo::fuzz {

ByteBankFailure reference_byte_bank_walk(std::span<const std::uint8_t> cartridge, const BankRecord& bank,
                                         std::string& out) {
  std::size_t at = 0;
  char header[16];
  for (std::uint32_t i = 0; i < bank.entries; ++i) {
    out += text_format::format_header(text_format::kHeaderFormat, i, header);
    if (i % bank.group == 0) {
      const std::size_t pointer = bank.pointer_table + 3 * (i / bank.group);
      if (pointer + 3 > cartridge.size()) return ByteBankFailure::ReadFailed;
      at = bank.data + (cartridge[pointer] | cartridge[pointer + 1] << 8 | cartridge[pointer + 2] << 16);
    }
    // An entry shows only once its terminator is read.
    std::string line;
    for (;;) {
      if (at >= cartridge.size()) return ByteBankFailure::ReadFailed;
      const std::uint8_t code = cartridge[at++];
      char token[kByteTokenSlot];
      line.append(token, byte_token(code, token));
      if (code == 0xAC || ((bank.bank == Bank::BattleText) && code == 0xAE)) break;
    }
    out += line + '\n';
  }
  return ByteBankFailure::None;
}

}  // namespace talvo::fuzz
