#include "entry_growth.h"

#include <algorithm>

namespace talvo::insert {

std::vector<EntryGrowth> grown_most(std::span<const std::uint64_t> new_bits, std::span<const std::uint64_t> old_bits) {
  std::vector<EntryGrowth> grown;
  const std::size_t count = std::min(new_bits.size(), old_bits.size());
  for (std::size_t i = 0; i < count; ++i) {
    if (new_bits[i] > old_bits[i]) grown.push_back({i, new_bits[i] - old_bits[i]});
  }
  const std::size_t shown = std::min(kGrownShown, grown.size());
  std::partial_sort(grown.begin(), grown.begin() + static_cast<std::ptrdiff_t>(shown), grown.end(),
                    [](const EntryGrowth& a, const EntryGrowth& b) {
                      return a.bits != b.bits ? a.bits > b.bits : a.entry < b.entry;
                    });
  grown.resize(shown);
  return grown;
}

}  // namespace talvo::insert
