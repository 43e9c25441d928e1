#include "byte_bank_decoder.h"

#include <string>

#include "banks.h"
#include "little_endian.h"
#include "text_format.h"

namespace talvo {

ByteBankFailure decode_byte_bank_text(std::span<const std::uint8_t> cartridge, const BankRecord& bank,
                                      const Vocabulary& vocabulary, BufferedOutput& out, std::uint32_t* stopped_at) {
  char header[16];
  // An entry is written only once its terminator has been read: one that
  // fails leaves its header alone. The game assembles a line in a small
  // buffer; here a line is kept whole, however long it is.
  std::string line;
  // The entries of a group follow one another, so each starts where the one
  // before it ended, as a skip from the group pointer would find it.
  std::uint64_t position = 0;
  for (std::uint32_t i = 0; i < bank.entries; ++i) {
    if (stopped_at != nullptr) *stopped_at = i;
    out.append(text_format::format_header(text_format::kHeaderFormat, i, header));
    if (i % bank.group == 0) {
      const auto pointer = read_pointer(cartridge, bank.pointer_table + 3 * (i / bank.group));
      if (!pointer) return ByteBankFailure::ReadFailed;
      position = std::uint64_t{bank.data} + *pointer;
    }
    line.clear();
    for (;;) {
      if (position >= cartridge.size()) return ByteBankFailure::ReadFailed;
      const std::uint8_t code = cartridge[position++];
      line.append(vocabulary.extraction(code));
      if (bank.is_end(code)) break;
    }
    line.push_back('\n');
    out.append(line);
    if (out.failed()) return ByteBankFailure::WriteFailed;
  }
  return ByteBankFailure::None;
}

}  // namespace talvo
