#include "reference_message_walk.h"

#include "rom_layout.h"
#include "text_format.h"
#include "token_tables.h"

namespace talvo::fuzz {

MessageFailure reference_message_walk(std::span<const std::uint8_t> cartridge, std::string& out) {
  const auto entry = [&](std::size_t i) {
    return static_cast<std::uint16_t>(cartridge[rom::kMessageTree + 2 * i] | cartridge[rom::kMessageTree + 2 * i + 1]
                                                                                 << 8);
  };
  std::size_t byte = 0;
  int bit = 0;  // 7 is the most significant, read first
  char header[16];
  for (std::uint32_t n = 0; n < rom::kMessageCount; ++n) {
    out += n == 0 ? text_format::format_header(text_format::kFirstMessageHeaderFormat, n, header)
                  : text_format::format_header(text_format::kMessageHeaderFormat, n, header);
    if (n % rom::kMessageGroup == 0) {
      const std::size_t at = rom::kMessageAccessTable + 3 * (n / rom::kMessageGroup);
      if (at + 3 > cartridge.size()) return MessageFailure::AccessTableRead;
      const std::uint32_t v = cartridge[at] | cartridge[at + 1] << 8 | cartridge[at + 2] << 16;
      byte = rom::kMessageData + (v >> 3);
      bit = static_cast<int>(v & 7);
    }
    std::uint16_t node = rom::kTreeRoot;
    for (;;) {
      if (byte >= cartridge.size()) return MessageFailure::DataRead;
      const bool one = (cartridge[byte] >> bit & 1) != 0;
      if (--bit < 0) bit = 7, ++byte;
      const std::uint16_t e = entry(one ? node + rom::kTreeNodes : node);
      if (e & rom::kTreeBranchFlag) {
        node = static_cast<std::uint16_t>((e & 0x7FFF) >> 1);
        continue;
      }
      char token[kMessageTokenSlot];
      out.append(token, message_token(e, token));
      if (e == rom::kMessageEnd || e == rom::kMessageEndAlt) break;
      node = rom::kTreeRoot;
    }
  }
  return MessageFailure::None;
}

}  // namespace talvo::fuzz
