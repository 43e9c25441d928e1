#include "code_lookup.h"

#include <bit>
#include <cassert>

namespace talvo {

// Tokens other than pairs are at most 7 bytes long, so a token packs into
// one 64-bit key: its bytes from the low end and its length in the top byte.
std::uint64_t CodeLookup::pack(std::string_view text) {
  std::uint64_t key = static_cast<std::uint64_t>(text.size()) << 56;
  for (std::size_t i = 0; i < text.size(); ++i) {
    key |= static_cast<std::uint64_t>(static_cast<std::uint8_t>(text[i])) << (8 * i);
  }
  return key;
}

void CodeLookup::add(std::string_view token, std::uint16_t code) {
  if (token.size() == 2) {
    std::uint16_t& slot = pairs_[static_cast<std::size_t>(static_cast<std::uint8_t>(token[0])) << 8 |
                                 static_cast<std::uint8_t>(token[1])];
    if (slot == kNone) slot = code;  // the first code wins, as in a search
    return;
  }
  assert(!token.empty() && token.size() < 8);
  others_.emplace_back(pack(token), code);
}

std::size_t CodeLookup::slot_of(std::uint64_t key) const {
  // Fibonacci hashing: the top bits of the product spread the few hundred
  // short hexadecimal tokens well.
  const int bits = std::countr_zero(slots_.size());
  return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15u) >> (64 - bits));
}

void CodeLookup::finish() {
  std::size_t size = 16;
  while (size < 2 * others_.size()) size *= 2;
  slots_.assign(size, Slot{});
  for (const auto& [key, code] : others_) {
    std::size_t i = slot_of(key);
    while (slots_[i].key != 0 && slots_[i].key != key) i = (i + 1) & (size - 1);
    if (slots_[i].key == 0) slots_[i] = Slot{key, code};  // the first code wins, as in a search
  }
  others_.clear();
  others_.shrink_to_fit();
}

std::optional<std::uint16_t> CodeLookup::find(std::string_view text) const {
  if (text.size() == 2) {
    const std::uint16_t code = find_pair(static_cast<std::uint8_t>(text[0]), static_cast<std::uint8_t>(text[1]));
    if (code == kNone) return std::nullopt;
    return code;
  }
  if (text.empty() || text.size() >= 8) return std::nullopt;
  const std::uint64_t key = pack(text);
  for (std::size_t i = slot_of(key);; i = (i + 1) & (slots_.size() - 1)) {
    if (slots_[i].key == key) return slots_[i].code;
    if (slots_[i].key == 0) return std::nullopt;
  }
}

}  // namespace talvo
