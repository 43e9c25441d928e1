// The entries that grew most against the input's text: where a translation
// that no longer fits is best shortened.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "insertion.h"

namespace talvo::insert {

inline constexpr std::size_t kGrownShown = 5;

// The kGrownShown entries whose new size exceeds their old one by most,
// most first, ties by entry number; entries that did not grow are left out.
// Sizes are compared entry by entry, as far as both lists go.
std::vector<EntryGrowth> grown_most(std::span<const std::uint64_t> new_bits, std::span<const std::uint64_t> old_bits);

}  // namespace talvo::insert
