#include "byte_bank_decoder.h"

#include <string>

#include "banks.h"
#include "byte_bank_walk.h"
#include "text_format.h"

namespace talvo {

ByteBankFailure decode_byte_bank_text(std::span<const std::uint8_t> cartridge, const BankRecord& bank,
                                      const Vocabulary& vocabulary, BufferedOutput& out, std::uint32_t* stopped_at) {
  char header[16];
  // An entry is written only once its end code has been read: one that
  // fails leaves its header alone. The game assembles a line in a small
  // buffer; here a line is kept whole, however long it is.
  std::string line;
  const ByteWalk walk = walk_byte_bank(
      cartridge, bank,
      [&](std::uint32_t i) { out.append(text_format::format_header(text_format::kHeaderFormat, i, header)); },
      [&](std::uint32_t, std::uint64_t first, std::uint64_t end) {
        line.clear();
        for (std::uint64_t at = first; at < end; ++at) line.append(vocabulary.extraction(cartridge[at]));
        line.push_back('\n');
        out.append(line);
        return !out.failed();
      });
  if (stopped_at != nullptr) *stopped_at = walk.entry;
  switch (walk.stop) {
    case ByteWalkStop::Done:
      break;
    case ByteWalkStop::Broken:
      return ByteBankFailure::ReadFailed;
    case ByteWalkStop::Stopped:
      return ByteBankFailure::WriteFailed;
  }
  return ByteBankFailure::None;
}

}  // namespace talvo
