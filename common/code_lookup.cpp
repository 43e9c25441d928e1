#include "code_lookup.h"

#include <algorithm>
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

void CodeLookup::finish() {
  // stable_sort keeps the lower code first among equal keys.
  std::stable_sort(others_.begin(), others_.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
}

std::optional<std::uint16_t> CodeLookup::find(std::string_view text) const {
  if (text.size() == 2) {
    const std::uint16_t code = find_pair(static_cast<std::uint8_t>(text[0]), static_cast<std::uint8_t>(text[1]));
    if (code == kNone) return std::nullopt;
    return code;
  }
  if (text.empty() || text.size() >= 8) return std::nullopt;
  const std::uint64_t key = pack(text);
  const auto it = std::lower_bound(others_.begin(), others_.end(), key,
                                   [](const auto& entry, std::uint64_t k) { return entry.first < k; });
  if (it == others_.end() || it->first != key) return std::nullopt;
  return it->second;
}

}  // namespace talvo
