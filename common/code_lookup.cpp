#include "code_lookup.h"

namespace talvo {

std::optional<std::uint16_t> CodeLookup::find(std::string_view text) const {
  if (text.size() == 2) {
    const std::uint16_t code = find_pair(static_cast<std::uint8_t>(text[0]), static_cast<std::uint8_t>(text[1]));
    if (code == kNone) return std::nullopt;
    return code;
  }
  if (text.empty() || text.size() >= 8) return std::nullopt;
  const std::uint64_t key = pack(text);
  for (std::size_t i = slot_of(key);; i = (i + 1) & (kSlots - 1)) {
    if (keys_[i] == key) return codes_[i];
    if (keys_[i] == 0) return std::nullopt;
  }
}

}  // namespace talvo
